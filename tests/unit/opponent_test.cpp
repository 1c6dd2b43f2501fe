#include "game/opponent.h"

#include <gtest/gtest.h>

#include <string>

#include "test_world.h"
#include "util/numtext.h"

namespace {

// Race 0: worker, base, deposit.
World OpponentWorld() {
  World w;
  BasicTypes t;
  w.Catalogue.push_back({{t.Worker, t.Base, t.Deposit}});
  w.Rng.Seed = 12345;
  return w;
}

// The text a placement near (x, y) gives with the generator's next four draws.
std::string Placement(Random& r, float x, float y) {
  TObyekt near;
  near.X = x;
  near.Y = y;
  const IntPoint p = BuildSiteNear(r, near);
  return IntToStr(p.X) + "," + IntToStr(p.Y);
}

TEST(RunComputerSide, BuildThenMineInOneCall) {
  World w = OpponentWorld();
  Spawn(w, 2, kNeutralSide, 0, 0);
  TObyekt& worker = Spawn(w, 0, 0, 200.5f, 200);
  worker.Thought2 = "idti 1,1";
  w.Sides[0].Money = 50;
  RunComputerSide(w, 0);
  EXPECT_EQ(w.Objects[1].Thought1, "idtiza 0");  // rule 2 overwrote rule 1
  EXPECT_EQ(w.Objects[1].Thought2, "");
  EXPECT_EQ(w.Rng.Seed, [] {
    Random r{12345};
    for (int k = 0; k < 4; ++k) r.Next(25);
    return r.Seed;
  }());

  // Next call: no longer idle, rule 1 rewrites the order with a fresh placement.
  Random expected = w.Rng;
  RunComputerSide(w, 0);
  EXPECT_EQ(w.Objects[1].Thought1, "stroyka 1," + Placement(expected, 200.5f, 200));
  EXPECT_EQ(w.Rng.Seed, expected.Seed);
}

TEST(RunComputerSide, BaseTrainsUpToTenWorkers) {
  World w = OpponentWorld();
  w.Sides[1].Money = 100;  // neither mining nor attacking
  TObyekt& base = Spawn(w, 1, 1, -7, 3);
  base.Thought2 = "keep";
  for (int k = 0; k < 9; ++k) Spawn(w, 0, 1, 100, 0).Thought1 = "idtiza 0";
  Random expected = w.Rng;
  RunComputerSide(w, 1);
  EXPECT_EQ(w.Objects[0].Thought1, "stroyka 0," + Placement(expected, -7, 3));
  EXPECT_EQ(w.Objects[0].Thought2, "keep");

  Spawn(w, 0, 1, 100, 0).Thought1 = "idtiza 0";
  w.Objects[0].Thought1.clear();
  RunComputerSide(w, 1);
  EXPECT_EQ(w.Objects[0].Thought1, "");
  // A dead worker is not counted.
  w.Objects[10].Energy[0] = 0;
  RunComputerSide(w, 1);
  EXPECT_NE(w.Objects[0].Thought1, "");
}

TEST(RunComputerSide, MoneyOfExactly100) {
  World w = OpponentWorld();
  Spawn(w, 2, kNeutralSide, 0, 0);
  Spawn(w, 1, 0, 50, 50);
  Spawn(w, 0, 0, 10, 0).Thought2 = "idti 2,2";
  Spawn(w, 0, 1, 10, 0);
  w.Sides[0].Money = 100;
  RunComputerSide(w, 0);
  EXPECT_EQ(w.Objects[2].Thought1, "");
  EXPECT_EQ(w.Objects[2].Thought2, "idti 2,2");
}

TEST(RunComputerSide, RichSideSendsIdleWorkersAtTheEnemy) {
  World w = OpponentWorld();
  Spawn(w, 1, 0, 0, 0);                         // 0 own base
  Spawn(w, 0, 0, 0, 0);                         // 1 idle
  Spawn(w, 0, 0, 0, 0).Thought1 = "   ";        // 2 idle: only spaces
  Spawn(w, 0, 0, 0, 0).Thought1 = "dobicha 9";  // 3 miner
  Spawn(w, 0, 0, 0, 0).Thought1 = "idtiza 7";   // 4 busy
  Spawn(w, 0, 0, 0, 0);                         // 5 idle, last worker
  w.Objects[5].Thought2 = "old";
  Spawn(w, 1, 1, 500, 0);                 // 6 enemy base
  Spawn(w, 0, 1, 500, 0);                 // 7 enemy worker, highest live
  Spawn(w, 0, 1, 500, 0).Energy[0] = -2;  // 8 dead enemy
  Spawn(w, 2, kNeutralSide, 600, 0);      // 9 neutral, never an enemy
  w.Sides[0].Money = 100.5f;
  RunComputerSide(w, 0);
  EXPECT_EQ(w.Objects[1].Thought1, "idtiza 7");
  EXPECT_EQ(w.Objects[2].Thought1, "idtiza 7");
  EXPECT_EQ(w.Objects[5].Thought1, "idtiza 7");
  EXPECT_EQ(w.Objects[5].Thought2, "");
  EXPECT_EQ(w.Objects[3].Thought1, "dobicha 9");
  EXPECT_EQ(w.Objects[4].Thought1, "idtiza 7");
  EXPECT_EQ(w.Objects[0].Thought1.rfind("stroyka 0,", 0), 0u);  // 5 workers: train more
}

TEST(RunComputerSide, MiningRule) {
  World w = OpponentWorld();
  Spawn(w, 1, 0, 0, 0);  // 0 base
  Spawn(w, 0, 0, 0, 0).Thought1 = "idtiza 0";
  Spawn(w, 0, 0, 0, 0);                 // 2 first idle
  Spawn(w, 0, 0, 0, 0).Thought2 = "x";  // 3 last worker
  Spawn(w, 2, kNeutralSide, 0, 1000);   // exactly 1000: out of reach
  w.Sides[0].Money = 99.5f;
  RunComputerSide(w, 0);
  EXPECT_EQ(w.Objects[2].Thought1, "");  // no deposit in reach: nothing at all
  EXPECT_EQ(w.Objects[3].Thought2, "x");

  Spawn(w, 2, kNeutralSide, 0, 999);  // 5
  RunComputerSide(w, 0);
  EXPECT_EQ(w.Objects[2].Thought1, "idtiza 5");
  EXPECT_EQ(w.Objects[3].Thought1, "");
  EXPECT_EQ(w.Objects[3].Thought2, "");

  // A fourth worker, or a miner, stops the rule.
  World v = OpponentWorld();
  Spawn(v, 2, kNeutralSide, 0, 0);
  for (int k = 0; k < 4; ++k) Spawn(v, 0, 0, 0, 0);
  RunComputerSide(v, 0);
  EXPECT_EQ(v.Objects[1].Thought1, "");
  v.Objects.pop_back();
  v.Objects[1].Thought1 = "dobicha 0";
  RunComputerSide(v, 0);
  EXPECT_EQ(v.Objects[2].Thought1, "");
}

TEST(NearestResource, DeadAndEmptyDepositsCount) {
  World w = OpponentWorld();
  Spawn(w, 0, 0, 0, 0);
  Spawn(w, 2, kNeutralSide, 30, 0).Energy[0] = 0;
  Spawn(w, 2, kNeutralSide, -30, 0).Cargo[0] = 0;
  EXPECT_EQ(NearestResource(w, 0), 1);  // equally near: the lower index
  EXPECT_EQ(NearestResource(w, 5), -1);
  EXPECT_EQ(NearestResource(w, -1), -1);
}

TEST(RunComputerSide, NoObjectsNoDraws) {
  World w = OpponentWorld();
  RunComputerSide(w, 0);
  RunComputerSide(w, 7);
  EXPECT_EQ(w.Rng.Seed, 12345u);
}

}  // namespace
