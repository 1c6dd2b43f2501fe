// Cells of live circles for the contact pass. Each member's start position and radius are
// packed by cell (slot order within a cell); members that have strayed from their start
// ("movers") are listed again by the cell they are in now.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Relative widening of a radius sum: covers the rounding of a float difference.
constexpr double kReachWiden = 1 + 1e-6;

struct CellEntry {
  float X, Y;  // start position
  float Radius;
  int32_t Slot;
};

// Two slots, Lo < Hi, that may come to touch.
struct SlotPair {
  int32_t Lo, Hi;
};

// Start positions and radii by slot, shared by the grids of one pass.
struct Circles {
  std::vector<float> X, Y, Radius;
};

class ContactGrid {
 public:
  // Lays cells at least `size` wide over the members (ascending slots, finite positions).
  void Build(const std::vector<int32_t>& members, const Circles& c, double size, size_t slots);

  int32_t Members() const { return static_cast<int32_t>(entries_.size()); }
  double Radius() const { return radius_; }  // largest member radius

  // Every pair of members whose start positions are closer than (ra + rb) * kReachWiden + pad
  // on both axes; pad + the largest radius sum must not exceed the cell size.
  void PairsWithin(double pad, std::vector<SlotPair>& out) const;
  // The pairs of a circle (slot `self`, not a member) with the members closer than that.
  void PairsWith(int32_t self, float x, float y, float r, double pad,
                 std::vector<SlotPair>& out) const;
  // Members after `after` whose start lies within `half` of (x, y) on both axes.
  void Near(double x, double y, double half, int32_t after, std::vector<int32_t>& out) const;

  // Movers: a member listed at its current position (x, y).
  void Move(int32_t slot, float x, float y);
  int32_t Movers() const { return movers_; }
  // No longer a mover: no later query asks for it.
  void Retire(int32_t slot);
  // Movers after `after` within `half` of (x, y) on both axes.
  void MoversNear(double x, double y, double half, int32_t after, std::vector<int32_t>& out) const;

 private:
  int32_t Column(double v, int axis) const;
  int32_t CellOf(double x, double y) const { return Column(y, 1) * cells_[0] + Column(x, 0); }
  // Calls f with every entry of the cells the square of half-side `half` about (x, y) meets.
  template <typename F>
  void ForEntriesAround(double x, double y, double half, F&& f) const {
    if (entries_.empty()) return;
    const int32_t x0 = Column(x - half, 0), x1 = Column(x + half, 0);
    for (int32_t cy = Column(y - half, 1); cy <= Column(y + half, 1); ++cy) {
      // The cells x0..x1 of a row are one run of entries.
      const int32_t row = cy * cells_[0];
      const int32_t end = start_[static_cast<size_t>(row + x1) + 1];
      for (int32_t e = start_[static_cast<size_t>(row + x0)]; e < end; ++e)
        f(entries_[static_cast<size_t>(e)]);
    }
  }
  void Unlink(int32_t slot);
  bool AnyMoved(int32_t c0, int32_t c1) const;

  double min_[2] = {0, 0};
  double max_[2] = {0, 0};
  double inv_ = 1;
  int32_t cells_[2] = {1, 1};
  double radius_ = 0;
  std::vector<int32_t> start_;  // per cell, into entries_; one more at the end
  std::vector<CellEntry> entries_;
  int32_t movers_ = 0;
  std::vector<int32_t> moverHead_;  // per cell
  std::vector<uint64_t> moved_;     // per cell, a bit: it has movers
  // Per slot: where a mover is, its cell (-1: not a mover) and its neighbours in that cell.
  struct Mover {
    float X, Y;
    int32_t Cell, Next, Prev;
  };
  std::vector<Mover> moverOf_;
  std::vector<int32_t> fill_;
};
