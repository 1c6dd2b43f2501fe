// The fields of TObyekt, in declaration order: hashed, dumped and, where a script may
// change them, settable (Energy and Cargo through their entry 0, as "Energy0", "Cargo0").
#pragma once

#include <array>

#include "game/world.h"
#include "util/fields.h"

inline const std::array<Field<TObyekt>, 15> kObjectFields = {{
    {"Rassa", &TObyekt::Rassa},
    {"Kind", &TObyekt::Kind},
    {"Side", &TObyekt::Side},
    {"Energy", &TObyekt::Energy, kHashed | kDumped | kSettable},
    {"Cargo", &TObyekt::Cargo, kHashed | kDumped | kSettable},
    {"X", &TObyekt::X, kHashed | kDumped | kSettable},
    {"Y", &TObyekt::Y, kHashed | kDumped | kSettable},
    {"Angle", &TObyekt::Angle, kHashed | kDumped | kSettable},
    {"Frame", &TObyekt::Frame, kHashed | kDumped | kSettable},
    {"Action", &TObyekt::Action, kHashed | kDumped | kSettable},
    {"AttackIndex", &TObyekt::AttackIndex, kHashed | kDumped | kSettable},
    {"Thought1", &TObyekt::Thought1, kHashed | kDumped | kSettable},
    {"Thought2", &TObyekt::Thought2, kHashed | kDumped | kSettable},
    {"BuildProgress", &TObyekt::BuildProgress, kHashed | kDumped | kSettable},
    {"Selected", &TObyekt::Selected, kHashed | kDumped | kSettable},
}};
