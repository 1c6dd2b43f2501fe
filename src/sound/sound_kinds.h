// The kinds of sound and their files in the data set's sounds folder (header only: the
// generator writes the same names).
#pragma once

#include <array>
#include <cstdint>

enum class SoundKind : uint8_t {
  AckHuman,       // an order acknowledged by a human
  AckOrc,         // ... by an orc
  BlowCut,        // a blow of a cutting attack
  BlowCrush,      // a blow of a crushing attack (and any other)
  DeathUnit,      // a unit falls
  DeathBuilding,  // a building crumbles
  BuildBegun,     // the first payment for a building
  BuildDone,      // a building stands complete
  Ore,            // ore delivered
  Trained,        // a unit trained
  Victory,
  Defeat,
};

inline constexpr int kSoundKinds = 12;

inline constexpr std::array<const char*, kSoundKinds> kSoundFiles = {
    "ack_ludi.wav",   "ack_orki.wav",   "blow_cut.wav",    "blow_crush.wav",
    "death_unit.wav", "death_base.wav", "build_begun.wav", "build_done.wav",
    "ore.wav",        "trained.wav",    "victory.wav",     "defeat.wav",
};

inline constexpr const char* kSoundFolder = "sounds";

inline constexpr int KindIndex(SoundKind kind) {
  return static_cast<int>(kind);
}
