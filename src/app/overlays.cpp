#include "app/overlays.h"

#include "app/command_card.h"

MinimapLayout Overlays::Minimap(const World& world, const Controls& controls) {
  return LayoutMinimap(world.Ground, controls.ViewWidth(), controls.ViewHeight());
}

std::optional<WorldPoint2> Overlays::MinimapPoint(const World& world, const Controls& controls,
                                                  int x, int y) const {
  if (!minimap_ || controls.ButtonEnabled(2)) return std::nullopt;
  return MinimapToWorld(Minimap(world, controls), x, controls.ViewHeight() - 1 - y);
}

void Overlays::Draw(const World& world, const Frontend& frontend, const Controls& controls,
                    Drawing& drawing, bool replaying) const {
  DrawMinimap(world, frontend, controls, drawing);
  if (dragBox_) {
    const int h = controls.ViewHeight();
    // Pixel rows counted from the bottom.
    drawing.SelectionBox(dragBox_->X1, h - 1 - dragBox_->Y1, dragBox_->X2, h - 1 - dragBox_->Y2);
  }
  // A building chosen for a worker to put up, before the right click that places it.
  const int chosen = controls.ComboIndex(2);
  if (replaying || chosen < 0 || controls.ComboIndex(3) >= 0) return;
  const CommandCard card =
      MakeCommandCard(world, frontend.LocalSelectionAside(), controls.ComboItems(2));
  if (const TOpisan* type = FootprintType(world, card, chosen)) {
    const FrontState& s = frontend.state();
    drawing.Footprint(s.MouseX, s.MouseY, type->Radius * frontend.DrawnZoom());
  }
}

void Overlays::DrawMinimap(const World& world, const Frontend& frontend, const Controls& controls,
                           Drawing& drawing) const {
  if (!minimap_ || controls.ButtonEnabled(2)) return;
  MinimapScene scene;
  scene.Layout = Minimap(world, controls);
  const GroundRect g = GroundOf(world.Ground);
  scene.GroundX0 = g.X0;
  scene.GroundY0 = g.Y0;
  scene.GroundX1 = g.X1;
  scene.GroundY1 = g.Y1;
  // The view as the picture shows it.
  const float z = frontend.DrawnZoom();
  scene.ViewX0 = -frontend.DrawnCameraX();
  scene.ViewY0 = -frontend.DrawnCameraY();
  scene.ViewX1 = static_cast<float>(controls.ViewWidth() / z) - frontend.DrawnCameraX();
  scene.ViewY1 = static_cast<float>(controls.ViewHeight() / z) - frontend.DrawnCameraY();
  // What the fog hides in the view is hidden here too.
  scene.Fog = frontend.fog().Picture();
  scene.Hidden = frontend.HiddenObjects();
  drawing.Minimap(world, scene);
}
