// A 64-bit hash of the whole running state, for replay sync checks.
#pragma once

#include <cstdint>
#include <string>

#include "app/frontend.h"

// Every field of every object, the sides, the generator, and the front end's state
// (camera, cursor, clicks, click mode, hover index, combos, buttons, check boxes).
uint64_t StateHash(Frontend& frontend);

// 16 lower-case hex digits.
std::string HashText(uint64_t hash);
