#include "net/lockstep.h"

#include <algorithm>
#include <limits>
#include <ostream>
#include <sstream>

#include "app/state_hash.h"
#include "net/field_list.h"
#include "util/translate.h"

namespace {

constexpr int64_t kForever = std::numeric_limits<int64_t>::max();

}  // namespace

Lockstep::Lockstep(Session& session, Uplink& uplink, std::ostream& log)
    : session_(session), uplink_(uplink), log_(log) {}

std::string Lockstep::PeerName(uint8_t peer) const {
  if (peer < slots_.size())
    return "player " + std::to_string(peer) + " (side " + std::to_string(slots_[peer].Side) + ")";
  return "observer " + std::to_string(peer);
}

void Lockstep::Receive(const Message& m) {
  if (m.Type == MsgType::Refuse) {
    refusal_ = m.Text;
    return;
  }
  if (m.Type == MsgType::Start) {
    Start(m);
    return;
  }
  if (!started_) {
    log_ << "net: " << TypeName(m.Type) << " before the start dropped\n";
    return;
  }
  const bool fromPlayer = m.Peer < slots_.size();
  if (fromPlayer && m.Peer != you_) gone_[m.Peer] = false;
  switch (m.Type) {
    case MsgType::Live:
      live_ = true;
      catchUp_ = next_;
      {
        int64_t upTo = kForever;
        for (size_t p = 0; p < slots_.size(); ++p)
          upTo = std::min(upTo, Holding(p) ? done_[p] : kForever);
        if (upTo != kForever && upTo >= 0)
          catchUp_ = std::max<uint64_t>(next_, static_cast<uint64_t>(upTo) + 1);
      }
      return;
    case MsgType::Commands:
      if (fromPlayer) TakeInputs(m);
      break;
    case MsgType::Pace:
      if (fromPlayer) TakePace(m);
      break;
    case MsgType::Done:
      // A stale done (not beyond the last) changes nothing.
      if (!fromPlayer) break;
      done_[m.Peer] = std::max<int64_t>(done_[m.Peer], m.Frame);
      // Our own, from the log a rejoining peer receives.
      if (m.Peer == you_) lastDone_ = std::max(lastDone_, done_[you_]);
      break;
    case MsgType::Bye:
      if (fromPlayer) {
        done_[m.Peer] = std::max<int64_t>(done_[m.Peer], m.Frame);
        bye_[m.Peer] = done_[m.Peer];
        if (m.Peer == you_) left_ = true;
      }
      break;
    case MsgType::Gone:
      if (fromPlayer && m.Peer != you_) gone_[m.Peer] = true;
      return;
    case MsgType::Delay:
      // Safe at any frame: stamps only ever move forward (see Ready).
      if (m.OrderDelay >= 1 && m.OrderDelay <= 1000) delay_ = m.OrderDelay;
      return;
    case MsgType::Hash:
      if (m.Peer != you_) CheckHash(m.Peer, m.Frame, m.StateHash);
      return;
    case MsgType::State:
      CompareState(m);
      return;
    case MsgType::Chat:
      log_ << "chat: " << PeerName(m.Peer) << ": " << m.Text << "\n";
      return;
    default:
      log_ << "net: unexpected " << TypeName(m.Type) << " message dropped\n";
      return;
  }
  if (!fromPlayer) log_ << "net: " << TypeName(m.Type) << " from a non-player dropped\n";
}

void Lockstep::Start(const Message& m) {
  if (started_) {
    log_ << "net: a second start dropped\n";
    return;
  }
  started_ = true;
  slots_ = m.Slots;
  you_ = m.You;
  delay_ = std::clamp<uint32_t>(m.OrderDelay, 1, 1000);
  // No input can be stamped before the first delay's frames.
  done_.assign(slots_.size(), static_cast<int64_t>(delay_) - 1);
  bye_.assign(slots_.size(), std::nullopt);
  gone_.assign(slots_.size(), false);
  lastDone_ = static_cast<int64_t>(delay_) - 1;
  // Both seedings are the match's, as --seed gives them.
  const uint32_t seed = m.Seed.value_or(0);
  session_.platform().fixedSeed = seed;
  if (session_.frontend().state().FirstFrame) {
    session_.world().Rng.Seed = seed;
    if (!session_.platform().usedSeeds.empty()) session_.platform().usedSeeds[0] = seed;
  }
  // This window shows its player (an observer a view of its own); every player plays its side,
  // the computer the sides nobody holds, and a side's script the side it was given, in place of
  // its player. Recorded, so that recordings replay the match.
  Frontend& front = session_.frontend();
  front.SetLocal(player() ? you_ : Frontend::kWatching);
  for (size_t p = 0; p < slots_.size() && p < Frontend::kMaxPlayers; ++p) {
    try {
      std::ostringstream out;
      const int64_t side = ScriptPlays(slots_[p].Side) ? -1 : slots_[p].Side;
      if (slots_.size() > 1) session_.Apply(MakeCommand(CommandKind::Player, {int64_t(p)}), out);
      session_.Apply(MakeCommand(CommandKind::PlayAs, {side}), out);
    } catch (const CommandError& e) {
      log_ << "net: the side of " << PeerName(static_cast<uint8_t>(p)) << " refused: " << e.What
           << "\n";
    }
  }
}

void Lockstep::TakeInputs(const Message& m) {
  const int64_t done = done_[m.Peer];
  if (static_cast<int64_t>(m.Frame) <= done || bye_[m.Peer]) {
    log_ << "net: inputs of " << PeerName(m.Peer) << " for past frame " << m.Frame << " dropped\n";
    return;
  }
  if (static_cast<int64_t>(m.Frame) > done + kMaxAhead) {
    log_ << "net: inputs of " << PeerName(m.Peer) << " for frame " << m.Frame
         << " too far ahead dropped\n";
    return;
  }
  std::vector<Input>& at = inputs_[m.Frame];
  size_t already = 0;
  for (const Input& i : at) already += i.Peer == m.Peer;
  for (const std::string& line : m.Lines) {
    if (already >= kMaxLinesPerFrame) {
      log_ << "net: flood of inputs from " << PeerName(m.Peer) << " for frame " << m.Frame
           << " dropped\n";
      return;
    }
    try {
      std::optional<Command> c = ReadCommand(line);
      // Only inputs travel; a level and the scripts travel with the data set, never by name.
      // Whose inputs they are is the peer's id, never what it says.
      if (!c || !(SpecOf(c->Kind).Uses & kInput) || c->Kind == CommandKind::Level ||
          c->Kind == CommandKind::Ai || c->Kind == CommandKind::Player) {
        log_ << "net: " << PeerName(m.Peer) << " sent no input: '" << line.substr(0, 80)
             << "' dropped\n";
        continue;
      }
      at.push_back({m.Peer, std::move(*c)});
      ++already;
    } catch (const CommandError& e) {
      log_ << "net: bad input from " << PeerName(m.Peer) << " dropped: " << e.What << "\n";
    }
  }
}

void Lockstep::TakePace(const Message& m) {
  if (static_cast<int64_t>(m.Frame) <= done_[m.Peer] || bye_[m.Peer] || m.Speed >= Pace::kSpeeds ||
      static_cast<int64_t>(m.Frame) > done_[m.Peer] + kMaxAhead) {
    log_ << "net: pace of " << PeerName(m.Peer) << " for frame " << m.Frame << " dropped\n";
    return;
  }
  paces_[m.Frame].push_back({m.Paused, m.Speed});
}

void Lockstep::Issue(const Command& command) {
  if (command.Kind == CommandKind::Player) {
    log_ << "net: 'player' is the match's own; dropped\n";
    return;
  }
  issued_.push_back(command);
}

void Lockstep::SetPace(bool paused, int speed) {
  pace_ = {paused, speed};
}

void Lockstep::HandOverLeft() {
  if (slots_.size() < 2) return;
  // The first frame without a player who left: the computer plays its side from there on.
  for (size_t p = 0; p < slots_.size(); ++p) {
    if (!bye_[p] || *bye_[p] + 1 != static_cast<int64_t>(next_)) continue;
    std::ostringstream out;
    session_.Apply(MakeCommand(CommandKind::Player, {static_cast<int64_t>(p)}), out);
    session_.Apply(MakeCommand(CommandKind::PlayAs, {-1}), out);
  }
}

bool Lockstep::ScriptPlays(int32_t side) const {
  const SideScripts* scripts = session_.frontend().scripts();
  return scripts && side >= 0 && side < SideScripts::kSides && scripts->Has(side);
}

bool Lockstep::scripted() const {
  return player() && ScriptPlays(slots_[you_].Side);
}

std::string Lockstep::SidesText() const {
  if (!started_) return {};
  const std::string side = player() ? std::to_string(slots_[you_].Side) : std::string();
  std::string text = !player()    ? Tr("net", "You watch")
                     : scripted() ? Tr("net", "Your side %1 is played by its script", {side})
                                  : Tr("net", "You play side %1", {side});
  for (size_t p = 0; p < slots_.size(); ++p) {
    if (p == you_ || slots_.size() < 2 || !bye_[p] || *bye_[p] >= static_cast<int64_t>(next_))
      continue;
    const std::string side = std::to_string(slots_[p].Side);
    const std::string name = PeerName(static_cast<uint8_t>(p));
    text += "; " + (ScriptPlays(slots_[p].Side)
                        ? Tr("net", "%1 left, its script plays side %2", {name, side})
                        : Tr("net", "%1 left, the computer plays side %2", {name, side}));
  }
  return text;
}

bool Lockstep::Holding(size_t player) const {
  return !bye_[player].has_value();
}

bool Lockstep::Ready() {
  if (!started_ || desynced() || over()) return false;
  if (!begun_ && player() && !left_) {
    begun_ = true;
    const int64_t target = static_cast<int64_t>(next_ + delay_);
    // A shorter delay never stamps a frame already declared done.
    const int64_t stamp = std::max(target, lastDone_ + 1);
    if (!issued_.empty()) {
      Message m;
      m.Type = MsgType::Commands;
      m.Peer = you_;
      m.Frame = static_cast<uint32_t>(stamp);
      for (const Command& c : issued_) {
        m.Lines.push_back(WriteCommand(c));
        inputs_[static_cast<uint64_t>(stamp)].push_back({you_, c});
      }
      issued_.clear();
      uplink_.Send(m);
    }
    if (pace_) {
      Message m;
      m.Type = MsgType::Pace;
      m.Peer = you_;
      m.Frame = static_cast<uint32_t>(stamp);
      m.Paused = pace_->first;
      m.Speed = static_cast<uint8_t>(pace_->second);
      paces_[static_cast<uint64_t>(stamp)].push_back(*pace_);
      pace_.reset();
      uplink_.Send(m);
    }
    if (target > lastDone_) {
      lastDone_ = target;
      done_[you_] = target;
      Message m;
      m.Type = MsgType::Done;
      m.Peer = you_;
      m.Frame = static_cast<uint32_t>(target);
      uplink_.Send(m);
    }
  }
  for (size_t p = 0; p < slots_.size(); ++p)
    if (Holding(p) && done_[p] < static_cast<int64_t>(next_)) return false;
  return true;
}

void Lockstep::Step(bool show) {
  begun_ = false;
  HandOverLeft();
  if (auto it = inputs_.find(next_); it != inputs_.end()) {
    std::vector<Input> frame = std::move(it->second);
    inputs_.erase(it);
    std::stable_sort(frame.begin(), frame.end(),
                     [](const Input& a, const Input& b) { return a.Peer < b.Peer; });
    Frontend& front = session_.frontend();
    for (const Input& i : frame) {
      try {
        std::ostringstream out;
        // Each player's inputs go to that player's parts.
        if (slots_.size() > 1 && front.inputPlayer() != i.Peer)
          session_.Apply(MakeCommand(CommandKind::Player, {i.Peer}), out);
        session_.Apply(i.Cmd, out);
      } catch (const CommandError& e) {
        // Every peer refuses it alike.
        log_ << "net: input of " << PeerName(i.Peer) << " refused: " << e.What << "\n";
      }
    }
  }
  if (auto it = paces_.find(next_); it != paces_.end()) {
    for (const auto& [paused, speed] : it->second) {
      Pace& pace = session_.pace();
      pace.SetPaused(paused);
      while (pace.speed() < speed) pace.Faster();
      while (pace.speed() > speed) pace.Slower();
    }
    paces_.erase(it);
  }
  session_.RunFrame(show);
  ++next_;
  if (next_ % kHashEvery == 0) HashFrame();
}

void Lockstep::Leave() {
  if (left_ || !player()) return;
  if (!issued_.empty() || pace_) {
    // The last inputs still need a frame of their own.
    begun_ = false;
    Ready();
  }
  left_ = true;
  bye_[you_] = lastDone_;
  Message m;
  m.Type = MsgType::Bye;
  m.Peer = you_;
  m.Frame = static_cast<uint32_t>(std::max<int64_t>(lastDone_, 0));
  uplink_.Send(m);
}

bool Lockstep::over() const {
  if (!started_) return false;
  int64_t last = -1;
  for (size_t p = 0; p < slots_.size(); ++p) {
    if (!bye_[p]) return false;
    last = std::max(last, *bye_[p]);
  }
  return static_cast<int64_t>(next_) > last;
}

std::string Lockstep::WaitingFor() const {
  std::string who;
  for (size_t p = 0; p < slots_.size(); ++p) {
    if (!Holding(p) || done_[p] >= static_cast<int64_t>(next_)) continue;
    who += (who.empty() ? "" : ", ") + PeerName(static_cast<uint8_t>(p));
    if (gone_[p]) who += " (disconnected)";
  }
  return who.empty() ? who : "waiting for " + who;
}

void Lockstep::HashFrame() {
  const uint64_t hash = StateHash(session_.frontend());
  own_[next_] = {hash, session_.Save()};
  while (own_.size() > kSnapshotsKept) own_.erase(own_.begin());
  Message m;
  m.Type = MsgType::Hash;
  m.Peer = you_;
  m.Frame = static_cast<uint32_t>(next_);
  m.StateHash = hash;
  uplink_.Send(m);
  if (auto it = early_.find(next_); it != early_.end()) {
    const auto theirs = std::move(it->second);
    early_.erase(it);
    for (const auto& [peer, h] : theirs) CheckHash(peer, static_cast<uint32_t>(next_), h);
  }
}

void Lockstep::CheckHash(uint8_t peer, uint32_t frame, uint64_t hash) {
  if (frame == 0 || frame % kHashEvery != 0) return;
  // An observer that went astray stops only itself.
  if (player() && peer >= slots_.size()) return;
  auto it = own_.find(frame);
  if (it == own_.end()) {
    // Ours is still to come; a long past one is no longer kept.
    if (frame >= next_ && early_.size() < 1000) early_[frame].push_back({peer, hash});
    return;
  }
  if (it->second.Hash == hash) {
    lastAgreed_ = std::max<uint64_t>(lastAgreed_, frame);
    return;
  }
  if (desyncFrame_) return;
  desyncFrame_ = frame;
  desyncPeer_ = peer;
  theirHash_ = hash;
  Message m;
  m.Type = MsgType::State;
  m.Peer = you_;
  m.Frame = frame;
  m.Text = WriteFieldList(ListState(it->second.Snapshot));
  uplink_.Send(m);
  log_ << "net: state hash of frame " << frame << " differs from " << PeerName(peer)
       << "'s; comparing states\n";
}

void Lockstep::CompareState(const Message& m) {
  if (!desyncFrame_ || m.Frame != *desyncFrame_ || m.Peer != desyncPeer_ || !report_.empty())
    return;
  auto it = own_.find(m.Frame);
  if (it == own_.end()) return ReportWithoutState();
  const std::optional<std::string> first =
      FirstDifference(ListState(it->second.Snapshot), ReadFieldList(m.Text));
  report_ = "desync with " + PeerName(m.Peer) + ": frame " + std::to_string(m.Frame) + ": " +
            first.value_or("hashes " + HashText(it->second.Hash) + " vs " + HashText(theirHash_)) +
            " (last agreed frame " + std::to_string(lastAgreed_) + ")";
}

void Lockstep::ReportWithoutState() {
  if (!desyncFrame_ || !report_.empty()) return;
  auto it = own_.find(*desyncFrame_);
  report_ = "desync with " + PeerName(desyncPeer_) + ": frame " + std::to_string(*desyncFrame_) +
            ": hashes " + (it == own_.end() ? std::string("?") : HashText(it->second.Hash)) +
            " vs " + HashText(theirHash_) + " (last agreed frame " + std::to_string(lastAgreed_) +
            ")";
}
