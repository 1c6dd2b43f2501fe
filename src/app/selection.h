// Selecting around the rules' click: a box, every object of a kind in view, control groups.
// Each is applied when its command arrives, between frames; none draws.
#pragma once

#include <cstdint>

#include "app/controls.h"
#include "app/front_state.h"
#include "game/world.h"

// View pixels become world points at the view's zoom.

// A rectangle in view pixels, y from the top edge, corners in any order.
struct ViewBox {
  int32_t X1 = 0;
  int32_t Y1 = 0;
  int32_t X2 = 0;
  int32_t Y2 = 0;
};

// Selects every selectable object whose centre lies in the box (edges included); add keeps
// the selection, else it is dropped first, and so is a left click the next frame has still to
// handle (the drag's own press). The combos are filled from the selection's highest index
// when the box found anything.
void SelectBox(World& w, FrontState& s, float zoom, Controls& c, int32_t ownSide, ViewBox box,
               bool add);
// The selectable object under view pixel (x, y), highest index first, and every selectable
// object of its type and side whose centre is in view become the selection; a left click
// still to be handled (the double click's second press) is dropped.
void SelectSameInView(World& w, FrontState& s, float zoom, Controls& c, int32_t ownSide, int32_t x,
                      int32_t y);

enum class GroupAction : uint8_t { Store, Add, Recall, Centre };
// Group n (1 to 9): store or add the selection, recall it as the selection, or centre the
// camera on it. Dead members drop out of the group first.
void ApplyGroup(World& w, FrontState& s, float zoom, ControlGroups& g, Controls& c,
                GroupAction action, int n);
