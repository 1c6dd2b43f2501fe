// The view panel's OpenGL surface: a native window that only forwards mouse and key events.
#pragma once

#include <QWindow>
#include <functional>

#include "app/frontend.h"
#include "app/selection.h"

class QSurfaceFormat;

class GlView : public QWindow {
  Q_OBJECT

 public:
  explicit GlView(const QSurfaceFormat& format);

  // Whether view pixel (x, y from the top) is on the minimap; a press there and the drag that
  // follows go to onMinimap instead of the world, and moves over it move no cursor.
  std::function<bool(int x, int y)> overMinimap;
  std::function<void(int x, int y)> onMinimap;

 signals:
  void mouseMoved(int x, int y);  // view pixels, y from the top edge
  void mouseLeft();               // the cursor that moved in left the view (not in a drag)
  // A left press with Shift is told at its release, and only when it was no drag.
  void mousePressed(Frontend::Button button);
  // A right press; shift: Shift was held.
  void rightPressed(bool shift);
  // A left drag of more than 4 pixels: its rectangle while it lasts, then the released box.
  void dragging(ViewBox box);
  void dragEnded();
  void boxReleased(ViewBox box, bool add);
  void doubleClicked(int x, int y);
  // Whole steps of the wheel at view pixel (x, y): > 0 away from the user.
  void wheeled(int steps, int x, int y);
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
  void wheelEvent(QWheelEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool OnMinimap(int x, int y) const { return overMinimap && overMinimap(x, y); }

  bool minimapDrag_ = false;  // a left press on the minimap, not yet released
  bool moved_ = false;        // a move was told since the cursor last left
  int wheelRest_ = 0;         // eighths of a degree not yet a whole step
  bool leftDown_ = false;
  bool shiftDown_ = false;  // Shift held at the left press
  bool dragging_ = false;
  ViewBox box_;
};

// Double-buffered RGB with 8 bits a channel, compatibility profile, no vsync.
QSurfaceFormat ViewSurfaceFormat();
