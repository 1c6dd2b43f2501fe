#include <GL/gl.h>

#include <algorithm>
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

// How a cell is drawn: its shade and its neighbours' decide what linear filtering gives there.
enum CellKind : uint8_t { kClear = 0, kMixed = 1, kBlack = 2 };

// Each cell's kind over the grid: first whether a cell and its left and right neighbours are
// all clear (bit 0) or all black (bit 1), then the same over the rows above and below.
void CellKinds(const FogPicture& f, std::vector<uint8_t>& kinds) {
  const size_t columns = static_cast<size_t>(f.Columns), rows = static_cast<size_t>(f.Rows);
  static std::vector<uint8_t> across;
  across.resize(columns * rows);
  const auto bits = [](uint8_t v) {
    return static_cast<uint8_t>((v == 0 ? 1 : 0) | (v == 255 ? 2 : 0));
  };
  for (size_t r = 0; r < rows; ++r) {
    const uint8_t* in = &(*f.Shade)[r * columns];
    uint8_t* out = &across[r * columns];
    for (size_t c = 0; c < columns; ++c)
      out[c] = bits(in[c]) & bits(in[c > 0 ? c - 1 : c]) & bits(in[c + 1 < columns ? c + 1 : c]);
  }
  kinds.resize(columns * rows);
  for (size_t r = 0; r < rows; ++r) {
    const uint8_t* here = &across[r * columns];
    const uint8_t* below = &across[(r > 0 ? r - 1 : r) * columns];
    const uint8_t* above = &across[(r + 1 < rows ? r + 1 : r) * columns];
    uint8_t* out = &kinds[r * columns];
    for (size_t c = 0; c < columns; ++c) {
      const uint8_t b = here[c] & below[c] & above[c];
      out[c] = (b & 1) ? kClear : (b & 2) ? kBlack : kMixed;
    }
  }
}

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
  // Clear cells draw nothing and black ones plain black (what the texture would give there):
  // only the cells along the edge of sight are filtered and blended.
  static std::vector<uint8_t> kinds;
  CellKinds(fog, kinds);
  for (const CellKind pass : {kMixed, kBlack}) {
    if (pass == kMixed) {
      glEnable(GL_TEXTURE_2D);
    } else {
      glDisable(GL_TEXTURE_2D);
      glDisable(GL_BLEND);
    }
    glBegin(GL_QUADS);
    for (int r = 0; r < fog.Rows; ++r) {
      const float ry0 = std::max(y0, fog.Y0 + fog.Cell * static_cast<float>(r));
      const float ry1 = std::min(y1, fog.Y0 + fog.Cell * static_cast<float>(r + 1));
      if (ry0 >= ry1) continue;
      const uint8_t* row = &kinds[static_cast<size_t>(r) * static_cast<size_t>(fog.Columns)];
      for (int c = 0; c < fog.Columns;) {
        if (row[c] != pass) {
          ++c;
          continue;
        }
        const int start = c;
        while (c < fog.Columns && row[c] == pass) ++c;
        const float rx0 = std::max(x0, fog.X0 + fog.Cell * static_cast<float>(start));
        const float rx1 = std::min(x1, fog.X0 + fog.Cell * static_cast<float>(c));
        if (rx0 >= rx1) continue;
        vertex(rx0, ry0);
        vertex(rx1, ry0);
        vertex(rx1, ry1);
        vertex(rx0, ry1);
      }
    }
    glEnd();
  }
  glPopAttrib();  // the texture bound before as well
}
