// Where a sound is heard from: panned and attenuated by its position in the view.
// Stateless.
#pragma once

// The part of the world the view shows, in world units.
struct ViewArea {
  float CentreX = 0;
  float CentreY = 0;
  float HalfWidth = 1;
  float HalfHeight = 1;
};

struct Placement {
  bool Heard = false;  // false: too far outside the view to play
  float Gain = 0;      // 0..1
  float Pan = 0;       // -1 full left .. 1 full right
};

// Inside the view the gain falls from 1 at the centre to kEdgeGain at the edge; outside it
// falls on to 0 at half a view width beyond the edge, where sounds are no longer played.
inline constexpr float kEdgeGain = 0.7f;
Placement Place(const ViewArea& view, float x, float y);
