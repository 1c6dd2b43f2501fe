#include "net/net_peer.h"

#include <cstdlib>
#include <iostream>
#include <thread>

#include "app/script.h"
#include "app/state_hash.h"
#include "util/cp1251.h"
#include "util/translate.h"

namespace {

using Clock = std::chrono::steady_clock;

uint64_t PerSecond(uint64_t bytes, double seconds) {
  return seconds > 0 ? static_cast<uint64_t>(static_cast<double>(bytes) / seconds) : 0;
}

constexpr double kWaitShownS = 0.3;  // a wait shorter than this is not worth a line
constexpr double kDesyncStateS = 5;  // for the other's state
constexpr int kLeavingFrames = 8;    // a tick's frames while playing on hidden

// Clears a flag when the scope ends, also by an exception.
struct Flag {
  bool& flag;
  explicit Flag(bool& f) : flag(f) { flag = true; }
  ~Flag() { flag = false; }
};

}  // namespace

NetPeer::NetPeer(Session& session, const NetOptions& net, const WindowOptions& options, bool waits)
    : session_(session), net_(net), options_(options), waits_(waits) {
  paced_ = waits && std::getenv("RTSDEMO_NET_PACED") != nullptr;
  session_.wiring().route = [this](const Command& c) { return Route(c); };
  session_.wiring().frames = this;
}

NetPeer::~NetPeer() {
  session_.wiring().route = {};
  session_.wiring().frames = nullptr;
}

std::string NetPeer::CleanChat(const std::string& text) {
  std::string out = text.substr(0, kChatMaxBytes);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
  return out;
}

bool NetPeer::Begin(std::string& error) {
  try {
    Message hello;
    {
      Flag local(local_);
      hello = MakeHello(session_, net_, options_);
    }
    // The window goes on while the connection is made.
    wire_ = OpenWire(net_, std::cerr, waits_);
    ls_ = std::make_unique<Lockstep>(session_, *wire_, std::cerr);
    wire_->peer = ls_.get();
    wire_->watch = [this](const Message& m, bool incoming) { Watch(m, incoming); };
    wire_->Send(hello);
  } catch (const NetFailure& f) {
    error = f.text;
    status_ = f.status;
    ended_ = true;
    return false;
  }
  progress_ = Clock::now();
  return true;
}

std::string NetPeer::Name(uint8_t peer) const {
  if (peer < slots_.size())
    return "player " + std::to_string(peer) + " (side " + std::to_string(slots_[peer].Side) + ")";
  return "observer " + std::to_string(peer);
}

bool NetPeer::Route(const Command& command) {
  if (local_ || stepping_) return false;
  // An observer's view inputs move its own view; its other inputs, and everyone's before the
  // start and after the end, change nothing. A player whose side its script plays gives only
  // the buttons and boxes of the panel: no orders.
  const bool panel = command.Kind == CommandKind::Press || command.Kind == CommandKind::Check;
  if (!player() || (ls_->scripted() && !panel)) {
    if (!ended_ && !waits_) session_.ApplyOwnView(command);
    return true;
  }
  if (!ended_ && !leaving_) ls_->Issue(command);
  return true;
}

void NetPeer::Watch(const Message& m, bool incoming) {
  // A player that speaks again has come back; one that left is no longer waited for.
  if (incoming && m.Type != MsgType::Gone) gone_.erase(m.Peer);
  switch (m.Type) {
    case MsgType::Gone:
      if (incoming && m.Peer != you_ && m.Peer < slots_.size()) gone_.insert(m.Peer);
      break;
    case MsgType::Start:
      if (incoming && slots_.empty()) {
        slots_ = m.Slots;
        you_ = m.You;
      }
      break;
    case MsgType::Pace:
      paceAt_ = std::max<int64_t>(paceAt_, m.Frame);
      if (!incoming) ownPace_ = false;
      break;
    case MsgType::Chat: {
      const std::string line = Name(incoming ? m.Peer : you_) + ": " + CleanChat(m.Text);
      session_.inputs().Comment("chat " + line);
      chat_.push_back(ToUtf8(line));
      while (chat_.size() > kChatShown) chat_.pop_front();
      break;
    }
    default:
      break;
  }
}

void NetPeer::SetPace(bool paused, int speed) {
  if (!player() || ended_ || leaving_) return;
  ls_->SetPace(paused, speed);
  ownPace_ = true;
  wanted_ = {paused, speed};
}

bool NetPeer::PaceKey(KeyAction action, bool repeat) {
  if (action == KeyAction::Step || (action == KeyAction::Pause && repeat)) return true;
  const Pace& pace = session_.pace();
  // Until it applies, the pace asked for counts: + pressed twice is two steps.
  if (wanted_ && !ownPace_ && paceAt_ < static_cast<int64_t>(ls_ ? ls_->next() : 0))
    wanted_.reset();
  auto [paused, speed] = wanted_.value_or(std::pair<bool, int>{pace.paused(), pace.speed()});
  if (action == KeyAction::Pause) paused = !paused;
  if (action == KeyAction::Faster) speed = std::min(speed + 1, Pace::kSpeeds - 1);
  if (action == KeyAction::Slower) speed = std::max(speed - 1, 0);
  SetPace(paused, speed);
  return true;
}

bool NetPeer::Chat(const std::string& text) {
  if (!started() || ended_) return false;
  Message m;
  m.Type = MsgType::Chat;
  m.Peer = you_;
  m.Frame = static_cast<uint32_t>(ls_->next());
  m.Text = CleanChat(text);
  wire_->Send(m);
  return true;
}

void NetPeer::ViewResized(int w, int h) {
  viewSize_ = std::array<int, 2>{w, h};
  IssueViewSize();
}

void NetPeer::IssueViewSize() {
  // Once the log is caught up, so that a rejoining player's size follows its old one.
  if (!player() || ended_ || leaving_ || !ls_->live() || ls_->next() < ls_->catchUp()) return;
  if (!viewSize_ || viewSize_ == issuedSize_) return;
  ls_->Issue(MakeCommand(CommandKind::Resize, {(*viewSize_)[0], (*viewSize_)[1]}));
  issuedSize_ = viewSize_;
}

void NetPeer::HandOver() {
  if (!player() || ended_ || leaving_) return;
  for (uint8_t peer : gone_) {
    Message m;
    m.Type = MsgType::Gone;
    m.Peer = you_;
    m.Frame = peer;
    wire_->Send(m);
  }
}

bool NetPeer::StartNow() {
  return wire_ && !started() && wire_->StartNow();
}

bool NetPeer::Leave() {
  if (ended_) return true;
  if (!player()) {
    // Nothing waits for an observer, nor for a match that never started.
    if (wire_) wire_->Finish(1);
    End(0, {});
    return true;
  }
  if (!leaving_) {
    leaving_ = true;
    ls_->Leave();
    progress_ = Clock::now();
  }
  return false;
}

void NetPeer::Pump(int waitMs) {
  // What the lockstep applies as it receives (the start's sides) is the match's, not an input.
  Flag stepping(stepping_);
  wire_->Pump(waitMs);
}

void NetPeer::Fail(int status, const std::string& problem) {
  throw NetFailure{status, problem};
}

void NetPeer::End(int status, const std::string& problem) {
  if (ended_) return;
  ended_ = true;
  status_ = status;
  if (!problem.empty()) {
    std::cerr << "rtsdemo: " << problem << "\n";
    if (onProblem) onProblem(problem);
  }
  if (onEnded) onEnded();
}

void NetPeer::CheckDesync() {
  if (!ls_->desynced()) return;
  if (!desyncSince_) desyncSince_ = Clock::now();
  // The report waits a moment for the other's state: headless here, the window tick by tick.
  while (waits_ && ls_->report().empty() && SecondsSince(*desyncSince_) < kDesyncStateS &&
         !wire_->Lost())
    Pump(5);
  if (ls_->report().empty() && SecondsSince(*desyncSince_) < kDesyncStateS && !wire_->Lost())
    return;
  ls_->ReportWithoutState();
  Fail(3, ls_->report());
}

template <typename Cond>
void NetPeer::WaitFor(Cond cond, const std::string& what) {
  const auto start = Clock::now();
  while (!cond()) {
    Pump(5);
    if (ls_->refused()) Fail(kNetworkFailed, "refused: " + ls_->refusal());
    if (wire_->Lost()) Fail(kNetworkFailed, "the connection closed " + what);
    if (SecondsSince(start) > net_.timeout)
      Fail(kNetworkFailed, "no answer for " + std::to_string(net_.timeout) + " s " + what);
  }
}

// Window: one timer tick's start: what has come, then the frames the match's pace gives.
int NetPeer::BeginTick() {
  if (!wire_ || waits_) return 0;
  if (ended_) {
    // The host's hub still carries the others' messages until the window closes.
    if (host()) Pump();
    return 0;
  }
  tickFrom_ = ls_->next();
  try {
    Pump();
    if (ls_->refused()) Fail(kNetworkFailed, "refused: " + ls_->refusal());
    if (!ls_->started()) {
      if (wire_->Lost()) Fail(kNetworkFailed, "the connection closed before the start");
      progress_ = Clock::now();
      return 0;
    }
    CheckDesync();
    if (ls_->desynced() || !ls_->live()) return 0;
    IssueViewSize();
    if (leaving_) return kLeavingFrames;
    // Paused, the frames run on to a pace change already stamped.
    if (session_.pace().paused())
      return ownPace_ || paceAt_ >= static_cast<int64_t>(ls_->next()) ? 1 : 0;
    return session_.pace().FramesForTick();
  } catch (const NetFailure& f) {
    End(f.status, f.text);
    return 0;
  }
}

uint64_t NetPeer::Behind() const {
  if (ended_ || !ls_ || !ls_->live() || ls_->desynced()) return 0;
  return ls_->catchUp() > ls_->next() ? ls_->catchUp() - ls_->next() : 0;
}

bool NetPeer::Ready() {
  if (!ls_ || ended_ || !ls_->started()) return false;
  if (!waits_) return !ls_->desynced() && ls_->Ready();
  // Headless: waits for every player's inputs of the next frame.
  const auto start = Clock::now();
  while (!ls_->Ready()) {
    CheckDesync();
    if (ls_->over()) return false;
    Pump(1);
    if (wire_->Lost() && !ls_->Ready() && !ls_->over())
      Fail(kNetworkFailed,
           "the host closed the connection at frame " + std::to_string(ls_->next()));
    if (SecondsSince(start) > net_.timeout) {
      Fail(kNetworkFailed, ls_->WaitingFor() + ": no answer for " + std::to_string(net_.timeout) +
                               " s at frame " + std::to_string(ls_->next()));
    }
  }
  return true;
}

bool NetPeer::RunFrame(bool show, FrameCall) {
  if (paced_ && show) {
    // The match's pace: 100 frames a second from the first frame the script runs.
    if (!pacedFrom_) pacedFrom_ = {Clock::now(), ls_->next()};
    std::this_thread::sleep_until(
        pacedFrom_->first + std::chrono::milliseconds(10 * (ls_->next() - pacedFrom_->second)));
  }
  const Pace& pace = session_.pace();
  const bool paused = pace.paused();
  const int speed = pace.speed();
  {
    Flag stepping(stepping_);
    ls_->Step(show && !leaving_);
  }
  // Every peer changes its pace at the same frame; the line says which.
  if (pace.paused() != paused || pace.speed() != speed) {
    std::cerr << "net: " << (pace.paused() ? "paused" : "running") << " at " << pace.SpeedText()
              << " from frame " << ls_->next() - 1 << "\n";
  }
  Pump();
  if (waits_) return true;
  try {
    CheckDesync();
  } catch (const NetFailure& f) {
    End(f.status, f.text);
  }
  return !ls_->desynced();
}

// Window: after a tick's frames.
void NetPeer::EndTick(bool held) {
  if (!wire_ || waits_ || ended_ || !ls_->started() || ls_->desynced() || !ls_->live()) return;
  try {
    // The rules' camera gets its bound as in a match on one machine, once, for every peer.
    const Frontend& f = session_.frontend();
    if (player() && !boundIssued_ && !leaving_ && !f.view().Bounded && f.OffGround()) {
      boundIssued_ = true;
      ls_->Issue(MakeCommand(CommandKind::Bound, {1}));
    }
    if (ls_->next() != tickFrom_ || !held) {
      progress_ = Clock::now();
      waiting_.clear();
    } else if (SecondsSince(progress_) > kWaitShownS) {
      waiting_ = ls_->WaitingFor();
    }
    if (ls_->over()) {
      std::cout << HashText(StateHash(session_.frontend())) << std::endl;
      wire_->Finish(net_.timeout);
      End(0, {});
      return;
    }
    // A player known to be gone is waited for until the user decides, and the others while
    // the match is paused; a silent one times out.
    if (held && !someoneGone() && !session_.pace().paused() &&
        SecondsSince(progress_) > net_.timeout) {
      Fail(kNetworkFailed, ls_->WaitingFor() + ": no answer for " + std::to_string(net_.timeout) +
                               " s at frame " + std::to_string(ls_->next()));
    }
    if (wire_->Lost() && held)
      Fail(kNetworkFailed,
           "the host closed the connection at frame " + std::to_string(ls_->next()));
  } catch (const NetFailure& f) {
    End(f.status, f.text);
  }
}

int NetPeer::Play(const Script& script) {
  try {
    WaitFor([&] { return ls_->started(); }, "before the match started");
    WaitFor([&] { return ls_->live(); }, "while the match's log came");
    const auto catchStart = Clock::now();
    const uint64_t from = ls_->next();
    session_.loop().CatchUp(*this);
    if (ls_->next() > from + ls_->delay()) {
      std::cerr << "net: re-simulated " << ls_->next() - from << " frames in "
                << SecondsSince(catchStart) << " s\n";
    }
    const auto playStart = Clock::now();
    const uint64_t playFrom = ls_->next();
    const uint64_t bytesFrom = wire_->BytesSent();  // after the hello
    const uint64_t wireFrom = wire_->WireBytes();
    for (const ScriptLine& line : script) {
      const Command& c = line.Cmd;
      if (c.Kind == CommandKind::Seed || c.Kind == CommandKind::Level) {
        std::cerr << "net: script line " << line.Number << ": the match's own, skipped\n";
        continue;
      }
      try {
        session_.Apply(c, std::cout);
      } catch (const CommandError& e) {
        Fail(2, "script line " + std::to_string(line.Number) + ": " + e.What);
      } catch (const OutOfSync& e) {
        Fail(3, "out of sync at frame " + std::to_string(e.Frame));
      }
      if (ls_->over()) break;
    }
    ls_->Leave();
    session_.loop().Frames(*this, UINT64_MAX);
    std::cout << HashText(StateHash(session_.frontend())) << std::endl;
    const double seconds = static_cast<double>(ls_->next() - playFrom) / 100;
    const uint64_t bytes = wire_->BytesSent() - bytesFrom;
    std::cerr << "net: the match ended at frame " << ls_->next() << "; order delay " << ls_->delay()
              << " frames; " << bytes << " bytes sent in play (" << PerSecond(bytes, seconds)
              << " a second of play; " << PerSecond(wire_->WireBytes() - wireFrom, seconds)
              << " on the wire); " << SecondsSince(playStart) << " s\n";
  } catch (const NetFailure&) {
    wire_->Finish(1);
    throw;
  }
  wire_->Finish(net_.timeout);
  return 0;
}

std::string NetPeer::Status() const {
  std::string line;
  if (ended_) {
    line = Tr("net", "The network match has ended");
  } else if (!wire_) {
    line = Tr("net", "Connecting...");
  } else if (!ls_->started()) {
    if (host()) {
      line = Tr("net", "Hosting on port %1:", {std::to_string(net_.port)});
      for (const std::string& who : wire_->Joined()) line += " " + who + " joined;";
      line += Tr("net", " Menu: Start the network match");
    } else {
      line = Tr("net", "Joining %1:%2...", {net_.address, std::to_string(net_.port)});
    }
  } else if (ls_->next() < ls_->catchUp()) {
    line = Tr("net", "Catching up: frame %1 of %2",
              {std::to_string(ls_->next()), std::to_string(ls_->catchUp())});
  } else if (leaving_) {
    line = Tr("net", "Left; waiting for the others to leave");
  } else if (!waiting_.empty()) {
    line = waiting_;
    if (someoneGone() && player()) line += Tr("net", " (menu: go on without)");
  }
  if (ls_ && ls_->started() && !ended_) {
    const std::string sides = ls_->SidesText();
    line = line.empty() ? sides : sides + "   " + line;
  }
  if (!chat_.empty()) line += (line.empty() ? "" : "   ") + chat_.back();
  return line;
}
