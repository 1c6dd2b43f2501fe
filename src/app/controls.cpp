#include "app/controls.h"

ControlValues ReadControls(const Controls& c) {
  ControlValues v;
  for (int n = 1; n <= 3; ++n) {
    v.Buttons[static_cast<size_t>(n - 1)] = {c.ButtonEnabled(n), c.ButtonCaption(n)};
    v.Combos[static_cast<size_t>(n - 1)] = {c.ComboItems(n), c.ComboIndex(n), c.ComboText(n)};
  }
  for (int n = 1; n <= 2; ++n) v.Checks[static_cast<size_t>(n - 1)] = c.Checked(n);
  v.Lines = c.ListLines();
  v.ViewWidth = c.ViewWidth();
  v.ViewHeight = c.ViewHeight();
  return v;
}

void WriteControls(Controls& c, const ControlValues& v) {
  for (int n = 1; n <= 3; ++n) {
    const ControlValues::Button& b = v.Buttons[static_cast<size_t>(n - 1)];
    c.SetButtonEnabled(n, b.Enabled);
    c.SetButtonCaption(n, b.Caption);
    const ControlValues::Combo& combo = v.Combos[static_cast<size_t>(n - 1)];
    c.ComboClear(n);
    for (const std::string& item : combo.Items) c.ComboAdd(n, item);
    c.SetComboIndex(n, combo.Index);
    c.SetComboText(n, combo.Text);
  }
  for (int n = 1; n <= 2; ++n) c.SetChecked(n, v.Checks[static_cast<size_t>(n - 1)]);
  c.ListClear();
  for (const std::string& line : v.Lines) c.ListAdd(line);
}
