// The fog of war as drawn: a grid of cells over the world, each black, dimmed or clear.
// Shared by the drawing interface and the OpenGL drawing.
#pragma once

#include <cstdint>
#include <vector>

struct FogPicture {
  float X0 = 0;  // the grid's lower left corner, world units
  float Y0 = 0;
  float Cell = 16;  // world units a cell
  int32_t Columns = 0;
  int32_t Rows = 0;
  // Per cell, rows from the bottom: how much it darkens, 0 clear to 255 black.
  const std::vector<uint8_t>* Shade = nullptr;
};
