#include "qt/net_play.h"

#include <iostream>

#include "app/session.h"
#include "app/state_hash.h"
#include "qt/widget_controls.h"
#include "util/translate.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

constexpr double kCatchUpSliceS = 0.04;  // undrawn re-simulation per tick
constexpr double kWaitShownS = 0.3;      // a wait shorter than this is not worth a line
constexpr double kDesyncStateS = 5;      // for the other's state
constexpr int kLeavingFrames = 8;        // a tick's frames while playing on hidden

// Clears a flag when the scope ends, also by an exception.
struct Flag {
  bool& flag;
  explicit Flag(bool& f) : flag(f) { flag = true; }
  ~Flag() { flag = false; }
};

}  // namespace

NetPlay::NetPlay(Session& session, const NetOptions& net, const WindowOptions& options)
    : session_(session), net_(net), options_(options) {
  session_.SetInputRoute([this](const Command& c) { return Route(c); });
}

NetPlay::~NetPlay() {
  session_.SetInputRoute({});
}

std::string NetPlay::CleanChat(const std::string& text) {
  std::string out = text.substr(0, kChatMaxBytes);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = ' ';
  return out;
}

bool NetPlay::Begin(std::string& error) {
  try {
    Message hello;
    {
      Flag local(local_);
      hello = MakeHello(session_, net_, options_);
    }
    // The window goes on while the connection is made.
    wire_ = OpenWire(net_, std::cerr, false);
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

std::string NetPlay::Name(uint8_t peer) const {
  if (peer < slots_.size())
    return "player " + std::to_string(peer) + " (side " + std::to_string(slots_[peer].Side) + ")";
  return "observer " + std::to_string(peer);
}

bool NetPlay::Route(const Command& command) {
  if (local_ || stepping_) return false;
  // An observer's view inputs move its own view; its other inputs, and everyone's before the
  // start and after the end, change nothing.
  if (!player()) {
    if (!ended_) session_.ApplyOwnView(command);
    return true;
  }
  if (!ended_ && !leaving_) ls_->Issue(command);
  return true;
}

void NetPlay::Watch(const Message& m, bool incoming) {
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
      session_.RecordComment("chat " + line);
      chat_.push_back(ToQt(line).toStdString());
      while (chat_.size() > kChatShown) chat_.pop_front();
      break;
    }
    default:
      break;
  }
}

void NetPlay::SetPace(bool paused, int speed) {
  if (!player() || ended_ || leaving_) return;
  ls_->SetPace(paused, speed);
  ownPace_ = true;
  wanted_ = {paused, speed};
}

void NetPlay::PaceKey(KeyAction action) {
  const Pace& pace = session_.pace();
  // Until it applies, the pace asked for counts: + pressed twice is two steps.
  if (wanted_ && !ownPace_ && paceAt_ < static_cast<int64_t>(ls_ ? ls_->next() : 0))
    wanted_.reset();
  auto [paused, speed] = wanted_.value_or(std::pair<bool, int>{pace.paused(), pace.speed()});
  if (action == KeyAction::Pause) paused = !paused;
  if (action == KeyAction::Faster) speed = std::min(speed + 1, Pace::kSpeeds - 1);
  if (action == KeyAction::Slower) speed = std::max(speed - 1, 0);
  SetPace(paused, speed);
}

bool NetPlay::Chat(const std::string& text) {
  if (!started() || ended_) return false;
  Message m;
  m.Type = MsgType::Chat;
  m.Peer = you_;
  m.Frame = static_cast<uint32_t>(ls_->next());
  m.Text = CleanChat(text);
  wire_->Send(m);
  return true;
}

void NetPlay::ViewResized(int w, int h) {
  viewSize_ = std::array<int, 2>{w, h};
  IssueViewSize();
}

void NetPlay::IssueViewSize() {
  // Once the log is caught up, so that a rejoining player's size follows its old one.
  if (!player() || ended_ || leaving_ || !ls_->live() || ls_->next() < ls_->catchUp()) return;
  if (!viewSize_ || viewSize_ == issuedSize_) return;
  ls_->Issue(MakeCommand(CommandKind::Resize, {(*viewSize_)[0], (*viewSize_)[1]}));
  issuedSize_ = viewSize_;
}

void NetPlay::HandOver() {
  if (!player() || ended_ || leaving_) return;
  for (uint8_t peer : gone_) {
    Message m;
    m.Type = MsgType::Gone;
    m.Peer = you_;
    m.Frame = peer;
    wire_->Send(m);
  }
}

bool NetPlay::StartNow() {
  return wire_ && !started() && wire_->StartNow();
}

bool NetPlay::Leave() {
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

void NetPlay::Pump() {
  // What the lockstep applies as it receives (the start's sides) is the match's, not an input.
  Flag stepping(stepping_);
  wire_->Pump(0);
}

void NetPlay::Step(bool show) {
  const Pace& pace = session_.pace();
  const bool paused = pace.paused();
  const int speed = pace.speed();
  {
    Flag stepping(stepping_);
    ls_->Step(show);
  }
  // Every peer changes its pace at the same frame; the line says which.
  if (pace.paused() != paused || pace.speed() != speed) {
    std::cerr << "net: " << (pace.paused() ? "paused" : "running") << " at " << pace.SpeedText()
              << " from frame " << ls_->next() - 1 << "\n";
  }
}

void NetPlay::End(int status, const std::string& problem) {
  if (ended_) return;
  ended_ = true;
  status_ = status;
  if (!problem.empty()) {
    std::cerr << "rtsdemo: " << problem << "\n";
    if (onProblem) onProblem(problem);
  }
  if (onEnded) onEnded();
}

void NetPlay::Desync() {
  if (!desyncSince_) desyncSince_ = Clock::now();
  if (ls_->report().empty() && SecondsSince(*desyncSince_) < kDesyncStateS && !wire_->Lost())
    return;
  ls_->ReportWithoutState();
  End(3, ls_->report());
}

void NetPlay::Tick() {
  if (!wire_) return;
  if (ended_) {
    // The host's hub still carries the others' messages until the window closes.
    if (host()) Pump();
    return;
  }
  try {
    Run();
  } catch (const NetFailure& f) {
    End(f.status, f.text);
  }
}

void NetPlay::Run() {
  Pump();
  if (ls_->refused()) throw NetFailure{kNetworkFailed, "refused: " + ls_->refusal()};
  if (!ls_->started()) {
    if (wire_->Lost()) throw NetFailure{kNetworkFailed, "the connection closed before the start"};
    progress_ = Clock::now();
    return;
  }
  if (ls_->desynced()) return Desync();
  if (!ls_->live()) return;
  const uint64_t from = ls_->next();
  // A match already running: its log re-simulated undrawn, a slice a tick.
  const auto sliceStart = Clock::now();
  while (ls_->next() < ls_->catchUp() && SecondsSince(sliceStart) < kCatchUpSliceS) {
    if (!ls_->Ready()) break;
    Step(false);
    Pump();
  }
  IssueViewSize();
  int frames = 0;
  if (ls_->next() >= ls_->catchUp()) {
    Pace& pace = session_.pace();
    if (leaving_) {
      frames = kLeavingFrames;
    } else if (pace.paused()) {
      // Paused, the frames run on to a pace change already stamped.
      frames = ownPace_ || paceAt_ >= static_cast<int64_t>(ls_->next()) ? 1 : 0;
    } else {
      frames = pace.FramesForTick();
    }
  }
  bool held = false;
  for (int i = 0; i < frames; ++i) {
    if (!ls_->Ready()) {
      held = true;
      break;
    }
    Step(i + 1 == frames && !leaving_);
    Pump();
    if (ls_->desynced()) return Desync();
  }
  // The rules' camera gets its bound as in a match on one machine, once, for every peer.
  const Frontend& f = session_.frontend();
  if (player() && !boundIssued_ && !leaving_ && !f.view().Bounded && f.OffGround()) {
    boundIssued_ = true;
    ls_->Issue(MakeCommand(CommandKind::Bound, {1}));
  }
  if (ls_->next() != from || !held) {
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
    throw NetFailure{kNetworkFailed, ls_->WaitingFor() + ": no answer for " +
                                         std::to_string(net_.timeout) + " s at frame " +
                                         std::to_string(ls_->next())};
  }
  if (wire_->Lost() && held)
    throw NetFailure{kNetworkFailed,
                     "the host closed the connection at frame " + std::to_string(ls_->next())};
}

std::string NetPlay::Status() const {
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
