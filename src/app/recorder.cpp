#include "app/recorder.h"

#include "app/state_hash.h"

Recorder::Recorder(const std::string& path) : out_(path) {}

void Recorder::Write(const std::string& line) {
  out_ << line << '\n';
  out_.flush();
}

void Recorder::FlushTicks() {
  if (pendingTicks_ == 0) return;
  Write("tick " + std::to_string(pendingTicks_));
  pendingTicks_ = 0;
}

void Recorder::Input(const Command& input) {
  const std::string command = WriteCommand(input);
  if (!started_) {
    early_.push_back(command);
    return;
  }
  FlushTicks();
  Write(command);
}

void Recorder::FrameDone(Frontend& frontend, const std::vector<uint32_t>& usedSeeds) {
  if (!started_) {
    // Creation and first frame each took a seed; inputs before the first frame replay
    // after the seeds are set, in their order, before the first tick.
    uint32_t a = usedSeeds.size() > 0 ? usedSeeds[0] : 0;
    uint32_t b = usedSeeds.size() > 1 ? usedSeeds[1] : a;
    Write("seed " + std::to_string(a) + " " + std::to_string(b));
    started_ = true;
    for (const std::string& line : early_) Write(line);
    early_.clear();
  }
  ++pendingTicks_;
  if (frontend.state().Frames % kHashEvery == 0) {
    FlushTicks();
    Write("hash " + HashText(StateHash(frontend)));
  }
}

void Recorder::Close(Frontend& frontend) {
  if (!started_) return;
  FlushTicks();
  Write("hash " + HashText(StateHash(frontend)));
}
