// Scripts: a file of commands, read and checked whole, then run on a session frame by frame.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/command.h"
#include "app/headless.h"
#include "app/script_runner.h"
#include "app/session.h"

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
  HeadlessControls& controls() override { return widgets_; }
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
