#include "contact_reference.h"

#include <vector>

#include "game/contacts.h"

namespace {

// Radius and speed count of an object's type; an object without a type is an immovable point.
struct Circle {
  float Radius = 0;
  int32_t Speeds = 0;
  bool Alive = false;
};

Circle CircleOf(const World& world, const TObyekt& o) {
  const TOpisan* type = TypeOf(world, o);
  if (type == nullptr) return {0, 0, IsAlive(o)};
  return {type->Radius, static_cast<int32_t>(type->Speeds.size()), IsAlive(o)};
}

}  // namespace

void ContactPassPlain(World& world) {
  const auto count = static_cast<int32_t>(world.Objects.size());
  // Neither liveness nor types change during the pass: read them once.
  std::vector<Circle> circles;
  circles.reserve(world.Objects.size());
  for (const TObyekt& o : world.Objects) circles.push_back(CircleOf(world, o));
  for (int32_t i = 0; i < count; ++i) {
    const Circle& ci = circles[static_cast<size_t>(i)];
    for (int32_t j = i + 1; j < count; ++j) {
      const Circle& cj = circles[static_cast<size_t>(j)];
      if (!ci.Alive || !cj.Alive) continue;
      TObyekt& a = ObjectAt(world, i);
      TObyekt& b = ObjectAt(world, j);
      if (SeparatePair(a.X, a.Y, b.X, b.Y, ci.Speeds, ci.Radius, cj.Radius, cj.Speeds)) {
        OnContact(world, i, j);
        OnContact(world, j, i);
      } else {
        OnApart(world, i, j);
        OnApart(world, j, i);
      }
    }
  }
}
