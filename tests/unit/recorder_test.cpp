// The recorder: a file that cannot be opened or written stops the recording and says where.
#include "app/recorder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/script.h"
#include "test_files.h"
#include "util/bmp.h"

namespace fs = std::filesystem;

namespace {

class RecorderTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("rts_recorder_" + std::to_string(getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    platform_.fixedSeed = 5;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs n frames, each reported to the recorder as the window does.
  void Frames(Recorder& recorder, int n) {
    for (int i = 0; i < n; ++i) {
      host_.Tick();
      recorder.FrameDone(host_.frontend(), platform_.usedSeeds);
    }
  }

  fs::path dir_;
  RecordingPlatform platform_;
  HeadlessHost host_{platform_};
};

TEST_F(RecorderTest, PathsThatCannotBeWrittenGiveTheSystemsReason) {
  std::string reason;
  EXPECT_FALSE(Recorder::CanWrite(dir_.string(), reason));
  EXPECT_EQ(reason, "Is a directory");
  EXPECT_FALSE(Recorder::CanWrite((dir_ / "no/such/r.txt").string(), reason));
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_TRUE(Recorder::CanWrite((dir_ / "r.txt").string(), reason));

  Recorder folder(dir_.string());
  EXPECT_FALSE(folder.ok());
  EXPECT_EQ(folder.error(), "Is a directory");
}

TEST_F(RecorderTest, FullDiskStopsTheRecordingOnceAtItsFrame) {
  Recorder recorder("/dev/full");
  ASSERT_TRUE(recorder.ok()) << recorder.error();
  int stops = 0;
  recorder.onStop = [&] { ++stops; };
  Frames(recorder, 150);
  recorder.Input(*ReadCommand("move 1 2"));
  recorder.Close(host_.frontend());
  EXPECT_FALSE(recorder.ok());
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(recorder.error(), "No space left on device");
  EXPECT_EQ(recorder.framesWritten(), 0u);
  EXPECT_EQ(recorder.StopText(),
            "cannot write /dev/full: No space left on device; the recording stops at frame 0");
}

// The file removed or replaced under a running recording: the rest would go nowhere.
TEST_F(RecorderTest, RemovedOrReplacedFileStopsTheRecording) {
  const fs::path path = dir_ / "r.txt";
  for (bool replace : {false, true}) {
    Recorder recorder(path.string());
    ASSERT_TRUE(recorder.ok());
    const uint64_t start = host_.frontend().state().Frames;
    Frames(recorder, 250);
    fs::remove(path);
    if (replace) std::ofstream(path) << "other\n";
    Frames(recorder, 10);
    recorder.Input(*ReadCommand("press 1"));
    EXPECT_FALSE(recorder.ok());
    EXPECT_EQ(recorder.error(), replace ? "the file was replaced" : "No such file or directory");
    // The hash lines every 100 frames flushed their ticks; the rest were lost.
    EXPECT_EQ(recorder.framesWritten(), (start + 250) / 100 * 100 - start);
    fs::remove(path);
  }
}

TEST_F(RecorderTest, WrittenRecordingReplaysItsFrames) {
  const fs::path path = dir_ / "r.txt";
  {
    Recorder recorder(path.string());
    recorder.Input(*ReadCommand("move 10 20"));
    host_.Move(10, 20);
    Frames(recorder, 120);
    recorder.Close(host_.frontend());
    EXPECT_TRUE(recorder.ok());
    EXPECT_EQ(recorder.framesWritten(), 120u);
  }
  RecordingPlatform platform;
  HeadlessHost replay(platform);
  Script script;
  ASSERT_TRUE(LoadScript(path.string(), script, std::cerr));
  EXPECT_EQ(RunLoadedScript(script, replay), 0) << ReadAll(path);
  EXPECT_EQ(replay.frontend().state().Frames, 120u);
}

// Everything that changes the match is recorded: the players' inputs and what a script does
// itself (money, spawn, set, level, new); a command that only looks writes nothing.
TEST_F(RecorderTest, ASessionOfEveryKindOfCommandReplaysInSync) {
  SetDataFolder(RTS_SOURCE_DIR "/data");
  const fs::path path = dir_ / "all.txt";
  std::string error;
  ASSERT_TRUE(host_.inputs().Record(path.string(), error)) << error;
  std::ostringstream looked;
  host_.Run(
      "press 1\nlevel test\npress 2\ntick 50\nmoney 0 500\nspawn 1 0 1 200 200 90\nset 0 X 40.5\n"
      "move 100 100\ndown left\ntick 20\nchoose 2 1\ncheck 1 on\nkey left on\ntick 10\n"
      "key left off\nbox 0 0 400 400 new\ngroup store 1\nsame 100 100\ncamera ticks\n"
      "scroll 3\nzoom in 100 100\nhome 1\nlook 50 50\nbound on\nminimap on\nplay-as 1\n"
      "resize 400 300\ntick 150\ndump\nhash\nnew 9 four_mines\ntick 120\nmoney 1 7\n"
      "tick 130\n",
      looked);
  host_.inputs().Close();
  const std::string text = ReadAll(path);
  for (const char* line : {"level test", "money 0 500", "spawn 1 0 1 200 200 90", "set 0 X 40.5",
                           "new 9 four_mines", "money 1 7"})
    EXPECT_NE(text.find(std::string("\n") + line + "\n"), std::string::npos) << line;
  EXPECT_EQ(text.find("\ndump"), std::string::npos);
  EXPECT_EQ(text.find("\nhash\n"), std::string::npos);
  RecordingPlatform platform;
  HeadlessHost replay(platform);
  Script script;
  ASSERT_TRUE(LoadScript(path.string(), script, std::cerr));
  EXPECT_EQ(RunLoadedScript(script, replay), 0) << text;
  SetDataFolder("");
}

}  // namespace
