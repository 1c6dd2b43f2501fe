#include "app/match_state.h"

#include "game/match_rule.h"
#include "util/numtext.h"

std::array<SideTally, 2> TallySides(const World& world) {
  const SideCounts counts = CountSides(world);
  std::array<SideTally, 2> sides{};
  for (size_t i = 0; i < sides.size(); ++i) {
    sides[i].Workers = counts[i].Workers;
    sides[i].Bases = counts[i].Bases;
    sides[i].Money = RoundHalfEven(world.Sides[i].Money);
  }
  return sides;
}

void MatchWatch::Update(const World& world, uint64_t frame) {
  sides_ = TallySides(world);
  if (winner_ >= 0) return;
  SideCounts counts{};
  for (size_t i = 0; i < counts.size(); ++i) counts[i] = {sides_[i].Workers, sides_[i].Bases};
  const MatchOutcome outcome = DecideMatch(counts);
  if (outcome.Winner >= 0) {
    winner_ = outcome.Winner;
    frame_ = frame;
  }
}

std::string MatchBanner(const MatchWatch& watch, const std::string& speed, bool paused) {
  std::string text;
  for (size_t i = 0; i < 2; ++i) {
    const SideTally& s = watch.sides()[i];
    if (i > 0) text += "   ";
    text += "Сторона " + std::to_string(i) + ": рабочих " + IntToStr(s.Workers) + ", баз " +
            IntToStr(s.Bases) + ", $" + IntToStr(s.Money);
  }
  text += "   " + speed;
  if (paused) text += ", пауза";
  if (watch.winner() >= 0) {
    text += "   Победила сторона " + std::to_string(watch.winner()) + " на кадре " +
            std::to_string(watch.frame());
  }
  return text;
}
