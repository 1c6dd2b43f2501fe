#include "sound/placement.h"

#include <algorithm>
#include <cmath>

Placement Place(const ViewArea& view, float x, float y) {
  const float hw = std::max(view.HalfWidth, 1.0f);
  const float hh = std::max(view.HalfHeight, 1.0f);
  const float dx = x - view.CentreX;
  const float dy = y - view.CentreY;
  Placement p;
  p.Pan = std::clamp(dx / hw, -1.0f, 1.0f);
  // How far out, in view half-sizes: 1 at the edge.
  const float r = std::max(std::fabs(dx) / hw, std::fabs(dy) / hh);
  if (!(r < 2.0f)) return p;  // also a position that is not a number
  p.Heard = true;
  p.Gain = r <= 1.0f ? 1.0f - (1.0f - kEdgeGain) * r : kEdgeGain * (2.0f - r);
  return p;
}
