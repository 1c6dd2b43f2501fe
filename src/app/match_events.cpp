#include "app/match_events.h"

#include <algorithm>
#include <cstring>

#include "game/match_rule.h"

namespace {

bool IsPlayingSide(int32_t side) {
  return side == 0 || side == 1;
}

}  // namespace

bool MatchObserver::Stillness::operator==(const Stillness& o) const {
  // By bits: a NaN that stays a NaN has not changed.
  return std::memcmp(this, &o, sizeof o) == 0;
}

MatchObserver::Stillness MatchObserver::StillnessOf(const TObyekt& o) {
  Stillness s;
  s.X = o.X;
  s.Y = o.Y;
  s.Angle = o.Angle;
  s.Health = o.Energy.empty() ? 0.0f : o.Energy[0];
  s.Cargo = CargoOf(o);
  s.Build = o.BuildProgress;
  return s;
}

bool MatchObserver::Look(const World& world, uint64_t frame) {
  SideCounts counts{};
  bool changed = world.Objects.size() != seen_;
  alive_.resize(world.Objects.size(), false);
  still_.resize(world.Objects.size());
  for (size_t i = 0; i < world.Objects.size(); ++i) {
    const TObyekt& o = world.Objects[i];
    const bool isNew = i >= seen_;
    const bool alive = IsAlive(o);
    const Stillness now = StillnessOf(o);
    if (frame > 0 && IsPlayingSide(o.Side)) {
      const auto side = static_cast<size_t>(o.Side);
      // A spawn that died within its first frame was a live object too.
      if ((alive_[i] || isNew) && !alive) Mark(result_.FirstDeath[side], frame);
      if (isNew && o.Kind == kBaseKind) Mark(result_.FirstBase[side], frame);
      // Only a delivery lowers a unit's cargo.
      if (!isNew && now.Cargo < still_[i].Cargo) Mark(result_.FirstDelivery[side], frame);
    }
    if (!isNew && !(now == still_[i])) changed = true;
    alive_[i] = alive;
    still_[i] = now;
    CountObject(counts, o);
  }
  seen_ = world.Objects.size();
  for (size_t s = 0; s < world.Sides.size(); ++s) {
    if (std::memcmp(&money_[s], &world.Sides[s].Money, sizeof(float)) != 0) changed = true;
    money_[s] = world.Sides[s].Money;
  }
  quiet_ = changed || frame == 0 ? 0 : quiet_ + 1;
  for (size_t s = 0; s < 2; ++s)
    result_.PeakWorkers[s] = std::max(result_.PeakWorkers[s], counts[s].Workers);
  const MatchOutcome outcome = DecideMatch(counts);
  if (outcome.Winner >= 0) result_.Winner = outcome.Winner;
  if (outcome.Over) {
    result_.End = outcome.Winner >= 0 ? MatchEnd::Win : MatchEnd::BothGone;
    return true;
  }
  if (quiet_ >= kStalemateFrames) {
    result_.End = MatchEnd::Stalemate;
    return true;
  }
  return false;
}
