#include "app/timeline.h"

#include <algorithm>

std::string ClockText(uint64_t frame) {
  const uint64_t seconds = frame / kFramesPerSecond;
  const uint64_t minutes = seconds / 60;
  const uint64_t rest = seconds % 60;
  return (minutes < 10 ? "0" : "") + std::to_string(minutes) + (rest < 10 ? ":0" : ":") +
         std::to_string(rest);
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
