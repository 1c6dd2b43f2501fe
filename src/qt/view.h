// The view panel's OpenGL surface: a native window that only forwards mouse and key events.
#pragma once

#include <QWindow>

#include "app/frontend.h"
#include "app/selection.h"

class QSurfaceFormat;

class GlView : public QWindow {
  Q_OBJECT

 public:
  explicit GlView(const QSurfaceFormat& format);

 signals:
  void mouseMoved(int x, int y);  // view pixels, y from the top edge
  // A left press with Shift is told at its release, and only when it was no drag.
  void mousePressed(Frontend::Button button);
  // A left drag of more than 4 pixels: its rectangle while it lasts, then the released box.
  void dragging(ViewBox box);
  void dragEnded();
  void boxReleased(ViewBox box, bool add);
  void doubleClicked(int x, int y);
  // Keys reach the view once a click gave it the keyboard; the window handles them.
  void keyPressed(QKeyEvent* event);
  void keyReleased(QKeyEvent* event);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  bool leftDown_ = false;
  bool shiftDown_ = false;  // Shift held at the left press
  bool dragging_ = false;
  ViewBox box_;
};

// Double-buffered RGB with 8 bits a channel, compatibility profile, no vsync.
QSurfaceFormat ViewSurfaceFormat();
