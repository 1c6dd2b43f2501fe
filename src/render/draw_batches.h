// Groups a frame's draws into batches that can each be one draw call without changing a pixel.
// A draw joins the first batch of its kind that comes after the batches of all earlier draws it
// may touch a pixel with (or is that batch, when it is of the same kind). Draws that share no
// pixel commute; batches are drawn in order and each in the order its draws were added.
// No OpenGL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class DrawBatches {
 public:
  // Footprints are cell ranges of a cols x rows grid over the view.
  void Reset(int32_t cols, int32_t rows);
  // The batch of a draw of `kind` that may touch cells [x0, x1] x [y0, y1]; cells outside the
  // grid count as its border cells.
  int32_t Add(uint64_t kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  int32_t Count() const { return static_cast<int32_t>(kinds_.size()); }
  uint64_t Kind(int32_t batch) const { return kinds_[static_cast<size_t>(batch)]; }

 private:
  int32_t cols_ = 0;
  int32_t rows_ = 0;
  std::vector<int32_t> last_;    // per cell the last batch touching it, -1 none
  std::vector<uint64_t> kinds_;  // per batch
  struct Run {
    uint64_t Kind;
    std::vector<int32_t> Batches;  // ascending
  };
  std::vector<Run> runs_;  // the batches of each kind
};
