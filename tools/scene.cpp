// The generator's ray-cast renderer: one orthographic ray per pixel from a camera that looks
// down at a slant, nearest hit over all primitives, shade ramps, outlines and ground shadow.
#include <algorithm>
#include <limits>

#include "art.h"

// ---- transforms ---------------------------------------------------------------------------

Xf Xf::Then(const Xf& in) const {
  Xf r;
  r.X = Dir(in.X);
  r.Y = Dir(in.Y);
  r.Z = Dir(in.Z);
  r.T = At(in.T);
  return r;
}

Xf RotX(float deg) {
  float c = std::cos(deg * kDeg), s = std::sin(deg * kDeg);
  Xf r;
  r.Y = {0, c, s};
  r.Z = {0, -s, c};
  return r;
}

Xf RotY(float deg) {  // positive turns +x towards -z (a forward pitch)
  float c = std::cos(deg * kDeg), s = std::sin(deg * kDeg);
  Xf r;
  r.X = {c, 0, -s};
  r.Z = {s, 0, c};
  return r;
}

Xf RotZ(float deg) {
  float c = std::cos(deg * kDeg), s = std::sin(deg * kDeg);
  Xf r;
  r.X = {c, s, 0};
  r.Y = {-s, c, 0};
  return r;
}

Xf Move(V3 t) {
  Xf r;
  r.T = t;
  return r;
}

// ---- scene helpers ------------------------------------------------------------------------

void Scene::Ellipsoid(V3 c, V3 r, int mat, const Xf& local) {
  Prim p;
  p.kind = Prim::Ellipsoid;
  Xf w = xf.Then(Move(c)).Then(local);
  p.c = w.T;
  p.ax = {Norm(w.X), Norm(w.Y), Norm(w.Z)};
  p.r = r;
  p.mat = mat;
  p.part = part;
  prims.push_back(p);
}

void Scene::Capsule(V3 a, V3 b, float rad, int mat) {
  Prim p;
  p.kind = Prim::Capsule;
  p.a = xf.At(a);
  p.b = xf.At(b);
  p.rad = rad;
  p.mat = mat;
  p.part = part;
  prims.push_back(p);
}

void Scene::Box(V3 c, V3 half, int mat, const Xf& local) {
  Xf w = xf.Then(Move(c)).Then(local);
  Prim p;
  p.kind = Prim::Convex;
  const V3 axes[3] = {Norm(w.X), Norm(w.Y), Norm(w.Z)};
  const float h[3] = {half.x, half.y, half.z};
  for (int i = 0; i < 3; ++i) {
    p.planes.push_back({axes[i], Dot(axes[i], w.T) + h[i]});
    p.planes.push_back({axes[i] * -1.0f, -Dot(axes[i], w.T) + h[i]});
  }
  p.mat = mat;
  p.part = part;
  prims.push_back(p);
}

void Scene::Gable(V3 c, float hx, float hy, float z0, float z1, int mat, const Xf& local) {
  Xf w = xf.Then(Move(c)).Then(local);
  auto plane = [&](V3 n, V3 at) {
    V3 wn = Norm(w.Dir(n));
    return Plane{wn, Dot(wn, w.At(at))};
  };
  Prim p;
  p.kind = Prim::Convex;
  p.planes.push_back(plane({1, 0, 0}, {hx, 0, 0}));
  p.planes.push_back(plane({-1, 0, 0}, {-hx, 0, 0}));
  p.planes.push_back(plane({0, 0, -1}, {0, 0, z0}));
  float rise = z1 - z0;
  p.planes.push_back(plane(Norm({0, rise, hy}), {0, hy, z0}));
  p.planes.push_back(plane(Norm({0, -rise, hy}), {0, -hy, z0}));
  p.mat = mat;
  p.part = part;
  prims.push_back(p);
}

void Scene::Cone(V3 base, float r0, float r1, float h, int sides, int mat, float turn) {
  Prim p;
  p.kind = Prim::Convex;
  auto add = [&](V3 n, V3 at) {
    V3 wn = Norm(xf.Dir(n));
    p.planes.push_back({wn, Dot(wn, xf.At(at))});
  };
  add({0, 0, -1}, base);
  if (r1 > 0) add({0, 0, 1}, base + V3{0, 0, h});
  for (int i = 0; i < sides; ++i) {
    float a = (turn + (i + 0.5f) * 360.0f / sides) * kDeg;
    V3 dir{std::cos(a), std::sin(a), 0};
    float apo0 = r0 * std::cos(3.14159265f / sides);
    float apo1 = r1 * std::cos(3.14159265f / sides);
    V3 n = Norm(dir * h + V3{0, 0, apo0 - apo1});
    add(n, base + dir * apo0);
  }
  p.mat = mat;
  p.part = part;
  prims.push_back(p);
}

// ---- ray casting --------------------------------------------------------------------------

namespace {

constexpr float kNoHit = std::numeric_limits<float>::max();

struct Hit {
  float t = kNoHit;
  V3 n{};
  int prim = -1;
};

bool HitEllipsoid(const Prim& p, V3 o, V3 d, float& t, V3& n) {
  V3 lo{Dot(o - p.c, p.ax[0]) / p.r.x, Dot(o - p.c, p.ax[1]) / p.r.y,
        Dot(o - p.c, p.ax[2]) / p.r.z};
  V3 ld{Dot(d, p.ax[0]) / p.r.x, Dot(d, p.ax[1]) / p.r.y, Dot(d, p.ax[2]) / p.r.z};
  float a = Dot(ld, ld), b = Dot(lo, ld), c = Dot(lo, lo) - 1;
  float disc = b * b - a * c;
  if (disc < 0 || a <= 0) return false;
  t = (-b - std::sqrt(disc)) / a;
  if (t <= 0) return false;
  V3 q = lo + ld * t;
  n = Norm(p.ax[0] * (q.x / p.r.x) + p.ax[1] * (q.y / p.r.y) + p.ax[2] * (q.z / p.r.z));
  return true;
}

bool HitSphere(V3 c, float r, V3 o, V3 d, float& t) {
  V3 oc = o - c;
  float b = Dot(d, oc), cc = Dot(oc, oc) - r * r;
  float h = b * b - cc;
  if (h < 0) return false;
  t = -b - std::sqrt(h);
  return t > 0;
}

bool HitCapsule(const Prim& p, V3 o, V3 d, float& t, V3& n) {
  V3 ba = p.b - p.a, oa = o - p.a;
  float baba = Dot(ba, ba), bard = Dot(ba, d), baoa = Dot(ba, oa), rdoa = Dot(d, oa),
        oaoa = Dot(oa, oa);
  float a = baba - bard * bard;
  bool found = false;
  if (a > 1e-6f) {
    float b = baba * rdoa - baoa * bard;
    float c = baba * oaoa - baoa * baoa - p.rad * p.rad * baba;
    float h = b * b - a * c;
    if (h >= 0) {
      float tb = (-b - std::sqrt(h)) / a;
      float y = baoa + tb * bard;
      if (y > 0 && y < baba && tb > 0) {
        t = tb;
        found = true;
      }
    }
  }
  if (!found) {
    float t1 = 0, t2 = 0;
    bool h1 = HitSphere(p.a, p.rad, o, d, t1), h2 = HitSphere(p.b, p.rad, o, d, t2);
    if (!h1 && !h2) return false;
    t = h1 && h2 ? std::min(t1, t2) : (h1 ? t1 : t2);
  }
  V3 pos = o + d * t, pa = pos - p.a;
  float k = baba > 0 ? std::clamp(Dot(pa, ba) / baba, 0.0f, 1.0f) : 0.0f;
  n = Norm(pa - ba * k);
  return true;
}

bool HitConvex(const Prim& p, V3 o, V3 d, float& t, V3& n) {
  float tin = -kNoHit, tout = kNoHit;
  V3 nin{};
  for (const Plane& pl : p.planes) {
    float den = Dot(pl.n, d), dist = pl.d - Dot(pl.n, o);
    if (std::fabs(den) < 1e-9f) {
      if (dist < 0) return false;
      continue;
    }
    float tt = dist / den;
    if (den < 0) {
      if (tt > tin) {
        tin = tt;
        nin = pl.n;
      }
    } else {
      tout = std::min(tout, tt);
    }
  }
  if (tin > tout || tin <= 0) return false;
  t = tin;
  n = nin;
  return true;
}

bool HitPrim(const Prim& p, V3 o, V3 d, float& t, V3& n) {
  switch (p.kind) {
    case Prim::Ellipsoid:
      return HitEllipsoid(p, o, d, t, n);
    case Prim::Capsule:
      return HitCapsule(p, o, d, t, n);
    case Prim::Convex:
      return HitConvex(p, o, d, t, n);
  }
  return false;
}

Hit Cast(const Scene& s, V3 o, V3 d, bool shadowOnly) {
  Hit best;
  for (size_t i = 0; i < s.prims.size(); ++i) {
    const Prim& p = s.prims[i];
    if (shadowOnly && !p.shadow) continue;
    float t;
    V3 n;
    if (HitPrim(p, o, d, t, n) && t < best.t) {
      best = {t, n, static_cast<int>(i)};
      if (shadowOnly) return best;
    }
  }
  return best;
}

float Fract(float v) {
  return v - std::floor(v);
}

// Shade step change from the surface pattern of a material.
int PatternShift(Pat pat, V3 p, V3 n) {
  bool top = n.z > 0.75f;
  float u = std::fabs(n.x) > std::fabs(n.y) ? p.y : p.x;
  switch (pat) {
    case Pat::Plain:
      return 0;
    case Pat::Stone: {
      if (top) {
        int bx = static_cast<int>(std::floor(p.x / 6)), by = static_cast<int>(std::floor(p.y / 5));
        if (Fract(p.x / 6) < 0.16f || Fract(p.y / 5) < 0.2f) return -1;
        return Hash01(bx, by, 7) > 0.8f ? 1 : 0;
      }
      int row = static_cast<int>(std::floor(p.z / 4));
      float off = (row & 1) ? 4.0f : 0.0f;
      if (Fract(p.z / 4) < 0.25f || Fract((u + off) / 8) < 0.12f) return -1;
      float h = Hash01(static_cast<int>(std::floor((u + off) / 8)), row, 11);
      return h > 0.82f ? 1 : (h < 0.15f ? -1 : 0);
    }
    case Pat::Planks: {
      if (top) return Fract(p.x / 4) < 0.25f ? -1 : 0;
      if (Fract(u / 4) < 0.25f) return -1;
      return Hash01(static_cast<int>(std::floor(u / 4)), static_cast<int>(std::floor(p.z / 3)), 5) >
                     0.85f
                 ? -1
                 : 0;
    }
    case Pat::Tiles: {
      int row = static_cast<int>(std::floor(p.z / 3));
      float along = std::fabs(n.x) > std::fabs(n.y) ? p.y : p.x;
      float off = (row & 1) ? 2.5f : 0.0f;
      if (Fract(p.z / 3) < 0.3f) return -1;
      if (Fract((along + off) / 5) < 0.14f) return -1;
      return 0;
    }
    case Pat::Rough: {
      float h = Hash01(
          static_cast<int>(std::floor(p.x / 2)),
          static_cast<int>(std::floor(p.y / 2)) * 31 + static_cast<int>(std::floor(p.z / 2)), 3);
      return h < 0.22f ? -1 : (h > 0.88f ? 1 : 0);
    }
    case Pat::Thatch: {
      float ang = std::atan2(p.y, p.x) * 24.0f;
      float h = Hash01(static_cast<int>(std::floor(ang)), static_cast<int>(std::floor(p.z / 5)), 9);
      if (Fract(p.z / 9) < 0.12f) return -1;
      return h < 0.3f ? -1 : (h > 0.9f ? 1 : 0);
    }
  }
  return 0;
}

const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

}  // namespace

Picture RenderCell(const Scene& s, const View& v, int w, int h, const std::vector<Spark>& sparks) {
  const float tilt = v.tilt * kDeg;
  const Xf toModel = RotZ(-v.heading);
  const V3 R = toModel.Dir({1, 0, 0});
  const V3 U = toModel.Dir({0, std::sin(tilt), std::cos(tilt)});
  const V3 D = toModel.Dir({0, std::cos(tilt), -std::sin(tilt)});
  const V3 L = toModel.Dir(Norm({-0.55f, -0.22f, 0.8f}));
  const V3 H = Norm(L - D);

  auto origin = [&](float px, float py) {
    float sx = px - v.ox, sy = v.oy - py;
    return R * sx + U * sy - D * 400.0f;
  };

  const size_t n = static_cast<size_t>(w) * h;
  std::vector<int> prim(n, -1), level(n, 0);
  std::vector<float> depth(n, kNoHit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      V3 o = origin(x + 0.5f, y + 0.5f);
      Hit hit = Cast(s, o, D, false);
      if (hit.prim < 0) continue;
      const size_t i = static_cast<size_t>(y) * w + x;
      const Prim& p = s.prims[hit.prim];
      const Material& m = s.mats[p.mat];
      V3 pos = o + D * hit.t;
      int lv;
      if (m.glow) {
        lv = std::clamp(static_cast<int>(1 + 3.6f * std::max(0.0f, -Dot(hit.n, D))), 1, 4);
      } else {
        float diff = std::max(0.0f, Dot(hit.n, L));
        float val = 0.3f + 0.7f * diff;
        lv = val < 0.42f ? 0 : val < 0.58f ? 1 : val < 0.74f ? 2 : val < 0.88f ? 3 : 4;
        lv += PatternShift(m.pattern, pos, hit.n);
        if (m.shine > 0 && std::pow(std::max(0.0f, Dot(hit.n, H)), m.shine) > 0.55f) lv = 4;
      }
      prim[i] = hit.prim;
      level[i] = std::clamp(lv + m.bias, 0, 4);
      depth[i] = hit.t;
    }

  Picture out(w, h);
  const int dx4[4] = {1, -1, 0, 0}, dy4[4] = {0, 0, 1, -1};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y) * w + x;
      if (prim[i] < 0) continue;
      const Prim& p = s.prims[prim[i]];
      int lv = level[i];
      // Inner line where a nearer part covers this one.
      for (int k = 0; k < 4; ++k) {
        int nx = x + dx4[k], ny = y + dy4[k];
        if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
        const size_t j = static_cast<size_t>(ny) * w + nx;
        if (prim[j] >= 0 && s.prims[prim[j]].part != p.part && depth[i] > depth[j] + 2.5f) lv = 0;
      }
      out.Set(x, y, s.mats[p.mat].ramp[lv]);
    }

  // Outline and shadow on the background.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y) * w + x;
      if (prim[i] >= 0) continue;
      int near = -1;
      float nearDepth = kNoHit;
      for (int k = 0; k < 4; ++k) {
        int nx = x + dx4[k], ny = y + dy4[k];
        if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
        const size_t j = static_cast<size_t>(ny) * w + nx;
        if (prim[j] >= 0 && depth[j] < nearDepth) {
          near = prim[j];
          nearDepth = depth[j];
        }
      }
      if (near >= 0) {
        out.Set(x, y, Mix(s.mats[s.prims[near].mat].ramp[0], Rgb{10, 8, 14}, 0.55f));
        continue;
      }
      float cover = 0;
      for (int k = 0; k < 4; ++k) {
        V3 o = origin(x + 0.25f + 0.5f * (k & 1), y + 0.25f + 0.5f * (k >> 1));
        float t = -o.z / D.z;
        V3 g = o + D * t;
        if (Cast(s, g + V3{0, 0, 0.01f}, L, true).prim >= 0) cover += 0.25f;
      }
      if (cover > 0 && kBayer[y & 3][x & 3] < cover * 7.5f) out.Set(x, y, Rgb{26, 40, 26});
    }

  for (const Spark& sp : sparks) {
    float sx = Dot(sp.p, R), sy = Dot(sp.p, U);
    int cx = static_cast<int>(std::floor(v.ox + sx)), cy = static_cast<int>(std::floor(v.oy - sy));
    if (cx < 0 || cy < 0 || cx >= w || cy >= h) continue;
    const size_t at = static_cast<size_t>(cy) * w + cx;
    if (prim[at] >= 0 && depth[at] < Dot(sp.p, D) + 400.0f - 1.0f)
      continue;  // hidden behind the model
    out.Set(cx, cy, sp.c);
    for (int k = 1; k <= sp.size; ++k) {
      Rgb c = k == sp.size ? Mix(sp.c, Rgb{255, 200, 80}, 0.5f) : sp.c;
      out.Set(cx + k, cy, c);
      out.Set(cx - k, cy, c);
      out.Set(cx, cy + k, c);
      out.Set(cx, cy - k, c);
    }
  }
  return out;
}
