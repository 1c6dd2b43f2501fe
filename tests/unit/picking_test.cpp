#include "game/picking.h"

#include <gtest/gtest.h>

namespace {

World OneObject(float radius) {
  World w;
  TOpisan t;
  t.Radius = radius;
  t.Energies.push_back({"", 1, 0});
  w.Catalogue.push_back({{t}});
  SpawnObject(w, 0, 0, 2, 10, 20, 0);
  return w;
}

}  // namespace

TEST(IsUnderCursor, StrictlyInsideTheRadius) {
  World w = OneObject(10);
  EXPECT_TRUE(IsUnderCursor(w, 0, 10, 20));
  EXPECT_TRUE(IsUnderCursor(w, 0, 19.99f, 20));
  EXPECT_FALSE(IsUnderCursor(w, 0, 20, 20));  // exactly at the radius is outside
  EXPECT_FALSE(IsUnderCursor(w, 0, 16, 28));  // 6, 8: distance 10
  EXPECT_TRUE(IsUnderCursor(w, 0, 15.9f, 27.9f));
  EXPECT_FALSE(IsUnderCursor(w, 0, 10, 9.5f));
}

TEST(IsUnderCursor, DistanceRoundedOnceToSingle) {
  // Squares summed in singles would round this distance up to 10 (a miss) or down (a hit).
  World w = OneObject(10);
  w.Objects[0].X = 100;
  w.Objects[0].Y = 50;
  EXPECT_TRUE(IsUnderCursor(w, 0, 108.980515f, 45.6010971f));
  EXPECT_FALSE(IsUnderCursor(w, 0, 109.046089f, 54.2624245f));
}

TEST(IsUnderCursor, ZeroRadiusNeverHit) {
  World w = OneObject(0);
  EXPECT_FALSE(IsUnderCursor(w, 0, 10, 20));
}

TEST(IsUnderCursor, MissingObjectOrTypeIsNeverHit) {
  World w = OneObject(10);
  EXPECT_FALSE(IsUnderCursor(w, -1, 10, 20));
  EXPECT_FALSE(IsUnderCursor(w, 1, 10, 20));
  w.Objects[0].Kind = 5;
  EXPECT_FALSE(IsUnderCursor(w, 0, 10, 20));
  w.Objects[0].Kind = 0;
  w.Objects[0].Rassa = -1;
  EXPECT_FALSE(IsUnderCursor(w, 0, 10, 20));
}
