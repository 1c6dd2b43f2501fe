#include "app/match_state.h"

#include "util/numtext.h"
#include "util/translate.h"

std::array<SideTally, 2> TallySides(const World& world) {
  std::array<SideTally, 2> sides{};
  for (const TObyekt& o : world.Objects) {
    if (!IsAlive(o) || o.Side < 0 || o.Side > 1) continue;
    SideTally& s = sides[static_cast<size_t>(o.Side)];
    if (o.Kind == 0) ++s.Workers;
    if (o.Kind == 1) ++s.Bases;
  }
  for (size_t i = 0; i < sides.size(); ++i) sides[i].Money = RoundHalfEven(world.Sides[i].Money);
  return sides;
}

void MatchWatch::Update(const World& world, uint64_t frame) {
  sides_ = TallySides(world);
  if (winner_ >= 0) return;
  auto left = [&](size_t side) { return sides_[side].Workers + sides_[side].Bases > 0; };
  if (left(0) != left(1)) {
    winner_ = left(0) ? 0 : 1;
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
