#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/marker_shape.h"

namespace {

// Hands out the given tick readings in turn, repeating the last one.
class TickPlatform : public Platform {
 public:
  explicit TickPlatform(std::vector<uint32_t> ticks) : ticks_(std::move(ticks)) {}
  void ShowMessage(const std::string&, const std::string&) override {}
  uint32_t TickCount() override {
    ++reads;
    const uint32_t t = ticks_[next_];
    if (next_ + 1 < ticks_.size()) ++next_;
    return t;
  }
  uint32_t ClockSeed() override { return 0; }
  int reads = 0;

 private:
  std::vector<uint32_t> ticks_;
  size_t next_ = 0;
};

double RadiusOf(const std::array<float, 2>& p) {
  return std::hypot(p[0], p[1]);
}

}  // namespace

TEST(MarkerGeometry, RingAtTickZero) {
  TickPlatform platform({0});
  const MarkerShape ring = MarkerGeometry(0, 60, platform);
  ASSERT_TRUE(ring.Draw);
  EXPECT_EQ(ring.Rotation, 0.0f);
  EXPECT_EQ(ring.Colour, (std::array<float, 3>{0, 1, 0}));
  ASSERT_EQ(ring.Points.size(), 20u);
  EXPECT_EQ(platform.reads, 41);  // rotation, then x and y of every point
  // Starts at the top and runs clockwise, radius s / 2.
  EXPECT_FLOAT_EQ(ring.Points[0][0], 0);
  EXPECT_FLOAT_EQ(ring.Points[0][1], 30);
  EXPECT_NEAR(ring.Points[5][0], 30, 1e-3);  // a = 90 * 3.14 / 180, just short of a right angle
  EXPECT_GT(ring.Points[5][1], 0);
  EXPECT_NEAR(ring.Points[5][1], 30 * std::cos(1.57), 1e-5);
  for (const auto& p : ring.Points) EXPECT_NEAR(RadiusOf(p), 30, 1e-4);
}

TEST(MarkerGeometry, RingAtTick900) {
  TickPlatform platform({900});
  const MarkerShape ring = MarkerGeometry(0, 60, platform);
  EXPECT_FLOAT_EQ(ring.Rotation, 90);
  const double r = 30 + 6 * std::sin(1.8);
  for (const auto& p : ring.Points) EXPECT_NEAR(RadiusOf(p), r, 1e-4);
  EXPECT_NEAR(ring.Points[10][0], r * std::sin(3.14), 1e-4);
  EXPECT_NEAR(ring.Points[10][1], -r * 1.0, 1e-3);
}

TEST(MarkerGeometry, RingReadsTheClockForEachCoordinate) {
  // Rotation at 0; point 0 has x read at 0 and y at 785 (sin(1.57) ~ 1): radius 0.6 s.
  TickPlatform platform({0, 0, 785, 0});
  const MarkerShape ring = MarkerGeometry(0, 60, platform);
  EXPECT_NEAR(ring.Points[0][1], 36, 1e-3);
  EXPECT_NEAR(ring.Points[1][1], 30 * std::cos(18 * 3.14 / 180), 1e-4);
}

TEST(MarkerGeometry, RingRadiusStaysWithinTheBand) {
  for (uint32_t t = 0; t < 4000; t += 37) {
    TickPlatform platform({t});
    for (const auto& p : MarkerGeometry(0, 60, platform).Points) {
      EXPECT_GE(RadiusOf(p), 24 - 1e-4);
      EXPECT_LE(RadiusOf(p), 36 + 1e-4);
    }
  }
  TickPlatform late({0xFFFFFFFFu});  // the counter's last value before it wraps
  EXPECT_FLOAT_EQ(MarkerGeometry(0, 60, late).Rotation, 429496729.5f);
}

TEST(MarkerGeometry, CrossArms) {
  TickPlatform platform({900});
  const MarkerShape cross = MarkerGeometry(1, 60, platform);
  ASSERT_TRUE(cross.Draw);
  EXPECT_EQ(platform.reads, 1);
  EXPECT_FLOAT_EQ(cross.Rotation, 90);
  EXPECT_EQ(cross.Colour, (std::array<float, 3>{1, 0, 0}));
  const std::vector<std::array<float, 2>> expected = {{-10, -10}, {-30, -30}, {10, 10},  {30, 30},
                                                      {10, -10},  {30, -30},  {-10, 10}, {-30, 30}};
  EXPECT_EQ(cross.Points, expected);
}

TEST(MarkerGeometry, OtherKindsDrawNothing) {
  for (int32_t kind : {2, -1, 555}) {
    TickPlatform platform({100});
    const MarkerShape shape = MarkerGeometry(kind, 60, platform);
    EXPECT_FALSE(shape.Draw);
    EXPECT_TRUE(shape.Points.empty());
  }
}
