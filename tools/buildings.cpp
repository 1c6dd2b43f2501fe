// Building and deposit sheets: rows 1-4 idle, rows 5-8 working, rows 9-11 ruin; the five
// columns turn the model like a unit's headings (column 3 shows the front).
#include <algorithm>

#include "art.h"
#include "palette.h"

namespace {

constexpr float kTilt = 42.0f;
constexpr float kPi = 3.14159265f;

// Smoke puffs rising from a point; phase runs over the four frames.
void Smoke(Scene& s, const Palette& p, V3 at, int frame, float size) {
  int keep = s.part;
  s.part = 20;
  for (int i = 0; i < 3; ++i) {
    float t = (i + frame / 4.0f) / 3.0f;
    float r = size * (0.6f + 0.8f * t);
    s.Ellipsoid(at + V3{-t * 5.0f, t * 3.0f, t * 16.0f}, {r, r, r * 0.85f}, p.smoke);
    s.prims.back().shadow = false;
  }
  s.part = keep;
}

// A flickering fire: a few glowing blobs whose heights change per frame.
void Fire(Scene& s, const Palette& p, V3 at, int frame, float size) {
  int keep = s.part;
  s.part = 21;
  for (int i = 0; i < 4; ++i) {
    float a = i * kPi / 2 + 0.7f;
    float h = size * (1.0f + 0.6f * Hash01(i, frame, 17));
    V3 c = at + V3{std::cos(a) * size * 0.45f, std::sin(a) * size * 0.45f, h * 0.5f};
    s.Ellipsoid(c, {size * 0.42f, size * 0.42f, h * 0.55f}, p.fire);
    s.prims.back().shadow = false;
  }
  s.Ellipsoid(at + V3{0, 0, size * 0.9f},
              {size * 0.5f, size * 0.5f, size * (1.1f + 0.3f * (frame & 1))}, p.fire);
  s.prims.back().shadow = false;
  s.part = keep;
}

// Waving banner: a strip of small boxes hanging from a pole top along +y.
void Banner(Scene& s, int mat, V3 top, int frame, float length, float height) {
  const int n = 6;
  for (int i = 0; i < n; ++i) {
    float wave = std::sin(frame * kPi / 2 + i * 0.9f) * (0.4f + 0.35f * i);
    float y = (i + 0.5f) * length / n;
    s.Box(top + V3{wave, y, -height / 2 - i * 0.25f}, {0.5f, length / n / 2 + 0.2f, height / 2},
          mat);
  }
}

// Scattered rubble of blocks and beams.
void Rubble(Scene& s, const Palette& p, int blockMat, int count, float spread, int seed) {
  s.Ellipsoid({0, 0, 0}, {spread * 0.8f, spread * 0.7f, 5}, p.dirt);
  for (int i = 0; i < count; ++i) {
    float a = Hash01(i, 1, seed) * 2 * kPi, r = std::sqrt(Hash01(i, 2, seed)) * spread * 0.7f;
    V3 c{std::cos(a) * r, std::sin(a) * r * 0.9f,
         3.0f + Hash01(i, 3, seed) * 3.0f * (1 - r / spread)};
    float size = 2.0f + Hash01(i, 4, seed) * 2.5f;
    Xf turn = RotZ(Hash01(i, 5, seed) * 90).Then(RotY(Hash01(i, 6, seed) * 40 - 20));
    if (i % 4 == 3)
      s.Box(c + V3{0, 0, 1}, {7.0f, 1.1f, 1.1f}, p.wood, turn);
    else
      s.Box(c, {size, size * 0.8f, size * 0.7f}, blockMat, turn);
  }
}

// ---- the human town hall --------------------------------------------------------------------

void TownHall(Scene& s, const Palette& p, int anim, int frame) {
  const V3 tower{11, -24, 0};
  if (anim == 2) {
    if (frame == 2) {
      Rubble(s, p, p.stone, 26, 34, 3);
      s.Box({-4, 6, 6}, {1.2f, 1.2f, 7}, p.dark, RotY(25));
      s.Cone(tower, 7.5f, 6.0f, 6, 8, p.stone, 22.5f);
      Smoke(s, p, {4, -6, 6}, 1, 3);
      return;
    }
    // Burning shell: charred walls, then low broken stonework.
    s.Box({0, 0, 2}, {20, 28, 2}, p.stone);
    if (frame == 0) {
      s.Box({0, 0, 12}, {17, 25, 8}, p.plaster);
      for (int y = -25; y <= 25; y += 10)
        s.Box({17.2f, static_cast<float>(y), 12}, {0.8f, 1, 8}, p.dark);
      s.Gable({0, 0, 0}, 27, 20, 19.5f, 30, p.roof, RotZ(90));
      s.Box({4, 6, 24}, {4, 7, 3}, p.dark, RotY(-28));
      s.Cone(tower, 7.5f, 7.5f, 26, 8, p.stone, 22.5f);
      Fire(s, p, {2, 8, 27}, 0, 6);
      Fire(s, p, tower + V3{0, 0, 26}, 1, 4);
      Smoke(s, p, {-4, 0, 36}, 2, 4);
    } else {
      for (int i = 0; i < 6; ++i) {
        float y = -22.0f + i * 9.0f, hgt = 3.0f + 4.0f * Hash01(i, 0, 4);
        s.Box({16, y, 4 + hgt}, {1.5f, 4.0f, hgt}, p.stone);
        s.Box({-16, y, 4 + hgt * 0.7f}, {1.5f, 4.0f, hgt * 0.7f}, p.stone);
      }
      s.Cone(tower, 7.5f, 6.5f, 12, 8, p.stone, 22.5f);
      Rubble(s, p, p.stone, 10, 26, 8);
      Fire(s, p, {-2, 4, 8}, 2, 6);
      Smoke(s, p, {-2, 4, 20}, 3, 4);
    }
    return;
  }
  // Plinth and timber-framed walls.
  const float wallZ = 14, wallH = 10;
  s.part = 1;
  s.Box({0, 0, 2}, {20, 28, 2}, p.stone);
  s.Box({0, 0, wallZ}, {17, 25, wallH}, p.plaster);
  s.part = 2;
  for (int y = -25; y <= 25; y += 10) {
    s.Box({17.2f, static_cast<float>(y), wallZ}, {0.8f, 1, wallH}, p.wood);
    s.Box({-17.2f, static_cast<float>(y), wallZ}, {0.8f, 1, wallH}, p.wood);
  }
  for (float z : {wallZ, wallZ + wallH - 0.6f}) {
    s.Box({17.3f, 0, z}, {0.9f, 25, 0.7f}, p.wood);
    s.Box({0, 25.2f, z}, {17, 0.9f, 0.7f}, p.wood);
    s.Box({0, -25.2f, z}, {17, 0.9f, 0.7f}, p.wood);
  }
  // Door and windows; the windows glow while the hall is training.
  s.part = 3;
  s.Box({17.6f, 0, 9.5f}, {1.0f, 4.5f, 6.0f}, anim == 1 && (frame & 1) ? p.dark : p.wood);
  s.Box({18.0f, 0, 16}, {1.2f, 5.5f, 0.9f}, p.stone);
  for (int y : {-15, 15}) {
    s.Box({17.6f, static_cast<float>(y), 18}, {0.9f, 2.6f, 2.8f}, anim == 1 ? p.fire : p.glass);
    s.Box({18.0f, static_cast<float>(y), 14.8f}, {1.0f, 3.2f, 0.6f}, p.wood);
  }
  // Roof with a chimney.
  s.part = 4;
  s.Gable({0, 0, 0}, 29, 21, wallZ + wallH - 0.5f, 38, p.roof, RotZ(90));
  s.part = 5;
  s.Box({-6, 12, 36}, {2.5f, 2.5f, 6}, p.stone);
  // Bell tower on the front corner, with a banner.
  s.part = 6;
  s.Cone(tower, 7.5f, 7.5f, 40, 8, p.stone, 22.5f);
  s.Box(tower + V3{7.2f, 0, 33}, {0.6f, 2.2f, 3.0f}, p.dark);
  s.Cone(tower + V3{0, 0, 40}, 10, 0, 13, 8, p.roof, 22.5f);
  s.part = 7;
  s.Capsule(tower + V3{0, 0, 51}, tower + V3{0, 0, 60}, 0.6f, p.wood);
  Banner(s, p.cloth, tower + V3{0, 0, 60}, frame, 9, 5);
  if (anim == 1) Smoke(s, p, {-6, 12, 43}, frame, 2.8f);
}

// ---- the orc camp ---------------------------------------------------------------------------

void OrcCamp(Scene& s, const Palette& p, int anim, int frame) {
  if (anim == 2) {
    if (frame == 2) {
      s.Ellipsoid({0, 0, 0}, {24, 20, 4}, p.hide);
      Rubble(s, p, p.leather, 16, 30, 5);
      s.Sphere({10, 14, 2.5f}, 2.5f, p.bone);
      Smoke(s, p, {0, 0, 4}, 2, 3);
      return;
    }
    float h = frame == 0 ? 26.0f : 12.0f;
    s.Cone({-2, 0, 0}, 22, frame == 0 ? 3 : 8, h, 9, p.hide, 10);
    Fire(s, p, {-2, 2, h}, frame, 6);
    Smoke(s, p, {-4, 0, h + 8}, frame + 1, 4);
    for (int i = 0; i < 5; ++i) {
      float a = (110 + i * 35) * kDeg;
      s.Capsule({std::cos(a) * 28, std::sin(a) * 28, 0},
                {std::cos(a) * 30, std::sin(a) * 30 + 4, 6}, 1.3f, p.wood);
    }
    return;
  }
  // Palisade of pointed stakes behind the tent.
  s.part = 1;
  for (int i = 0; i < 11; ++i) {
    float a = (110 + i * 14) * kDeg;
    float h = 15 + 3 * Hash01(i, 0, 21);
    V3 base{std::cos(a) * 29, std::sin(a) * 29, 0};
    s.Capsule(base, base + V3{0, 0, h}, 1.6f, p.wood);
    s.Cone(base + V3{0, 0, h}, 1.8f, 0, 3.5f, 5, p.wood);
  }
  // The great hide tent with its poles, entrance and tusk arch.
  s.part = 2;
  s.Cone({-2, 0, 0}, 22, 0, 36, 9, p.hide, 10);
  s.part = 3;
  for (int i = 0; i < 3; ++i) {
    float a = (i * 120 + 30) * kDeg;
    s.Capsule({-2, 0, 30}, {-2 + std::cos(a) * 3.5f, std::sin(a) * 3.5f, 44}, 0.9f, p.wood);
  }
  s.Cone({-2, 0, 17}, 11.9f, 9.5f, 4, 9, p.cloth, 10);  // red band round the tent
  s.part = 4;
  s.Box({16.5f, 0, 5}, {2.5f, 4.5f, 5}, p.dark);
  for (int side = -1; side <= 1; side += 2) {
    V3 a{21, side * 8.0f, 0}, b{24, side * 7.0f, 10}, c{22, side * 2.5f, 17};
    s.Capsule(a, b, 1.5f, p.bone);
    s.Capsule(b, c, 1.1f, p.bone);
  }
  // Side tents.
  s.part = 5;
  s.Cone({-8, 20, 0}, 9, 0, 16, 7, p.leather);
  s.part = 6;
  s.Cone({-10, -19, 0}, 8, 0, 14, 7, p.leather, 20);
  // Banner pole with a skull.
  s.part = 7;
  s.Capsule({10, -20, 0}, {10, -20, 36}, 0.9f, p.wood);
  s.Capsule({10, -20, 33}, {10, -12, 33}, 0.6f, p.wood);
  Banner(s, p.cloth, {10, -20, 33}, frame, 8, 11);
  s.Sphere({10, -20, 38}, 2.6f, p.bone);
  s.Sphere({12.2f, -21.0f, 38.3f}, 0.8f, p.dark);
  s.Sphere({12.2f, -19.0f, 38.3f}, 0.8f, p.dark);
  // Fire pit: embers at rest, flames while training.
  s.part = 8;
  for (int i = 0; i < 7; ++i) {
    float a = i * 2 * kPi / 7;
    s.Ellipsoid({22 + std::cos(a) * 5, 15 + std::sin(a) * 5, 0.8f}, {1.8f, 1.8f, 1.4f}, p.rock);
  }
  if (anim == 1) {
    Fire(s, p, {22, 15, 0}, frame, 4);
    Smoke(s, p, {21, 15, 12}, frame, 2.5f);
  } else {
    s.Ellipsoid({22, 15, 0.6f}, {3, 3, 1.2f}, p.fire);
  }
}

// ---- the deposit ----------------------------------------------------------------------------

struct Vein {
  V3 at;       // foot of the crystal cluster on the rock
  float turn;  // direction it leans to, degrees
  float tilt;  // lean away from upright, degrees
};

const Vein kVeins[] = {{{9, -7, 9}, -30, 50}, {{-3, 9, 11}, 100, 45}, {{-9, -6, 14}, 200, 30},
                       {{13, 6, 6}, 20, 60},  {{1, -1, 20}, 60, 15},  {{-15, 4, 7}, 160, 55}};

// A cluster of three ore crystals leaning outwards.
void Crystals(Scene& s, const Palette& p, const Vein& v, float grow) {
  for (int i = 0; i < 3; ++i) {
    s.xf = Move(v.at)
               .Then(RotZ(v.turn + (i - 1) * 35.0f))
               .Then(RotY(v.tilt + (i == 1 ? -12.0f : 8.0f)));
    float h = (i == 1 ? 8.5f : 5.5f) * grow;
    s.Cone({0, 0, -2}, i == 1 ? 2.9f : 2.2f, 0, h + 2, 5, p.ore, i * 20.0f);
  }
  s.xf = Xf{};
}

V3 CrystalTip(const Vein& v) {
  Xf xf = Move(v.at).Then(RotZ(v.turn)).Then(RotY(v.tilt - 12.0f));
  return xf.At({0, 0, 5.5f});
}

void Deposit(Scene& s, const Palette& p, int anim, int frame, std::vector<Spark>& sparks) {
  const bool spent = anim == 2;
  const float sink = spent ? 0.75f - 0.15f * frame : 1.0f;
  s.part = 1;
  s.Cone({0, 0, 0}, 22, 8, 14 * sink, 7, p.rock, 10);
  s.part = 2;
  s.Cone({-3, -2, 12 * sink}, 10, 3, 9 * sink, 6, p.rock, 35);
  s.part = 3;
  s.Box({-14, 9, 3.5f * sink}, {5.5f, 4.5f, 4.5f * sink}, p.rock, RotZ(25).Then(RotY(12)));
  s.part = 4;
  s.Box({7, 14, 3 * sink}, {4.5f, 3.5f, 3.5f * sink}, p.stone, RotZ(-20).Then(RotX(10)));
  s.part = 5;
  s.Box({-9, -15, 3 * sink}, {4.5f, 4, 3.8f * sink}, p.rock, RotZ(40).Then(RotY(-10)));
  s.part = 6;
  s.Box({16, -13, 2}, {3, 3, 2.5f}, p.stone, RotZ(15));
  if (!spent) {
    s.part = 7;
    for (const Vein& v : kVeins) Crystals(s, p, v, 1.0f);
    // Broken ore heaped at the mouth of the adit.
    s.part = 8;
    for (int i = 0; i < 5; ++i)
      s.Sphere({23.0f + (i % 3) * 1.6f, 7.0f + i * 1.7f, 1.2f + (i == 2 ? 1.4f : 0)}, 1.9f, p.ore);
  } else if (frame == 0) {
    s.part = 7;
    for (int i = 0; i < 3; ++i) Crystals(s, p, kVeins[i], 0.5f);
  }
  // Timbered adit on the front.
  s.part = 9;
  if (!spent || frame == 0) {
    s.Box({19, 0, 6}, {2.5f, 5.5f, 6}, p.dark);
    s.Capsule({21.5f, -6.5f, 0}, {21.5f, -6.5f, 13}, 1.3f, p.wood);
    s.Capsule({21.5f, 6.5f, 0}, {21.5f, 6.5f, 13}, 1.3f, p.wood);
    s.Capsule({22, -8.5f, 13.5f}, {22, 8.5f, 13.5f}, 1.4f, p.wood);
  } else {
    s.Capsule({21, -7, 1}, {18, 7, 3}, 1.3f, p.wood);
    s.Capsule({22, 5, 1}, {15, -4, 1.5f}, 1.2f, p.wood);
  }
  if (anim == 1) Smoke(s, p, {23, 0, 2}, frame, 2.2f);
  if (!spent) {
    // Glints wander over the crystals.
    for (int i = 0; i < 2; ++i) {
      const Vein& v = kVeins[(frame * 2 + i * 3 + anim) % 6];
      sparks.push_back({CrystalTip(v), (frame + i) % 2 + 1});
    }
  }
}

const float kHeadings[5] = {90, 45, 0, -45, -90};

template <typename Draw>
Picture StillSheet(int cell, float oy, Draw draw) {
  Picture sheet(512, 1024);
  const int animOf[11] = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2};
  for (int row = 0; row < 11; ++row) {
    int anim = animOf[row], frame = anim == 2 ? row - 8 : row % 4;
    for (int col = 0; col < 5; ++col) {
      Scene s;
      std::vector<Spark> sparks;
      draw(s, anim, frame, sparks);
      View v;
      v.heading = kHeadings[col] - 90;  // column 3 faces the viewer
      v.tilt = kTilt;
      v.ox = cell / 2.0f;
      v.oy = oy;
      sheet.Blit(RenderCell(s, v, cell, cell, sparks), col * cell, row * cell);
    }
  }
  return sheet;
}

}  // namespace

Picture BaseSheet(Race race) {
  return StillSheet(kBuildingCell, kBuildingCell - 30.0f,
                    [race](Scene& s, int anim, int frame, std::vector<Spark>&) {
                      Palette p = AddPalette(s, race);
                      if (race == Race::Human)
                        TownHall(s, p, anim, frame);
                      else
                        OrcCamp(s, p, anim, frame);
                    });
}

Picture DepositSheet() {
  return StillSheet(kDepositCell, kDepositCell - 24.0f,
                    [](Scene& s, int anim, int frame, std::vector<Spark>& sparks) {
                      Palette p = AddPalette(s, Race::Human);
                      Deposit(s, p, anim, frame, sparks);
                    });
}
