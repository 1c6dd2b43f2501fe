// The game menu (Escape or the banner's menu button) as a list of entries read from the
// window's match when it opens: texts, object names, which are enabled or checked, and what
// each does. The window makes its toolkit's menu of them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class WindowCore;

struct MenuItem {
  std::string Text;  // shown, translated (UTF-8); empty: a separator
  std::string Name;  // the action's object name ("NewMatch"), for tests and scripts
  std::function<void()> Action;
  bool Enabled = true;
  std::optional<bool> Checked;  // none: not checkable
  std::vector<MenuItem> Sub;    // not empty: a submenu of these
};

// The entries as the window's match stands now; the core runs the chosen one (or asks its
// shell, for the keys, the charts and quitting).
std::vector<MenuItem> GameMenu(WindowCore& core);
