// The world: catalogue, live objects and the sides' treasuries.
// Errors in game: loading throws LoadError (file and line in its fields) or, checking,
// records every problem in DataSources; the rules never throw and never report: an order
// that cannot be carried out (bad number, index outside an array) is ignored for the frame.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <vector>

#include "game/catalogue.h"
#include "util/random.h"
#include "util/vec2d.h"

// What an object is doing; selects its animation.
enum ActionCode : int32_t {
  kActionIdle = -1,
  kActionWalk = 0,
  kActionWork = 1,  // attacking or building
  kActionDying = 2,
  kActionWalkLoaded = 3,
  kActionHidden = 555,  // inside a deposit, mining
};

constexpr int32_t kNeutralSide = 555;
constexpr int32_t kWorkerKind = 0;
constexpr int32_t kBaseKind = 1;
constexpr int32_t kDepositKind = 2;  // in race 0

struct TObyekt {
  int32_t Rassa = 0;
  int32_t Kind = 0;
  int32_t Side = 0;
  std::vector<float> Energy;  // Energy[0] is health
  std::vector<float> Cargo;
  float X = 0;  // world units
  float Y = 0;
  float Angle = 0;  // degrees
  float Frame = 0;  // animation counter, 0.1 per drawn frame
  int32_t Action = 0;
  int32_t AttackIndex = 0;
  std::string Thought1;  // current order
  std::string Thought2;  // next order
  int32_t BuildProgress = 0;
  bool Selected = false;
};

struct TSide {
  float Money = 0;
};

// The ground square in tiles of 32 units; 21 runs from tile -10 to tile 10.
struct GroundArea {
  int32_t Columns = 21;
  int32_t Rows = 21;
};

// Where the units a building finishes walk to; set by a player, absent until then.
struct RallyPoint {
  int32_t Object = 0;  // the building
  int32_t X = 0;       // world units
  int32_t Y = 0;
  bool operator==(const RallyPoint&) const = default;
};

// What a level's mission decided and shows. No field table lists it: the hash counts only
// what the mission did to objects and treasuries.
struct MissionNews {
  bool Referee = false;  // a mission runs: only its verdict ends the match
  bool Decided = false;  // the mission gave its verdict
  int32_t Winner = -1;   // then: the winning side, or -1 for a draw
  std::string Banner;    // UTF-8; empty: nothing to show
};

struct World {
  std::vector<TRassa> Catalogue;
  std::vector<TObyekt> Objects;
  std::array<TSide, 4> Sides{};
  uint32_t GroundTexture = 0;
  GroundArea Ground;                // the level's; only drawing reads it
  Random Rng;                       // the shared generator
  std::vector<RallyPoint> Rallies;  // in the order of their buildings
  MissionNews Mission;
};

// The object's type, or nullptr when its race or type index does not exist.
const TOpisan* TypeOf(const World& world, const TObyekt& object);
const TOpisan* FindType(const World& world, int32_t rassa, int32_t kind);

// Alive while Energy[0] > 0; an object without any energy entry counts as dead.
inline bool IsAlive(const TObyekt& object) {
  return !object.Energy.empty() && object.Energy[0] > 0;
}

// Cargo[0], or 0 for an object that carries nothing.
inline float CargoOf(const TObyekt& object) {
  return object.Cargo.empty() ? 0.0f : object.Cargo[0];
}

// True when the side indexes Sides (neutral 555 and stray values do not).
inline bool IsPlayerSide(int32_t side) {
  return side >= 0 && side < 4;
}

// dx² + dy² from `from` to `o`, the sum in double stored as a single.
inline float SquaredDistance(const TObyekt& from, const TObyekt& o) {
  return static_cast<float>(SumOfSquares(o.X - from.X, o.Y - from.Y));
}

// The index of the object nearest to `from` among the listed indices that `accept` takes,
// closer than the squared distance `reach` (dx² + dy² as a single), lowest index on ties; -1
// when none. The indices must ascend and index Objects.
template <typename Indices, typename Accept>
int32_t NearestObjectAmong(const World& world, const TObyekt& from, float reach,
                           const Indices& among, Accept accept) {
  int32_t best = -1;
  float bestQ = reach;
  for (const int32_t j : among) {
    const TObyekt& o = world.Objects[static_cast<size_t>(j)];
    if (!accept(o)) continue;
    const float q = SquaredDistance(from, o);
    if (q < bestQ) {
      best = j;
      bestQ = q;
    }
  }
  return best;
}

// The indices 0 .. Count - 1 as a range (clang's fuzz builds cannot take std::views::iota
// with this standard library).
struct AllIndices {
  int32_t Count = 0;
  struct Iterator {
    int32_t I;
    int32_t operator*() const { return I; }
    Iterator& operator++() {
      ++I;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return I != other.I; }
  };
  Iterator begin() const { return {0}; }
  Iterator end() const { return {Count}; }
};

// The same search over every object.
template <typename Accept>
int32_t NearestObject(const World& world, const TObyekt& from, float reach, Accept accept) {
  const AllIndices all{static_cast<int32_t>(world.Objects.size())};
  return NearestObjectAmong(world, from, reach, all, accept);
}

// True when i indexes Objects.
inline bool IsObjectIndex(const World& world, int32_t i) {
  return i >= 0 && static_cast<size_t>(i) < world.Objects.size();
}
// Object i of a checked index.
inline TObyekt& ObjectAt(World& world, int32_t i) {
  assert(IsObjectIndex(world, i));
  return world.Objects[static_cast<size_t>(i)];
}
inline const TObyekt& ObjectAt(const World& world, int32_t i) {
  assert(IsObjectIndex(world, i));
  return world.Objects[static_cast<size_t>(i)];
}
// The treasury of a checked player side (IsPlayerSide).
inline TSide& SideAt(World& world, int32_t side) {
  assert(IsPlayerSide(side));
  return world.Sides[static_cast<size_t>(side)];
}

// Appends one object of the given type. Returns false, appending nothing, when the race or
// type does not exist.
bool SpawnObject(World& world, int32_t rassa, int32_t kind, int32_t side, float x, float y,
                 float angle);

// A point in whole world units.
struct IntPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

// A build site near an object: integers nearest (X + r1 - r2, Y + r3 - r4), halves to even,
// with r1, r3 in 0..24 and r2, r4 in 0..49 drawn from the generator in that order.
IntPoint BuildSiteNear(Random& rng, const TObyekt& object);

// The fixed starting position: two workers, two deposits, 570 for sides 0 and 1.
void CreateTestLevel(World& world);
