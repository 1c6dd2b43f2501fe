// Worlds the rule tests build on.
#pragma once

#include <cstdint>

#include "game/world.h"

// The three types of race 0 the rules know by index: a worker (radius 10, health 10, one
// speed entry, mining capacity 10), an immovable base (radius 30, health 50) and a deposit
// (radius 20, health 100, 1000 ore). Tests add what their rules need.
struct BasicTypes {
  TOpisan Worker;
  TOpisan Base;
  TOpisan Deposit;
  BasicTypes();
};

// Appends an object of race 0; fails the test when the type does not exist.
TObyekt& Spawn(World& w, int32_t kind, int32_t side, float x, float y, float angle = 0);
