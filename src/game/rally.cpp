#include "game/rally.h"

#include <algorithm>

#include "game/order_language.h"

bool TrainsUnits(const TOpisan& type) {
  return type.Speeds.empty() && !type.Buildables.empty();
}

const RallyPoint* FindRally(const World& world, int32_t i) {
  const auto at = std::lower_bound(world.Rallies.begin(), world.Rallies.end(), i,
                                   [](const RallyPoint& r, int32_t n) { return r.Object < n; });
  return at != world.Rallies.end() && at->Object == i ? &*at : nullptr;
}

void SetRally(World& world, int32_t i, int32_t x, int32_t y) {
  auto& list = world.Rallies;
  const auto at = std::lower_bound(list.begin(), list.end(), i,
                                   [](const RallyPoint& r, int32_t n) { return r.Object < n; });
  if (at != list.end() && at->Object == i) {
    at->X = x;
    at->Y = y;
  } else {
    list.insert(at, RallyPoint{i, x, y});
  }
}

void SendToRally(World& world, int32_t i, int32_t n) {
  const RallyPoint* rally = FindRally(world, i);
  if (rally == nullptr || !IsObjectIndex(world, n)) return;
  TObyekt& unit = ObjectAt(world, n);
  const TOpisan* type = TypeOf(world, unit);
  // Only what can walk is sent; a building stays where it was put.
  if (type == nullptr || type->Speeds.empty()) return;
  unit.Thought1 = WalkOrder(rally->X, rally->Y);
}
