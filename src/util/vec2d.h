// Small 2-D vector of singles.
#pragma once

#include <cmath>

struct Vec2 {
  float X = 0;
  float Y = 0;
};

// The vector divided by its length, the length taken in double and stored as a single.
// A zero vector gives NaN components; callers guard.
inline Vec2 Normalize(Vec2 v) {
  const double x = v.X;
  const double y = v.Y;
  const float length = static_cast<float>(std::sqrt(x * x + y * y));
  return {v.X / length, v.Y / length};
}
