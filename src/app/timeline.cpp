#include "app/timeline.h"

#include <algorithm>
#include <cctype>

#include "app/replay.h"
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

namespace {

constexpr int kBarLeft = 6;

int BarWidth(int width) {
  return std::max(2, width - kTimelineTextWidth - kBarLeft - 6);
}

uint32_t MarkColour(const ReplayMark& mark) {
  if (mark.Kind == MarkKind::FailedCheck) return 0xffdc00;
  return mark.Side == 0 ? 0x5a96ff : 0xeb553c;
}

}  // namespace

TimelinePicture DrawTimeline(const ReplayPlayer* replay, uint64_t now, int width, int height) {
  TimelinePicture p;
  if (!replay || !replay->opened()) return p;
  const uint64_t length = replay->length();
  const int left = kBarLeft;
  const int w = BarWidth(width);
  const int top = 5;
  const int h = height - 10;
  const int at = XOfFrame(now, length, left, w);
  p.Fills.push_back({left, top, w, h, 0x3c3c3c});
  p.Fills.push_back({left, top, at - left, h, 0x6e6e6e});
  for (const ReplayMark& mark : replay->marks()) {
    const int x = XOfFrame(mark.Frame, length, left, w);
    const bool tall = mark.Kind == MarkKind::FailedCheck || mark.Kind == MarkKind::WipedOut;
    p.Fills.push_back({x, tall ? 1 : top - 2, 2, tall ? height - 2 : h + 4, MarkColour(mark)});
  }
  p.Fills.push_back({at - 1, 0, 3, height, 0xffffff});
  p.TextLeft = left + w + 6;
  p.Text = ClockText(now) + " / " + ClockText(length) + "  " + std::to_string(now);
  p.Marks = replay->marks().size();
  return p;
}

std::optional<uint64_t> TimelineFrameAt(const ReplayPlayer* replay, int x, int width) {
  if (!replay || !replay->opened()) return std::nullopt;
  return FrameAtX(x, replay->length(), kBarLeft, BarWidth(width));
}

std::string TimelineTip(const ReplayPlayer& replay) {
  std::string tip;
  for (const ReplayMark& mark : replay.marks())
    tip += ClockText(mark.Frame) + "  " + MarkText(mark) + "\n";
  while (!tip.empty() && std::isspace(static_cast<unsigned char>(tip.back()))) tip.pop_back();
  return tip;
}
