// The lockstep peers and the hub over an in-memory transport.
#include "net/lockstep.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "app/script.h"
#include "app/state_hash.h"
#include "net/field_list.h"
#include "net/hub.h"
#include "test_files.h"
#include "util/numtext.h"

namespace {

struct Network;

struct TestPeer : Uplink {
  TestPeer(Network& n, int c) : net(n), conn(c) {}
  void Send(const Message& m) override;
  Network& net;
  int conn;
  RecordingPlatform platform;
  std::unique_ptr<HeadlessHost> host;
  std::ostringstream log;
  std::unique_ptr<Lockstep> ls;
};

// A hub and its peers; messages wait in queues until Pump.
struct Network : HubLinks {
  std::ostringstream hubLog;
  Hub hub{*this, hubLog};
  std::map<int, std::unique_ptr<TestPeer>> peers;
  std::deque<std::pair<int, std::vector<uint8_t>>> toHub;
  std::map<int, std::deque<std::vector<uint8_t>>> toPeer;
  int nextConn = 0;

  void Send(int conn, const std::vector<uint8_t>& bytes) override { toPeer[conn].push_back(bytes); }
  void Close(int) override {}
  uint32_t RoundTrip(int) override { return roundTrip; }
  uint32_t roundTrip = 0;  // ms, every connection's

  TestPeer& Join(Role role, int8_t side, uint64_t dataHash = 1) {
    const int conn = nextConn++;
    auto& p = peers[conn] = std::make_unique<TestPeer>(*this, conn);
    p->platform.answerAtOnce = false;
    p->host = std::make_unique<HeadlessHost>(p->platform);
    p->host->inputs().Keep();  // every peer's recording, from its start
    {
      InDir in(RTS_SOURCE_DIR "/data");
      p->host->Press(1);
    }
    p->ls = std::make_unique<Lockstep>(*p->host, *p, p->log);
    Message hello;
    hello.Type = MsgType::Hello;
    hello.DataHash = dataHash;
    hello.WantRole = role;
    hello.Side = side;
    hello.Players = 2;
    hello.Seed = 5;
    p->Send(hello);
    Pump();
    return *p;
  }
  void Drop(int conn) {
    peers.erase(conn);
    toPeer.erase(conn);
    hub.Disconnected(conn);
  }
  void Pump() {
    while (!toHub.empty()) {
      auto [conn, bytes] = std::move(toHub.front());
      toHub.pop_front();
      hub.Received(conn, bytes.data(), bytes.size());
    }
    for (auto& [conn, queue] : toPeer) {
      auto it = peers.find(conn);
      while (it != peers.end() && !queue.empty()) {
        std::string error;
        std::optional<Message> m = Decode(queue.front().data(), queue.front().size(), error);
        queue.pop_front();
        ASSERT_TRUE(m) << error;
        it->second->ls->Receive(*m);
      }
    }
  }
  // Every peer runs what it can, frame by frame, until `frames` frames have run on each
  // or nothing moves.
  void Run(uint64_t frames) {
    for (bool moved = true; moved;) {
      moved = false;
      for (auto& [conn, p] : peers) {
        if (p->ls->next() < frames && p->ls->Ready()) {
          p->ls->Step(false);
          moved = true;
        }
      }
      Pump();
    }
  }
};

void TestPeer::Send(const Message& m) {
  net.toHub.push_back({conn, Encode(m)});
}

Command Line(const std::string& text) {
  return *ReadCommand(text);
}

uint64_t HashOf(TestPeer& p) {
  return StateHash(p.host->frontend());
}

}  // namespace

TEST(Lockstep, PlayersAndObserverApplyInputsAtTheSameFrameInPlayerOrder) {
  Network net;
  TestPeer& a = net.Join(Role::Player, 0);
  TestPeer& b = net.Join(Role::Player, 1);
  TestPeer& watcher = net.Join(Role::Observer, 0);
  ASSERT_TRUE(a.ls->started() && b.ls->started() && watcher.ls->started());
  const uint32_t d = a.ls->delay();
  a.ls->Issue(Line("press 2"));
  net.Run(10);
  // Each player ticks a box of its own; every peer sees both at frame 10 + d.
  const auto box = [](TestPeer& p, size_t player) {
    return p.host->frontend().ControlsOf(player).Checked(2);
  };
  b.ls->Issue(Line("check 2 on"));
  a.ls->Issue(Line("check 2 off"));
  net.Run(10 + d);
  EXPECT_FALSE(box(a, 1));  // not yet: it applies at frame 10 + d
  a.ls->Issue(Line("check 2 on"));
  net.Run(11 + d);
  for (TestPeer* p : {&a, &b, &watcher}) EXPECT_TRUE(box(*p, 1) && !box(*p, 0));
  net.Run(11 + 2 * d);
  for (TestPeer* p : {&a, &b, &watcher}) EXPECT_TRUE(box(*p, 1) && box(*p, 0));
  // The window shows its own player's widgets; an observer's are its own.
  EXPECT_TRUE(a.host->controls().Checked(2) && b.host->controls().Checked(2));
  EXPECT_FALSE(watcher.host->controls().Checked(2));
  // Pause and speed are the match's, set at one frame for all.
  b.ls->SetPace(true, 4);
  net.Run(20 + d);
  for (TestPeer* p : {&a, &b, &watcher}) {
    EXPECT_TRUE(p->host->pace().paused());
    EXPECT_EQ(p->host->pace().speed(), 4);
  }
  // A peer runs no frame whose inputs it lacks.
  net.Run(150);
  EXPECT_EQ(a.ls->next(), 150u);
  net.peers.at(b.conn)->ls->Issue(Line("move 100 100"));
  while (a.ls->Ready()) a.ls->Step(false);
  EXPECT_EQ(a.ls->next(), 150 + d);
  EXPECT_EQ(a.ls->WaitingFor(), "waiting for player 1 (side 1)");
  a.ls->Leave();
  b.ls->Leave();
  net.Run(100000);
  EXPECT_TRUE(a.ls->over() && b.ls->over() && watcher.ls->over());
  EXPECT_EQ(a.ls->next(), b.ls->next());
  EXPECT_EQ(a.ls->next(), watcher.ls->next());
  EXPECT_EQ(HashOf(a), HashOf(b));
  EXPECT_EQ(HashOf(a), HashOf(watcher));
  EXPECT_GE(a.ls->lastAgreed(), 100u);
  EXPECT_FALSE(a.ls->desynced() || watcher.ls->desynced()) << a.ls->report();
}

TEST(Lockstep, AMatchOverTheNetworkIsTheLocalMatchWithTheSameInputs) {
  Network net;
  TestPeer& a = net.Join(Role::Player, 0);
  TestPeer& b = net.Join(Role::Player, 1);
  const uint32_t d = a.ls->delay();
  a.ls->Issue(Line("press 2"));
  net.Run(50);
  b.ls->Issue(Line("move 300 200"));
  b.ls->Issue(Line("down right"));
  a.ls->Leave();
  b.ls->Leave();
  net.Run(100000);
  RecordingPlatform platform;
  platform.fixedSeed = 5;  // the hello's seed
  platform.answerAtOnce = false;
  HeadlessHost local(platform);
  {
    InDir in(RTS_SOURCE_DIR "/data");
    local.Press(1);
  }
  std::ostringstream out;
  // The sides of the players, then each one's inputs behind its number.
  local.Run("player 0\nplay-as 0\nplayer 1\nplay-as 1", out);
  for (uint64_t f = 0; f < a.ls->next(); ++f) {
    if (f == d) local.Run("player 0\npress 2", out);
    if (f == 50 + d) local.Run("player 1\nmove 300 200\ndown right", out);
    // The first to leave hands its side to the computer until the other leaves too.
    for (int p = 0; p < 2; ++p)
      if (a.ls->leftAt(p) && *a.ls->leftAt(p) + 1 == static_cast<int64_t>(f))
        local.Run("player " + std::to_string(p) + "\nplay-as -1", out);
    local.RunFrame(false);
  }
  EXPECT_EQ(HashOf(a), StateHash(local.frontend()));
  EXPECT_EQ(HashOf(b), StateHash(local.frontend()));
}

// Two players select and order their own units in the same frames: each acts with its own
// cursor, camera and selection, the computer plays neither side, and every peer agrees.
TEST(Lockstep, EachPlayerSelectsAndOrdersWithItsOwnCursorCameraAndSelection) {
  Network net;
  TestPeer& a = net.Join(Role::Player, 0);
  TestPeer& b = net.Join(Role::Player, 1);
  TestPeer& watcher = net.Join(Role::Observer, 0);
  const uint32_t d = a.ls->delay();
  a.ls->Issue(Line("press 2"));
  net.Run(20);
  const int cursor[2][2] = {{200, 150}, {300, 250}};  // view pixels, y from the top
  for (int p = 0; p < 2; ++p) {
    TestPeer& peer = p == 0 ? a : b;
    peer.ls->Issue(Line("box 0 0 485 447 new"));
    peer.ls->Issue(
        Line("move " + std::to_string(cursor[p][0]) + " " + std::to_string(cursor[p][1])));
    peer.ls->Issue(Line("down right"));
  }
  net.Run(21 + d);
  // Side s's first worker, and the walk order the player of side s gave from its own view.
  const auto worker = [](TestPeer& peer, int32_t side) -> const TObyekt& {
    for (const TObyekt& o : peer.host->world().Objects)
      if (o.Side == side && o.Kind == 0) return o;
    throw std::runtime_error("no worker");
  };
  const auto walk = [&](TestPeer& peer, int p) {
    const FrontState& s = peer.host->frontend().Slot(static_cast<size_t>(p)).State;
    return "idti " + IntToStr(RoundHalfEven(cursor[p][0] - double(s.CameraX))) + "," +
           IntToStr(RoundHalfEven(447 - cursor[p][1] - double(s.CameraY)));
  };
  for (TestPeer* peer : {&a, &b, &watcher}) {
    Frontend& f = peer->host->frontend();
    ASSERT_EQ(f.players(), 2u);
    const FrontState& s0 = f.Slot(0).State;
    const FrontState& s1 = f.Slot(1).State;
    EXPECT_EQ(s0.MouseX, 200);
    EXPECT_EQ(s1.MouseX, 300);
    EXPECT_NE(s0.CameraX, s1.CameraX);  // each started over its own side
    EXPECT_EQ(worker(*peer, 0).Thought1, walk(*peer, 0));
    EXPECT_EQ(worker(*peer, 1).Thought1, walk(*peer, 1));
    // Player 0's selection is on the objects, player 1's kept apart: each only its side.
    size_t selected0 = 0;
    for (const TObyekt& o : f.world().Objects) {
      if (!o.Selected) continue;
      ++selected0;
      EXPECT_EQ(o.Side, 0);
    }
    EXPECT_GT(selected0, 0u);
    ASSERT_FALSE(f.Slot(1).Selection.empty());
    for (int32_t i : f.Slot(1).Selection) EXPECT_EQ(f.world().Objects[size_t(i)].Side, 1);
  }
  // An observer's own view moves its camera only, and nothing of it is sent.
  const uint64_t watched = HashOf(watcher);
  EXPECT_TRUE(watcher.host->ApplyOwnView(Line("look 0 0")));
  EXPECT_FALSE(watcher.host->ApplyOwnView(Line("down left")));
  EXPECT_FALSE(a.host->ApplyOwnView(Line("look 0 0")));
  EXPECT_EQ(HashOf(watcher), watched);
  net.Run(22 + d);
  EXPECT_EQ(watcher.host->frontend().DrawnCameraX(),
            watcher.host->frontend().Slot(Frontend::kWatching).State.CameraX);
  EXPECT_NE(watcher.host->frontend().DrawnCameraX(), a.host->frontend().Slot(0).State.CameraX);
  // Each window drew its own player's camera.
  EXPECT_EQ(a.host->frontend().DrawnCameraX(), a.host->frontend().Slot(0).State.CameraX);
  EXPECT_EQ(b.host->frontend().DrawnCameraX(), b.host->frontend().Slot(1).State.CameraX);
  // Player 0's click on empty ground in a corner (which scrolls its view) drops its own
  // selection only; the computer, playing neither side, has left both orders alone.
  const float camera0 = b.host->frontend().Slot(0).State.CameraX;
  const float camera1 = b.host->frontend().Slot(1).State.CameraX;
  a.ls->Issue(Line("move 20 20"));
  a.ls->Issue(Line("down left"));
  net.Run(23 + 2 * d);
  for (TestPeer* peer : {&a, &b, &watcher}) {
    Frontend& f = peer->host->frontend();
    for (const TObyekt& o : f.world().Objects) EXPECT_FALSE(o.Selected);
    EXPECT_FALSE(f.Slot(1).Selection.empty());
    EXPECT_EQ(f.Slot(1).State.MouseX, 300);
    EXPECT_EQ(f.Slot(1).State.CameraX, camera1);
    EXPECT_GT(f.Slot(0).State.CameraX, camera0);
    EXPECT_EQ(worker(*peer, 0).Thought1.rfind("idti ", 0), 0u);
    EXPECT_EQ(worker(*peer, 1).Thought1.rfind("idti ", 0), 0u);
  }
  net.Run(150);
  a.ls->Leave();
  b.ls->Leave();
  net.Run(100000);
  EXPECT_EQ(HashOf(a), HashOf(b));
  EXPECT_EQ(HashOf(a), HashOf(watcher));
  EXPECT_GE(a.ls->lastAgreed(), 100u);
  EXPECT_FALSE(a.ls->desynced() || b.ls->desynced() || watcher.ls->desynced()) << a.ls->report();
  // Every peer's recording holds both players' inputs with their owners and replays the match
  // on one machine, its checks every 100 frames passing.
  for (TestPeer* peer : {&a, &b, &watcher}) {
    const std::string path = TempPath("rts_lockstep_" + std::to_string(peer->conn) + ".txt");
    std::string error;
    ASSERT_TRUE(peer->host->inputs().Save(path, error)) << error;
    const std::string recording = ReadAll(path);
    std::filesystem::remove(path);
    EXPECT_NE(recording.find("player 1\nplay-as 1\n"), std::string::npos) << recording;
    RecordingPlatform platform;
    HeadlessHost replay(platform);
    std::istringstream in(recording);
    std::ostringstream out, err;
    InDir data(RTS_SOURCE_DIR "/data");
    EXPECT_EQ(RunScript(in, replay, out, err), 0) << err.str();
    EXPECT_EQ(StateHash(replay.frontend()), HashOf(a));
    // Taken over at its end in the viewer, the window's inputs are its player's again.
    RecordingPlatform viewed;
    HeadlessHost viewer(viewed);
    std::istringstream again(recording);
    viewer.viewer().Start(ReadScript(again));
    ASSERT_TRUE(viewer.viewer().Resume("", error)) << error;
    EXPECT_EQ(viewer.frontend().players(), 2u);
    EXPECT_EQ(viewer.frontend().inputPlayer(), 0u);
  }
}

TEST(Lockstep, AChangedStateIsReportedByItsFirstDifferingField) {
  Network net;
  TestPeer& a = net.Join(Role::Player, 0);
  TestPeer& b = net.Join(Role::Player, 1);
  a.ls->Issue(Line("press 2"));
  net.Run(150);
  std::ostringstream out;
  b.host->Run("set 1 Y 77.25", out);  // the test hook: this peer alone
  net.Run(250);
  ASSERT_TRUE(a.ls->desynced());
  ASSERT_TRUE(b.ls->desynced());
  EXPECT_NE(a.ls->report().find("frame 200: Objects[1].Y "), std::string::npos) << a.ls->report();
  EXPECT_NE(a.ls->report().find("vs 77.25"), std::string::npos) << a.ls->report();
  EXPECT_NE(a.ls->report().find("last agreed frame 100"), std::string::npos);
  EXPECT_NE(b.ls->report().find("Objects[1].Y 77.25 vs"), std::string::npos) << b.ls->report();
}

TEST(Lockstep, ADesyncInAPlayersOwnPartIsNamedWithThePlayer) {
  Network net;
  TestPeer& a = net.Join(Role::Player, 0);
  TestPeer& b = net.Join(Role::Player, 1);
  a.ls->Issue(Line("press 2"));
  net.Run(150);
  const float camera = a.host->frontend().Slot(1).State.CameraX;
  b.host->frontend().Slot(1).State.CameraX = camera + 5;  // this peer alone
  net.Run(250);
  ASSERT_TRUE(a.ls->desynced());
  EXPECT_NE(a.ls->report().find("frame 200: Players[1].CameraX " + FloatToShortest(camera) +
                                " vs " + FloatToShortest(camera + 5)),
            std::string::npos)
      << a.ls->report();
}

TEST(Lockstep, PastFloodedAndBadInputsAreDroppedAlikeOnEveryPeer) {
  Network net;
  TestPeer& a = net.Join(Role::Player, 0);
  TestPeer& b = net.Join(Role::Player, 1);
  TestPeer& watcher = net.Join(Role::Observer, 1);
  a.ls->Issue(Line("press 2"));
  net.Run(50);
  // Player 1's connection sends what a broken or hostile peer would.
  auto inject = [&](Message m) {
    m.Peer = 0;  // pretends to be player 0: the hub puts the true sender in
    net.toHub.push_back({b.conn, Encode(m)});
  };
  Message past;
  past.Type = MsgType::Commands;
  past.Frame = 3;
  past.Lines = {"move 5 5"};
  inject(past);
  Message bad = past;
  bad.Frame = static_cast<uint32_t>(b.ls->next() + 200);
  bad.Lines = {"money 0 99999", "tick 5", "level /etc/passwd", "move x", "spawn 0 0 0 0 0 0"};
  inject(bad);
  Message flood = bad;
  flood.Lines.assign(Lockstep::kMaxLinesPerFrame + 10, "down right");
  inject(flood);
  Message far = bad;
  far.Frame = 4000000000u;
  inject(far);
  const std::vector<uint8_t> garbage = {9, 0, 0, 0, 5, 1, 2};
  net.toHub.push_back({b.conn, garbage});
  net.Pump();
  b.ls->Leave();
  a.ls->Leave();
  net.Run(100000);
  EXPECT_EQ(HashOf(a), HashOf(b));
  EXPECT_EQ(HashOf(a), HashOf(watcher));
  EXPECT_FALSE(a.ls->desynced() || b.ls->desynced() || watcher.ls->desynced());
  EXPECT_EQ(a.host->world().Sides[0].Money, b.host->world().Sides[0].Money);
  const std::string log = a.log.str();
  EXPECT_NE(log.find("inputs of player 1 (side 1) for past frame 3 dropped"), std::string::npos)
      << log;
  EXPECT_NE(log.find("'money 0 99999' dropped"), std::string::npos);
  EXPECT_NE(log.find("'level /etc/passwd' dropped"), std::string::npos);
  EXPECT_NE(log.find("flood of inputs"), std::string::npos);
  EXPECT_NE(log.find("too far ahead"), std::string::npos);
  EXPECT_NE(net.hubLog.str().find("truncated message"), std::string::npos);
}

TEST(Lockstep, APlayerWhoDropsOutRejoinsAndALateObserverCatchesUp) {
  Network net;
  TestPeer& a = net.Join(Role::Player, 0);
  const int bConn = net.Join(Role::Player, 1).conn;
  a.ls->Issue(Line("press 2"));
  net.peers.at(bConn)->ls->Issue(Line("down right"));
  net.Run(230);
  EXPECT_EQ(a.ls->SidesText(), "You play side 0");
  net.Drop(bConn);
  net.Pump();
  while (a.ls->Ready()) a.ls->Step(false);
  EXPECT_NE(a.ls->WaitingFor().find("player 1 (side 1) (disconnected)"), std::string::npos);
  // The player of side 1 comes back, and an observer comes.
  TestPeer& b = net.Join(Role::Player, 1);
  TestPeer& watcher = net.Join(Role::Observer, 0);
  ASSERT_TRUE(b.ls->live() && watcher.ls->live());
  EXPECT_GE(b.ls->catchUp(), 230u);
  net.Run(600);
  EXPECT_EQ(b.ls->next(), 600u);
  b.ls->Issue(Line("check 1 on"));
  a.ls->Leave();
  b.ls->Leave();
  net.Run(100000);
  EXPECT_TRUE(watcher.ls->over());
  EXPECT_EQ(HashOf(a), HashOf(b));
  EXPECT_EQ(HashOf(a), HashOf(watcher));
  EXPECT_TRUE(a.host->frontend().ControlsOf(1).Checked(1));
  EXPECT_FALSE(a.ls->desynced() || b.ls->desynced() || watcher.ls->desynced());
}

// A stall raises the order delay mid-match; a late observer and a player who comes back
// still take the log's first inputs, stamped with the delay the match started with.
TEST(Lockstep, AJoinerAfterTheDelayRoseKeepsTheFirstInputs) {
  Network net;
  TestPeer& a = net.Join(Role::Player, 0);
  const int bConn = net.Join(Role::Player, 1).conn;
  const uint32_t first = a.ls->delay();
  a.ls->Issue(Line("press 2"));
  net.peers.at(bConn)->ls->Issue(Line("move 100 100"));
  net.Run(50);
  net.roundTrip = 300;  // a peer stalled
  net.hub.AdaptDelay();
  net.Pump();
  ASSERT_GT(a.ls->delay(), first);
  net.Run(120);
  net.Drop(bConn);
  net.Pump();
  TestPeer& watcher = net.Join(Role::Observer, 0);
  TestPeer& b = net.Join(Role::Player, 1);
  EXPECT_EQ(b.ls->delay(), a.ls->delay());
  net.Run(400);
  a.ls->Leave();
  b.ls->Leave();
  net.Run(100000);
  for (TestPeer* p : {&watcher, &b}) {
    EXPECT_EQ(p->log.str().find("dropped"), std::string::npos) << p->log.str();
    EXPECT_FALSE(p->ls->desynced());
    EXPECT_EQ(HashOf(*p), HashOf(a));
  }
}

TEST(Hub, RefusesAnotherProtocolAnotherDataSetAndATakenSide) {
  Network net;
  net.Join(Role::Player, 0);
  auto refusal = [&](Message hello) {
    const int conn = net.nextConn++;
    net.toHub.push_back({conn, Encode(hello)});
    net.Pump();
    std::string error;
    const std::vector<uint8_t>& bytes = net.toPeer[conn].back();
    std::optional<Message> m = Decode(bytes.data(), bytes.size(), error);
    return m && m->Type == MsgType::Refuse ? m->Text : "no refusal";
  };
  Message hello;
  hello.Type = MsgType::Hello;
  hello.Version = 3;
  EXPECT_EQ(refusal(hello), "protocol 3 vs " + std::to_string(kProtocolVersion));
  hello.Version = kProtocolVersion;
  hello.DataHash = 2;
  hello.Side = 1;
  EXPECT_EQ(refusal(hello), "data set differs: hash 0000000000000002 vs 0000000000000001");
  hello.DataHash = 1;
  hello.Side = 0;
  EXPECT_EQ(refusal(hello), "side 0 is taken");
  // Once the match runs, a side whose player is still connected is not handed to a newcomer.
  net.Join(Role::Player, 1);
  hello.Side = 1;
  EXPECT_EQ(refusal(hello), "side 1 is played by player 1, who is still connected");
  EXPECT_EQ(net.hubLog.str().find("rejoined"), std::string::npos);
}

TEST(FieldList, NamesTheFirstDifferenceOfTwoDataSets) {
  World a;
  a.Catalogue.resize(1);
  a.Catalogue[0].Types.resize(2);
  World b = a;
  b.Catalogue[0].Types[1].Radius = 12.5f;
  const FieldList la = ListDataSet(a, "0 570\n");
  const FieldList lb = ListDataSet(b, "0 570\n");
  EXPECT_NE(ListHash(la), ListHash(lb));
  EXPECT_EQ(ReadFieldList(WriteFieldList(lb)), lb);
  EXPECT_EQ(FirstDifference(la, lb).value_or(""), "Catalogue[0].Types[1].Radius 0 vs 12.5");
  EXPECT_EQ(FirstDifference(la, ListDataSet(a, "0 571\n")).value_or(""),
            "Level line 1 0 570 vs 0 571");
  EXPECT_FALSE(FirstDifference(la, la));
}

TEST(Protocol, EveryMessageReadsBackAndNoCutOrChangedOneIsTrusted) {
  std::vector<Message> all;
  for (uint8_t t = 1; t <= static_cast<uint8_t>(MsgType::Gone); ++t) {
    Message m;
    m.Type = static_cast<MsgType>(t);
    m.Seed = 77;
    m.Text = "data\tfields\n";
    m.Lines = {"move 1 2", "down right"};
    m.Slots = {{0, "player 0"}, {1, "player 1"}};
    m.Peer = 1;
    m.Frame = 1830;
    m.StateHash = 0x0123456789abcdefull;
    m.Paused = true;
    m.Speed = 3;
    all.push_back(m);
  }
  for (const Message& m : all) {
    SCOPED_TRACE(TypeName(m.Type));
    const std::vector<uint8_t> bytes = Encode(m);
    std::string error;
    std::optional<Message> back = Decode(bytes.data(), bytes.size(), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(Encode(*back), bytes);
    // Every cut is refused with a reason, never read past its end.
    for (size_t n = 0; n < bytes.size(); ++n) {
      std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(n));
      EXPECT_FALSE(Decode(cut.data(), cut.size(), error)) << n;
      EXPECT_FALSE(error.empty());
    }
  }
  std::vector<uint8_t> huge = {0xff, 0xff, 0xff, 0x7f, 5};
  std::string error;
  EXPECT_FALSE(Decode(huge.data(), huge.size(), error));
  EXPECT_NE(error.find("too long"), std::string::npos);
  std::vector<uint8_t> lying = {9, 0, 0, 0, 5, 1, 0, 0, 0, 0xff, 0xff, 0xff, 0xff};
  EXPECT_FALSE(Decode(lying.data(), lying.size(), error));
  EXPECT_EQ(error, "malformed commands message");
}

TEST(Hub, OrderDelayKeepsAHundredFramesASecond) {
  EXPECT_EQ(Hub::DelayFor({0, 0}), 2u);  // loopback: 20 ms
  EXPECT_EQ(Hub::DelayFor({10, 12}), 3u);
  EXPECT_EQ(Hub::DelayFor({150 + 40, 150 + 40, 5}), 20u);  // 150 ms, 20 ms jitter
  EXPECT_EQ(Hub::DelayFor({100000}), 100u);
}

TEST(Hub, APlayerWhoIsGoneIsLeftBehindAtTheSameFrameOnEveryPeer) {
  Network net;
  TestPeer& a = net.Join(Role::Player, 0);
  const int b = net.Join(Role::Player, 1).conn;
  TestPeer& w = net.Join(Role::Observer, -1);
  net.Run(30);
  Message gone;
  gone.Type = MsgType::Gone;
  gone.Frame = 1;  // the player given up
  // Still connected: not given up.
  a.Send(gone);
  net.Pump();
  EXPECT_NE(net.hubLog.str().find("player 1, who is not gone, dropped"), std::string::npos);
  EXPECT_TRUE(a.host->frontend().Held(1));
  net.Drop(b);
  net.Run(100);
  EXPECT_LT(a.ls->next(), 40u);
  EXPECT_EQ(a.ls->WaitingFor(), "waiting for player 1 (side 1) (disconnected)");
  a.Send(gone);
  net.Pump();
  net.Run(200);
  EXPECT_EQ(a.ls->next(), 200u);
  EXPECT_EQ(w.ls->next(), 200u);
  EXPECT_EQ(HashOf(a), HashOf(w));
  // The computer plays the side given up, on every peer, and the banner's line says so.
  EXPECT_EQ(a.ls->SidesText(),
            "You play side 0; player 1 (side 1) left, the computer plays side 1");
  EXPECT_EQ(w.ls->SidesText(), "You watch; player 1 (side 1) left, the computer plays side 1");
  EXPECT_FALSE(a.host->frontend().Held(1));
  EXPECT_FALSE(w.host->frontend().Held(1));
  EXPECT_TRUE(a.host->frontend().Held(0));
  // The side stays given up: its player cannot take it again.
  TestPeer& back = net.Join(Role::Player, 1);
  EXPECT_TRUE(back.ls->refused());
}
