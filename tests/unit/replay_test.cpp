#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/script.h"
#include "app/state_hash.h"
#include "test_files.h"

namespace {

int Replay(const std::string& script, std::string* err = nullptr) {
  RecordingPlatform platform;
  HeadlessHost host(platform);
  std::istringstream in(script);
  std::ostringstream out, errs;
  int status = RunScript(in, host, out, errs);
  if (err) *err = errs.str();
  return status;
}

// A session with clock seeds, inputs between frames, and a resize before the first tick,
// recorded by the session itself as its inputs pass its one door.
std::string RecordSession(const std::string& path) {
  RecordingPlatform platform;
  platform.fixedSeed = 4242;
  HeadlessHost host(platform);
  std::string error;
  EXPECT_TRUE(host.inputs().Record(path, error)) << error;
  host.Resize(400, 300);
  for (int frame = 0; frame < 250; ++frame) {
    if (frame % 7 == 0) host.Move(frame, 20);
    if (frame == 30) host.Down(Frontend::Button::Left);
    if (frame == 40) host.Press(2);
    host.Tick();
  }
  host.inputs().Close();
  return HashText(StateHash(host.frontend()));
}

}  // namespace

TEST(Replay, RecordedSessionReplaysInSync) {
  std::string path = TempPath("rts_replay_test.txt").string();
  std::string finalHash = RecordSession(path);
  std::string script = ReadAll(path);
  EXPECT_EQ(script.rfind("seed 4242 4242\nresize 400 300\n", 0), 0u) << script;
  EXPECT_NE(script.find("hash " + finalHash), std::string::npos);
  EXPECT_NE(script.find("tick "), std::string::npos);
  std::string err;
  EXPECT_EQ(Replay(script, &err), 0) << err;

  // One input changed: the next check fails and names the frame.
  std::string changed = script;
  size_t at = changed.find("move 98 20");
  ASSERT_NE(at, std::string::npos);
  changed.replace(at, 10, "move 99 20");
  EXPECT_EQ(Replay(changed, &err), 3);
  EXPECT_NE(err.find("out of sync at frame 100"), std::string::npos) << err;

  // Cut short (whole lines are flushed as they are written): replays up to where it stops.
  EXPECT_EQ(Replay(script.substr(0, script.find('\n', script.size() / 2) + 1)), 0);
  std::filesystem::remove(path);
}

TEST(Replay, SeedLineOnlyBeforeTheFirstFrame) {
  EXPECT_EQ(Replay("seed 1 2\ntick\nhash\n"), 0);
  EXPECT_EQ(Replay("tick\nseed 1 2\n"), 2);
  EXPECT_EQ(Replay("hash 0123456789abcdef\n"), 3);
}
