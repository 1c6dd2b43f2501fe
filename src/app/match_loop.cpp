#include "app/match_loop.h"

#include <algorithm>
#include <chrono>

int64_t MatchLoop::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int MatchLoop::TicksDue(std::optional<int64_t> nowMs) {
  if (!nowMs || !last_) {
    last_ = nowMs;
    debtMs_ = 0;
    return 1;
  }
  debtMs_ += *nowMs - *last_;
  last_ = nowMs;
  const int64_t due = std::clamp<int64_t>(debtMs_ / kTickMs, 1, kMostTicks);
  debtMs_ = std::clamp<int64_t>(debtMs_ - due * kTickMs, -kTickMs, kTickMs);
  return static_cast<int>(due);
}

void MatchLoop::Timer(FrameSource& source, std::optional<int64_t> nowMs, bool present) {
  for (int due = TicksDue(nowMs); due > 0; --due) Tick(source, present && due == 1);
}

void MatchLoop::Tick(FrameSource& source, bool present) {
  const int frames = source.BeginTick();
  const int64_t sliceStart = NowMs();
  while (source.Behind() > 0 && NowMs() - sliceStart < kCatchUpSliceMs) {
    if (!source.Ready() || !source.RunFrame(false, FrameCall::Timer)) break;
  }
  bool held = false;
  if (source.Behind() == 0) {
    for (int i = 0; i < frames; ++i) {
      if (!source.Ready()) {
        held = true;
        break;
      }
      if (!source.RunFrame(present && i + 1 == frames, FrameCall::Timer)) break;
    }
  }
  source.EndTick(held);
}

bool MatchLoop::Frames(FrameSource& source, uint64_t n) {
  for (uint64_t i = 0; i < n; ++i) {
    if (!source.Ready() || !source.RunFrame(true, FrameCall::Script)) return false;
  }
  return true;
}

void MatchLoop::CatchUp(FrameSource& source) {
  while (source.Behind() > 0) {
    if (!source.Ready() || !source.RunFrame(false, FrameCall::Script)) return;
  }
}
