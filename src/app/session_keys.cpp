// The session's side of the keys: what each key does to the match, the pace and the viewer.
#include <algorithm>

#include "app/replay.h"
#include "app/session.h"
#include "app/timeline.h"
#include "util/translate.h"

namespace {

// Where a seek key of the replay viewer goes from frame `now`; nothing for another key.
std::optional<uint64_t> SeekTarget(KeyAction action, uint64_t now, const ReplayPlayer& replay) {
  auto back = [&](uint64_t n) { return now > n ? now - n : 0; };
  switch (action) {
    case KeyAction::Back:
      return back(1);
    case KeyAction::SecondBack:
      return back(100);
    case KeyAction::SecondForward:
      return now + 100;
    case KeyAction::TenBack:
      return back(1000);
    case KeyAction::TenForward:
      return now + 1000;
    case KeyAction::ToStart:
      return 0;
    case KeyAction::ToEnd:
      return replay.length();
    case KeyAction::NextMark: {
      const std::optional<ReplayMark> mark = replay.NextMark(now);
      return mark ? mark->Frame : now;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

void Session::GroupKey(int digit, bool ctrl, bool shift, int64_t ms) {
  // The recording selects in a replay, not the user.
  if (replay_ || digit < 1 || digit > 9) return;
  Apply(groupTaps_.Tap(digit, ctrl, shift, ms));
}

KeyResult Session::Key(KeyAction action, bool press, bool repeat) {
  switch (action) {
    case KeyAction::Left:
    case KeyAction::Right:
    case KeyAction::Up:
    case KeyAction::Down: {
      // The recording moves the camera of a replay, not the user.
      if (repeat || replay_) return KeyResult::Done;
      static constexpr bool PlayerInput::*kHeld[] = {
          &PlayerInput::ArrowLeft, &PlayerInput::ArrowRight, &PlayerInput::ArrowUp,
          &PlayerInput::ArrowDown};
      const int64_t k = static_cast<int64_t>(action) - static_cast<int64_t>(KeyAction::Left);
      if (frontend_.player().*kHeld[k] != press) Apply(MakeCommand(CommandKind::Key, {k, press}));
      return KeyResult::Done;
    }
    default:
      break;
  }
  if (!press) return KeyResult::Done;
  if (replay_) {
    if (const auto target = SeekTarget(action, frontend_.state().Frames, *OpenedReplay())) {
      if (action == KeyAction::Back) pace_.SetPaused(true);
      SeekReplay(*target);
      // At a mark the banner says which.
      if (action == KeyAction::NextMark) {
        const uint64_t now = frontend_.state().Frames;
        for (const ReplayMark& m : replay_->marks())
          if (m.Frame == now) SetNote(ClockText(now) + "  " + MarkText(m));
      }
      return KeyResult::Done;
    }
  }
  const bool pace = action == KeyAction::Pause || action == KeyAction::Step ||
                    action == KeyAction::Faster || action == KeyAction::Slower;
  if (pace && external_ && external_->PaceKey(action, repeat)) return KeyResult::Done;
  switch (action) {
    case KeyAction::Pause:
      if (!repeat) pace_.TogglePause();
      break;
    case KeyAction::Step:
      pace_.Step();
      break;
    case KeyAction::Faster:
      pace_.Faster();
      break;
    case KeyAction::Slower:
      pace_.Slower();
      break;
    case KeyAction::Help:
      return repeat ? KeyResult::Done : KeyResult::ShowHelp;
    case KeyAction::Thoughts:
      if (repeat) break;
      thoughts_ = !thoughts_;
      if (pace_.paused()) Redraw();
      break;
    case KeyAction::Picture:
      return repeat ? KeyResult::Done : KeyResult::SavePicture;
    case KeyAction::Home:
      // Without a side of one's own, side 0's.
      if (!replay_) Apply(MakeCommand(CommandKind::Home, {std::max(frontend_.player().PlayAs, 0)}));
      break;
    case KeyAction::Sight:
      // Everything, side 0's, side 1's, and round again.
      if (!repeat) ChooseSight(frontend_.sightChoice() >= 1 ? -1 : frontend_.sightChoice() + 1);
      break;
    case KeyAction::Minimap:
      if (!repeat) SetMinimap(!overlays_.minimapShown());
      break;
    case KeyAction::Menu:
      return repeat ? KeyResult::Done : KeyResult::ShowMenu;
    default:
      break;
  }
  return KeyResult::Done;
}

void Session::ChooseSight(int32_t side) {
  if (frontend_.OwnSight()) return;
  frontend_.ChooseSight(side);
  SetNote(side < 0 ? Tr("notes", "Showing everything")
                   : Tr("notes", "Showing side %1's sight", {std::to_string(side)}));
  if (pace_.paused()) Redraw();
}

void Session::ReleaseKeys() {
  for (KeyAction a : {KeyAction::Left, KeyAction::Right, KeyAction::Up, KeyAction::Down})
    Key(a, false, false);
}
