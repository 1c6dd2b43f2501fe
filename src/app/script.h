// The scripted driver: one command a line, acting on the window or the headless front end.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/frontend.h"
#include "app/headless.h"

// What a script can do to the program; the window and the headless run implement it.
class ScriptHost {
 public:
  virtual ~ScriptHost() = default;
  virtual Frontend& frontend() = 0;
  virtual RecordingPlatform& platform() = 0;
  virtual void Press(int n) = 0;  // a disabled button ignores it
  virtual void Tick() = 0;        // one timer tick: one frame
  virtual void Move(int x, int y) = 0;
  virtual void Down(Frontend::Button button) = 0;
  virtual void Choose(int k, int index) = 0;
  virtual void Check(int k, bool on) = 0;
  virtual void Resize(int w, int h) = 0;
  // False with a reason when no picture can be taken.
  virtual bool Screenshot(const std::string& file, std::string& error) = 0;
};

// Runs a script frame by frame (the replay viewer steps it from the timer). Reads its
// lines as it goes; the stream outlives it.
class ScriptRunner {
 public:
  explicit ScriptRunner(std::istream& in);
  enum class Stop { Frame, End, Error, OutOfSync };
  struct Result {
    Stop stop;
    std::string message;  // for Error and OutOfSync
  };
  // Runs commands until one tick has run a frame, or to the end, an error or a failed check.
  Result Step(ScriptHost& host, std::ostream& out);

 private:
  std::istream& in_;
  int number_ = 0;          // of the last line read
  uint64_t ticksLeft_ = 0;  // of the last tick line
};

// Runs the script; returns the exit status (0, or 2 for a script error). A ProgramExit
// raised by a command passes through.
int RunScript(std::istream& in, ScriptHost& host, std::ostream& out, std::ostream& err);

// Runs the script file at `path` ("-": standard input) on the host, as both front ends do:
// a ProgramExit gives its code, another error is printed and gives 1; a run in which a load
// failed or was refused gives 1 unless the script failed (2, 3). Nothing when the file cannot
// be opened.
std::optional<int> RunScriptFile(const std::string& path, ScriptHost& host);

// The commands in brief, for --help.
const char* ScriptSummary();

// The headless host: plain widgets, no OpenGL.
class HeadlessHost : public ScriptHost {
 public:
  // Draws through `drawing` when given (tests watch the frame's drawing calls this way),
  // else draws nothing.
  explicit HeadlessHost(RecordingPlatform& platform, Drawing* drawing = nullptr);
  Frontend& frontend() override { return frontend_; }
  RecordingPlatform& platform() override { return platform_; }
  void Press(int n) override;
  void Tick() override { frontend_.DrawScene(); }
  void Move(int x, int y) override { frontend_.MyMouseCursor(x, y); }
  void Down(Frontend::Button button) override { frontend_.MyMouseDown(button); }
  void Choose(int k, int index) override { controls_.SetComboIndex(k, index); }
  void Check(int k, bool on) override { controls_.SetChecked(k, on); }
  void Resize(int w, int h) override;
  HeadlessControls& controls() { return controls_; }
  bool Screenshot(const std::string&, std::string& error) override {
    error = "screenshot needs the window";
    return false;
  }

 private:
  World world_;
  HeadlessControls controls_;
  Drawing nothing_;  // headless: nothing is drawn
  RecordingPlatform& platform_;
  CountingUploader uploader_;
  Frontend frontend_;
};
