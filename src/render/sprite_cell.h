// Texture coordinates of one cell of a sprite sheet, as a quad drawing the cell passes them.
#pragma once

#include <cstdint>

struct SpriteCell {
  double UL, UR, VB, VT;  // left, right, bottom, top
};

SpriteCell CellOf(int32_t sheetWidth, int32_t sheetHeight, int32_t frameWidth, int32_t frameHeight,
                  int32_t row, int32_t column, bool mirror);
