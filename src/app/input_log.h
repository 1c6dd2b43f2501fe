// The session's one input log: every input that changes the match, to a file (--record) or
// kept in memory, saved as a script that replays the session; and the current match's start
// with its inputs since, for watching it again.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/command.h"
#include "app/recorder.h"
#include "app/session_snapshot.h"

class Session;

class InputLog {
 public:
  explicit InputLog(Session& session) : s_(session) {}
  // Writes every input to path from now on; false with the system's reason.
  bool Record(const std::string& path, std::string& error);
  // Keeps every input in memory from now on (the window always does), so that the session
  // can be saved and its match watched again.
  void Keep();
  bool kept() const { return keep_; }
  // The last ticks and a final sync check; the inputs kept stay to be saved.
  void Close();
  // The inputs so far as a script that replays the session, written to path; false with the
  // reason. Needs Keep or Record.
  bool Save(const std::string& path, std::string& error);
  // The match so far as a recording that replays it (also in the viewer); false with the reason.
  bool SaveMatch(const std::string& path, std::string& error);
  // A line of the recording that replays as nothing (a chat message).
  void Comment(const std::string& text);

 private:
  friend class Session;
  friend class ReplayViewer;

  // Goes on in memory (path empty) or to path, beginning with the lines `played`.
  bool Continue(const std::string& played, const std::string& path, std::string& error);
  // An input that changes the match, and a frame done, outside the viewer.
  void Input(const Command& command);
  void Frame();
  // The match's start: taken at its first input or frame from now on.
  void MatchStarted();
  void TakeMatchStart();
  void FirstFrameSeed();
  void ForgetMatch();

  Session& s_;
  std::unique_ptr<Recorder> recorder_;
  bool keep_ = false;
  bool closed_ = false;
  std::optional<SessionSnapshot> matchStart_;
  bool startPending_ = false;
  bool startSeedPending_ = false;  // taken before the first frame: its seed is patched in after
  Script matchLog_;
};
