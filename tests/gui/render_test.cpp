// Pixel tests of the drawing: a real OpenGL context in a window under Xvfb.
#include "render/render.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QOpenGLContext>
#include <QTest>
#include <QWindow>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "gl_window.h"
#include "gui_app.h"

namespace {

constexpr int kView = 200;
constexpr int kCell = 16;
constexpr int kSheetW = 128;  // 8 columns
constexpr int kSheetH = 64;   // 4 rows

using Rgb = std::array<int, 3>;

// Every sheet cell is two solid halves: red tells the column, green the row, blue the half.
Rgb LeftColour(int row, int column) {
  return {30 * column, 50 * row, 60};
}
Rgb RightColour(int row, int column) {
  return {30 * column, 50 * row, 180};
}
constexpr int kKeyedRow = 4;  // its left halves are the colour key

// A sheet as the bitmap decoder hands it over: bottom row of the picture first, keyed alpha.
Image TestSheet() {
  Image image{kSheetW, kSheetH, std::vector<uint8_t>(kSheetW * kSheetH * 4)};
  for (int y = 0; y < kSheetH; ++y) {
    for (int x = 0; x < kSheetW; ++x) {
      const int row = (kSheetH - 1 - y) / kCell + 1;
      const int column = x / kCell + 1;
      const bool left = x % kCell < kCell / 2;
      Rgb c = left ? LeftColour(row, column) : RightColour(row, column);
      if (left && row == kKeyedRow) c = {252, 252, 252};
      uint8_t* p = &image.Pixels[(static_cast<size_t>(y) * kSheetW + x) * 4];
      for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(c[k]);
      p[3] = c == Rgb{252, 252, 252} ? 0 : 255;
    }
  }
  return image;
}

// The ground sheet: only column 1, row 5 is grass-green, everything else magenta.
constexpr Rgb kGrass{30, 160, 40};
Image GroundSheet() {
  Image image{512, 256, std::vector<uint8_t>(512 * 256 * 4)};
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int row = (255 - y) / 32 + 1;
      const Rgb c = (x < 32 && row == 5) ? kGrass : Rgb{250, 0, 250};
      uint8_t* p = &image.Pixels[(static_cast<size_t>(y) * 512 + x) * 4];
      for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(c[k]);
      p[3] = 255;
    }
  }
  return image;
}

class FixedTicks : public Platform {
 public:
  explicit FixedTicks(uint32_t t) : t_(t) {}
  void ShowMessage(const std::string&, const std::string&) override {}
  uint32_t TickCount() override { return t_; }
  uint32_t ClockSeed() override { return 0; }

 private:
  uint32_t t_;
};

class RenderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    GuiApp();
    ASSERT_TRUE(gl_.Open(kView, kView));
    InitGL();
    ResizeGL(kView, kView);
    FirstFrameGL();
    GlTextureUploader uploader;
    sheet_ = uploader.Upload(TestSheet());
    ground_ = uploader.Upload(GroundSheet());
  }

  static void TearDownTestSuite() { gl_.Close(); }

  void SetUp() override {
    ASSERT_TRUE(gl_.context->makeCurrent(gl_.window));
    FirstFrameGL();  // a test that leaks state fails alone
    TOpisan& type = world_.Catalogue.emplace_back().Types.emplace_back();
    type.Textures = {sheet_};
    // walk: row 1; work: row 2; dying: row 3; walk loaded: the keyed row.
    type.Animations = {{0, {1}}, {0, {2}}, {0, {3}}, {0, {kKeyedRow}}};
    type.SheetWidth = kSheetW;
    type.SheetHeight = kSheetH;
    type.FrameWidth = kCell;
    type.FrameHeight = kCell;
    type.Radius = 60;
    world_.GroundTexture = ground_;
  }

  // An object whose cell spans view pixels 42..57 on both axes.
  TObyekt& Add(float angle, int32_t action, float health = 100) {
    TObyekt& o = world_.Objects.emplace_back();
    o.X = 50;
    o.Y = 50;
    o.Angle = angle;
    o.Action = action;
    o.Energy = {health};
    return o;
  }

  void Render(bool showBars, float cameraX = 0, float cameraY = 0) {
    BeginFrameGL(cameraX, cameraY);
    DrawObjects(world_, AdvanceAnimations(world_), showBars);
    Read();
  }

  void Read() {
    pixels_.assign(static_cast<size_t>(kView) * kView * 4, 0);
    ReadViewPixels(kView, kView, pixels_.data());
  }

  // The colour at view pixel (x, y), y counted upwards from the bottom.
  Rgb At(int x, int y) const {
    const uint8_t* p = &pixels_[(static_cast<size_t>(kView - 1 - y) * kView + x) * 4];
    return {p[0], p[1], p[2]};
  }

  bool AnyNear(int x, int y, int reach, Rgb colour) const {
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx)
        if (At(x + dx, y + dy) == colour) return true;
    return false;
  }

  inline static GlWindow gl_;
  inline static uint32_t sheet_ = 0;
  inline static uint32_t ground_ = 0;
  World world_;
  std::vector<uint8_t> pixels_;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

TEST_F(RenderTest, UploadSetsNearestFiltersAndModulate) {
  EXPECT_NE(sheet_, 0u);
  EXPECT_NE(ground_, 0u);
  EXPECT_NE(sheet_, ground_);
  glBindTexture(GL_TEXTURE_2D, sheet_);
  GLint mag = 0, min = 0, env = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  EXPECT_EQ(mag, GL_NEAREST);
  EXPECT_EQ(min, GL_NEAREST);
  EXPECT_EQ(env, GL_MODULATE);
  GlTextureUploader uploader;
  EXPECT_EQ(uploader.Upload(Image{4, 4, std::vector<uint8_t>(10)}), 0u);  // short buffer
}

TEST_F(RenderTest, DrawsTheChosenCellCentredOnTheObject) {
  Add(0, kActionWalk);  // heading 0: column 3 as drawn
  Render(false);
  EXPECT_EQ(At(43, 43), LeftColour(1, 3));
  EXPECT_EQ(At(49, 57), LeftColour(1, 3));
  EXPECT_EQ(At(50, 50), RightColour(1, 3));
  EXPECT_EQ(At(57, 57), RightColour(1, 3));
  EXPECT_EQ(At(41, 50), kBlack);
  EXPECT_EQ(At(58, 50), kBlack);
  EXPECT_EQ(At(50, 41), kBlack);
  EXPECT_EQ(At(50, 58), kBlack);
}

TEST_F(RenderTest, CameraMovesTheWorld) {
  Add(0, kActionWork);
  Render(false, 20, -10);
  EXPECT_EQ(At(66, 40), LeftColour(2, 3));
  EXPECT_EQ(At(46, 50), kBlack);
}

TEST_F(RenderTest, LeftwardHeadingsAreMirrored) {
  Add(180, kActionWalk);  // column 3 mirrored
  Render(false);
  EXPECT_EQ(At(45, 50), RightColour(1, 3));
  EXPECT_EQ(At(54, 50), LeftColour(1, 3));

  world_.Objects[0].Angle = 270;  // column 5 mirrored
  Render(false);
  EXPECT_EQ(At(45, 50), RightColour(1, 5));
  EXPECT_EQ(At(54, 50), LeftColour(1, 5));

  world_.Objects[0].Angle = 89;  // column 2 as drawn
  Render(false);
  EXPECT_EQ(At(45, 50), LeftColour(1, 2));
}

TEST_F(RenderTest, DeadObjectsShowTheDyingRow) {
  Add(0, kActionWalk, 0);
  Render(false);
  EXPECT_EQ(At(45, 50), LeftColour(3, 3));
}

TEST_F(RenderTest, ColourKeyLetsTheObjectBelowShowThrough) {
  Add(0, kActionWalk);
  Add(0, kActionWalkLoaded);  // drawn on top; its left half is keyed
  Render(false);
  EXPECT_EQ(At(45, 50), LeftColour(1, 3));
  EXPECT_EQ(At(54, 50), RightColour(kKeyedRow, 3));
  world_.Objects.erase(world_.Objects.begin());
  Render(false);
  EXPECT_EQ(At(45, 50), kBlack);
}

TEST_F(RenderTest, HealthBarsRunRedYellowGreenAlongTheTopEdge) {
  Add(0, kActionWalk);
  Render(false);
  EXPECT_EQ(At(43, 58), kBlack);

  Render(true);
  const Rgb start = At(43, 58);  // 1.5 units in: red turning yellow
  EXPECT_GT(start[0], 200);
  EXPECT_LT(start[1], 130);
  EXPECT_LT(start[2], 40);
  const Rgb end = At(51, 58);  // 9.5 units in: almost green
  EXPECT_LT(end[0], 60);
  EXPECT_GT(end[1], 200);
  EXPECT_LT(end[2], 40);
  EXPECT_EQ(At(54, 58), kBlack);  // health 100: 10 units long
  // Texturing and white are back: the cell itself is untinted.
  EXPECT_EQ(At(45, 50), LeftColour(1, 3));

  world_.Objects[0].Energy = {-20};  // dead: 2 units to the left of the cell
  world_.Objects[0].Frame = 0;
  Render(true);
  const Rgb left = At(41, 58);
  EXPECT_GT(left[0], 100);
  EXPECT_GT(left[1], 50);
  EXPECT_EQ(At(45, 58), kBlack);
}

// The bars' thickness follows the zoom (3 pixels at x1, whole pixels, at least 1), as the
// sprites and the bars' length do.
TEST_F(RenderTest, HealthBarsThickenAndThinWithTheZoom) {
  Add(0, kActionWalk);
  const auto barRows = [&](float zoom) {
    BeginFrameGL(0, 0, zoom);
    DrawObjects(world_, AdvanceAnimations(world_), true, zoom);
    Read();
    // Down the column 4 units into the bar, the pixels of the bar's colours (little blue).
    const int x = static_cast<int>(46 * zoom);
    int rows = 0;
    for (int y = 0; y < kView; ++y) {
      const Rgb c = At(x, y);
      if (c[2] < 40 && (c[0] > 100 || c[1] > 100)) ++rows;
    }
    return rows;
  };
  EXPECT_EQ(barRows(1), 3);
  EXPECT_EQ(barRows(2), 6);
  EXPECT_EQ(barRows(0.5f), 2);
  EXPECT_EQ(barRows(0.25f), 1);
  EXPECT_EQ(BarWidth(std::sqrt(2.0f)), 4);
}

// Side 1's objects are the later ones, standing in columns between side 0's: both sides still
// show on the minimap, about as many pixels each.
TEST_F(RenderTest, TheMinimapShowsBothSidesWhereTheyStandMixed) {
  for (const int side : {0, 1}) {
    for (int column = 0; column < 30; ++column) {
      for (int row = 0; row < 30; ++row) {
        TObyekt& o = Add(0, kActionWalk);
        o.Side = side;
        o.X = static_cast<float>(column * 20 + side * 10);
        o.Y = static_cast<float>(row * 20);
      }
    }
  }
  MinimapScene scene;
  scene.Layout = {20, 20, 160, -50, -50, 0.1f};
  BeginFrameGL(0, 0);
  DrawMinimap(world_, scene);
  Read();
  int blue = 0, red = 0;
  for (int y = 20; y < 180; ++y) {
    for (int x = 20; x < 180; ++x) {
      const Rgb c = At(x, y);
      if (c[2] > 200 && c[0] < 120) ++blue;
      if (c[0] > 200 && c[2] < 100) ++red;
    }
  }
  EXPECT_GT(blue, 300);
  EXPECT_GT(red, 300);
  EXPECT_LT(std::abs(blue - red), (blue + red) / 4) << blue << " blue, " << red << " red";
}

TEST_F(RenderTest, SelectedObjectsGetABlueFrame) {
  TObyekt& selected = Add(0, kActionWalk);
  selected.Selected = true;
  Add(0, kActionIdle).X = 100;  // drawn after: not tinted blue
  Render(false);
  EXPECT_TRUE(At(41, 50) == kBlue || At(42, 50) == kBlue);
  EXPECT_TRUE(At(57, 50) == kBlue || At(58, 50) == kBlue);
  EXPECT_TRUE(At(50, 57) == kBlue || At(50, 58) == kBlue);
  EXPECT_EQ(At(95, 50), LeftColour(1, 3));
  EXPECT_EQ(At(104, 50), RightColour(1, 3));
  EXPECT_FALSE(AnyNear(100, 42, 1, kBlue));

  world_.Objects[0].Energy = {0};  // a selected dead object keeps its frame
  Render(false);
  EXPECT_TRUE(At(41, 50) == kBlue || At(42, 50) == kBlue);
}

TEST_F(RenderTest, HiddenObjectsDrawNothingEvenWhenSelected) {
  TObyekt& o = Add(0, kActionHidden);
  o.Selected = true;
  o.Frame = 0.3f;
  Render(true);
  for (int y = 38; y < 62; ++y)
    for (int x = 38; x < 62; ++x) ASSERT_EQ(At(x, y), kBlack) << x << "," << y;
  EXPECT_EQ(world_.Objects[0].Frame, 0.3f);
}

TEST_F(RenderTest, GroundTilesOneCellFromMinus320To352) {
  BeginFrameGL(0, 0);
  DrawGround(world_);
  Read();
  for (int y = 0; y < kView; y += 7)
    for (int x = 0; x < kView; x += 7) ASSERT_EQ(At(x, y), kGrass) << x << "," << y;

  BeginFrameGL(-300, -300);  // world 300..500 in view
  DrawGround(world_);
  Read();
  EXPECT_EQ(At(51, 51), kGrass);  // world 351
  EXPECT_EQ(At(52, 52), kBlack);  // world 352: past the last tile
  EXPECT_EQ(At(51, 60), kBlack);

  BeginFrameGL(330, 330);  // world -330..-130
  DrawGround(world_);
  Read();
  EXPECT_EQ(At(9, 9), kBlack);  // world -321
  EXPECT_EQ(At(10, 10), kGrass);
}

TEST_F(RenderTest, GroundTakesTheLevelsExtent) {
  // 4 x 3 tiles: columns -2..1 (x -64 to 64), rows -1..1 (y -32 to 64).
  world_.Ground = {4, 3};
  BeginFrameGL(100, 100);
  DrawGround(world_);
  Read();
  EXPECT_EQ(At(35, 68), kBlack);  // x -65 to -64
  EXPECT_EQ(At(36, 68), kGrass);
  EXPECT_EQ(At(163, 68), kGrass);  // x 63 to 64
  EXPECT_EQ(At(164, 68), kBlack);
  EXPECT_EQ(At(100, 67), kBlack);  // y -33 to -32
  EXPECT_EQ(At(100, 68), kGrass);
  EXPECT_EQ(At(100, 163), kGrass);
  EXPECT_EQ(At(100, 164), kBlack);
}

TEST_F(RenderTest, HoverMarkerRestoresTheDrawingState) {
  Add(0, kActionHidden).Y = 130;  // type radius 60: marker centred on (50, 100)
  FixedTicks ticks(0);
  BeginFrameGL(0, 0);
  DrawHoverMarker(world_, 0, 1, ticks);  // cross, arms 10 to 30 along each axis
  Read();
  const Rgb red{255, 0, 0};
  EXPECT_TRUE(AnyNear(70, 120, 1, red));
  EXPECT_TRUE(AnyNear(30, 80, 1, red));
  EXPECT_TRUE(AnyNear(70, 80, 1, red));
  EXPECT_TRUE(AnyNear(30, 120, 1, red));
  EXPECT_FALSE(AnyNear(50, 100, 3, red));  // open middle
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLfloat colour[4] = {};
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1.0f);
  EXPECT_EQ(colour[1], 1.0f);
  EXPECT_EQ(colour[2], 1.0f);

  BeginFrameGL(0, 0);
  DrawHoverMarker(world_, 0, 0, ticks);  // ring of radius 30 from the top, clockwise
  Read();
  const Rgb green{0, 255, 0};
  EXPECT_TRUE(AnyNear(50, 129, 1, green));
  EXPECT_FALSE(AnyNear(50, 100, 5, green));

  BeginFrameGL(0, 0);
  DrawHoverMarker(world_, 0, 2, ticks);  // no such marker
  DrawHoverMarker(world_, 7, 0, ticks);  // no such object
  Read();
  for (int y = 60; y < 140; y += 2)
    for (int x = 10; x < 90; x += 2) ASSERT_EQ(At(x, y), kBlack) << x << "," << y;
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(RenderTest, MarkerTurnsWithTheClock) {
  FixedTicks ticks(900);  // 90 degrees
  BeginFrameGL(100, 100);
  glPushMatrix();
  DrawMarker(0, 60, ticks);
  glPopMatrix();
  Read();
  // Unturned, a dash runs clockwise from the top and a gap lies just left of it; turned by 90
  // degrees the dash lies just above the left point and the gap just below it.
  const Rgb green{0, 255, 0};
  const double r = 30 + 6 * std::sin(1.8);
  const auto x = [&](double deg) {
    return 100 + static_cast<int>(std::lround(r * std::sin(deg * 3.14 / 180)));
  };
  const auto y = [&](double deg) {
    return 100 + static_cast<int>(std::lround(r * std::cos(deg * 3.14 / 180)));
  };
  EXPECT_TRUE(AnyNear(x(279), y(279), 1, green));
  EXPECT_FALSE(AnyNear(x(261), y(261), 1, green));
}

}  // namespace
