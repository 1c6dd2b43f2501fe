// What happened in a match, frame by frame: each side's first base, first delivery and first
// loss, and its end. The batch reports these times; the replay viewer shows them as marks.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "app/batch.h"
#include "game/world.h"

// Watches a match frame by frame for the times it reports and for its end.
class MatchObserver {
 public:
  explicit MatchObserver(MatchResult& result) : result_(result) {}

  // Looks at the world after `frame` frames (0: the level just created). Returns true when
  // the match is over, and then result's End says why.
  bool Look(const World& world, uint64_t frame);

 private:
  // What a stalemate watches of an object: where it is, its health, cargo and build progress.
  struct Stillness {
    float X = 0, Y = 0, Angle = 0, Health = 0, Cargo = 0;
    int32_t Build = 0;
    bool operator==(const Stillness& o) const;
  };
  static Stillness StillnessOf(const TObyekt& o);
  static void Mark(std::optional<uint64_t>& slot, uint64_t frame) {
    if (!slot) slot = frame;
  }

  MatchResult& result_;
  std::vector<bool> alive_;
  std::vector<Stillness> still_;
  std::array<float, 4> money_{};
  uint64_t quiet_ = 0;  // frames in a row in which nothing changed
  size_t seen_ = 0;
};
