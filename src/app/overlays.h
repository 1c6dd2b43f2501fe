// What is drawn over the view and changes nothing in the match: the minimap, the box a left
// drag spans and the footprint of a building chosen for a worker.
#pragma once

#include <optional>

#include "app/camera.h"
#include "app/controls.h"
#include "app/frontend.h"
#include "app/selection.h"
#include "game/world.h"
#include "render/drawing.h"

class Overlays {
 public:
  bool minimapShown() const { return minimap_; }
  void SetMinimap(bool shown) { minimap_ = shown; }
  // The rectangle a left drag spans, view pixels, y from the top; nullopt: none.
  void SetDragBox(std::optional<ViewBox> box) { dragBox_ = box; }
  // Where the minimap is in a view of the controls' size.
  static MinimapLayout Minimap(const World& world, const Controls& controls);
  // The world point under view pixel (x, y from the top) on the shown minimap; nothing when it
  // is hidden, no level runs or the pixel is beside it.
  std::optional<WorldPoint2> MinimapPoint(const World& world, const Controls& controls, int x,
                                          int y) const;
  // Minimap, drag box, then footprint (none in the replay viewer), after the frame's picture.
  void Draw(const World& world, const Frontend& frontend, const Controls& controls,
            Drawing& drawing, bool replaying) const;

 private:
  void DrawMinimap(const World& world, const Frontend& frontend, const Controls& controls,
                   Drawing& drawing) const;

  std::optional<ViewBox> dragBox_;
  bool minimap_ = false;
};
