// The whole state of a session as a value: what a replay's keyframe and a match's start keep.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/control_values.h"
#include "app/frontend.h"
#include "app/headless.h"
#include "app/match_state.h"
#include "game/world.h"

struct SessionSnapshot {
  World TheWorld;
  Frontend::Saved Front;
  ControlValues Widgets;
  std::vector<uint32_t> UsedSeeds;
  std::optional<uint32_t> NextSeed;
  std::vector<ShownMessage> Messages;
  MatchWatch Match;
};
