// The fields of the front end's records, in the order the state hash takes them.
#pragma once

#include <array>
#include <string>
#include <tuple>

#include "app/control_values.h"
#include "app/front_state.h"
#include "util/fields.h"

inline const std::array<Field<FrontState>, 16> kFrontFields = {{
    {"Frames", &FrontState::Frames},
    {"MouseX", &FrontState::MouseX},
    {"MouseY", &FrontState::MouseY},
    {"ScrollTicks", &FrontState::ScrollTicks},
    {"CameraX", &FrontState::CameraX},
    {"CameraY", &FrontState::CameraY},
    {"LeftClicked", &FrontState::LeftClicked},
    {"RightClicked", &FrontState::RightClicked},
    {"ClickCommand", &FrontState::ClickCommand},
    {"HoverIndex", &FrontState::HoverIndex},
    {"ShowBars", &FrontState::ShowBars},
    // Only true before the first frame, which Frames already tells.
    {"FirstFrame", &FrontState::FirstFrame, 0},
    // HoverIndex tells what it changes; left out, recordings without "leave" keep their hashes.
    {"CursorOut", &FrontState::CursorOut, 0},
    // Set with RightClicked and reset with it at the frame's end, when the hash is taken.
    {"Queued", &FrontState::Queued, 0},
    {"Rally", &FrontState::Rally, 0},
    {"Blind", &FrontState::Blind, 0},
}};

inline const auto kPlayerFields = std::tuple{
    FieldOf{"PlayAs", &PlayerInput::PlayAs},         FieldOf{"ArrowLeft", &PlayerInput::ArrowLeft},
    FieldOf{"ArrowRight", &PlayerInput::ArrowRight}, FieldOf{"ArrowUp", &PlayerInput::ArrowUp},
    FieldOf{"ArrowDown", &PlayerInput::ArrowDown},
};

inline const auto kViewFields = std::tuple{
    FieldOf{"ZoomStep", &ViewInput::ZoomStep},
    FieldOf{"TickScroll", &ViewInput::TickScroll},
    FieldOf{"Bounded", &ViewInput::Bounded},
};

inline const auto kGroupFields = std::tuple{
    FieldOf{"Groups", &ControlGroups::Groups},
};

inline const auto kButtonFields = std::tuple{
    FieldOf{"Enabled", &ButtonValues::Enabled},
    FieldOf{"Caption", &ButtonValues::Caption},
};
inline const auto kComboFields = std::tuple{
    FieldOf{"Items", &ComboValues::Items, kHashed | kDumped | kUncounted},
    FieldOf{"ItemIndex", &ComboValues::ItemIndex},
    FieldOf{"Text", &ComboValues::Text, kDumped},
};
inline const auto kControlFields = std::tuple{
    FieldOf{"Button1", &ControlValues::Button1},
    FieldOf{"Button2", &ControlValues::Button2},
    FieldOf{"Button3", &ControlValues::Button3},
    FieldOf{"CheckBox1", &ControlValues::CheckBox1},
    FieldOf{"CheckBox2", &ControlValues::CheckBox2},
    FieldOf{"ComboBox1", &ControlValues::ComboBox1},
    FieldOf{"ComboBox2", &ControlValues::ComboBox2},
    FieldOf{"ComboBox3", &ControlValues::ComboBox3},
    FieldOf{"ListBox1", &ControlValues::ListBox1, kDumped},
    FieldOf{"Panel3", &ControlValues::Panel3},
};

inline const auto& FieldsOf(const FrontState&) {
  return kFrontFields;
}
inline const auto& FieldsOf(const PlayerInput&) {
  return kPlayerFields;
}
inline const auto& FieldsOf(const ViewInput&) {
  return kViewFields;
}
inline const auto& FieldsOf(const ControlGroups&) {
  return kGroupFields;
}
inline const auto& FieldsOf(const ButtonValues&) {
  return kButtonFields;
}
inline const auto& FieldsOf(const ComboValues&) {
  return kComboFields;
}
inline const auto& FieldsOf(const ControlValues&) {
  return kControlFields;
}

// Player p's parts under the name "Players[p]", for the players after the first when there are
// several: cursor, camera, clicks, inputs, groups, view, widgets and selection.
inline void WalkPlayer(const PlayerState& p, const ControlValues& widgets, std::string_view name,
                       FieldSink& sink) {
  constexpr uint8_t kUses = kHashed | kDumped;
  if (!(sink.Wanted() & kUses)) return;
  sink.BeginRecord(name, kUses);
  WalkFields(p.State, kFrontFields, sink);
  WalkFields(p.Player, kPlayerFields, sink);
  WalkFields(p.Groups, kGroupFields, sink);
  WalkFields(p.View, kViewFields, sink);
  WalkFields(widgets, kControlFields, sink);
  WalkField(p.Selection, "Selection", kUses, sink);
  sink.EndRecord(kUses);
}

inline std::string PlayerName(size_t p) {
  return "Players[" + std::to_string(p) + "]";
}
