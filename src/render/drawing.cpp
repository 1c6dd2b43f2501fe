#include "render/drawing.h"

#include "render/render.h"

void GlDrawing::Resize(int w, int h, double pixelRatio) {
  ResizeGL(w, h, pixelRatio);
}

void GlDrawing::FirstFrame() {
  FirstFrameGL();
}

void GlDrawing::BeginFrame(float cameraX, float cameraY) {
  BeginFrameGL(cameraX, cameraY, zoom_);
}

void GlDrawing::Ground(const World& world) {
  DrawGround(world);
}

void GlDrawing::Objects(const World& world, const std::vector<SpriteChoice>& shown, bool showBars) {
  DrawObjects(world, shown, showBars, zoom_);
}

void GlDrawing::HoverMarkers(const World& world, const std::vector<int32_t>& indices, int32_t kind,
                             Platform& platform) {
  for (int32_t i : indices) DrawHoverMarker(world, i, kind, platform);
}

void GlDrawing::Fog(const FogPicture& fog) {
  DrawFog(fog);
}

void GlDrawing::OrderMarks(const std::vector<OrderMark>& marks) {
  DrawOrderMarks(marks, zoom_);
}

void GlDrawing::SelectionBox(int x1, int y1, int x2, int y2) {
  DrawSelectionRectangle(x1, y1, x2, y2);
}

void GlDrawing::Minimap(const World& world, const MinimapScene& scene) {
  DrawMinimap(world, scene);
}

void GlDrawing::Footprint(int x, int y, float r) {
  DrawFootprint(x, y, r);
}
