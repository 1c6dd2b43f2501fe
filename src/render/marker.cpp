#include <GL/gl.h>

#include "render/marker_shape.h"
#include "render/render.h"

void DrawMarker(int32_t kind, float size, Platform& platform) {
  glDisable(GL_TEXTURE_2D);
  const MarkerShape shape = MarkerGeometry(kind, size, platform);
  if (shape.Draw) {
    glRotatef(shape.Rotation, 0, 0, 1);
    glColor3f(shape.Colour[0], shape.Colour[1], shape.Colour[2]);
    glBegin(GL_LINES);
    for (const auto& p : shape.Points) glVertex3f(p[0], p[1], 0);
    glEnd();
  }
  glEnable(GL_TEXTURE_2D);
}

void DrawHoverMarker(const World& world, int32_t index, int32_t kind, Platform& platform) {
  if (!IsObjectIndex(world, index)) return;
  const TObyekt& object = ObjectAt(world, index);
  const TOpisan* type = TypeOf(world, object);
  if (type == nullptr) return;
  const float r = type->Radius;
  glPushAttrib(0xFFFFF);
  glPushMatrix();
  glTranslatef(object.X, object.Y - r / 2, 0);
  DrawMarker(kind, r, platform);
  glPopMatrix();
  glPopAttrib();
}
