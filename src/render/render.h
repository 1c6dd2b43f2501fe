// OpenGL 1.1 drawing of the world. Every call needs a current context.
// Errors in render: none are raised; an object without a sprite (no frame, no texture) is
// skipped, so drawing never stops a frame.
#pragma once

#include <cstdint>
#include <vector>

#include "game/sprites.h"
#include "game/world.h"
#include "render/fog_picture.h"
#include "render/minimap_scene.h"
#include "render/order_mark.h"
#include "util/bmp.h"
#include "util/platform.h"

// Fixed state set once when the context is created.
void InitGL();
// Viewport and orthographic projection for a view of w x h logical pixels: the viewport
// covers the view's device pixels, the projection keeps one world unit per logical pixel.
void ResizeGL(int w, int h, double pixelRatio = 1.0);
// The view's size in device pixels.
int DevicePixels(int logical, double pixelRatio);
// Line width in logical pixels of the view last set up by ResizeGL.
void SetLineWidth(float logical);
// Point size in logical pixels likewise.
void SetPointSize(float logical);
// The first frame's state: texturing, blending, alpha test, white.
void FirstFrameGL();
// Clear, identity, depth test off, the zoom's scale (none at 1), camera translation.
void BeginFrameGL(float cameraX, float cameraY, float zoom = 1);

// Every object as the animation step chose it (`shown`, one choice per object), each sprite
// centred on its object, with health bars and selection boxes. Drawn in batches that give the
// pixels of drawing one object after another; under matrices other than the frame's
// (ClipCoords::Handled) nothing is drawn. The bars are 3 pixels thick at `zoom` 1, thicker or
// thinner with it (whole pixels, at least 1).
void DrawObjects(const World& world, const std::vector<SpriteChoice>& shown, bool showBars,
                 float zoom = 1);
// The health bars' thickness in logical pixels at a zoom.
float BarWidth(float zoom);
// Of the last DrawObjects: batches of one state, switches between sprites and lines, draw calls.
struct ObjectDrawCounts {
  int32_t Batches = 0;
  int32_t Switches = 0;
  int32_t Calls = 0;
};
ObjectDrawCounts LastObjectDrawCounts();
// The ground: 21 x 21 tiles of 32 units from (-320, -320), batched likewise.
void DrawGround(const World& world);
// Marker of the given kind (0 ring, 1 cross) and size around the current origin.
void DrawMarker(int32_t kind, float size, Platform& platform);
// The hover marker for an object: full attribute and matrix save around DrawMarker.
void DrawHoverMarker(const World& world, int32_t index, int32_t kind, Platform& platform);

// The fog: one black quad over its grid, each cell's shade as alpha, smoothed between cells;
// the frame's state is kept.
void DrawFog(const FogPicture& fog);
// The same within the world rectangle (x0, y0)-(x1, y1) only.
void DrawFog(const FogPicture& fog, float x0, float y0, float x1, float y1);
// The fog's texture belongs to the context made before; the next DrawFog makes its own.
void ForgetFogTexture();

// Each mark's line 1 pixel wide and its end: a cross for a queued order, a flag for a rally
// point, the same size in pixels at any zoom; the frame's state is kept.
void DrawOrderMarks(const std::vector<OrderMark>& marks, float zoom = 1);

// A white 1-pixel outline of the view rectangle (x1, y1)-(x2, y2), logical pixels from the
// bottom left, over everything; the frame's state is kept.
void DrawSelectionRectangle(int x1, int y1, int x2, int y2);

// A green outline of the circle of radius r about view pixel (x, y) from the bottom left,
// over everything; the frame's state is kept.
void DrawFootprint(int x, int y, float r);

// The minimap: the ground square, each live object as a dot in its side's colour and the view's
// rectangle, in a square over the view; the frame's state is kept.
void DrawMinimap(const World& world, const MinimapScene& scene);

// A new texture, bound, with nearest filtering both ways.
uint32_t NewNearestTexture();
// Uploads decoded bitmaps as mipmapped, colour-keyed textures.
class GlTextureUploader : public TextureUploader {
 public:
  uint32_t Upload(const Image& image) override;
};

// Reads the back buffer of a w x h view as RGBA rows, top row first.
void ReadViewPixels(int w, int h, uint8_t* rgba);
