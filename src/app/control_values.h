// The values of the window's controls as one plain record, read through Controls, for the
// state hash and the dump.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/controls.h"

struct ButtonValues {
  bool Enabled = false;
  std::string Caption;
};

struct ComboValues {
  std::vector<std::string> Items;
  int32_t ItemIndex = -1;
  std::string Text;
};

// Named as the window names its controls.
struct ControlValues {
  ButtonValues Button1;
  ButtonValues Button2;
  ButtonValues Button3;
  bool CheckBox1 = false;
  bool CheckBox2 = false;
  ComboValues ComboBox1;
  ComboValues ComboBox2;
  ComboValues ComboBox3;
  std::vector<std::string> ListBox1;
  std::array<int32_t, 2> Panel3{};  // the view's width and height
};

// The view's size at start-up; a network player's view is this size until its first `resize`.
inline constexpr std::array<int32_t, 2> kStartViewSize{485, 447};

ControlValues ReadControls(const Controls& controls);
// Everything but the view size, which the session's host sets.
void WriteControls(Controls& controls, const ControlValues& values);

// Button n (1 to 3) and combo box k (1 to 3) of the record.
ButtonValues& ButtonOf(ControlValues& values, int n);
ComboValues& ComboOf(ControlValues& values, int k);
