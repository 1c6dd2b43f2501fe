#include "game/contacts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "app/script.h"
#include "contact_reference.h"
#include "game/level.h"
#include "game/object_fields.h"
#include "game/opponent.h"
#include "game/orders.h"
#include "test_files.h"
#include "test_world.h"
#include "util/bmp.h"
#include "util/random.h"
#include "util/vec2d.h"

namespace {

// Race 0: worker (radius 10), base (radius 30, immovable), deposit (radius 20).
World ContactWorld() {
  World w;
  BasicTypes t;
  t.Worker.Attacks = {{"hit", "", 1, "", 0}, {"kick", "", 3, "", 0}};
  TOpisan post = t.Base;  // immovable, radius 10
  post.Radius = 10;
  w.Catalogue.push_back({{t.Worker, t.Base, t.Deposit, post}});
  return w;
}

TEST(Normalize, UnitLength) {
  Vec2 n = Normalize({3, -4});
  EXPECT_FLOAT_EQ(n.X, 0.6f);
  EXPECT_FLOAT_EQ(n.Y, -0.8f);
}

TEST(SeparatePair, PushesHalfTheOverlapEach) {
  float ax = 0, ay = 0, bx = 20, by = 0;
  EXPECT_FALSE(SeparatePair(ax, ay, bx, by, 1, 10, 10, 1));  // exactly touching is apart
  EXPECT_EQ(bx, 20);
  bx = 12, by = 16;  // off the axes too
  EXPECT_FALSE(SeparatePair(ax, ay, bx, by, 1, 10, 10, 1));
  bx = 11.999f;
  EXPECT_TRUE(SeparatePair(ax, ay, bx, by, 1, 10, 10, 1));  // a little less touches
  ax = 0, ay = 0, bx = 20, by = 0;

  bx = 18;
  EXPECT_TRUE(SeparatePair(ax, ay, bx, by, 1, 10, 10, 1));
  EXPECT_FLOAT_EQ(ax, -1);
  EXPECT_FLOAT_EQ(bx, 19);

  ax = 0, bx = 18;
  EXPECT_TRUE(SeparatePair(ax, ay, bx, by, 0, 10, 10, 1));
  EXPECT_EQ(ax, 0);
  EXPECT_FLOAT_EQ(bx, 19);

  // Two immovable objects stay overlapped.
  ax = 0, bx = 18;
  EXPECT_TRUE(SeparatePair(ax, ay, bx, by, 0, 10, 10, 0));
  EXPECT_EQ(ax, 0);
  EXPECT_EQ(bx, 18);
}

TEST(SeparatePair, CoincidentCentresStayNumbers) {
  float ax = 5, ay = 5, bx = 5, by = 5;
  EXPECT_TRUE(SeparatePair(ax, ay, bx, by, 1, 10, 10, 1));
  EXPECT_FLOAT_EQ(ax, 15);
  EXPECT_FLOAT_EQ(bx, -5);
  EXPECT_EQ(ay, 5);
  EXPECT_EQ(by, 5);
  // Absurd radii report the overlap but move nobody.
  EXPECT_TRUE(SeparatePair(ax, ay, bx, by, 1, INFINITY, 1, 1));
  EXPECT_TRUE(std::isfinite(ax) && std::isfinite(bx));
}

TEST(ContactPass, DepositAndIdleWorker) {
  World touching = ContactWorld();
  Spawn(touching, 0, 0, 0, 0);
  Spawn(touching, 2, kNeutralSide, 30, 0);  // radii 10 and 20: exactly touching is apart
  Spawn(touching, 0, 0, 48, 24);            // 30 from the deposit off the axes
  ContactPass(touching);
  EXPECT_EQ(touching.Objects[0].Thought1, "");
  EXPECT_EQ(touching.Objects[1].Thought1, "");
  EXPECT_EQ(touching.Objects[2].Thought1, "");

  World w = ContactWorld();
  Spawn(w, 0, 0, 0, 0);              // 0 idle worker
  Spawn(w, 2, kNeutralSide, 25, 0);  // 1 deposit
  Spawn(w, 1, 0, 0, 300);            // 2 base 300 away
  ContactPass(w);
  EXPECT_EQ(w.Objects[0].Thought1, "dobicha 1");
  EXPECT_EQ(w.Objects[0].Thought2, "idtiza 2");
  EXPECT_EQ(w.Objects[1].Thought1, "atakovat 0");
  EXPECT_EQ(w.Objects[1].AttackIndex, 0);
  EXPECT_EQ(w.Objects[1].X, 25);  // a deposit never moves
  EXPECT_FLOAT_EQ(w.Objects[0].X, -2.5f);

  // Once apart, the deposit follows the worker with the attack waiting.
  w.Objects[0].X = -500;
  ContactPass(w);
  EXPECT_EQ(w.Objects[1].Thought1, "idtiza 0");
  EXPECT_EQ(w.Objects[1].Thought2, "atakovat 0");
  // Later touching again: the attack moves back up.
  w.Objects[0].X = 0;
  ContactPass(w);
  EXPECT_EQ(w.Objects[1].Thought1, "atakovat 0");
  EXPECT_EQ(w.Objects[1].Thought2, "");
}

TEST(ContactPass, NoBaseInReachKeepsNextOrder) {
  World w = ContactWorld();
  Spawn(w, 0, 0, 0, 0).Thought2 = "idti 1,1";
  Spawn(w, 2, kNeutralSide, 25, 0);
  Spawn(w, 1, 0, -2.5f, 1000);  // exactly 1000 from where the push leaves the worker
  ContactPass(w);
  EXPECT_EQ(w.Objects[0].Thought1, "dobicha 1");
  EXPECT_EQ(w.Objects[0].Thought2, "idti 1,1");
}

TEST(ContactPass, PartlyLoadedWorkerIsNotEngaged) {
  World w = ContactWorld();
  Spawn(w, 0, 0, 0, 0).Cargo[0] = 0.5f;
  Spawn(w, 2, kNeutralSide, 25, 0);
  ContactPass(w);
  EXPECT_EQ(w.Objects[0].Thought1, "");
  EXPECT_EQ(w.Objects[1].Thought1, "atakovat 0");
}

TEST(OnContact, DeliveryEndsTheFollow) {
  World w = ContactWorld();
  TObyekt& m = Spawn(w, 0, 1, 0, 0);
  m.Thought1 = "idtiza 1";
  m.Thought2 = "idtiza 5";
  m.Cargo[0] = 3.7f;
  Spawn(w, 1, 1, 35, 0);
  w.Sides[1].Money = 10;
  ContactPass(w);
  EXPECT_FLOAT_EQ(w.Sides[1].Money, 13.7f);
  EXPECT_EQ(w.Objects[0].Cargo[0], 0);
  EXPECT_EQ(w.Objects[0].Thought1, "idtiza 5");
  EXPECT_EQ(w.Objects[0].Thought2, "");

  // Touching one's own base without following it delivers nothing.
  w.Objects[0].Cargo[0] = 2;
  w.Objects[0].Thought1 = "idti 0,0";
  ContactPass(w);
  EXPECT_FLOAT_EQ(w.Sides[1].Money, 13.7f);
  EXPECT_EQ(w.Objects[0].Cargo[0], 2);
}

TEST(OnContact, FollowEndsInEngagement) {
  World w = ContactWorld();
  TObyekt& u = Spawn(w, 0, 0, 0, 0);
  u.Thought1 = "idtiza 1";
  u.AttackIndex = 1;
  Spawn(w, 0, 1, 15, 0).Thought1 = "idti 500,0";
  ContactPass(w);
  EXPECT_EQ(w.Objects[0].Thought1, "atakovat 1");
  EXPECT_EQ(w.Objects[0].AttackIndex, 0);
  EXPECT_EQ(w.Objects[1].Thought1, "idti 500,0");  // busy: not engaged
}

TEST(OnContact, SameSideAndDeadObjectsAreLeftAlone) {
  World w = ContactWorld();
  Spawn(w, 0, 0, 0, 0);
  Spawn(w, 0, 0, 5, 0);
  TObyekt& d = Spawn(w, 0, 1, 0, 5);
  d.Energy[0] = 0;
  ContactPass(w);
  EXPECT_EQ(w.Objects[0].Thought1, "");
  EXPECT_EQ(w.Objects[1].Thought1, "");
  EXPECT_EQ(w.Objects[2].Thought1, "");
  EXPECT_EQ(w.Objects[2].X, 0);
  EXPECT_EQ(w.Objects[2].Y, 5);
}

TEST(OnApart, ArgumentCopiedUnchanged) {
  World w = ContactWorld();
  Spawn(w, 0, 0, 0, 0).Thought1 = "atakovat 01";
  Spawn(w, 0, 1, 100, 0);
  ContactPass(w);
  EXPECT_EQ(w.Objects[0].Thought1, "idtiza 01");
  EXPECT_EQ(w.Objects[0].Thought2, "atakovat 01");
}

TEST(NearestDepot, ReachAndTies) {
  World w = ContactWorld();
  Spawn(w, 0, 0, 0, 0);
  Spawn(w, 1, 0, 1000, 0);  // exactly 1000: out of reach
  EXPECT_EQ(NearestDepot(w, 0), -1);
  Spawn(w, 1, 1, 10, 0);  // another side
  Spawn(w, 1, 0, 0, 999);
  Spawn(w, 1, 0, -999, 0);  // as near: the lower index wins
  EXPECT_EQ(NearestDepot(w, 0), 3);
  w.Objects[3].Energy[0] = -1;  // dead bases still count
  EXPECT_EQ(NearestDepot(w, 0), 3);
  EXPECT_EQ(NearestDepot(w, 99), -1);
}

TEST(OnContact, BadIndicesAndEmptyCargo) {
  World w = ContactWorld();
  TObyekt& a = Spawn(w, 0, 0, 0, 0);
  a.Cargo.clear();
  a.Thought1 = "idtiza 1";
  Spawn(w, 1, 0, 10, 0);
  OnContact(w, 0, 1);  // arrives at its base carrying nothing
  EXPECT_EQ(w.Sides[0].Money, 0);
  OnContact(w, 0, 57);
  OnApart(w, -3, 0);
  EXPECT_EQ(w.Objects[0].Thought1, "");
  // Side outside the treasuries: the follow ends, nothing is paid.
  TObyekt& b = Spawn(w, 0, 9, 0, 0);
  b.Thought1 = "idtiza 3";
  b.Cargo[0] = 5;
  Spawn(w, 1, 9, 0, 0);
  OnContact(w, 2, 3);
  EXPECT_EQ(w.Objects[2].Thought1, "");
  EXPECT_EQ(w.Objects[2].Cargo[0], 5);
}

bool SameBits(float a, float b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}
template <typename T>
bool SameBits(const T& a, const T& b) {
  return a == b;
}
bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](float x, float y) { return SameBits(x, y); });
}

// Every field of every object (the field table) and every treasury, bit for bit.
void ExpectSameWorld(const World& a, const World& b) {
  ASSERT_EQ(a.Objects.size(), b.Objects.size());
  for (size_t k = 0; k < a.Objects.size(); ++k) {
    for (const Field<TObyekt>& field : kObjectFields) {
      std::visit(
          [&](auto member) {
            if (!SameBits(a.Objects[k].*member, b.Objects[k].*member)) {
              ADD_FAILURE() << "object " << k << " field " << field.Name;
            }
          },
          field.Member);
    }
    if (testing::Test::HasFailure()) return;
  }
  for (size_t s = 0; s < a.Sides.size(); ++s) {
    EXPECT_TRUE(SameBits(a.Sides[s].Money, b.Sides[s].Money)) << "side " << s;
  }
}

// A crowded random world: many overlaps, many dead objects, orders naming each other.
World RandomWorld(uint32_t seed) {
  World w = ContactWorld();
  Random r{seed};
  const int count = 40 + static_cast<int>(r.Next(80));
  const char* verbs[] = {"idtiza ", "atakovat ", "dobicha ", "idti "};
  for (int k = 0; k < count; ++k) {
    const auto kind = static_cast<int32_t>(r.Next(4));
    const int32_t side = kind == 2 ? kNeutralSide : static_cast<int32_t>(r.Next(3));
    TObyekt& o = Spawn(w, kind, side, static_cast<float>(r.Next(200)) - 100,
                       static_cast<float>(r.Next(200)) - 100);
    if (r.Next(3) == 0) o.Energy[0] = -static_cast<float>(r.Next(2));  // dead
    if (r.Next(20) == 0) o.Energy.clear();                             // dead too
    if (!o.Cargo.empty() && kind == 0) o.Cargo[0] = static_cast<float>(r.Next(3)) * 0.5f;
    if (r.Next(2) == 0) {
      o.Thought1 = verbs[r.Next(4)] + std::to_string(r.Next(static_cast<uint32_t>(count)));
    }
    if (r.Next(2) == 0) o.Thought2 = "idtiza " + std::to_string(r.Next(10));
  }
  w.Sides[0].Money = 5;
  return w;
}

TEST(ContactPass, SameAsPlainSweep) {
  int follows = 0;  // attackers turned into followers: the apart path was exercised
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    World a = RandomWorld(seed);
    World b = a;
    for (int frame = 0; frame < 20; ++frame) {
      ContactPass(a);
      ContactPassPlain(b);
      ExpectSameWorld(a, b);
      if (HasFatalFailure() || HasFailure()) return;
      for (const TObyekt& o : a.Objects) {
        follows += o.Thought2.rfind("atakovat ", 0) == 0 && o.Thought1.rfind("idtiza ", 0) == 0;
      }
      // Liveness never changes within the pass; the orders keep the worlds moving.
      ExecuteOrders(a);
      ExecuteOrders(b);
    }
  }
  EXPECT_GT(follows, 0);
}

// A crowd of `count` objects at one per 150 square units: workers pressed into chains (every
// fourth spawned on top of the one before), bases and posts that do not move, deposits, a
// quarter dead, attacks aimed at any index (mostly far away), and follows whose next order is
// an attack, so that a pair's arrival gives a later pair of the same pass an attacker.
World CrowdWorld(uint32_t seed, int count) {
  World w = ContactWorld();
  Random r{seed};
  const auto extent = static_cast<uint32_t>(std::sqrt(150.0 * count));
  const auto n = static_cast<uint32_t>(count);
  auto index = [&] { return std::to_string(r.Next(n)); };
  for (int k = 0; k < count; ++k) {
    const uint32_t pick = r.Next(10);
    const int32_t kind = pick < 7 ? 0 : static_cast<int32_t>(pick) - 6;
    const int32_t side = kind == 2 ? kNeutralSide : static_cast<int32_t>(r.Next(3));
    float x = static_cast<float>(r.Next(extent));
    float y = static_cast<float>(r.Next(extent));
    if (k > 0 && r.Next(4) == 0) {
      x = w.Objects.back().X + static_cast<float>(r.Next(7)) - 3;
      y = w.Objects.back().Y + static_cast<float>(r.Next(7)) - 3;
    }
    TObyekt& o = Spawn(w, kind, side, x, y);
    if (r.Next(4) == 0) o.Energy[0] = 0;
    if (r.Next(60) == 0) o.Energy.clear();
    if (kind == 0) o.Cargo[0] = static_cast<float>(r.Next(3)) * 0.5f;
    switch (r.Next(6)) {
      case 0:
        o.Thought1 = "atakovat " + index();
        break;
      case 1:  // follows a neighbour, then attacks anyone
        o.Thought1 = "idtiza " + std::to_string(std::max(0, k + static_cast<int>(r.Next(5)) - 2));
        o.Thought2 = "atakovat " + index();
        break;
      case 2:
        o.Thought1 = "dobicha " + index();
        break;
      default:  // idle: engages what it touches
        break;
    }
  }
  w.Sides[1].Money = 7;
  return w;
}

// Runs both passes on copies for `frames` frames, orders in between; counts the attackers
// that lost touch (the apart path) and the objects that moved.
void ExpectSamePasses(World a, int frames, int& follows, int& moved) {
  World b = a;
  for (int frame = 0; frame < frames; ++frame) {
    const World before = a;
    ContactPass(a);
    ContactPassPlain(b);
    ExpectSameWorld(a, b);
    if (testing::Test::HasFailure()) return;
    for (size_t k = 0; k < a.Objects.size(); ++k) {
      const TObyekt& o = a.Objects[k];
      follows += o.Thought2.rfind("atakovat ", 0) == 0 && o.Thought1.rfind("idtiza ", 0) == 0 &&
                 before.Objects[k].Thought1.rfind("atakovat ", 0) == 0;
      moved += o.X != before.Objects[k].X;
    }
    ExecuteOrders(a);
    ExecuteOrders(b);
  }
}

TEST(ContactPass, SameAsPlainSweepInCrowds) {
  int follows = 0;
  int moved = 0;
  for (const int count : {2000, 3500, 5000}) {
    SCOPED_TRACE(count);
    ExpectSamePasses(CrowdWorld(static_cast<uint32_t>(count), count), 3, follows, moved);
    if (HasFailure()) return;
  }
  EXPECT_GT(follows, 100);
  EXPECT_GT(moved, 1000);
}

// Pushes that carry one object far within its own row, and data the cells cannot hold:
// radii not finite or huge, positions not finite or far out, objects without a type.
TEST(ContactPass, SameAsPlainSweepOnLongPushesAndWildData) {
  int follows = 0;
  int moved = 0;
  {
    // 300 workers on one point: the first is pushed 10 units along +x by each of the others.
    World w = ContactWorld();
    for (int k = 0; k < 300; ++k) Spawn(w, 0, k % 2, 50, 50);
    Spawn(w, 1, 0, 2000, 50);  // a base ahead on the way
    ExpectSamePasses(w, 3, follows, moved);
    if (HasFailure()) return;
  }
  World w = CrowdWorld(7, 400);
  w.Catalogue[0].Types.push_back(w.Catalogue[0].Types[0]);  // 4: a worker of odd radius
  w.Catalogue[0].Types.push_back(w.Catalogue[0].Types[0]);  // 5
  w.Catalogue[0].Types[4].Radius = INFINITY;
  w.Catalogue[0].Types[5].Radius = 5e6f;
  Random r{99};
  for (int k = 0; k < 40; ++k) {
    TObyekt& o = w.Objects[r.Next(static_cast<uint32_t>(w.Objects.size()))];
    switch (k % 8) {
      case 0:
        o.Kind = 4;
        break;
      case 1:
        o.Kind = 5;
        break;
      case 2:
        o.Kind = 77;
        break;  // no type
      case 3:
        o.X = NAN;
        break;
      case 4:
        o.Y = INFINITY;
        break;
      case 5:
        o.X = 3e38f;
        break;
      case 6:
        o.X = -1e30f, o.Y = 1e30f;
        break;
      default:
        o.Energy = {1};
        break;
    }
  }
  w.Catalogue[0].Types[3].Radius = NAN;  // posts
  ExpectSamePasses(w, 3, follows, moved);
}

// Races of odd radii on top of ContactWorld: 4 a movable giant (600), 5 zero, 6 negative,
// 7 a giant base (5e4); 8 and 9 too wild for cells (NaN, infinite).
World OddWorld() {
  World w = ContactWorld();
  std::vector<TOpisan>& types = w.Catalogue[0].Types;
  const float radii[] = {600, 0, -4, 5e4f, NAN, INFINITY};
  for (int k = 0; k < 6; ++k) {
    types.push_back(types[k == 3 ? kBaseKind : kWorkerKind]);
    types.back().Radius = radii[k];
  }
  return w;
}

// One of many shapes: crowds, sparse fields, heaps on one point, packed formations, huge
// radii; a quarter dead; orders of every verb naming any index, malformed ones too.
World GeneratedWorld(uint32_t seed) {
  World w = OddWorld();
  Random r{seed};
  const uint32_t shape = r.Next(5);
  const auto count = static_cast<int>(shape == 2 ? 20 + r.Next(150) : 1 + r.Next(400));
  const double area = shape == 1 ? 5000 : 300 + r.Next(900);
  const auto extent = static_cast<uint32_t>(std::sqrt(area * count)) + 1;
  const auto n = static_cast<uint32_t>(count) + 5;  // orders may name objects spawned later
  const char* const verbs[] = {"atakovat ", "idtiza ", "dobicha ", " atakovat  ", "atakovat 0"};
  for (int k = 0; k < count; ++k) {
    const uint32_t pick = r.Next(12);
    int32_t kind = pick < 7 ? 0 : static_cast<int32_t>(pick) - 6;  // 1..5
    if (kind == 4) kind = shape == 3 ? 4 + static_cast<int32_t>(r.Next(6)) : 0;
    if (kind == 5) kind = static_cast<int32_t>(r.Next(4));
    const int32_t side = kind == 2 ? kNeutralSide : static_cast<int32_t>(r.Next(4)) * 3 % 10;
    float x = static_cast<float>(r.Next(extent));
    float y = static_cast<float>(r.Next(extent));
    if (shape == 2) x = y = static_cast<float>(r.Next(3));
    if (shape == 4) {  // rows 19 apart, two armies facing
      x = static_cast<float>(k % 20) * 19 + (side == 0 ? 0 : 390);
      y = static_cast<float>(k / 20) * 19;
    }
    TObyekt& o = Spawn(w, kind, side, x, y);
    if (r.Next(4) == 0) o.Energy[0] = 0;
    if (!o.Cargo.empty() && kind != 2) o.Cargo[0] = static_cast<float>(r.Next(3)) * 0.5f;
    if (r.Next(3) != 0) o.Thought1 = verbs[r.Next(5)] + std::to_string(r.Next(n));
    if (r.Next(2) == 0) o.Thought2 = verbs[r.Next(3)] + std::to_string(r.Next(n));
  }
  w.Sides[0].Money = 3;
  return w;
}

// The same changes to both worlds between passes: orders run (blows kill), a few objects
// die, spawn, come back to life or get new orders.
void Stir(World& a, World& b, Random& r) {
  ExecuteOrders(a);
  ExecuteOrders(b);
  for (int k = 0; k < 4; ++k) {
    const auto n = static_cast<uint32_t>(a.Objects.size());
    const size_t i = n > 0 ? r.Next(n) : 0;
    const uint32_t what = r.Next(5);
    const float at = static_cast<float>(r.Next(40)) - 20;
    const std::string order = "atakovat " + std::to_string(r.Next(n + 2));
    for (World* w : {&a, &b}) {
      if (what == 0 || n == 0) {
        Spawn(*w, static_cast<int32_t>(k % 3), k % 2, at + (n > 0 ? w->Objects[i].X : 0), at);
      } else if (what == 1 && !w->Objects[i].Energy.empty()) {
        w->Objects[i].Energy[0] = 0;
      } else if (what == 2 && !w->Objects[i].Energy.empty()) {
        w->Objects[i].Energy[0] = 5;
      } else {
        w->Objects[i].Thought1 = what == 3 ? order : "";
      }
    }
  }
}

// Two armies pressed into blocks (closer than a radius sum, so every neighbour touches) and
// marching on each other: most of them follow or attack the other side, some have odd radii,
// deposits and bases stand between; blows kill within a few frames.
World MarchingWorld(uint32_t seed) {
  World w = OddWorld();
  Random r{seed};
  const auto per = static_cast<int32_t>(40 + r.Next(160));
  const auto columns = static_cast<int32_t>(3 + r.Next(12));
  const auto gap = static_cast<float>(12 + r.Next(9));
  const float front = static_cast<float>(columns) * gap + static_cast<float>(r.Next(20));
  for (int32_t k = 0; k < 2 * per; ++k) {
    const int32_t side = k < per ? 0 : 3;
    const int32_t i = k % per;
    const uint32_t pick = r.Next(40);
    const int32_t kind = pick == 0 ? 1 : pick == 1 ? 5 : pick == 2 ? 6 : 0;
    TObyekt& o =
        Spawn(w, kind, side, static_cast<float>(i % columns) * gap + (side == 0 ? 0 : front),
              static_cast<float>(i / columns) * gap);
    const int32_t enemy = (side == 0 ? per : 0) + static_cast<int32_t>(r.Next(per));
    const uint32_t order = r.Next(4);
    if (order == 0) o.Thought1 = FollowOrder(enemy);
    if (order == 1) o.Thought1 = AttackOrder(enemy);
    if (order == 2) o.Thought1 = FollowOrder(enemy), o.Thought2 = AttackOrder(enemy);
  }
  for (uint32_t k = r.Next(6); k > 0; --k) {
    Spawn(w, 2, kNeutralSide, front - gap / 2, static_cast<float>(r.Next(200)));
  }
  w.Sides[0].Money = 3;
  return w;
}

// 1000 worlds of every shape and 200 marching battles, frame by frame, with objects dying,
// spawning and reviving between the passes.
TEST(ContactPass, SameAsPlainSweepOnGeneratedWorlds) {
  int pushed = 0;
  int follows = 0;
  int far = 0;  // objects pushed 4 units or more on an axis within one pass
  for (uint32_t seed = 1; seed <= 1200; ++seed) {
    SCOPED_TRACE(seed);
    const bool marching = seed > 1000;
    World a = marching ? MarchingWorld(seed) : GeneratedWorld(seed);
    World b = a;
    Random r{seed};
    for (int frame = 0; frame < (marching ? 24 : 8); ++frame) {
      const World before = a;
      ContactPass(a);
      ContactPassPlain(b);
      ExpectSameWorld(a, b);
      if (HasFailure()) return;
      for (size_t k = 0; k < a.Objects.size(); ++k) {
        const TObyekt& o = a.Objects[k];
        const TObyekt& was = before.Objects[k];
        pushed += !SameBits(o.X, was.X);
        far += std::fabs(o.X - was.X) >= 4 || std::fabs(o.Y - was.Y) >= 4;
        follows += OrderIs(o.Thought1, Verb::Idtiza) && OrderIs(was.Thought1, Verb::Atakovat);
      }
      Stir(a, b, r);
    }
  }
  EXPECT_GT(pushed, 100000);
  EXPECT_GT(follows, 1000);
  EXPECT_GT(far, 50000);
}

// Every shipped level played as a match, the passes compared after every frame.
TEST(ContactPass, SameAsPlainSweepOnShippedLevels) {
  const std::filesystem::path data = std::filesystem::path(RTS_SOURCE_DIR) / "data";
  InDir in(data);
  RecordingPlatform platform;
  HeadlessHost host(platform);
  host.Press(1);
  const World loaded = host.frontend().world();
  ASSERT_FALSE(loaded.Catalogue.empty());
  const std::vector<std::string> levels = ShippedLevels();
  ASSERT_GE(levels.size(), 3u);
  for (const std::string& name : levels) {
    SCOPED_TRACE(name);
    DataProblems problems;
    Level level = ReadLevelFile(NativePath(name), problems, name);
    ResolveLevel(loaded, level, problems);
    World a = loaded;
    CreateLevel(a, level);
    a.Rng.Seed = 5;
    World b = a;
    // The crowded battle costs the plain sweep most: fewer frames of it.
    const int frames = a.Objects.size() > 500 ? 150 : 6000;
    for (int frame = 0; frame < frames; ++frame) {
      ContactPass(a);
      ContactPassPlain(b);
      ExpectSameWorld(a, b);
      if (HasFailure()) return;
      for (World* w : {&a, &b}) {
        ExecuteOrders(*w);
        RunComputerSide(*w, 0);
        RunComputerSide(*w, 1);
      }
    }
  }
}

}  // namespace
