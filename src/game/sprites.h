// Which cell of its sprite sheet an object shows, and the advance of its frame counter.
// No OpenGL: drawing and the headless frame share these.
#pragma once

#include <cstdint>

#include "game/world.h"

struct SpriteChoice {
  bool Draw = false;  // false: 555, or data that names no cell
  const TOpisan* Type = nullptr;
  uint32_t Texture = 0;
  int32_t Row = 0;     // 1-based from the top
  int32_t Column = 0;  // 1-based from the left
  bool Mirrored = false;
};

// Column (1..5) and mirroring for a heading in degrees.
int32_t DirectionColumn(float angle, bool& mirrored);

// Applies the counter rules for object `index` with animation selector `selector`, says
// what to draw, then advances the counter by 0.1 (except for 555).
SpriteChoice ChooseSprite(World& world, size_t index, int32_t selector);

// The selector of an object this frame: its Action when alive, 2 (dying) otherwise.
int32_t SelectorOf(const TObyekt& object);

// The counters' part of drawing every object, for frames without OpenGL.
void AdvanceAnimations(World& world);
