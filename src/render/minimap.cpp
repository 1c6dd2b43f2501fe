#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

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

// The dots drawn later would hide those of the other side where the sides stand mixed (the
// battle's alternate columns): a pixel that dots of both side 0 and side 1 cover, and no dot
// of another colour, is shared by a checkerboard. Where they do not overlap no pixel changes.
void ShowBothSides(const std::vector<uint8_t>& cover, int size, float left, float bottom) {
  SetPointSize(1);
  glBegin(GL_POINTS);
  int shown = -1;
  for (int row = 0; row < size; ++row) {
    for (int column = 0; column < size; ++column) {
      if (cover[static_cast<size_t>(row) * static_cast<size_t>(size) +
                static_cast<size_t>(column)] != 3)
        continue;
      const int side = (row + column) & 1;
      if (side != shown) glColor3f(kSides[side].R, kSides[side].G, kSides[side].B);
      shown = side;
      glVertex2f(left + static_cast<float>(column) + 0.5f, bottom + static_cast<float>(row) + 0.5f);
    }
  }
  glEnd();
}

// Marks the pixels a dot at (column, row) of the square covers: bit 0 side 0, bit 1 side 1,
// bit 2 any other colour.
void Cover(std::vector<uint8_t>& cover, int size, int column, int row, bool big, int32_t side) {
  const auto bit = static_cast<uint8_t>(side == 0 ? 1 : side == 1 ? 2 : 4);
  for (int y = row - 1; y <= row + (big ? 1 : 0); ++y)
    for (int x = column - 1; x <= column + (big ? 1 : 0); ++x)
      cover[static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x)] |= bit;
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
  if (scene.Fog.Shade != nullptr) {
    // The fog over the ground, the world scaled into the square.
    glPushMatrix();
    glTranslatef(left - m.WorldX * m.Scale, bottom - m.WorldY * m.Scale, 0);
    glScalef(m.Scale, m.Scale, 1);
    const auto wx = [&](float x) { return (x - left) / m.Scale + m.WorldX; };
    const auto wy = [&](float y) { return (y - bottom) / m.Scale + m.WorldY; };
    DrawFog(scene.Fog, wx(px(scene.GroundX0)), wy(py(scene.GroundY0)), wx(px(scene.GroundX1)),
            wy(py(scene.GroundY1)));
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
  }
  // Which colours' dots cover each pixel of the square (Cover).
  static std::vector<uint8_t> owners;
  const size_t cells = static_cast<size_t>(m.Size) * static_cast<size_t>(m.Size);
  // Dots of 2 pixels, 3 for the bigger circles of deposits and buildings: one point each.
  for (const bool big : {false, true}) {
    owners.assign(cells, 0);
    bool owned = false;
    SetPointSize(big ? 3 : 2);
    glBegin(GL_POINTS);
    const Rgb* colour = nullptr;  // set only when it changes: sides stand in long runs
    for (size_t i = 0; i < world.Objects.size(); ++i) {
      const TObyekt& o = world.Objects[i];
      if (!IsAlive(o) || !std::isfinite(o.X) || !std::isfinite(o.Y)) continue;
      if (i < scene.Hidden.size() && scene.Hidden[i]) continue;
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
      Cover(owners, m.Size, static_cast<int>(x - left), static_cast<int>(y - bottom), big, o.Side);
      owned = owned || o.Side == 0 || o.Side == 1;
    }
    glEnd();
    if (owned) ShowBothSides(owners, m.Size, left, bottom);
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
