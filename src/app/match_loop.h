// The match loop: the one place that decides which frames run and which are drawn. The window
// hands it timer ticks, scripts their `tick` lines; the frames come from a source: the match
// on this machine, the replay viewer or a lockstep peer.
#pragma once

#include <cstdint>
#include <optional>

#include "app/keys.h"

// How the loop asks for a frame.
enum class FrameCall : uint8_t {
  Timer,   // a timer tick's frame
  Script,  // a script's `tick`
};

// Where frames come from.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // Before a timer tick's frames: how many the pace gives this tick.
  virtual int BeginTick() = 0;
  // Frames already known to run (a joiner's log): run undrawn first, a slice of time a tick.
  virtual uint64_t Behind() const { return 0; }
  // The next frame may run now; a lockstep peer waits for every player's inputs (headless it
  // waits here).
  virtual bool Ready() { return true; }
  // Runs the next frame, drawn when show; false: none ran, and none more this tick.
  virtual bool RunFrame(bool show, FrameCall call) = 0;
  // After a timer tick's frames; held: one was due whose inputs had not come.
  virtual void EndTick(bool held) { (void)held; }
  // A pace key (pause, step, faster, slower) when the pace is not this machine's alone (a
  // lockstep peer's is the match's); false: the session's own pace takes it.
  virtual bool PaceKey(KeyAction action, bool repeat) {
    (void)action;
    (void)repeat;
    return false;
  }
};

class MatchLoop {
 public:
  static constexpr int64_t kTickMs = 10;  // the frame timer
  // A late timer tick catches up at most this many ticks, so that a slow machine slows the
  // match rather than spending ever longer catching up.
  static constexpr int64_t kMostTicks = 4;
  static constexpr int64_t kCatchUpSliceMs = 40;  // undrawn re-simulation a tick

  // The timer fired at nowMs of a steady clock: the ticks due since the last, the late ones
  // undrawn, the last frame of the last drawn when present. No time: exactly one tick.
  void Timer(FrameSource& source, std::optional<int64_t> nowMs, bool present = true);
  // A script's `tick n`: n frames, each drawn; false when the source stopped short.
  bool Frames(FrameSource& source, uint64_t n);
  // Every frame the source is behind, undrawn (a headless joiner).
  void CatchUp(FrameSource& source);
  // Milliseconds of the steady clock the timer's times are given in.
  static int64_t NowMs();
  // The next timer tick starts the count again (after a pause in the ticks).
  void Restart() { last_.reset(); }

 private:
  int TicksDue(std::optional<int64_t> nowMs);
  void Tick(FrameSource& source, bool present);

  std::optional<int64_t> last_;
  int64_t debtMs_ = 0;
};
