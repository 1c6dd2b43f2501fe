#include "icons.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <string>

#include "art.h"

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  Put32(out, Crc32(body.data(), body.size()));
}

// The dithered ground shadow the renderer puts under a model; an icon has no ground.
constexpr Rgb kShadow{26, 40, 26};

bool Background(Rgb c) {
  return c == kKey || c == kShadow;
}

// The base sheet's first frame facing the viewer, cropped to the building; key is transparent.
struct Art {
  int w = 0, h = 0;
  std::vector<std::array<float, 4>> px;  // premultiplied RGBA in [0, 1]
};

Art TownHall() {
  const Picture sheet = BaseSheet(Race::Human);
  const int x0 = 2 * kBuildingCell;  // column 3 faces the viewer
  int left = kBuildingCell, right = -1, top = kBuildingCell, bottom = -1;
  for (int y = 0; y < kBuildingCell; ++y) {
    for (int x = 0; x < kBuildingCell; ++x) {
      if (Background(sheet.Get(x0 + x, y))) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  Art art;
  if (right < 0) return art;
  // A square around the building, centred.
  const int side = std::max(right - left, bottom - top) + 1;
  const int ox = left - (side - (right - left + 1)) / 2;
  const int oy = top - (side - (bottom - top + 1)) / 2;
  art.w = art.h = side;
  art.px.assign(static_cast<size_t>(side) * side, {0, 0, 0, 0});
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const int sx = ox + x, sy = oy + y;
      if (sx < 0 || sy < 0 || sx >= kBuildingCell || sy >= kBuildingCell) continue;
      const Rgb c = sheet.Get(x0 + sx, sy);
      if (Background(c)) continue;
      art.px[static_cast<size_t>(y) * side + x] = {c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1};
    }
  }
  return art;
}

}  // namespace

std::vector<uint8_t> EncodePng(int w, int h, const std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(header, static_cast<uint32_t>(w));
  Put32(header, static_cast<uint32_t>(h));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  Chunk(out, "IHDR", header);

  // Each row starts with filter type 0.
  std::vector<uint8_t> raw;
  const size_t stride = static_cast<size_t>(w) * 4;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgba.begin() + static_cast<std::ptrdiff_t>(y * stride),
               rgba.begin() + static_cast<std::ptrdiff_t>((y + 1) * stride));
  }
  // zlib stream of stored blocks of at most 65535 bytes, then the Adler-32 of the data.
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n));
    z.push_back(static_cast<uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
             raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  Put32(z, (b << 16) | a);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  return out;
}

std::vector<uint8_t> IconPixels(int size) {
  static const Art art = TownHall();
  std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4, 0);
  if (art.w == 0 || size <= 0) return rgba;
  // Area average of the source under each target pixel, with premultiplied alpha.
  const double scale = static_cast<double>(art.w) / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double fx0 = x * scale, fx1 = (x + 1) * scale;
      const double fy0 = y * scale, fy1 = (y + 1) * scale;
      std::array<double, 4> sum{};
      for (int sy = static_cast<int>(fy0); sy < art.h && sy < fy1; ++sy) {
        const double wy = std::min<double>(sy + 1, fy1) - std::max<double>(sy, fy0);
        for (int sx = static_cast<int>(fx0); sx < art.w && sx < fx1; ++sx) {
          const double wx = std::min<double>(sx + 1, fx1) - std::max<double>(sx, fx0);
          const auto& p = art.px[static_cast<size_t>(sy) * art.w + sx];
          for (int k = 0; k < 4; ++k)
            sum[static_cast<size_t>(k)] += p[static_cast<size_t>(k)] * wx * wy;
        }
      }
      const double area = scale * scale;
      const double alpha = sum[3] / area;
      uint8_t* out = &rgba[(static_cast<size_t>(y) * size + x) * 4];
      if (alpha <= 0) continue;
      for (int k = 0; k < 3; ++k) {
        out[k] = static_cast<uint8_t>(
            std::lround(std::clamp(sum[static_cast<size_t>(k)] / sum[3], 0.0, 1.0) * 255));
      }
      out[3] = static_cast<uint8_t>(std::lround(std::clamp(alpha, 0.0, 1.0) * 255));
    }
  }
  return rgba;
}

bool WriteIcons(const std::filesystem::path& dir, const std::vector<int>& sizes) {
  bool ok = true;
  for (int size : sizes) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = dir / name / "apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::vector<uint8_t> png = EncodePng(size, size, IconPixels(size));
    std::ofstream out(folder / "rtsdemo.png", std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    ok = static_cast<bool>(out) && ok;
  }
  return ok;
}
