// Sprite choice and frame counters: stateless apart from the objects' Frame fields.
#include "game/sprites.h"

#include <cmath>

#include "util/numtext.h"

namespace {

// Column for d = heading - 90 already brought to its range; columns 1..5 mirrored, 4..1 not.
int32_t ColumnOfOffset(double d, bool& mirrored) {
  const int32_t k = RoundHalfEven(d) / 45;
  const int32_t c = k + 1;
  mirrored = c <= 5;
  return mirrored ? c : 10 - c;
}

}  // namespace

int32_t DirectionColumn(float angle, bool& mirrored) {
  double d = static_cast<double>(angle) - 90.0;
  if (d < 0) d += 360.0;
  int32_t column = ColumnOfOffset(d, mirrored);
  // Headings far outside 0..360 (never produced by movement) are wrapped so the column stays 1..5.
  if (column < 1 || column > 5) {
    d = std::fmod(d, 360.0);
    if (d < 0) d += 360.0;
    column = ColumnOfOffset(d, mirrored);
  }
  return column;
}

SpriteChoice AdvanceAnimation(World& world, size_t index, int32_t selector) {
  SpriteChoice choice;
  if (index >= world.Objects.size() || selector == kActionHidden) return choice;
  TObyekt& object = world.Objects[index];

  int64_t animation = selector;
  if (selector < 0) {
    object.Frame = 0;
    animation = -static_cast<int64_t>(selector) - 1;
  }

  // Data that names no cell (missing type or animation, empty Frames, a frame position, a
  // texture or an energy entry out of range) is not drawn; the counter still follows its rules.
  const TOpisan* type = TypeOf(world, object);
  const TKadri* kadri = nullptr;
  if (type != nullptr && animation >= 0 &&
      static_cast<uint64_t>(animation) < type->Animations.size())
    kadri = &type->Animations[static_cast<size_t>(animation)];

  if (kadri != nullptr) {
    const double last = static_cast<double>(kadri->Frames.size()) - 1.0;
    if (static_cast<double>(object.Frame) > last)
      object.Frame = selector == kActionDying ? static_cast<float>(last) : 0.0f;

    choice.Column = DirectionColumn(object.Angle, choice.Mirrored);
    const int32_t position = RoundHalfEven(object.Frame);
    const bool rowKnown = position >= 0 && static_cast<size_t>(position) < kadri->Frames.size();
    const bool textureKnown = kadri->TextureIndex >= 0 &&
                              static_cast<size_t>(kadri->TextureIndex) < type->Textures.size();
    if (rowKnown && textureKnown && !object.Energy.empty()) {
      choice.Draw = true;
      choice.Type = type;
      choice.Row = kadri->Frames[static_cast<size_t>(position)];
      choice.Texture = type->Textures[static_cast<size_t>(kadri->TextureIndex)];
    }
  }

  // The sum is taken in double and stored as a single.
  object.Frame = static_cast<float>(static_cast<double>(object.Frame) + 0.1);
  return choice;
}

int32_t SelectorOf(const TObyekt& object) {
  return IsAlive(object) ? object.Action : 2;
}

std::vector<SpriteChoice> AdvanceAnimations(World& world) {
  std::vector<SpriteChoice> shown;
  shown.reserve(world.Objects.size());
  for (size_t i = 0; i < world.Objects.size(); ++i)
    shown.push_back(AdvanceAnimation(world, i, SelectorOf(world.Objects[i])));
  return shown;
}
