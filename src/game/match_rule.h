// Who is still in the match and who has won: the rule the banner and the batch share.
#pragma once

#include <array>
#include <cstdint>

#include "game/world.h"

// Live workers and bases of one side.
struct SideCount {
  int32_t Workers = 0;  // live objects of kind 0
  int32_t Bases = 0;    // live objects of kind 1
};

using SideCounts = std::array<SideCount, 2>;  // sides 0 and 1

// Adds the object to its side's count when it is a live worker or base of side 0 or 1.
inline void CountObject(SideCounts& counts, const TObyekt& o) {
  if (!IsAlive(o) || (o.Side != 0 && o.Side != 1)) return;
  SideCount& s = counts[static_cast<size_t>(o.Side)];
  if (o.Kind == kWorkerKind) ++s.Workers;
  if (o.Kind == kBaseKind) ++s.Bases;
}

SideCounts CountSides(const World& world);

// A match is over once a side has no live worker and no live base; the side that still has
// one wins. Both gone at once: over without a winner (nothing can be built again).
struct MatchOutcome {
  bool Over = false;
  int32_t Winner = -1;
};
MatchOutcome DecideMatch(const SideCounts& counts);
