// The state of the match for the banner: live workers, bases and money per side, and which
// side won once the other has nothing left.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/world.h"

struct SideTally {
  int32_t Workers = 0;  // live objects of kind 0
  int32_t Bases = 0;    // live objects of kind 1
  int32_t Money = 0;    // rounded as the read-out rounds it
};

// Sides 0 and 1.
std::array<SideTally, 2> TallySides(const World& world);

// Watches the match frame by frame; the first frame at which one side has no live worker
// and no live base while the other has one decides it.
class MatchWatch {
 public:
  void Update(const World& world, uint64_t frame);
  int32_t winner() const { return winner_; }  // -1 while undecided
  uint64_t frame() const { return frame_; }
  const std::array<SideTally, 2>& sides() const { return sides_; }

 private:
  int32_t winner_ = -1;
  uint64_t frame_ = 0;
  std::array<SideTally, 2> sides_{};
};

// The banner line (UTF-8) while a level runs.
std::string MatchBanner(const MatchWatch& watch, const std::string& speed, bool paused);
