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
// Sets HoverIndex; on a left click selects the objects and fills the combos. With a side of
// one's own (ownSide >= 0) only that side's objects are selected. The cursor's world point is
// taken at the view's zoom.
Hover HoverPass(World& w, FrontState& s, Controls& c, int32_t ownSide = -1, float zoom = 1);
// A live object the player may select: any, or with a side of one's own only that side's.
bool Selectable(const TObyekt& o, int32_t ownSide);
// Fills the three combos from a type; no entry stays chosen.
void FillCombos(Controls& c, const TOpisan& type);
void FollowMode(FrontState& s);
// The right click's orders. A queued click ("queue") writes Thought2 instead of Thought1 and
// lists what it queued in `queued`; a rally click ("rally") sets the rally point of each
// selected building of one's own that trains units instead of ordering it; a blind click
// ("blind") takes no object under the cursor.
void GiveOrders(World& w, FrontState& s, Controls& c, float zoom = 1, int32_t ownSide = -1,
                std::vector<QueuedOrder>* queued = nullptr);
// A building whose rally point a rally click sets (see GiveOrders).
bool SetsRally(const World& w, const TObyekt& o, int32_t ownSide);
// The list box lines.
void FillReadout(const World& w, const FrontState& s, Controls& c);
