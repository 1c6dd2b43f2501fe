#include "render/batching.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "render/render.h"

namespace {

// Batch kinds: a texture name for sprites, above every name the two kinds of lines.
constexpr uint64_t kBars = uint64_t{1} << 32;
constexpr uint64_t kBoxes = uint64_t{2} << 32;

// Footprint cells of 16 logical pixels; every footprint is widened by kPad logical pixels,
// more than half the widest line and any rounding of the rasteriser.
constexpr float kCell = 16;
constexpr float kPad = 4;

// Vertices per draw call: far below the 128 a 4 KiB vertex buffer of the pipeline holds, which
// when full draws its last quad unlike a draw of that quad alone (Mesa llvmpipe).
constexpr uint32_t kCallVertices = 64;

bool Inside(float c) {
  return c > -1 && c < 1;
}

}  // namespace

void Width(Drawn& d, float logical) {
  if (d.LineWidth == logical) return;
  SetLineWidth(logical);
  d.LineWidth = logical;
}

void Batching::Begin(const ClipCoords& clip) {
  clip_ = clip;
  const float sx = std::fabs(clip.Projection[0]);
  const float sy = std::fabs(clip.Projection[5]);
  // Cells over the view (clip -1 .. 1) and one cell of border each side.
  const auto count = [](float scale) {
    const float cells = std::ceil(2 / (scale * kCell));
    return cells >= 1 && cells <= 1024 ? static_cast<int32_t>(cells) + 2 : 1026;
  };
  cols_ = count(sx);
  rows_ = count(sy);
  cellX_ = 2 / static_cast<float>(cols_ - 2);
  cellY_ = 2 / static_cast<float>(rows_ - 2);
  padX_ = kPad * sx;
  padY_ = kPad * sy;
  batches_.Reset(cols_, rows_);
  added_.clear();
  pieces_.clear();
  calls_ = 0;
}

int32_t Batching::Cell(float c, bool x, bool high) const {
  const int32_t cells = x ? cols_ : rows_;
  const float t = std::floor((c + 1) / (x ? cellX_ : cellY_)) + 1;
  if (std::isnan(t)) return high ? cells - 1 : 0;  // unknown: anywhere
  return static_cast<int32_t>(std::clamp(t, 0.0f, static_cast<float>(cells - 1)));
}

void Batching::Add(const ClipCoords::Product& p, float vx, float vy, float u, float v, float r,
                   float g, float b) {
  added_.push_back({ClipCoords::X(p, vx), ClipCoords::Y(p, vy), p.Z, u, v, r, g, b});
}

// Files the vertices added since `first` as one primitive of `kind`. One that cannot reach the
// view is dropped; one with a vertex on or outside the edge of the view is drawn alone: a draw
// call that holds it may be clipped, which splits its quads along the other diagonal.
void Batching::File(uint64_t kind, size_t first) {
  float x0 = added_[first].X, x1 = x0, y0 = added_[first].Y, y1 = y0;
  bool inside = true;
  for (size_t k = first; k < added_.size(); ++k) {
    const Vertex& v = added_[k];
    x0 = std::min(x0, v.X);
    x1 = std::max(x1, v.X);
    y0 = std::min(y0, v.Y);
    y1 = std::max(y1, v.Y);
    inside = inside && Inside(v.X) && Inside(v.Y) && Inside(v.Z);
  }
  x0 -= padX_;
  x1 += padX_;
  y0 -= padY_;
  y1 += padY_;
  if (x1 < -1 || x0 > 1 || y1 < -1 || y0 > 1) {
    added_.resize(first);
    return;
  }
  const int32_t batch = batches_.Add(kind, Cell(x0, true, false), Cell(y0, false, false),
                                     Cell(x1, true, true), Cell(y1, false, true));
  pieces_.push_back(
      {batch, static_cast<uint32_t>(first), static_cast<uint32_t>(added_.size() - first), !inside});
}

void Batching::Quad(uint32_t texture, const ClipCoords::Product& p, float w, float h,
                    const SpriteCell& cell) {
  const float uL = static_cast<float>(cell.UL), uR = static_cast<float>(cell.UR);
  const float vB = static_cast<float>(cell.VB), vT = static_cast<float>(cell.VT);
  const size_t first = added_.size();
  Add(p, 0, 0, uL, vB, 1, 1, 1);
  Add(p, w, 0, uR, vB, 1, 1, 1);
  Add(p, w, h, uR, vT, 1, 1, 1);
  Add(p, 0, h, uL, vT, 1, 1, 1);
  File(texture, first);
}

void Batching::Bar(const ClipCoords::Product& p, float y, float energy) {
  const size_t first = added_.size();
  Add(p, 0, y, 0, 0, 1, 0, 0);
  Add(p, energy / 20, y, 0, 0, 1, 1, 0);
  Add(p, energy / 20, y, 0, 0, 1, 1, 0);
  Add(p, energy / 10, y, 0, 0, 0, 1, 0);
  File(kBars, first);
}

void Batching::Box(const ClipCoords::Product& p, float w, float h) {
  // The loop's four sides as lines, each from the corner the loop reaches first.
  const float corners[5][2] = {{0, 0}, {0, h}, {w, h}, {w, 0}, {0, 0}};
  const size_t first = added_.size();
  for (int k = 0; k < 4; ++k) {
    Add(p, corners[k][0], corners[k][1], 0, 0, 0, 0, 1);
    Add(p, corners[k + 1][0], corners[k + 1][1], 0, 0, 0, 0, 1);
  }
  File(kBoxes, first);
}

// Puts the pieces and their vertices batch after batch, each batch in drawing order.
void Batching::Sort() {
  const size_t batches = static_cast<size_t>(batches_.Count());
  starts_.assign(batches + 1, 0);
  for (const Piece& p : pieces_) ++starts_[static_cast<size_t>(p.Batch) + 1];
  for (size_t b = 0; b < batches; ++b) starts_[b + 1] += starts_[b];
  order_.resize(pieces_.size());
  // starts_[b] advances over batch b, then holds the start of batch b + 1.
  for (const Piece& p : pieces_) order_[starts_[static_cast<size_t>(p.Batch)]++] = p;
  for (size_t b = batches; b > 0; --b) starts_[b] = starts_[b - 1];
  starts_[0] = 0;
  sorted_.clear();
  for (Piece& p : order_) {
    const uint32_t at = static_cast<uint32_t>(sorted_.size());
    sorted_.insert(sorted_.end(), added_.begin() + p.First, added_.begin() + p.First + p.Count);
    p.First = at;
  }
}

void Batching::Draw(Drawn& d) {
  Sort();
  if (sorted_.empty()) return;
  IdentityMatrices identity;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &sorted_[0].X);
  glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &sorted_[0].U);
  glColorPointer(3, GL_FLOAT, sizeof(Vertex), &sorted_[0].R);
  bool texturing = true;
  bool coords = false;
  bool colours = false;
  const auto arrays = [&](bool wantCoords, bool wantColours) {
    if (coords != wantCoords) {
      wantCoords ? glEnableClientState(GL_TEXTURE_COORD_ARRAY)
                 : glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      coords = wantCoords;
    }
    if (colours != wantColours) {
      wantColours ? glEnableClientState(GL_COLOR_ARRAY) : glDisableClientState(GL_COLOR_ARRAY);
      colours = wantColours;
    }
  };
  for (int32_t b = 0; b < batches_.Count(); ++b) {
    const uint64_t kind = batches_.Kind(b);
    GLenum mode = GL_LINES;
    if (kind < kBars) {
      const uint32_t texture = static_cast<uint32_t>(kind);
      if (!texturing) {
        glEnable(GL_TEXTURE_2D);
        glColor3f(1, 1, 1);
        texturing = true;
      }
      if (!d.Any || d.Texture != texture) glBindTexture(GL_TEXTURE_2D, texture);
      d.Any = true;
      d.Texture = texture;
      arrays(true, false);
      mode = GL_QUADS;
    } else {
      if (texturing) {
        glDisable(GL_TEXTURE_2D);
        texturing = false;
      }
      if (kind == kBars) {
        Width(d, 3);
        arrays(false, true);
      } else {
        Width(d, 1);
        arrays(false, false);
        glColor3f(0, 0, 1);
      }
    }
    // Runs of pieces in calls of up to kCallVertices vertices, a piece alone in a call of its own.
    uint32_t first = 0;
    uint32_t count = 0;
    const auto call = [&] {
      if (count == 0) return;
      glDrawArrays(mode, static_cast<GLint>(first), static_cast<GLsizei>(count));
      ++calls_;
      count = 0;
    };
    for (uint32_t k = starts_[static_cast<size_t>(b)]; k < starts_[static_cast<size_t>(b) + 1];
         ++k) {
      const Piece& p = order_[k];
      if (p.Alone || count + p.Count > kCallVertices) call();
      if (count == 0) first = p.First;
      count += p.Count;
      if (p.Alone) call();
    }
    call();
  }
  arrays(false, false);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (!texturing) glEnable(GL_TEXTURE_2D);
}
