// The command panel: picking, selecting and ordering with the mouse, and the read-out.
#pragma once

#include "ui/frontend.h"

void UpdateCommandMode(Frontend& f);  // from the combo boxes
void ClearSelectionOnClick(Frontend& f);
void HoverPass(Frontend& f);  // marks, selects and fills the combos
void FollowMode(Frontend& f);
void GiveOrders(Frontend& f);
void FillReadout(Frontend& f);  // the list box lines
