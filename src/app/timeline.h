// The replay viewer's timeline: where a frame sits on the bar and the other way round, and
// the time of a frame, and the bar's picture. Stateless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr uint64_t kFramesPerSecond = 100;

// "mm:ss" at 100 frames a second (minutes go past 59: an hour is "60:00").
std::string ClockText(uint64_t frame);

// The bar runs from pixel `left` to `left + width - 1`; a recording of `length` frames.
int XOfFrame(uint64_t frame, uint64_t length, int left, int width);
uint64_t FrameAtX(int x, uint64_t length, int left, int width);

class ReplayPlayer;

// The timeline drawn `width` x `height` pixels: the bar, how far it has played, the marks and
// the frame shown, filled in order; then the time text at its left edge.
struct TimelineFill {
  int X, Y, W, H;
  uint32_t Rgb;  // 0xRRGGBB
};
struct TimelinePicture {
  std::vector<TimelineFill> Fills;  // none without an opened recording
  int TextLeft = 0;
  std::string Text;  // "mm:ss / mm:ss  frame"
  size_t Marks = 0;
};
inline constexpr int kTimelineTextWidth = 150;
TimelinePicture DrawTimeline(const ReplayPlayer* replay, uint64_t now, int width, int height);
// The frame a click at x seeks to; none without an opened recording.
std::optional<uint64_t> TimelineFrameAt(const ReplayPlayer* replay, int x, int width);
// The tooltip: a line a mark, with its time.
std::string TimelineTip(const ReplayPlayer& replay);
