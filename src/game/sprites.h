// Which cell of its sprite sheet an object shows, and the advance of its frame counter.
// No OpenGL: the frame advances the counters in both modes, drawing only reads the result.
#pragma once

#include <cstdint>
#include <vector>

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
SpriteChoice AdvanceAnimation(World& world, size_t index, int32_t selector);

// The selector of an object this frame: its Action when alive, 2 (dying) otherwise.
int32_t SelectorOf(const TObyekt& object);

// The animation step of a frame: every object's counter, and what each shows this frame.
std::vector<SpriteChoice> AdvanceAnimations(World& world);
