#include "game/world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A race with a worker (one mining entry), a base and a deposit that also lists mining.
World SmallWorld() {
  World w;
  TRassa race;
  TOpisan worker;
  worker.Name = "worker";
  worker.Energies = {{"hp", 50, 50}, {"mana", 7, 0}};
  worker.Mining = {{"ore", 10, 0}};
  TOpisan base;
  base.Name = "base";
  base.Energies = {{"hp", 500, 0}};
  TOpisan deposit;
  deposit.Name = "mine";
  deposit.Energies = {{"hp", 1000, 0}};
  deposit.Mining = {{"a", 1, 0}, {"b", 2, 0}};
  deposit.IsResource = true;
  deposit.ResourceAmount = 3000;
  race.Types = {worker, base, deposit};
  w.Catalogue = {race, race};
  return w;
}

}  // namespace

TEST(SpawnObject, FillsEnergyAndCargoFromTheType) {
  World w = SmallWorld();
  ASSERT_TRUE(SpawnObject(w, 0, 0, 1, 5, 6, 45));
  const TObyekt& o = w.Objects[0];
  EXPECT_EQ(o.Energy, (std::vector<float>{50, 7}));
  EXPECT_EQ(o.Cargo, (std::vector<float>{0}));
  EXPECT_EQ(o.Action, 0);
  EXPECT_EQ(o.AttackIndex, 0);
  EXPECT_TRUE(o.Thought1.empty());
  EXPECT_FALSE(o.Selected);
  EXPECT_FLOAT_EQ(o.Angle, 45);

  ASSERT_TRUE(SpawnObject(w, 0, 1, 1, 0, 0, 0));
  EXPECT_TRUE(w.Objects[1].Cargo.empty());  // no mining entry

  ASSERT_TRUE(SpawnObject(w, 0, 2, kNeutralSide, 0, 0, 0));
  EXPECT_EQ(w.Objects[2].Cargo, (std::vector<float>{3000}));  // one entry despite two mining lines
}

TEST(SpawnObject, RefusesTypesThatDoNotExist) {
  World w = SmallWorld();
  EXPECT_FALSE(SpawnObject(w, 2, 0, 0, 0, 0, 0));
  EXPECT_FALSE(SpawnObject(w, -1, 0, 0, 0, 0, 0));
  EXPECT_FALSE(SpawnObject(w, 0, 3, 0, 0, 0, 0));
  EXPECT_FALSE(SpawnObject(w, 0, -1, 0, 0, 0, 0));
  EXPECT_TRUE(w.Objects.empty());
}

TEST(SpawnObject, AppendsWithoutDisturbingEarlierIndices) {
  World w = SmallWorld();
  SpawnObject(w, 0, 0, 0, 1, 1, 0);
  w.Objects[0].Energy[0] = -5;  // dead, keeps its index
  SpawnObject(w, 0, 1, 0, 2, 2, 0);
  ASSERT_EQ(w.Objects.size(), 2u);
  EXPECT_FALSE(IsAlive(w.Objects[0]));
  EXPECT_FLOAT_EQ(w.Objects[1].X, 2);
}

TEST(CreateTestLevel, FourObjectsAndTreasuries) {
  World w = SmallWorld();
  CreateTestLevel(w);
  ASSERT_EQ(w.Objects.size(), 4u);
  struct Expected {
    int rassa, kind, side;
    float x, y;
  } expected[] = {
      {0, 0, 0, 200, 200}, {1, 0, 1, -200, -200}, {0, 2, 555, 0, 0}, {0, 2, 555, 0, -200}};
  for (size_t i = 0; i < 4; ++i) {
    const TObyekt& o = w.Objects[i];
    EXPECT_EQ(o.Rassa, expected[i].rassa) << i;
    EXPECT_EQ(o.Kind, expected[i].kind) << i;
    EXPECT_EQ(o.Side, expected[i].side) << i;
    EXPECT_FLOAT_EQ(o.X, expected[i].x) << i;
    EXPECT_FLOAT_EQ(o.Y, expected[i].y) << i;
  }
  EXPECT_FLOAT_EQ(w.Sides[0].Money, 570);
  EXPECT_FLOAT_EQ(w.Sides[1].Money, 570);
  EXPECT_FLOAT_EQ(w.Sides[2].Money, 0);
  EXPECT_FLOAT_EQ(w.Sides[3].Money, 0);
}

TEST(Liveness, NoEnergyEntryCountsAsDead) {
  TObyekt o;
  EXPECT_FALSE(IsAlive(o));
  o.Energy = {0};
  EXPECT_FALSE(IsAlive(o));
  o.Energy = {0.001f};
  EXPECT_TRUE(IsAlive(o));
  EXPECT_FLOAT_EQ(CargoOf(o), 0);
}

// Offsets r1 - r2 and r3 - r4 from four draws in that order, each sum rounded half to even.
TEST(BuildSiteNear, FourDrawsFromMinus49ToPlus24) {
  TObyekt o;
  o.X = 200.5f;
  o.Y = -10.5f;
  Random rng{12345};
  Random draws{12345};
  const auto r1 = static_cast<double>(draws.Next(25)), r2 = static_cast<double>(draws.Next(50));
  const auto r3 = static_cast<double>(draws.Next(25)), r4 = static_cast<double>(draws.Next(50));
  const IntPoint p = BuildSiteNear(rng, o);
  EXPECT_EQ(p.X, static_cast<int32_t>(std::nearbyint(200.5 + r1 - r2)));
  EXPECT_EQ(p.Y, static_cast<int32_t>(std::nearbyint(-10.5 + r3 - r4)));
  EXPECT_EQ(rng.Seed, draws.Seed);

  int lo = 0, hi = 0;
  o.X = 0;
  o.Y = 0;
  for (int k = 0; k < 5000; ++k) {
    const IntPoint q = BuildSiteNear(rng, o);
    lo = std::min({lo, q.X, q.Y});
    hi = std::max({hi, q.X, q.Y});
  }
  EXPECT_EQ(lo, -49);
  EXPECT_EQ(hi, 24);
}

TEST(IsPlayerSide, ExactlyTheFourTreasuries) {
  for (int32_t side : {0, 1, 2, 3}) EXPECT_TRUE(IsPlayerSide(side)) << side;
  for (int32_t side : {std::numeric_limits<int32_t>::min(), -2, -1, 4, 5, 554, 555, 556,
                       std::numeric_limits<int32_t>::max()})
    EXPECT_FALSE(IsPlayerSide(side)) << side;
  // Every side a check lets through names a treasury; the rest build without paying.
  World w;
  for (int32_t side : {-1, 0, 3, 4, 555}) {
    if (IsPlayerSide(side)) {
      EXPECT_EQ(&SideAt(w, side), &w.Sides[size_t(side)]);
    }
  }
  EXPECT_EQ(w.Sides.size(), 4u);
}
