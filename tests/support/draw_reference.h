// The ground and the objects drawn one call after another under the current matrices, every
// state set for each object: the plain reference the batched drawing must match to the pixel.
// Needs a current OpenGL context.
#pragma once

#include <cstdint>
#include <vector>

#include "game/sprites.h"
#include "game/world.h"

// One cell of the bound texture as a quad with its lower left corner at the origin.
void DrawSpriteFrame(int32_t sheetWidth, int32_t sheetHeight, int32_t frameWidth,
                     int32_t frameHeight, int32_t row, int32_t column, bool mirror);
void DrawGroundReference(const World& world);
void DrawObjectReference(const World& world, int32_t index, const SpriteChoice& choice,
                         bool showBars);
void DrawObjectsReference(const World& world, const std::vector<SpriteChoice>& shown,
                          bool showBars);
