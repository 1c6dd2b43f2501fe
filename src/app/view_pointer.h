// The mouse over the view: presses, drags, double clicks and the wheel made into what they
// mean for the match (a click, a selection box, zoom steps, the minimap).
#pragma once

#include <cstdint>

#include "app/frontend.h"
#include "app/selection.h"

enum class MouseButton : uint8_t { Left, Right, Other };

// What the gestures do; view pixels, y from the top edge.
class PointerTarget {
 public:
  virtual ~PointerTarget() = default;
  // A press on the minimap and the drag that follows go to Minimap instead of the world, and
  // moves over it move no cursor.
  virtual bool OverMinimap(int x, int y) = 0;
  virtual void Minimap(int x, int y) = 0;
  virtual void Moved(int x, int y) = 0;
  // The cursor that moved in left the view (not in a drag).
  virtual void Left() = 0;
  // A left press with Shift is told at its release, and only when it was no drag.
  virtual void Pressed(Frontend::Button button) = 0;
  virtual void RightPressed(bool shift) = 0;
  // A left drag of more than 4 pixels: its rectangle while it lasts, then the released box.
  virtual void Dragging(ViewBox box) = 0;
  virtual void DragEnded() = 0;
  virtual void BoxReleased(ViewBox box, bool add) = 0;
  virtual void DoubleClicked(int x, int y) = 0;
  // Whole steps of the wheel: > 0 away from the user.
  virtual void Wheeled(int steps, int x, int y) = 0;
};

class ViewPointer {
 public:
  explicit ViewPointer(PointerTarget& target) : target_(target) {}
  void Press(MouseButton button, int x, int y, bool shift);
  void Move(int x, int y);
  void Release(MouseButton button);
  void DoubleClick(MouseButton button, int x, int y);
  // The wheel turned by eighths of a degree (120 a step of 15 degrees).
  void Wheel(int eighths, int x, int y);
  // The toolkit's leave: only a cursor that moved in leaves, so that a window mapped over or
  // under a still pointer is no input.
  void Leave();

 private:
  PointerTarget& target_;
  bool minimapDrag_ = false;  // a left press on the minimap, not yet released
  bool moved_ = false;        // a move was told since the cursor last left
  int wheelRest_ = 0;         // eighths of a degree not yet a whole step
  bool leftDown_ = false;
  bool shiftDown_ = false;  // Shift held at the left press
  bool dragging_ = false;
  ViewBox box_;
};
