// The view panel's OpenGL surface: a native window that hands its mouse to the view's pointer
// and its keys to the window.
#pragma once

#include <QWindow>

#include "app/view_pointer.h"

class QSurfaceFormat;

class GlView : public QWindow {
  Q_OBJECT

 public:
  explicit GlView(const QSurfaceFormat& format);
  ViewPointer* pointer = nullptr;

 signals:
  // Keys reach the view once a click gave it the keyboard; the window handles them.
  void keyPressed(QKeyEvent* event);
  void keyReleased(QKeyEvent* event);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override { emit keyPressed(event); }
  void keyReleaseEvent(QKeyEvent* event) override { emit keyReleased(event); }
  void wheelEvent(QWheelEvent* event) override;
  bool event(QEvent* event) override;
};

// Double-buffered RGB with 8 bits a channel, compatibility profile, no vsync.
QSurfaceFormat ViewSurfaceFormat();
