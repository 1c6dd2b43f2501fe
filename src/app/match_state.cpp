#include "app/match_state.h"

#include "game/match_rule.h"
#include "util/numtext.h"
#include "util/translate.h"

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
    text += Tr("banner", "Side %1: workers %2, bases %3, $%4",
               {IntToStr(static_cast<int64_t>(i)), IntToStr(s.Workers), IntToStr(s.Bases),
                IntToStr(s.Money)});
  }
  text += "   " + speed;
  if (paused) text += Tr("banner", ", paused");
  if (watch.winner() >= 0) {
    text += "   " + Tr("banner", "Side %1 won at frame %2",
                       {IntToStr(watch.winner()), IntToStr(static_cast<int64_t>(watch.frame()))});
  }
  return text;
}
