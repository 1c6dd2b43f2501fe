// The order language and its execution: walking, following, attacking, building, mining.
#pragma once

#include <cstdint>
#include <string_view>

#include "game/world.h"

// One pass over the objects existing at its start, carrying out their current orders.
void ExecuteOrders(World& world);

// One movement step of object `index` towards (x, y); empties Thought1 on arrival.
void SteerTowards(World& world, int32_t index, float x, float y);

// Word n of a text for the given delimiters, as ExtractWord gives it, but as a view into
// the text (empty when there is no word n).
std::string_view WordOf(std::string_view text, std::string_view delims, uint8_t n);

// Verb and argument of an order: words 1 and 2 for the delimiter " ", found in one scan.
struct OrderWords {
  std::string_view Verb;
  std::string_view Arg;
};
OrderWords SplitOrder(std::string_view order);
inline std::string_view OrderVerb(std::string_view order) {
  return SplitOrder(order).Verb;
}

// An object index written in an order: false when malformed or outside Objects.
bool ParseObjectIndex(const World& world, std::string_view text, int32_t& index);
