// The camera around the rules: steps per timer tick, the bound, Home, zoom and the minimap, as
// script lines and timer ticks through the session's door.
#include "app/camera.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/script.h"
#include "app/state_hash.h"
#include "test_files.h"

namespace {

// The test level in a 400 x 300 view: worker 0 of side 0 at (200, 200), worker 1 of side 1 at
// (-200, -200); the view's middle starts at world (200, 150).
struct Match {
  InDir inData{RTS_SOURCE_DIR "/data"};
  RecordingPlatform platform;
  HeadlessHost host{platform};
  explicit Match(const std::string& before = {}, const std::string& record = {}) {
    platform.fixedSeed = 5;
    std::string error;
    if (!record.empty()) {
      EXPECT_TRUE(host.inputs().Record(record, error)) << error;
    }
    Run("resize 400 300\npress 1\n" + before + "press 2\n");
  }
  void Run(const std::string& lines) {
    std::ostringstream out;
    host.Run(lines, out);
  }
  const FrontState& s() { return host.frontend().state(); }
  std::string Hash() { return HashText(StateHash(host.frontend())); }
};

}  // namespace

TEST(Camera, OneStepATickWhilePausedAndAtX8AndTheRecordingReplaysIt) {
  const std::string path = TempPath("rts_camera_test.txt").string();
  Match m({}, path);
  m.host.Timer();
  m.host.pace().SetPaused(true);
  m.Run("move 10 150\n");  // the left margin
  for (int i = 0; i < 5; ++i) m.host.Timer();
  EXPECT_EQ(m.s().CameraX, 5.0f);
  EXPECT_EQ(m.s().Frames, 2u);  // the resize's and one tick's
  m.host.pace().SetPaused(false);
  for (int i = 0; i < 3; ++i) m.host.pace().Faster();
  for (int i = 0; i < 3; ++i) m.host.Timer();
  EXPECT_EQ(m.s().CameraX, 8.0f);
  EXPECT_EQ(m.s().Frames, 26u);
  // Back at x1 each frame scrolls, as the rules say, and the mode leaves the hash.
  for (int i = 0; i < 3; ++i) m.host.pace().Slower();
  m.host.Timer();
  m.host.Timer();
  EXPECT_EQ(m.s().CameraX, 10.0f);
  EXPECT_EQ(m.host.frontend().view(), ViewInput{});
  m.host.inputs().Close();
  const std::string recording = ReadAll(path);
  // The steps of the paused ticks and of the first at x8, with no frame between, in one line.
  EXPECT_NE(recording.find("camera ticks\nscroll 6\ntick 8\nscroll\ntick 8\n"), std::string::npos)
      << recording;

  RecordingPlatform platform;
  HeadlessHost replay(platform);
  std::istringstream in(recording);
  std::ostringstream out, err;
  EXPECT_EQ(RunScript(in, replay, out, err), 0) << err.str() << recording;
  EXPECT_EQ(HashText(StateHash(replay.frontend())), m.Hash());
  EXPECT_EQ(replay.frontend().state().CameraX, 10.0f);
  std::filesystem::remove(path);
}

TEST(Camera, TheBoundKeepsAFifthOverTheGroundOnceOnAndTheWindowTurnsItOn) {
  const std::string path = TempPath("rts_camera_bound_test.txt").string();
  Match m({}, path);
  m.Run("look 5000 -300\n");  // the rules' camera goes anywhere
  EXPECT_EQ(m.s().CameraX, 200.0f - 5000.0f);
  m.host.Timer();  // as the window's timer: off the ground, the bound comes on
  EXPECT_TRUE(m.host.frontend().view().Bounded);
  // The middle stops 3/10 of the view beyond the ground's edge at 352 (and -320).
  EXPECT_FLOAT_EQ(m.s().CameraX, 200.0f - (352.0f + 120.0f));
  EXPECT_EQ(m.s().CameraY, 150.0f + 300.0f);  // within the bound: unchanged
  m.Run("look -1000 -1000\n");
  EXPECT_FLOAT_EQ(m.s().CameraX, 200.0f - (-320.0f - 120.0f));
  EXPECT_FLOAT_EQ(m.s().CameraY, 150.0f - (-320.0f - 90.0f));

  // A narrower view keeps its lower left corner: the middle moves past the bound, and back, also
  // when the frames leave the camera to the timer's steps.
  m.Run("camera ticks\nresize 200 300\n");
  EXPECT_FLOAT_EQ(m.s().CameraX, 100.0f - (-320.0f - 60.0f));
  // The recording replays it in sync.
  m.host.inputs().Close();
  RecordingPlatform platform;
  HeadlessHost replay(platform);
  std::istringstream in(ReadAll(path));
  std::ostringstream out, err;
  EXPECT_EQ(RunScript(in, replay, out, err), 0) << err.str();
  EXPECT_EQ(replay.frontend().state().CameraX, m.s().CameraX);
  EXPECT_EQ(HashText(StateHash(replay.frontend())), m.Hash());
  std::filesystem::remove(path);

  // A one-tile ground: the bound widens to 200 units around the start.
  FrontState s;
  const CameraStart start{true, 200, 150};
  const GroundArea tiny{1, 1};
  s.CameraX = 200.0f - 399.0f;  // the middle at x 399
  KeepOnGround(s, 1, tiny, start, 400, 300);
  EXPECT_EQ(s.CameraX, 200.0f - 399.0f);
  s.CameraX = 200.0f - 401.0f;
  s.CameraY = 150.0f - 351.0f;
  KeepOnGround(s, 1, tiny, start, 400, 300);
  EXPECT_EQ(s.CameraX, 200.0f - 400.0f);
  EXPECT_EQ(s.CameraY, 150.0f - 350.0f);
}

TEST(Camera, HomeCentresOnTheFirstBaseElseUnitAndOnesOwnSideStartsThere) {
  Match plain;
  EXPECT_EQ(plain.s().CameraX, 0.0f);  // without a side, the rules' start
  plain.Run("home 0\n");
  EXPECT_EQ(plain.s().CameraX, 200.0f - 200.0f);
  EXPECT_EQ(plain.s().CameraY, 150.0f - 200.0f);

  Match own("play-as 1\n");
  EXPECT_EQ(own.s().CameraX, 200.0f + 200.0f);
  EXPECT_EQ(own.s().CameraY, 150.0f + 200.0f);
  own.Run("spawn 1 1 1 -100 -50 0\nspawn 1 1 1 300 300 0\nlook 0 0\nhome 1\n");
  EXPECT_EQ(own.s().CameraX, 200.0f + 100.0f);  // the first base
  EXPECT_EQ(own.s().CameraY, 150.0f + 50.0f);
  own.Run("look 0 0\nhome 2\n");  // a side with nothing: the camera stays
  EXPECT_EQ(own.s().CameraX, 200.0f);
}

TEST(Camera, ZoomAboutTheCursorOrdersAtTheZoomedPointAndBackAtX1NothingChanged) {
  Match m;
  m.Run("move 200 100\ndown left\ntick\n");  // select worker 0
  const std::string before = m.Hash();
  m.Run("zoom in 100 100\nzoom in 100 100\n");  // x2 about world (100, 200)
  EXPECT_EQ(m.host.frontend().zoom(), 2.0f);
  EXPECT_FLOAT_EQ(m.s().CameraX, 50.0f - 100.0f);
  EXPECT_FLOAT_EQ(m.s().CameraY, 100.0f - 200.0f);
  m.Run("move 300 200\ndown right\ntick\n");
  EXPECT_EQ(m.host.world().Objects[0].Thought1, "idti 200,150");
  m.Run("zoom out 100 100\nzoom out 100 100\n");
  EXPECT_NEAR(m.s().CameraX, 0.0f, 1e-4);
  EXPECT_NEAR(m.s().CameraY, 0.0f, 1e-4);
  // Boxes map through the zoom too: at x0.5 the view holds twice the world.
  for (int i = 0; i < 6; ++i) m.Run("zoom out 0 300\n");  // stops at x0.25
  EXPECT_EQ(m.host.frontend().zoom(), 0.25f);
  EXPECT_NEAR(m.s().CameraX, 0.0f, 1e-4);
  m.Run("zoom in 0 300\nzoom in 0 300\nbox 0 0 120 120 new\n");
  EXPECT_FALSE(m.host.world().Objects[0].Selected);  // world x 0..240, y 360..600
  m.Run("box 0 150 120 300 new\n");                  // world y 0..300
  EXPECT_TRUE(m.host.world().Objects[0].Selected);
  m.Run("zoom in 0 300\nzoom in 0 300\nmove 200 100\ndown right\ntick\n");
  EXPECT_NE(m.Hash(), before);  // the frames ran on; the zoom itself is back at x1
  EXPECT_EQ(m.host.frontend().view(), ViewInput{});
}

TEST(Camera, AMinimapClickLooksThereAndTheMinimapChangesNoHash) {
  Match m;
  const std::string before = m.Hash();
  EXPECT_FALSE(m.host.view().MinimapPress(54, 245));  // hidden
  m.Run("minimap on\n");
  EXPECT_EQ(m.Hash(), before);
  const MinimapLayout layout = m.host.view().Minimap();
  EXPECT_EQ(layout.Size, 100);
  EXPECT_FALSE(m.host.view().MinimapPress(200, 100));  // outside the square
  // The square's middle is the ground's middle, world (16, 16).
  ASSERT_TRUE(m.host.view().MinimapPress(54, 300 - 1 - 54));
  const WorldPoint2 middle = ViewCentre(m.s(), 1, 400, 300);
  EXPECT_NEAR(middle.X, 16, 4);
  EXPECT_NEAR(middle.Y, 16, 4);
  EXPECT_EQ(m.s().ScrollTicks, 0);
}
