#include "render/draw_batches.h"

#include <algorithm>

void DrawBatches::Reset(int32_t cols, int32_t rows) {
  cols_ = std::max(cols, 1);
  rows_ = std::max(rows, 1);
  last_.assign(static_cast<size_t>(cols_) * static_cast<size_t>(rows_), -1);
  kinds_.clear();
  for (Run& run : runs_) run.Batches.clear();
}

int32_t DrawBatches::Add(uint64_t kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  x0 = std::clamp(x0, 0, cols_ - 1);
  x1 = std::clamp(x1, x0, cols_ - 1);
  y0 = std::clamp(y0, 0, rows_ - 1);
  y1 = std::clamp(y1, y0, rows_ - 1);
  // Earliest batch allowed: after every batch met, or that batch itself when of this kind. The
  // last batch of a cell is the only one to look at: any earlier one there comes before it.
  int32_t first = 0;
  for (int32_t y = y0; y <= y1; ++y) {
    const int32_t* row = &last_[static_cast<size_t>(y) * static_cast<size_t>(cols_)];
    for (int32_t x = x0; x <= x1; ++x) {
      const int32_t b = row[x];
      if (b >= 0) first = std::max(first, kinds_[static_cast<size_t>(b)] == kind ? b : b + 1);
    }
  }
  auto run = std::find_if(runs_.begin(), runs_.end(), [&](const Run& r) { return r.Kind == kind; });
  if (run == runs_.end()) run = runs_.insert(runs_.end(), Run{kind, {}});
  int32_t batch;
  const auto at = std::lower_bound(run->Batches.begin(), run->Batches.end(), first);
  if (at != run->Batches.end()) {
    batch = *at;
  } else {
    batch = Count();  // a new batch comes after all
    kinds_.push_back(kind);
    run->Batches.push_back(batch);
  }
  for (int32_t y = y0; y <= y1; ++y) {
    int32_t* row = &last_[static_cast<size_t>(y) * static_cast<size_t>(cols_)];
    for (int32_t x = x0; x <= x1; ++x) row[x] = batch;  // never below what was there
  }
  return batch;
}
