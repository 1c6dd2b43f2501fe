// Contacts between objects: push-apart, arrival, delivery, engagement and attack range.
#pragma once

#include <cstdint>

#include "game/world.h"

// Tests every pair of live objects once, pushes overlapping ones apart and lets both react.
void ContactPass(World& world);

// Pushes two circles apart; true when they overlapped before the push.
bool SeparatePair(float& ax, float& ay, float& bx, float& by, int32_t speedsA, float radiusA,
                  float radiusB, int32_t speedsB);

void OnContact(World& world, int32_t s, int32_t o);
void OnApart(World& world, int32_t s, int32_t o);

// Nearest base (kind 1) of the object's side within 1000 units, or -1.
int32_t NearestDepot(const World& world, int32_t s);
