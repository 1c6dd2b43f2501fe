#include "draw_reference.h"

#include <GL/gl.h>

#include <algorithm>

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

void DrawGroundReference(const World& world) {
  glBindTexture(GL_TEXTURE_2D, world.GroundTexture);
  for (int i = -10; i <= 10; ++i) {
    for (int j = -10; j <= 10; ++j) {
      glPushMatrix();
      glTranslatef(32.0f * i, 32.0f * j, 0);
      DrawSpriteFrame(512, 256, 32, 32, 5, 1, false);
      glPopMatrix();
    }
  }
}

void DrawObjectReference(const World& world, int32_t index, const SpriteChoice& choice,
                         bool showBars) {
  if (!IsObjectIndex(world, index) || !choice.Draw) return;
  const TObyekt& object = ObjectAt(world, index);
  const TOpisan& type = *choice.Type;
  const float fw = static_cast<float>(type.FrameWidth);
  const float fh = static_cast<float>(type.FrameHeight);
  glBindTexture(GL_TEXTURE_2D, choice.Texture);
  glPushMatrix();
  glTranslatef(object.X - fw / 2.0f, object.Y - fh / 2.0f, -5);
  DrawSpriteFrame(type.SheetWidth, type.SheetHeight, type.FrameWidth, type.FrameHeight, choice.Row,
                  choice.Column, choice.Mirrored);
  glTranslatef(0, 0, 0.5f);
  glDisable(GL_TEXTURE_2D);
  SetLineWidth(3);
  if (showBars) {
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
  SetLineWidth(1);
  glColor3f(0, 0, 1);
  if (object.Selected) {
    glBegin(GL_LINE_LOOP);
    glVertex2f(0, 0);
    glVertex2f(0, fh);
    glVertex2f(fw, fh);
    glVertex2f(fw, 0);
    glEnd();
  }
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glPopMatrix();
}

void DrawObjectsReference(const World& world, const std::vector<SpriteChoice>& shown,
                          bool showBars) {
  const size_t count = std::min(world.Objects.size(), shown.size());
  for (size_t i = 0; i < count; ++i) {
    DrawObjectReference(world, static_cast<int32_t>(i), shown[i], showBars);
  }
}
