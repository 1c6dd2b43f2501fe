// The player's conveniences around the frame: pace, the state of the match, arrow keys and a
// side of one's own in scripts, the frame-by-frame script runner, and the thoughts' layout.
#include <gtest/gtest.h>
#include <unistd.h>

#include <limits>
#include <memory>
#include <sstream>

#include "app/keys.h"
#include "app/match_state.h"
#include "app/pace.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "render/thought_labels.h"
#include "test_files.h"
#include "test_world.h"

namespace {

// Frames each of `ticks` timer ticks runs.
std::vector<int> Frames(Pace& pace, int ticks) {
  std::vector<int> out;
  for (int i = 0; i < ticks; ++i) out.push_back(pace.FramesForTick());
  return out;
}

// Runs a script on the host; fails the test on an error.
void RunLines(HeadlessHost& host, const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out, err;
  ASSERT_EQ(RunScript(in, host, out, err), 0) << script << ": " << err.str();
}

}  // namespace

TEST(Pace, SpeedsPauseAndSingleFrames) {
  Pace pace;
  EXPECT_EQ(pace.SpeedText(), "x1");
  EXPECT_EQ(Frames(pace, 3), (std::vector<int>{1, 1, 1}));
  pace.Faster();
  EXPECT_EQ(Frames(pace, 2), (std::vector<int>{2, 2}));
  pace.Faster();
  pace.Faster();
  pace.Faster();  // beyond x8 stays x8
  EXPECT_EQ(pace.SpeedText(), "x8");
  EXPECT_EQ(Frames(pace, 2), (std::vector<int>{8, 8}));
  for (int i = 0; i < 4; ++i) pace.Slower();
  EXPECT_EQ(pace.SpeedText(), "x1/2");
  EXPECT_EQ(Frames(pace, 4), (std::vector<int>{0, 1, 0, 1}));
  pace.Slower();
  pace.Slower();  // below x1/4 stays x1/4
  EXPECT_EQ(pace.SpeedText(), "x1/4");
  EXPECT_EQ(Frames(pace, 8), (std::vector<int>{0, 0, 0, 1, 0, 0, 0, 1}));

  // Paused: no frame, whatever the speed; a step gives exactly one on the next tick.
  pace.TogglePause();
  EXPECT_EQ(Frames(pace, 3), (std::vector<int>{0, 0, 0}));
  pace.Step();
  pace.Step();
  EXPECT_EQ(Frames(pace, 3), (std::vector<int>{1, 0, 0}));
  pace.Step();
  pace.TogglePause();  // a step asked for is dropped on resume
  pace.Faster();
  pace.Faster();
  EXPECT_EQ(Frames(pace, 2), (std::vector<int>{1, 1}));
  pace.Step();  // not paused: nothing extra
  EXPECT_EQ(Frames(pace, 1), (std::vector<int>{1}));
}

TEST(Match, TallyCountsLiveWorkersAndBasesOfBothSides) {
  BasicTypes types;
  World w;
  w.Catalogue.push_back({{types.Worker, types.Base, types.Deposit}});
  Spawn(w, 0, 0, 10, 10);
  Spawn(w, 0, 0, 20, 10);
  Spawn(w, 1, 0, 50, 50);
  Spawn(w, 0, 1, 300, 300).Energy[0] = 0;  // dead
  Spawn(w, 1, 1, 350, 350);
  Spawn(w, 2, 555, 100, 100);  // neutral
  Spawn(w, 0, 2, 0, 0);        // a third side is not shown
  w.Sides[0].Money = 12.5f;
  w.Sides[1].Money = 13.5f;
  const auto sides = TallySides(w);
  EXPECT_EQ(sides[0].Workers, 2);
  EXPECT_EQ(sides[0].Bases, 1);
  EXPECT_EQ(sides[0].Money, 12);  // halves to the even neighbour
  EXPECT_EQ(sides[1].Workers, 0);
  EXPECT_EQ(sides[1].Bases, 1);
  EXPECT_EQ(sides[1].Money, 14);
}

TEST(Match, TheFirstFrameWithOneSideWipedOutDecidesIt) {
  BasicTypes types;
  World w;
  w.Catalogue.push_back({{types.Worker, types.Base, types.Deposit}});
  Spawn(w, 0, 0, 10, 10);
  Spawn(w, 1, 1, 300, 300);
  MatchWatch watch;
  watch.Update(w, 5);
  EXPECT_EQ(watch.winner(), -1);
  std::string banner = MatchBanner(watch, "x2", true);
  EXPECT_NE(banner.find("x2, paused"), std::string::npos) << banner;
  EXPECT_EQ(banner.find("won at"), std::string::npos) << banner;

  w.Objects[1].Energy[0] = 0;  // side 1 loses its base, its last object
  watch.Update(w, 6);
  watch.Update(w, 7);
  EXPECT_EQ(watch.winner(), 0);
  EXPECT_EQ(watch.frame(), 6u);
  // Decided once: side 0 dying later changes nothing.
  w.Objects[0].Energy[0] = 0;
  watch.Update(w, 9);
  EXPECT_EQ(watch.winner(), 0);
  banner = MatchBanner(watch, "x1", false);
  EXPECT_NE(banner.find("Side 0 won at frame 6 of the match"), std::string::npos) << banner;
  EXPECT_EQ(banner.find("paused"), std::string::npos) << banner;

  // Both sides gone in the same frame: nobody won.
  MatchWatch draw;
  draw.Update(w, 1);
  EXPECT_EQ(draw.winner(), -1);
}

TEST(PlayerScript, ArrowKeysMoveTheCameraOneUnitAFrameWhileHeld) {
  RecordingPlatform platform;
  HeadlessHost host(platform);
  RunLines(host, "key left on\ntick 3\n");
  EXPECT_EQ(host.frontend().state().CameraX, 0.0f);  // no level: the camera stays
  host.controls().SetButtonEnabled(1, false);
  host.controls().SetButtonEnabled(2, false);
  RunLines(host,
           "tick 3\nkey up on\ntick 2\nkey left off\nkey down on\ntick 4\nkey up off\ntick 1\n");
  const FrontState& s = host.frontend().state();
  EXPECT_EQ(s.CameraX, 5.0f);
  EXPECT_EQ(s.CameraY, -2.0f + 1.0f);  // up and down together cancel, then down alone
  RunLines(host, "key down off\nkey right on\ntick 2\nkey right off\ntick 5\n");
  EXPECT_EQ(s.CameraX, 3.0f);
  EXPECT_EQ(s.CameraY, -1.0f);

  for (const char* bad : {"key left\n", "key space on\n", "key left maybe\n", "play-as 2\n",
                          "play-as\n", "play-as x\n"}) {
    std::istringstream in(bad);
    std::ostringstream out, err;
    EXPECT_EQ(RunScript(in, host, out, err), 2) << bad;
    EXPECT_NE(err.str().find("script line 1"), std::string::npos) << bad;
  }
}

// Runs without the player's inputs keep their hashes; using them shows in the hash.
TEST(PlayerScript, PlayerInputsCountInTheHashOnceUsed) {
  RecordingPlatform platform;
  HeadlessHost host(platform);
  const uint64_t before = StateHash(host.frontend());
  RunLines(host, "key left on\n");
  const uint64_t held = StateHash(host.frontend());
  EXPECT_NE(held, before);
  RunLines(host, "key left off\n");
  EXPECT_EQ(StateHash(host.frontend()), before);
  RunLines(host, "play-as 1\n");
  EXPECT_NE(StateHash(host.frontend()), before);
  RunLines(host, "play-as -1\n");
  EXPECT_EQ(StateHash(host.frontend()), before);
}

// With a side of the player's own, the computer leaves that side's orders alone and plays
// the other as before; the match stays the same for the same seed.
TEST(PlayerScript, PlayAsLeavesOneSideToThePlayer) {
  InDir data(RTS_SOURCE_DIR "/data");
  auto play = [](const std::string& playAs, uint64_t frames) {
    RecordingPlatform platform;
    platform.fixedSeed = 5;
    auto host = std::make_unique<HeadlessHost>(platform);
    RunLines(*host, playAs + "press 1\npress 2\ntick " + std::to_string(frames) + "\n");
    return std::make_pair(std::move(host), StateHash(host->frontend()));
  };
  auto [both, bothHash] = play("", 3000);
  auto [own0, own0Hash] = play("play-as 0\n", 3000);
  auto [again, againHash] = play("play-as 0\n", 3000);
  EXPECT_EQ(own0Hash, againHash);
  EXPECT_NE(own0Hash, bothHash);

  auto sideOrders = [](HeadlessHost& host, int32_t side) {
    int32_t ordered = 0;
    for (const TObyekt& o : host.frontend().world().Objects) {
      if (o.Side == side && !o.Thought1.empty()) ++ordered;
    }
    return ordered;
  };
  EXPECT_EQ(sideOrders(*own0, 0), 0);  // nobody told side 0 what to do
  EXPECT_GT(sideOrders(*own0, 1), 0);
  EXPECT_GT(sideOrders(*both, 0), 0);
  // Side 1 grew as it does when the computer plays both.
  EXPECT_GT(own0->frontend().world().Objects.size(), 4u);

  // The player's order to side 0's worker stays; with the computer on side 0 it is replaced.
  auto ordered = [](const std::string& playAs) {
    RecordingPlatform platform;
    platform.fixedSeed = 5;
    HeadlessHost host(platform);
    RunLines(host, playAs + "press 1\npress 2\ntick 1\n");
    int32_t worker = -1;
    const auto& objects = host.frontend().world().Objects;
    for (size_t i = 0; i < objects.size(); ++i) {
      if (objects[i].Side == 0 && objects[i].Kind == 0) worker = static_cast<int32_t>(i);
    }
    EXPECT_GE(worker, 0);
    RunLines(host, "set " + std::to_string(worker) + " Thought1 idti 10,10\ntick 1\n");
    return host.frontend().world().Objects[static_cast<size_t>(worker)].Thought1;
  };
  EXPECT_EQ(ordered("play-as 0\n"), "idti 10,10");
  EXPECT_NE(ordered(""), "idti 10,10");
}

TEST(ScriptRunner, StepsOneFrameAtATime) {
  RecordingPlatform platform;
  HeadlessHost host(platform);
  const std::string now = HashText(StateHash(host.frontend()));
  std::istringstream in("# a comment\nhash " + now + "\ntick 2\ntick 0\nmove 1 2\ntick\n" +
                        "hash 0000000000000000\ntick\nspawn 9 9 0 0 0 0\n");
  ScriptRunner runner(ReadScript(in));
  std::ostringstream out;
  using Stop = ScriptRunner::Stop;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(runner.Step(host, out).stop, Stop::Frame) << i;
  EXPECT_EQ(host.frontend().state().Frames, 3u);
  EXPECT_EQ(host.frontend().state().MouseX, 1);
  const ScriptRunner::Result bad = runner.Step(host, out);
  EXPECT_EQ(bad.stop, Stop::OutOfSync);
  EXPECT_EQ(bad.message, "out of sync at frame 3");
  // The run can go on after a failed check.
  EXPECT_EQ(runner.Step(host, out).stop, Stop::Frame);
  const ScriptRunner::Result error = runner.Step(host, out);
  EXPECT_EQ(error.stop, Stop::Error);
  EXPECT_EQ(error.message, "script line 9: no type 9,9 in the catalogue");
  EXPECT_EQ(runner.Step(host, out).stop, Stop::End);
}

TEST(ThoughtLabels, LiveObjectsGetTheirThoughtsAboveThem) {
  BasicTypes types;
  World w;
  w.Catalogue.push_back({{types.Worker, types.Base, types.Deposit}});
  // References into Objects do not outlive a spawn: each object is set by its index.
  Spawn(w, 0, 0, 100, 50);  // radius 10
  w.Objects[0].Thought1 = "idti 1,2";
  w.Objects[0].Thought2 = "stroyka 1,3,4";
  Spawn(w, 1, 0, 300, 300).Thought2 = "x";  // only a next order
  Spawn(w, 0, 1, 10, 10);
  w.Objects[2].Thought1 = "atakovat 0";
  w.Objects[2].Energy[0] = 0;  // dead
  Spawn(w, 2, 555, 500, 500);  // no thoughts: no lines
  Spawn(w, 0, 1, 40, 40);
  w.Objects[4].Kind = 99;  // no such type: written from its centre
  w.Objects[4].Thought1 = std::string(500, 'a');
  Spawn(w, 0, 1, 0, 0);
  w.Objects[5].X = std::numeric_limits<float>::quiet_NaN();
  w.Objects[5].Thought1 = "idti 0,0";

  const std::vector<ThoughtLabel> labels = LayoutThoughtLabels(w, 6, 12);
  ASSERT_EQ(labels.size(), 4u);
  // Thought2 just above the circle, Thought1 one line higher; both centred on the object.
  EXPECT_EQ(*labels[0].Text, "stroyka 1,3,4");
  EXPECT_TRUE(labels[0].Next);
  EXPECT_EQ(labels[0].Y, 50 + 10 + 2);
  EXPECT_EQ(labels[0].Width, 13 * 6);
  EXPECT_EQ(labels[0].X, 100 - 13 * 6 / 2);
  EXPECT_EQ(*labels[1].Text, "idti 1,2");
  EXPECT_FALSE(labels[1].Next);
  EXPECT_EQ(labels[1].Y, 62 + 12);
  EXPECT_EQ(labels[1].X, 100 - 8 * 6 / 2);
  EXPECT_EQ(labels[2].Y, 300 + 30 + 2);  // the base's radius
  EXPECT_TRUE(labels[2].Next);
  EXPECT_EQ(labels[3].Y, 40 + 2);
  EXPECT_EQ(labels[3].Length, 120u);  // long texts are cut
  EXPECT_EQ(labels[3].Width, 120 * 6);
}
