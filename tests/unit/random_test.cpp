#include "util/random.h"

#include <gtest/gtest.h>

TEST(Random, LinearCongruentialSequence) {
  Random r{1};
  // seed 1 -> 134775814; 134775814 * 100 >> 32 = 3
  EXPECT_EQ(r.Next(100), 3u);
  EXPECT_EQ(r.Seed, 134775814u);
  r.Seed = 0xFFFFFFFFu;
  r.Next(10);
  EXPECT_EQ(r.Seed, 0xFFFFFFFFu * 134775813u + 1u);  // wraps modulo 2^32
  Random z{0};
  EXPECT_EQ(z.Next(0), 0u);
}

TEST(Random, ClockSeed) {
  EXPECT_EQ(ClockSeed(1, 2, 3, 4), 3723004u);
}
