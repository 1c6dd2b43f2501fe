// A crowded frame (ground, 2 000 objects, bars) drawn by DrawGround and DrawObjects against the
// way it was drawn before, state change by state change: the pictures must match to the pixel,
// with objects at quarter, whole, half and arbitrary positions, fractional cameras, long and
// negative bars, a view at twice the density and a surface with a depth buffer (on which the
// pipeline clips whole draw calls). ClipCoords is checked against the matrices in feedback mode.
// The timing test is disabled; run it with --gtest_also_run_disabled_tests.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QOpenGLContext>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <vector>

#include "draw_reference.h"
#include "gl_window.h"
#include "gui_app.h"
#include "render/clip_coords.h"
#include "render/render.h"
#include "util/random.h"

namespace {

constexpr int kViewW = 512;
constexpr int kViewH = 480;
constexpr int kObjects = 2000;

// A sheet of 8 x 4 cells of `cell` pixels, each cell its own colours with a keyed corner and a
// half-transparent stripe, bottom row of the picture first.
Image Sheet(int cell, uint8_t tint) {
  const int w = cell * 8;
  const int h = cell * 4;
  Image image{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 4)};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &image.Pixels[(static_cast<size_t>(y) * w + x) * 4];
      const int u = x % cell;
      const int v = y % cell;
      p[0] = static_cast<uint8_t>(x * 7 + tint);
      p[1] = static_cast<uint8_t>(y * 5);
      p[2] = static_cast<uint8_t>((u ^ v) * 9);
      p[3] = u + v < cell / 3 ? 0 : (u == cell / 2 ? 128 : 255);
    }
  }
  return image;
}

// A window whose context holds the three sheets.
struct Canvas {
  GlWindow gl;
  uint32_t textures[3] = {};

  bool Open(int depthBits) {
    if (!gl.Open(kViewW, kViewH, true, depthBits)) return false;
    InitGL();
    GlTextureUploader uploader;
    textures[0] = uploader.Upload(Sheet(32, 0));
    textures[1] = uploader.Upload(Sheet(24, 90));
    textures[2] = uploader.Upload(Sheet(64, 180));  // 512 x 256: the ground too
    return true;
  }
};

// Where the objects stand; a grid: of one type, side by side half a pixel off the pixels.
enum class Spots { Quarters, Whole, Halves, Anywhere, Grid };

class DrawFrameTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    GuiApp();
    ASSERT_TRUE(plain_.Open(0));
  }

  static void TearDownTestSuite() {
    deep_.gl.Close();
    plain_.gl.Close();
  }

  void SetUp() override {
    Use(plain_);
    Populate(Spots::Quarters, 400);
  }

  void Use(Canvas& canvas) {
    ASSERT_TRUE(canvas.gl.context->makeCurrent(canvas.gl.window));
    canvas_ = &canvas;
    ResizeGL(kViewW, kViewH);
    FirstFrameGL();
  }

  // Three types of two sheets, 2 000 objects over the view and a little beyond (a grid: 210 of
  // one type): walking, working, dying, some selected, health from 0 to `health` (from
  // `health` to -`health` when negative).
  // `seed` draws the world; one object in `selectOneIn` is selected (none at 0).
  void Populate(Spots spots, int32_t health, uint32_t seed = 5, uint32_t selectOneIn = 5) {
    world_ = World{};
    TRassa& race = world_.Catalogue.emplace_back();
    const int cells[] = {32, 24, 32};
    for (int t = 0; t < 3; ++t) {
      TOpisan& type = race.Types.emplace_back();
      type.Textures = {canvas_->textures[0], canvas_->textures[1]};
      const int32_t sheet = t == 1 ? 1 : 0;
      type.Animations = {{sheet, {1, 2, 3}}, {sheet, {2}}, {sheet, {3, 4}}, {sheet, {4}}};
      type.SheetWidth = cells[t] * 8;
      type.SheetHeight = cells[t] * 4;
      type.FrameWidth = cells[t];
      type.FrameHeight = cells[t];
      type.Radius = 10;
    }
    world_.GroundTexture = canvas_->textures[2];
    Random r{seed};
    const auto spot = [&](int size) {
      switch (spots) {
        case Spots::Quarters:
          return static_cast<float>(r.Next(static_cast<uint32_t>(size) * 4)) / 4;
        case Spots::Whole:
          return static_cast<float>(r.Next(static_cast<uint32_t>(size)));
        case Spots::Halves:
          return static_cast<float>(r.Next(static_cast<uint32_t>(size))) + 0.5f;
        case Spots::Anywhere:
        case Spots::Grid:
          break;
      }
      return static_cast<float>(r.Next(1u << 24)) / (1 << 24) * (size + 64) - 32;
    };
    const uint32_t span = static_cast<uint32_t>(health < 0 ? -2 * health : health);
    const int count = spots == Spots::Grid ? 15 * 14 : kObjects;
    for (int k = 0; k < count; ++k) {
      TObyekt& o = world_.Objects.emplace_back();
      o.Kind = spots == Spots::Grid ? 0 : static_cast<int32_t>(r.Next(3));
      o.X = spots == Spots::Grid ? 32.5f * static_cast<float>(k % 15) + 24 : spot(kViewW);
      o.Y = spots == Spots::Grid ? 32.5f * static_cast<float>(k / 15) + 24 : spot(kViewH);
      o.Angle = static_cast<float>(r.Next(360));
      o.Action = static_cast<int32_t>(r.Next(4));
      o.Frame = static_cast<float>(r.Next(30)) / 10;
      o.Energy = {static_cast<float>(r.Next(span)) + static_cast<float>(std::min(health, 0))};
      o.Selected = selectOneIn > 0 && r.Next(selectOneIn) == 0;
    }
    shown_ = AdvanceAnimations(world_);
  }

  void Frame(bool before, bool showBars, float cameraX = 0, float cameraY = 0, float zoom = 1) {
    BeginFrameGL(cameraX, cameraY, zoom);
    if (before) {
      DrawGroundReference(world_);
      DrawObjectsReference(world_, shown_, showBars);
    } else {
      DrawGround(world_);
      DrawObjects(world_, shown_, showBars);
    }
  }

  std::vector<uint8_t> Picture() {
    std::vector<uint8_t> rgba(static_cast<size_t>(kViewW) * kViewH * 4);
    ReadViewPixels(kViewW, kViewH, rgba.data());
    return rgba;
  }

  // What later drawing inherits.
  struct State {
    GLboolean Texturing;
    GLint Texture, Mode, Matrices;
    GLfloat LineWidth;
    GLfloat Colour[4];
    GLfloat Modelview[16], Projection[16];
    bool operator==(const State& o) const {
      return Texturing == o.Texturing && Texture == o.Texture && Mode == o.Mode &&
             Matrices == o.Matrices && LineWidth == o.LineWidth &&
             std::memcmp(Colour, o.Colour, sizeof Colour) == 0 &&
             std::memcmp(Modelview, o.Modelview, sizeof Modelview) == 0 &&
             std::memcmp(Projection, o.Projection, sizeof Projection) == 0;
    }
  };
  static State Inherited() {
    State s{};
    s.Texturing = glIsEnabled(GL_TEXTURE_2D);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.Texture);
    glGetIntegerv(GL_MATRIX_MODE, &s.Mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.Matrices);
    glGetFloatv(GL_LINE_WIDTH, &s.LineWidth);
    glGetFloatv(GL_CURRENT_COLOR, s.Colour);
    glGetFloatv(GL_MODELVIEW_MATRIX, s.Modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, s.Projection);
    return s;
  }

  // Draws the frame as before and now: the pixels that differ. The state left must match.
  size_t Differing(bool showBars, float cameraX, float cameraY, float zoom = 1) {
    Frame(true, showBars, cameraX, cameraY, zoom);
    const std::vector<uint8_t> before = Picture();
    const State stateBefore = Inherited();
    Frame(false, showBars, cameraX, cameraY, zoom);
    const std::vector<uint8_t> after = Picture();
    EXPECT_TRUE(Inherited() == stateBefore);
    size_t differ = 0;
    for (size_t k = 0; k < before.size(); k += 4)
      differ += std::memcmp(&before[k], &after[k], 4) != 0;
    return differ;
  }

  // Milliseconds per frame, the frame finished by the server.
  double FrameTime(bool before, bool ground = true) {
    constexpr int kFrames = 40;
    std::chrono::duration<double, std::milli> spent{};
    for (int round = 0; round < 2; ++round) {  // the first round warms up
      const auto start = std::chrono::steady_clock::now();
      for (int k = 0; k < kFrames; ++k) {
        if (ground) {
          Frame(before, true);
        } else {
          BeginFrameGL(0, 0);
          before ? DrawGroundReference(world_) : DrawGround(world_);
        }
        canvas_->gl.context->swapBuffers(canvas_->gl.window);
      }
      glFinish();
      spent = std::chrono::steady_clock::now() - start;
    }
    return spent.count() / kFrames;
  }

  inline static Canvas plain_;
  inline static Canvas deep_;
  Canvas* canvas_ = nullptr;
  World world_;
  std::vector<SpriteChoice> shown_;
};

struct Case {
  Spots spots;
  int32_t health;
  bool bars;
  float cameraX, cameraY;
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
  return out << "spots " << static_cast<int>(c.spots) << " health " << c.health << " bars "
             << c.bars << " camera " << c.cameraX << ", " << c.cameraY;
}

TEST_F(DrawFrameTest, SamePixelsAndStateAsBefore) {
  const Case cases[] = {
      {Spots::Quarters, 400, true, 0, 0},
      {Spots::Quarters, 400, false, 0, 0},
      {Spots::Quarters, 400, true, -37.5f, 12.25f},
      {Spots::Quarters, 400, true, 0.5f, -0.5f},
      {Spots::Quarters, 400, true, 13.3f, -7.77f},
      {Spots::Whole, 400, true, 0, 0},
      {Spots::Whole, 400, true, 0.5f, 0.5f},
      {Spots::Halves, 400, true, 0, 0},
      {Spots::Halves, 400, false, 0.25f, 0.5f},
      {Spots::Anywhere, 400, true, 0, 0},
      {Spots::Anywhere, 400, true, -37.5f, 12.25f},
      {Spots::Anywhere, 400, false, 123.456f, -78.9f},
      {Spots::Anywhere, 100000, true, 0.5f, 0},       // bars up to 10 000 pixels
      {Spots::Quarters, -100000, true, -0.5f, 0.5f},  // and leftwards
      {Spots::Grid, 400, false, 0, 0},                // one batch of sprites side by side
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c);
    Populate(c.spots, c.health);
    EXPECT_EQ(Differing(c.bars, c.cameraX, c.cameraY), 0u);
  }
  // The frame is crowded: little of the ground shows; some frames are mirrored.
  Populate(Spots::Quarters, 400);
  Frame(false, true);
  const std::vector<uint8_t> now = Picture();
  const size_t lit = std::count_if(now.begin(), now.end(), [](uint8_t v) { return v != 0; });
  EXPECT_GT(lit, now.size() / 2);
  EXPECT_GT(std::count_if(shown_.begin(), shown_.end(), [](auto& s) { return s.Mirrored; }), 100);
  // A scaled view is batched to the pixel too.
  Frame(true, true);
  glScalef(1.5f, 1.5f, 1);
  DrawObjectsReference(world_, shown_, true);
  const std::vector<uint8_t> scaledBefore = Picture();
  Frame(false, true);
  glScalef(1.5f, 1.5f, 1);
  DrawObjects(world_, shown_, true);
  EXPECT_TRUE(Picture() == scaledBefore);
  // Matrices the batches do not reproduce draw nothing.
  BeginFrameGL(0, 0);
  const std::vector<uint8_t> cleared = Picture();
  glRotatef(10, 0, 0, 1);
  DrawGround(world_);
  DrawObjects(world_, shown_, true);
  EXPECT_TRUE(Picture() == cleared);
}

// Many worlds: crowds at every zoom of the wheel, none, some or all selected, with and without
// bars; also with a depth buffer.
TEST_F(DrawFrameTest, SamePixelsOnManyWorldsAndZooms) {
  const float zooms[] = {0.25f, 0.35355338f, 0.5f, 0.70710677f, 1, 1.4142135f, 2, 4};
  const uint32_t selections[] = {0, 1, 2, 7};
  Random r{21};
  for (uint32_t world = 0; world < 24; ++world) {
    if (world == 20) {
      if (deep_.gl.window == nullptr) {
        ASSERT_TRUE(deep_.Open(24));
      }
      Use(deep_);
    }
    const Spots spots = r.Next(2) == 0 ? Spots::Anywhere : Spots::Quarters;
    const uint32_t selectOneIn = selections[r.Next(4)];
    const bool bars = r.Next(2) == 0;
    const float zoom = zooms[r.Next(8)];
    const float cameraX = static_cast<float>(r.Next(4000)) / 8 - 250;
    const float cameraY = static_cast<float>(r.Next(4000)) / 8 - 250;
    SCOPED_TRACE(testing::Message()
                 << "world " << world << " spots " << static_cast<int>(spots) << " one in "
                 << selectOneIn << " selected, bars " << bars << ", zoom " << zoom << ", camera "
                 << cameraX << ", " << cameraY);
    Populate(spots, 400, 100 + world, selectOneIn);
    EXPECT_EQ(Differing(bars, cameraX, cameraY, zoom), 0u);
  }
}

TEST_F(DrawFrameTest, SamePixelsOnAViewOfTwiceTheDensity) {
  ResizeGL(kViewW / 2, kViewH / 2, 2);  // the window's pixels, 256 x 240 logical
  for (const Case& c : {Case{Spots::Quarters, 400, true, -100.5f, -60.25f},
                        Case{Spots::Anywhere, 400, true, 0.5f, 0.25f}}) {
    SCOPED_TRACE(testing::Message() << c);
    Populate(c.spots, c.health);
    EXPECT_EQ(Differing(c.bars, c.cameraX, c.cameraY), 0u);
  }
}

TEST_F(DrawFrameTest, SamePixelsWithADepthBuffer) {
  if (deep_.gl.window == nullptr) {
    ASSERT_TRUE(deep_.Open(24));
  }
  Use(deep_);
  GLint depth = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  ASSERT_GT(depth, 0);
  for (const Case& c : {Case{Spots::Quarters, 400, true, -37.5f, 12.25f},
                        Case{Spots::Anywhere, 400, true, 0.5f, 0.5f}}) {
    SCOPED_TRACE(testing::Message() << c);
    Populate(c.spots, c.health);
    EXPECT_EQ(Differing(c.bars, c.cameraX, c.cameraY), 0u);
  }
}

TEST_F(DrawFrameTest, NothingToDrawLeavesTheStateAsBefore) {
  // No objects; none drawn; all beyond the view.
  World empty = world_;
  empty.Objects.clear();
  State s = Inherited();
  DrawObjects(empty, {}, true);
  EXPECT_TRUE(Inherited() == s);
  std::vector<SpriteChoice> hidden = shown_;
  for (SpriteChoice& c : hidden) c.Draw = false;
  DrawObjects(world_, hidden, true);
  EXPECT_TRUE(Inherited() == s);
  BeginFrameGL(5000, 5000);
  DrawObjectsReference(world_, shown_, true);
  s = Inherited();
  glBindTexture(GL_TEXTURE_2D, 0);
  SetLineWidth(3);
  glColor3f(0, 1, 0);
  DrawObjects(world_, shown_, true);
  EXPECT_TRUE(Inherited() == s);
}

TEST_F(DrawFrameTest, ClipCoordsGiveTheWindowCoordinatesOfTheMatrices) {
  struct View {
    int w, h;
    double ratio;
  };
  Random r{11};
  const auto real = [&](float lo, float hi) {
    return lo + static_cast<float>(r.Next(1u << 24)) / (1 << 24) * (hi - lo);
  };
  for (const View v :
       {View{512, 480, 1}, View{517, 333, 1}, View{256, 240, 2}, View{341, 320, 1.5}}) {
    SCOPED_TRACE(testing::Message() << v.w << " x " << v.h << " at " << v.ratio);
    ResizeGL(v.w, v.h, v.ratio);
    constexpr int kPoints = 3000;
    std::vector<float> in;  // camera, translation, vertex
    for (int k = 0; k < kPoints; ++k) {
      const float cx = k % 5 == 0 ? std::round(real(-300, 300)) / 2 : real(-300, 300);
      const float cy = real(-300, 300);
      const float vx = k % 2 ? 32 : real(0, 40);
      const float vy = k % 3 ? 24 : real(0, 40);
      const float tx = (k % 7 == 0 ? std::round(real(0, 400)) / 4 : real(0, v.w - 40)) - cx;
      in.insert(in.end(), {cx, cy, tx, real(0, v.h - 40) - cy, vx, vy});
    }
    const auto run = [&](bool matrices) {
      std::vector<float> out(kPoints * 4 + 16);
      glFeedbackBuffer(static_cast<GLsizei>(out.size()), GL_3D, out.data());
      glRenderMode(GL_FEEDBACK);
      for (int k = 0; k < kPoints; ++k) {
        const float* a = &in[static_cast<size_t>(k) * 6];
        BeginFrameGL(a[0], a[1]);
        if (matrices) {
          glTranslatef(a[2], a[3], -5);
          glBegin(GL_POINTS);
          glVertex2d(a[4], a[5]);
          glEnd();
          continue;
        }
        ClipCoords clip;
        if (!ReadClipCoords(clip)) ADD_FAILURE() << "matrices not handled";
        const ClipCoords::Product p = clip.At(clip.Translate(clip.Base(), a[2], a[3], -5));
        IdentityMatrices identity;
        glBegin(GL_POINTS);
        glVertex3f(ClipCoords::X(p, a[4]), ClipCoords::Y(p, a[5]), p.Z);
        glEnd();
      }
      out.resize(static_cast<size_t>(std::max(glRenderMode(GL_RENDER), 0)));
      return out;
    };
    const std::vector<float> before = run(true);
    ASSERT_EQ(before.size(), static_cast<size_t>(kPoints) * 4);  // every point in view
    EXPECT_TRUE(run(false) == before);
  }
  ResizeGL(kViewW, kViewH);
}

TEST_F(DrawFrameTest, DISABLED_FrameTime) {
  const double groundBefore = FrameTime(true, false);
  const double groundNow = FrameTime(false, false);
  const double before = FrameTime(true);
  const double now = FrameTime(false);
  const ObjectDrawCounts n = LastObjectDrawCounts();
  std::printf("ground alone: before %.2f ms, now %.2f ms\n", groundBefore, groundNow);
  std::printf("frame of ground, %d objects and bars, %d x %d: before %.2f ms, now %.2f ms\n",
              kObjects, kViewW, kViewH, before, now);
  std::printf("objects now in %d batches, %d switches between sprites and lines, %d draw calls\n",
              n.Batches, n.Switches, n.Calls);
}

}  // namespace
