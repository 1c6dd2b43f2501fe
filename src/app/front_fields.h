// The fields of FrontState, in the order the state hash takes them.
#pragma once

#include <array>

#include "app/front_state.h"
#include "util/fields.h"

inline const std::array<Field<FrontState>, 12> kFrontFields = {{
    {"Frames", &FrontState::Frames},
    {"MouseX", &FrontState::MouseX},
    {"MouseY", &FrontState::MouseY},
    {"ScrollTicks", &FrontState::ScrollTicks},
    {"CameraX", &FrontState::CameraX},
    {"CameraY", &FrontState::CameraY},
    {"LeftClicked", &FrontState::LeftClicked, kHashed},
    {"RightClicked", &FrontState::RightClicked, kHashed},
    {"ClickCommand", &FrontState::ClickCommand},
    {"HoverIndex", &FrontState::HoverIndex},
    {"ShowBars", &FrontState::ShowBars, kHashed},
    // Only true before the first frame, which Frames already tells.
    {"FirstFrame", &FrontState::FirstFrame, 0},
}};
