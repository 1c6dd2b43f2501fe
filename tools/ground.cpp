// The ground sheet: 16 x 8 cells of 32 x 32 pixels, each one seamless on its own (its noise
// wraps at the cell edge). Column 1, row 5 is the grass the map is tiled with; the other
// cells are variations of it (light and dark grass, flowers, dirt, gravel).
#include <algorithm>

#include "art.h"

namespace {

constexpr int kCell = 32;

// Value noise with `n` lattice steps across the cell, wrapped so opposite edges agree.
float WrappedNoise(int x, int y, int n, int seed) {
  const float step = static_cast<float>(kCell) / n;
  float fx = x / step, fy = y / step;
  int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  float tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  auto at = [&](int i, int j) { return Hash01(((i % n) + n) % n, ((j % n) + n) % n, seed); };
  float a = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
  float b = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
  return a + (b - a) * ty;
}

float Field(int x, int y, int seed) {
  return 0.45f * WrappedNoise(x, y, 4, seed) + 0.30f * WrappedNoise(x, y, 8, seed + 1) +
         0.25f * Hash01(x, y, seed + 2);
}

using Shades = std::array<Rgb, 4>;

const Shades kGrass{Rgb{62, 102, 42}, Rgb{74, 116, 48}, Rgb{86, 128, 54}, Rgb{100, 142, 60}};
const Shades kDarkGrass{Rgb{46, 80, 36}, Rgb{58, 96, 42}, Rgb{70, 110, 48}, Rgb{86, 126, 54}};
const Shades kLightGrass{Rgb{72, 112, 46}, Rgb{88, 130, 54}, Rgb{104, 146, 60}, Rgb{124, 162, 70}};
const Shades kDirt{Rgb{96, 72, 48}, Rgb{114, 88, 58}, Rgb{132, 104, 70}, Rgb{150, 122, 84}};
const Shades kGravel{Rgb{92, 90, 86}, Rgb{112, 108, 100}, Rgb{132, 126, 116}, Rgb{154, 148, 136}};

int Quantize(float v) {
  return v < 0.36f ? 0 : v < 0.5f ? 1 : v < 0.64f ? 2 : 3;
}

void Put(Picture& p, int x0, int y0, int x, int y, Rgb c) {
  p.Set(x0 + ((x % kCell) + kCell) % kCell, y0 + ((y % kCell) + kCell) % kCell, c);
}

enum class Kind { Grass, DarkGrass, LightGrass, Flowers, Dirt, Mixed, Gravel };

void DrawCell(Picture& p, int x0, int y0, Kind kind, int seed, int tufts) {
  const Shades& base = kind == Kind::DarkGrass    ? kDarkGrass
                       : kind == Kind::LightGrass ? kLightGrass
                       : kind == Kind::Dirt       ? kDirt
                       : kind == Kind::Gravel     ? kGravel
                                                  : kGrass;
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      float v = Field(x, y, seed);
      Rgb c = base[Quantize(v)];
      if (kind == Kind::Mixed && WrappedNoise(x, y, 4, seed + 9) > 0.56f) c = kDirt[Quantize(v)];
      if (kind == Kind::Gravel && Hash01(x, y, seed + 5) > 0.93f) c = kGravel[3];
      p.Set(x0 + x, y0 + y, c);
    }
  const Shades& blades = kind == Kind::Dirt || kind == Kind::Gravel ? kGrass : base;
  for (int i = 0; i < tufts; ++i) {
    int x = static_cast<int>(Hash01(i, 1, seed) * kCell),
        y = static_cast<int>(Hash01(i, 2, seed) * kCell);
    Put(p, x0, y0, x - 1, y + 1, blades[0]);
    Put(p, x0, y0, x, y + 1, blades[0]);
    Put(p, x0, y0, x + 1, y + 1, blades[0]);
    Put(p, x0, y0, x - 1, y, blades[3]);
    Put(p, x0, y0, x + 1, y, blades[2]);
    Put(p, x0, y0, x, y - 1, blades[3]);
  }
  if (kind == Kind::Flowers) {
    const Rgb petals[3] = {{236, 232, 214}, {240, 206, 76}, {214, 120, 160}};
    for (int i = 0; i < 6; ++i) {
      int x = static_cast<int>(Hash01(i, 3, seed) * kCell),
          y = static_cast<int>(Hash01(i, 4, seed) * kCell);
      Put(p, x0, y0, x, y, petals[i % 3]);
      Put(p, x0, y0, x, y + 1, base[0]);
    }
  }
  if (kind == Kind::Dirt || kind == Kind::Gravel) {
    for (int i = 0; i < 5; ++i) {
      int x = static_cast<int>(Hash01(i, 5, seed) * kCell),
          y = static_cast<int>(Hash01(i, 6, seed) * kCell);
      Put(p, x0, y0, x, y, kGravel[3]);
      Put(p, x0, y0, x + 1, y, kGravel[2]);
      Put(p, x0, y0, x, y + 1, kGravel[0]);
      Put(p, x0, y0, x + 1, y + 1, kGravel[0]);
    }
  }
}

}  // namespace

Picture GroundSheet() {
  Picture sheet(512, 256);
  const Kind rows[8] = {Kind::LightGrass, Kind::DarkGrass, Kind::Flowers, Kind::Dirt,
                        Kind::Grass,      Kind::Mixed,     Kind::Gravel,  Kind::DarkGrass};
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 16; ++c) {
      int seed = 100 + r * 16 + c;
      int tufts = r == 4 && c == 0 ? 4 : 2 + c % 4;
      DrawCell(sheet, c * kCell, r * kCell, rows[r], seed, tufts);
    }
  return sheet;
}
