#include "qt/view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSurfaceFormat>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>

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

QPoint Pixel(const QMouseEvent* event) {
  const QPointF p = event->position();
  return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

}  // namespace

void GlView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = Pixel(event);
  if (minimapDrag_) {
    if (onMinimap) onMinimap(p.x(), p.y());
    return;
  }
  if (!leftDown_ && OnMinimap(p.x(), p.y())) return;
  moved_ = true;
  emit mouseMoved(p.x(), p.y());
  if (!leftDown_) return;
  box_.X2 = p.x();
  box_.Y2 = p.y();
  if (std::abs(box_.X2 - box_.X1) > 4 || std::abs(box_.Y2 - box_.Y1) > 4) dragging_ = true;
  if (dragging_) emit dragging(box_);
}

void GlView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) minimapDrag_ = false;
  if (event->button() != Qt::LeftButton || !leftDown_) return;
  leftDown_ = false;
  if (dragging_) {
    dragging_ = false;
    emit dragEnded();
    emit boxReleased(box_, shiftDown_);
  } else if (shiftDown_) {
    emit mousePressed(Frontend::Button::Left);
  }
}

void GlView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = Pixel(event);
  if (OnMinimap(p.x(), p.y())) return;
  emit doubleClicked(p.x(), p.y());
}

bool GlView::event(QEvent* event) {
  // Only a cursor that moved in leaves: a window mapped over or under a still pointer is no input.
  if (event->type() == QEvent::Leave && moved_ && !leftDown_ && !minimapDrag_) {
    moved_ = false;
    emit mouseLeft();
  }
  return QWindow::event(event);
}

void GlView::keyPressEvent(QKeyEvent* event) {
  emit keyPressed(event);
}

void GlView::keyReleaseEvent(QKeyEvent* event) {
  emit keyReleased(event);
}

void GlView::wheelEvent(QWheelEvent* event) {
  wheelRest_ += event->angleDelta().y();
  const int steps = wheelRest_ / 120;  // 15 degrees a step
  wheelRest_ -= steps * 120;
  const QPointF p = event->position();
  if (steps != 0)
    emit wheeled(steps, static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
  event->accept();
}

void GlView::mousePressEvent(QMouseEvent* event) {
  requestActivate();  // the view takes the keyboard
  if (const QPoint p = Pixel(event); OnMinimap(p.x(), p.y())) {
    // The minimap takes the left button; the others do nothing there.
    if (event->button() == Qt::LeftButton && onMinimap) {
      minimapDrag_ = true;
      onMinimap(p.x(), p.y());
    }
    return;
  }
  switch (event->button()) {
    case Qt::LeftButton: {
      const QPoint p = Pixel(event);
      leftDown_ = true;
      dragging_ = false;
      shiftDown_ = event->modifiers().testFlag(Qt::ShiftModifier);
      box_ = {p.x(), p.y(), p.x(), p.y()};
      if (!shiftDown_) emit mousePressed(Frontend::Button::Left);
      break;
    }
    case Qt::RightButton:
      emit rightPressed(event->modifiers().testFlag(Qt::ShiftModifier));
      break;
    default:
      emit mousePressed(Frontend::Button::Middle);  // every other button does nothing
      break;
  }
}
