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
