// The fog of war of one viewer: what a side sees now, what it has seen, and the buildings as
// it last saw them. Front-end state only: the match never reads it, nor does the hash.
#pragma once

#include <cstdint>
#include <vector>

#include "game/sprites.h"
#include "game/world.h"
#include "render/fog_picture.h"

class Fog {
 public:
  static constexpr float kCell = 16;     // world units a cell
  static constexpr float kMargin = 320;  // the grid reaches this far beyond the ground

  // Forgets everything; side -1: no fog, everything is shown.
  void Reset(int32_t side);
  int32_t side() const { return side_; }
  bool on() const { return side_ >= 0; }
  // A frame: the side's live objects light what they see; what is lit counts as seen, and the
  // buildings and deposits lit are remembered as `shown` draws them.
  void Update(const World& world, const std::vector<SpriteChoice>& shown);
  // The world has fewer objects than the fog remembers: another match, or an earlier moment.
  bool Behind(const World& world) const { return world.Objects.size() < memory_.size(); }
  // Whether a world point is lit now, or was ever lit.
  bool Lit(float x, float y) const { return CellAt(x, y) == kLit; }
  bool Seen(float x, float y) const { return CellAt(x, y) != kNever; }
  // Whether the viewer sees object i now: its own side's, or standing in light.
  bool Shows(const World& world, int32_t i) const;
  // What to draw of each object: the lit as they are, buildings out of sight as last seen,
  // the rest not at all.
  std::vector<SpriteChoice> Filter(const World& world,
                                   const std::vector<SpriteChoice>& shown) const;
  // The grid as drawn (black where never seen, dimmed where seen, clear where lit).
  FogPicture Picture() const;

 private:
  enum : uint8_t { kNever = 0, kSeen = 1, kLit = 2 };
  uint8_t CellAt(float x, float y) const;
  void Place(const World& world);
  void Light(float x, float y, float r);

  int32_t side_ = -1;
  float x0_ = 0, y0_ = 0;
  int32_t columns_ = 0, rows_ = 0;
  std::vector<uint8_t> cells_;          // kNever, kSeen or kLit, rows from the bottom
  mutable std::vector<uint8_t> shade_;  // Picture's
  struct Memory {
    bool Seen = false;
    SpriteChoice Choice;
  };
  std::vector<Memory> memory_;  // per object
};
