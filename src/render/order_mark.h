// The marks of orders a player gave around the rules: a queued order and a rally point.
// Shared by the drawing interface and the OpenGL drawing.
#pragma once

#include <cstdint>

enum class OrderMarkKind : uint8_t {
  Queued,  // from the current order's target to the queued one's
  Rally,   // from a building to its rally point
};

// A thin line from (X0, Y0) to (X1, Y1) with a mark at its end, world units.
struct OrderMark {
  OrderMarkKind Kind = OrderMarkKind::Queued;
  float X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};
