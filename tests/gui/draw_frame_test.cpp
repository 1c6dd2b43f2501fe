// A crowded frame (ground, 2 000 objects, bars) drawn by DrawObjects against the way it was
// drawn before, state change by state change: the pictures must match to the pixel. The
// timing test is disabled; run it with --gtest_also_run_disabled_tests.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QOpenGLContext>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gl_window.h"
#include "gui_app.h"
#include "render/render.h"
#include "util/random.h"

namespace {

constexpr int kViewW = 512;
constexpr int kViewH = 480;
constexpr int kObjects = 2000;

// DrawGround and DrawObject as they were, every call kept.
void DrawObjectBefore(const World& world, int32_t index, const SpriteChoice& choice,
                      bool showBars) {
  if (!IsObjectIndex(world, index) || !choice.Draw) return;
  const TObyekt& object = ObjectAt(world, index);
  const TOpisan& type = *choice.Type;
  const float fw = static_cast<float>(type.FrameWidth);
  const float fh = static_cast<float>(type.FrameHeight);
  glBindTexture(GL_TEXTURE_2D, choice.Texture);
  glPushMatrix();
  glTranslatef(object.X - fw / 2.0f, object.Y - fh / 2.0f, -5);
  DrawSpriteFrame(type.SheetWidth, type.SheetHeight, type.FrameWidth, type.FrameHeight, choice.Row,
                  choice.Column, choice.Mirrored);
  glTranslatef(0, 0, 0.5f);
  glDisable(GL_TEXTURE_2D);
  SetLineWidth(3);
  if (showBars) {
    const float h = object.Energy[0];
    glBegin(GL_LINES);
    glColor3f(1, 0, 0);
    glVertex2f(0, fh);
    glColor3f(1, 1, 0);
    glVertex2f(h / 20, fh);
    glColor3f(1, 1, 0);
    glVertex2f(h / 20, fh);
    glColor3f(0, 1, 0);
    glVertex2f(h / 10, fh);
    glEnd();
  }
  SetLineWidth(1);
  glColor3f(0, 0, 1);
  if (object.Selected) {
    glBegin(GL_LINE_LOOP);
    glVertex2f(0, 0);
    glVertex2f(0, fh);
    glVertex2f(fw, fh);
    glVertex2f(fw, 0);
    glEnd();
  }
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glPopMatrix();
}

void DrawGroundBefore(const World& world) {
  glBindTexture(GL_TEXTURE_2D, world.GroundTexture);
  for (int i = -10; i <= 10; ++i) {
    for (int j = -10; j <= 10; ++j) {
      glPushMatrix();
      glTranslatef(32.0f * i, 32.0f * j, 0);
      DrawSpriteFrame(512, 256, 32, 32, 5, 1, false);
      glPopMatrix();
    }
  }
}

void DrawObjectsBefore(const World& world, const std::vector<SpriteChoice>& shown, bool showBars) {
  const size_t count = std::min(world.Objects.size(), shown.size());
  for (size_t i = 0; i < count; ++i) {
    DrawObjectBefore(world, static_cast<int32_t>(i), shown[i], showBars);
  }
}

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

class DrawFrameTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    GuiApp();
    ASSERT_TRUE(gl_.Open(kViewW, kViewH, true));
    InitGL();
    ResizeGL(kViewW, kViewH);
    FirstFrameGL();
    GlTextureUploader uploader;
    textures_[0] = uploader.Upload(Sheet(32, 0));
    textures_[1] = uploader.Upload(Sheet(24, 90));
    textures_[2] = uploader.Upload(Sheet(64, 180));  // 512 x 256: the ground too
  }

  static void TearDownTestSuite() { gl_.Close(); }

  // Three types of two sheets, 2 000 objects over the view: walking, working, dying, some
  // selected, health from 0 to 400.
  void SetUp() override {
    ASSERT_TRUE(gl_.context->makeCurrent(gl_.window));
    FirstFrameGL();
    TRassa& race = world_.Catalogue.emplace_back();
    const int cells[] = {32, 24, 32};
    for (int t = 0; t < 3; ++t) {
      TOpisan& type = race.Types.emplace_back();
      type.Textures = {textures_[0], textures_[1]};
      const int32_t sheet = t == 1 ? 1 : 0;
      type.Animations = {{sheet, {1, 2, 3}}, {sheet, {2}}, {sheet, {3, 4}}, {sheet, {4}}};
      type.SheetWidth = cells[t] * 8;
      type.SheetHeight = cells[t] * 4;
      type.FrameWidth = cells[t];
      type.FrameHeight = cells[t];
      type.Radius = 10;
    }
    world_.GroundTexture = textures_[2];
    Random r{5};
    for (int k = 0; k < kObjects; ++k) {
      TObyekt& o = world_.Objects.emplace_back();
      o.Kind = static_cast<int32_t>(r.Next(3));
      o.X = static_cast<float>(r.Next(kViewW * 4)) / 4;
      o.Y = static_cast<float>(r.Next(kViewH * 4)) / 4;
      o.Angle = static_cast<float>(r.Next(360));
      o.Action = static_cast<int32_t>(r.Next(4));
      o.Frame = static_cast<float>(r.Next(30)) / 10;
      o.Energy = {static_cast<float>(r.Next(400))};
      o.Selected = r.Next(5) == 0;
    }
    shown_ = AdvanceAnimations(world_);
  }

  void Frame(bool before, bool showBars, float cameraX = 0, float cameraY = 0) {
    BeginFrameGL(cameraX, cameraY);
    if (before) {
      DrawGroundBefore(world_);
      DrawObjectsBefore(world_, shown_, showBars);
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
    GLfloat LineWidth;
    GLfloat Colour[4];
    GLint Matrices;
    bool operator==(const State& o) const {
      return Texturing == o.Texturing && LineWidth == o.LineWidth && Matrices == o.Matrices &&
             std::memcmp(Colour, o.Colour, sizeof Colour) == 0;
    }
  };
  static State Inherited() {
    State s{};
    s.Texturing = glIsEnabled(GL_TEXTURE_2D);
    glGetFloatv(GL_LINE_WIDTH, &s.LineWidth);
    glGetFloatv(GL_CURRENT_COLOR, s.Colour);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.Matrices);
    return s;
  }

  // Milliseconds per frame, the frame finished by the server.
  double FrameTime(bool before) {
    Frame(before, true);
    glFinish();
    constexpr int kFrames = 40;
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < kFrames; ++k) {
      Frame(before, true);
      gl_.context->swapBuffers(gl_.window);
    }
    glFinish();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    return spent.count() / kFrames;
  }

  inline static GlWindow gl_;
  inline static uint32_t textures_[3] = {};
  World world_;
  std::vector<SpriteChoice> shown_;
};

TEST_F(DrawFrameTest, SamePixelsAndStateAsBefore) {
  struct Case {
    bool bars;
    float cameraX, cameraY;
  };
  for (const Case c : {Case{true, 0, 0}, Case{false, 0, 0}, Case{true, -37.5f, 12.25f}}) {
    SCOPED_TRACE(testing::Message() << "bars " << c.bars << " camera " << c.cameraX);
    Frame(true, c.bars, c.cameraX, c.cameraY);
    const std::vector<uint8_t> before = Picture();
    const State stateBefore = Inherited();
    Frame(false, c.bars, c.cameraX, c.cameraY);
    const std::vector<uint8_t> after = Picture();
    EXPECT_TRUE(Inherited() == stateBefore);
    size_t differ = 0;
    for (size_t k = 0; k < before.size(); k += 4)
      differ += std::memcmp(&before[k], &after[k], 4) != 0;
    EXPECT_EQ(differ, 0u);
    // The frame is crowded: little of the ground shows.
    size_t distinct = std::count_if(before.begin(), before.end(), [](uint8_t v) { return v != 0; });
    EXPECT_GT(distinct, before.size() / 2);
  }
  // A frame without objects and one that draws only the ground leave the state alone too.
  World empty = world_;
  empty.Objects.clear();
  const State s = Inherited();
  DrawObjects(empty, {}, true);
  EXPECT_TRUE(Inherited() == s);
}

TEST_F(DrawFrameTest, DISABLED_FrameTime) {
  const double before = FrameTime(true);
  const double after = FrameTime(false);
  std::printf("frame of ground, %d objects and bars, %d x %d: before %.2f ms, now %.2f ms\n",
              kObjects, kViewW, kViewH, before, after);
}

}  // namespace
