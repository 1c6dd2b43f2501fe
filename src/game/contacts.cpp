#include "game/contacts.h"

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

void ContactPass(World& world) {
  // Liveness cannot change during the pass (it only moves objects and rewrites thoughts,
  // cargo and money), so the live objects are gathered once and only their pairs visited.
  // OnContact and OnApart rewrite only the reacting object, and OnApart acts only on an
  // object attacking the other one, so each object's attack target is kept here and
  // refreshed after every reaction of that object; apart pairs then cost no text scan.
  struct Live {
    int32_t Index;
    Circle Shape;
    int32_t Target;
  };
  std::vector<Live> live;
  live.reserve(world.Objects.size());
  for (size_t k = 0; k < world.Objects.size(); ++k) {
    const TObyekt& o = world.Objects[k];
    if (IsAlive(o)) {
      live.push_back({static_cast<int32_t>(k), CircleOf(world, o), AttackTarget(o.Thought1)});
    }
  }
  auto refresh = [&world](Live& l) { l.Target = AttackTarget(ObjectAt(world, l.Index).Thought1); };
  const size_t count = live.size();
  for (size_t a = 0; a < count; ++a) {
    Live& la = live[a];
    for (size_t b = a + 1; b < count; ++b) {
      Live& lb = live[b];
      TObyekt& oa = ObjectAt(world, la.Index);
      TObyekt& ob = ObjectAt(world, lb.Index);
      if (SeparatePair(oa.X, oa.Y, ob.X, ob.Y, la.Shape.Speeds, la.Shape.Radius, lb.Shape.Radius,
                       lb.Shape.Speeds)) {
        OnContact(world, la.Index, lb.Index);
        OnContact(world, lb.Index, la.Index);
        refresh(la);
        refresh(lb);
        continue;
      }
      if (la.Target == lb.Index) {
        OnApart(world, la.Index, lb.Index);
        refresh(la);
      }
      if (lb.Target == la.Index) {
        OnApart(world, lb.Index, la.Index);
        refresh(lb);
      }
    }
  }
}

void OnContact(World& world, int32_t s, int32_t o) {
  if (!IsObjectIndex(world, s) || !IsObjectIndex(world, o)) return;
  TObyekt& self = ObjectAt(world, s);
  const TObyekt& other = ObjectAt(world, o);
  if (OrderTarget(self.Thought1, Verb::Idtiza) == o) {
    self.Thought1 = std::move(self.Thought2);
    self.Thought2.clear();
    // Only sides 0..3 have a treasury; an empty Cargo delivers nothing.
    if (other.Kind == kBaseKind && self.Side == other.Side && IsPlayerSide(self.Side) &&
        !self.Cargo.empty()) {
      SideAt(world, self.Side).Money += self.Cargo[0];
      self.Cargo[0] = 0;
    }
  }
  if (!OrderVerb(self.Thought1).empty() || self.Side == other.Side) return;
  const TOpisan* otherType = TypeOf(world, other);
  // An object without a type is not engaged.
  if (otherType == nullptr) return;
  if (!otherType->IsResource) {
    self.Thought1 = AttackOrder(o);
    self.AttackIndex = 0;
  } else if (CargoOf(self) == 0) {
    // An empty Cargo counts as carrying 0.
    self.Thought1 = MineOrder(o);
    const int32_t depot = NearestDepot(world, s);
    if (depot != -1) self.Thought2 = FollowOrder(depot);
  }
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
