#include "qt/view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSurfaceFormat>
#include <QWheelEvent>
#include <cmath>

QSurfaceFormat ViewSurfaceFormat() {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  format.setSwapInterval(0);
  // 32 colour bits as 8-8-8 plus padding: no alpha, depth or stencil planes are asked for, so
  // the window never turns translucent under a compositor where blending writes alpha < 1.
  format.setRedBufferSize(8);
  format.setGreenBufferSize(8);
  format.setBlueBufferSize(8);
  format.setAlphaBufferSize(0);
  format.setDepthBufferSize(0);
  format.setStencilBufferSize(0);
  return format;
}

GlView::GlView(const QSurfaceFormat& format) {
  setSurfaceType(QWindow::OpenGLSurface);
  setFormat(format);
}

namespace {

QPoint Pixel(const QSinglePointEvent* event) {
  const QPointF p = event->position();
  return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

MouseButton ButtonOf(const QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) return MouseButton::Left;
  return event->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Other;
}

}  // namespace

void GlView::mousePressEvent(QMouseEvent* event) {
  requestActivate();  // the view takes the keyboard
  const QPoint p = Pixel(event);
  if (pointer)
    pointer->Press(ButtonOf(event), p.x(), p.y(), event->modifiers().testFlag(Qt::ShiftModifier));
}

void GlView::mouseMoveEvent(QMouseEvent* event) {
  if (pointer) pointer->Move(Pixel(event).x(), Pixel(event).y());
}

void GlView::mouseReleaseEvent(QMouseEvent* event) {
  if (pointer) pointer->Release(ButtonOf(event));
}

void GlView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (pointer) pointer->DoubleClick(ButtonOf(event), Pixel(event).x(), Pixel(event).y());
}

void GlView::wheelEvent(QWheelEvent* event) {
  if (pointer) pointer->Wheel(event->angleDelta().y(), Pixel(event).x(), Pixel(event).y());
  event->accept();
}

bool GlView::event(QEvent* event) {
  if (event->type() == QEvent::Leave && pointer) pointer->Leave();
  return QWindow::event(event);
}
