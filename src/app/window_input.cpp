// The window core's inputs: the panel's, the keys' and the mouse's over the view.
#include <algorithm>
#include <cmath>

#include "app/window_core.h"
#include "util/translate.h"

void WindowCore::Input(const Command& command) {
  // While a recording plays, the user's mouse over the view changes nothing.
  if (s_.busy() || s_.viewer().playing() || !created_ || exiting_) return;
  Guarded([&] { s_.Apply(command); });
}

void WindowCore::Clicked(int n) {
  Guarded([&] { s_.Apply(MakeCommand(CommandKind::Press, {n})); });
  // The level runs: the keys (P, Tab, arrows ...) go to the view from now on.
  if (n == 2 && !s_.controls().ButtonEnabled(2)) {
    shell_.FocusView();
    LookAtLevel();
  }
}

void WindowCore::Press(int n) {
  if (exiting_) throw ProgramExit{exitCode_};
  Guarded([&] { s_.Apply(MakeCommand(CommandKind::Press, {n})); });
  if (exiting_) throw ProgramExit{exitCode_};
}

bool WindowCore::Key(const KeyStroke& key) {
  const bool once = key.Press && !key.Repeat;
  if (key.Digit) {
    if (once && created_ && !exiting_ && !s_.busy()) {
      Guarded([&] {
        s_.view().GroupKey(key.Digit, (key.Mods & kCtrl) != 0, (key.Mods & kShift) != 0, key.Ms);
      });
    }
    return true;
  }
  const KeyRow* row = FindKey(key.Code, key.Mods, s_.viewer().playing(), net_ != nullptr);
  if (!row) {
    // The command card's hotkeys, without modifiers.
    if (key.Mods || key.Alt || key.Code < 'A' || key.Code > 'Z') return false;
    const int32_t item = CardButtonOfKey(card_, static_cast<char>(key.Code));
    if (item < 0) return false;
    if (once) ChooseOnCard(item);
    return true;
  }
  switch (row->Action) {
    case KeyAction::Sound:
    case KeyAction::Louder:
    case KeyAction::Softer:
      if (key.Press) SoundKey(row->Action, key.Repeat);
      return true;
    case KeyAction::SaveMatch:
      if (once && created_ && !exiting_) SaveMatch();
      return true;
    case KeyAction::Chat:
      if (once && net_ && net_->started() && !net_->ended()) shell_.OpenChat();
      return true;
    case KeyAction::TakeOver0:
    case KeyAction::TakeOver1:
    case KeyAction::TakeOverBoth:
      if (once) TakeOver(static_cast<int>(row->Action) - static_cast<int>(KeyAction::TakeOver0));
      return true;
    default:
      break;
  }
  if (row->When == KeyWhen::Replay && (!created_ || exiting_ || s_.busy())) return true;
  KeyResult result = KeyResult::Done;
  Guarded([&] { result = s_.view().Key(row->Action, key.Press, key.Repeat); });
  if (result == KeyResult::ShowHelp) shell_.ShowKeys();
  if (result == KeyResult::SavePicture) SavePicture();
  if (result == KeyResult::ShowMenu) shell_.ShowMenu();
  if (!IsArrowKey(key.Code) || key.Mods) UpdateBanner();
  shell_.RepaintTimeline();
  return true;
}

void WindowCore::SoundKey(KeyAction action, bool repeat) {
  if (action == KeyAction::Louder) {
    volume_.Louder();
  } else if (action == KeyAction::Softer) {
    volume_.Softer();
  } else if (!repeat) {
    volume_.ToggleMute();
  }
  const int percent = static_cast<int>(std::lround(volume_.volume() * 100));
  s_.view().SetNote(volume_.muted()
                        ? Tr("notes", "Sound off")
                        : Tr("notes", "Sound on, volume %1 %", {std::to_string(percent)}));
  UpdateBanner();
}

void WindowCore::ReleaseKeys() {
  Guarded([this] { s_.view().ReleaseKeys(); });
}

// A card button as the build box's choice: the same input as choosing the line in the box.
void WindowCore::ChooseOnCard(int32_t item) {
  Controls& c = s_.controls();
  if (item >= 0 && item < static_cast<int32_t>(c.ComboItems(2).size())) c.SetComboIndex(2, item);
}

bool WindowCore::OverMinimap(int x, int y) {
  return created_ && s_.view().OverMinimap(x, y);
}

void WindowCore::Minimap(int x, int y) {
  if (!created_ || exiting_ || s_.busy()) return;
  // A drag beyond the square keeps to its edge.
  const MinimapLayout m = s_.view().Minimap();
  const int h = s_.controls().ViewHeight();
  x = std::clamp(x, m.X, m.X + m.Size - 1);
  y = std::clamp(y, h - m.Y - m.Size, h - 1 - m.Y);
  Guarded([&] { s_.view().MinimapPress(x, y); });
}

void WindowCore::Moved(int x, int y) {
  Input(MakeCommand(CommandKind::Move, {x, y}));
}

void WindowCore::Left() {
  Input(MakeCommand(CommandKind::Leave, {}));
}

void WindowCore::Pressed(Frontend::Button button) {
  Input(MakeCommand(CommandKind::Down, {static_cast<int64_t>(button)}));
}

void WindowCore::RightPressed(bool shift) {
  if (!created_) return;
  const bool hidden = s_.frontend().HiddenUnderCursor();
  Input(RightClickCommand(shift, s_.frontend().WouldRally()));
  if (hidden) Input(MakeCommand(CommandKind::Blind, {}));
}

void WindowCore::Dragging(ViewBox box) {
  if (created_ && !s_.viewer().playing()) Guarded([&] { s_.view().SetDragBox(box); });
}

void WindowCore::DragEnded() {
  if (created_) Guarded([&] { s_.view().SetDragBox(std::nullopt); });
}

void WindowCore::BoxReleased(ViewBox box, bool add) {
  Input(MakeCommand(CommandKind::Box, {box.X1, box.Y1, box.X2, box.Y2, add}));
}

void WindowCore::DoubleClicked(int x, int y) {
  Input(MakeCommand(CommandKind::Same, {x, y}));
}

void WindowCore::Wheeled(int steps, int x, int y) {
  if (created_ && !exiting_ && !s_.busy()) Guarded([&] { s_.view().Wheel(steps, x, y); });
}
