#include "render/marker_shape.h"

#include <cmath>

namespace {

constexpr int kRingPoints = 20;

// The ring's radius pulses with the tick counter: s/2 +- 0.1 s.
double RingRadius(double size, Platform& platform) {
  return size / 2 + 0.1 * size * std::sin(static_cast<double>(platform.TickCount()) / 500);
}

}  // namespace

MarkerShape MarkerGeometry(int32_t kind, float size, Platform& platform) {
  MarkerShape shape;
  if (kind != 0 && kind != 1) return shape;
  const double s = size;
  shape.Draw = true;
  shape.Rotation = static_cast<float>(static_cast<double>(platform.TickCount()) / 10);
  if (kind == 0) {
    shape.Colour = {0, 1, 0};
    for (int i = 0; i < kRingPoints; ++i) {
      // 3.14 rather than pi, as the ring has always been drawn.
      const double a = i * 18 * 3.14 / 180;
      const double x = RingRadius(s, platform) * std::sin(a);
      const double y = RingRadius(s, platform) * std::cos(a);
      shape.Points.push_back({static_cast<float>(x), static_cast<float>(y)});
    }
  } else {
    shape.Colour = {1, 0, 0};
    const float in = static_cast<float>(s / 6);
    const float out = static_cast<float>(s / 2);
    shape.Points = {{-in, -in}, {-out, -out}, {in, in},  {out, out},
                    {in, -in},  {out, -out},  {-in, in}, {-out, out}};
  }
  return shape;
}
