#include "game/match_rule.h"

SideCounts CountSides(const World& world) {
  SideCounts counts{};
  for (const TObyekt& o : world.Objects) CountObject(counts, o);
  return counts;
}

MatchOutcome DecideMatch(const SideCounts& counts) {
  const bool in0 = counts[0].Workers + counts[0].Bases > 0;
  const bool in1 = counts[1].Workers + counts[1].Bases > 0;
  MatchOutcome outcome;
  outcome.Over = !in0 || !in1;
  if (in0 != in1) outcome.Winner = in0 ? 0 : 1;
  return outcome;
}
