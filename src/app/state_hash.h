// A 64-bit hash of the whole running state, for replay sync checks.
#pragma once

#include <cstdint>
#include <string>

#include "app/frontend.h"

class FieldSink;

// Every field of every object, the sides, the generator, and the front end's state
// (camera, cursor, clicks, click mode, hover index, combos, buttons, check boxes).
uint64_t StateHash(Frontend& frontend);

// The one walk the hash and the dump take: the world, then player 0's parts as a match of one
// player has them, then the other players'.
void WalkState(Frontend& frontend, FieldSink& sink);

// 16 lower-case hex digits.
std::string HashText(uint64_t hash);
