// Scripts: a file of commands, read and checked whole, then run on a session frame by frame.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/command.h"
#include "app/headless.h"
#include "app/session.h"

// Runs a script frame by frame (the replay viewer steps it from the timer).
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
  Result Step(Session& session, std::ostream& out, bool show = true);

  // Step in two halves: the commands up to the next frame (Frame: one is due), then that frame.
  Result Prepare(Session& session, std::ostream& out);
  void RunDueFrame(Session& session, bool show);
  // The `hash` lines right after the frame just run; the run goes on after a failed one.
  Result Checks(Session& session, std::ostream& out);

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

// Reads the whole script, then runs it; returns the exit status (0, 2 for a bad script or a
// command that failed, 3 for a failed check). A ProgramExit raised by a command passes
// through.
int RunScript(std::istream& in, Session& session, std::ostream& out, std::ostream& err);
int RunScript(const Script& script, Session& session, std::ostream& out, std::ostream& err);

// Reads the script file at `path` ("-": standard input); false with the reason printed to
// err (cannot open, or the first bad line).
bool LoadScript(const std::string& path, Script& script, std::ostream& err);

// Runs a script on the session as both front ends do: a ProgramExit gives its code, another
// error is printed and gives 1; a run in which a load failed or was refused gives 1 unless
// the script failed (2, 3).
int RunLoadedScript(const Script& script, Session& session);

// The commands in brief, for --help.
std::string ScriptSummary();

// The headless host: plain widgets, no OpenGL.
class HeadlessParts : public SessionHost {
 public:
  void ResizeView(int w, int h) override { widgets_.SetViewSize(w, h); }

 protected:
  HeadlessControls widgets_;
  Drawing blank_;  // headless: nothing is drawn
  CountingUploader counting_;
};

class HeadlessHost : public HeadlessParts, public Session {
 public:
  // Draws through `drawing` when given (tests watch the frame's drawing calls this way),
  // else draws nothing.
  explicit HeadlessHost(RecordingPlatform& platform, Drawing* drawing = nullptr);
  HeadlessControls& controls() { return widgets_; }
  // Inputs through the session's door, as script lines would give them.
  void Press(int n) { Apply(MakeCommand(CommandKind::Press, {n})); }
  void Tick() { RunFrame(true); }
  void Move(int x, int y) { Apply(MakeCommand(CommandKind::Move, {x, y})); }
  void Down(Frontend::Button button) {
    Apply(MakeCommand(CommandKind::Down, {static_cast<int64_t>(button)}));
  }
  void Resize(int w, int h) { Apply(MakeCommand(CommandKind::Resize, {w, h})); }
  void Choose(int k, int index) { Apply(MakeCommand(CommandKind::Choose, {k, index})); }
  void Check(int k, bool on) { Apply(MakeCommand(CommandKind::Check, {k, on})); }
  // Script lines, for tests: runs them, throws CommandError or OutOfSync.
  void Run(const std::string& lines, std::ostream& out);
};
