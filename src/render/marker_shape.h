// The cursor marker's shape at the moment it is drawn. No OpenGL: the drawing and the tests
// share it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "util/platform.h"

struct MarkerShape {
  bool Draw = false;   // false for kinds other than 0 (ring) and 1 (cross)
  float Rotation = 0;  // degrees anticlockwise about z
  std::array<float, 3> Colour{};
  std::vector<std::array<float, 2>> Points;  // line pairs, world units around the origin
};

// Ring (kind 0) or cross (kind 1) of the given size. Reads the tick counter once for the
// rotation and, for the ring, once more for each coordinate of each point.
MarkerShape MarkerGeometry(int32_t kind, float size, Platform& platform);
