// The session's view: keys, overlays, the banner and the end of the match.
#include <algorithm>
#include <cmath>

#include "app/match_view.h"
#include "app/session.h"
#include "script/side_scripts.h"
#include "util/translate.h"

void MatchView::GroupKey(int digit, bool ctrl, bool shift, int64_t ms) {
  // The recording selects in a replay, not the user.
  if (s_.viewer().playing() || digit < 1 || digit > 9) return;
  s_.Apply(groupTaps_.Tap(digit, ctrl, shift, ms));
}

KeyResult MatchView::Key(KeyAction action, bool press, bool repeat) {
  const bool replaying = s_.viewer().playing();
  Frontend& front = s_.frontend();
  Pace& pace = s_.pace();
  switch (action) {
    case KeyAction::Left:
    case KeyAction::Right:
    case KeyAction::Up:
    case KeyAction::Down: {
      // The recording moves the camera of a replay, not the user.
      if (repeat || replaying) return KeyResult::Done;
      static constexpr bool PlayerInput::*kHeld[] = {
          &PlayerInput::ArrowLeft, &PlayerInput::ArrowRight, &PlayerInput::ArrowUp,
          &PlayerInput::ArrowDown};
      const int64_t k = static_cast<int64_t>(action) - static_cast<int64_t>(KeyAction::Left);
      if (front.player().*kHeld[k] != press) s_.Apply(MakeCommand(CommandKind::Key, {k, press}));
      return KeyResult::Done;
    }
    default:
      break;
  }
  if (!press) return KeyResult::Done;
  if (replaying && s_.viewer().SeekKey(action)) return KeyResult::Done;
  const bool paceKey = action == KeyAction::Pause || action == KeyAction::Step ||
                       action == KeyAction::Faster || action == KeyAction::Slower;
  FrameSource* external = s_.wiring().frames;
  if (paceKey && external && external->PaceKey(action, repeat)) return KeyResult::Done;
  switch (action) {
    case KeyAction::Pause:
      if (!repeat) pace.TogglePause();
      break;
    case KeyAction::Step:
      pace.Step();
      break;
    case KeyAction::Faster:
      pace.Faster();
      break;
    case KeyAction::Slower:
      pace.Slower();
      break;
    case KeyAction::Help:
      return repeat ? KeyResult::Done : KeyResult::ShowHelp;
    case KeyAction::Thoughts:
      if (repeat) break;
      thoughts_ = !thoughts_;
      if (pace.paused()) Redraw();
      break;
    case KeyAction::Picture:
      return repeat ? KeyResult::Done : KeyResult::SavePicture;
    case KeyAction::Home:
      // Without a side of one's own, side 0's.
      if (!replaying)
        s_.Apply(MakeCommand(CommandKind::Home, {std::max(front.player().PlayAs, 0)}));
      break;
    case KeyAction::Sight:
      // Everything, side 0's, side 1's, and round again.
      if (!repeat) ChooseSight(front.sightChoice() >= 1 ? -1 : front.sightChoice() + 1);
      break;
    case KeyAction::Minimap:
      if (!repeat) SetMinimap(!overlays_.minimapShown());
      break;
    case KeyAction::Menu:
      return repeat ? KeyResult::Done : KeyResult::ShowMenu;
    case KeyAction::ReloadScripts:
      if (!repeat) ReloadScripts();
      break;
    default:
      break;
  }
  return KeyResult::Done;
}

void MatchView::ReloadScripts() {
  // A network match's scripts are its data set's: they stay as the match began.
  const SideScripts* scripts = s_.frontend_.scripts();
  if (!s_.live() || !scripts || s_.controls_.ButtonEnabled(2) || s_.wiring().route) return;
  std::vector<Command> reads;
  for (int32_t side = 0; side < SideScripts::kSides; ++side)
    if (scripts->Has(side))
      reads.push_back(
          AiCommand(side, AiFileName(scripts->Files()[static_cast<size_t>(side)].first)));
  if (reads.empty()) return;
  for (const Command& read : reads) s_.Apply(read);
  const uint32_t seed = s_.matchSeed_;
  s_.Apply(NewMatchCommand(seed, {}));
  SetNote(Tr("notes", "The AI scripts were read again: a new match with seed %1",
             {std::to_string(seed)}));
}

void MatchView::ChooseSight(int32_t side) {
  Frontend& front = s_.frontend();
  if (front.OwnSight()) return;
  front.ChooseSight(side);
  SetNote(side < 0 ? Tr("notes", "Showing everything")
                   : Tr("notes", "Showing side %1's sight", {std::to_string(side)}));
  if (s_.pace().paused()) Redraw();
}

void MatchView::ReleaseKeys() {
  for (KeyAction a : {KeyAction::Left, KeyAction::Right, KeyAction::Up, KeyAction::Down})
    Key(a, false, false);
}

void MatchView::Moved() {
  // While paused no frame shows the camera's new place.
  if (!s_.pace().paused() || s_.viewer().playing()) return;
  s_.frontend().TakeCamera();
  Redraw();
}

void MatchView::SetMinimap(bool shown) {
  overlays_.SetMinimap(shown);
  if (s_.pace().paused()) Redraw();
}

MinimapLayout MatchView::Minimap() const {
  return Overlays::Minimap(s_.world_, s_.controls_);
}

bool MatchView::OverMinimap(int x, int y) const {
  return overlays_.MinimapPoint(s_.world_, s_.controls_, x, y).has_value();
}

bool MatchView::MinimapPress(int x, int y) {
  if (s_.viewer().playing()) return false;
  const std::optional<WorldPoint2> p = overlays_.MinimapPoint(s_.world_, s_.controls_, x, y);
  if (!p) return false;
  s_.Apply(MakeCommand(CommandKind::Look, {static_cast<int64_t>(std::floor(p->X)),
                                           static_cast<int64_t>(std::floor(p->Y))}));
  return true;
}

void MatchView::Wheel(int steps, int x, int y) {
  if (s_.viewer().playing()) return;
  for (int i = 0; i < std::abs(steps); ++i)
    s_.Apply(MakeCommand(CommandKind::Zoom, {steps > 0 ? 0 : 1, x, y}));
}

void MatchView::Resized() {
  const bool replaying = s_.viewer().playing();
  if (s_.wiring().scripted || s_.busy() || replaying) {
    // Only `resize` runs frames here; the toolkit's own resizes set the view.
    TakeViewSize();
    if (replaying) Redraw();  // the viewer keeps its picture
    return;
  }
  const Controls& c = s_.controls_;
  s_.Apply(MakeCommand(CommandKind::Resize, {c.ViewWidth(), c.ViewHeight()}));
}

void MatchView::TakeViewSize() {
  Session::BusyScope busy(s_.busy_);
  const Controls& c = s_.controls_;
  if (s_.host_.MakeCurrent()) s_.drawing_.Resize(c.ViewWidth(), c.ViewHeight(), c.ViewPixelRatio());
}

void MatchView::ResizeDrawing() {
  TakeViewSize();
  Redraw();
}

void MatchView::Redraw() {
  Session::BusyScope busy(s_.busy_);
  if (!s_.host_.MakeCurrent()) return;
  s_.frontend_.SetDrawing(s_.drawing_);
  s_.frontend_.Redraw();
  DrawOverlays();
  s_.host_.Present();
}

void MatchView::DrawOverlays() {
  overlays_.Draw(s_.world_, s_.frontend_, s_.controls_, s_.drawing_, s_.viewer().playing());
}

void MatchView::SetDragBox(std::optional<ViewBox> box) {
  overlays_.SetDragBox(box);
  // While paused no frame shows it.
  if (s_.pace().paused()) Redraw();
}

void MatchView::FrameDone() {
  // A script stopped this frame: the banner says which and why, once.
  if (const SideScripts* scripts = s_.frontend_.scripts()) {
    for (int32_t side = 0; side < SideScripts::kSides; ++side) {
      const std::string& why = scripts->Stopped(side);
      std::string& told = scriptStops_[static_cast<size_t>(side)];
      if (why == told) continue;
      told = why;
      if (!why.empty())
        SetNote(Tr("notes", "Side %1's script stopped (%2): the computer plays it",
                   {std::to_string(side), why}));
    }
  }
  const MatchWatch& match = s_.match_;
  if (s_.wiring().watchMatch && !s_.viewer().playing() && !endShown_ && match.decided() &&
      match.observer()) {
    endShown_ = true;
    matchEnd_ = EndOfMatch(match, s_.world_, s_.frontend_.player().PlayAs);
    s_.pace().SetPaused(true);
  }
}

void MatchView::KeepWatching() {
  if (!matchEnd_) return;
  matchEnd_.reset();
  s_.pace().SetPaused(false);
}

void MatchView::Clear() {
  matchEnd_.reset();
  endShown_ = false;
  note_.clear();
  overlays_.SetDragBox(std::nullopt);
}

std::string MatchView::Banner() const {
  const Pace& pace = s_.pace_;
  std::string text;
  if (!s_.controls_.ButtonEnabled(2)) {
    text = MatchBanner(s_.match_, pace.SpeedText(), pace.paused());
  } else {
    text = Tr("banner",
              "RTS demo on OpenGL: load the data, create the level and command with the mouse "
              "(F1: keys)");
    if (pace.speed() != Pace::kNormal || pace.paused()) {
      text += "   " + pace.SpeedText() + (pace.paused() ? Tr("banner", ", paused") : "");
    }
  }
  if (!note_.empty()) text += "\n" + note_;
  return text;
}
