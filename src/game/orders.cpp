#include "game/orders.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

#include "game/rally.h"
#include "util/numtext.h"
#include "util/prefetch.h"
#include "util/vec2d.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kRadToDeg = 180.0 / kPi;
constexpr float kTurnStep = 5;       // degrees per frame
constexpr float kTurnBeyond = 5;     // degrees of deviation that make a turn
constexpr double kMiningStep = 0.1;  // ore per frame

// The capability each verb needs, indexed by Verb: the list of the type that must not be empty.
using Capability = bool (*)(const TOpisan&);
const Capability kCapabilities[] = {
    [](const TOpisan& t) { return !t.Speeds.empty(); },
    [](const TOpisan& t) { return !t.Speeds.empty(); },
    [](const TOpisan& t) { return !t.Attacks.empty(); },
    [](const TOpisan& t) { return !t.Buildables.empty(); },
    [](const TOpisan& t) { return !t.Mining.empty(); },
};
static_assert(std::size(kCapabilities) == kVerbWords.size());

// False when the type lacks what the verb needs; an object without a type can do nothing.
bool Capable(const TOpisan* type, Verb verb) {
  return type != nullptr && kCapabilities[static_cast<size_t>(verb)](*type);
}

int32_t WalkAction(const TObyekt& o) {
  return CargoOf(o) > 0 ? kActionWalkLoaded : kActionWalk;
}

void Walk(World& world, int32_t i, std::string_view arg) {
  int32_t x = 0;
  int32_t y = 0;
  // A malformed point ignores the order for this frame, Action included.
  if (!ArgNumber(arg, 1, x) || !ArgNumber(arg, 2, y)) return;
  TObyekt& o = ObjectAt(world, i);
  o.Action = WalkAction(o);
  SteerTowards(world, i, static_cast<float>(x), static_cast<float>(y));
}

// The object a one-object order names: false when malformed or outside Objects.
bool NamedIndex(const World& world, const ReadOrder& read, int32_t& index) {
  if (!read.Numbered || !IsObjectIndex(world, read.Number)) return false;
  index = read.Number;
  return true;
}

void Follow(World& world, int32_t i, const ReadOrder& read) {
  int32_t n = 0;
  // A malformed or unknown object index ignores the order for this frame.
  if (!NamedIndex(world, read, n)) return;
  TObyekt& o = ObjectAt(world, i);
  o.Action = WalkAction(o);
  const TObyekt& target = ObjectAt(world, n);
  SteerTowards(world, i, target.X, target.Y);
}

void Attack(World& world, int32_t i, const TOpisan& type, const ReadOrder& read) {
  int32_t n = 0;
  // An unknown target or an attack entry outside the type's list ignores the order.
  if (!NamedIndex(world, read, n)) return;
  TObyekt& attacker = ObjectAt(world, i);
  if (attacker.AttackIndex < 0 ||
      static_cast<size_t>(attacker.AttackIndex) >= type.Attacks.size()) {
    return;
  }
  attacker.Action = kActionWork;
  TObyekt& target = ObjectAt(world, n);
  // A target without health takes no damage and counts as dead below.
  if (!target.Energy.empty()) {
    target.Energy[0] -= type.Attacks[static_cast<size_t>(attacker.AttackIndex)].Strength;
  }
  target.Thought2 = target.Thought1;
  target.Thought1 = AttackOrder(i);
  if (!IsAlive(target)) attacker.Thought1.clear();
}

void Build(World& world, int32_t i, std::string_view arg) {
  int32_t t = 0;
  int32_t x = 0;
  int32_t y = 0;
  if (!ArgNumber(arg, 1, t) || !ArgNumber(arg, 2, x) || !ArgNumber(arg, 3, y)) return;
  TObyekt& builder = ObjectAt(world, i);
  // A type outside the builder's race, or one without a price, ignores the order.
  const TOpisan* built = FindType(world, builder.Rassa, t);
  if (built == nullptr || built->PriceResources.empty()) return;
  builder.Action = kActionWork;
  // Only sides 0..3 have a treasury; any other side builds without paying.
  if (IsPlayerSide(builder.Side)) {
    TSide& side = SideAt(world, builder.Side);
    // The progress saturates: at its largest it takes no more payment.
    if (side.Money > 0 && builder.BuildProgress < std::numeric_limits<int32_t>::max()) {
      builder.BuildProgress += 1;
      side.Money -= 1;
    }
  }
  if (static_cast<float>(builder.BuildProgress) >= built->PriceResources[0].Amount) {
    builder.BuildProgress = 0;
    builder.Thought1.clear();
    const int32_t rassa = builder.Rassa;
    const int32_t side = builder.Side;
    // The spawn may move Objects: no reference into it is used after this line.
    if (SpawnObject(world, rassa, t, side, static_cast<float>(x), static_cast<float>(y), 0))
      SendToRally(world, i, static_cast<int32_t>(world.Objects.size()) - 1);
  }
}

void Mine(World& world, int32_t i, const TOpisan& type, const ReadOrder& read) {
  int32_t n = 0;
  if (!NamedIndex(world, read, n)) return;
  TObyekt& miner = ObjectAt(world, i);
  miner.Action = kActionHidden;
  TObyekt& deposit = ObjectAt(world, n);
  // An empty Cargo on either side counts as holding 0: nothing moves.
  if (!deposit.Cargo.empty() && deposit.Cargo[0] > 0 && !miner.Cargo.empty()) {
    // Sums taken in double and stored as singles, like the fields.
    deposit.Cargo[0] = static_cast<float>(deposit.Cargo[0] - kMiningStep);
    miner.Cargo[0] = static_cast<float>(miner.Cargo[0] + kMiningStep);
  }
  // The capability test has made sure the type has a mining entry.
  if (CargoOf(miner) >= type.Mining[0].Capacity) {
    miner.Thought1 = miner.Thought2;
    miner.Thought2 = FollowOrder(read.Words.Arg);
  }
}

// The object an order of the form "idtiza n", "atakovat n" or "dobicha n" names, or -1: only a
// guess of what the order will read, for fetching it ahead.
int32_t NamedObject(const std::string& order) {
  const size_t space = order.find(' ');
  const bool names =
      (space == 6 && order[0] == 'i') || space == 8 || (space == 7 && order[0] == 'd');
  if (!names) return -1;
  int32_t n = 0;
  size_t k = space + 1;
  for (; k < order.size() && k - space <= 9 && order[k] >= '0' && order[k] <= '9'; ++k) {
    n = n * 10 + (order[k] - '0');
  }
  return k == space + 1 ? -1 : n;
}

// Fetches ahead what the orders of objects k + kAhead (the object named) and k + kAhead / 2 (its
// energy and cargo) will read; the named objects wait in `named`, by object index modulo 16.
constexpr size_t kAhead = 8;
constexpr size_t kFetchFrom = 4096;  // objects; fewer stay in the cache anyway
void FetchAhead(const World& world, size_t k, int32_t (&named)[16]) {
  const size_t count = world.Objects.size();
  const size_t j = k + kAhead;
  const int32_t n = j < count ? NamedObject(world.Objects[j].Thought1) : -1;
  named[j % 16] = IsObjectIndex(world, n) ? n : -1;
  if (named[j % 16] >= 0) {
    const char* at = reinterpret_cast<const char*>(&world.Objects[static_cast<size_t>(n)]);
    Prefetch(at);
    Prefetch(at + 64);
    Prefetch(at + sizeof(TObyekt) - 1);
  }
  if (named[(k + kAhead / 2) % 16] >= 0) {
    const TObyekt& o = world.Objects[static_cast<size_t>(named[(k + kAhead / 2) % 16])];
    Prefetch(o.Energy.data());
    Prefetch(o.Cargo.data());
  }
}

}  // namespace

bool ParseObjectIndex(const World& world, std::string_view text, int32_t& index) {
  int32_t value = 0;
  if (!TryStrToInt(text, value)) return false;
  if (!IsObjectIndex(world, value)) return false;
  index = value;
  return true;
}

void ExecuteOrders(World& world) {
  const size_t count = world.Objects.size();
  int32_t named[16];
  std::fill(std::begin(named), std::end(named), -1);
  for (size_t k = 0; k < count; ++k) {
    if (count >= kFetchFrom) FetchAhead(world, k, named);
    const auto i = static_cast<int32_t>(k);
    TObyekt& o = world.Objects[k];
    if (!IsAlive(o)) continue;
    // Copies: the order may rewrite Thought1 while it runs.
    std::string order = o.Thought1;
    const ReadOrder read = ReadOrderText(order);
    if (o.Angle > 360) o.Angle = 1;
    if (o.Angle < 0) o.Angle = 359;
    if (read.Words.Verb.empty()) o.Action = kActionIdle;
    if (o.Thought1.empty() && !o.Thought2.empty()) {
      o.Thought1 = std::move(o.Thought2);
      o.Thought2.clear();
    }
    const TOpisan* type = TypeOf(world, o);
    // Any other verb does nothing.
    const std::optional<Verb> known = read.Known;
    if (!known || !Capable(type, *known)) continue;
    switch (*known) {
      case Verb::Idti:
        Walk(world, i, read.Words.Arg);
        break;
      case Verb::Idtiza:
        Follow(world, i, read);
        break;
      case Verb::Atakovat:
        Attack(world, i, *type, read);
        break;
      case Verb::Stroyka:
        Build(world, i, read.Words.Arg);
        break;
      case Verb::Dobicha:
        Mine(world, i, *type, read);
        break;
    }
  }
}

bool TurnsAt(float dot) {
  // Outside [-1, 1] (or NaN) acos gives NaN and the comparison fails: no turn.
  if (!(dot >= -1.0f && dot <= 1.0f)) return false;
  // Away from the cosine of 5 degrees the cosine itself decides: a step of 1e-5 in it moves
  // the deviation by more than 6e-3 degrees, far beyond any rounding of acos or of the float.
  constexpr double kCos5 = 0.99619469809174553;
  constexpr double kBand = 1e-5;
  if (dot < kCos5 - kBand) return true;
  if (dot > kCos5 + kBand) return false;
  const auto dev = static_cast<float>(std::acos(static_cast<double>(dot)) * kRadToDeg);
  return dev > kTurnBeyond;
}

void SteerTowards(World& world, int32_t index, float x, float y) {
  if (!IsObjectIndex(world, index)) return;
  TObyekt& o = ObjectAt(world, index);
  const TOpisan* type = TypeOf(world, o);
  // An object without a type has no radius: it never arrives.
  const float radius = type != nullptr ? type->Radius : 0.0f;
  float dx = x - o.X;
  float dy = y - o.Y;
  const float dist = Length(dx, dy);
  if (dist < radius) o.Thought1.clear();
  if (dist > 0) {
    dx = dx / dist;
    dy = dy / dist;
  }
  const double rad = static_cast<double>(o.Angle) * kDegToRad;
  double cosine = std::cos(rad);
  double sine = std::sin(rad);
  const auto hx = static_cast<float>(cosine);
  const auto hy = static_cast<float>(sine);
  const auto dot = static_cast<float>(static_cast<double>(dx) * hx + static_cast<double>(dy) * hy);
  if (TurnsAt(dot)) {
    o.Angle += kTurnStep;
    // Without a turn the heading is the angle above.
    const double heading = static_cast<double>(o.Angle) * kDegToRad;
    cosine = std::cos(heading);
    sine = std::sin(heading);
  }
  o.X = static_cast<float>(o.X + cosine);
  o.Y = static_cast<float>(o.Y + sine);
}
