// The type catalogue: races and their object types, as the definition files describe them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Animation row.
struct TKadri {
  int32_t TextureIndex = 0;
  std::vector<int32_t> Frames;  // sheet rows, 1-based
};

// Energy entry; entry 0 is health.
struct TEnergia {
  std::string Name;
  float Value = 0;
  float Param3 = 0;
};

// Attack entry.
struct TUdar {
  std::string Name;
  std::string Param2;
  float Strength = 0;  // damage per frame
  std::string Param4;
  float Param5 = 0;
};

// Mining entry.
struct TDobicha {
  std::string Name;
  float Capacity = 0;
  float Param3 = 0;
};

// Price entry.
struct TCena {
  std::string Name;
  float Amount = 0;  // entry 0 of a type's price: build ticks
  float Param3 = 0;
};

// Count entry.
struct TKolvo {
  std::string Name;
  float Count = 0;
};

struct TUpgrade {
  std::string Name;
  std::vector<TCena> Resources;
  std::vector<TKolvo> ObjectCounts;
};

// One object type.
struct TOpisan {
  std::string Name;
  std::string SecondName;
  std::vector<uint32_t> Textures;
  std::vector<TKadri> Animations;
  float Radius = 0;  // world units
  int32_t SheetWidth = 0;
  int32_t SheetHeight = 0;
  int32_t FrameWidth = 0;
  int32_t FrameHeight = 0;
  std::vector<TEnergia> Energies;
  std::vector<float> Speeds;
  std::vector<TUdar> Attacks;
  std::vector<std::string> Buildables;
  std::vector<std::string> Repairs;
  std::vector<TDobicha> Mining;
  std::vector<TUpgrade> Upgrades;
  std::vector<TCena> PriceResources;
  std::vector<TKolvo> PriceObjects;
  bool IsResource = false;
  float ResourceAmount = 0;
  float Sight = 0;  // how far it sees, world units ("обзор"); 0: from its radius (SightOf)
};

// One race.
struct TRassa {
  std::vector<TOpisan> Types;
};
