// The session's input log: recordings to a file or in memory, and the match's start kept.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "app/input_log.h"
#include "app/replay.h"
#include "app/session.h"
#include "app/state_hash.h"
#include "util/translate.h"

namespace {

// Writes a saved script; false with the reason.
bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) error = "cannot write " + path;
  return static_cast<bool>(file);
}

}  // namespace

bool InputLog::Record(const std::string& path, std::string& error) {
  auto recorder = std::make_unique<Recorder>(path);
  if (!recorder->ok()) {
    error = "cannot write the recording " + path + ": " + recorder->error();
    return false;
  }
  recorder_ = std::move(recorder);
  closed_ = false;
  // A write that fails later stops the recording; the user is told where it stops.
  recorder_->onStop = [this] {
    std::cerr << "rtsdemo: " << recorder_->StopText() << "\n";
    s_.view().SetNote(Tr("notes", "The recording stopped at frame %1: %2",
                         {std::to_string(recorder_->framesWritten()), recorder_->error()}));
  };
  return true;
}

bool InputLog::Continue(const std::string& played, const std::string& path, std::string& error) {
  Close();
  if (path.empty()) {
    recorder_ = std::make_unique<Recorder>();
    closed_ = false;
  } else if (!Record(path, error)) {
    return false;
  }
  if (!played.empty()) recorder_->Begin(played);
  return true;
}

void InputLog::Comment(const std::string& text) {
  if (recorder_ && !s_.viewer().playing()) recorder_->Comment(text);
}

void InputLog::Keep() {
  keep_ = true;
  if (!recorder_) recorder_ = std::make_unique<Recorder>();
}

void InputLog::Close() {
  if (!recorder_ || closed_) return;
  recorder_->Close(s_.frontend());
  closed_ = true;
}

bool InputLog::Save(const std::string& path, std::string& error) {
  if (!recorder_) {
    error = "no inputs were kept";
    return false;
  }
  std::error_code ec;
  if (!recorder_->path().empty() && std::filesystem::equivalent(path, recorder_->path(), ec)) {
    error = path + " is the file the session is being recorded to";
    return false;
  }
  return WriteText(path, recorder_->Text(s_.frontend()), error);
}

bool InputLog::SaveMatch(const std::string& path, std::string& error) {
  std::string text;
  if (s_.viewer().playing()) {
    text = s_.viewer().Opened()->PlayedText();
    if (!text.empty()) text += "hash " + HashText(StateHash(s_.frontend())) + "\n";
  } else if (recorder_) {
    text = recorder_->Text(s_.frontend());
  }
  if (text.empty()) {
    error = "nothing to save before the first frame";
    return false;
  }
  return WriteText(path, text, error);
}

void InputLog::Input(const Command& command) {
  if (recorder_) recorder_->Input(command);
  if (startPending_) TakeMatchStart();
  if (matchStart_) matchLog_.push_back({0, command});
}

void InputLog::Frame() {
  if (recorder_) recorder_->FrameDone(s_.frontend(), s_.platform().usedSeeds);
  if (!matchStart_) return;
  if (!matchLog_.empty() && matchLog_.back().Cmd.Kind == CommandKind::Tick)
    ++matchLog_.back().Cmd.Args[0].I;
  else
    matchLog_.push_back({0, MakeCommand(CommandKind::Tick, {1})});
}

void InputLog::MatchStarted() {
  ForgetMatch();
  startPending_ = keep_;
}

void InputLog::TakeMatchStart() {
  startPending_ = false;
  matchStart_ = s_.Save();
  startSeedPending_ = s_.frontend().state().FirstFrame;
}

void InputLog::FirstFrameSeed() {
  const std::vector<uint32_t>& seeds = s_.platform().usedSeeds;
  if (startSeedPending_ && !s_.frontend().state().FirstFrame && !seeds.empty()) {
    // The snapshot was taken before the first frame: its replay seeds as this frame did.
    matchStart_->NextSeed = seeds.back();
    startSeedPending_ = false;
  }
}

void InputLog::ForgetMatch() {
  matchStart_.reset();
  startPending_ = startSeedPending_ = false;
  matchLog_.clear();
}
