#include <gtest/gtest.h>

#include "app/script.h"
#include "app/state_hash.h"
#include "util/cp1251.h"

namespace {

std::vector<std::string> Utf8(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(ToUtf8(l));
  return out;
}

struct Headless : ::testing::Test {
  RecordingPlatform platform;
  std::unique_ptr<HeadlessHost> host;
  void SetUp() override {
    platform.fixedSeed = 7;
    host = std::make_unique<HeadlessHost>(platform);
  }
  FrontState& state() { return host->frontend().state(); }
  // The level's phase without data: both buttons disabled.
  void Running() {
    host->controls().SetButtonEnabled(1, false);
    host->controls().SetButtonEnabled(2, false);
  }
};

}  // namespace

TEST_F(Headless, StartUpReadout) {
  host->Tick();
  EXPECT_EQ(Utf8(host->controls().ListLines()),
            (std::vector<std::string>{"Первая расса: $0", "Вторая расса: $0", "Третья расса: $0",
                                      "Команда при клике: 0", "Под курсором: -1", " ",
                                      "Наведите курсор на юнит,", "чтобы узнать его мысли"}));
  EXPECT_EQ(state().Frames, 1u);
}

TEST_F(Headless, TestLevelButtonRefusesBeforeData) {
  host->Press(2);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(ToUtf8(platform.messages[0].Text), "Сначала загрузите данные!");
  EXPECT_TRUE(host->controls().ButtonEnabled(2));
  EXPECT_EQ(ToUtf8(host->controls().ButtonCaption(2)), "2. Создать тестовый уровень.");
  EXPECT_TRUE(host->frontend().world().Objects.empty());
}

TEST_F(Headless, SeedsFromTheClockSourceAtCreationAndFirstFrame) {
  EXPECT_EQ(host->frontend().world().Rng.Seed, 7u);
  host->frontend().world().Rng.Next(10);
  host->Tick();
  EXPECT_EQ(host->frontend().world().Rng.Seed, 7u);  // seeded again on the first frame
}

TEST_F(Headless, MouseYCountsFromTheBottom) {
  host->Move(10, 0);
  EXPECT_EQ(state().MouseX, 10);
  EXPECT_EQ(state().MouseY, 447);
  EXPECT_EQ(state().ScrollTicks, 30);
  host->Move(10, 447);
  EXPECT_EQ(state().MouseY, 0);
}

TEST_F(Headless, ClicksBeforeTheLevelAreDropped) {
  host->Down(Frontend::Button::Left);
  host->Down(Frontend::Button::Right);
  EXPECT_TRUE(state().LeftClicked);
  host->Tick();
  EXPECT_FALSE(state().LeftClicked);
  EXPECT_FALSE(state().RightClicked);
  host->Down(Frontend::Button::Middle);
  EXPECT_FALSE(state().LeftClicked || state().RightClicked);
}

TEST_F(Headless, EdgeScrollingThresholds) {
  Running();
  const int w = 485, h = 447;
  struct Case {
    int x, yUp;
    float dx, dy;
  } cases[] = {{49, 200, 1, 0},      {50, 200, 0, 0},     {w - 49, 200, -1, 0},
               {w - 50, 200, 0, 0},  {200, 49, 0, 1},     {200, 50, 0, 0},
               {200, h - 49, 0, -1}, {200, h - 50, 0, 0}, {0, 0, 1, 1}};
  for (const Case& c : cases) {
    state().CameraX = state().CameraY = 0;
    host->Move(c.x, h - c.yUp);
    host->Tick();
    EXPECT_FLOAT_EQ(state().CameraX, c.dx) << c.x << "," << c.yUp;
    EXPECT_FLOAT_EQ(state().CameraY, c.dy) << c.x << "," << c.yUp;
  }
}

TEST_F(Headless, EdgeScrollingRunsThirtyFramesAfterTheLastMove) {
  Running();
  host->Move(0, 200);
  for (int i = 0; i < 40; ++i) host->Tick();
  EXPECT_FLOAT_EQ(state().CameraX, 30);
  EXPECT_EQ(state().ScrollTicks, 0);
  host->Move(0, 200);  // re-armed
  host->Tick();
  EXPECT_FLOAT_EQ(state().CameraX, 31);
  EXPECT_EQ(state().ScrollTicks, 29);
}

TEST_F(Headless, NoScrollingBeforeTheLevel) {
  host->Move(0, 0);
  host->Tick();
  EXPECT_FLOAT_EQ(state().CameraX, 0);
  EXPECT_EQ(state().ScrollTicks, 30);
}

TEST_F(Headless, NarrowViewCancelsBothEdges) {
  Running();
  host->Resize(80, 80);  // runs a frame
  host->Move(40, 40);
  host->Tick();
  EXPECT_FLOAT_EQ(state().CameraX, 0);
  EXPECT_FLOAT_EQ(state().CameraY, 0);
  EXPECT_EQ(state().Frames, 2u);
}

namespace {

// Records the frame's drawing calls; it cannot change the world it is shown.
struct SpyDrawing : Drawing {
  std::string calls;
  size_t shownObjects = 0;
  void Resize(int, int, double) override { calls += "R"; }
  void FirstFrame() override { calls += "F"; }
  void BeginFrame(float, float) override { calls += "B"; }
  void Ground(const World&) override { calls += "G"; }
  void Objects(const World& w, const std::vector<SpriteChoice>& shown, bool) override {
    calls += "O";
    shownObjects = shown.size();
    EXPECT_EQ(shown.size(), w.Objects.size());
  }
  void HoverMarkers(const World&, const std::vector<int32_t>& under, int32_t kind,
                    Platform&) override {
    calls += "H" + std::to_string(under.size()) + std::to_string(kind);
  }
};

}  // namespace

// The frame advances the counters itself: a run that draws and one that does not agree.
TEST(FrameDrawing, DrawingRunsLeaveTheSameWorld) {
  RecordingPlatform pa, pb;
  pa.fixedSeed = pb.fixedSeed = 5;
  SpyDrawing spy;
  HeadlessHost drawn(pa, &spy);
  HeadlessHost plain(pb);
  for (HeadlessHost* h : {&drawn, &plain}) {
    h->Resize(300, 200);
    h->Tick();
    h->controls().SetButtonEnabled(1, false);
    World& w = h->frontend().world();
    TOpisan type;
    type.Radius = 10;
    type.Energies = {{"hp", 10, 10}};
    type.Animations = {{0, {1, 2, 3}}};
    type.Textures = {1};
    w.Catalogue = {{{type}}};
    h->Press(2);  // of the level only the worker of race 0 exists here
    ASSERT_EQ(w.Objects.size(), 1u);
    w.Objects[0].X = 20;
    w.Objects[0].Y = 20;
    h->controls().SetChecked(2, true);
    h->Move(20, 180);  // over the object
    for (int k = 0; k < 25; ++k) h->Tick();
  }
  EXPECT_EQ(drawn.frontend().world().Objects[0].Frame, plain.frontend().world().Objects[0].Frame);
  EXPECT_GT(plain.frontend().world().Objects[0].Frame, 0.0f);
  EXPECT_EQ(StateHash(drawn.frontend()), StateHash(plain.frontend()));
  // Resize, first frame, then 25 frames of the running level with the hovered object marked.
  EXPECT_EQ(spy.calls.substr(0, 4), "RFBB");
  EXPECT_EQ(spy.calls.substr(4, 6), "BGOH10");
  EXPECT_EQ(spy.shownObjects, 1u);
}
