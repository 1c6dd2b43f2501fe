// A run's start: a recording that fails its check ends a resume with status 3, also where a
// keyframe lies past the check, and leaves a seek paused at the failure; a recording that
// cannot be written refuses the start.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/replay.h"
#include "app/script.h"
#include "test_files.h"

namespace {

Script Wrong() {
  std::istringstream in("seed 3 3\npress 1\npress 2\ntick 150\nhash 0000000000000001\ntick 100\n");
  return ReadScript(in);
}

TEST(Startup, AFailedCheckEndsAResumeAndPausesASeek) {
  InDir data(RTS_SOURCE_DIR "/data");
  {
    RecordingPlatform platform;
    HeadlessHost host(platform);
    SessionStart start;
    start.Replay = Wrong();
    start.ReplayName = "wrong.txt";
    start.Resume = true;
    std::ostringstream err;
    ASSERT_TRUE(OpenSession(host, start, err));
    bool seekFailed = false;
    EXPECT_EQ(BeginSession(host, start, err, seekFailed), 3);
    EXPECT_EQ(err.str(), "rtsdemo: wrong.txt: out of sync at frame 150\n");
  }
  RecordingPlatform platform;
  HeadlessHost host(platform);
  SessionStart start;
  start.Replay = Wrong();
  start.Start = 160;  // from the keyframe at 100, through the check
  std::ostringstream err;
  ASSERT_TRUE(OpenSession(host, start, err));
  bool seekFailed = false;
  EXPECT_EQ(BeginSession(host, start, err, seekFailed), std::nullopt);
  EXPECT_TRUE(seekFailed);
  EXPECT_TRUE(host.viewer().playing());
  EXPECT_EQ(host.viewer().player()->failedFrame(), 150u);
  EXPECT_TRUE(host.pace().paused());
}

TEST(Startup, ARecordingThatCannotBeWrittenRefusesTheStart) {
  RecordingPlatform platform;
  HeadlessHost host(platform);
  SessionStart start;
  start.Record = "/no/such/dir/r.txt";
  std::ostringstream err;
  EXPECT_FALSE(OpenSession(host, start, err));
  EXPECT_EQ(err.str(),
            "rtsdemo: cannot write the recording /no/such/dir/r.txt: No such file or directory\n");
}

}  // namespace
