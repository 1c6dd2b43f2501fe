#include "app/match_stats.h"

#include <algorithm>
#include <ostream>

#include "util/numtext.h"

namespace {

bool Playing(int32_t side) {
  return side == 0 || side == 1;
}

}  // namespace

bool IsBuildingType(const TOpisan& type) {
  return type.Speeds.empty() || !(type.Speeds[0] > 0);
}

TypeTotals& MatchStats::TotalsOf(const TObyekt& o) {
  auto at =
      std::lower_bound(types_.begin(), types_.end(), o, [](const TypeTotals& t, const TObyekt& x) {
        return t.Rassa != x.Rassa ? t.Rassa < x.Rassa : t.Kind < x.Kind;
      });
  if (at == types_.end() || at->Rassa != o.Rassa || at->Kind != o.Kind)
    at = types_.insert(at, TypeTotals{o.Rassa, o.Kind, {}, {}});
  return *at;
}

void MatchStats::Finished(const TObyekt& o) {
  if (Playing(o.Side)) ++TotalsOf(o).Finished[static_cast<size_t>(o.Side)];
}

void MatchStats::Died(const TObyekt& o) {
  if (!Playing(o.Side)) return;
  ++TotalsOf(o).Lost[static_cast<size_t>(o.Side)];
  ++losses_[static_cast<size_t>(o.Side)];
}

void MatchStats::Delivered(int32_t side, float amount) {
  if (Playing(side)) delivered_[static_cast<size_t>(side)] += amount;
}

void MatchStats::Frame(const World& world, uint64_t frame) {
  if (frame % kFramesPerSample != 0) return;
  std::array<StatsSample, 2> now{};
  for (const TObyekt& o : world.Objects) {
    if (!Playing(o.Side) || !IsAlive(o)) continue;
    StatsSample& s = now[static_cast<size_t>(o.Side)];
    const TOpisan* type = TypeOf(world, o);
    if (o.Kind == kWorkerKind) ++s.Workers;
    if (type && IsBuildingType(*type)) {
      ++s.Buildings;
      continue;
    }
    ++s.Units;
    if (type && o.AttackIndex >= 0 && static_cast<size_t>(o.AttackIndex) < type->Attacks.size())
      s.Army += type->Attacks[static_cast<size_t>(o.AttackIndex)].Strength * o.Energy[0];
  }
  for (size_t side = 0; side < 2; ++side) {
    StatsSample& s = now[side];
    s.Money = side < world.Sides.size() ? world.Sides[side].Money : 0;
    s.Delivered = delivered_[side];
    s.Losses = losses_[side];
    s.Kills = losses_[1 - side];
  }
  // Samples beyond this copy's are another copy's future: this one goes on with its own.
  if (series_->size() != length_) {
    series_ = std::make_shared<std::vector<std::array<StatsSample, 2>>>(
        series_->begin(), series_->begin() + static_cast<std::ptrdiff_t>(length_));
  }
  series_->push_back(now);
  ++length_;
}

void WriteStatsCsv(const MatchStats& stats, std::ostream& out) {
  out << "second,side,money,delivered,workers,units,buildings,army,kills,losses\n";
  for (size_t i = 0; i < stats.samples(); ++i) {
    for (size_t side = 0; side < 2; ++side) {
      const StatsSample& s = stats.sample(i)[side];
      out << i << ',' << side << ',' << FloatToShortest(s.Money) << ','
          << FloatToShortest(s.Delivered) << ',' << s.Workers << ',' << s.Units << ','
          << s.Buildings << ',' << FloatToShortest(s.Army) << ',' << s.Kills << ',' << s.Losses
          << '\n';
    }
  }
}
