#include "app/order_marks.h"

#include <algorithm>

#include "game/order_language.h"
#include "game/rally.h"

std::optional<Vec2> OrderPoint(const World& world, std::string_view order) {
  const std::optional<Order> o = ParseOrder(order);
  if (!o) return std::nullopt;
  const auto& n = o->Numbers;
  switch (o->Kind) {
    case Verb::Idti:
      return Vec2{static_cast<float>(n[0]), static_cast<float>(n[1])};
    case Verb::Stroyka:
      return Vec2{static_cast<float>(n[1]), static_cast<float>(n[2])};
    default:
      if (!IsObjectIndex(world, n[0])) return std::nullopt;
      return Vec2{ObjectAt(world, n[0]).X, ObjectAt(world, n[0]).Y};
  }
}

void ForgetTakenOrders(const World& world, std::vector<QueuedOrder>& queued) {
  std::erase_if(queued, [&](const QueuedOrder& q) {
    return !IsObjectIndex(world, q.Object) || !IsAlive(ObjectAt(world, q.Object)) ||
           ObjectAt(world, q.Object).Thought2 != q.Order;
  });
}

std::vector<OrderMark> OrderMarks(const World& world, const std::vector<int32_t>& selected,
                                  const std::vector<QueuedOrder>& queued) {
  std::vector<OrderMark> marks;
  const auto isSelected = [&](int32_t i) {
    return std::binary_search(selected.begin(), selected.end(), i);
  };
  for (const QueuedOrder& q : queued) {
    if (!isSelected(q.Object) || !IsObjectIndex(world, q.Object)) continue;
    const TObyekt& o = ObjectAt(world, q.Object);
    if (!IsAlive(o) || o.Thought2 != q.Order) continue;
    const std::optional<Vec2> next = OrderPoint(world, o.Thought2);
    if (!next) continue;
    // From the current order's target, or from the unit when it has none.
    const Vec2 from = OrderPoint(world, o.Thought1).value_or(Vec2{o.X, o.Y});
    marks.push_back({OrderMarkKind::Queued, from.X, from.Y, next->X, next->Y});
  }
  for (const RallyPoint& r : world.Rallies) {
    if (!isSelected(r.Object) || !IsObjectIndex(world, r.Object)) continue;
    const TObyekt& o = ObjectAt(world, r.Object);
    if (!IsAlive(o)) continue;
    marks.push_back(
        {OrderMarkKind::Rally, o.X, o.Y, static_cast<float>(r.X), static_cast<float>(r.Y)});
  }
  return marks;
}
