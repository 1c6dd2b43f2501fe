// The replay viewer's timeline: where a frame sits on the bar and the other way round, and
// the time of a frame. Stateless.
#pragma once

#include <cstdint>
#include <string>

inline constexpr uint64_t kFramesPerSecond = 100;

// "mm:ss" at 100 frames a second (minutes go past 59: an hour is "60:00").
std::string ClockText(uint64_t frame);

// The bar runs from pixel `left` to `left + width - 1`; a recording of `length` frames.
int XOfFrame(uint64_t frame, uint64_t length, int left, int width);
uint64_t FrameAtX(int x, uint64_t length, int left, int width);
