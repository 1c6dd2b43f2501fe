#include "render/sprite_cell.h"

#include <utility>

SpriteCell CellOf(int32_t sheetWidth, int32_t sheetHeight, int32_t frameWidth, int32_t frameHeight,
                  int32_t row, int32_t column, bool mirror) {
  // Products in integers, quotients in reals.
  const auto ratio = [](int64_t a, int64_t b, int32_t d) {
    return static_cast<double>(a * b) / static_cast<double>(d);
  };
  SpriteCell c;
  c.UL = ratio(column - 1, frameWidth, sheetWidth);
  c.UR = ratio(column, frameWidth, sheetWidth);
  c.VB = 1 - ratio(row, frameHeight, sheetHeight);
  c.VT = 1 - ratio(row - 1, frameHeight, sheetHeight);
  if (mirror) std::swap(c.UL, c.UR);
  return c;
}
