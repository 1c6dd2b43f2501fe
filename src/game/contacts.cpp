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
  const float dist =
      static_cast<float>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
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
// still ahead has the position it had when the row began. The grid holds the objects whose
// rows are still to come, at their current positions (a pushed b changes cell at once); the
// large radii have a grid of their own. A query around a's position q takes every b within
// H = M + (ra + rb)(1 + 1e-6) of q on both axes, the cells searched for that bound at the
// grid's largest rb, in rounded arithmetic that errs only outwards. While a stays closer
// than M to q on both axes, every b that can overlap it (|a - b| < ra + rb, widened by the
// float rounding of a - b) is among them. When a's pushes carry it M or
// further, the row asks again from where a is, for the b still ahead. Candidates are taken
// in increasing b, merged with a's attack target and the objects attacking a, each of whom
// only its own pair can retarget. Objects with radii too wild for cells (not finite or over
// kCellRadius) are candidates of every row, and their own rows visit every b.
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
    bases_.clear();
    always_.clear();
    Gather();
    const auto count = static_cast<int32_t>(slots_.size());
    if (!gridded_) {
      for (int32_t a = 0; a < count; ++a) {
        for (int32_t b = a + 1; b < count; ++b) Visit(a, b);
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
    for (size_t s = 0; s < count; ++s) SetTarget(static_cast<int32_t>(s));
  }

  // The slot's target from its Thought1, kept in the target's list of attackers.
  void SetTarget(int32_t s) {
    const int32_t index = AttackTarget(ObjectAt(*world_, slots_[s].Index).Thought1);
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

  struct Grid {
    double Min[2] = {0, 0};
    double Max[2] = {0, 0};
    double Inv = 1;
    int32_t Cells[2] = {1, 1};
    double Radius = 0;  // largest radius of the members
    int32_t Members = 0;
    std::vector<int32_t> Head;
  };

  void BuildGrid() {
    const auto count = static_cast<int32_t>(slots_.size());
    nodes_.resize(slots_.size());
    class_.assign(slots_.size(), 0);
    double sum = 0;
    int32_t members = 0;
    double largest = 0;
    for (int32_t s = 0; s < count; ++s) {
      const TObyekt& o = ObjectAt(*world_, slots_[s].Index);
      Node& node = nodes_[s];
      node = {o.X, o.Y, slots_[s].Shape.Radius, kNone};
      if (slots_[s].Wild) continue;
      sum += node.R;
      ++members;
      largest = std::max(largest, static_cast<double>(node.R));
    }
    // Radii above the mean go to a second grid of wider cells, so that a few large objects
    // do not widen every query.
    const double mean = members > 0 ? sum / members : 0;
    for (int32_t s = 0; s < count; ++s) class_[s] = nodes_[s].R > mean ? 1 : 0;
    margin_ = std::max(largest / 8, 1.0);
    for (int g = 0; g < 2; ++g) Lay(g);
    prev_.assign(slots_.size(), kNone);
    cell_.assign(slots_.size(), kNone);
    // Linked last to first, so that every cell starts in increasing order.
    for (int32_t s = count - 1; s >= 0; --s) {
      if (!slots_[s].Wild) Link(s, CellOf(grids_[class_[s]], nodes_[s].X, nodes_[s].Y));
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
      const Node& node = nodes_[s];
      grid.Radius = std::max(grid.Radius, static_cast<double>(node.R));
      if (!std::isfinite(node.X) || !std::isfinite(node.Y)) continue;
      const double at[2] = {node.X, node.Y};
      for (int axis = 0; axis < 2; ++axis) {
        lo[axis] = any ? std::min(lo[axis], at[axis]) : at[axis];
        hi[axis] = any ? std::max(hi[axis], at[axis]) : at[axis];
      }
      any = true;
    }
    grid.Members = members;
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
    grid.Head.assign(static_cast<size_t>(grid.Cells[0]) * static_cast<size_t>(grid.Cells[1]),
                     kNone);
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

  void Link(int32_t s, int32_t c) {
    std::vector<int32_t>& head = grids_[class_[s]].Head;
    cell_[s] = c;
    prev_[s] = kNone;
    nodes_[s].Next = head[c];
    if (head[c] != kNone) prev_[head[c]] = s;
    head[c] = s;
  }
  void Unlink(int32_t s) {
    const int32_t c = cell_[s];
    if (c == kNone) return;
    const int32_t next = nodes_[s].Next;
    if (prev_[s] != kNone) {
      nodes_[prev_[s]].Next = next;
    } else {
      grids_[class_[s]].Head[c] = next;
    }
    if (next != kNone) prev_[next] = prev_[s];
    cell_[s] = kNone;
  }

  // Grid members after `after` that can reach a from where it is, in increasing order.
  void Query(int32_t a, int32_t after) {
    found_.clear();
    qx_ = nodes_[a].X;
    qy_ = nodes_[a].Y;
    const double ra = slots_[a].Shape.Radius;
    for (const Grid& g : grids_) {
      if (g.Members == 0) continue;
      const double half = margin_ + std::max(0.0, (ra + g.Radius) * kWiden);
      const int32_t x0 = Column(g, qx_ - half, 0);
      const int32_t x1 = Column(g, qx_ + half, 0);
      const int32_t y0 = Column(g, qy_ - half, 1);
      const int32_t y1 = Column(g, qy_ + half, 1);
      for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
          for (int32_t b = g.Head[y * g.Cells[0] + x]; b != kNone; b = nodes_[b].Next) {
            if (b <= after) continue;
            const Node& nb = nodes_[b];
            // The bound of this pair alone: M + (ra + rb)(1 + 1e-6).
            const double reach = margin_ + std::max(0.0, (ra + nb.R) * kWiden);
            if (!(std::fabs(nb.X - qx_) <= reach) || !(std::fabs(nb.Y - qy_) <= reach)) continue;
            found_.push_back(b);
            // Most candidates are visited next: start loading their objects.
            __builtin_prefetch(&world_->Objects[static_cast<size_t>(slots_[b].Index)].X);
          }
        }
      }
    }
    std::sort(found_.begin(), found_.end());
  }

  void Row(int32_t a) {
    Unlink(a);
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
      if (!(std::fabs(nodes_[a].X - qx_) < margin_) || !(std::fabs(nodes_[a].Y - qy_) < margin_)) {
        Query(a, current);
        f = 0;
      }
      while (f < found_.size() && found_[f] <= current) ++f;
      while (w < always_.size() && always_[w] <= current) ++w;
      while (t < attackers_.size() && attackers_[t] <= current) ++t;
      int32_t b = count;
      if (f < found_.size()) b = std::min(b, found_[f]);
      if (w < always_.size()) b = std::min(b, always_[w]);
      if (t < attackers_.size()) b = std::min(b, attackers_[t]);
      if (slots_[a].Target > current) b = std::min(b, slots_[a].Target);
      if (b == count) return;
      Visit(a, b);
      current = b;
    }
  }

  // The pushed pair's positions into the packed copy, b into its new cell.
  void Moved(int32_t a, int32_t b, const TObyekt& oa, const TObyekt& ob) {
    nodes_[a].X = oa.X;
    nodes_[a].Y = oa.Y;
    Node& nb = nodes_[b];
    if (ob.X == nb.X && ob.Y == nb.Y) return;
    nb.X = ob.X;
    nb.Y = ob.Y;
    if (slots_[b].Wild) return;
    const int32_t c = CellOf(grids_[class_[b]], ob.X, ob.Y);
    if (c != cell_[b]) {
      Unlink(b);
      Link(b, c);
    }
  }

  void Visit(int32_t a, int32_t b) {
    Slot& sa = slots_[a];
    Slot& sb = slots_[b];
    // SeparatePair's own exact shortcut, taken here so that most apart pairs cost no call; on
    // the grid from the packed copies of the positions, which hold the same values.
    const double reach = static_cast<double>(sa.Shape.Radius) + sb.Shape.Radius;
    bool apart = false;
    if (gridded_) {
      const Node& na = nodes_[a];
      const Node& nb = nodes_[b];
      apart = std::fabs(na.X - nb.X) >= reach || std::fabs(na.Y - nb.Y) >= reach;
    }
    if (apart && sa.Target != b && sb.Target != a) return;
    TObyekt& oa = ObjectAt(*world_, sa.Index);
    TObyekt& ob = ObjectAt(*world_, sb.Index);
    if (!gridded_) apart = std::fabs(oa.X - ob.X) >= reach || std::fabs(oa.Y - ob.Y) >= reach;
    if (!apart && SeparatePair(oa.X, oa.Y, ob.X, ob.Y, sa.Shape.Speeds, sa.Shape.Radius,
                               sb.Shape.Radius, sb.Shape.Speeds)) {
      if (gridded_) Moved(a, b, oa, ob);
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
  // Per slot: position and radius, packed, and the next member of its cell.
  struct Node {
    float X, Y, R;
    int32_t Next;
  };
  std::vector<Node> nodes_;
  double margin_ = 1;
  Grid grids_[2];
  std::vector<uint8_t> class_;  // per slot: its grid
  std::vector<int32_t> prev_, cell_;
  std::vector<int32_t> found_, attackers_;
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
