#include "net/wire.h"

#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <sstream>

#include "game/level.h"
#include "net/field_list.h"
#include "net/hub.h"
#include "net/lockstep.h"

namespace {

using Clock = std::chrono::steady_clock;

using Failed = NetFailure;

void Deliver(Wire& wire, const std::vector<uint8_t>& bytes) {
  std::string error;
  if (std::optional<Message> m = Decode(bytes.data(), bytes.size(), error)) {
    if (wire.watch) wire.watch(*m, true);
    wire.peer->Receive(*m);
  } else {
    std::cerr << "net: " << error << "; dropped\n";
  }
}

// A joining peer: one connection, to the host or the relay.
class JoinWire : public Wire {
 public:
  JoinWire(const NetOptions& net, uint32_t timeoutS, bool wait)
      : unreachable_("cannot reach " + net.address + ":" + std::to_string(net.port) +
                     ": no answer in " + std::to_string(timeoutS) + " s"),
        timeoutS_(timeoutS) {
    SimulateNetwork(link_);
    std::string error;
    if (!link_.Connect(net.address, net.port, error)) throw Failed{kNetworkFailed, error};
    while (wait && connecting_) Pump(20);
  }
  void Send(const Message& m) override {
    if (watch) watch(m, false);
    if (connecting_)
      queued_.push_back(Encode(m));
    else
      link_.Send(0, Encode(m));
  }
  void Pump(int waitMs) override {
    for (EnetLink::Event e = link_.Poll(waitMs); e.kind != EnetLink::Event::None;
         e = link_.Poll(0)) {
      if (e.kind == EnetLink::Event::Connected && connecting_) {
        connecting_ = false;
        for (const std::vector<uint8_t>& bytes : queued_) link_.Send(0, bytes);
        queued_.clear();
      }
      if (e.kind == EnetLink::Event::Received) Deliver(*this, e.data);
      if (e.kind == EnetLink::Event::Disconnected) {
        if (connecting_) throw Failed{kNetworkFailed, unreachable_};
        lost_ = true;
      }
    }
    if (connecting_ && SecondsSince(start_) > timeoutS_) throw Failed{kNetworkFailed, unreachable_};
  }
  bool Lost() const override { return lost_; }
  void Finish(uint32_t) override {
    link_.Close(0);
    const auto start = Clock::now();
    while (!lost_ && SecondsSince(start) < 1) Pump(10);
  }
  uint64_t BytesSent() const override { return link_.bytesSent(); }
  uint64_t WireBytes() const override { return link_.wireBytes(); }

 private:
  EnetLink link_;
  bool lost_ = false;
  bool connecting_ = true;
  std::vector<std::vector<uint8_t>> queued_;  // sent before the connection was made
  std::string unreachable_;
  uint32_t timeoutS_;
  Clock::time_point start_ = Clock::now();
};

// The host: a hub for the others and this peer beside it, joined through a queue.
class HostWire : public Wire, public HubLinks {
 public:
  static constexpr int kLocal = 1 << 20;
  HostWire(uint16_t port, const std::string& match, std::ostream& log)
      : hub_(*this, log), match_(match) {
    SimulateNetwork(link_);
    std::string error;
    if (!link_.Listen(port, error)) throw Failed{kNetworkFailed, error};
  }
  // This peer -> the hub.
  void Send(const Message& m) override {
    if (watch) watch(m, false);
    const std::vector<uint8_t> bytes = Encode(m);
    hub_.Received(kLocal, bytes.data(), bytes.size());
  }
  // The hub -> a connection.
  void Send(int conn, const std::vector<uint8_t>& bytes) override {
    if (conn == kLocal) {
      toLocal_.push_back(bytes);
    } else {
      link_.Send(conn, bytes);
    }
  }
  void Close(int conn) override {
    if (conn != kLocal) link_.Close(conn);
  }
  uint32_t RoundTrip(int conn) override { return conn == kLocal ? 0 : link_.RoundTrip(conn); }
  void Pump(int waitMs) override {
    DeliverLocal();
    for (EnetLink::Event e = link_.Poll(toLocal_.empty() ? waitMs : 0);
         e.kind != EnetLink::Event::None; e = link_.Poll(0)) {
      if (e.kind == EnetLink::Event::Connected) ++connected_;
      if (e.kind == EnetLink::Event::Received) hub_.Received(e.conn, e.data.data(), e.data.size());
      if (e.kind == EnetLink::Event::Disconnected) {
        --connected_;
        hub_.Disconnected(e.conn);
      }
    }
    if (SecondsSince(lastAdapt_) > 1) {
      lastAdapt_ = Clock::now();
      hub_.AdaptDelay();
    }
    DeliverLocal();
  }
  bool Lost() const override { return false; }
  void Finish(uint32_t timeoutS) override {
    // The others may still need this peer's last messages: stay until they leave.
    const auto start = Clock::now();
    while (connected_ > 0 && SecondsSince(start) < timeoutS) Pump(10);
  }
  uint64_t BytesSent() const override { return link_.bytesSent(); }
  uint64_t WireBytes() const override { return link_.wireBytes(); }
  std::vector<std::string> Joined() const override { return hub_.Joined(match_); }
  bool StartNow() override { return hub_.StartNow(match_); }

 private:
  void DeliverLocal() {
    while (!toLocal_.empty() && peer) {
      const std::vector<uint8_t> bytes = std::move(toLocal_.front());
      toLocal_.pop_front();
      Deliver(*this, bytes);
    }
  }
  EnetLink link_;
  Hub hub_;
  std::string match_;
  std::deque<std::vector<uint8_t>> toLocal_;
  int connected_ = 0;
  Clock::time_point lastAdapt_ = Clock::now();
};

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

// The simulated network of the test hook, if asked for.
void SimulateNetwork(EnetLink& link) {
  const char* text = std::getenv("RTSDEMO_NET_SIM");
  if (!text) return;
  NetSimulation sim;
  if (!ReadSimulation(text, sim)) throw Failed{2, std::string("bad RTSDEMO_NET_SIM: ") + text};
  link.SetSimulation(sim);
}

std::unique_ptr<Wire> OpenWire(const NetOptions& net, std::ostream& log, bool wait) {
  if (net.kind == NetOptions::Kind::Host) {
    auto wire = std::make_unique<HostWire>(net.port, net.match, log);
    log << "rtsdemo: hosting on UDP port " << net.port << ", waiting for " << int(net.players)
        << " players\n";
    return wire;
  }
  return std::make_unique<JoinWire>(net, net.timeout, wait);
}

Message MakeHello(Session& session, const NetOptions& net, const WindowOptions& options) {
  // Every peer loads its own data; the hello tells the others what they are.
  session.Apply(MakeCommand(CommandKind::Press, {1}));
  if (session.controls().ButtonEnabled(1)) throw Failed{1, "the data cannot be loaded"};
  std::string levelText = options.level ? ReadWhole(*options.level) : std::string();
  if (options.level) {
    // The level's mission is part of its data: a peer with another one is refused.
    DataProblems reported;  // at start-up already
    const Level level = ReadLevelFile(*options.level, reported);
    if (!level.Mission.empty()) levelText += "\n" + level.Mission + ":\n" + level.MissionText;
  }
  const SideScripts* scripts = session.frontend().scripts();
  const FieldList data =
      ListDataSet(session.world(), levelText,
                  scripts ? scripts->Files() : std::vector<std::pair<std::string, uint64_t>>{});
  Message hello;
  hello.Type = MsgType::Hello;
  hello.DataHash = ListHash(data);
  hello.Text = WriteFieldList(data);
  hello.MatchName = net.match;
  hello.Players = net.players;
  hello.Seed = options.seed;
  hello.WantRole = net.watch ? Role::Observer : Role::Player;
  hello.Side =
      static_cast<int8_t>(options.playAs.value_or(net.kind == NetOptions::Kind::Host ? 0 : -1));
  return hello;
}
