#include <GL/gl.h>

#include <algorithm>
#include <utility>

#include "game/sprites.h"
#include "render/render.h"

void DrawSpriteFrame(int32_t sheetWidth, int32_t sheetHeight, int32_t frameWidth,
                     int32_t frameHeight, int32_t row, int32_t column, bool mirror) {
  // Products in integers, quotients in reals.
  const auto ratio = [](int64_t a, int64_t b, int32_t d) {
    return static_cast<double>(a * b) / static_cast<double>(d);
  };
  double uL = ratio(column - 1, frameWidth, sheetWidth);
  double uR = ratio(column, frameWidth, sheetWidth);
  const double vB = 1 - ratio(row, frameHeight, sheetHeight);
  const double vT = 1 - ratio(row - 1, frameHeight, sheetHeight);
  if (mirror) std::swap(uL, uR);
  const double w = frameWidth;
  const double h = frameHeight;
  glBegin(GL_QUADS);
  glTexCoord2d(uL, vB);
  glVertex2d(0, 0);
  glTexCoord2d(uR, vB);
  glVertex2d(w, 0);
  glTexCoord2d(uR, vT);
  glVertex2d(w, h);
  glTexCoord2d(uL, vT);
  glVertex2d(0, h);
  glEnd();
}

namespace {

// What the objects drawn so far left set, so that a state already in place is not set again.
struct Drawn {
  bool Any = false;      // texturing on, white, line width 1 after the object last drawn
  uint32_t Texture = 0;  // bound by the object last drawn, when Any
  float LineWidth = 1;   // in logical pixels
};

void Width(Drawn& d, float logical) {
  if (d.LineWidth == logical) return;
  SetLineWidth(logical);
  d.LineWidth = logical;
}

// Draws as DrawObject does. Texturing stays on around an object that draws no line, and the
// line width is set only for the lines drawn; the caller restores width 1 at the end.
void DrawOne(const World& world, int32_t index, const SpriteChoice& choice, bool showBars,
             Drawn& d) {
  if (!IsObjectIndex(world, index) || !choice.Draw) return;
  const TObyekt& object = ObjectAt(world, index);
  const TOpisan& type = *choice.Type;
  const float fw = static_cast<float>(type.FrameWidth);
  const float fh = static_cast<float>(type.FrameHeight);

  if (!d.Any || d.Texture != choice.Texture) glBindTexture(GL_TEXTURE_2D, choice.Texture);
  d.Any = true;
  d.Texture = choice.Texture;
  glPushMatrix();
  glTranslatef(object.X - fw / 2.0f, object.Y - fh / 2.0f, -5);
  DrawSpriteFrame(type.SheetWidth, type.SheetHeight, type.FrameWidth, type.FrameHeight, choice.Row,
                  choice.Column, choice.Mirrored);
  const bool lines = showBars || object.Selected;
  if (lines) {
    glTranslatef(0, 0, 0.5f);
    glDisable(GL_TEXTURE_2D);
  }
  if (showBars) {
    Width(d, 3);
    const float h = object.Energy[0];
    glBegin(GL_LINES);
    glColor3f(1, 0, 0);
    glVertex2f(0, fh);
    glColor3f(1, 1, 0);
    glVertex2f(h / 20, fh);
    glColor3f(1, 1, 0);
    glVertex2f(h / 20, fh);
    glColor3f(0, 1, 0);
    glVertex2f(h / 10, fh);
    glEnd();
  }
  if (object.Selected) {
    Width(d, 1);
    glColor3f(0, 0, 1);
    glBegin(GL_LINE_LOOP);
    glVertex2f(0, 0);
    glVertex2f(0, fh);
    glVertex2f(fw, fh);
    glVertex2f(fw, 0);
    glEnd();
  }
  if (lines) {
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
  }
  glPopMatrix();
}

}  // namespace

void DrawObject(const World& world, int32_t index, const SpriteChoice& choice, bool showBars) {
  Drawn d;
  d.LineWidth = -1;  // unknown
  DrawOne(world, index, choice, showBars, d);
  if (d.Any) {
    SetLineWidth(1);
    glColor3f(1, 1, 1);
  }
}

void DrawObjects(const World& world, const std::vector<SpriteChoice>& shown, bool showBars) {
  // Objects spawned after the animation step have no choice yet and are not drawn.
  const size_t count = std::min(world.Objects.size(), shown.size());
  Drawn d;
  d.LineWidth = -1;  // unknown until set
  for (size_t i = 0; i < count; ++i) {
    DrawOne(world, static_cast<int32_t>(i), shown[i], showBars, d);
  }
  // What every drawn object left before: width 1, white.
  if (d.Any) {
    if (d.LineWidth != 1) SetLineWidth(1);
    glColor3f(1, 1, 1);
  }
}
