// Execution of the orders: walking, following, attacking, building, mining.
#pragma once

#include <cstdint>
#include <string_view>

#include "game/order_language.h"
#include "game/world.h"

// One pass over the objects existing at its start, carrying out their current orders.
void ExecuteOrders(World& world);

// Whether a heading whose cosine to the target is `dot` turns: its deviation (acos in
// degrees, as a float) is above 5.
bool TurnsAt(float dot);

// One movement step of object `index` towards (x, y); empties Thought1 on arrival.
void SteerTowards(World& world, int32_t index, float x, float y);

// An object index written in an order: false when malformed or outside Objects.
bool ParseObjectIndex(const World& world, std::string_view text, int32_t& index);
