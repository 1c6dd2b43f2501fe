// The order language and its execution: walking, following, attacking, building, mining.
#pragma once

#include <cstdint>

#include "game/world.h"

// One pass over the objects existing at its start, carrying out their current orders.
void ExecuteOrders(World& world);

// One movement step of object `index` towards (x, y); empties Thought1 on arrival.
void SteerTowards(World& world, int32_t index, float x, float y);
