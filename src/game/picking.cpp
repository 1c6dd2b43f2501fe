#include "game/picking.h"

#include <cmath>

bool IsUnderCursor(const World& world, int32_t index, float x, float y) {
  // An index or a type that does not exist is never under the cursor.
  if (index < 0 || static_cast<size_t>(index) >= world.Objects.size()) return false;
  const TObyekt& o = world.Objects[static_cast<size_t>(index)];
  const TOpisan* type = TypeOf(world, o);
  if (type == nullptr) return false;
  const float dx = x - o.X;
  const float dy = y - o.Y;
  // The sum of squares in double, the distance stored as a single.
  const auto d =
      static_cast<float>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
  return d < type->Radius;
}
