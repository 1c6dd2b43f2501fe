#include "qt/view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSurfaceFormat>
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

void GlView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF p = event->position();
  emit mouseMoved(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

void GlView::keyPressEvent(QKeyEvent* event) {
  emit keyPressed(event);
}

void GlView::keyReleaseEvent(QKeyEvent* event) {
  emit keyReleased(event);
}

void GlView::mousePressEvent(QMouseEvent* event) {
  requestActivate();  // the view takes the keyboard
  switch (event->button()) {
    case Qt::LeftButton:
      emit mousePressed(Frontend::Button::Left);
      break;
    case Qt::RightButton:
      emit mousePressed(Frontend::Button::Right);
      break;
    default:
      emit mousePressed(Frontend::Button::Middle);  // every other button does nothing
      break;
  }
}
