#include "app/timeline.h"

#include <algorithm>

#include "util/numtext.h"

std::string ClockText(uint64_t frame) {
  return MinutesSeconds(frame / kFramesPerSecond, 2);
}

int XOfFrame(uint64_t frame, uint64_t length, int left, int width) {
  if (width <= 1 || length == 0) return left;
  frame = std::min(frame, length);
  const auto span = static_cast<uint64_t>(width - 1);
  return left + static_cast<int>((frame * span + length / 2) / length);
}

uint64_t FrameAtX(int x, uint64_t length, int left, int width) {
  if (width <= 1 || x <= left) return 0;
  const auto span = static_cast<uint64_t>(width - 1);
  const auto from = static_cast<uint64_t>(std::min(x - left, width - 1));
  return (from * length + span / 2) / span;
}
