// How far a type sees, for the fog of war; the rules never read it.
#pragma once

#include <algorithm>

#include "game/catalogue.h"

// The type's "обзор" line, else five times its radius and at least 100 world units.
inline float SightOf(const TOpisan& type) {
  return type.Sight > 0 ? type.Sight : std::max(100.0f, 5 * type.Radius);
}
