// Clip coordinates of vertices worked out on the CPU with the float operations, in their order,
// that the fixed-function pipeline applies: glTranslatef on the modelview matrix, the product of
// projection and modelview, then that product times the vertex. Drawn with identity matrices,
// such vertices reach the rasteriser with the same bits as vertices drawn under the matrices.
// Exact for a modelview and a projection that each scale and shift each axis on its own (a
// translation, glScalef, glOrtho); other matrices are not handled.
#pragma once

#include <cstdint>

struct ClipCoords {
  float Projection[16] = {};  // column-major, as glGetFloatv returns them
  float Modelview[16] = {};
  bool Depth = false;  // the surface has a depth buffer

  // Modelview and projection axis by axis, last rows 0 0 0 1.
  bool Handled() const;

  // The translation column of the modelview after glTranslatef(x, y, z) applied to a
  // modelview whose translation column is `from` (its other columns those of Modelview).
  struct Origin {
    float T[4];
  };
  Origin Base() const { return {{Modelview[12], Modelview[13], Modelview[14], Modelview[15]}}; }
  Origin Translate(const Origin& from, float x, float y, float z) const;

  // Projection times modelview at an origin: what multiplies the vertex.
  struct Product {
    float ScaleX, ScaleY;     // x and y entries of the diagonal
    float ShiftX, ShiftY, Z;  // last column; Z is the clip z of a vertex with z 0
  };
  Product At(const Origin& origin) const;

  // Clip x and y of the vertex (vx, vy, 0, 1); its clip z is p.Z and w 1.
  static float X(const Product& p, float vx);
  static float Y(const Product& p, float vy);
};

// The current matrices (needs a current context); false when they are not handled or a matrix
// stack has no room for IdentityMatrices.
bool ReadClipCoords(ClipCoords& out);

// Identity projection and modelview for its lifetime; the matrices and the matrix mode are
// restored after.
class IdentityMatrices {
 public:
  IdentityMatrices();
  ~IdentityMatrices();
  IdentityMatrices(const IdentityMatrices&) = delete;
  IdentityMatrices& operator=(const IdentityMatrices&) = delete;

 private:
  int32_t mode_;
};
