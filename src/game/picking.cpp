#include "game/picking.h"

#include "util/vec2d.h"

bool IsUnderCursor(const World& world, int32_t index, float x, float y) {
  // An index or a type that does not exist is never under the cursor.
  if (!IsObjectIndex(world, index)) return false;
  const TObyekt& o = ObjectAt(world, index);
  const TOpisan* type = TypeOf(world, o);
  if (type == nullptr) return false;
  const float dx = x - o.X;
  const float dy = y - o.Y;
  const float d = Length(dx, dy);
  return d < type->Radius;
}
