// The view panel's OpenGL surface: a native window that only forwards mouse and key events.
#pragma once

#include <QWindow>

#include "app/frontend.h"

class QSurfaceFormat;

class GlView : public QWindow {
  Q_OBJECT

 public:
  explicit GlView(const QSurfaceFormat& format);

 signals:
  void mouseMoved(int x, int y);  // view pixels, y from the top edge
  void mousePressed(Frontend::Button button);
  // Keys reach the view once a click gave it the keyboard; the window handles them.
  void keyPressed(QKeyEvent* event);
  void keyReleased(QKeyEvent* event);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
};

// Double-buffered RGB with 8 bits a channel, compatibility profile, no vsync.
QSurfaceFormat ViewSurfaceFormat();
