// Runs a script on a session frame by frame (the replay viewer steps it from the timer).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "app/command.h"
#include "app/script_target.h"

class ScriptRunner {
 public:
  explicit ScriptRunner(Script script);
  enum class Stop { Frame, End, Error, OutOfSync };
  struct Result {
    Stop stop;
    std::string message;  // for Error and OutOfSync
  };
  // Runs commands until one tick has run a frame (drawn when show), or to the end, an error
  // or a failed check. The run can go on after a failed check.
  Result Step(ScriptTarget& target, std::ostream& out, bool show = true);

  // Step in two halves: the commands up to the next frame (Frame: one is due), then that frame.
  Result Prepare(ScriptTarget& target, std::ostream& out);
  void RunDueFrame(ScriptTarget& target, bool show);
  // The `hash` lines right after the frame just run; the run goes on after a failed one.
  Result Checks(ScriptTarget& target, std::ostream& out);

  // Where the runner stands in its script (a keyframe keeps it).
  struct Position {
    size_t next = 0;
    int number = 0;
    uint64_t ticksLeft = 0;
  };
  Position position() const { return {next_, number_, ticksLeft_}; }
  void SetPosition(const Position& p) {
    next_ = p.next;
    number_ = p.number;
    ticksLeft_ = p.ticksLeft;
  }
  const Script& script() const { return script_; }
  // The lines run so far as a script that replays them, a tick line cut where it stands.
  std::string PlayedText() const;

 private:
  Script script_;
  size_t next_ = 0;         // the next line to run
  int number_ = 0;          // of the last line run
  uint64_t ticksLeft_ = 0;  // of the last tick line
};
