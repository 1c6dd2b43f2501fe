// What the minimap shows and where: shared by the drawing interface and the OpenGL drawing.
#pragma once

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
};
