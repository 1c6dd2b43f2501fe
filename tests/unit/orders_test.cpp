#include "game/orders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "test_world.h"

namespace {

// Race 0: worker (walks, attacks, builds, mines), base (builds, no speed), deposit.
World OrdersWorld() {
  World w;
  BasicTypes t;
  t.Worker.Attacks = {{"hit", "", 2, "", 0}};
  t.Worker.Buildables = {"base"};
  t.Worker.PriceResources = {{"gold", 3, 0}};
  t.Base.Buildables = {"worker"};
  t.Base.PriceResources = {{"gold", 0.5f, 0}};
  TOpisan unpriced = t.Worker;
  unpriced.PriceResources.clear();
  w.Catalogue.push_back({{t.Worker, t.Base, t.Deposit, unpriced}});
  return w;
}

TEST(ExecuteOrders, HeadingWrap) {
  World w = OrdersWorld();
  Spawn(w, 0, 0, 0, 0, 360.5f);
  Spawn(w, 0, 0, 100, 0, -0.5f);
  Spawn(w, 0, 0, 200, 0, 360);
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].Angle, 1);
  EXPECT_EQ(w.Objects[1].Angle, 359);
  EXPECT_EQ(w.Objects[2].Angle, 360);
  EXPECT_EQ(w.Objects[0].Action, kActionIdle);
}

TEST(ExecuteOrders, NextOrderMovesUpWithoutActing) {
  World w = OrdersWorld();
  TObyekt& o = Spawn(w, 0, 0, 0, 0);
  o.Thought2 = "idti 500,500";
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].Action, kActionIdle);
  EXPECT_EQ(w.Objects[0].Thought1, "idti 500,500");
  EXPECT_EQ(w.Objects[0].Thought2, "");
  EXPECT_EQ(w.Objects[0].X, 0);
  EXPECT_EQ(w.Objects[0].Y, 0);
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].Action, kActionWalk);
  EXPECT_NE(w.Objects[0].X, 0);
  // Loaded walkers walk with the loaded animation.
  w.Objects[0].Cargo[0] = 1;
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].Action, kActionWalkLoaded);
}

TEST(ExecuteOrders, RefusedOrderStays) {
  World w = OrdersWorld();
  TObyekt& b = Spawn(w, 1, 0, 0, 0);
  b.Action = kActionWork;
  b.Thought1 = "idti 10,10";
  for (int f = 0; f < 3; ++f) ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].Thought1, "idti 10,10");
  EXPECT_EQ(w.Objects[0].Action, kActionWork);
  EXPECT_EQ(w.Objects[0].X, 0);
  EXPECT_EQ(w.Objects[0].Y, 0);
}

TEST(SteerTowards, ArrivalStillSteps) {
  World w = OrdersWorld();
  TObyekt& o = Spawn(w, 0, 0, 0.5f, 0, 180);
  o.Thought1 = "idti 0,0";
  ExecuteOrders(w);
  const TObyekt& a = w.Objects[0];
  EXPECT_EQ(a.Thought1, "");
  EXPECT_NEAR(std::hypot(a.X - 0.5f, a.Y), 1.0, 1e-5);
}

TEST(SteerTowards, AlwaysTurnsTowardsIncreasingAngle) {
  World w = OrdersWorld();
  // A far target 10 degrees clockwise: nearly a full circle of +5 degree turns.
  Spawn(w, 0, 0, 0, 0, 0);
  const double rad = -10.0 * 3.14159265358979 / 180.0;
  const float tx = std::round(100000 * std::cos(rad));
  const float ty = std::round(100000 * std::sin(rad));
  int turns = 0;
  for (int f = 0; f < 200; ++f) {
    const float before = w.Objects[0].Angle;
    const float x = w.Objects[0].X;
    const float y = w.Objects[0].Y;
    SteerTowards(w, 0, tx, ty);
    if (w.Objects[0].Angle != before) ++turns;
    ASSERT_NEAR(std::hypot(w.Objects[0].X - x, w.Objects[0].Y - y), 1.0, 1e-3);
    if (w.Objects[0].Angle > 360) w.Objects[0].Angle = 1;
  }
  EXPECT_GE(turns, 68);
  EXPECT_LE(turns, 71);

  // 10 degrees counter-clockwise: faced after one turn.
  World v = OrdersWorld();
  Spawn(v, 0, 0, 0, 0, 0);
  const double ccw = 10.0 * 3.14159265358979 / 180.0;
  SteerTowards(v, 0, std::round(100000 * std::cos(ccw)), std::round(100000 * std::sin(ccw)));
  EXPECT_EQ(v.Objects[0].Angle, 5);
}

TEST(SteerTowards, NoTurnWhenFacing) {
  World w = OrdersWorld();
  Spawn(w, 0, 0, 0, 0, 0);
  SteerTowards(w, 0, 500, 0);
  EXPECT_EQ(w.Objects[0].Angle, 0);
  EXPECT_EQ(w.Objects[0].X, 1);
  EXPECT_EQ(w.Objects[0].Y, 0);
}

TEST(ExecuteOrders, AttackToExactlyZero) {
  World w = OrdersWorld();
  Spawn(w, 0, 0, 0, 0).Thought1 = "atakovat 1";
  TObyekt& t = Spawn(w, 1, 1, 5, 0);
  t.Energy[0] = 2;
  t.Thought1 = "stroyka 0,1,1";
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[1].Energy[0], 0);
  EXPECT_EQ(w.Objects[0].Thought1, "");
  EXPECT_EQ(w.Objects[0].Action, kActionWork);
  EXPECT_EQ(w.Objects[1].Thought1, "atakovat 0");
  EXPECT_EQ(w.Objects[1].Thought2, "stroyka 0,1,1");
}

TEST(ExecuteOrders, RetaliationInTheSamePass) {
  World w = OrdersWorld();
  for (int k = 0; k < 6; ++k) Spawn(w, 0, k == 5 ? 1 : 0, 100.0f * k, 0);
  w.Objects[3].Thought1 = "atakovat 5";
  w.Objects[5].Thought1 = "idti 0,0";
  w.Objects[5].AttackIndex = 0;
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[5].Energy[0], 8);
  EXPECT_EQ(w.Objects[3].Energy[0], 8);  // struck back in the same frame
  EXPECT_EQ(w.Objects[5].Action, kActionWork);
  EXPECT_EQ(w.Objects[5].Thought2, "idti 0,0");
  EXPECT_EQ(w.Objects[3].Thought1, "atakovat 5");
  EXPECT_EQ(w.Objects[3].Thought2, "atakovat 5");
  EXPECT_EQ(w.Objects[5].X, 500);  // the walk was lost before its turn
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[5].Thought1, "atakovat 3");
  EXPECT_EQ(w.Objects[5].Thought2, "atakovat 3");
}

TEST(ExecuteOrders, BuildPaysAndCompletes) {
  World w = OrdersWorld();
  w.Sides[1].Money = 0.5f;
  TObyekt& b = Spawn(w, 0, 1, 0, 0);
  b.Thought1 = "stroyka 0,40,-7";  // cost 3
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].BuildProgress, 1);
  EXPECT_EQ(w.Sides[1].Money, -0.5f);
  for (int f = 0; f < 5; ++f) ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].BuildProgress, 1);  // stalled without money
  EXPECT_EQ(w.Objects.size(), 1u);
  EXPECT_EQ(w.Objects[0].Thought1, "stroyka 0,40,-7");

  // A cost below 1 completes after one paid frame, even if the money then runs out.
  World v = OrdersWorld();
  v.Sides[2].Money = 0.5f;
  TObyekt& c = Spawn(v, 0, 2, 0, 0);
  c.Thought1 = "stroyka 1,40,-7";
  c.Thought2 = "idti 3,3";
  ExecuteOrders(v);
  ASSERT_EQ(v.Objects.size(), 2u);
  EXPECT_EQ(v.Objects[0].BuildProgress, 0);
  EXPECT_EQ(v.Objects[0].Thought1, "");
  EXPECT_EQ(v.Objects[0].Thought2, "idti 3,3");
  const TObyekt& n = v.Objects[1];
  EXPECT_EQ(n.Kind, 1);
  EXPECT_EQ(n.Side, 2);
  EXPECT_EQ(n.X, 40);
  EXPECT_EQ(n.Y, -7);
  EXPECT_EQ(n.Angle, 0);
  EXPECT_EQ(n.Action, kActionWalk);  // not visited by the pass that built it

  // Progress that already meets the cost completes without payment.
  World u = OrdersWorld();
  TObyekt& d = Spawn(u, 0, 0, 0, 0);
  d.BuildProgress = 3;
  d.Thought1 = "stroyka 0,1,1";
  ExecuteOrders(u);
  EXPECT_EQ(u.Objects.size(), 2u);
  EXPECT_EQ(u.Sides[0].Money, 0);
}

TEST(ExecuteOrders, BuildProgressSaturatesAndStopsPaying) {
  // A price above any progress: at its largest the progress stays and takes no money.
  World w = OrdersWorld();
  w.Catalogue[0].Types[0].PriceResources[0].Amount = 1e10f;
  w.Sides[0].Money = 10;
  TObyekt& b = Spawn(w, 0, 0, 0, 0);
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  b.BuildProgress = kMax - 1;
  b.Thought1 = "stroyka 0,1,1";
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].BuildProgress, kMax);
  EXPECT_EQ(w.Sides[0].Money, 9);
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].BuildProgress, kMax);
  EXPECT_EQ(w.Sides[0].Money, 9);
  EXPECT_EQ(w.Objects.size(), 1u);
  // A price the saturated progress meets completes as before.
  w.Catalogue[0].Types[0].PriceResources[0].Amount = 2147483648.0f;
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects.size(), 2u);
  EXPECT_EQ(w.Objects[0].BuildProgress, 0);
}

TEST(ExecuteOrders, OnlySidesZeroToThreePayForBuilds) {
  for (int32_t side : {-1, 0, 3, 4, 555}) {
    World w = OrdersWorld();
    for (TSide& s : w.Sides) s.Money = 5;
    TObyekt& b = Spawn(w, 0, side, 0, 0);
    b.Thought1 = "stroyka 0,1,1";
    ExecuteOrders(w);
    const bool pays = side == 0 || side == 3;
    EXPECT_EQ(w.Objects[0].BuildProgress, pays ? 1 : 0) << side;
    for (size_t s = 0; s < w.Sides.size(); ++s)
      EXPECT_EQ(w.Sides[s].Money, pays && int32_t(s) == side ? 4 : 5) << side;
  }
}

TEST(ExecuteOrders, MiningDrainsBelowZeroOnce) {
  World w = OrdersWorld();
  Spawn(w, 0, 0, 0, 0).Thought1 = "dobicha 1";
  Spawn(w, 2, kNeutralSide, 300, 0).Cargo[0] = 0.05f;
  ExecuteOrders(w);
  EXPECT_FLOAT_EQ(w.Objects[1].Cargo[0], -0.05f);
  EXPECT_FLOAT_EQ(w.Objects[0].Cargo[0], 0.1f);
  EXPECT_EQ(w.Objects[0].Action, kActionHidden);
  ExecuteOrders(w);
  EXPECT_FLOAT_EQ(w.Objects[0].Cargo[0], 0.1f);
  EXPECT_EQ(w.Objects[0].Thought1, "dobicha 1");
}

TEST(ExecuteOrders, FullMinerHeadsHome) {
  World w = OrdersWorld();
  TObyekt& m = Spawn(w, 0, 0, 0, 0);
  m.Thought1 = "dobicha 01";  // the argument text is carried unchanged
  m.Thought2 = "idtiza 7";
  m.Cargo[0] = 9.95f;
  Spawn(w, 2, kNeutralSide, 0, 0);
  ExecuteOrders(w);
  EXPECT_EQ(w.Objects[0].Thought1, "idtiza 7");
  EXPECT_EQ(w.Objects[0].Thought2, "idtiza 01");
}

// The comparisons at their exact boundaries: full at exactly the capacity, arrived only
// strictly inside the radius, turning only beyond 5 degrees.
TEST(ExecuteOrders, BoundariesOfCapacityRadiusAndTurn) {
  for (const bool full : {true, false}) {
    World w = OrdersWorld();
    TObyekt& m = Spawn(w, 0, 0, 0, 0);
    m.Thought1 = "dobicha 1";
    m.Thought2 = "idtiza 7";
    m.Cargo[0] = full ? 10.0f : std::nextafter(10.0f, 0.0f);  // capacity 10
    Spawn(w, 2, kNeutralSide, 0, 0).Cargo[0] = 0;             // exhausted: no mining
    ExecuteOrders(w);
    EXPECT_EQ(w.Objects[0].Thought1, full ? "idtiza 7" : "dobicha 1") << full;
  }

  for (const bool inside : {true, false}) {
    World w = OrdersWorld();
    // Radius 10; a target exactly 10 away has not been reached.
    TObyekt& o = Spawn(w, 0, 0, inside ? std::nextafter(10.0f, 0.0f) : 10.0f, 0, 180);
    o.Thought1 = "idti 0,0";
    ExecuteOrders(w);
    EXPECT_EQ(w.Objects[0].Thought1, inside ? "" : "idti 0,0") << inside;
  }

  // No float cosine gives a deviation of exactly 5.0f: pin the nearest deviations on either
  // side. Heading 0 from the origin, so the cosine is the target's x over its distance.
  const float tx = 10000;
  auto deviation = [tx](float ty) {
    const auto dist = static_cast<float>(std::sqrt(double(tx) * tx + double(ty) * ty));
    return static_cast<float>(std::acos(static_cast<double>(tx / dist)) * 180.0 / M_PI);
  };
  float below = 874.0f;  // about 5.0 degrees
  while (deviation(below) < 5) below = std::nextafter(below, 1000.0f);
  float above = below;
  while (deviation(below) >= 5) below = std::nextafter(below, 0.0f);
  while (deviation(above) <= 5) above = std::nextafter(above, 1000.0f);
  ASSERT_LT(5.0f - deviation(below), 1e-4f);
  ASSERT_LT(deviation(above) - 5.0f, 1e-4f);
  for (const float ty : {below, above}) {
    World w = OrdersWorld();
    Spawn(w, 0, 0, 0, 0, 0);
    SteerTowards(w, 0, tx, ty);
    EXPECT_EQ(w.Objects[0].Angle, ty == above ? 5 : 0) << deviation(ty);
  }
}

// The turn decision taken from the cosine agrees with acos itself: every float from 0.99 to
// just past 1, a wide sample below, and the values outside [-1, 1].
TEST(SteerTowards, TurnDecisionAsAcosGivesIt) {
  auto byAcos = [](float dot) {
    return static_cast<float>(std::acos(static_cast<double>(dot)) * 180.0 / M_PI) > 5;
  };
  size_t turns = 0;
  size_t checked = 0;
  for (float d = 0.99f; d <= 1.0f; d = std::nextafter(d, 2.0f), ++checked) {
    ASSERT_EQ(TurnsAt(d), byAcos(d)) << d;
    turns += TurnsAt(d) ? 1 : 0;
  }
  EXPECT_GT(checked, 100000u);
  EXPECT_GT(turns, 50000u);  // the threshold lies inside the range
  EXPECT_LT(turns, checked);
  for (int k = 0; k < 200000; ++k) {
    const auto d = static_cast<float>(-1.0 + 1.99 * k / 200000);
    ASSERT_EQ(TurnsAt(d), byAcos(d)) << d;
  }
  const float inf = std::numeric_limits<float>::infinity();
  for (const float d : {std::nextafter(-1.0f, -2.0f), std::nextafter(1.0f, 2.0f), -inf, inf,
                        std::numeric_limits<float>::quiet_NaN(), -1.0f, 1.0f, 0.0f, -0.0f}) {
    EXPECT_EQ(TurnsAt(d), byAcos(d)) << d;
  }
}

TEST(ExecuteOrders, BadOrdersAreIgnored) {
  World w = OrdersWorld();
  const char* orders[] = {"idti 5",        "idti a,b",       "idti 99999999999,0", "idtiza 99",
                          "idtiza -1",     "idtiza x",       "atakovat 42",        "atakovat",
                          "stroyka 9,0,0", "stroyka -1,0,0", "stroyka 0,x,0",      "stroyka 3,0,0",
                          "dobicha 77",    "dobicha 18",     "atakovat 1",         "zzz 1",
                          "   ",           "idti 1,2,3,4"};
  for (const char* order : orders) {
    TObyekt& o = Spawn(w, 0, 7, 10, 10, 45);  // side 7 has no treasury
    o.Thought1 = order;
    o.Action = 42;
  }
  Spawn(w, 2, kNeutralSide, 0, 0);  // 18: a full deposit
  w.Objects[14].AttackIndex = -1;   // "atakovat 1" with no such attack
  w.Objects[13].Cargo.clear();      // "dobicha 18" into nothing
  w.Objects[1].Cargo.clear();
  w.Objects[1].Thought1 = "dobicha 2";  // mining from an empty deposit
  const size_t count = w.Objects.size();
  for (int f = 0; f < 50; ++f) ExecuteOrders(w);
  EXPECT_EQ(w.Objects.size(), count);
  for (const TObyekt& o : w.Objects) {
    EXPECT_TRUE(std::isfinite(o.X) && std::isfinite(o.Y) && std::isfinite(o.Angle));
  }
  EXPECT_EQ(w.Objects[0].Action, 42);
  EXPECT_EQ(w.Objects[0].X, 10);
  EXPECT_EQ(w.Objects[14].Action, 42);
  EXPECT_EQ(w.Objects[1].Energy[0], 10);         // nobody struck
  EXPECT_EQ(w.Objects[16].Action, kActionIdle);  // only spaces: no verb
  EXPECT_EQ(w.Objects[17].X != 10, true);        // extra numbers are ignored
  EXPECT_EQ(w.Objects[13].Cargo.size(), 0u);
  EXPECT_EQ(w.Objects[18].Cargo[0], 1000);
  for (const TSide& s : w.Sides) EXPECT_EQ(s.Money, 0);

  // A type without energy counts as dead and takes no damage.
  World v = OrdersWorld();
  Spawn(v, 0, 0, 0, 0).Thought1 = "atakovat 1";
  Spawn(v, 0, 1, 0, 0).Energy.clear();
  ExecuteOrders(v);
  EXPECT_EQ(v.Objects[0].Thought1, "");
  EXPECT_EQ(v.Objects[1].Thought1, "atakovat 0");
  EXPECT_TRUE(v.Objects[1].Energy.empty());
}

}  // namespace
