// The lockstep peer as the window plays it: two peers in one process on 127.0.0.1 (pace and
// chat reach both at the same frame, the recordings hold both players' inputs and the chat).
#include "net/net_peer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/script.h"
#include "app/state_hash.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A recording without its comments, its tick lines merged: the chat arrives at each peer at
// its own moment, the inputs and frames are the same.
std::string WithoutComments(const std::string& text) {
  std::istringstream in(text);
  std::string out, line;
  long ticks = 0;
  while (std::getline(in, line)) {
    if (line.rfind("#", 0) == 0) continue;
    if (line.rfind("tick ", 0) == 0) {
      ticks += std::stol(line.substr(5));
      continue;
    }
    if (ticks) out += "tick " + std::to_string(ticks) + "\n";
    ticks = 0;
    out += line + "\n";
  }
  return out;
}

class NetPair : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
    const std::string id = std::to_string(getpid());
    fileA_ = fs::temp_directory_path() / ("rts_net_a_" + id + ".txt");
    fileB_ = fs::temp_directory_path() / ("rts_net_b_" + id + ".txt");
    std::string error;
    ASSERT_TRUE(a_.inputs().Record(fileA_.string(), error)) << error;
    ASSERT_TRUE(b_.inputs().Record(fileB_.string(), error)) << error;
  }
  void TearDown() override {
    a_.inputs().Close();
    b_.inputs().Close();
    fs::remove(fileA_);
    fs::remove(fileB_);
    ASSERT_EQ(chdir(cwd_), 0);
  }
  // Both peers' timer ticks, the joiner's first, until cond holds (at most n rounds).
  template <typename Cond>
  bool Until(Cond cond, int n = 2000) {
    for (int i = 0; i < n && !cond(); ++i) {
      b_.Timer();
      a_.Timer();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return cond();
  }
  uint64_t Frames(HeadlessHost& h) { return h.frontend().state().Frames; }
  // Both say hello; the join waits for its connection, which the host's ticks answer.
  void Connect(NetPeer& host, NetPeer& join) {
    std::string error;
    ASSERT_TRUE(host.Begin(error)) << error;
    std::atomic<bool> joined = false, done = false;
    std::string joinError;
    std::thread t([&] {
      joined = join.Begin(joinError);
      done = true;
    });
    while (!done) {
      a_.Timer();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    t.join();
    ASSERT_TRUE(joined) << joinError;
  }
  static NetOptions HostNet(uint32_t timeout = 5) {
    NetOptions net;
    net.port = static_cast<uint16_t>(20000 + getpid() % 30000);
    net.timeout = timeout;
    return net;
  }
  static NetOptions JoinNet() {
    NetOptions net = HostNet();
    net.kind = NetOptions::Kind::Join;
    net.address = "127.0.0.1";
    return net;
  }

  char cwd_[4096] = {};
  fs::path fileA_, fileB_;
  RecordingPlatform pa_, pb_;
  HeadlessHost a_{pa_}, b_{pb_};
};

TEST_F(NetPair, PaceAndChatReachBothPeersAtTheSameFrame) {
  const NetOptions hostNet = HostNet(), joinNet = JoinNet();
  WindowOptions seeded;
  seeded.seed = 3;
  NetPeer host(a_, hostNet, seeded, false);
  NetPeer join(b_, joinNet, {}, false);
  ASSERT_NO_FATAL_FAILURE(Connect(host, join));
  ASSERT_TRUE(Until([&] { return host.player() && join.player(); }));

  // Inputs go through the lockstep: the level is created on both at one frame.
  a_.Press(2);
  EXPECT_TRUE(a_.controls().ButtonEnabled(2)) << "applied at once";
  ASSERT_TRUE(
      Until([&] { return !a_.controls().ButtonEnabled(2) && !b_.controls().ButtonEnabled(2); }));
  b_.Move(200, 150);

  // P at the joiner pauses both at one frame; + and P at the host run both at x2.
  b_.view().Key(KeyAction::Pause, true, false);
  ASSERT_TRUE(Until([&] { return a_.pace().paused() && b_.pace().paused(); }));
  Until([] { return false; }, 30);
  EXPECT_EQ(Frames(a_), Frames(b_));
  const uint64_t pausedAt = Frames(a_);
  a_.view().Key(KeyAction::Faster, true, false);
  a_.view().Key(KeyAction::Pause, true, false);
  ASSERT_TRUE(Until([&] { return !a_.pace().paused() && !b_.pace().paused(); }));
  EXPECT_EQ(a_.pace().speed(), Pace::kNormal + 1);
  EXPECT_EQ(b_.pace().speed(), Pace::kNormal + 1);
  EXPECT_GT(Frames(a_), pausedAt);

  // Chat: to the other peer with its sender, control characters as spaces, cut to length.
  EXPECT_TRUE(host.Chat("hi\tthere"));
  ASSERT_TRUE(Until([&] { return !join.chat().empty(); }));
  EXPECT_EQ(join.chat().back(), "player 0 (side 0): hi there");
  EXPECT_EQ(host.chat().back(), "player 0 (side 0): hi there");
  EXPECT_TRUE(join.Chat(std::string(500, 'x')));
  ASSERT_TRUE(Until([&] { return host.chat().size() == 2; }));
  EXPECT_EQ(host.chat().back().size(), std::string("player 1 (side 1): ").size() + 200);

  // Both leave: each ends at the same frame with the same state.
  EXPECT_FALSE(join.Leave());
  EXPECT_FALSE(host.Leave());
  ASSERT_TRUE(Until([&] { return host.ended() && join.ended(); }, 5000));
  EXPECT_EQ(host.status(), 0);
  EXPECT_EQ(join.status(), 0);
  EXPECT_EQ(Frames(a_), Frames(b_));
  EXPECT_EQ(StateHash(a_.frontend()), StateHash(b_.frontend()));

  // Both recordings hold both players' inputs and the chat, and replay to the same state.
  a_.inputs().Close();
  b_.inputs().Close();
  const std::string recA = ReadText(fileA_);
  const std::string recB = ReadText(fileB_);
  EXPECT_EQ(WithoutComments(recA), WithoutComments(recB));
  EXPECT_NE(recA.find("press 2"), std::string::npos);
  EXPECT_NE(recA.find("move 200 150"), std::string::npos);
  EXPECT_NE(recA.find("# chat player 0 (side 0): hi there\n"), std::string::npos);
  EXPECT_NE(recB.find("# chat player 0 (side 0): hi there\n"), std::string::npos);
  Script script;
  std::ostringstream why;
  ASSERT_TRUE(LoadScript(fileA_.string(), script, why)) << why.str();
  RecordingPlatform pr;
  HeadlessHost replay(pr);
  replay.viewer().Start(std::move(script));
  while (replay.Frames(1)) {
  }
  EXPECT_EQ(StateHash(replay.frontend()), StateHash(a_.frontend()));
}

// A state changed at one peer: both end with status 3 and the report names the field.
TEST_F(NetPair, ADesyncEndsTheMatchWithTheReport) {
  NetPeer host(a_, HostNet(), {}, false);
  NetPeer join(b_, JoinNet(), {}, false);
  ASSERT_NO_FATAL_FAILURE(Connect(host, join));
  std::vector<std::string> problems;
  host.onProblem = [&](const std::string& text) { problems.push_back(text); };
  ASSERT_TRUE(Until([&] { return host.player() && join.player(); }));
  a_.Press(2);
  ASSERT_TRUE(Until([&] { return Frames(b_) > 50; }));
  b_.Apply(*ReadCommand("set 1 X 123.5"));
  ASSERT_TRUE(Until([&] { return host.ended() && join.ended(); }, 5000));
  EXPECT_EQ(host.status(), 3);
  EXPECT_EQ(join.status(), 3);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("frame 100: Objects[1].X "), std::string::npos) << problems[0];
  EXPECT_NE(problems[0].find(" vs 123.5 (last agreed frame 0)"), std::string::npos) << problems[0];
  // Stopped: no frame runs after the end.
  const uint64_t frames = Frames(a_);
  Until([] { return false; }, 20);
  EXPECT_EQ(Frames(a_), frames);
}

// The joiner's connection drops: the host waits and says so, until the menu's entry goes on
// without it; then the match runs and ends alone.
TEST_F(NetPair, TheMatchGoesOnWithoutAPlayerWhoIsGone) {
  NetPeer host(a_, HostNet(8), {}, false);
  auto join = std::make_unique<NetPeer>(b_, JoinNet(), WindowOptions{}, false);
  ASSERT_NO_FATAL_FAILURE(Connect(host, *join));
  ASSERT_TRUE(Until([&] { return host.player() && join->player(); }));
  a_.Press(2);
  ASSERT_TRUE(Until([&] { return Frames(a_) > 20; }));
  join.reset();  // no goodbye: the network notices in a few seconds
  const auto since = std::chrono::steady_clock::now();
  auto alone = [&](auto cond) {
    for (int i = 0; i < 10000 && !cond(); ++i) {
      a_.Timer();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return cond();
  };
  ASSERT_TRUE(alone([&] { return host.someoneGone(); }));
  EXPECT_TRUE(alone([&] {
    return host.Status().find("waiting for player 1 (side 1) (disconnected)") != std::string::npos;
  })) << host.Status();
  // Past the time-out: a player who is gone is waited for.
  const uint64_t held = Frames(a_);
  alone([&] { return std::chrono::steady_clock::now() - since > std::chrono::seconds(9); });
  EXPECT_FALSE(host.ended());
  EXPECT_LE(Frames(a_), held + 1);
  host.HandOver();
  ASSERT_TRUE(alone([&] { return Frames(a_) > held + 50; }));
  EXPECT_FALSE(host.someoneGone());
  EXPECT_FALSE(host.Leave());
  ASSERT_TRUE(alone([&] { return host.ended(); }));
  EXPECT_EQ(host.status(), 0);
}

// A join that reaches nobody leaves the window running and ends after the time-out, saying so.
TEST_F(NetPair, AJoinThatReachesNobodyEndsAfterTheTimeOutWithoutBlocking) {
  NetOptions net = JoinNet();
  net.timeout = 1;
  NetPeer join(b_, net, {}, false);
  std::string problem;
  join.onProblem = [&](const std::string& text) { problem = text; };
  std::string error;
  // Begin no longer waits for the connection: it would have failed here after the time-out.
  ASSERT_TRUE(join.Begin(error)) << error;
  EXPECT_NE(join.Status().find("Joining 127.0.0.1"), std::string::npos) << join.Status();
  for (int i = 0; i < 400 && !join.ended(); ++i) {
    b_.Timer();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(join.ended());
  EXPECT_EQ(join.status(), 4);
  EXPECT_NE(problem.find("cannot reach 127.0.0.1:"), std::string::npos) << problem;
}

TEST(NetChat, CleanChatKeepsOneLineOfBoundedLength) {
  EXPECT_EQ(NetPeer::CleanChat("a\nb\rc\x01"
                               "d\x7f"),
            "a b c d ");
  EXPECT_EQ(NetPeer::CleanChat("\xcf\xf0\xe8\xe2\xe5\xf2"), "\xcf\xf0\xe8\xe2\xe5\xf2");
  EXPECT_EQ(NetPeer::CleanChat(std::string(1000, 'y')).size(), NetPeer::kChatMaxBytes);
  EXPECT_EQ(NetPeer::CleanChat(""), "");
}

}  // namespace
