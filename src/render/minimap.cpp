#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "render/render.h"

namespace {

struct Rgb {
  float R, G, B;
};

constexpr Rgb kFrame{0.55f, 0.55f, 0.5f};
constexpr Rgb kOutside{0.04f, 0.04f, 0.04f};
constexpr Rgb kGrass{0.16f, 0.34f, 0.12f};
constexpr Rgb kOre{1.0f, 0.78f, 0.15f};
constexpr Rgb kOther{0.75f, 0.75f, 0.75f};
// Sides 0, 1 and 2: the humans' blue, the orcs' red, and violet.
constexpr Rgb kSides[] = {{0.3f, 0.55f, 1.0f}, {1.0f, 0.25f, 0.2f}, {0.8f, 0.4f, 1.0f}};
constexpr int32_t kNeutral = 555;

const Rgb& SideColour(int32_t side) {
  if (side == kNeutral) return kOre;
  if (side >= 0 && side < 3) return kSides[side];
  return kOther;
}

void Quad(float x0, float y0, float x1, float y1) {
  glVertex2f(x0, y0);
  glVertex2f(x1, y0);
  glVertex2f(x1, y1);
  glVertex2f(x0, y1);
}

}  // namespace

void DrawMinimap(const World& world, const MinimapScene& scene) {
  const MinimapLayout& m = scene.Layout;
  if (m.Size <= 0 || !(m.Scale > 0)) return;
  const float left = static_cast<float>(m.X), bottom = static_cast<float>(m.Y);
  const float right = left + static_cast<float>(m.Size), top = bottom + static_cast<float>(m.Size);
  // World point to square pixel, kept inside the square.
  const auto px = [&](float x) { return std::clamp(left + (x - m.WorldX) * m.Scale, left, right); };
  const auto py = [&](float y) {
    return std::clamp(bottom + (y - m.WorldY) * m.Scale, bottom, top);
  };

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_BLEND);

  glBegin(GL_QUADS);
  glColor3f(kFrame.R, kFrame.G, kFrame.B);
  Quad(left - 1, bottom - 1, right + 1, top + 1);
  glColor3f(kOutside.R, kOutside.G, kOutside.B);
  Quad(left, bottom, right, top);
  glColor3f(kGrass.R, kGrass.G, kGrass.B);
  Quad(px(scene.GroundX0), py(scene.GroundY0), px(scene.GroundX1), py(scene.GroundY1));
  glEnd();
  // Dots of 2 pixels, 3 for the bigger circles of deposits and buildings: one point each.
  for (const bool big : {false, true}) {
    SetPointSize(big ? 3 : 2);
    glBegin(GL_POINTS);
    const Rgb* colour = nullptr;  // set only when it changes: sides stand in long runs
    for (const TObyekt& o : world.Objects) {
      if (!IsAlive(o) || !std::isfinite(o.X) || !std::isfinite(o.Y)) continue;
      const TOpisan* type = TypeOf(world, o);
      if ((type != nullptr && type->Radius >= 30) != big) continue;
      const float x = std::floor(left + (o.X - m.WorldX) * m.Scale);
      const float y = std::floor(bottom + (o.Y - m.WorldY) * m.Scale);
      if (x < left + 1 || y < bottom + 1 || x >= right - 1 || y >= top - 1) continue;
      const Rgb& c = SideColour(o.Side);
      if (colour != &c) glColor3f(c.R, c.G, c.B);
      colour = &c;
      // An even size covers the pixels around a corner, an odd one those around a centre.
      glVertex2f(big ? x + 0.5f : x, big ? y + 0.5f : y);
    }
    glEnd();
  }

  // The view's rectangle, on pixel centres.
  SetLineWidth(1);
  glColor3f(1, 1, 1);
  glBegin(GL_LINE_LOOP);
  const float x0 = std::floor(px(scene.ViewX0)) + 0.5f, x1 = std::floor(px(scene.ViewX1)) - 0.5f;
  const float y0 = std::floor(py(scene.ViewY0)) + 0.5f, y1 = std::floor(py(scene.ViewY1)) - 0.5f;
  glVertex2f(x0, y0);
  glVertex2f(std::max(x0, x1), y0);
  glVertex2f(std::max(x0, x1), std::max(y0, y1));
  glVertex2f(x0, std::max(y0, y1));
  glEnd();

  glPopMatrix();
  glPopAttrib();
}
