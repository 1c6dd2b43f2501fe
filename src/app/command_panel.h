// The command panel: picking, selecting and ordering with the mouse, and the read-out.
// Each step gets what it reads and writes; none draws.
#pragma once

#include <cstdint>
#include <vector>

#include "app/controls.h"
#include "app/front_state.h"
#include "game/world.h"

// The command mode from the combo boxes.
void UpdateCommandMode(const Controls& c, FrontState& s);
void ClearSelectionOnClick(const FrontState& s, World& w);

// The live objects under the cursor, in index order, and the marker each gets.
struct Hover {
  std::vector<int32_t> Under;
  int32_t MarkerKind = 0;  // 0 ring, 1 cross (attack mode)
};
// Sets HoverIndex; on a left click selects the objects and fills the combos.
Hover HoverPass(World& w, FrontState& s, Controls& c);
void FollowMode(FrontState& s);
void GiveOrders(World& w, FrontState& s, Controls& c);
// The list box lines.
void FillReadout(const World& w, const FrontState& s, Controls& c);
