// The one drawing interface of the frame. The base draws nothing (headless runs); GlDrawing
// draws with OpenGL into the current context. Drawing only reads the world.
#pragma once

#include <cstdint>
#include <vector>

#include "game/sprites.h"
#include "game/world.h"
#include "render/fog_picture.h"
#include "render/minimap_scene.h"
#include "render/order_mark.h"
#include "util/platform.h"

class Drawing {
 public:
  virtual ~Drawing() = default;
  // The view is w x h logical pixels at the device pixel ratio.
  virtual void Resize(int, int, double) {}
  virtual void FirstFrame() {}
  // The zoom the next BeginFrame applies (1: none).
  virtual void SetZoom(float) {}
  // Clear and apply the camera.
  virtual void BeginFrame(float, float) {}
  virtual void Ground(const World&) {}
  // `shown`: what the animation step chose for each object this frame.
  virtual void Objects(const World&, const std::vector<SpriteChoice>&, bool) {}
  // A marker of the kind (0 ring, 1 cross) around each object listed.
  virtual void HoverMarkers(const World&, const std::vector<int32_t>&, int32_t, Platform&) {}
  // The fog of war over the ground and the objects.
  virtual void Fog(const FogPicture&) {}
  // The marks of queued orders and rally points, in the world.
  virtual void OrderMarks(const std::vector<OrderMark>&) {}
  // A white outline of the rectangle a drag spans, view pixels from the bottom left.
  virtual void SelectionBox(int, int, int, int) {}
  // The minimap over the view.
  virtual void Minimap(const World&, const MinimapScene&) {}
  // Where a building would stand: a circle of radius r view pixels about view pixel (x, y)
  // from the bottom left.
  virtual void Footprint(int, int, float) {}
};

class GlDrawing : public Drawing {
 public:
  void Resize(int w, int h, double pixelRatio) override;
  void FirstFrame() override;
  void SetZoom(float zoom) override { zoom_ = zoom; }
  void BeginFrame(float cameraX, float cameraY) override;
  void Ground(const World& world) override;
  void Objects(const World& world, const std::vector<SpriteChoice>& shown, bool showBars) override;
  void HoverMarkers(const World& world, const std::vector<int32_t>& indices, int32_t kind,
                    Platform& platform) override;
  void Fog(const FogPicture& fog) override;
  void OrderMarks(const std::vector<OrderMark>& marks) override;
  void SelectionBox(int x1, int y1, int x2, int y2) override;
  void Minimap(const World& world, const MinimapScene& scene) override;
  void Footprint(int x, int y, float r) override;

 private:
  float zoom_ = 1;
};
