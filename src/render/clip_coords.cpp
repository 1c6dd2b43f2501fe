#include "render/clip_coords.h"

#include <GL/gl.h>

// Built with -ffp-contract=off: each product is rounded before it is added, as in the pipeline.

bool ClipCoords::Handled() const {
  const float* p = Projection;
  const float* m = Modelview;
  // Entries listed column by column.
  const bool ortho = p[1] == 0 && p[2] == 0 && p[3] == 0 && p[4] == 0 && p[6] == 0 && p[7] == 0 &&
                     p[8] == 0 && p[9] == 0 && p[11] == 0 && p[15] == 1;
  const bool shift = m[1] == 0 && m[2] == 0 && m[3] == 0 && m[4] == 0 && m[6] == 0 && m[7] == 0 &&
                     m[8] == 0 && m[9] == 0 && m[11] == 0 && m[15] == 1;
  return ortho && shift;
}

ClipCoords::Origin ClipCoords::Translate(const Origin& from, float x, float y, float z) const {
  const float* m = Modelview;
  Origin o;
  for (int i = 0; i < 4; ++i) o.T[i] = m[i] * x + m[4 + i] * y + m[8 + i] * z + from.T[i];
  return o;
}

ClipCoords::Product ClipCoords::At(const Origin& origin) const {
  // Row i of the product: the products of row i of the projection with a column, summed in order.
  const float* p = Projection;
  const float* m = Modelview;
  const auto entry = [&](int i, const float* column) {
    return p[i] * column[0] + p[4 + i] * column[1] + p[8 + i] * column[2] + p[12 + i] * column[3];
  };
  Product r;
  r.ScaleX = entry(0, &m[0]);
  r.ScaleY = entry(1, &m[4]);
  r.ShiftX = entry(0, origin.T);
  r.ShiftY = entry(1, origin.T);
  r.Z = entry(2, origin.T);
  return r;
}

// The terms of the other columns are zeros.
float ClipCoords::X(const Product& p, float vx) {
  return vx * p.ScaleX + p.ShiftX;
}

float ClipCoords::Y(const Product& p, float vy) {
  return vy * p.ScaleY + p.ShiftY;
}

bool ReadClipCoords(ClipCoords& out) {
  glGetFloatv(GL_PROJECTION_MATRIX, out.Projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, out.Modelview);
  GLint depthBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  out.Depth = depthBits > 0;
  GLint depth[4] = {};
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth[0]);
  glGetIntegerv(GL_MAX_PROJECTION_STACK_DEPTH, &depth[1]);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth[2]);
  glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &depth[3]);
  return out.Handled() && depth[0] < depth[1] && depth[2] < depth[3];
}

IdentityMatrices::IdentityMatrices() {
  GLint mode = GL_MODELVIEW;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  mode_ = mode;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

IdentityMatrices::~IdentityMatrices() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  if (mode_ != GL_MODELVIEW) glMatrixMode(static_cast<GLenum>(mode_));
}
