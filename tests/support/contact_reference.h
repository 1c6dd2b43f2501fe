// The plain contact sweep, as the rules state it: every pair, dead ones skipped pair by pair.
// The reference that ContactPass is checked and measured against.
#pragma once

#include "game/world.h"

void ContactPassPlain(World& world);
