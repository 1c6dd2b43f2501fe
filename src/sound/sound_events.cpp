#include "sound/sound_events.h"

#include <algorithm>
#include <string>

#include "game/order_language.h"
#include "util/cp1251.h"

namespace {

bool Attacking(const TObyekt& o) {
  return o.Action == kActionWork && OrderIs(o.Thought1, Verb::Atakovat);
}

// A cutting attack rings; any other blow thuds.
SoundKind BlowOf(const World& world, const TObyekt& o) {
  static const std::string cutting = ToCp1251("рубящий");
  const TOpisan* type = TypeOf(world, o);
  if (type != nullptr && o.AttackIndex >= 0 &&
      static_cast<size_t>(o.AttackIndex) < type->Attacks.size() &&
      type->Attacks[static_cast<size_t>(o.AttackIndex)].Param2 == cutting) {
    return SoundKind::BlowCut;
  }
  return SoundKind::BlowCrush;
}

}  // namespace

bool IsBuilding(const World& world, const TObyekt& object) {
  const TOpisan* type = TypeOf(world, object);
  if (type == nullptr) return true;
  for (float s : type->Speeds)
    if (s > 0) return false;
  return true;
}

void EventFinder::Rebase(const World& world, int32_t winner) {
  traces_.resize(world.Objects.size());
  for (size_t i = 0; i < world.Objects.size(); ++i) {
    const TObyekt& o = world.Objects[i];
    traces_[i] = {IsAlive(o), o.Action, o.Frame, CargoOf(o), o.BuildProgress};
  }
  for (size_t s = 0; s < money_.size(); ++s) money_[s] = world.Sides[s].Money;
  winner_ = winner;
}

std::vector<SoundEvent> EventFinder::Frame(const World& world, int32_t winner, int32_t playAs,
                                           const std::vector<int32_t>* selection) {
  std::vector<SoundEvent> events;
  const size_t known = std::min(traces_.size(), world.Objects.size());
  for (size_t i = 0; i < known; ++i) {
    const TObyekt& o = world.Objects[i];
    const Trace& was = traces_[i];
    const bool alive = IsAlive(o);
    if (was.Alive && !alive) {
      events.push_back(
          {IsBuilding(world, o) ? SoundKind::DeathBuilding : SoundKind::DeathUnit, o.X, o.Y});
      continue;
    }
    if (!alive) continue;
    // A blow starts with the attack or when its animation begins again.
    if (Attacking(o) && (was.Action != kActionWork || o.Frame < was.Frame))
      events.push_back({BlowOf(world, o), o.X, o.Y});
    // A unit's first payment for a building; a base's training is heard when it ends.
    if (was.BuildProgress == 0 && o.BuildProgress > 0 && !IsBuilding(world, o))
      events.push_back({SoundKind::BuildBegun, o.X, o.Y});
    if (was.Cargo > 0 && CargoOf(o) == 0 && IsPlayerSide(o.Side) &&
        world.Sides[static_cast<size_t>(o.Side)].Money > money_[static_cast<size_t>(o.Side)])
      events.push_back({SoundKind::Ore, o.X, o.Y});
  }
  for (size_t i = known; i < world.Objects.size(); ++i) {
    const TObyekt& o = world.Objects[i];
    events.push_back({IsBuilding(world, o) ? SoundKind::BuildDone : SoundKind::Trained, o.X, o.Y});
  }
  if (orderPending_) {
    for (size_t i = 0; i < world.Objects.size(); ++i) {
      const TObyekt& o = world.Objects[i];
      const bool selected = selection ? std::binary_search(selection->begin(), selection->end(),
                                                           static_cast<int32_t>(i))
                                      : o.Selected;
      if (!selected || !IsAlive(o) || o.Thought1.empty()) continue;
      events.push_back({o.Rassa == 1 ? SoundKind::AckOrc : SoundKind::AckHuman, o.X, o.Y});
      break;
    }
    orderPending_ = false;
  }
  if (winner_ < 0 && winner >= 0) {
    const bool won = playAs < 0 || playAs == winner;
    events.push_back({won ? SoundKind::Victory : SoundKind::Defeat, 0, 0, false});
  }
  Rebase(world, winner);
  return events;
}
