#include <GL/gl.h>

#include <algorithm>

#include "game/sprites.h"
#include "render/batching.h"
#include "render/clip_coords.h"
#include "render/render.h"
#include "render/sprite_cell.h"

void DrawSpriteFrame(int32_t sheetWidth, int32_t sheetHeight, int32_t frameWidth,
                     int32_t frameHeight, int32_t row, int32_t column, bool mirror) {
  const SpriteCell c =
      CellOf(sheetWidth, sheetHeight, frameWidth, frameHeight, row, column, mirror);
  const double w = frameWidth;
  const double h = frameHeight;
  glBegin(GL_QUADS);
  glTexCoord2d(c.UL, c.VB);
  glVertex2d(0, 0);
  glTexCoord2d(c.UR, c.VB);
  glVertex2d(w, 0);
  glTexCoord2d(c.UR, c.VT);
  glVertex2d(w, h);
  glTexCoord2d(c.UL, c.VT);
  glVertex2d(0, h);
  glEnd();
}

namespace {

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

// Adds what DrawOne draws, at the translations DrawOne makes.
void AddObject(Batching& batching, const World& world, int32_t index, const SpriteChoice& choice,
               bool showBars) {
  const TObyekt& object = ObjectAt(world, index);
  const TOpisan& type = *choice.Type;
  const float fw = static_cast<float>(type.FrameWidth);
  const float fh = static_cast<float>(type.FrameHeight);
  const ClipCoords& clip = batching.Clip();
  const ClipCoords::Origin at =
      clip.Translate(clip.Base(), object.X - fw / 2.0f, object.Y - fh / 2.0f, -5);
  const SpriteCell cell = CellOf(type.SheetWidth, type.SheetHeight, type.FrameWidth,
                                 type.FrameHeight, choice.Row, choice.Column, choice.Mirrored);
  // The frame size as glVertex2d passes it on.
  batching.Quad(choice.Texture, clip.At(at),
                static_cast<float>(static_cast<double>(type.FrameWidth)),
                static_cast<float>(static_cast<double>(type.FrameHeight)), cell);
  if (!showBars && !object.Selected) return;
  const ClipCoords::Product lines = clip.At(clip.Translate(at, 0, 0, 0.5f));
  if (showBars) batching.Bar(lines, fh, object.Energy[0]);
  if (object.Selected) batching.Box(lines, fw, fh);
}

ObjectDrawCounts lastCounts;

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

ObjectDrawCounts LastObjectDrawCounts() {
  return lastCounts;
}

void DrawObjects(const World& world, const std::vector<SpriteChoice>& shown, bool showBars) {
  // Objects spawned after the animation step have no choice yet and are not drawn.
  const size_t count = std::min(world.Objects.size(), shown.size());
  static Batching batching;  // kept between frames
  ClipCoords clip;
  Drawn d;
  d.LineWidth = -1;  // unknown until set
  lastCounts = {};
  if (ReadClipCoords(clip)) {
    batching.Begin(clip);
    bool any = false;
    uint32_t last = 0;  // the last object's texture, bound at the end as one object at a time did
    for (size_t i = 0; i < count; ++i) {
      const int32_t index = static_cast<int32_t>(i);
      if (!IsObjectIndex(world, index) || !shown[i].Draw) continue;
      AddObject(batching, world, index, shown[i], showBars);
      any = true;
      last = shown[i].Texture;
    }
    if (!any) return;
    batching.Draw(d);
    lastCounts = {batching.Batches(), batching.Switches(), batching.Calls()};
    if (!d.Any || d.Texture != last) glBindTexture(GL_TEXTURE_2D, last);
    d.Any = true;
  } else {
    // Matrices the batches do not reproduce: one object after another.
    for (size_t i = 0; i < count; ++i)
      DrawOne(world, static_cast<int32_t>(i), shown[i], showBars, d);
  }
  // What every drawn object left before: width 1, white.
  if (d.Any) {
    if (d.LineWidth != 1) SetLineWidth(1);
    glColor3f(1, 1, 1);
  }
}
