// The session's own frames for the match loop: its match, or the replay while one plays.
#include "app/replay.h"
#include "app/session.h"
#include "util/translate.h"

void Session::Timer(std::optional<int64_t> nowMs, bool present) {
  loop_.Timer(Source(), nowMs, present);
}

bool Session::Frames(uint64_t n) {
  return loop_.Frames(Source(), n);
}

int Session::BeginTick() {
  if (listener_) listener_->Ticked(*this);
  const int frames = pace_.FramesForTick();
  // The recording moves the camera of a replay.
  if (!replay_) CameraTick(frames);
  return frames;
}

bool Session::RunFrame(bool show, FrameCall call) {
  if (replay_) return ReplayFrame(show, call);
  RunFrame(show);
  return true;
}

void Session::EndTick(bool) {
  // The rules' camera has no bound. The window's gets one the first time it leaves the ground,
  // so that matches whose camera never goes far keep the rules' hashes.
  if (!replay_ && !frontend_.view().Bounded && frontend_.OffGround())
    Apply(MakeCommand(CommandKind::Bound, {1}));
}

bool Session::ReplayFrame(bool show, FrameCall call) {
  if (replayEnded_) {
    if (call == FrameCall::Timer) pace_.SetPaused(true);
    return false;
  }
  OpenedReplay();
  const ScriptRunner::Result result = replay_->Step(*this, show);
  if (result.stop == ScriptRunner::Stop::Frame) return true;
  if (result.stop != ScriptRunner::Stop::OutOfSync) replayEnded_ = true;
  // A script that plays the replay fails with it; the viewer pauses and says why.
  if (call == FrameCall::Script) {
    if (result.stop == ScriptRunner::Stop::Error) throw CommandError{result.message};
    if (result.stop == ScriptRunner::Stop::OutOfSync) throw OutOfSync{frontend_.state().Frames};
    return false;
  }
  switch (result.stop) {
    case ScriptRunner::Stop::End:
      ReplayStopped({}, Tr("notes", "The recording ended at frame %1: paused",
                           {std::to_string(frontend_.state().Frames)}));
      break;
    case ScriptRunner::Stop::Error:
      ReplayStopped(result.message, Tr("notes", "The recording stopped: %1", {result.message}));
      break;
    default:
      ReplayStopped(result.message,
                    Tr("notes", "Out of step with the recording: %1; paused", {result.message}));
      break;
  }
  return false;
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
      Redraw();
    }
  }
}
