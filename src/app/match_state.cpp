#include "app/match_state.h"

#include <algorithm>
#include <cstring>

#include "app/texts.h"
#include "game/match_rule.h"
#include "util/cp1251.h"
#include "util/numtext.h"
#include "util/translate.h"

namespace {

bool IsPlayingSide(int32_t side) {
  return side == 0 || side == 1;
}

void Mark(std::optional<uint64_t>& slot, uint64_t frame) {
  if (!slot) slot = frame;
}

// "482 / 482", "-" for a time that never came.
std::string PairText(const std::array<std::optional<uint64_t>, 2>& v) {
  auto one = [](const std::optional<uint64_t>& x) {
    return x ? IntToStr(static_cast<int64_t>(*x)) : std::string("-");
  };
  return one(v[0]) + " / " + one(v[1]);
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
      if ((alive_[i] || isNew) && !alive) {
        Mark(figures_.FirstDeath[side], frame);
        figures_.Stats.Died(o);
      }
      if (isNew) figures_.Stats.Finished(o);
      if (isNew && o.Kind == kBaseKind) Mark(figures_.FirstBase[side], frame);
      // Only a delivery lowers a unit's cargo.
      if (!isNew && now.Cargo < still_[i].Cargo) {
        Mark(figures_.FirstDelivery[side], frame);
        figures_.Stats.Delivered(o.Side, still_[i].Cargo - now.Cargo);
      }
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
  figures_.Stats.Frame(world, frame);
  for (size_t s = 0; s < 2; ++s)
    figures_.PeakWorkers[s] = std::max(figures_.PeakWorkers[s], counts[s].Workers);
  if (world.Mission.Decided) {
    const int32_t end = world.Mission.Winner;
    figures_.Winner = end >= 0 ? std::optional<int>(end) : std::nullopt;
    figures_.End = MatchEnd::Mission;
    return true;
  }
  if (world.Mission.Referee) return false;
  const MatchOutcome outcome = DecideMatch(counts);
  if (outcome.Winner >= 0) figures_.Winner = outcome.Winner;
  if (outcome.Over) {
    figures_.End = outcome.Winner >= 0 ? MatchEnd::Win : MatchEnd::BothGone;
    return true;
  }
  if (quiet_ >= kStalemateFrames) {
    figures_.End = MatchEnd::Stalemate;
    return true;
  }
  return false;
}

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

void MatchWatch::Start(const World& world, uint64_t frame) {
  *this = MatchWatch{};
  start_ = frame;
  started_ = true;
  const bool over = observer_.Look(world, 0);
  sides_ = TallySides(world);
  banner_ = world.Mission.Banner;
  Decide(over, frame);
}

void MatchWatch::Update(const World& world, uint64_t frame) {
  sides_ = TallySides(world);
  banner_ = world.Mission.Banner;
  // Once decided the figures stay those of the deciding frame.
  if (decided_ || frame <= start_) return;
  Decide(observer_.Look(world, frame - start_), frame);
}

void MatchWatch::Decide(bool over, uint64_t frame) {
  const MatchFigures& f = observer_.figures();
  if (!f.Winner && !(over && f.End == MatchEnd::Mission)) return;
  winner_ = f.Winner.value_or(-1);
  decided_ = true;
  frame_ = frame;
}

uint64_t MatchFrames(const MatchWatch& watch) {
  return watch.frame() - std::min(watch.frame(), watch.startFrame());
}

std::string ObserverStrip(const MatchWatch& watch) {
  const MatchObserver* observer = watch.observer();
  if (!observer) return {};
  const MatchStats& stats = observer->figures().Stats;
  std::array<std::string, 2> army, made;
  for (size_t s = 0; s < 2; ++s) {
    int32_t n = 0;
    for (const TypeTotals& t : stats.types()) n += t.Finished[s];
    made[s] = IntToStr(n);
    army[s] =
        IntToStr(RoundHalfEven(stats.samples() ? stats.sample(stats.samples() - 1)[s].Army : 0.0f));
  }
  return Tr("banner", "army %1 / %2, made %3 / %4", {army[0], army[1], made[0], made[1]});
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
  if (!watch.missionBanner().empty()) text += "   " + watch.missionBanner();
  if (watch.decided() && watch.winner() < 0) {
    text += "   " + Tr("banner", "The match is drawn at frame %1",
                       {IntToStr(static_cast<int64_t>(MatchFrames(watch)))});
  } else if (watch.winner() >= 0) {
    text +=
        "   " + Tr("banner", "Side %1 won at frame %2 of the match",
                   {IntToStr(watch.winner()), IntToStr(static_cast<int64_t>(MatchFrames(watch)))});
  }
  return text;
}

std::string MatchEndView::TitleText() const {
  return TitleIsCp1251 ? ToUtf8(Title) : Title;
}

std::string MatchEndView::LinesText() const {
  std::string text;
  for (size_t i = 0; i < Lines.size(); ++i) text += (i > 0 ? "\n" : "") + Lines[i];
  return text;
}

MatchEndView EndOfMatch(const MatchWatch& watch, const World& world, int32_t playAs) {
  MatchEndView view;
  const int32_t winner = watch.winner();
  if (winner < 0) {
    view.Title = CP1251("Ничья");
    view.TitleIsCp1251 = true;
  } else if (playAs == 0 || playAs == 1) {
    view.Title = winner == playAs ? CP1251("Победа") : CP1251("Поражение");
    view.TitleIsCp1251 = true;
  } else {
    view.Title = Tr("match", "Side %1 won", {IntToStr(winner)});
  }
  const MatchFigures figures = watch.observer() ? watch.observer()->figures() : MatchFigures{};
  view.Lines = {
      Tr("match", "Frames of the match: %1", {IntToStr(static_cast<int64_t>(MatchFrames(watch)))}),
      Tr("match", "First base (side 0 / side 1): %1", {PairText(figures.FirstBase)}),
      Tr("match", "First delivery: %1", {PairText(figures.FirstDelivery)}),
      Tr("match", "First death: %1", {PairText(figures.FirstDeath)}),
      Tr("match", "Peak workers: %1 / %2",
         {IntToStr(figures.PeakWorkers[0]), IntToStr(figures.PeakWorkers[1])}),
      Tr("match", "Money: %1 / %2",
         {IntToStr(RoundHalfEven(world.Sides[0].Money)),
          IntToStr(RoundHalfEven(world.Sides[1].Money))}),
  };
  return view;
}
