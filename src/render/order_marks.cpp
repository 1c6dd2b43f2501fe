#include <GL/gl.h>

#include "render/render.h"

namespace {

struct Rgb {
  float R, G, B;
};
constexpr Rgb kQueued{1.0f, 0.85f, 0.3f};
constexpr Rgb kRally{0.45f, 1.0f, 0.45f};

}  // namespace

void DrawOrderMarks(const std::vector<OrderMark>& marks, float zoom) {
  if (marks.empty()) return;
  const float u = 4 / zoom;  // the end's size: 4 pixels
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_ALPHA_TEST);
  SetLineWidth(1);
  glBegin(GL_LINES);
  for (const OrderMark& m : marks) {
    const Rgb& c = m.Kind == OrderMarkKind::Rally ? kRally : kQueued;
    glColor3f(c.R, c.G, c.B);
    glVertex2f(m.X0, m.Y0);
    glVertex2f(m.X1, m.Y1);
    if (m.Kind == OrderMarkKind::Queued) {
      glVertex2f(m.X1 - u, m.Y1 - u);
      glVertex2f(m.X1 + u, m.Y1 + u);
      glVertex2f(m.X1 - u, m.Y1 + u);
      glVertex2f(m.X1 + u, m.Y1 - u);
    } else {
      // A pole with a pennant.
      glVertex2f(m.X1, m.Y1);
      glVertex2f(m.X1, m.Y1 + 3 * u);
      glVertex2f(m.X1, m.Y1 + 3 * u);
      glVertex2f(m.X1 + 2 * u, m.Y1 + 2.5f * u);
      glVertex2f(m.X1 + 2 * u, m.Y1 + 2.5f * u);
      glVertex2f(m.X1, m.Y1 + 2 * u);
    }
  }
  glEnd();
  glPopAttrib();
}
