#include "game/contacts.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/order_language.h"
#include "util/vec2d.h"

namespace {

constexpr float kDepotReach = 1000000;  // squared world units

// Collision circle of an object's type; an object without a type is an immovable point.
struct Circle {
  float Radius = 0;
  int32_t Speeds = 0;
};

Circle CircleOf(const World& world, const TObyekt& o) {
  const TOpisan* type = TypeOf(world, o);
  if (type == nullptr) return {};
  return {type->Radius, static_cast<int32_t>(type->Speeds.size())};
}

// Stores a pushed position as singles; one that would leave the float range stays put.
void Store(float& x, float& y, double nx, double ny) {
  const auto fx = static_cast<float>(nx);
  const auto fy = static_cast<float>(ny);
  if (!std::isfinite(fx) || !std::isfinite(fy)) return;
  x = fx;
  y = fy;
}

// The object an order "atakovat n" names, or -1 for any other order.
int32_t AttackTarget(const std::string& order) {
  return OrderTarget(order, Verb::Atakovat);
}

}  // namespace

bool SeparatePair(float& ax, float& ay, float& bx, float& by, int32_t speedsA, float radiusA,
                  float radiusB, int32_t speedsB) {
  const float dx = ax - bx;
  const float dy = ay - by;
  const double reach = static_cast<double>(radiusA) + radiusB;
  // Exact shortcut: the distance is never below |dx| or |dy|, so such a pair is apart.
  if (std::fabs(dx) >= reach || std::fabs(dy) >= reach) return false;
  const float dist = Length(dx, dy);
  if (!(reach > dist)) return false;
  // Coincident centres have no direction between them: push A along +x and B along -x.
  const Vec2 n = dist > 0 ? Normalize({dx, dy}) : Vec2{1, 0};
  const auto overlap = static_cast<float>(reach - dist);
  // An overlap that is not finite (absurd radii) pushes nobody, so positions stay numbers.
  if (!std::isfinite(overlap) || !std::isfinite(n.X) || !std::isfinite(n.Y)) return true;
  const double half = overlap / 2.0;
  if (speedsA > 0) Store(ax, ay, ax + n.X * half, ay + n.Y * half);
  if (speedsB > 0) Store(bx, by, bx - n.X * half, by - n.Y * half);
  return true;
}

namespace {

// NearestDepot over the listed objects of kind 1.
int32_t DepotAmong(const World& world, int32_t s, const std::vector<int32_t>& bases) {
  const TObyekt& self = ObjectAt(world, s);
  return NearestObjectAmong(world, self, kDepotReach, bases,
                            [&self](const TObyekt& o) { return o.Side == self.Side; });
}

// OnContact; `bases` (when given) lists every object of kind 1 in index order. True when
// s's Thought1 was written.
bool ContactIn(World& world, int32_t s, int32_t o, const std::vector<int32_t>* bases) {
  if (!IsObjectIndex(world, s) || !IsObjectIndex(world, o)) return false;
  bool changed = false;
  TObyekt& self = ObjectAt(world, s);
  const TObyekt& other = ObjectAt(world, o);
  if (OrderTarget(self.Thought1, Verb::Idtiza) == o) {
    self.Thought1 = std::move(self.Thought2);
    self.Thought2.clear();
    changed = true;
    // Only sides 0..3 have a treasury; an empty Cargo delivers nothing.
    if (other.Kind == kBaseKind && self.Side == other.Side && IsPlayerSide(self.Side) &&
        !self.Cargo.empty()) {
      SideAt(world, self.Side).Money += self.Cargo[0];
      self.Cargo[0] = 0;
    }
  }
  if (self.Side == other.Side || HasVerb(self.Thought1)) return changed;
  const TOpisan* otherType = TypeOf(world, other);
  // An object without a type is not engaged.
  if (otherType == nullptr) return changed;
  if (!otherType->IsResource) {
    self.Thought1 = AttackOrder(o);
    self.AttackIndex = 0;
    return true;
  }
  // An empty Cargo counts as carrying 0.
  if (CargoOf(self) != 0) return changed;
  self.Thought1 = MineOrder(o);
  const int32_t depot = bases != nullptr ? DepotAmong(world, s, *bases) : NearestDepot(world, s);
  if (depot != -1) self.Thought2 = FollowOrder(depot);
  return true;
}

// The contact pass visits every pair (a, b), a < b, of live objects in index order; a pair
// can change anything only when its circles overlap at the moment it is visited, or when one
// of the two attacks the other (OnApart). All other pairs are skipped, which leaves the state
// every later pair sees exactly as the plain sweep leaves it.
//
// Row a (the pairs (a, b), b > a, in increasing b) needs the b that overlap a then. During
// the row only a and the b of the current pair move, and each b only in its own pair: a b
// still ahead has the position it had when the row began. The grids hold every object at
// its current position (a pushed b changes cell at once; rows already done are skipped by
// index); the large radii have a grid of their own. A query around a's position q takes
// every b of a grid within H = M + (ra + R)(1 + 1e-6) of q on both axes, R the grid's
// largest radius, in rounded arithmetic that errs only outwards. While a stays closer than
// M to q on both axes, every b that can overlap it (|a - b| < ra + rb, widened by the float
// rounding of a - b) is among them. When a's pushes carry it M or further, the row asks
// again from where a is, for the b still ahead. Candidates are taken in increasing b,
// merged with a's attack target and the objects attacking a, each of whom only its own pair
// can retarget. Objects with radii too wild for cells (not finite or over kCellRadius) are
// candidates of every row, and their own rows visit every b.
constexpr float kCellRadius = 1e6f;
constexpr double kWiden = 1 + 1e-6;
constexpr int32_t kFewest = 160;  // live objects from which the grid is used
constexpr int32_t kNone = -1;

struct Slot {
  int32_t Index;  // into Objects
  Circle Shape;
  int32_t Target;  // slot of the object Thought1 attacks, or kNone
  bool Wild;
};

class Contacts {
 public:
  void Run(World& world) {
    world_ = &world;
    slots_.clear();
    pos_.clear();
    aims_.clear();
    bases_.clear();
    always_.clear();
    Gather();
    const auto count = static_cast<int32_t>(slots_.size());
    if (!gridded_) {
      for (int32_t a = 0; a < count; ++a) {
        for (int32_t b = a + 1; b < count; ++b) {
          if (Acts(a, b)) Visit(a, b);
        }
      }
      return;
    }
    BuildGrid();
    for (int32_t a = 0; a < count; ++a) Row(a);
  }

 private:
  void Gather() {
    const size_t n = world_->Objects.size();
    slotOf_.assign(n, kNone);
    for (size_t k = 0; k < n; ++k) {
      const TObyekt& o = world_->Objects[k];
      if (o.Kind == kBaseKind) bases_.push_back(static_cast<int32_t>(k));
      if (!IsAlive(o)) continue;
      slotOf_[k] = static_cast<int32_t>(slots_.size());
      const Circle c = CircleOf(*world_, o);
      const bool wild = !(std::fabs(c.Radius) <= kCellRadius);
      slots_.push_back({static_cast<int32_t>(k), c, kNone, wild});
      pos_.push_back({o.X, o.Y});
      aims_.push_back(AttackTarget(o.Thought1));
      if (wild) always_.push_back(slotOf_[k]);
    }
    const size_t count = slots_.size();
    // A few objects: every pair costs less than the cells and the lists of attackers.
    gridded_ = count >= static_cast<size_t>(kFewest);
    if (gridded_) {
      attHead_.assign(count, kNone);
      attNext_.assign(count, kNone);
      attPrev_.assign(count, kNone);
    }
    for (size_t s = 0; s < count; ++s) Aim(static_cast<int32_t>(s), aims_[s]);
  }

  // The slot's target from its Thought1, kept in the target's list of attackers.
  void SetTarget(int32_t s) { Aim(s, AttackTarget(ObjectAt(*world_, slots_[s].Index).Thought1)); }
  // The slot's target is object `index` (any number: -1 for none).
  void Aim(int32_t s, int32_t index) {
    const int32_t t = IsObjectIndex(*world_, index) ? slotOf_[static_cast<size_t>(index)] : kNone;
    Slot& slot = slots_[s];
    if (t == slot.Target) return;
    if (!gridded_) {
      slot.Target = t;
      return;
    }
    if (slot.Target != kNone) {
      if (attPrev_[s] != kNone) {
        attNext_[attPrev_[s]] = attNext_[s];
      } else {
        attHead_[slot.Target] = attNext_[s];
      }
      if (attNext_[s] != kNone) attPrev_[attNext_[s]] = attPrev_[s];
    }
    slot.Target = t;
    attPrev_[s] = kNone;
    attNext_[s] = kNone;
    if (t != kNone) {
      attNext_[s] = attHead_[t];
      if (attHead_[t] != kNone) attPrev_[attHead_[t]] = s;
      attHead_[t] = s;
    }
  }

  // A grid's members sorted by cell at the start of the pass (Entries, cell c at
  // Start[c]..Start[c+1], each cell in increasing slot order), kept at their current
  // positions; a member pushed into another cell leaves its entry (slot kNone) for the
  // list of movers of that cell, marked in Moved.
  struct Entry {
    float X, Y;
    int32_t Slot;
  };
  struct Grid {
    double Min[2] = {0, 0};
    double Max[2] = {0, 0};
    double Inv = 1;
    int32_t Cells[2] = {1, 1};
    double Radius = 0;  // largest radius of the members
    int32_t Members = 0;
    int32_t Movers = 0;
    std::vector<int32_t> Start;
    std::vector<Entry> Entries;
    std::vector<int32_t> MoverHead;  // per cell
    std::vector<uint64_t> Moved;     // per cell, a bit: it has movers
  };

  void BuildGrid() {
    const auto count = static_cast<int32_t>(slots_.size());
    class_.assign(slots_.size(), 0);
    double sum = 0;
    int32_t members = 0;
    double largest = 0;
    for (int32_t s = 0; s < count; ++s) {
      if (slots_[s].Wild) continue;
      const double r = slots_[s].Shape.Radius;
      sum += r;
      ++members;
      largest = std::max(largest, r);
    }
    // Radii above the mean go to a second grid of wider cells, so that a few large objects
    // do not widen every query.
    const double mean = members > 0 ? sum / members : 0;
    for (int32_t s = 0; s < count; ++s) class_[s] = slots_[s].Shape.Radius > mean ? 1 : 0;
    margin_ = std::max(largest / 8, 1.0);
    cell_.assign(slots_.size(), kNone);
    entry_.assign(slots_.size(), kNone);
    moverNext_.assign(slots_.size(), kNone);
    moverPrev_.assign(slots_.size(), kNone);
    for (int g = 0; g < 2; ++g) {
      Lay(g);
      Sort(g);
    }
  }

  // Bounds and cells of grid g from the positions of its members.
  void Lay(int g) {
    Grid& grid = grids_[g];
    double lo[2] = {0, 0};
    double hi[2] = {0, 0};
    bool any = false;
    int32_t members = 0;
    grid.Radius = 0;
    const auto count = static_cast<int32_t>(slots_.size());
    for (int32_t s = 0; s < count; ++s) {
      if (slots_[s].Wild || class_[s] != g) continue;
      ++members;
      grid.Radius = std::max(grid.Radius, static_cast<double>(slots_[s].Shape.Radius));
      const Pos p = pos_[s];
      if (!std::isfinite(p.X) || !std::isfinite(p.Y)) continue;
      const double at[2] = {p.X, p.Y};
      for (int axis = 0; axis < 2; ++axis) {
        lo[axis] = any ? std::min(lo[axis], at[axis]) : at[axis];
        hi[axis] = any ? std::max(hi[axis], at[axis]) : at[axis];
      }
      any = true;
    }
    grid.Members = members;
    grid.Movers = 0;
    // Cells as wide as the grid's largest radius sum, at most about four per member.
    const double limit = 2 * std::sqrt(static_cast<double>(members)) + 1;
    double size = std::max(2 * grid.Radius, 1.0);
    for (int axis = 0; axis < 2; ++axis) size = std::max(size, (hi[axis] - lo[axis]) / limit);
    grid.Inv = 1 / size;
    for (int axis = 0; axis < 2; ++axis) {
      grid.Min[axis] = lo[axis];
      grid.Max[axis] = hi[axis];
      grid.Cells[axis] = static_cast<int32_t>((hi[axis] - lo[axis]) * grid.Inv) + 1;
    }
    const size_t cells = static_cast<size_t>(grid.Cells[0]) * static_cast<size_t>(grid.Cells[1]);
    grid.Start.assign(cells + 1, 0);
    grid.MoverHead.assign(cells, kNone);
    grid.Moved.assign((cells + 63) / 64, 0);
  }

  // Grid g's members into Entries by cell, in increasing slot order within a cell.
  void Sort(int g) {
    Grid& grid = grids_[g];
    const auto count = static_cast<int32_t>(slots_.size());
    for (int32_t s = 0; s < count; ++s) {
      if (slots_[s].Wild || class_[s] != g) continue;
      cell_[s] = CellOf(grid, pos_[s].X, pos_[s].Y);
      ++grid.Start[static_cast<size_t>(cell_[s]) + 1];
    }
    for (size_t c = 1; c < grid.Start.size(); ++c) grid.Start[c] += grid.Start[c - 1];
    grid.Entries.resize(static_cast<size_t>(grid.Members));
    fill_.assign(grid.Start.begin(), grid.Start.end() - 1);
    for (int32_t s = 0; s < count; ++s) {
      if (slots_[s].Wild || class_[s] != g) continue;
      const int32_t e = fill_[static_cast<size_t>(cell_[s])]++;
      entry_[s] = e;
      grid.Entries[static_cast<size_t>(e)] = {pos_[s].X, pos_[s].Y, s};
    }
  }

  // A coordinate's column or row: clamped into the grid, NaN to the first; never decreasing
  // in the coordinate, so a range of coordinates maps to a range of cells.
  static int32_t Column(const Grid& g, double v, int axis) {
    if (!(v >= g.Min[axis])) v = g.Min[axis];
    if (!(v <= g.Max[axis])) v = g.Max[axis];
    const auto c = static_cast<int32_t>((v - g.Min[axis]) * g.Inv);
    return std::min(c, g.Cells[axis] - 1);
  }
  static int32_t CellOf(const Grid& g, double x, double y) {
    return Column(g, y, 1) * g.Cells[0] + Column(g, x, 0);
  }

  // Member b of its grid now at its current position: in its entry while it stays in the
  // cell it was sorted into, else among the movers of its cell.
  void Place(int32_t b) {
    Grid& grid = grids_[class_[b]];
    const Pos p = pos_[b];
    const int32_t c = CellOf(grid, p.X, p.Y);
    if (entry_[b] != kNone) {
      Entry& e = grid.Entries[static_cast<size_t>(entry_[b])];
      if (c == cell_[b]) {
        e.X = p.X;
        e.Y = p.Y;
        return;
      }
      e.Slot = kNone;
      entry_[b] = kNone;
    } else {
      if (c == cell_[b]) return;
      Unlink(grid, b);
    }
    cell_[b] = c;
    moverNext_[b] = grid.MoverHead[c];
    moverPrev_[b] = kNone;
    if (grid.MoverHead[c] != kNone) moverPrev_[grid.MoverHead[c]] = b;
    grid.MoverHead[c] = b;
    grid.Moved[static_cast<size_t>(c) / 64] |= uint64_t{1} << (c % 64);
    ++grid.Movers;
  }
  void Unlink(Grid& grid, int32_t b) {
    const int32_t c = cell_[b];
    if (moverPrev_[b] != kNone) {
      moverNext_[moverPrev_[b]] = moverNext_[b];
    } else {
      grid.MoverHead[c] = moverNext_[b];
    }
    if (moverNext_[b] != kNone) moverPrev_[moverNext_[b]] = moverPrev_[b];
    if (grid.MoverHead[c] == kNone)
      grid.Moved[static_cast<size_t>(c) / 64] &= ~(uint64_t{1} << (c % 64));
    --grid.Movers;
  }

  // Candidate b of a query: after `after` and within `half` of q on both axes.
  // Taken without a branch (the outcome is a coin toss): found_ has room for it.
  void Consider(int32_t b, float x, float y, int32_t after, double half) {
    const bool take = (b > after) & (std::fabs(x - qx_) <= half) & (std::fabs(y - qy_) <= half);
    found_[taken_] = b;
    taken_ += take ? 1 : 0;
  }

  // The columns x0..x1 and rows y0..y1 a query from (x, y) reaching `half` on both axes searches.
  struct CellRange {
    int32_t X0, X1, Y0, Y1;
  };
  static CellRange Span(const Grid& g, double x, double y, double half) {
    return {Column(g, x - half, 0), Column(g, x + half, 0), Column(g, y - half, 1),
            Column(g, y + half, 1)};
  }
  // Whether any of the cells c0..c1 has movers.
  static bool AnyMoved(const Grid& g, int32_t c0, int32_t c1) {
    for (int32_t w = c0 / 64; w <= c1 / 64; ++w) {
      uint64_t bits = g.Moved[static_cast<size_t>(w)];
      if (w == c0 / 64) bits &= ~uint64_t{0} << (c0 % 64);
      if (w == c1 / 64) bits &= ~uint64_t{0} >> (63 - c1 % 64);
      if (bits != 0) return true;
    }
    return false;
  }

  // Grid members after `after` that can reach a from where it is, in increasing order.
  void Query(int32_t a, int32_t after) {
    taken_ = 0;
    qx_ = pos_[a].X;
    qy_ = pos_[a].Y;
    const double ra = slots_[a].Shape.Radius;
    for (const Grid& g : grids_) {
      if (g.Members == 0) continue;
      const double half = margin_ + std::max(0.0, (ra + g.Radius) * kWiden);
      const auto [x0, x1, y0, y1] = Span(g, qx_, qy_, half);
      for (int32_t y = y0; y <= y1; ++y) {
        // The cells x0..x1 of a row are one run of entries.
        const int32_t row = y * g.Cells[0];
        const int32_t begin = g.Start[static_cast<size_t>(row + x0)];
        const int32_t end = g.Start[static_cast<size_t>(row + x1) + 1];
        Room(static_cast<size_t>(end - begin));
        for (int32_t e = begin; e < end; ++e) {
          const Entry& en = g.Entries[static_cast<size_t>(e)];
          Consider(en.Slot, en.X, en.Y, after, half);
        }
        if (g.Movers == 0 || !AnyMoved(g, row + x0, row + x1)) continue;
        for (int32_t c = row + x0; c <= row + x1; ++c) {
          if ((g.Moved[static_cast<size_t>(c) / 64] >> (c % 64) & 1) == 0) continue;
          for (int32_t b = g.MoverHead[static_cast<size_t>(c)]; b != kNone; b = moverNext_[b]) {
            Room(1);
            Consider(b, pos_[b].X, pos_[b].Y, after, half);
          }
        }
      }
    }
    const auto found = found_.begin() + static_cast<std::ptrdiff_t>(taken_);
    std::sort(found_.begin(), found);
    // Most candidates are visited next: start loading their objects.
    for (auto b = found_.begin(); b != found; ++b) {
      __builtin_prefetch(&world_->Objects[static_cast<size_t>(slots_[*b].Index)].X);
    }
  }
  void Room(size_t more) {
    // The buffer only grows: its first taken_ are the candidates.
    if (found_.size() < taken_ + more) found_.resize(2 * (taken_ + more));
  }

  void Row(int32_t a) {
    attackers_.clear();
    for (int32_t b = attHead_[a]; b != kNone; b = attNext_[b]) {
      if (b > a) attackers_.push_back(b);
    }
    std::sort(attackers_.begin(), attackers_.end());
    const auto count = static_cast<int32_t>(slots_.size());
    if (slots_[a].Wild) {
      for (int32_t b = a + 1; b < count; ++b) Visit(a, b);
      return;
    }
    Query(a, a);
    size_t f = 0;
    size_t w = 0;
    size_t t = 0;
    int32_t current = a;
    for (;;) {
      // a was carried too far from where the candidates were found: find them again.
      if (!(std::fabs(pos_[a].X - qx_) < margin_) || !(std::fabs(pos_[a].Y - qy_) < margin_)) {
        Query(a, current);
        f = 0;
      }
      while (f < taken_ && found_[f] <= current) ++f;
      while (w < always_.size() && always_[w] <= current) ++w;
      while (t < attackers_.size() && attackers_[t] <= current) ++t;
      int32_t b = count;
      if (f < taken_) b = std::min(b, found_[f]);
      if (w < always_.size()) b = std::min(b, always_[w]);
      if (t < attackers_.size()) b = std::min(b, attackers_[t]);
      if (slots_[a].Target > current) b = std::min(b, slots_[a].Target);
      if (b == count) return;
      Visit(a, b);
      current = b;
    }
  }

  // The pushed pair's positions into the packed copy, b into its grid. Rows before b's own
  // do not look at a again.
  void Moved(int32_t a, int32_t b, const TObyekt& oa, const TObyekt& ob) {
    pos_[a] = {oa.X, oa.Y};
    if (ob.X == pos_[b].X && ob.Y == pos_[b].Y) return;
    pos_[b] = {ob.X, ob.Y};
    if (gridded_ && !slots_[b].Wild) Place(b);
  }

  // SeparatePair's own exact shortcut, from the packed copies of the positions (the same
  // values): most apart pairs cost no call.
  bool Apart(int32_t a, int32_t b) const {
    const double reach = static_cast<double>(slots_[a].Shape.Radius) + slots_[b].Shape.Radius;
    const Pos pa = pos_[a];
    const Pos pb = pos_[b];
    return std::fabs(pa.X - pb.X) >= reach || std::fabs(pa.Y - pb.Y) >= reach;
  }
  // Whether the pair can change anything: not apart, or one attacks the other.
  bool Acts(int32_t a, int32_t b) const {
    return slots_[a].Target == b || slots_[b].Target == a || !Apart(a, b);
  }

  void Visit(int32_t a, int32_t b) {
    Slot& sa = slots_[a];
    Slot& sb = slots_[b];
    const bool apart = Apart(a, b);
    if (apart && sa.Target != b && sb.Target != a) return;
    TObyekt& oa = ObjectAt(*world_, sa.Index);
    TObyekt& ob = ObjectAt(*world_, sb.Index);
    if (!apart && SeparatePair(oa.X, oa.Y, ob.X, ob.Y, sa.Shape.Speeds, sa.Shape.Radius,
                               sb.Shape.Radius, sb.Shape.Speeds)) {
      Moved(a, b, oa, ob);
      // A target changes only with its attacker's Thought1.
      if (ContactIn(*world_, sa.Index, sb.Index, &bases_)) SetTarget(a);
      if (ContactIn(*world_, sb.Index, sa.Index, &bases_)) SetTarget(b);
      return;
    }
    if (sa.Target == b) {
      OnApart(*world_, sa.Index, sb.Index);
      SetTarget(a);
    }
    if (sb.Target == a) {
      OnApart(*world_, sb.Index, sa.Index);
      SetTarget(b);
    }
  }

  World* world_ = nullptr;
  bool gridded_ = false;
  std::vector<Slot> slots_;
  std::vector<int32_t> slotOf_;  // per object: its slot, kNone when dead
  std::vector<int32_t> bases_;   // every object of kind 1, dead ones too, in index order
  std::vector<int32_t> always_;  // wild slots, in increasing order
  std::vector<int32_t> attHead_, attNext_, attPrev_;
  struct Pos {
    float X, Y;
  };
  std::vector<Pos> pos_;       // per slot: its position, packed
  std::vector<int32_t> aims_;  // per slot: the object its Thought1 attacks at the start
  double margin_ = 1;
  Grid grids_[2];
  std::vector<uint8_t> class_;  // per slot: its grid
  std::vector<int32_t> cell_, entry_, moverNext_, moverPrev_, fill_;
  std::vector<int32_t> found_, attackers_;
  size_t taken_ = 0;  // candidates found so far in found_
  double qx_ = 0, qy_ = 0;
};

}  // namespace

void ContactPass(World& world) {
  // The buffers are kept from pass to pass, one set per thread.
  static thread_local Contacts contacts;
  contacts.Run(world);
}

void OnContact(World& world, int32_t s, int32_t o) {
  ContactIn(world, s, o, nullptr);
}

void OnApart(World& world, int32_t s, int32_t o) {
  if (!IsObjectIndex(world, s) || !IsObjectIndex(world, o)) return;
  TObyekt& self = ObjectAt(world, s);
  if (OrderTarget(self.Thought1, Verb::Atakovat) != o) return;
  // The attacker follows with the argument copied as it stands.
  std::string follow = FollowOrder(SplitOrder(self.Thought1).Arg);
  self.Thought2 = std::move(self.Thought1);
  self.Thought1 = std::move(follow);
}

int32_t NearestDepot(const World& world, int32_t s) {
  if (!IsObjectIndex(world, s)) return -1;
  const TObyekt& self = ObjectAt(world, s);
  return NearestObject(world, self, kDepotReach, [&self](const TObyekt& o) {
    return o.Kind == kBaseKind && o.Side == self.Side;
  });
}
