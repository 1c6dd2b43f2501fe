#include "app/camera.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kFifth = 0.2;
constexpr double kFreeAroundStart = 200;  // world units the bound never takes
constexpr int32_t kTile = 32;
}  // namespace

float ZoomOf(int32_t step) {
  step = std::clamp(step, kMinZoomStep, kMaxZoomStep);
  const float whole = std::ldexp(1.0f, step >= 0 ? step / 2 : -((1 - step) / 2));
  return step % 2 == 0 ? whole : whole * 1.41421356f;
}

WorldPoint2 ViewToWorld(const FrontState& s, float zoom, double x, double up) {
  const double z = zoom;
  return {x / z - s.CameraX, up / z - s.CameraY};
}

GroundRect GroundOf(const GroundArea& g) {
  const auto from = [](int32_t n) { return static_cast<float>(kTile * -(n / 2)); };
  const auto to = [](int32_t n) { return static_cast<float>(kTile * (n - n / 2)); };
  return {from(g.Columns), from(g.Rows), to(g.Columns), to(g.Rows)};
}

WorldPoint2 ViewCentre(const FrontState& s, float zoom, int w, int h) {
  return ViewToWorld(s, zoom, w / 2.0, h / 2.0);
}

void KeepOnGround(FrontState& s, float zoom, const GroundArea& g, const CameraStart& start, int w,
                  int h) {
  if (!start.Set || w <= 0 || h <= 0) return;
  const double z = zoom;
  const GroundRect ground = GroundOf(g);
  // The middle may go from the ground's edge less 3/10 of the view to the far edge plus as much.
  const auto keep = [&](float& camera, int pixels, double g0, double g1, double from) {
    const double seen = pixels / z;
    const double half = pixels / 2.0 / z;
    const double lo = std::min(g0 - (0.5 - kFifth) * seen, from - kFreeAroundStart);
    const double hi = std::max(g1 + (0.5 - kFifth) * seen, from + kFreeAroundStart);
    const double middle = half - camera;
    if (middle < lo) camera = static_cast<float>(half - lo);
    if (middle > hi) camera = static_cast<float>(half - hi);
  };
  keep(s.CameraX, w, ground.X0, ground.X1, start.X);
  keep(s.CameraY, h, ground.Y0, ground.Y1, start.Y);
}

void CentreOn(FrontState& s, float zoom, int w, int h, double x, double y) {
  const double z = zoom;
  s.CameraX = static_cast<float>((w / 2) / z - x);
  s.CameraY = static_cast<float>((h / 2) / z - y);
}

void ZoomAbout(FrontState& s, ViewInput& v, int32_t steps, double x, double up) {
  const int32_t to = std::clamp(v.ZoomStep + steps, kMinZoomStep, kMaxZoomStep);
  if (to == v.ZoomStep) return;
  const WorldPoint2 p = ViewToWorld(s, ZoomOf(v.ZoomStep), x, up);
  v.ZoomStep = to;
  const double z = ZoomOf(to);
  s.CameraX = static_cast<float>(x / z - p.X);
  s.CameraY = static_cast<float>(up / z - p.Y);
}

std::optional<int32_t> HomeObject(const World& w, int32_t side) {
  std::optional<int32_t> unit;
  for (size_t n = 0; n < w.Objects.size(); ++n) {
    const TObyekt& o = w.Objects[n];
    if (o.Side != side || !IsAlive(o)) continue;
    if (o.Kind == 1) return static_cast<int32_t>(n);
    if (!unit) unit = static_cast<int32_t>(n);
  }
  return unit;
}

MinimapLayout LayoutMinimap(const GroundArea& g, int w, int h) {
  MinimapLayout m;
  m.Size = std::clamp(std::min(w, h) / 3, 0, 160);
  m.X = 4;
  m.Y = 4;
  const GroundRect ground = GroundOf(g);
  const double gw = ground.X1 - ground.X0, gh = ground.Y1 - ground.Y0;
  const double side = std::max(gw, gh);
  m.Scale = side > 0 ? static_cast<float>(m.Size / side) : 0.0f;
  // The ground's middle in the square's middle.
  m.WorldX = static_cast<float>((ground.X0 + ground.X1) / 2.0 - side / 2);
  m.WorldY = static_cast<float>((ground.Y0 + ground.Y1) / 2.0 - side / 2);
  return m;
}

std::optional<WorldPoint2> MinimapToWorld(const MinimapLayout& m, int x, int up) {
  if (m.Size <= 0 || m.Scale <= 0 || x < m.X || up < m.Y || x >= m.X + m.Size ||
      up >= m.Y + m.Size) {
    return std::nullopt;
  }
  return WorldPoint2{m.WorldX + (x - m.X + 0.5) / m.Scale, m.WorldY + (up - m.Y + 0.5) / m.Scale};
}
