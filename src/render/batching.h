// A frame's sprites and lines drawn from vertex arrays: vertices in clip coordinates
// (ClipCoords) under identity matrices, grouped into batches (DrawBatches), each batch cut into
// draw calls of a few primitives. What the rasteriser receives matches one draw per primitive
// under the matrices: the same vertex bits, the same order wherever pixels are shared, draw
// calls small enough that no vertex buffer of the pipeline fills up, and a primitive the
// pipeline may clip in a call of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "render/clip_coords.h"
#include "render/draw_batches.h"
#include "render/sprite_cell.h"

// What the draws so far left set, so that a state already in place is not set again.
struct Drawn {
  bool Any = false;      // texturing on, white, line width 1 after the object last drawn
  uint32_t Texture = 0;  // bound by the object last drawn, when Any
  float LineWidth = 1;   // in logical pixels
};

void Width(Drawn& d, float logical);

class Batching {
 public:
  // Starts a frame under the matrices of `clip`.
  void Begin(const ClipCoords& clip);
  const ClipCoords& Clip() const { return clip_; }

  // Vertices as glVertex2f and glTexCoord2f would pass them, at the origin of `p`:
  // a sprite cell as DrawSpriteFrame draws it, w x h,
  void Quad(uint32_t texture, const ClipCoords::Product& p, float w, float h,
            const SpriteCell& cell);
  // a health bar from (0, y) to (energy / 10, y), red to yellow to green, 3 pixels wide,
  void Bar(const ClipCoords::Product& p, float y, float energy);
  // a blue box around (0, 0) .. (w, h), 1 pixel wide.
  void Box(const ClipCoords::Product& p, float w, float h);

  // Draws all added, batch after batch. Texturing is on after; the line width is left as `d`
  // says and the colour is white unless lines were drawn.
  void Draw(Drawn& d);
  int32_t Batches() const { return batches_.Count(); }
  int32_t Calls() const { return calls_; }

 private:
  struct Vertex {
    float X, Y, Z;  // clip coordinates, w 1
    float U, V;
    float R, G, B;
  };
  // The vertices of one primitive and its batch; Alone: drawn in a call of its own.
  struct Piece {
    int32_t Batch;
    uint32_t First;
    uint32_t Count;
    bool Alone;
  };

  void Add(const ClipCoords::Product& p, float vx, float vy, float u, float v, float r, float g,
           float b);
  void File(uint64_t kind, size_t first);
  int32_t Cell(float c, bool x, bool high) const;
  void Sort();

  ClipCoords clip_;
  float cellX_ = 1, cellY_ = 1;  // cell size in clip units
  float padX_ = 0, padY_ = 0;
  int32_t cols_ = 1, rows_ = 1;
  DrawBatches batches_;
  std::vector<Vertex> added_;  // in drawing order
  std::vector<Piece> pieces_;
  std::vector<Vertex> sorted_;    // batch after batch
  std::vector<Piece> order_;      // pieces batch after batch, First into sorted_
  std::vector<uint32_t> starts_;  // per batch its first piece in order_
  int32_t calls_ = 0;
};
