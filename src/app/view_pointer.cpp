#include "app/view_pointer.h"

#include <cstdlib>

void ViewPointer::Press(MouseButton button, int x, int y, bool shift) {
  if (target_.OverMinimap(x, y)) {
    // The minimap takes the left button; the others do nothing there.
    if (button == MouseButton::Left) {
      minimapDrag_ = true;
      target_.Minimap(x, y);
    }
    return;
  }
  switch (button) {
    case MouseButton::Left:
      leftDown_ = true;
      dragging_ = false;
      shiftDown_ = shift;
      box_ = {x, y, x, y};
      if (!shift) target_.Pressed(Frontend::Button::Left);
      break;
    case MouseButton::Right:
      target_.RightPressed(shift);
      break;
    default:
      target_.Pressed(Frontend::Button::Middle);  // every other button does nothing
      break;
  }
}

void ViewPointer::Move(int x, int y) {
  if (minimapDrag_) {
    target_.Minimap(x, y);
    return;
  }
  if (!leftDown_ && target_.OverMinimap(x, y)) return;
  moved_ = true;
  target_.Moved(x, y);
  if (!leftDown_) return;
  box_.X2 = x;
  box_.Y2 = y;
  if (std::abs(box_.X2 - box_.X1) > 4 || std::abs(box_.Y2 - box_.Y1) > 4) dragging_ = true;
  if (dragging_) target_.Dragging(box_);
}

void ViewPointer::Release(MouseButton button) {
  if (button != MouseButton::Left) return;
  minimapDrag_ = false;
  if (!leftDown_) return;
  leftDown_ = false;
  if (dragging_) {
    dragging_ = false;
    target_.DragEnded();
    target_.BoxReleased(box_, shiftDown_);
  } else if (shiftDown_) {
    target_.Pressed(Frontend::Button::Left);
  }
}

void ViewPointer::DoubleClick(MouseButton button, int x, int y) {
  if (button == MouseButton::Left && !target_.OverMinimap(x, y)) target_.DoubleClicked(x, y);
}

void ViewPointer::Wheel(int eighths, int x, int y) {
  wheelRest_ += eighths;
  const int steps = wheelRest_ / 120;
  wheelRest_ -= steps * 120;
  if (steps != 0) target_.Wheeled(steps, x, y);
}

void ViewPointer::Leave() {
  if (!moved_ || leftDown_ || minimapDrag_) return;
  moved_ = false;
  target_.Left();
}
