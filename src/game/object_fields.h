// The fields of the world's records. TObyekt's in declaration order: hashed, dumped and, where
// a script may change them, settable (Energy and Cargo through their entry 0, as "Energy0",
// "Cargo0"). The world's in the order the state hash takes them.
#pragma once

#include <array>
#include <tuple>

#include "game/catalogue_fields.h"
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

// A treasury dumped as its bare amount.
inline const auto kSideFields = std::tuple{FieldOf{"Money", &TSide::Money}};
inline const auto kRandomFields = std::tuple{FieldOf{"Seed", &Random::Seed}};

inline const auto kRallyFields =
    std::tuple{FieldOf{"Object", &RallyPoint::Object}, FieldOf{"X", &RallyPoint::X},
               FieldOf{"Y", &RallyPoint::Y}};

inline const auto kGroundFields =
    std::tuple{FieldOf{"Columns", &GroundArea::Columns}, FieldOf{"Rows", &GroundArea::Rows}};

// A mission's verdict and banner: neither hashed nor dumped.
inline const auto kMissionFields =
    std::tuple{FieldOf{"Referee", &MissionNews::Referee}, FieldOf{"Decided", &MissionNews::Decided},
               FieldOf{"Winner", &MissionNews::Winner}, FieldOf{"Banner", &MissionNews::Banner}};

inline const auto kWorldFields = std::tuple{
    FieldOf{"Objects", &World::Objects},
    FieldOf{"Sides", &World::Sides, kHashed | kDumped | kInline},
    FieldOf{"Rng", &World::Rng, kHashed | kDumped | kInline},
    FieldOf{"GroundTexture", &World::GroundTexture},
    FieldOf{"Catalogue", &World::Catalogue, kHashed | kDumped | kLengthOnly},
    // Only drawing reads it; the level's objects and treasuries carry the match.
    FieldOf{"Ground", &World::Ground, 0},
    FieldOf{"Rallies", &World::Rallies, kHashed | kDumped | kOnceSet},
    // Its effects on objects and treasuries carry the match.
    FieldOf{"Mission", &World::Mission, 0},
};

inline const auto& FieldsOf(const TObyekt&) {
  return kObjectFields;
}
inline const auto& FieldsOf(const TSide&) {
  return kSideFields;
}
inline const auto& FieldsOf(const Random&) {
  return kRandomFields;
}
inline const auto& FieldsOf(const RallyPoint&) {
  return kRallyFields;
}
inline const auto& FieldsOf(const GroundArea&) {
  return kGroundFields;
}
inline const auto& FieldsOf(const MissionNews&) {
  return kMissionFields;
}
inline const auto& FieldsOf(const World&) {
  return kWorldFields;
}
