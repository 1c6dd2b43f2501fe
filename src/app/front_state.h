// The front end's own state, owned by the frame routine.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/control_values.h"

// The player's view around the rules: the zoom and who moves the camera. Counts in the hash and
// the dump once it differs from the start, as the groups do.
struct ViewInput {
  int32_t ZoomStep = 0;     // the zoom is sqrt(2) to this power, -4 to 4 (x0.25 to x4)
  bool TickScroll = false;  // "scroll" steps move the camera, not the frames
  bool Bounded = false;     // the camera keeps the ground in view
  bool operator==(const ViewInput&) const = default;
};

// Cursor, camera, clicks and the command panel's state.
struct FrontState {
  int32_t MouseX = 0;  // view pixels from the left edge
  int32_t MouseY = 0;  // view pixels from the bottom edge (y up)
  int32_t ScrollTicks = 0;
  float CameraX = 0;
  float CameraY = 0;
  bool LeftClicked = false;
  bool RightClicked = false;
  bool FirstFrame = true;
  int32_t ClickCommand = 0;
  int32_t HoverIndex = -1;
  bool ShowBars = false;
  bool CursorOut = false;  // the cursor left the view ("leave"): nothing is hovered
  uint64_t Frames = 0;     // frames run so far
  bool Queued = false;     // the right click's order waits in the next-order slot ("queue")
  bool Rally = false;      // the right click sets the selected buildings' rally points ("rally")
  bool Blind = false;      // the right click takes no object under the cursor ("blind")
};

// Where the match started: the world point in the middle of the view. The camera's bound is
// wide around it.
struct CameraStart {
  bool Set = false;
  float X = 0;
  float Y = 0;
};

// The player's own inputs around the rules: a side of one's own and the arrow keys held.
struct PlayerInput {
  int32_t PlayAs = -1;  // the side the player plays; -1: the computer plays both
  bool ArrowLeft = false;
  bool ArrowRight = false;
  bool ArrowUp = false;
  bool ArrowDown = false;
  bool operator==(const PlayerInput&) const = default;
};

// Control groups 1 to 9: object indices in index order.
struct ControlGroups {
  std::array<std::vector<int32_t>, 9> Groups{};
  bool operator==(const ControlGroups&) const = default;
};

// An order a player put into an object's next-order slot.
struct QueuedOrder {
  int32_t Object = 0;
  std::string Order;
};

// One player's part of the front end: what the command panel's steps run on. The frame counter
// and the first-frame flag of State are the same in every player's.
struct PlayerState {
  FrontState State;
  PlayerInput Player;
  ControlGroups Groups;
  ViewInput View;
  // Combos, check boxes and view size of a player who is not at this window.
  ControlValues Widgets;
  // The player's selected objects while another player's selection is on the objects.
  std::vector<int32_t> Selection;
  // The orders this player queued, drawn while they wait; only drawing reads them.
  std::vector<QueuedOrder> Queued;
};
