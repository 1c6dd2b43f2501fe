// The marks a player sees of its orders around the rules: each queued order still waiting in a
// selected unit, and the rally point of each selected building. Drawing only.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "app/front_state.h"
#include "game/world.h"
#include "render/order_mark.h"

// Where an order leads: its point, or the position of the object it names; nothing for an
// empty or malformed order or an index outside Objects.
std::optional<Vec2> OrderPoint(const World& world, std::string_view order);

// Forgets the queued orders that no longer wait in their object's next-order slot.
void ForgetTakenOrders(const World& world, std::vector<QueuedOrder>& queued);

// The marks for a player whose selection is `selected` (index order) and who queued `queued`.
std::vector<OrderMark> OrderMarks(const World& world, const std::vector<int32_t>& selected,
                                  const std::vector<QueuedOrder>& queued);
