// Writes a played session as a script that replays it: seeds, inputs between ticks, and
// sync checks. Plain text, flushed line by line so a cut-short file still replays.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "app/command.h"
#include "app/frontend.h"

class Recorder {
 public:
  explicit Recorder(const std::string& path);
  bool ok() const { return static_cast<bool>(out_); }

  // One input, in arrival order.
  void Input(const Command& command);
  // A frame has run; usedSeeds are the generator seeds handed out so far.
  void FrameDone(Frontend& frontend, const std::vector<uint32_t>& usedSeeds);
  // The window closes: the last ticks and a final sync check.
  void Close(Frontend& frontend);

  static constexpr uint64_t kHashEvery = 100;

 private:
  void Write(const std::string& line);
  void FlushTicks();

  std::ofstream out_;
  bool started_ = false;            // the seed line is written
  std::vector<std::string> early_;  // inputs before the first frame
  uint64_t pendingTicks_ = 0;
};
