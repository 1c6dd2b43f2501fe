// The session's own frames for the match loop: its match, or the replay while one plays.
#include "app/session.h"

void Session::Timer(std::optional<int64_t> nowMs, bool present) {
  loop_.Timer(Source(), nowMs, present);
}

bool Session::Frames(uint64_t n) {
  return loop_.Frames(Source(), n);
}

int Session::BeginTick() {
  if (wiring_.listener) wiring_.listener->Ticked(*this);
  const int frames = pace_.FramesForTick();
  // The recording moves the camera of a replay.
  if (!viewer_.playing()) CameraTick(frames);
  return frames;
}

bool Session::RunFrame(bool show, FrameCall call) {
  if (viewer_.playing()) return viewer_.Frame(show, call);
  RunFrame(show);
  return true;
}

void Session::EndTick(bool) {
  // The rules' camera has no bound. The window's gets one the first time it leaves the ground,
  // so that matches whose camera never goes far keep the rules' hashes.
  if (!viewer_.playing() && !frontend_.view().Bounded && frontend_.OffGround())
    Apply(MakeCommand(CommandKind::Bound, {1}));
}

void Session::CameraTick(int frames) {
  // At x1 each frame moves the camera, as the rules say; paused or at another speed one scroll
  // step a tick does, so the camera keeps 1 unit per 10 ms. The switch waits for a step to take.
  const bool ticks = pace_.paused() || pace_.speed() != Pace::kNormal;
  const bool moves = frontend_.WouldScroll();
  if (ticks != frontend_.view().TickScroll && (moves || !ticks))
    Apply(MakeCommand(CommandKind::Camera, {ticks ? 1 : 0}));
  if (ticks && moves) {
    Apply(MakeCommand(CommandKind::Scroll, {}));
    // At the slow speeds most ticks run no frame; paused, ViewMoved has drawn it.
    if (frames == 0 && !pace_.paused()) {
      frontend_.TakeCamera();
      view_.Redraw();
    }
  }
}
