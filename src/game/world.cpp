#include "game/world.h"

#include "util/numtext.h"

const TOpisan* FindType(const World& world, int32_t rassa, int32_t kind) {
  if (rassa < 0 || static_cast<size_t>(rassa) >= world.Catalogue.size()) return nullptr;
  const auto& types = world.Catalogue[static_cast<size_t>(rassa)].Types;
  if (kind < 0 || static_cast<size_t>(kind) >= types.size()) return nullptr;
  return &types[static_cast<size_t>(kind)];
}

const TOpisan* TypeOf(const World& world, const TObyekt& object) {
  return FindType(world, object.Rassa, object.Kind);
}

bool SpawnObject(World& world, int32_t rassa, int32_t kind, int32_t side, float x, float y,
                 float angle) {
  // A type that does not exist spawns nothing: no object without a type ever enters the world.
  const TOpisan* type = FindType(world, rassa, kind);
  if (type == nullptr) return false;
  TObyekt& o = world.Objects.emplace_back();
  o.Rassa = rassa;
  o.Kind = kind;
  o.Side = side;
  o.X = x;
  o.Y = y;
  o.Angle = angle;
  o.Energy.reserve(type->Energies.size());
  for (const TEnergia& e : type->Energies) o.Energy.push_back(e.Value);
  o.Cargo.assign(type->Mining.size(), 0.0f);
  if (type->IsResource) o.Cargo.assign(1, type->ResourceAmount);
  return true;
}

IntPoint BuildSiteNear(Random& rng, const TObyekt& object) {
  const uint32_t r1 = rng.Next(25);
  const uint32_t r2 = rng.Next(50);
  const uint32_t r3 = rng.Next(25);
  const uint32_t r4 = rng.Next(50);
  // Sums in double, exact before the rounding.
  return {RoundHalfEven(static_cast<double>(object.X) + r1 - r2),
          RoundHalfEven(static_cast<double>(object.Y) + r3 - r4)};
}

void CreateTestLevel(World& world) {
  world.Sides[0].Money = 570;
  world.Sides[1].Money = 570;
  SpawnObject(world, 0, kWorkerKind, 0, 0, 0, 0);
  SpawnObject(world, 1, kWorkerKind, 1, 0, 0, 0);
  SpawnObject(world, 0, kDepositKind, kNeutralSide, 0, 0, 0);
  SpawnObject(world, 0, kDepositKind, kNeutralSide, 0, -200, 0);
  // Move the workers after spawning, by index; the four spawns succeed on validated data.
  if (world.Objects.size() >= 2) {
    world.Objects[0].X = 200;
    world.Objects[0].Y = 200;
    world.Objects[1].X = -200;
    world.Objects[1].Y = -200;
  }
}
