#include "game/opponent.h"

#include <string>
#include <vector>

#include "game/order_language.h"

namespace {

constexpr float kMoneyThreshold = 100;
constexpr int32_t kMaxMiningWorkers = 3;
constexpr int32_t kWorkerTarget = 10;
constexpr float kResourceReach = 1000000;  // squared world units

// What one call sees of its side.
struct Tally {
  int32_t Base = -1;
  int32_t LastWorker = -1;
  int32_t Workers = 0;
  int32_t Miners = 0;
  std::vector<int32_t> Idle;
  int32_t Enemy = -1;
};

Tally TakeTally(const World& world, int32_t side) {
  Tally t;
  for (size_t k = 0; k < world.Objects.size(); ++k) {
    const TObyekt& o = world.Objects[k];
    const auto i = static_cast<int32_t>(k);
    if (o.Side == kNeutralSide || !IsAlive(o)) continue;
    if (o.Side != side) {
      t.Enemy = i;
      continue;
    }
    if (o.Kind == kBaseKind) t.Base = i;
    if (o.Kind == kWorkerKind) {
      t.LastWorker = i;
      ++t.Workers;
      if (OrderIs(o.Thought1, Verb::Dobicha)) ++t.Miners;
      if (!HasVerb(o.Thought1)) t.Idle.push_back(i);
    }
  }
  return t;
}

// A build order of the given type at a site near object o.
std::string BuildNear(World& world, int32_t type, int32_t o) {
  const IntPoint p = BuildSiteNear(world.Rng, ObjectAt(world, o));
  return BuildOrder(type, p.X, p.Y);
}

}  // namespace

void RunComputerSide(World& world, int32_t side) {
  // A side without a treasury has no money to judge by: the rules leave it alone.
  if (!IsPlayerSide(side)) return;
  const Tally t = TakeTally(world, side);
  const float money = SideAt(world, side).Money;

  if (t.Base < 0 && t.LastWorker >= 0) {
    TObyekt& worker = ObjectAt(world, t.LastWorker);
    worker.Thought1 = BuildNear(world, kBaseKind, t.LastWorker);
    worker.Thought2.clear();
  }
  if (money < kMoneyThreshold && t.Workers <= kMaxMiningWorkers && t.Miners == 0 &&
      !t.Idle.empty()) {
    const int32_t r = NearestResource(world, t.Idle.front());
    if (r >= 0) {
      ObjectAt(world, t.Idle.front()).Thought1 = FollowOrder(r);
      ObjectAt(world, t.LastWorker).Thought2.clear();
    }
  }
  if (t.Workers < kWorkerTarget && t.Base >= 0) {
    ObjectAt(world, t.Base).Thought1 = BuildNear(world, kWorkerKind, t.Base);
  }
  if (money > kMoneyThreshold && t.Enemy >= 0 && !t.Idle.empty()) {
    const std::string order = FollowOrder(t.Enemy);
    for (int32_t i : t.Idle) ObjectAt(world, i).Thought1 = order;
    ObjectAt(world, t.LastWorker).Thought2.clear();
  }
}

int32_t NearestResource(const World& world, int32_t index) {
  if (!IsObjectIndex(world, index)) return -1;
  return NearestObject(world, ObjectAt(world, index), kResourceReach,
                       [](const TObyekt& o) { return o.Side == kNeutralSide; });
}
