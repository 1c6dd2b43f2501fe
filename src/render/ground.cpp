#include <GL/gl.h>

#include "render/batching.h"
#include "render/clip_coords.h"
#include "render/render.h"
#include "render/sprite_cell.h"

namespace {

constexpr int32_t kTile = 32;

// Tile indices [First, First + Count) along one axis: 21 tiles run from -10 to 10.
struct TileSpan {
  int First;
  int Last;
};
TileSpan Span(int32_t count) {
  const int first = -(count / 2);
  return {first, first + count - 1};
}

}  // namespace

void DrawGround(const World& world) {
  glBindTexture(GL_TEXTURE_2D, world.GroundTexture);
  const TileSpan cols = Span(world.Ground.Columns);
  const TileSpan rows = Span(world.Ground.Rows);
  ClipCoords clip;
  // As for the objects: matrices the frame never sets draw nothing.
  if (!ReadClipCoords(clip)) return;
  // Tile (i, j) of row 5, column 1 at (32 i, 32 j), batched.
  static Batching batching;  // kept between frames
  batching.Begin(clip);
  const SpriteCell cell = CellOf(512, 256, kTile, kTile, 5, 1, false);
  const float size = static_cast<float>(static_cast<double>(kTile));
  for (int i = cols.First; i <= cols.Last; ++i) {
    for (int j = rows.First; j <= rows.Last; ++j) {
      const ClipCoords::Origin at = clip.Translate(clip.Base(), 32.0f * i, 32.0f * j, 0);
      batching.Quad(world.GroundTexture, clip.At(at), size, size, cell);
    }
  }
  Drawn d;
  d.Any = true;
  d.Texture = world.GroundTexture;
  batching.Draw(d);
}
