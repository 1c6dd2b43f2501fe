#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "game/sprites.h"
#include "render/batching.h"
#include "render/clip_coords.h"
#include "render/render.h"
#include "render/sprite_cell.h"

namespace {

// Adds an object's sprite at (X - w/2, Y - h/2, -5) from the origin, then its bar and, when
// selected, its box half a unit nearer.
void AddObject(Batching& batching, const World& world, int32_t index, const SpriteChoice& choice,
               bool showBars, float barWidth) {
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
  if (showBars) batching.Bar(lines, fh, object.Energy[0], barWidth);
  if (object.Selected) batching.Box(lines, fw, fh);
}

ObjectDrawCounts lastCounts;

}  // namespace

ObjectDrawCounts LastObjectDrawCounts() {
  return lastCounts;
}

float BarWidth(float zoom) {
  return std::max(1.0f, std::round(3 * zoom));
}

void DrawObjects(const World& world, const std::vector<SpriteChoice>& shown, bool showBars,
                 float zoom) {
  // Objects spawned after the animation step have no choice yet and are not drawn.
  const size_t count = std::min(world.Objects.size(), shown.size());
  static Batching batching;  // kept between frames
  ClipCoords clip;
  Drawn d;
  d.LineWidth = -1;  // unknown until set
  lastCounts = {};
  // The frame's matrices are always handled; others would draw wrong, so nothing is drawn.
  if (!ReadClipCoords(clip)) return;
  const float barWidth = BarWidth(zoom);
  batching.Begin(clip, barWidth);
  bool any = false;
  uint32_t last = 0;  // the last object's texture, left bound as drawing one by one leaves it
  for (size_t i = 0; i < count; ++i) {
    const int32_t index = static_cast<int32_t>(i);
    if (!IsObjectIndex(world, index) || !shown[i].Draw) continue;
    AddObject(batching, world, index, shown[i], showBars, barWidth);
    any = true;
    last = shown[i].Texture;
  }
  if (!any) return;
  batching.Draw(d);
  lastCounts = {batching.Batches(), batching.Switches(), batching.Calls()};
  if (!d.Any || d.Texture != last) glBindTexture(GL_TEXTURE_2D, last);
  // What drawing one object after another left: width 1, white.
  if (d.LineWidth != 1) SetLineWidth(1);
  glColor3f(1, 1, 1);
}
