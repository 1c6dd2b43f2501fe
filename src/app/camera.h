// The camera around the rules: the zoom, the mapping between view pixels and the world, the
// bound that keeps the ground in view, centring, and the minimap's square. All completely
// stateless; at zoom x1 every mapping is the rules' exactly.
#pragma once

#include <cstdint>
#include <optional>

#include "app/front_state.h"
#include "game/world.h"
#include "render/drawing.h"

constexpr int32_t kMinZoomStep = -4;  // x0.25
constexpr int32_t kMaxZoomStep = 4;   // x4

// sqrt(2) to the power step, exact at the even steps.
float ZoomOf(int32_t step);

struct WorldPoint2 {
  double X = 0;
  double Y = 0;
};
// The world point at view pixel (x, up), up counted from the bottom edge: x / zoom - camera.
WorldPoint2 ViewToWorld(const FrontState& s, float zoom, double x, double up);

// The ground square in world units: tiles from -(n / 2) to n - n / 2 - 1 of 32 units.
struct GroundRect {
  float X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};
GroundRect GroundOf(const GroundArea& g);

// The world point in the middle of a w x h view.
WorldPoint2 ViewCentre(const FrontState& s, float zoom, int w, int h);
// Keeps the view where at least a fifth of it on each axis shows the ground, widened to let
// the view's middle go 200 units from the start in any direction. Changes the camera only when
// it is outside.
void KeepOnGround(FrontState& s, float zoom, const GroundArea& g, const CameraStart& start, int w,
                  int h);
// Puts world point (x, y) in the middle of the view: camera = (w / 2) / zoom - x.
void CentreOn(FrontState& s, float zoom, int w, int h, double x, double y);
// Zooms by `steps` about view pixel (x, up): the world point there stays there.
void ZoomAbout(FrontState& s, ViewInput& v, int32_t steps, double x, double up);

// The first live base of the side (type 1), else its first live object; nullopt for none.
std::optional<int32_t> HomeObject(const World& w, int32_t side);

// The minimap's square in the view's lower left corner, for a w x h view.
MinimapLayout LayoutMinimap(const GroundArea& g, int w, int h);
// The world point at view pixel (x, up), or nullopt outside the square.
std::optional<WorldPoint2> MinimapToWorld(const MinimapLayout& m, int x, int up);
