#include "contact_reference.h"

#include "game/contacts.h"

namespace {

// Radius and speed count of an object's type; an object without a type is an immovable point.
void CircleOf(const World& world, const TObyekt& o, float& radius, int32_t& speeds) {
  const TOpisan* type = TypeOf(world, o);
  radius = type != nullptr ? type->Radius : 0.0f;
  speeds = type != nullptr ? static_cast<int32_t>(type->Speeds.size()) : 0;
}

}  // namespace

void ContactPassPlain(World& world) {
  const auto count = static_cast<int32_t>(world.Objects.size());
  for (int32_t i = 0; i < count; ++i) {
    for (int32_t j = i + 1; j < count; ++j) {
      TObyekt& a = ObjectAt(world, i);
      TObyekt& b = ObjectAt(world, j);
      if (!IsAlive(a) || !IsAlive(b)) continue;
      float ra = 0, rb = 0;
      int32_t sa = 0, sb = 0;
      CircleOf(world, a, ra, sa);
      CircleOf(world, b, rb, sb);
      if (SeparatePair(a.X, a.Y, b.X, b.Y, sa, ra, rb, sb)) {
        OnContact(world, i, j);
        OnContact(world, j, i);
      } else {
        OnApart(world, i, j);
        OnApart(world, j, i);
      }
    }
  }
}
