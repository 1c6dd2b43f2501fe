#include "game/contacts.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/contact_grid.h"
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

// Sorts slot numbers; the short lists of one row by insertion.
void SortSlots(int32_t* first, int32_t* last) {
  if (last - first > 16) {
    std::sort(first, last);
    return;
  }
  for (int32_t* i = first + (first != last); i < last; ++i) {
    const int32_t v = *i;
    int32_t* j = i;
    for (; j > first && *(j - 1) > v; --j) *j = *(j - 1);
    *j = v;
  }
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

// OnContact with the nearest base found by `depot` (s's index -> base or -1). True when s's
// Thought1 was written.
template <typename Depot>
bool ContactIn(World& world, int32_t s, int32_t o, Depot depot) {
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
  const int32_t d = depot(s);
  if (d != -1) self.Thought2 = FollowOrder(d);
  return true;
}

// The contact pass visits every pair (a, b), a < b, of live objects ("slots") in index order;
// a pair can change anything only when its circles overlap at the moment it is visited, or
// when one of the two attacks the other (OnApart). All other pairs are skipped, which leaves
// the state every later pair sees exactly as the plain sweep leaves it.
//
// Positions live in packed arrays for the pass and go back to the objects at its end. At the
// start, the pairs whose start circles come within their radius sum + 2M on both axes are
// listed per row. An object pushed M or further from its start (on either axis) "strays":
// it is listed at its current position among the movers of the grids. A pair that is not
// listed can touch only when one of the two has strayed, so row a takes its listed pairs,
// the movers near a's start and, once a itself has strayed, asks the grids around where it
// is (again each time it moves M from there). Rows are merged in increasing b with a's
// attack target and the objects attacking it, each of whom only its own pair can retarget.
// Objects with radii too wild for cells (not finite or over kCellRadius) are candidates of
// every row, and their own rows visit every b; objects at positions that are not finite
// touch nothing and keep only their attack pairs.
constexpr float kCellRadius = 1e6f;
constexpr int32_t kFewest = 48;  // live objects from which the pair lists are used
constexpr int32_t kNone = -1;
constexpr int8_t kUngridded = -1;  // at a position that is not finite
constexpr int8_t kWild = -2;

class Contacts {
 public:
  void Run(World& world) {
    world_ = &world;
    row_ = kNone;
    Gather();
    const auto count = static_cast<int32_t>(slots_.size());
    if (count < kFewest) {
      for (int32_t a = 0; a < count; ++a) {
        for (int32_t b = a + 1; b < count; ++b) Visit(a, b);
      }
    } else {
      Lay();
      for (int32_t a = 0; a < count; ++a) Row(a);
    }
    for (const Slot& s : slots_) {
      if (!s.Moved) continue;
      TObyekt& o = world.Objects[static_cast<size_t>(s.Index)];
      o.X = s.X;
      o.Y = s.Y;
    }
  }

 private:
  // What the pass keeps of a live object, two to a cache line: where it is now with its
  // circle, its side and Thought1.
  struct alignas(32) Slot {
    float X, Y, Radius;
    int32_t Target;  // the slot Thought1 attacks, or kNone
    int32_t Follow;  // the object Thought1 follows, or -1
    int32_t Side;
    int32_t Index;  // into Objects
    bool Busy : 1;  // Thought1 has a verb
    bool Movable : 1;
    bool Moved : 1;
    bool Strayed : 1;
    int8_t Grid;  // 0 or 1, kUngridded or kWild
  };
  static_assert(sizeof(Slot) == 32);
  // A slot's place in its target's list of attackers, and the head of its own.
  struct Links {
    int32_t Head, Next, Prev;
  };

  Slot& At(int32_t s) { return slots_[static_cast<size_t>(s)]; }
  const Slot& At(int32_t s) const { return slots_[static_cast<size_t>(s)]; }

  void Gather() {
    const size_t n = world_->Objects.size();
    slotOf_.assign(n, kNone);
    bases_.clear();
    slots_.clear();
    start_.X.clear();
    start_.Y.clear();
    start_.Radius.clear();
    aims_.clear();
    for (size_t k = 0; k < n; ++k) {
      const TObyekt& o = world_->Objects[k];
      if (o.Kind == kBaseKind) bases_.push_back(static_cast<int32_t>(k));
      if (!IsAlive(o)) continue;
      slotOf_[k] = static_cast<int32_t>(slots_.size());
      const Circle c = CircleOf(*world_, o);
      start_.X.push_back(o.X);
      start_.Y.push_back(o.Y);
      start_.Radius.push_back(c.Radius);
      Slot& s = slots_.emplace_back();
      s.X = o.X;
      s.Y = o.Y;
      s.Radius = c.Radius;
      s.Target = kNone;
      s.Follow = OrderTarget(o.Thought1, Verb::Idtiza);
      s.Side = o.Side;
      s.Index = static_cast<int32_t>(k);
      s.Busy = HasVerb(o.Thought1);
      s.Movable = c.Speeds > 0;
      s.Moved = false;
      s.Strayed = false;
      s.Grid = kUngridded;
      aims_.push_back(AttackTarget(o.Thought1));
    }
    links_.assign(slots_.size(), {kNone, kNone, kNone});
    for (size_t s = 0; s < slots_.size(); ++s) Aim(static_cast<int32_t>(s), aims_[s]);
  }

  // The slot's target is object `index` (any number: -1 for none). A slot after its target is
  // kept in the target's list of attackers; the target's row visits them all.
  void Aim(int32_t s, int32_t index) {
    const int32_t t = IsObjectIndex(*world_, index) ? slotOf_[static_cast<size_t>(index)] : kNone;
    Slot& k = At(s);
    if (t == k.Target) return;
    Links& l = links_[static_cast<size_t>(s)];
    if (k.Target != kNone && k.Target < s) {
      if (l.Prev != kNone) {
        links_[static_cast<size_t>(l.Prev)].Next = l.Next;
      } else {
        links_[static_cast<size_t>(k.Target)].Head = l.Next;
      }
      if (l.Next != kNone) links_[static_cast<size_t>(l.Next)].Prev = l.Prev;
    }
    k.Target = t;
    l.Prev = kNone;
    l.Next = kNone;
    if (t != kNone && t < s) {
      Links& target = links_[static_cast<size_t>(t)];
      l.Next = target.Head;
      if (target.Head != kNone) links_[static_cast<size_t>(target.Head)].Prev = s;
      target.Head = s;
    }
  }
  // What the pass keeps of the slot's Thought1, after a reaction wrote it.
  void Reread(int32_t s) {
    const std::string& order = ObjectAt(*world_, At(s).Index).Thought1;
    At(s).Follow = OrderTarget(order, Verb::Idtiza);
    At(s).Busy = HasVerb(order);
    Aim(s, AttackTarget(order));
  }

  // Grids of small and large radii (above the mean) at the start positions, and the listed
  // pairs by row.
  void Lay() {
    const auto count = static_cast<int32_t>(slots_.size());
    always_.clear();
    double sum = 0;
    int32_t members = 0;
    for (int32_t s = 0; s < count; ++s) {
      const auto k = static_cast<size_t>(s);
      if (!(std::fabs(start_.Radius[k]) <= kCellRadius)) {
        At(s).Grid = kWild;
        always_.push_back(s);
        continue;
      }
      if (!std::isfinite(start_.X[k]) || !std::isfinite(start_.Y[k])) continue;
      At(s).Grid = 0;
      sum += start_.Radius[k];
      ++members;
    }
    const double mean = members > 0 ? sum / members : 0;
    stray_ = std::max(1.0, mean / 6);
    for (auto& list : members_) list.clear();
    for (int32_t s = 0; s < count; ++s) {
      Slot& k = At(s);
      if (k.Grid < 0) continue;
      if (start_.Radius[static_cast<size_t>(s)] > mean) k.Grid = 1;
      members_[k.Grid].push_back(s);
    }
    pairs_.clear();
    const double pad = 2 * stray_;
    for (int g = 0; g < 2; ++g) {
      double largest = 0;
      for (const int32_t s : members_[g])
        largest = std::max(largest, static_cast<double>(start_.Radius[static_cast<size_t>(s)]));
      grids_[g].Build(members_[g], start_, (2 * largest * kReachWiden + pad) * kReachWiden,
                      slots_.size());
      grids_[g].PairsWithin(pad, pairs_);
    }
    for (const int32_t s : members_[1]) {
      const auto k = static_cast<size_t>(s);
      grids_[0].PairsWith(s, start_.X[k], start_.Y[k], start_.Radius[k], pad, pairs_);
    }
    // The pairs by row (counting sort on Lo), each row in increasing Hi.
    rowStart_.assign(slots_.size() + 1, 0);
    for (const SlotPair& p : pairs_) ++rowStart_[static_cast<size_t>(p.Lo) + 1];
    for (size_t k = 1; k < rowStart_.size(); ++k) rowStart_[k] += rowStart_[k - 1];
    rowHi_.resize(pairs_.size());
    fill_.assign(rowStart_.begin(), rowStart_.end() - 1);
    for (const SlotPair& p : pairs_)
      rowHi_[static_cast<size_t>(fill_[static_cast<size_t>(p.Lo)]++)] = p.Hi;
    for (size_t k = 0; k + 1 < rowStart_.size(); ++k)
      SortSlots(rowHi_.data() + rowStart_[k], rowHi_.data() + rowStart_[k + 1]);
  }

  // Candidates b > after for slot a from where it is now: unstrayed members near enough at
  // their starts, movers near enough where they are.
  void Query(int32_t a, int32_t after) {
    const Slot& k = At(a);
    found_.clear();
    qx_ = k.X;
    qy_ = k.Y;
    for (const ContactGrid& g : grids_) {
      const double reach = std::max(0.0, (k.Radius + g.Radius()) * kReachWiden);
      g.Near(qx_, qy_, reach + 2 * stray_, after, found_);
      g.MoversNear(qx_, qy_, reach + stray_, after, found_);
    }
    SortSlots(found_.data(), found_.data() + found_.size());
  }
  // The movers b > a that may touch a while it stays within stray_ of its start.
  void StrayedNear(int32_t a) {
    const Slot& k = At(a);
    found_.clear();
    for (const ContactGrid& g : grids_) {
      if (g.Movers() == 0) continue;
      const double reach = std::max(0.0, (k.Radius + g.Radius()) * kReachWiden);
      g.MoversNear(start_.X[static_cast<size_t>(a)], start_.Y[static_cast<size_t>(a)],
                   reach + stray_, a, found_);
    }
    SortSlots(found_.data(), found_.data() + found_.size());
  }
  bool Far(double v, double from) const { return !(std::fabs(v - from) < stray_); }

  void Row(int32_t a) {
    const Slot& k = At(a);
    // Rows from a on ask only for movers after them: a is a mover no more, and its own pushes
    // below list it nowhere.
    row_ = a;
    if (k.Strayed) grids_[k.Grid].Retire(a);
    attackers_.clear();
    for (int32_t b = links_[static_cast<size_t>(a)].Head; b != kNone;
         b = links_[static_cast<size_t>(b)].Next) {
      attackers_.push_back(b);
    }
    SortSlots(attackers_.data(), attackers_.data() + attackers_.size());
    const auto count = static_cast<int32_t>(slots_.size());
    if (k.Grid == kWild) {
      for (int32_t b = a + 1; b < count; ++b) Visit(a, b);
      return;
    }
    const bool gridded = k.Grid >= 0;
    bool listed = gridded && !k.Strayed;
    found_.clear();
    if (gridded) {
      if (listed) {
        StrayedNear(a);
      } else {
        Query(a, a);
      }
    }
    const int32_t* list = rowHi_.data() + rowStart_[static_cast<size_t>(a)];
    const int32_t* listEnd = rowHi_.data() + rowStart_[static_cast<size_t>(a) + 1];
    size_t f = 0;
    size_t w = 0;
    size_t t = 0;
    int32_t current = a;
    for (;;) {
      if (listed && k.Strayed) {
        listed = false;
        Query(a, current);
        f = 0;
      } else if (gridded && !listed && (Far(k.X, qx_) || Far(k.Y, qy_))) {
        Query(a, current);
        f = 0;
      }
      int32_t b = count;
      if (listed) {
        while (list < listEnd && *list <= current) ++list;
        if (list < listEnd) b = *list;
      }
      while (f < found_.size() && found_[f] <= current) ++f;
      while (w < always_.size() && always_[w] <= current) ++w;
      while (t < attackers_.size() && attackers_[t] <= current) ++t;
      if (f < found_.size()) b = std::min(b, found_[f]);
      if (w < always_.size()) b = std::min(b, always_[w]);
      if (t < attackers_.size()) b = std::min(b, attackers_[t]);
      if (k.Target > current) b = std::min(b, k.Target);
      if (b == count) return;
      Visit(a, b);
      current = b;
    }
  }

  // After a push: what moved goes back to its object at the end; a slot that has strayed
  // from its start is listed among the movers where it is now.
  void Track(int32_t s) {
    Slot& k = At(s);
    k.Moved = true;
    if (k.Grid < 0) return;
    if (!k.Strayed) {
      const auto i = static_cast<size_t>(s);
      if (!Far(k.X, start_.X[i]) && !Far(k.Y, start_.Y[i])) return;
      k.Strayed = true;
    }
    if (s != row_) grids_[k.Grid].Move(s, k.X, k.Y);
  }

  // OnContact of s with o, from the kept facts when they show that nothing can happen.
  void React(int32_t s, int32_t o) {
    const Slot& k = At(s);
    const Slot& other = At(o);
    if (k.Follow != other.Index && (k.Busy || k.Side == other.Side)) return;
    if (ContactIn(*world_, k.Index, other.Index, [this](int32_t i) { return Depot(i); })) Reread(s);
  }
  // NearestDepot from the packed positions.
  int32_t Depot(int32_t s) const {
    const Slot& k = At(slotOf_[static_cast<size_t>(s)]);
    int32_t best = -1;
    float bestQ = kDepotReach;
    for (const int32_t j : bases_) {
      const TObyekt& o = world_->Objects[static_cast<size_t>(j)];
      if (o.Side != k.Side) continue;
      const int32_t slot = slotOf_[static_cast<size_t>(j)];
      const float ox = slot != kNone ? At(slot).X : o.X;
      const float oy = slot != kNone ? At(slot).Y : o.Y;
      const auto q = static_cast<float>(SumOfSquares(ox - k.X, oy - k.Y));
      if (q < bestQ) {
        best = j;
        bestQ = q;
      }
    }
    return best;
  }

  void Visit(int32_t a, int32_t b) {
    // SeparatePair's own exact shortcut first: most pairs cost no call.
    Slot& pa = At(a);
    Slot& pb = At(b);
    const double reach = static_cast<double>(pa.Radius) + pb.Radius;
    const bool apart = std::fabs(pa.X - pb.X) >= reach || std::fabs(pa.Y - pb.Y) >= reach;
    if (!apart &&
        SeparatePair(pa.X, pa.Y, pb.X, pb.Y, pa.Movable, pa.Radius, pb.Radius, pb.Movable)) {
      if (pa.Movable) Track(a);
      if (pb.Movable) Track(b);
      React(a, b);
      React(b, a);
      return;
    }
    if (pa.Target == b) {
      OnApart(*world_, pa.Index, pb.Index);
      Reread(a);
    }
    if (pb.Target == a) {
      OnApart(*world_, pb.Index, pa.Index);
      Reread(b);
    }
  }

  World* world_ = nullptr;
  std::vector<int32_t> slotOf_;  // per object: its slot, kNone when dead
  std::vector<int32_t> bases_;   // every object of kind 1, dead ones too, in index order
  std::vector<Slot> slots_;
  std::vector<Links> links_;     // per slot
  Circles start_;                // per slot: position at the start of the pass, radius
  std::vector<int32_t> aims_;    // per slot: the object Thought1 attacks at the start
  std::vector<int32_t> always_;  // wild slots, in increasing order
  // The cells and the listed pairs.
  double stray_ = 1;
  std::vector<int32_t> members_[2];
  ContactGrid grids_[2];
  std::vector<SlotPair> pairs_;
  std::vector<int32_t> rowStart_, rowHi_, fill_;
  std::vector<int32_t> found_, attackers_;
  double qx_ = 0, qy_ = 0;  // where a strayed row last asked the grids
  int32_t row_ = kNone;     // the row being visited
};

}  // namespace

void ContactPass(World& world) {
  // The buffers are kept from pass to pass, one set per thread.
  static thread_local Contacts contacts;
  contacts.Run(world);
}

void OnContact(World& world, int32_t s, int32_t o) {
  ContactIn(world, s, o, [&world](int32_t i) { return NearestDepot(world, i); });
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
