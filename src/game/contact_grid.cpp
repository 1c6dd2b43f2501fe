#include "game/contact_grid.h"

#include <algorithm>
#include <cmath>

namespace {

// Whether two start circles are closer than their widened radius sum + pad on both axes.
bool Close(const CellEntry& a, float x, float y, float r, double pad) {
  const double reach = (static_cast<double>(a.Radius) + r) * kReachWiden + pad;
  return (std::fabs(static_cast<double>(a.X) - x) < reach) &
         (std::fabs(static_cast<double>(a.Y) - y) < reach);
}

void Add(int32_t a, int32_t b, std::vector<SlotPair>& out) {
  out.push_back(a < b ? SlotPair{a, b} : SlotPair{b, a});
}

}  // namespace

void ContactGrid::Build(const std::vector<int32_t>& members, const Circles& c, double size,
                        size_t slots) {
  radius_ = 0;
  movers_ = 0;
  double lo[2] = {0, 0};
  double hi[2] = {0, 0};
  bool any = false;
  for (const int32_t s : members) {
    radius_ = std::max(radius_, static_cast<double>(c.Radius[s]));
    const double at[2] = {c.X[s], c.Y[s]};
    for (int axis = 0; axis < 2; ++axis) {
      lo[axis] = any ? std::min(lo[axis], at[axis]) : at[axis];
      hi[axis] = any ? std::max(hi[axis], at[axis]) : at[axis];
    }
    any = true;
  }
  // At most about four cells per member.
  const double limit = 2 * std::sqrt(static_cast<double>(members.size())) + 1;
  size = std::max(size, 1.0);
  for (int axis = 0; axis < 2; ++axis) size = std::max(size, (hi[axis] - lo[axis]) / limit);
  inv_ = 1 / size;
  for (int axis = 0; axis < 2; ++axis) {
    min_[axis] = lo[axis];
    max_[axis] = hi[axis];
    cells_[axis] = static_cast<int32_t>((hi[axis] - lo[axis]) * inv_) + 1;
  }
  const size_t cells = static_cast<size_t>(cells_[0]) * static_cast<size_t>(cells_[1]);
  start_.assign(cells + 1, 0);
  moverHead_.assign(cells, -1);
  moved_.assign((cells + 63) / 64, 0);
  moverOf_.assign(slots, {0, 0, -1, -1, -1});
  // Counting sort by cell; members come in slot order, so each cell is too.
  fill_.resize(members.size());
  for (size_t k = 0; k < members.size(); ++k) {
    fill_[k] = CellOf(c.X[members[k]], c.Y[members[k]]);
    ++start_[static_cast<size_t>(fill_[k]) + 1];
  }
  for (size_t k = 1; k < start_.size(); ++k) start_[k] += start_[k - 1];
  entries_.resize(members.size());
  std::vector<int32_t> next(start_.begin(), start_.end() - 1);
  for (size_t k = 0; k < members.size(); ++k) {
    const int32_t s = members[k];
    entries_[static_cast<size_t>(next[static_cast<size_t>(fill_[k])]++)] = {c.X[s], c.Y[s],
                                                                            c.Radius[s], s};
  }
}

// A coordinate's column or row, clamped into the grid; never decreasing in the coordinate.
int32_t ContactGrid::Column(double v, int axis) const {
  if (!(v >= min_[axis])) v = min_[axis];
  if (!(v <= max_[axis])) v = max_[axis];
  const auto c = static_cast<int32_t>((v - min_[axis]) * inv_);
  return std::min(c, cells_[axis] - 1);
}

void ContactGrid::PairsWithin(double pad, std::vector<SlotPair>& out) const {
  // Every tested pair is written at the end and kept when close: no branch on the test.
  size_t n = out.size();
  const auto room = [&out, &n](int32_t more) {
    const size_t need = n + static_cast<size_t>(more);
    if (out.size() < need) out.resize(std::max(need, 2 * out.size()));
  };
  const auto cell = [this](int32_t cx, int32_t cy) { return cy * cells_[0] + cx; };
  for (int32_t cy = 0; cy < cells_[1]; ++cy) {
    for (int32_t cx = 0; cx < cells_[0]; ++cx) {
      const int32_t c = cell(cx, cy);
      const int32_t begin = start_[static_cast<size_t>(c)];
      const int32_t end = start_[static_cast<size_t>(c) + 1];
      if (begin == end) continue;
      for (int32_t i = begin; i < end; ++i) {
        const CellEntry& a = entries_[static_cast<size_t>(i)];
        room(end - i);
        for (int32_t j = i + 1; j < end; ++j) {
          const CellEntry& b = entries_[static_cast<size_t>(j)];
          out[n] = {a.Slot, b.Slot};
          n += Close(a, b.X, b.Y, b.Radius, pad);
        }
      }
      // Half of the neighbours: each pair of cells once.
      const int32_t dx[4] = {1, -1, 0, 1};
      const int32_t dy[4] = {0, 1, 1, 1};
      for (int k = 0; k < 4; ++k) {
        const int32_t nx = cx + dx[k];
        const int32_t ny = cy + dy[k];
        if (nx < 0 || nx >= cells_[0] || ny >= cells_[1]) continue;
        const int32_t m = cell(nx, ny);
        const int32_t nbegin = start_[static_cast<size_t>(m)];
        const int32_t nend = start_[static_cast<size_t>(m) + 1];
        if (nbegin == nend) continue;
        for (int32_t i = begin; i < end; ++i) {
          const CellEntry& a = entries_[static_cast<size_t>(i)];
          room(nend - nbegin);
          for (int32_t j = nbegin; j < nend; ++j) {
            const CellEntry& b = entries_[static_cast<size_t>(j)];
            out[n] = a.Slot < b.Slot ? SlotPair{a.Slot, b.Slot} : SlotPair{b.Slot, a.Slot};
            n += Close(a, b.X, b.Y, b.Radius, pad);
          }
        }
      }
    }
  }
  out.resize(n);
}

void ContactGrid::PairsWith(int32_t self, float x, float y, float r, double pad,
                            std::vector<SlotPair>& out) const {
  const double half = std::max(0.0, (r + radius_) * kReachWiden) + pad;
  ForEntriesAround(x, y, half, [&](const CellEntry& b) {
    if (Close(b, x, y, r, pad)) Add(self, b.Slot, out);
  });
}

void ContactGrid::Near(double x, double y, double half, int32_t after,
                       std::vector<int32_t>& out) const {
  ForEntriesAround(x, y, half, [&](const CellEntry& b) {
    if (b.Slot > after && std::fabs(b.X - x) <= half && std::fabs(b.Y - y) <= half)
      out.push_back(b.Slot);
  });
}

void ContactGrid::Move(int32_t slot, float x, float y) {
  const int32_t c = CellOf(x, y);
  Mover& m = moverOf_[static_cast<size_t>(slot)];
  m.X = x;
  m.Y = y;
  if (m.Cell == c) return;
  if (m.Cell != -1) {
    Unlink(slot);
  } else {
    ++movers_;
  }
  m.Cell = c;
  m.Prev = -1;
  m.Next = moverHead_[static_cast<size_t>(c)];
  if (m.Next != -1) moverOf_[static_cast<size_t>(m.Next)].Prev = slot;
  moverHead_[static_cast<size_t>(c)] = slot;
  moved_[static_cast<size_t>(c) / 64] |= uint64_t{1} << (c % 64);
}

void ContactGrid::Unlink(int32_t slot) {
  const Mover& m = moverOf_[static_cast<size_t>(slot)];
  if (m.Prev != -1) {
    moverOf_[static_cast<size_t>(m.Prev)].Next = m.Next;
  } else {
    moverHead_[static_cast<size_t>(m.Cell)] = m.Next;
  }
  if (m.Next != -1) moverOf_[static_cast<size_t>(m.Next)].Prev = m.Prev;
  if (moverHead_[static_cast<size_t>(m.Cell)] == -1) {
    moved_[static_cast<size_t>(m.Cell) / 64] &= ~(uint64_t{1} << (m.Cell % 64));
  }
}

void ContactGrid::Retire(int32_t slot) {
  Mover& m = moverOf_[static_cast<size_t>(slot)];
  if (m.Cell == -1) return;
  Unlink(slot);
  m.Cell = -1;
  --movers_;
}

// Whether any of the cells c0..c1 has movers.
bool ContactGrid::AnyMoved(int32_t c0, int32_t c1) const {
  for (int32_t w = c0 / 64; w <= c1 / 64; ++w) {
    uint64_t bits = moved_[static_cast<size_t>(w)];
    if (w == c0 / 64) bits &= ~uint64_t{0} << (c0 % 64);
    if (w == c1 / 64) bits &= ~uint64_t{0} >> (63 - c1 % 64);
    if (bits != 0) return true;
  }
  return false;
}

void ContactGrid::MoversNear(double x, double y, double half, int32_t after,
                             std::vector<int32_t>& out) const {
  if (movers_ == 0) return;
  const int32_t x0 = Column(x - half, 0), x1 = Column(x + half, 0);
  for (int32_t cy = Column(y - half, 1); cy <= Column(y + half, 1); ++cy) {
    const int32_t row = cy * cells_[0];
    if (!AnyMoved(row + x0, row + x1)) continue;
    for (int32_t c = row + x0; c <= row + x1; ++c) {
      for (int32_t b = moverHead_[static_cast<size_t>(c)]; b != -1;) {
        const Mover& m = moverOf_[static_cast<size_t>(b)];
        if (b > after && std::fabs(m.X - x) <= half && std::fabs(m.Y - y) <= half) out.push_back(b);
        b = m.Next;
      }
    }
  }
}
