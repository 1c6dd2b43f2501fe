#include "app/pace.h"

namespace {
// Frames per tick (x1 and faster) or ticks per frame (slower), by speed.
constexpr int kFrames[Pace::kSpeeds] = {1, 1, 1, 2, 4, 8};
constexpr int kTicksPerFrame[Pace::kSpeeds] = {4, 2, 1, 1, 1, 1};
const char* const kNames[Pace::kSpeeds] = {"x1/4", "x1/2", "x1", "x2", "x4", "x8"};
}  // namespace

int Pace::FramesForTick() {
  if (paused_) {
    const bool step = step_;
    step_ = false;
    return step ? 1 : 0;
  }
  ++ticks_;
  if (ticks_ % static_cast<uint64_t>(kTicksPerFrame[speed_]) != 0) return 0;
  return kFrames[speed_];
}

void Pace::SetPaused(bool paused) {
  paused_ = paused;
  step_ = false;
}

void Pace::Step() {
  if (paused_) step_ = true;
}

void Pace::Faster() {
  if (speed_ + 1 < kSpeeds) ++speed_;
  ticks_ = 0;
}

void Pace::Slower() {
  if (speed_ > 0) --speed_;
  ticks_ = 0;
}

void Pace::SetSpeed(int speed) {
  while (speed_ < speed && speed_ < kSpeeds - 1) Faster();
  while (speed_ > speed && speed_ > 0) Slower();
}

std::string Pace::SpeedText() const {
  return kNames[speed_];
}

const char* Pace::SpeedName(int speed) {
  return kNames[speed];
}
