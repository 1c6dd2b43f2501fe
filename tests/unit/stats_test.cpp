#include "util/stats.h"

#include <gtest/gtest.h>

TEST(Stats, WilsonIntervalKnownValuesAndEdges) {
  Interval half = WilsonInterval(5, 10);
  EXPECT_NEAR(half.Low, 0.2366, 1e-4);
  EXPECT_NEAR(half.High, 0.7634, 1e-4);
  // No successes: the interval still has width and starts at 0.
  Interval none = WilsonInterval(0, 10);
  EXPECT_DOUBLE_EQ(none.Low, 0);
  EXPECT_NEAR(none.High, 0.2775, 1e-4);
  Interval all = WilsonInterval(10, 10);
  EXPECT_NEAR(all.Low, 0.7225, 1e-4);
  EXPECT_DOUBLE_EQ(all.High, 1);
  // No trials: nothing is known.
  EXPECT_DOUBLE_EQ(WilsonInterval(0, 0).Low, 0);
  EXPECT_DOUBLE_EQ(WilsonInterval(0, 0).High, 1);
  // More successes than trials are taken as all.
  EXPECT_DOUBLE_EQ(WilsonInterval(12, 10).High, 1);
}

TEST(Stats, QuantilesInterpolateBetweenRanks) {
  std::vector<double> v{4, 1, 3, 2};  // unsorted on purpose
  EXPECT_DOUBLE_EQ(Quantile(v, 0.25), 1.75);
  EXPECT_DOUBLE_EQ(Quantile(v, 0.5), 2.5);
  EXPECT_DOUBLE_EQ(Quantile(v, 0.75), 3.25);
  EXPECT_DOUBLE_EQ(Quantile(v, 0), 1);
  EXPECT_DOUBLE_EQ(Quantile(v, 1), 4);
  EXPECT_DOUBLE_EQ(Quantile({7}, 0.25), 7);
  EXPECT_DOUBLE_EQ(Quantile({}, 0.5), 0);
  // q outside 0..1 is clamped, never read outside the values.
  EXPECT_DOUBLE_EQ(Quantile(v, -1), 1);
  EXPECT_DOUBLE_EQ(Quantile(v, 2), 4);
}
