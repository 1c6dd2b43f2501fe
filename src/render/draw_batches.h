// Groups a frame's draws into batches that can each be one draw call without changing a pixel.
// Batches stand in levels, and within a level in the order of their kinds. A draw joins the
// earliest batch of its kind that comes after the batches of all earlier draws it may touch a
// pixel with (or is that batch, when it is of the same kind); a level is opened wherever one is
// needed, so a chain of draws that meet grows only its own levels. Draws that share no pixel
// commute; batches are drawn in order and each in the order its draws were added.
// No OpenGL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class DrawBatches {
 public:
  // Cells [X0, X1] x [Y0, Y1] of the grid; cells outside the grid count as its border cells.
  struct Cells {
    int32_t X0, Y0, X1, Y1;
  };

  // Footprints are cell ranges of a cols x rows grid over the view.
  void Reset(int32_t cols, int32_t rows);
  // The batch of a draw of `kind` that may touch the cells given.
  int32_t Add(uint64_t kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  // The same for a draw whose footprint is the union of `count` ranges.
  int32_t Add(uint64_t kind, const Cells* cells, size_t count);
  int32_t Count() const { return static_cast<int32_t>(batches_.size()); }
  uint64_t Kind(int32_t batch) const { return batches_[static_cast<size_t>(batch)].Kind; }
  // The batches in drawing order.
  const std::vector<int32_t>& Order();

 private:
  // A place in the drawing order: level, then kind.
  struct Place {
    int32_t Level;  // -1: nothing drawn
    uint64_t Kind;
  };
  Cells Clamp(const Cells& c) const;

  int32_t cols_ = 0;
  int32_t rows_ = 0;
  std::vector<Place> last_;  // per cell the latest place of a draw touching it
  std::vector<Place> batches_;
  struct Run {
    uint64_t Kind;
    std::vector<int32_t> Levels;  // batch of this kind per level, -1 none
  };
  std::vector<Run> runs_;
  std::vector<int32_t> order_;
};
