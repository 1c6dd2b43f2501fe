#include "render/batching.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "render/render.h"

namespace {

// Batch kinds: a texture name for sprites, above every name lines.
constexpr uint64_t kLines = uint64_t{1} << 32;

// Footprint cells of 16 logical pixels; every footprint is widened by kPad logical pixels (more
// for lines wider than 3), more than half the widest line and any rounding of the rasteriser.
constexpr float kCell = 16;
constexpr float kPad = 4;

// Vertices per draw call: far below the 128 that fill a 4 KiB vertex buffer of the pipeline.
// A full buffer that also holds a primitive beyond the edge of the view draws some quads unlike
// one draw per quad (Mesa llvmpipe); edge primitives are drawn alone, and this keeps buffers
// from filling all the same. Quads, and lines, drawn one after another without a state change
// between merge into one call.
constexpr uint32_t kCallVertices = 64;

bool Inside(float c) {
  return c > -1 && c < 1;
}

// Whether lines, whose colours are opaque, draw the same pixels without blending and the alpha
// test: the frame's blending of the source over by its alpha, and a test that alpha 1 passes.
bool OpaqueBlend() {
  if (!glIsEnabled(GL_BLEND)) return false;
  GLint src = 0, dst = 0, func = 0;
  GLfloat ref = 1;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
  glGetFloatv(GL_ALPHA_TEST_REF, &ref);
  const bool test = !glIsEnabled(GL_ALPHA_TEST) || (func == GL_GREATER && ref < 1);
  return src == GL_SRC_ALPHA && dst == GL_ONE_MINUS_SRC_ALPHA && test;
}

}  // namespace

void Width(Drawn& d, float logical) {
  if (d.LineWidth == logical) return;
  SetLineWidth(logical);
  d.LineWidth = logical;
}

void Batching::Begin(const ClipCoords& clip, float widest) {
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
  const float pad = std::max(kPad, widest / 2 + 2.5f);
  padX_ = pad * sx;
  padY_ = pad * sy;
  batches_.Reset(cols_, rows_);
  added_.clear();
  pieces_.clear();
  switches_ = 0;
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
// view is dropped; on a surface with a depth buffer one with a vertex on or outside the edge of
// the view is drawn alone: a draw call that holds it may be clipped as a whole, which splits its
// quads along the other diagonal. The footprint of lines is their segments, so that a box does
// not hold what it encloses.
void Batching::File(uint64_t kind, float width, size_t first) {
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
  if (x1 + padX_ < -1 || x0 - padX_ > 1 || y1 + padY_ < -1 || y0 - padY_ > 1) {
    added_.resize(first);
    return;
  }
  Piece p;
  p.X0 = Cell(x0 - padX_, true, false);
  p.Y0 = Cell(y0 - padY_, false, false);
  p.X1 = Cell(x1 + padX_, true, true);
  p.Y1 = Cell(y1 + padY_, false, true);
  footprint_.clear();
  if (width > 0) {
    for (size_t k = first; k + 1 < added_.size(); k += 2) {
      const Vertex& a = added_[k];
      const Vertex& b = added_[k + 1];
      footprint_.push_back({Cell(std::min(a.X, b.X) - padX_, true, false),
                            Cell(std::min(a.Y, b.Y) - padY_, false, false),
                            Cell(std::max(a.X, b.X) + padX_, true, true),
                            Cell(std::max(a.Y, b.Y) + padY_, false, true)});
    }
  } else {
    footprint_.push_back({p.X0, p.Y0, p.X1, p.Y1});
  }
  p.Batch = batches_.Add(kind, footprint_.data(), footprint_.size());
  p.Run = 0;
  p.First = static_cast<uint32_t>(first);
  p.Count = static_cast<uint32_t>(added_.size() - first);
  p.Width = width;
  p.Alone = !inside && clip_.Depth;
  pieces_.push_back(p);
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
  File(texture, 0, first);
}

void Batching::Bar(const ClipCoords::Product& p, float y, float energy, float width) {
  const size_t first = added_.size();
  Add(p, 0, y, 0, 0, 1, 0, 0);
  Add(p, energy / 20, y, 0, 0, 1, 1, 0);
  Add(p, energy / 20, y, 0, 0, 1, 1, 0);
  Add(p, energy / 10, y, 0, 0, 0, 1, 0);
  File(kLines, width, first);
}

// The four sides as separate segments, in the order a line loop draws them: each segment of a
// loop is rasterised as a line of its own, so the pixels are the loop's.
void Batching::Box(const ClipCoords::Product& p, float w, float h) {
  const size_t first = added_.size();
  const float corners[5][2] = {{0, 0}, {0, h}, {w, h}, {w, 0}, {0, 0}};
  for (int k = 0; k < 4; ++k) {
    Add(p, corners[k][0], corners[k][1], 0, 0, 0, 0, 1);
    Add(p, corners[k + 1][0], corners[k + 1][1], 0, 0, 0, 0, 1);
  }
  File(kLines, 1, first);
}

// Puts the pieces batch after batch, each batch in drawing order except that the lines of a
// batch go in runs of one width (again sharing no pixel out of order).
void Batching::Sort() {
  const std::vector<int32_t>& order = batches_.Order();
  const size_t batches = order.size();
  rank_.resize(batches);
  for (size_t k = 0; k < batches; ++k)
    rank_[static_cast<size_t>(order[k])] = static_cast<int32_t>(k);
  starts_.assign(batches + 1, 0);
  for (const Piece& p : pieces_)
    ++starts_[static_cast<size_t>(rank_[static_cast<size_t>(p.Batch)]) + 1];
  for (size_t b = 0; b < batches; ++b) starts_[b + 1] += starts_[b];
  order_.resize(pieces_.size());
  // starts_[r] advances over the batch of rank r, then holds the start of the next.
  for (const Piece& p : pieces_)
    order_[starts_[static_cast<size_t>(rank_[static_cast<size_t>(p.Batch)])]++] = p;
  for (size_t b = batches; b > 0; --b) starts_[b] = starts_[b - 1];
  starts_[0] = 0;
  for (size_t b = 0; b < batches; ++b) {
    const auto begin = order_.begin() + starts_[b];
    const auto end = order_.begin() + starts_[b + 1];
    if (begin->Width == 0) continue;
    const bool one =
        std::all_of(begin, end, [&](const Piece& p) { return p.Width == begin->Width; });
    if (one) continue;
    runs_.Reset(cols_, rows_);
    for (auto p = begin; p != end; ++p)
      p->Run = runs_.Add(static_cast<uint64_t>(p->Width), p->X0, p->Y0, p->X1, p->Y1);
    const std::vector<int32_t>& runOrder = runs_.Order();
    runRank_.resize(runOrder.size());
    for (size_t k = 0; k < runOrder.size(); ++k)
      runRank_[static_cast<size_t>(runOrder[k])] = static_cast<int32_t>(k);
    for (auto p = begin; p != end; ++p) p->Run = runRank_[static_cast<size_t>(p->Run)];
    std::stable_sort(begin, end, [](const Piece& a, const Piece& c) { return a.Run < c.Run; });
  }
}

void Batching::Draw(Drawn& d) {
  Sort();
  if (order_.empty()) return;
  IdentityMatrices identity;
  bool texturing = true;
  // Lines skip the blending (cheaper on a software rasteriser) where it changes no pixel.
  const bool alphaTest = glIsEnabled(GL_ALPHA_TEST);
  const bool unblended = OpaqueBlend();
  const auto blend = [&](bool on) {
    if (!unblended) return;
    if (on) {
      glEnable(GL_BLEND);
      if (alphaTest) glEnable(GL_ALPHA_TEST);
    } else {
      glDisable(GL_BLEND);
      if (alphaTest) glDisable(GL_ALPHA_TEST);
    }
  };
  // Vertices since the last state change of quads or of lines, which merge into one call.
  uint32_t merged = 0;
  const auto end = [&] {
    if (merged == 0) return;
    glLoadIdentity();  // the same matrix: only the call ends
    ++calls_;
    merged = 0;
  };
  for (size_t k = 0; k < order_.size(); ++k) {
    const Piece& p = order_[k];
    if (k == 0 || p.Batch != order_[k - 1].Batch || p.Run != order_[k - 1].Run) {
      const uint64_t kind = batches_.Kind(p.Batch);
      const uint32_t texture = static_cast<uint32_t>(kind);
      bool changed = false;
      if (kind < kLines) {
        if (!texturing) {
          glEnable(GL_TEXTURE_2D);
          blend(true);
          glColor3f(1, 1, 1);
          texturing = true;
          changed = true;
          ++switches_;
        }
        if (!d.Any || d.Texture != texture) {
          glBindTexture(GL_TEXTURE_2D, texture);
          changed = true;
        }
        d.Any = true;
        d.Texture = texture;
      } else {
        if (texturing) {
          glDisable(GL_TEXTURE_2D);
          blend(false);
          texturing = false;
          changed = true;
          ++switches_;
        }
        changed = changed || d.LineWidth != p.Width;
        Width(d, p.Width);
      }
      if (changed && merged > 0) {
        ++calls_;
        merged = 0;
      }
    }
    // Quads and lines merge up to kCallVertices.
    if (p.Alone || merged + p.Count > kCallVertices) end();
    const Vertex* v = &added_[p.First];
    if (p.Width == 0) {
      glBegin(GL_QUADS);
      for (uint32_t i = 0; i < p.Count; ++i) {
        glTexCoord2f(v[i].U, v[i].V);
        glVertex3f(v[i].X, v[i].Y, v[i].Z);
      }
    } else {
      glBegin(GL_LINES);
      for (uint32_t i = 0; i < p.Count; ++i) {
        glColor3f(v[i].R, v[i].G, v[i].B);
        glVertex3f(v[i].X, v[i].Y, v[i].Z);
      }
    }
    glEnd();
    merged += p.Count;
    if (p.Alone) end();
  }
  if (merged > 0) ++calls_;
  if (!texturing) {
    glEnable(GL_TEXTURE_2D);
    blend(true);
  }
}
