#include "game/opponent.h"

void RunComputerSide(World&, int32_t) {}
int32_t NearestResource(const World&, int32_t) {
  return -1;
}
