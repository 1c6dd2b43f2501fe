// Rally points: where the units a building trains walk once finished. A player sets them;
// without one the rules are as they were.
#pragma once

#include <cstdint>

#include "game/world.h"

// A building that trains units: it cannot move and can build.
bool TrainsUnits(const TOpisan& type);
// The rally point of object i, or null.
const RallyPoint* FindRally(const World& world, int32_t i);
// Sets (or moves) the rally point of object i, keeping the list in index order.
void SetRally(World& world, int32_t i, int32_t x, int32_t y);
// A unit that building i has just finished (object n) is sent to i's rally point, if any.
void SendToRally(World& world, int32_t i, int32_t n);
