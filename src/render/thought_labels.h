// Each live object's two thoughts written small above it (F3): drawing only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/world.h"
#include "util/bmp.h"

// A font as a texture: 16 x 16 cells of CellWidth x CellHeight pixels, the cell of byte b
// (Windows-1251) at column b % 16 and row b / 16 counted from the top.
struct GlyphAtlas {
  uint32_t Texture = 0;
  int32_t Width = 0;  // texture size in pixels
  int32_t Height = 0;
  int32_t CellWidth = 0;
  int32_t CellHeight = 0;
};

// One line of text with its lower left corner at (X, Y) in world units.
struct ThoughtLabel {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;  // pixels
  const std::string* Text = nullptr;
  size_t Length = 0;    // characters written: long texts are cut
  bool Next = false;    // Thought2: drawn fainter
  int32_t AnchorX = 0;  // the object's x and the lowest line's y, world units
  int32_t AnchorY = 0;
};

// Where the labels of every live object go: Thought1 on top, Thought2 below it, centred
// just above the object's circle; empty thoughts take no line. Objects marked in `hidden`
// (the fog of war's, by index) get none.
std::vector<ThoughtLabel> LayoutThoughtLabels(const World& world, int32_t cellWidth,
                                              int32_t cellHeight,
                                              const std::vector<uint8_t>* hidden = nullptr);

// Uploads the font picture (white glyphs, coverage in alpha) as a texture without mipmaps.
uint32_t UploadGlyphAtlas(const Image& image);

// Draws the labels over the picture of the current frame, at the camera's offset; zoomed, the
// text keeps its size and follows its object.
void DrawThoughtLabels(const World& world, float cameraX, float cameraY, const GlyphAtlas& atlas,
                       float zoom = 1, const std::vector<uint8_t>* hidden = nullptr);
