// The game menu's actions and the end of a match, headless: a new match, speed, the side
// played, the recording saved, and the match watched again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/script.h"
#include "app/state_hash.h"
#include "test_files.h"
#include "util/cp1251.h"

namespace {

namespace fs = std::filesystem;
const fs::path kData = fs::path(RTS_SOURCE_DIR) / "data";

std::string Hash(HeadlessHost& host) {
  return HashText(StateHash(host.frontend()));
}

struct Menu : testing::Test {
  InDir in{kData};
  RecordingPlatform platform;
  HeadlessHost host{platform};
  std::ostringstream out;
  void Run(const std::string& lines) { host.Run(lines, out); }
};

// The state a fresh session reaches: load, the given inputs, the level, frames.
std::string Fresh(const std::string& lines) {
  RecordingPlatform platform;
  HeadlessHost host(platform);
  std::ostringstream out;
  host.Run(lines, out);
  return Hash(host);
}

// The menu's new match runs at normal speed, whatever the match before ran at.
TEST_F(Menu, TheMenusNewMatchRunsAtNormalSpeed) {
  Run("seed 3 3\npress 1\npress 2\ntick 10\n");
  host.pace().SetSpeed(Pace::kSpeeds - 1);
  host.NewMatch();
  EXPECT_EQ(host.pace().speed(), Pace::kNormal);
}

TEST_F(Menu, NewMatchIsAFreshStartWithItsSeed) {
  Run("seed 3 3\npress 1\npress 2\ntick 40\ncheck 2 on\nplay-as 0\nmove 100 100\n"
      "down left\ntick 5\nchoose 2 0\ngroup store 2\nnew 9\ntick 60\n");
  EXPECT_EQ(Hash(host), Fresh("seed 9 9\npress 1\ncheck 2 on\nplay-as 0\npress 2\ntick 60\n"));
  EXPECT_EQ(host.frontend().state().Frames, 60u);
  EXPECT_EQ(host.match().winner(), -1);

  // Another level, then the same level again by leaving it out.
  Run("new 11 four_mines\ntick 30\n");
  const std::string mines =
      Fresh("seed 11 11\npress 1\ncheck 2 on\nplay-as 0\nlevel four_mines\npress 2\ntick 30\n");
  EXPECT_EQ(Hash(host), mines);
  Run("tick 7\nnew 11\ntick 30\n");
  EXPECT_EQ(Hash(host), mines);

  // A level with errors changes nothing.
  const std::string before = Hash(host);
  EXPECT_THROW(Run("new 4 no_such_level\n"), CommandError);
  EXPECT_EQ(Hash(host), before);
}

TEST_F(Menu, NewMatchBeforeTheDataIsRefusedAsButtonTwoIs) {
  Run("new 5\n");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].Text, ToCp1251("Сначала загрузите данные!"));
  EXPECT_TRUE(host.controls().ButtonEnabled(2));
  EXPECT_TRUE(host.world().Objects.empty());
  // The command reads back as written, the level with its spaces.
  const Command c = *ReadCommand("new 5 my levels/a b.txt");
  EXPECT_EQ(c.Text(1), "my levels/a b.txt");
  EXPECT_EQ(WriteCommand(c), "new 5 my levels/a b.txt");
  EXPECT_THROW(ReadCommand("new"), CommandError);
  EXPECT_THROW(ReadCommand("new -1"), CommandError);
}

TEST_F(Menu, SpeedStepsStopAtBothEnds) {
  host.pace().SetSpeed(0);
  EXPECT_EQ(host.pace().SpeedText(), "x1/4");
  host.pace().SetSpeed(99);
  EXPECT_EQ(host.pace().SpeedText(), "x8");
  host.pace().SetSpeed(Pace::kNormal);
  EXPECT_EQ(host.pace().SpeedText(), "x1");
}

// A session that switches sides, starts new matches and changes speed, saved from memory,
// replays in sync; saving needs kept inputs and never overwrites the file being recorded.
TEST_F(Menu, SavedRecordingOfMenuUseReplaysInSync) {
  std::string error;
  EXPECT_FALSE(host.inputs().Save("/tmp/unused", error));
  host.inputs().Keep();
  platform.fixedSeed = 77;
  Run("press 1\npress 2\n");
  for (int i = 0; i < 150; ++i) host.Tick();
  Run("play-as 1\n");
  host.pace().SetSpeed(5);
  for (int i = 0; i < 120; ++i) host.Tick();
  host.NewMatch("battle");
  for (int i = 0; i < 30; ++i) host.Tick();
  Run("play-as -1\n");
  host.NewMatch();
  for (int i = 0; i < 230; ++i) host.Tick();
  const std::string path = TempPath("rts_menu_saved.txt").string();
  ASSERT_TRUE(host.inputs().Save(path, error)) << error;
  const std::string script = ReadAll(path);
  EXPECT_NE(script.find("new 77 battle\n"), std::string::npos) << script;
  EXPECT_NE(script.find("\nnew 77\n"), std::string::npos) << script;
  EXPECT_NE(script.find("hash " + Hash(host)), std::string::npos);

  RecordingPlatform replayPlatform;
  HeadlessHost replay(replayPlatform);
  std::istringstream in(script);
  std::ostringstream replayOut, err;
  EXPECT_EQ(RunScript(in, replay, replayOut, err), 0) << err.str();
  EXPECT_EQ(Hash(replay), Hash(host));
  fs::remove(path);
}

// A tiny level that side 0 wins at once, as soon as side 1's worker dies.
struct EndOfMatch : Menu {
  void Start(int playAs) {
    host.inputs().Keep();
    Run("seed 5 5\npress 1\nplay-as " + std::to_string(playAs) + "\npress 2\ntick 20\n");
    Kill(1);
  }
  // Every object of the side dies, then a frame runs.
  void Kill(int side) {
    for (size_t i = 0; i < host.world().Objects.size(); ++i) {
      if (host.world().Objects[i].Side == side) Run("set " + std::to_string(i) + " Energy0 0\n");
    }
    Run("tick\n");
  }
};

TEST_F(EndOfMatch, TellsThePlayerAndTheObserverWhoWonWithTheFigures) {
  Start(0);
  ASSERT_TRUE(host.view().matchEnd());
  EXPECT_EQ(host.view().matchEnd()->Title, ToCp1251("Победа"));
  EXPECT_TRUE(host.pace().paused());
  ASSERT_EQ(host.view().matchEnd()->Lines.size(), 6u);
  EXPECT_EQ(host.view().matchEnd()->Lines[0], "Frames of the match: 21");
  EXPECT_EQ(host.view().matchEnd()->Lines[3], "First death: - / 21");
  EXPECT_EQ(host.view().matchEnd()->Lines[4], "Peak workers: 1 / 1");
  host.view().KeepWatching();
  EXPECT_FALSE(host.view().matchEnd());
  EXPECT_FALSE(host.pace().paused());
  Run("tick 10\n");
  EXPECT_FALSE(host.view().matchEnd());  // shown once a match

  Run("new 5\nplay-as 1\n");
  Kill(1);
  ASSERT_TRUE(host.view().matchEnd());
  EXPECT_EQ(host.view().matchEnd()->Title, ToCp1251("Поражение"));

  Run("new 5\nplay-as -1\n");
  Kill(0);
  ASSERT_TRUE(host.view().matchEnd());
  EXPECT_EQ(host.view().matchEnd()->Title, "Side 1 won");
}

// Frames run before the level (the window's timer runs them) count neither in the box nor in
// the banner: both tell the frames of the match.
TEST_F(EndOfMatch, TheBoxAndTheBannerCountTheFramesOfTheMatch) {
  host.inputs().Keep();
  Run("seed 5 5\npress 1\ntick 40\nplay-as 0\npress 2\ntick 20\n");
  Kill(1);
  ASSERT_TRUE(host.view().matchEnd());
  EXPECT_EQ(host.frontend().state().Frames, 61u);
  EXPECT_EQ(host.view().matchEnd()->Lines[0], "Frames of the match: 21");
  const std::string banner = host.view().Banner();
  EXPECT_NE(banner.find("Side 0 won at frame 21 of the match"), std::string::npos) << banner;
}

TEST_F(EndOfMatch, WatchTheReplayPlaysThisMatchAgainInSync) {
  Start(-1);
  ASSERT_TRUE(host.view().matchEnd());
  const std::string atEnd = Hash(host);
  const uint64_t frames = host.frontend().state().Frames;
  ASSERT_TRUE(host.viewer().WatchMatch());
  EXPECT_TRUE(host.viewer().playing());
  EXPECT_FALSE(host.view().matchEnd());
  EXPECT_EQ(host.frontend().state().Frames, 0u);  // the level just created
  while (!host.viewer().ended()) host.Timer();
  EXPECT_EQ(host.frontend().state().Frames, frames);
  EXPECT_EQ(Hash(host), atEnd);
  EXPECT_FALSE(host.view().matchEnd());  // the viewer shows no end of its own

  // New match leaves the viewer for a session recorded from a fresh start.
  host.NewMatch();
  EXPECT_FALSE(host.viewer().playing());
  for (int i = 0; i < 50; ++i) host.Tick();
  const std::string path = TempPath("rts_menu_after_viewer.txt").string();
  std::string error;
  ASSERT_TRUE(host.inputs().Save(path, error)) << error;
  RecordingPlatform replayPlatform;
  HeadlessHost replay(replayPlatform);
  std::ifstream in(path);
  std::ostringstream replayOut, err;
  EXPECT_EQ(RunScript(in, replay, replayOut, err), 0) << err.str() << ReadAll(path);
  EXPECT_EQ(Hash(replay), Hash(host));
  fs::remove(path);
}

}  // namespace
