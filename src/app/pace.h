// Pause, single frames and game speed: how many frames each timer tick runs. Only which
// frames run changes, never what a frame does.
#pragma once

#include <cstdint>
#include <string>

class Pace {
 public:
  // x1/4, x1/2, x1, x2, x4, x8.
  static constexpr int kSpeeds = 6;
  static constexpr int kNormal = 2;

  // Called once per timer tick: the frames this tick runs (the last of them is presented).
  int FramesForTick();

  bool paused() const { return paused_; }
  void SetPaused(bool paused);
  void TogglePause() { SetPaused(!paused_); }
  // One frame on the next tick; only while paused.
  void Step();
  void Faster();
  void Slower();
  // Speed 0 (x1/4) to kSpeeds - 1 (x8), step by step as the keys go.
  void SetSpeed(int speed);
  int speed() const { return speed_; }
  // "x1/4" ... "x8".
  std::string SpeedText() const;
  // The name of speed 0 to kSpeeds - 1.
  static const char* SpeedName(int speed);

 private:
  bool paused_ = false;
  bool step_ = false;
  int speed_ = kNormal;
  uint64_t ticks_ = 0;  // ticks since the speed was set, for the slow speeds
};
