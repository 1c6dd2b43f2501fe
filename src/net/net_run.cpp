#include "net/net_run.h"

#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "app/script.h"
#include "app/state_hash.h"
#include "net/enet_link.h"
#include "net/field_list.h"
#include "net/hub.h"
#include "net/lockstep.h"

namespace {

using Clock = std::chrono::steady_clock;

using Failed = NetFailure;

uint64_t PerSecond(uint64_t bytes, double seconds) {
  return seconds > 0 ? static_cast<uint64_t>(static_cast<double>(bytes) / seconds) : 0;
}

double SecondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

// The simulated network of the test hook, if asked for.
void Simulate(EnetLink& link) {
  const char* text = std::getenv("RTSDEMO_NET_SIM");
  if (!text) return;
  NetSimulation sim;
  if (!ReadSimulation(text, sim)) throw Failed{2, std::string("bad RTSDEMO_NET_SIM: ") + text};
  link.SetSimulation(sim);
}

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
    Simulate(link_);
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
    Simulate(link_);
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

// Runs this peer's part of the match: catch up, the script, then on to the match's end.
class PeerRun {
 public:
  PeerRun(HeadlessHost& host, Lockstep& lockstep, Wire& wire, uint32_t timeoutS)
      : host_(host), ls_(lockstep), wire_(wire), timeout_(timeoutS) {
    paced_ = std::getenv("RTSDEMO_NET_PACED") != nullptr;
  }

  // Waits for cond, pumping; gives up after the time-out.
  template <typename Cond>
  void WaitFor(Cond cond, const std::string& what) {
    const auto start = Clock::now();
    while (!cond()) {
      wire_.Pump(5);
      if (ls_.refused()) throw Failed{kNetworkFailed, "refused: " + ls_.refusal()};
      if (wire_.Lost()) throw Failed{kNetworkFailed, "the connection closed " + what};
      if (SecondsSince(start) > timeout_)
        throw Failed{kNetworkFailed, "no answer for " + std::to_string(timeout_) + " s " + what};
    }
  }

  // Runs the next frame once every player's inputs for it are in; false when the match is over.
  bool Frame(bool show) {
    const auto start = Clock::now();
    while (!ls_.Ready()) {
      if (ls_.desynced()) Desync();
      if (ls_.over()) return false;
      wire_.Pump(1);
      if (wire_.Lost() && !ls_.Ready() && !ls_.over())
        throw Failed{kNetworkFailed,
                     "the host closed the connection at frame " + std::to_string(ls_.next())};
      if (SecondsSince(start) > timeout_) {
        throw Failed{kNetworkFailed, ls_.WaitingFor() + ": no answer for " +
                                         std::to_string(timeout_) + " s at frame " +
                                         std::to_string(ls_.next())};
      }
    }
    if (paced_ && show) {
      // The match's pace: 100 frames a second from the first frame the script runs.
      if (!pacedFrom_) pacedFrom_ = {Clock::now(), ls_.next()};
      std::this_thread::sleep_until(
          pacedFrom_->first + std::chrono::milliseconds(10 * (ls_.next() - pacedFrom_->second)));
    }
    ls_.Step(show);
    wire_.Pump(0);
    return true;
  }

  [[noreturn]] void Desync() {
    const auto start = Clock::now();
    while (ls_.report().empty() && SecondsSince(start) < 5 && !wire_.Lost()) wire_.Pump(5);
    ls_.ReportWithoutState();
    throw Failed{3, ls_.report()};
  }

  int Run(const Script& script) {
    WaitFor([&] { return ls_.started(); }, "before the match started");
    WaitFor([&] { return ls_.live(); }, "while the match's log came");
    const auto catchStart = Clock::now();
    const uint64_t from = ls_.next();
    while (ls_.next() < ls_.catchUp()) {
      if (!Frame(false)) break;
    }
    if (ls_.next() > from + ls_.delay()) {
      std::cerr << "net: re-simulated " << ls_.next() - from << " frames in "
                << SecondsSince(catchStart) << " s\n";
    }
    const auto playStart = Clock::now();
    const uint64_t playFrom = ls_.next();
    const uint64_t bytesFrom = wire_.BytesSent();  // after the hello
    const uint64_t wireFrom = wire_.WireBytes();
    bool over = false;
    for (const ScriptLine& line : script) {
      const Command& c = line.Cmd;
      if (c.Kind == CommandKind::Tick) {
        const int64_t n = c.Has(0) ? c.Int(0) : 1;
        for (int64_t i = 0; i < n && !over; ++i) over = !Frame(true);
        if (over) break;
        continue;
      }
      if (c.Kind == CommandKind::Seed || c.Kind == CommandKind::Level) {
        std::cerr << "net: script line " << line.Number << ": the match's own, skipped\n";
        continue;
      }
      if (SpecOf(c.Kind).Uses & kInput) {
        if (ls_.player()) ls_.Issue(c);
        continue;
      }
      try {
        host_.Apply(c, std::cout);
      } catch (const CommandError& e) {
        throw Failed{2, "script line " + std::to_string(line.Number) + ": " + e.What};
      } catch (const OutOfSync& e) {
        throw Failed{3, "out of sync at frame " + std::to_string(e.Frame)};
      }
    }
    ls_.Leave();
    while (Frame(true)) {
    }
    std::cout << HashText(StateHash(host_.frontend())) << std::endl;
    const double seconds = static_cast<double>(ls_.next() - playFrom) / 100;
    const uint64_t bytes = wire_.BytesSent() - bytesFrom;
    std::cerr << "net: the match ended at frame " << ls_.next() << "; order delay " << ls_.delay()
              << " frames; " << bytes << " bytes sent in play (" << PerSecond(bytes, seconds)
              << " a second of play; " << PerSecond(wire_.WireBytes() - wireFrom, seconds)
              << " on the wire); " << SecondsSince(playStart) << " s\n";
    return 0;
  }

 private:
  HeadlessHost& host_;
  Lockstep& ls_;
  Wire& wire_;
  uint32_t timeout_;
  bool paced_ = false;
  std::optional<std::pair<Clock::time_point, uint64_t>> pacedFrom_;
};

int Serve(const NetOptions& net) {
  struct Relay : HubLinks {
    EnetLink link;
    void Send(int conn, const std::vector<uint8_t>& bytes) override { link.Send(conn, bytes); }
    void Close(int conn) override { link.Close(conn); }
    uint32_t RoundTrip(int conn) override { return link.RoundTrip(conn); }
  } relay;
  Simulate(relay.link);
  std::string error;
  if (!relay.link.Listen(net.port, error)) throw Failed{kNetworkFailed, error};
  Hub hub(relay, std::cerr);
  std::cerr << "rtsdemo: relaying matches on UDP port " << net.port << "\n";
  auto lastAdapt = Clock::now();
  for (;;) {
    for (EnetLink::Event e = relay.link.Poll(10); e.kind != EnetLink::Event::None;
         e = relay.link.Poll(0)) {
      if (e.kind == EnetLink::Event::Received) hub.Received(e.conn, e.data.data(), e.data.size());
      if (e.kind == EnetLink::Event::Disconnected) hub.Disconnected(e.conn);
    }
    if (SecondsSince(lastAdapt) > 1) {
      lastAdapt = Clock::now();
      hub.AdaptDelay();
    }
  }
}

int Play(const Invocation& run) {
  const NetOptions& net = run.net;
  const WindowOptions& options = run.window;
  Script script;
  if (options.script && !LoadScript(*options.script, script, std::cerr)) return 2;

  RecordingPlatform platform;
  HeadlessHost host(platform);
  if (options.record) {
    std::string error;
    if (!host.StartRecording(*options.record, error)) throw Failed{2, error};
  }
  if (options.level) host.Apply(LevelCommand(*options.level));
  const Message hello = MakeHello(host, net, options);
  std::unique_ptr<Wire> wire = OpenWire(net, std::cerr);
  Lockstep lockstep(host, *wire, std::cerr);
  wire->peer = &lockstep;
  wire->Send(hello);
  PeerRun peer(host, lockstep, *wire, net.timeout);
  int status = 0;
  try {
    status = peer.Run(script);
  } catch (const Failed&) {
    wire->Finish(1);
    throw;
  }
  wire->Finish(net.timeout);
  return status;
}

}  // namespace

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
  const std::string levelText = options.level ? ReadWhole(*options.level) : std::string();
  const FieldList data = ListDataSet(session.world(), levelText);
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

int RunNetwork(const Invocation& run) {
  try {
    if (run.net.kind == NetOptions::Kind::Serve) return Serve(run.net);
    return Play(run);
  } catch (const Failed& f) {
    std::cerr << "rtsdemo: " << f.text << "\n";
    return f.status;
  } catch (const ProgramExit& e) {
    return e.Code;
  }
}
