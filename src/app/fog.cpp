#include "app/fog.h"

#include <algorithm>
#include <cmath>

#include "app/camera.h"
#include "game/sight.h"

namespace {

constexpr uint8_t kBlack = 255;
constexpr uint8_t kDim = 150;

bool IsBuilding(const TOpisan* type) {
  return type != nullptr && type->Speeds.empty();
}

}  // namespace

void Fog::Reset(int32_t side) {
  side_ = side;
  columns_ = rows_ = 0;
  cells_.clear();
  memory_.clear();
}

void Fog::Place(const World& world) {
  const GroundRect g = GroundOf(world.Ground);
  const float x0 = g.X0 - kMargin, y0 = g.Y0 - kMargin;
  const auto columns = static_cast<int32_t>(std::ceil((g.X1 - g.X0 + 2 * kMargin) / kCell));
  const auto rows = static_cast<int32_t>(std::ceil((g.Y1 - g.Y0 + 2 * kMargin) / kCell));
  if (columns == columns_ && rows == rows_ && x0 == x0_ && y0 == y0_) return;
  x0_ = x0;
  y0_ = y0;
  columns_ = std::max(columns, 1);
  rows_ = std::max(rows, 1);
  cells_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), kNever);
}

uint8_t Fog::CellAt(float x, float y) const {
  if (!(x >= x0_ && y >= y0_)) return kNever;
  const auto c = static_cast<int64_t>((x - x0_) / kCell);
  const auto r = static_cast<int64_t>((y - y0_) / kCell);
  if (c >= columns_ || r >= rows_) return kNever;
  return cells_[static_cast<size_t>(r) * static_cast<size_t>(columns_) + static_cast<size_t>(c)];
}

// Lights the cells whose centres lie within r of (x, y), one row's span at a time.
void Fog::Light(float x, float y, float r) {
  if (!std::isfinite(x) || !std::isfinite(y) || !(r > 0)) return;
  const float cx = (x - x0_) / kCell - 0.5f;  // in cells, centres at whole numbers
  const float cy = (y - y0_) / kCell - 0.5f;
  const float rc = r / kCell;
  const int r0 = std::max(0, static_cast<int>(std::ceil(cy - rc)));
  const int r1 = std::min(rows_ - 1, static_cast<int>(std::floor(cy + rc)));
  for (int row = r0; row <= r1; ++row) {
    const float dy = static_cast<float>(row) - cy;
    const float half = std::sqrt(std::max(0.0f, rc * rc - dy * dy));
    const int c0 = std::max(0, static_cast<int>(std::ceil(cx - half)));
    const int c1 = std::min(columns_ - 1, static_cast<int>(std::floor(cx + half)));
    if (c0 > c1) continue;
    uint8_t* line = &cells_[static_cast<size_t>(row) * static_cast<size_t>(columns_)];
    std::fill(line + c0, line + c1 + 1, kLit);
  }
}

void Fog::Update(const World& world, const std::vector<SpriteChoice>& shown) {
  if (!on()) return;
  Place(world);
  for (uint8_t& c : cells_)
    if (c == kLit) c = kSeen;
  for (const TObyekt& o : world.Objects) {
    if (o.Side != side_ || !IsAlive(o)) continue;
    if (const TOpisan* type = TypeOf(world, o)) Light(o.X, o.Y, SightOf(*type));
  }
  memory_.resize(world.Objects.size());
  const size_t count = std::min(shown.size(), world.Objects.size());
  for (size_t i = 0; i < count; ++i) {
    const TObyekt& o = world.Objects[i];
    if (o.Side == side_ || !IsBuilding(TypeOf(world, o)) || !Lit(o.X, o.Y)) continue;
    memory_[i] = {true, shown[i]};
  }
}

bool Fog::Shows(const World& world, int32_t i) const {
  if (!on()) return true;
  if (!IsObjectIndex(world, i)) return false;
  const TObyekt& o = ObjectAt(world, i);
  return o.Side == side_ || Lit(o.X, o.Y);
}

std::vector<SpriteChoice> Fog::Filter(const World& world,
                                      const std::vector<SpriteChoice>& shown) const {
  if (!on()) return shown;
  std::vector<SpriteChoice> out(shown.size());
  for (size_t i = 0; i < shown.size(); ++i) {
    const auto index = static_cast<int32_t>(i);
    if (Shows(world, index)) {
      out[i] = shown[i];
    } else if (i < memory_.size() && memory_[i].Seen) {
      out[i] = memory_[i].Choice;
    }
  }
  return out;
}

FogPicture Fog::Picture() const {
  FogPicture p;
  if (!on()) return p;
  shade_.resize(cells_.size());
  for (size_t i = 0; i < cells_.size(); ++i)
    shade_[i] = cells_[i] == kLit ? 0 : cells_[i] == kSeen ? kDim : kBlack;
  p.X0 = x0_;
  p.Y0 = y0_;
  p.Cell = kCell;
  p.Columns = columns_;
  p.Rows = rows_;
  p.Shade = &shade_;
  return p;
}
