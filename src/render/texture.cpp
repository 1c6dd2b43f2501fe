#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"

uint32_t NewNearestTexture() {
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  return id;
}

uint32_t GlTextureUploader::Upload(const Image& image) {
  // A buffer shorter than its size says (never made by the decoder) is not uploaded: id 0.
  if (!image.Complete()) return 0;
  const uint32_t id = NewNearestTexture();
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 4, image.Width, image.Height, GL_RGBA, GL_UNSIGNED_BYTE,
                    image.Pixels.data());
  return id;
}
