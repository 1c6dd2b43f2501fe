// Small 2-D vector of singles.
#pragma once

#include <cmath>

struct Vec2 {
  float X = 0;
  float Y = 0;
};

// x² + y², the sum taken in double.
inline double SumOfSquares(float x, float y) {
  return static_cast<double>(x) * x + static_cast<double>(y) * y;
}

// The length of (x, y): the sum of squares in double, the root stored as a single.
inline float Length(float x, float y) {
  return static_cast<float>(std::sqrt(SumOfSquares(x, y)));
}

// The vector divided by its length (Length). A zero vector gives NaN components; callers guard.
inline Vec2 Normalize(Vec2 v) {
  const float length = Length(v.X, v.Y);
  return {v.X / length, v.Y / length};
}
