// What the minimap shows and where: shared by the drawing interface and the OpenGL drawing.
#pragma once

#include <cstdint>
#include <vector>

#include "render/fog_picture.h"

// The minimap's square: its lower left corner and size in view pixels from the bottom left, and
// the world point drawn at that corner at Scale pixels a world unit.
struct MinimapLayout {
  int X = 0;
  int Y = 0;
  int Size = 0;
  float WorldX = 0;
  float WorldY = 0;
  float Scale = 0;
};

// What the minimap shows besides the objects: the ground square and the view, world units.
struct MinimapScene {
  MinimapLayout Layout;
  float GroundX0 = 0, GroundY0 = 0, GroundX1 = 0, GroundY1 = 0;
  float ViewX0 = 0, ViewY0 = 0, ViewX1 = 0, ViewY1 = 0;
  // The fog of war over the ground (none without a Shade), and the objects it hides (1), by
  // index; objects past the end are shown.
  FogPicture Fog;
  std::vector<uint8_t> Hidden;
};
