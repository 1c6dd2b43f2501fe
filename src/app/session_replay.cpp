// The session in the replay viewer: opening, stepping and seeking a recording, and taking
// the replayed match over.
#include <iostream>

#include "app/replay.h"
#include "app/session.h"
#include "util/translate.h"

void Session::OpenReplay(Script script) {
  CloseRecording();
  ResetSession(false);
  StartReplay(std::move(script));
}

bool Session::WatchMatchReplay() {
  if (!matchStart_) return false;
  Script script = matchLog_;
  const SessionSnapshot start = *matchStart_;
  CloseRecording();
  matchEnd_.reset();
  Restore(start);
  StartReplay(std::move(script));
  pace_.SetPaused(false);
  note_.clear();
  return true;
}

void Session::StartReplay(Script script) {
  replay_ = std::make_unique<ReplayPlayer>(std::move(script));
  replayEnded_ = false;
}

ReplayPlayer* Session::OpenedReplay() {
  if (replay_ && !replay_->opened()) {
    BusyScope busy(busy_);
    replay_->Open(*this);
    if (!replay_->error().empty()) std::cerr << "rtsdemo: " << replay_->error() << "\n";
  }
  return replay_.get();
}

bool Session::SeekReplay(uint64_t frame) {
  if (!OpenedReplay()) return true;
  bool ok = true;
  {
    BusyScope busy(busy_);
    ok = replay_->Seek(*this, frame);
  }
  replayEnded_ = false;
  note_.clear();
  if (!ok) {
    note_ = Tr("notes", "Out of step with the recording: %1; paused",
               {Tr("notes", "out of sync at frame %1", {std::to_string(*replay_->failedFrame())})});
    pace_.SetPaused(true);
  }
  Redraw();
  return ok;
}

bool Session::TakeOver(std::optional<int32_t> side, const std::string& path, std::string& error) {
  if (!OpenedReplay()) {
    error = "no recording plays";
    return false;
  }
  // The one log goes on from the lines replayed so far, to the file or in memory.
  const std::string played = replay_->PlayedText();
  CloseRecording();
  if (path.empty()) {
    recorder_ = std::make_unique<Recorder>();
    recordingClosed_ = false;
  } else if (!StartRecording(path, error)) {
    return false;
  }
  if (!played.empty()) recorder_->Begin(played);
  replay_.reset();
  replayEnded_ = false;
  // The window's inputs are its own player's from here on.
  const size_t mine = frontend_.local();
  if (mine != Frontend::kWatching && frontend_.inputPlayer() != mine)
    Apply(MakeCommand(CommandKind::Player, {static_cast<int64_t>(mine)}));
  if (side) Apply(MakeCommand(CommandKind::PlayAs, {*side}));
  note_ = Tr("notes", "Taken over at frame %1", {std::to_string(frontend_.state().Frames)});
  return true;
}

bool Session::Resume(const std::string& path, std::string& error) {
  if (!OpenedReplay()) {
    error = "no recording to resume";
    return false;
  }
  {
    BusyScope busy(busy_);
    replay_->PlayToEnd(*this);
  }
  // A check that failed anywhere, also one a keyframe jumped over, leaves the match other
  // than recorded: it does not go on.
  if (const std::optional<uint64_t> failed = replay_->FirstFailure()) {
    error = Tr("notes", "out of sync at frame %1", {std::to_string(*failed)});
    return false;
  }
  return TakeOver(std::nullopt, path, error);
}

void Session::ReplayStopped(const std::string& box, const std::string& note) {
  pace_.SetPaused(true);
  note_ = note;
  if (!box.empty()) {
    std::cerr << "rtsdemo: " << box << "\n";
    host_.Notice(box);
  }
}
