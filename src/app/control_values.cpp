#include "app/control_values.h"

ControlValues ReadControls(const Controls& c) {
  const auto button = [&c](int n) { return ButtonValues{c.ButtonEnabled(n), c.ButtonCaption(n)}; };
  const auto combo = [&c](int k) {
    return ComboValues{c.ComboItems(k), c.ComboIndex(k), c.ComboText(k)};
  };
  ControlValues v;
  v.Button1 = button(1);
  v.Button2 = button(2);
  v.Button3 = button(3);
  v.CheckBox1 = c.Checked(1);
  v.CheckBox2 = c.Checked(2);
  v.ComboBox1 = combo(1);
  v.ComboBox2 = combo(2);
  v.ComboBox3 = combo(3);
  v.ListBox1 = c.ListLines();
  v.Panel3 = {c.ViewWidth(), c.ViewHeight()};
  return v;
}

ButtonValues& ButtonOf(ControlValues& v, int n) {
  static constexpr ButtonValues ControlValues::*kButtons[] = {
      &ControlValues::Button1, &ControlValues::Button2, &ControlValues::Button3};
  return v.*kButtons[n - 1];
}

ComboValues& ComboOf(ControlValues& v, int k) {
  static constexpr ComboValues ControlValues::*kCombos[] = {
      &ControlValues::ComboBox1, &ControlValues::ComboBox2, &ControlValues::ComboBox3};
  return v.*kCombos[k - 1];
}

void WriteControls(Controls& c, const ControlValues& values) {
  ControlValues v = values;
  for (int n = 1; n <= 3; ++n) {
    c.SetButtonEnabled(n, ButtonOf(v, n).Enabled);
    c.SetButtonCaption(n, ButtonOf(v, n).Caption);
    const ComboValues& combo = ComboOf(v, n);
    c.ComboClear(n);
    for (const std::string& item : combo.Items) c.ComboAdd(n, item);
    c.SetComboIndex(n, combo.ItemIndex);
    c.SetComboText(n, combo.Text);
  }
  c.SetChecked(1, v.CheckBox1);
  c.SetChecked(2, v.CheckBox2);
  c.ListClear();
  for (const std::string& line : v.ListBox1) c.ListAdd(line);
}
