#include "render/thought_labels.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "render/render.h"

namespace {
constexpr int32_t kGap = 2;         // pixels between the circle and the lowest line
constexpr float kNextAlpha = 0.6f;  // Thought2
constexpr float kBackAlpha = 0.55f;
constexpr size_t kMaxChars = 120;
}  // namespace

std::vector<ThoughtLabel> LayoutThoughtLabels(const World& world, int32_t cellWidth,
                                              int32_t cellHeight,
                                              const std::vector<uint8_t>* hidden) {
  std::vector<ThoughtLabel> labels;
  for (size_t i = 0; i < world.Objects.size(); ++i) {
    const TObyekt& o = world.Objects[i];
    if (!IsAlive(o) || (hidden != nullptr && i < hidden->size() && (*hidden)[i])) continue;
    const TOpisan* type = TypeOf(world, o);
    const float radius = type != nullptr && std::isfinite(type->Radius) ? type->Radius : 0.0f;
    if (!std::isfinite(o.X) || !std::isfinite(o.Y) || std::fabs(o.X) > 1e7f ||
        std::fabs(o.Y) > 1e7f || std::fabs(radius) > 1e7f) {
      continue;  // nowhere to write it
    }
    int32_t y = static_cast<int32_t>(std::lround(o.Y + std::fabs(radius))) + kGap;
    const int32_t anchorY = y;
    for (const std::string* text : {&o.Thought2, &o.Thought1}) {
      if (text->empty()) continue;
      ThoughtLabel label;
      label.Length = std::min(text->size(), kMaxChars);
      label.Width = static_cast<int32_t>(label.Length) * cellWidth;
      label.X = static_cast<int32_t>(std::lround(o.X)) - label.Width / 2;
      label.Y = y;
      label.Text = text;
      label.Next = text == &o.Thought2;
      label.AnchorX = static_cast<int32_t>(std::lround(o.X));
      label.AnchorY = anchorY;
      labels.push_back(label);
      y += cellHeight;
    }
  }
  return labels;
}

uint32_t UploadGlyphAtlas(const Image& image) {
  if (!image.Complete()) return 0;
  const uint32_t id = NewNearestTexture();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.Width, image.Height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               image.Pixels.data());
  return id;
}

void DrawThoughtLabels(const World& world, float cameraX, float cameraY, const GlyphAtlas& atlas,
                       float zoom, const std::vector<uint8_t>* hidden) {
  if (atlas.Texture == 0 || atlas.CellWidth <= 0 || atlas.CellHeight <= 0 ||
      atlas.CellWidth * 16 > atlas.Width || atlas.CellHeight * 16 > atlas.Height) {
    return;
  }
  std::vector<ThoughtLabel> labels =
      LayoutThoughtLabels(world, atlas.CellWidth, atlas.CellHeight, hidden);
  if (zoom != 1) {
    // Each label moves with its anchor's view pixel.
    for (ThoughtLabel& l : labels) {
      const auto to = [&](int32_t at, float camera) {
        return static_cast<int32_t>(std::lround(zoom * (static_cast<float>(at) + camera)));
      };
      l.X = to(l.AnchorX, cameraX) - (l.AnchorX - l.X);
      l.Y = to(l.AnchorY, cameraY) + (l.Y - l.AnchorY);
    }
    cameraX = cameraY = 0;
  }
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(std::round(cameraX), std::round(cameraY), 0);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_ALPHA_TEST);

  // A dark strip behind each line keeps it legible on any ground.
  glDisable(GL_TEXTURE_2D);
  glColor4f(0, 0, 0, kBackAlpha);
  glBegin(GL_QUADS);
  for (const ThoughtLabel& l : labels) {
    const float x0 = static_cast<float>(l.X - 1), x1 = static_cast<float>(l.X + l.Width + 1);
    const float y0 = static_cast<float>(l.Y), y1 = static_cast<float>(l.Y + atlas.CellHeight);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
  }
  glEnd();

  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, atlas.Texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  const float du = static_cast<float>(atlas.CellWidth) / static_cast<float>(atlas.Width);
  const float dv = static_cast<float>(atlas.CellHeight) / static_cast<float>(atlas.Height);
  glBegin(GL_QUADS);
  for (const ThoughtLabel& l : labels) {
    if (l.Next) {
      glColor4f(0.85f, 0.85f, 0.85f, kNextAlpha);
    } else {
      glColor4f(1, 1, 1, 1);
    }
    float x = static_cast<float>(l.X);
    const float y0 = static_cast<float>(l.Y);
    const float y1 = y0 + static_cast<float>(atlas.CellHeight);
    for (size_t i = 0; i < l.Length; ++i) {
      const auto b = static_cast<unsigned char>((*l.Text)[i]);
      const float u0 = static_cast<float>(b % 16) * du;
      const float v0 = static_cast<float>(b / 16) * dv;  // the cell's top row
      const float x1 = x + static_cast<float>(atlas.CellWidth);
      glTexCoord2f(u0, v0 + dv);
      glVertex2f(x, y0);
      glTexCoord2f(u0 + du, v0 + dv);
      glVertex2f(x1, y0);
      glTexCoord2f(u0 + du, v0);
      glVertex2f(x1, y1);
      glTexCoord2f(u0, v0);
      glVertex2f(x, y1);
      x = x1;
    }
  }
  glEnd();
  glPopMatrix();
  glPopAttrib();
}
