#include "game/sprites.h"

int32_t DirectionColumn(float, bool& mirrored) {
  mirrored = false;
  return 1;
}
SpriteChoice ChooseSprite(World&, size_t, int32_t) { return {}; }
int32_t SelectorOf(const TObyekt& object) { return IsAlive(object) ? object.Action : 2; }
void AdvanceAnimations(World&) {}
