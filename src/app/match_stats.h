// The match in figures over time: per side, once a second of play, money, ore delivered, live
// workers, units and buildings, army strength, kills and losses; and by type, how many of each
// were finished and lost. Read from the world after each frame; changes nothing in it.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <vector>

#include "game/world.h"

struct StatsSample {
  float Money = 0;
  float Delivered = 0;  // ore brought home since the start
  float Army = 0;       // attack strength x health over live units
  int32_t Workers = 0;
  int32_t Units = 0;  // every live object that moves, workers included
  int32_t Buildings = 0;
  int32_t Kills = 0;  // the other side's losses
  int32_t Losses = 0;
};

struct TypeTotals {
  int32_t Rassa = 0;
  int32_t Kind = 0;
  std::array<int32_t, 2> Finished{};
  std::array<int32_t, 2> Lost{};
};

class MatchStats {
 public:
  // A sample every second of play (100 frames), the first at the level's creation.
  static constexpr uint64_t kFramesPerSample = 100;

  // What an observer saw of one object during a frame.
  void Finished(const TObyekt& o);
  void Died(const TObyekt& o);
  void Delivered(int32_t side, float amount);
  // After frame `frame` (0: the level just created): a sample when one is due.
  void Frame(const World& world, uint64_t frame);

  // Samples 0, 1, ... : the sides at 0 s, 1 s, ...
  size_t samples() const { return length_; }
  const std::array<StatsSample, 2>& sample(size_t i) const { return (*series_)[i]; }
  // Sorted by race, then kind.
  const std::vector<TypeTotals>& types() const { return types_; }
  const std::array<float, 2>& delivered() const { return delivered_; }

 private:
  TypeTotals& TotalsOf(const TObyekt& o);

  // Copies share what they have in common; a copy that goes on differently takes its own.
  std::shared_ptr<std::vector<std::array<StatsSample, 2>>> series_ =
      std::make_shared<std::vector<std::array<StatsSample, 2>>>();
  size_t length_ = 0;
  std::vector<TypeTotals> types_;
  std::array<float, 2> delivered_{};
  std::array<int32_t, 2> losses_{};
};

// A building is a type that does not move.
bool IsBuildingType(const TOpisan& type);

// The series as CSV: "second,side,money,delivered,workers,units,buildings,army,kills,losses".
void WriteStatsCsv(const MatchStats& stats, std::ostream& out);
