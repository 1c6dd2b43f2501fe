// The session's replay viewer: opening, stepping and seeking a recording, taking it over.
#include <iostream>

#include "app/replay.h"
#include "app/replay_viewer.h"
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

ReplayViewer::ReplayViewer(Session& session) : s_(session) {}
ReplayViewer::~ReplayViewer() = default;

void ReplayViewer::Open(Script script) {
  s_.inputs().Close();
  s_.ResetSession(false);
  Start(std::move(script));
}

bool ReplayViewer::WatchMatch() {
  InputLog& log = s_.inputs();
  if (!log.matchStart_) return false;
  Script script = log.matchLog_;
  const SessionSnapshot start = *log.matchStart_;
  log.Close();
  s_.view_.matchEnd_.reset();
  s_.Restore(start);
  Start(std::move(script));
  s_.pace().SetPaused(false);
  s_.view().SetNote({});
  return true;
}

void ReplayViewer::Start(Script script) {
  replay_ = std::make_unique<ReplayPlayer>(std::move(script));
  ended_ = false;
}

void ReplayViewer::Close() {
  replay_.reset();
  ended_ = false;
}

ReplayPlayer* ReplayViewer::Opened() {
  if (replay_ && !replay_->opened()) {
    Session::BusyScope busy(s_.busy_);
    replay_->Open(s_);
    if (!replay_->error().empty()) std::cerr << "rtsdemo: " << replay_->error() << "\n";
  }
  return replay_.get();
}

bool ReplayViewer::Seek(uint64_t frame) {
  if (!Opened()) return true;
  bool ok = true;
  {
    Session::BusyScope busy(s_.busy_);
    ok = replay_->Seek(s_, frame);
  }
  ended_ = false;
  s_.view().SetNote({});
  if (!ok) {
    s_.view().SetNote(
        Tr("notes", "Out of step with the recording: %1; paused",
           {Tr("notes", "out of sync at frame %1", {std::to_string(*replay_->failedFrame())})}));
    s_.pace().SetPaused(true);
  }
  s_.view().Redraw();
  return ok;
}

bool ReplayViewer::SeekKey(KeyAction action) {
  const std::optional<uint64_t> target =
      SeekTarget(action, s_.frontend().state().Frames, *Opened());
  if (!target) return false;
  if (action == KeyAction::Back) s_.pace().SetPaused(true);
  Seek(*target);
  // At a mark the banner says which.
  if (action == KeyAction::NextMark) {
    const uint64_t now = s_.frontend().state().Frames;
    for (const ReplayMark& m : replay_->marks())
      if (m.Frame == now) s_.view().SetNote(ClockText(now) + "  " + MarkText(m));
  }
  return true;
}

bool ReplayViewer::TakeOver(std::optional<int32_t> side, const std::string& path,
                            std::string& error) {
  if (!Opened()) {
    error = "no recording plays";
    return false;
  }
  // The one log goes on from the lines replayed so far, to the file or in memory.
  if (!s_.inputs().Continue(replay_->PlayedText(), path, error)) return false;
  Close();
  // The window's inputs are its own player's from here on.
  Frontend& front = s_.frontend();
  const size_t mine = front.local();
  if (mine != Frontend::kWatching && front.inputPlayer() != mine)
    s_.Apply(MakeCommand(CommandKind::Player, {static_cast<int64_t>(mine)}));
  if (side) s_.Apply(MakeCommand(CommandKind::PlayAs, {*side}));
  s_.view().SetNote(Tr("notes", "Taken over at frame %1", {std::to_string(front.state().Frames)}));
  return true;
}

bool ReplayViewer::Resume(const std::string& path, std::string& error) {
  if (!Opened()) {
    error = "no recording to resume";
    return false;
  }
  {
    Session::BusyScope busy(s_.busy_);
    replay_->PlayToEnd(s_);
  }
  // A check that failed anywhere, also one a keyframe jumped over, leaves the match other
  // than recorded: it does not go on.
  if (const std::optional<uint64_t> failed = replay_->FirstFailure()) {
    error = Tr("notes", "out of sync at frame %1", {std::to_string(*failed)});
    return false;
  }
  return TakeOver(std::nullopt, path, error);
}

bool ReplayViewer::Frame(bool show, FrameCall call) {
  if (ended_) {
    if (call == FrameCall::Timer) s_.pace().SetPaused(true);
    return false;
  }
  Opened();
  const ScriptRunner::Result result = replay_->Step(s_, show);
  if (result.stop == ScriptRunner::Stop::Frame) return true;
  if (result.stop != ScriptRunner::Stop::OutOfSync) ended_ = true;
  // A script that plays the replay fails with it; the viewer pauses and says why.
  if (call == FrameCall::Script) {
    if (result.stop == ScriptRunner::Stop::Error) throw CommandError{result.message};
    if (result.stop == ScriptRunner::Stop::OutOfSync) throw OutOfSync{s_.frontend().state().Frames};
    return false;
  }
  const uint64_t frames = s_.frontend().state().Frames;
  switch (result.stop) {
    case ScriptRunner::Stop::End:
      Stopped({}, Tr("notes", "The recording ended at frame %1: paused", {std::to_string(frames)}));
      break;
    case ScriptRunner::Stop::Error:
      Stopped(result.message, Tr("notes", "The recording stopped: %1", {result.message}));
      break;
    default:
      Stopped(result.message,
              Tr("notes", "Out of step with the recording: %1; paused", {result.message}));
      break;
  }
  return false;
}

void ReplayViewer::Stopped(const std::string& box, const std::string& note) {
  s_.pace().SetPaused(true);
  s_.view().SetNote(note);
  if (!box.empty()) {
    std::cerr << "rtsdemo: " << box << "\n";
    s_.host().Notice(box);
  }
}
