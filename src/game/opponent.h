// The computer opponent: fixed rules that write orders for one side.
#pragma once

#include <cstdint>

#include "game/world.h"

void RunComputerSide(World& world, int32_t side);

// Nearest neutral object within 1000 units of object `index`, or -1.
int32_t NearestResource(const World& world, int32_t index);
