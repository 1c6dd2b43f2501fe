// Pixel-art toolkit of the data-set generator: colours, images, bitmap files, a tiny
// ray-cast renderer of ellipsoids, capsules and convex solids, and the models drawn with it.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// ---- colours and images -------------------------------------------------------------------

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

constexpr Rgb kKey{252, 252, 252};  // transparent in every sheet

Rgb Mix(Rgb a, Rgb b, float t);
Rgb Scale(Rgb c, float f);

// Five shades from dark to light around a mid tone: cool shadows, warm lights.
using Ramp = std::array<Rgb, 5>;
Ramp MakeRamp(Rgb mid);

// Top-down RGB picture; every pixel starts as the colour key.
struct Picture {
  int W = 0, H = 0;
  std::vector<Rgb> Px;
  Picture(int w, int h) : W(w), H(h), Px(static_cast<size_t>(w) * h, kKey) {}
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < W && y < H; }
  Rgb Get(int x, int y) const { return Px[static_cast<size_t>(y) * W + x]; }
  // Writes an opaque colour; the key value itself is nudged so it never turns transparent.
  void Set(int x, int y, Rgb c);
  void Blit(const Picture& cell, int x0, int y0);
};

// 24-bit uncompressed bottom-up bitmap with 54 bytes of headers; width must be a multiple of 4.
std::vector<uint8_t> EncodeBmp(const Picture& p);

// Small deterministic hash noise in [0, 1).
float Hash01(int x, int y, int seed);

// ---- 3-D scene ----------------------------------------------------------------------------

struct V3 {
  float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, float s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(V3 a, V3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V3 Cross(V3 a, V3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Len(V3 a) {
  return std::sqrt(Dot(a, a));
}
inline V3 Norm(V3 a) {
  float l = Len(a);
  return l > 0 ? a * (1.0f / l) : V3{0, 0, 1};
}
constexpr float kDeg = 3.14159265f / 180.0f;

// Rotation (columns are the images of the unit axes) plus translation.
struct Xf {
  V3 X{1, 0, 0}, Y{0, 1, 0}, Z{0, 0, 1}, T{};
  V3 Dir(V3 v) const { return X * v.x + Y * v.y + Z * v.z; }
  V3 At(V3 p) const { return Dir(p) + T; }
  Xf Then(const Xf& inner) const;  // this * inner
};
Xf RotX(float deg);
Xf RotY(float deg);
Xf RotZ(float deg);
Xf Move(V3 t);

enum class Pat { Plain, Stone, Planks, Tiles, Rough, Thatch };

struct Material {
  Ramp ramp{};
  float shine = 0;  // > 0: specular highlight exponent
  Pat pattern = Pat::Plain;
  bool glow = false;  // self-lit (fire): brightest where it faces the viewer
  int bias = 0;       // shifts every shade by this many steps
};

struct Plane {
  V3 n;     // outward normal
  float d;  // inside where Dot(n, p) <= d
};

struct Prim {
  enum Kind { Ellipsoid, Capsule, Convex } kind = Ellipsoid;
  V3 c{};                  // ellipsoid centre
  std::array<V3, 3> ax{};  // ellipsoid axes (unit)
  V3 r{};                  // ellipsoid radii
  V3 a{}, b{};             // capsule ends
  float rad = 0;           // capsule radius
  std::vector<Plane> planes;
  int mat = 0;
  int part = 0;        // parts get inner outlines where they overlap with a depth step
  bool shadow = true;  // casts a shadow on the ground
};

struct Scene {
  std::vector<Material> mats;
  std::vector<Prim> prims;
  Xf xf;         // current placement for the helpers below
  int part = 0;  // current part id

  int AddMat(const Material& m) {
    mats.push_back(m);
    return static_cast<int>(mats.size()) - 1;
  }
  void Ellipsoid(V3 c, V3 r, int mat, const Xf& local = Xf{});
  void Sphere(V3 c, float r, int mat) { Ellipsoid(c, {r, r, r}, mat); }
  void Capsule(V3 a, V3 b, float rad, int mat);
  // Box given by centre, half sizes and a local rotation.
  void Box(V3 c, V3 half, int mat, const Xf& local = Xf{});
  // Prism roof: ridge along local x, eaves half width hy at z0, ridge at z1.
  void Gable(V3 c, float hx, float hy, float z0, float z1, int mat, const Xf& local = Xf{});
  // Regular n-sided pyramid (n >= 3) or frustum (top radius > 0) standing on z0.
  void Cone(V3 base, float r0, float r1, float h, int sides, int mat, float turn = 0);
};

struct View {
  float heading = 0;     // degrees: where the model's +x points on the ground (0 = right)
  float tilt = 42;       // degrees the camera looks down
  float ox = 0, oy = 0;  // pixel of the cell onto which the model origin projects
};

// Per-frame 2-D extras drawn over a rendered cell.
struct Spark {
  V3 p;          // model-space point
  int size = 1;  // arm length in pixels
  Rgb c{255, 255, 230};
};

// Renders the scene into a W x H cell: shading, inner lines, outline and dithered shadow.
Picture RenderCell(const Scene& s, const View& v, int w, int h,
                   const std::vector<Spark>& sparks = {});

// ---- models -------------------------------------------------------------------------------

enum class Race { Human, Orc };
enum class Role { Worker, Soldier };

// Animation rows of a unit sheet: walk, strike, dying, loaded walk.
constexpr int kUnitFrames = 6;
constexpr int kUnitCell = 40;
Picture UnitSheet(Race race, Role role);

constexpr int kBuildingCell = 88;
Picture BaseSheet(Race race);

constexpr int kDepositCell = 64;
Picture DepositSheet();

Picture GroundSheet();
