// The session's recordings: to a file or kept in memory, and saved as scripts that replay it.
#include <filesystem>
#include <fstream>
#include <iostream>

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

bool Session::StartRecording(const std::string& path, std::string& error) {
  auto recorder = std::make_unique<Recorder>(path);
  if (!recorder->ok()) {
    error = "cannot write the recording " + path + ": " + recorder->error();
    return false;
  }
  recorder_ = std::move(recorder);
  recordingClosed_ = false;
  // A write that fails later stops the recording; the user is told where it stops.
  recorder_->onStop = [this] {
    std::cerr << "rtsdemo: " << recorder_->StopText() << "\n";
    note_ = Tr("notes", "The recording stopped at frame %1: %2",
               {std::to_string(recorder_->framesWritten()), recorder_->error()});
  };
  return true;
}

void Session::RecordComment(const std::string& text) {
  if (recorder_ && !replay_) recorder_->Comment(text);
}

void Session::KeepInputs() {
  keepInputs_ = true;
  if (!recorder_) recorder_ = std::make_unique<Recorder>();
}

void Session::CloseRecording() {
  if (!recorder_ || recordingClosed_) return;
  recorder_->Close(frontend_);
  recordingClosed_ = true;
}

bool Session::SaveRecording(const std::string& path, std::string& error) {
  if (!recorder_) {
    error = "no inputs were kept";
    return false;
  }
  std::error_code ec;
  if (!recorder_->path().empty() && std::filesystem::equivalent(path, recorder_->path(), ec)) {
    error = path + " is the file the session is being recorded to";
    return false;
  }
  return WriteText(path, recorder_->Text(frontend_), error);
}

bool Session::SaveMatch(const std::string& path, std::string& error) {
  std::string text;
  if (replay_) {
    text = OpenedReplay()->PlayedText();
    if (!text.empty()) text += "hash " + HashText(StateHash(frontend_)) + "\n";
  } else if (recorder_) {
    text = recorder_->Text(frontend_);
  }
  if (text.empty()) {
    error = "nothing to save before the first frame";
    return false;
  }
  return WriteText(path, text, error);
}
