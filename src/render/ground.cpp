#include <GL/gl.h>

#include "render/render.h"

void DrawGround(const World& world) {
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
