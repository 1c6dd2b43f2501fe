// A frame's sprites and lines drawn with vertices in clip coordinates (ClipCoords) under
// identity matrices, grouped into batches (DrawBatches) so that state changes only between
// batches. What the rasteriser receives matches one draw per primitive under the matrices: the
// same vertex bits, the same order wherever pixels are shared, draw calls of a few primitives
// (a matrix load ends one), small enough that no vertex buffer of the pipeline fills up, and a
// primitive the pipeline may clip in a call of its own.
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
  // Starts a frame under the matrices of `clip`, with lines up to `widest` logical pixels.
  void Begin(const ClipCoords& clip, float widest = 3);
  const ClipCoords& Clip() const { return clip_; }

  // Vertices as glVertex2f and glTexCoord2f would pass them, at the origin of `p`:
  // a sprite cell as one quad from the origin, w x h,
  void Quad(uint32_t texture, const ClipCoords::Product& p, float w, float h,
            const SpriteCell& cell);
  // a health bar from (0, y) to (energy / 10, y), red to yellow to green, `width` pixels wide
  // (a whole number),
  void Bar(const ClipCoords::Product& p, float y, float energy, float width = 3);
  // a blue box around (0, 0) .. (w, h), 1 pixel wide, with the pixels of a line loop.
  void Box(const ClipCoords::Product& p, float w, float h);

  // Draws all added, batch after batch. Texturing is on after, the line width is the one `d`
  // holds; the current colour is white unless lines were drawn.
  void Draw(Drawn& d);

  // Of the last frame drawn: batches, switches between sprites and lines, draw calls ended.
  int32_t Batches() const { return batches_.Count(); }
  int32_t Switches() const { return switches_; }
  int32_t Calls() const { return calls_; }

 private:
  struct Vertex {
    float X, Y, Z;  // clip coordinates, w 1
    float U, V;
    float R, G, B;
  };
  // The vertices of one primitive, its footprint and its place: batch, then within a batch of
  // lines the run of one width.
  struct Piece {
    int32_t Batch;
    int32_t Run;
    uint32_t First;
    uint32_t Count;
    int32_t X0, Y0, X1, Y1;  // cells
    float Width;             // 0 for a sprite
    bool Alone;              // in a draw call of its own
  };

  void Add(const ClipCoords::Product& p, float vx, float vy, float u, float v, float r, float g,
           float b);
  void File(uint64_t kind, float width, size_t first);
  int32_t Cell(float c, bool x, bool high) const;
  void Sort();

  ClipCoords clip_;
  float cellX_ = 1, cellY_ = 1;  // cell size in clip units
  float padX_ = 0, padY_ = 0;
  int32_t cols_ = 1, rows_ = 1;
  DrawBatches batches_;
  DrawBatches runs_;           // the widths within one batch of lines
  std::vector<Vertex> added_;  // in drawing order
  std::vector<Piece> pieces_;
  std::vector<Piece> order_;      // the pieces batch after batch
  std::vector<uint32_t> starts_;  // per batch in drawing order its first piece in order_
  std::vector<int32_t> rank_;     // per batch its place in drawing order
  std::vector<int32_t> runRank_;  // the same for the runs of one batch
  std::vector<DrawBatches::Cells> footprint_;
  int32_t switches_ = 0;
  int32_t calls_ = 0;
};
