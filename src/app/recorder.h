// Writes a played session as a script that replays it: seeds, inputs between ticks, and
// sync checks. Plain text, written line by line so a cut-short file still replays.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/command.h"
#include "app/frontend.h"

class Recorder {
 public:
  // Opens (and empties) the file at `path`; ok() says whether that worked. Every line is also
  // kept in memory.
  explicit Recorder(const std::string& path);
  // Keeps the lines in memory only.
  Recorder() = default;
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Whether a recording could be written at `path` (the file is created, not emptied); false
  // with the system's reason.
  static bool CanWrite(const std::string& path, std::string& reason);

  // False once the file could not be opened or a write failed: nothing more is written.
  bool ok() const { return error_.empty(); }
  // The system's reason of the failure ("No space left on device"); empty while ok.
  const std::string& error() const { return error_; }
  // The frames the written file replays: those of the tick lines written.
  uint64_t framesWritten() const { return framesWritten_; }
  // "cannot write PATH: REASON; the recording stops at frame N", once stopped.
  std::string StopText() const;
  // Called once, when a write fails.
  std::function<void()> onStop;

  // One input, in arrival order.
  void Input(const Command& command);
  // A comment line "# text" (one line: line breaks become spaces); replays as nothing.
  void Comment(const std::string& text);
  // A frame has run; usedSeeds are the generator seeds handed out so far.
  void FrameDone(Frontend& frontend, const std::vector<uint32_t>& usedSeeds);
  // The window closes: the last ticks and a final sync check. Nothing is written after it.
  void Close(Frontend& frontend);
  // The recording starts with these lines (a replay's played part, seed line first).
  void Begin(const std::string& lines);
  // The script so far, as Close would end it, without changing anything.
  std::string Text(Frontend& frontend) const;
  // The file written to; empty in memory only.
  const std::string& path() const { return path_; }

  static constexpr uint64_t kHashEvery = 100;

 private:
  bool Write(const std::string& line);
  void Stop(const std::string& reason);
  void FlushTicks();
  void FlushScrolls();

  std::string path_;
  int fd_ = -1;
  dev_t device_ = 0;  // the file opened, to notice it removed or replaced
  ino_t inode_ = 0;
  std::string error_;
  uint64_t framesWritten_ = 0;
  bool started_ = false;            // the seed line is written
  std::vector<std::string> early_;  // inputs before the first frame
  uint64_t pendingTicks_ = 0;
  // Scroll steps in a row with no frame or other input between (paused): one line for all.
  int64_t pendingScrolls_ = 0;
  std::vector<std::string> lines_;  // every line, also those the file did not take
  bool closed_ = false;
};
