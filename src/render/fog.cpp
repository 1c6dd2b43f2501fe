#include <GL/gl.h>

#include <vector>

#include "render/render.h"

namespace {

int PowerOfTwo(int v) {
  int p = 1;
  while (p < v) p *= 2;
  return p;
}

// The shade texture, kept between frames; reallocated when the grid outgrows it.
struct FogTexture {
  uint32_t Name = 0;
  int Width = 0;
  int Height = 0;
};
FogTexture texture;

}  // namespace

void ForgetFogTexture() {
  texture = FogTexture{};
}

void DrawFog(const FogPicture& fog) {
  DrawFog(fog, fog.X0, fog.Y0, fog.X0 + fog.Cell * static_cast<float>(fog.Columns),
          fog.Y0 + fog.Cell * static_cast<float>(fog.Rows));
}

void DrawFog(const FogPicture& fog, float x0, float y0, float x1, float y1) {
  if (fog.Shade == nullptr || fog.Columns <= 0 || fog.Rows <= 0 ||
      fog.Shade->size() < static_cast<size_t>(fog.Columns) * static_cast<size_t>(fog.Rows))
    return;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  if (texture.Name == 0) {
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.Name = name;
  }
  glBindTexture(GL_TEXTURE_2D, texture.Name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (fog.Columns > texture.Width || fog.Rows > texture.Height) {
    texture.Width = PowerOfTwo(fog.Columns);
    texture.Height = PowerOfTwo(fog.Rows);
    const std::vector<uint8_t> black(
        static_cast<size_t>(texture.Width) * static_cast<size_t>(texture.Height), 255);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, texture.Width, texture.Height, 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, black.data());
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, fog.Columns, fog.Rows, GL_ALPHA, GL_UNSIGNED_BYTE,
                  fog.Shade->data());
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_ALPHA_TEST);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glColor3f(0, 0, 0);
  // Texel centres on the cells' centres: world x maps to (x - X0) / Cell texels.
  const float su = 1.0f / (fog.Cell * static_cast<float>(texture.Width));
  const float sv = 1.0f / (fog.Cell * static_cast<float>(texture.Height));
  const auto vertex = [&](float x, float y) {
    glTexCoord2f((x - fog.X0) * su, (y - fog.Y0) * sv);
    glVertex2f(x, y);
  };
  glBegin(GL_QUADS);
  vertex(x0, y0);
  vertex(x1, y0);
  vertex(x1, y1);
  vertex(x0, y1);
  glEnd();
  glPopAttrib();  // the texture bound before as well
}
