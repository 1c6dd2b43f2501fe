// Picking objects under the cursor.
#pragma once

#include <cstdint>

#include "game/world.h"

// True when (x, y) lies strictly inside the object's radius.
bool IsUnderCursor(const World& world, int32_t index, float x, float y);
