#include "render/draw_batches.h"

#include <algorithm>

void DrawBatches::Reset(int32_t cols, int32_t rows) {
  cols_ = std::max(cols, 1);
  rows_ = std::max(rows, 1);
  last_.assign(static_cast<size_t>(cols_) * static_cast<size_t>(rows_), Place{-1, 0});
  batches_.clear();
  for (Run& run : runs_) run.Levels.clear();
  order_.clear();
}

DrawBatches::Cells DrawBatches::Clamp(const Cells& c) const {
  Cells r;
  r.X0 = std::clamp(c.X0, 0, cols_ - 1);
  r.X1 = std::clamp(c.X1, r.X0, cols_ - 1);
  r.Y0 = std::clamp(c.Y0, 0, rows_ - 1);
  r.Y1 = std::clamp(c.Y1, r.Y0, rows_ - 1);
  return r;
}

int32_t DrawBatches::Add(uint64_t kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const Cells cells{x0, y0, x1, y1};
  return Add(kind, &cells, 1);
}

int32_t DrawBatches::Add(uint64_t kind, const Cells* cells, size_t count) {
  // Earliest level allowed: after every place met; in the level of a place met when this kind
  // comes at or after that place's kind there. The latest place of a cell is the only one to
  // look at: any earlier one there comes before it.
  int32_t level = 0;
  for (size_t k = 0; k < count; ++k) {
    const Cells c = Clamp(cells[k]);
    for (int32_t y = c.Y0; y <= c.Y1; ++y) {
      const Place* row = &last_[static_cast<size_t>(y) * static_cast<size_t>(cols_)];
      for (int32_t x = c.X0; x <= c.X1; ++x) {
        const Place& p = row[x];
        if (p.Level >= 0) level = std::max(level, kind >= p.Kind ? p.Level : p.Level + 1);
      }
    }
  }
  auto run = std::find_if(runs_.begin(), runs_.end(), [&](const Run& r) { return r.Kind == kind; });
  if (run == runs_.end()) run = runs_.insert(runs_.end(), Run{kind, {}});
  if (run->Levels.size() <= static_cast<size_t>(level))
    run->Levels.resize(static_cast<size_t>(level) + 1, -1);
  int32_t& batch = run->Levels[static_cast<size_t>(level)];
  if (batch < 0) {
    batch = Count();
    batches_.push_back({level, kind});
    order_.clear();
  }
  const Place place{level, kind};
  for (size_t k = 0; k < count; ++k) {
    const Cells c = Clamp(cells[k]);
    for (int32_t y = c.Y0; y <= c.Y1; ++y) {
      Place* row = &last_[static_cast<size_t>(y) * static_cast<size_t>(cols_)];
      for (int32_t x = c.X0; x <= c.X1; ++x) row[x] = place;  // never before what was there
    }
  }
  return batch;
}

const std::vector<int32_t>& DrawBatches::Order() {
  if (order_.size() == batches_.size()) return order_;
  order_.resize(batches_.size());
  for (size_t b = 0; b < order_.size(); ++b) order_[b] = static_cast<int32_t>(b);
  std::sort(order_.begin(), order_.end(), [&](int32_t a, int32_t b) {
    const Place& pa = batches_[static_cast<size_t>(a)];
    const Place& pb = batches_[static_cast<size_t>(b)];
    return pa.Level != pb.Level ? pa.Level < pb.Level : pa.Kind < pb.Kind;
  });
  return order_;
}
