// The navigable replay: seeking anywhere gives the state of playing straight there, the marks
// are the batch's events, and a match taken over, or saved and resumed, replays in sync.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "app/batch.h"
#include "app/replay.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

class ReplaySeek : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rts_replay_seek_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }

  // Plays `frames` frames of the test level with seed `seed`, with the player's mouse busy
  // when `inputs`; the recording goes to `name`, the hash after each frame to hashes[frame].
  std::string Record(const std::string& name, uint32_t seed, int frames, bool inputs,
                     std::vector<uint64_t>& hashes) {
    const std::string path = (dir_ / name).string();
    RecordingPlatform platform;
    platform.fixedSeed = seed;
    HeadlessHost host(platform);
    std::string error;
    EXPECT_TRUE(host.inputs().Record(path, error)) << error;
    host.Press(1);
    host.Press(2);
    hashes.assign(1, StateHash(host.frontend()));
    for (int f = 0; f < frames; ++f) {
      if (inputs && f % 37 == 0) host.Move((f * 7) % 500, (f * 3) % 400);
      if (inputs && f % 211 == 0)
        host.Down(f % 2 ? Frontend::Button::Left : Frontend::Button::Right);
      host.Tick();
      hashes.push_back(StateHash(host.frontend()));
    }
    host.inputs().Close();
    return path;
  }

  static Script Read(const std::string& path) {
    std::ifstream in(path);
    return ReadScript(in);
  }

  InDir data_{RTS_SOURCE_DIR "/data"};
  fs::path dir_;
};

uint64_t Hash(HeadlessHost& host) {
  return StateHash(host.frontend());
}

}  // namespace

TEST_F(ReplaySeek, AnyFrameFromAnywhereIsThePlayedFrame) {
  std::vector<uint64_t> straight;
  const int kFrames = 40000;
  const std::string file = Record("long.txt", 3, kFrames, true, straight);
  RecordingPlatform platform;
  HeadlessHost host(platform);
  host.viewer().Start(Read(file));
  const ReplayPlayer& replay = *host.viewer().Opened();
  EXPECT_EQ(replay.length(), static_cast<uint64_t>(kFrames));
  EXPECT_GT(replay.keyframeCount(), 10u);
  EXPECT_EQ(host.frontend().state().Frames, 0u);  // opened at the start

  std::mt19937 rng(7);
  std::uniform_int_distribution<uint64_t> any(1, kFrames);
  for (int i = 0; i < 60; ++i) {
    const uint64_t f = any(rng);
    if (i % 3 == 0) {
      ASSERT_TRUE(host.viewer().Seek(kFrames));  // from the end
    }
    ASSERT_TRUE(host.viewer().Seek(f));
    ASSERT_EQ(host.frontend().state().Frames, f);
    ASSERT_EQ(Hash(host), straight[f]) << "frame " << f;
    // Back one, then forward one, by the keys and by a frame of the script.
    host.view().Key(KeyAction::Back, true, false);
    ASSERT_EQ(Hash(host), straight[f - 1]) << "frame " << f - 1;
    ASSERT_TRUE(host.Frames(1));
    ASSERT_EQ(Hash(host), straight[f]) << "frame " << f;
  }
  host.view().Key(KeyAction::ToEnd, true, false);
  EXPECT_EQ(Hash(host), straight[kFrames]);
  host.view().Key(KeyAction::TenBack, true, false);
  EXPECT_EQ(Hash(host), straight[kFrames - 1000]);
  host.view().Key(KeyAction::SecondForward, true, false);
  EXPECT_EQ(Hash(host), straight[kFrames - 900]);
  host.view().Key(KeyAction::ToStart, true, false);
  EXPECT_EQ(host.frontend().state().Frames, 0u);
  EXPECT_TRUE(host.Frames(1));
  EXPECT_EQ(Hash(host), straight[1]);
}

TEST_F(ReplaySeek, MarksAreTheBatchsEventsAndFailedChecks) {
  RecordingPlatform platform;
  HeadlessHost loader(platform);
  loader.Press(1);
  for (uint32_t seed : {1u, 2u, 5u}) {
    std::vector<uint64_t> hashes;
    const int frames = 25000;
    const std::string file = Record("match.txt", seed, frames, false, hashes);
    const MatchResult batch = RunMatch(loader.world(), 0, seed, frames);
    RecordingPlatform p;
    HeadlessHost host(p);
    host.viewer().Start(Read(file));
    const std::vector<ReplayMark> marks = host.viewer().Opened()->marks();
    EXPECT_EQ(marks, EventMarks(batch)) << "seed " << seed;
    EXPECT_GE(marks.size(), 6u);  // both sides' firsts at least
    if (seed != 1) continue;

    // A changed check: its mark, and a seek over it reports it.
    std::string text = ReadAll(file);
    const std::string line = "hash " + HashText(hashes[500]);
    const size_t at = text.find(line);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, line.size(), "hash 0123456789abcdef");
    std::istringstream in(text);
    RecordingPlatform p2;
    HeadlessHost changed(p2);
    changed.viewer().Start(ReadScript(in));
    std::vector<ReplayMark> expected = marks;
    const ReplayMark failed{500, MarkKind::FailedCheck, -1};
    expected.insert(std::upper_bound(
                        expected.begin(), expected.end(), failed,
                        [](const ReplayMark& a, const ReplayMark& b) { return a.Frame < b.Frame; }),
                    failed);
    EXPECT_EQ(changed.viewer().Opened()->marks(), expected);
    EXPECT_EQ(MarkText(failed), "out of sync");
    // Onto frame 500 (a keyframe), then through it.
    for (const auto& [from, to] : {std::pair<uint64_t, uint64_t>{0, 500}, {450, 550}}) {
      ASSERT_TRUE(changed.viewer().Seek(from));
      EXPECT_FALSE(changed.viewer().Seek(to));
      EXPECT_EQ(changed.viewer().player()->failedFrame(), 500u);
    }
    EXPECT_EQ(Hash(changed), hashes[550]);  // the state itself is the recorded one
    EXPECT_TRUE(changed.viewer().Seek(650));
  }
}

TEST_F(ReplaySeek, ATakenOverMatchsRecordingReplaysInSync) {
  std::vector<uint64_t> hashes;
  const std::string file = Record("first.txt", 11, 3000, true, hashes);
  const std::string taken = (dir_ / "taken.txt").string();
  const std::string saved = (dir_ / "saved.txt").string();
  uint64_t end = 0;
  // Taken over into a file, and in memory then saved: the same recording.
  for (const std::string& to : {taken, std::string()}) {
    RecordingPlatform platform;
    HeadlessHost host(platform);
    host.viewer().Start(Read(file));
    ASSERT_TRUE(host.viewer().Seek(1777));
    std::string error;
    ASSERT_TRUE(host.viewer().TakeOver(1, to, error)) << error;
    EXPECT_FALSE(host.viewer().playing());
    EXPECT_EQ(host.frontend().player().PlayAs, 1);
    for (int f = 0; f < 1500; ++f) {
      if (f % 50 == 0) host.Move(f % 400, 100 + f % 200);
      if (f % 300 == 0) host.Down(Frontend::Button::Right);
      host.Tick();
    }
    end = Hash(host);
    if (to.empty()) {
      ASSERT_TRUE(host.inputs().Save(saved, error)) << error;
    }
    host.inputs().Close();
  }
  const std::string text = ReadAll(taken);
  EXPECT_EQ(ReadAll(saved), text);
  EXPECT_EQ(text.rfind("seed 11 11\npress 1\npress 2\n", 0), 0u) << text.substr(0, 80);
  EXPECT_NE(text.find("play-as 1\n"), std::string::npos);
  RecordingPlatform platform;
  HeadlessHost again(platform);
  std::istringstream in(text);
  std::ostringstream out, err;
  EXPECT_EQ(RunScript(in, again, out, err), 0) << err.str();
  EXPECT_EQ(Hash(again), end);
  EXPECT_EQ(again.frontend().state().Frames, 3277u);
}

TEST_F(ReplaySeek, ASavedAndResumedMatchGoesOnAsIfNeverStopped) {
  const std::string saved = (dir_ / "saved.txt").string();
  std::vector<uint64_t> later;
  {
    RecordingPlatform platform;
    platform.fixedSeed = 21;
    HeadlessHost host(platform);
    host.inputs().Keep();
    host.Press(1);
    host.Press(2);
    for (int f = 0; f < 1234; ++f) {
      if (f % 40 == 0) host.Move(f % 300, f % 250);
      host.Tick();
    }
    std::string error;
    ASSERT_TRUE(host.inputs().SaveMatch(saved, error)) << error;
    for (int f = 0; f < 2000; ++f) {
      host.Tick();
      later.push_back(Hash(host));
    }
  }
  RecordingPlatform platform;
  HeadlessHost host(platform);
  host.viewer().Start(Read(saved));
  std::string error;
  ASSERT_TRUE(host.viewer().Resume("", error)) << error;
  EXPECT_EQ(host.frontend().state().Frames, 1234u);
  for (uint64_t h : later) {
    host.Tick();
    ASSERT_EQ(Hash(host), h);
  }

  // The same from the command line, and a headless script that seeks in a replay.
  const std::string script = (dir_ / "go_on.txt").string();
  std::ofstream(script) << "tick 2000\nhash " << HashText(later.back()) << "\n";
  const std::string program = std::string(RTSDEMO_PATH) + " --data " RTS_SOURCE_DIR "/data ";
  EXPECT_EQ(std::system((program + "--resume " + saved + " --headless --script " + script +
                         " > /dev/null 2>&1")
                            .c_str()),
            0);
  std::vector<uint64_t> straight;
  // The script's ticks are the recording's frames, with its inputs.
  const std::string file = Record("seek.txt", 4, 1500, true, straight);
  std::ofstream(script) << "seek 1200\nhash " << HashText(straight[1200]) << "\nseek 7\nhash "
                        << HashText(straight[7]) << "\ntick 300\nhash " << HashText(straight[307])
                        << "\n";
  EXPECT_EQ(std::system((program + "--replay " + file + " --start 900 --headless --script " +
                         script + " > /dev/null 2>&1")
                            .c_str()),
            0);
  EXPECT_EQ(std::system((program + "--replay " + file + " --headless > /dev/null 2>&1").c_str()),
            0);
}
