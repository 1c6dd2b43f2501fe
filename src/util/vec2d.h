// Small 2-D vector of singles.
#pragma once

#include <cmath>

struct Vec2 {
  float X = 0;
  float Y = 0;
};

// The vector divided by its length (a zero vector gives NaN components; callers guard).
inline Vec2 Normalize(Vec2 v) {
  float length = std::sqrt(v.X * v.X + v.Y * v.Y);
  return {v.X / length, v.Y / length};
}
