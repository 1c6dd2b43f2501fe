// The game menu (Escape or the banner's menu button) and the end-of-match box. The menu is
// built from a list of entries, so an entry is one more row; the actions are the session's.
#pragma once

#include <QString>
#include <functional>
#include <vector>

class QMenu;
class QWidget;

struct MenuEntry {
  QString Text;  // shown, translated; empty: a separator
  QString Name;  // the action's object name ("NewMatch"), for tests and scripts
  std::function<void()> Action;
  std::function<bool()> Enabled;  // none: always
  std::function<bool()> Checked;  // none: not checkable
  std::vector<MenuEntry> Sub;     // not empty: a submenu of these
};

// A menu of the entries, parented to `parent`; each action's state is read when built.
QMenu* BuildMenu(QWidget* parent, const std::vector<MenuEntry>& entries);
