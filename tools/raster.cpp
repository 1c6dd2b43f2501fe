// Colours, pictures and the bitmap encoder of the data-set generator.
#include <algorithm>

#include "art.h"

namespace {

uint8_t Clamp8(float v) {
  return static_cast<uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, float t) {
  return {Clamp8(a.r + (b.r - a.r) * t), Clamp8(a.g + (b.g - a.g) * t),
          Clamp8(a.b + (b.b - a.b) * t)};
}

Rgb Scale(Rgb c, float f) {
  return {Clamp8(c.r * f), Clamp8(c.g * f), Clamp8(c.b * f)};
}

Ramp MakeRamp(Rgb mid) {
  const Rgb cool{34, 26, 62};
  const Rgb warm{255, 246, 206};
  return {Mix(Scale(mid, 0.42f), cool, 0.30f), Mix(Scale(mid, 0.68f), cool, 0.14f), mid,
          Mix(mid, warm, 0.24f), Mix(mid, warm, 0.50f)};
}

void Picture::Set(int x, int y, Rgb c) {
  if (!Inside(x, y)) return;
  if (c == kKey) c = {250, 250, 250};
  Px[static_cast<size_t>(y) * W + x] = c;
}

void Picture::Blit(const Picture& cell, int x0, int y0) {
  for (int y = 0; y < cell.H; ++y)
    for (int x = 0; x < cell.W; ++x) {
      Rgb c = cell.Get(x, y);
      if (!(c == kKey) && Inside(x0 + x, y0 + y)) Px[static_cast<size_t>(y0 + y) * W + x0 + x] = c;
    }
}

std::vector<uint8_t> EncodeBmp(const Picture& p) {
  const uint32_t dataSize = static_cast<uint32_t>(p.W) * p.H * 3;
  std::vector<uint8_t> out;
  out.reserve(54 + dataSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + dataSize);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(p.W));
  Put32(out, static_cast<uint32_t>(p.H));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // no compression
  Put32(out, dataSize);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = p.H - 1; y >= 0; --y)  // bottom-up
    for (int x = 0; x < p.W; ++x) {
      Rgb c = p.Get(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
  return out;
}

float Hash01(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<float>(h & 0xFFFFFF) / 16777216.0f;
}
