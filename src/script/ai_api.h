// The table `game` an AI script sees: the world read-only, and one way to act, writing an
// order into one of its own live objects. Names and their meaning: README, "AI scripts".
#pragma once

#include <cstdint>

#include "game/world.h"

struct lua_State;

// What the functions of `game` work on during one call of the script.
struct AiTurn {
  World* TheWorld = nullptr;
  int32_t Side = 0;
  uint64_t Frame = 0;  // frames since the match began
};

// Sets the global `game` for a script playing `side` (a lua_CFunction; run it protected with
// the sandbox's host pointing at an AiTurn).
int OpenAiApi(lua_State* L);
