#include "render/render.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <utility>

void InitGL() {
  glClearColor(0, 0, 0, 1);
  glShadeModel(GL_SMOOTH);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  ForgetFogTexture();  // a new context has none of the old one's textures
}

namespace {
// Device pixels per logical pixel of the current view, set with its projection.
double viewPixelRatio = 1;

double SaneRatio(double pixelRatio) {
  return pixelRatio > 0 && pixelRatio <= 16 ? pixelRatio : 1;  // a bad ratio draws at 1x
}
}  // namespace

int DevicePixels(int logical, double pixelRatio) {
  return static_cast<int>(std::lround(logical * SaneRatio(pixelRatio)));
}

void SetLineWidth(float logical) {
  glLineWidth(static_cast<float>(logical * viewPixelRatio));
}

void SetPointSize(float logical) {
  glPointSize(static_cast<float>(logical * viewPixelRatio));
}

void ResizeGL(int w, int h, double pixelRatio) {
  viewPixelRatio = SaneRatio(pixelRatio);
  glLineWidth(static_cast<float>(viewPixelRatio));
  glViewport(0, 0, DevicePixels(w, pixelRatio), DevicePixels(h, pixelRatio));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, w, 0, h, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void FirstFrameGL() {
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.1f);
  glColor3f(1, 1, 1);
}

void BeginFrameGL(float cameraX, float cameraY, float zoom) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  if (zoom != 1) glScalef(zoom, zoom, 1);
  glTranslatef(cameraX, cameraY, 0);
}

void DrawSelectionRectangle(int x1, int y1, int x2, int y2) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  SetLineWidth(1);
  // Pixel centres, so each edge covers one row or column.
  const float l = static_cast<float>(std::min(x1, x2)) + 0.5f;
  const float r = static_cast<float>(std::max(x1, x2)) + 0.5f;
  const float b = static_cast<float>(std::min(y1, y2)) + 0.5f;
  const float t = static_cast<float>(std::max(y1, y2)) + 0.5f;
  glBegin(GL_LINE_LOOP);
  glVertex2f(l, b);
  glVertex2f(r, b);
  glVertex2f(r, t);
  glVertex2f(l, t);
  glEnd();
  glPopMatrix();
  glPopAttrib();
}

void DrawFootprint(int x, int y, float r) {
  constexpr int kSegments = 48;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glColor3f(0.4f, 1.0f, 0.4f);
  SetLineWidth(1);
  const float cx = static_cast<float>(x) + 0.5f;
  const float cy = static_cast<float>(y) + 0.5f;
  glBegin(GL_LINE_LOOP);
  for (int i = 0; i < kSegments; ++i) {
    const double a = 2 * 3.14159265358979 * i / kSegments;
    glVertex2f(cx + r * static_cast<float>(std::cos(a)), cy + r * static_cast<float>(std::sin(a)));
  }
  glEnd();
  glPopMatrix();
  glPopAttrib();
}

void ReadViewPixels(int w, int h, uint8_t* rgba) {
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  // OpenGL returns the bottom row first; flip to top row first.
  const size_t stride = static_cast<size_t>(w) * 4;
  for (int y = 0; y < h / 2; ++y) {
    uint8_t* a = rgba + static_cast<size_t>(y) * stride;
    uint8_t* b = rgba + static_cast<size_t>(h - 1 - y) * stride;
    for (size_t i = 0; i < stride; ++i) std::swap(a[i], b[i]);
  }
}
