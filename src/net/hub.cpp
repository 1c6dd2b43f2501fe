#include "net/hub.h"

#include <algorithm>
#include <chrono>
#include <ostream>

#include "net/field_list.h"

namespace {

uint32_t ClockSeed() {
  return static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch() /
                               std::chrono::milliseconds(1));
}

}  // namespace

uint32_t Hub::DelayFor(std::vector<uint32_t> roundTrips) {
  // An input goes sender -> hub -> receiver: half of each of the two slowest round trips, and
  // one frame for the frame that is running when it arrives.
  std::sort(roundTrips.rbegin(), roundTrips.rend());
  roundTrips.resize(2, 0);
  const uint32_t ms = (roundTrips[0] + roundTrips[1] + 1) / 2;
  return std::clamp<uint32_t>((ms + 9) / 10 + 1, 2, 100);
}

std::vector<int> Hub::Members(const Match& match) const {
  std::vector<int> out;
  for (const Slot& s : match.Slots)
    if (s.Conn >= 0) out.push_back(s.Conn);
  for (const auto& [conn, peer] : match.Observers) out.push_back(conn);
  return out;
}

void Hub::Refuse(int conn, const std::string& text) {
  log_ << "hub: refused a peer: " << text << "\n";
  Message m;
  m.Type = MsgType::Refuse;
  m.Text = text;
  links_.Send(conn, Encode(m));
  links_.Close(conn);
}

void Hub::Received(int conn, const uint8_t* data, size_t size) {
  std::string error;
  std::optional<Message> m = Decode(data, size, error);
  Conn& c = conns_[conn];
  if (!m) {
    log_ << "hub: connection " << conn << ": " << error << "; dropped\n";
    if (++c.Bad >= kMaxBadMessages) {
      log_ << "hub: connection " << conn << " closed after " << c.Bad << " bad messages\n";
      links_.Close(conn);
    }
    return;
  }
  if (m->Type == MsgType::Hello) {
    if (c.Peer != kNoPeer) {
      log_ << "hub: connection " << conn << ": a second hello dropped\n";
      return;
    }
    Hello(conn, *m);
    return;
  }
  auto it = matches_.find(c.MatchName);
  if (c.Peer == kNoPeer || it == matches_.end() || !it->second.Started) {
    log_ << "hub: connection " << conn << ": " << TypeName(m->Type)
         << " before the start dropped\n";
    return;
  }
  Match& match = it->second;
  const bool player = c.Peer < match.Slots.size();
  m->Peer = c.Peer;  // a peer speaks only for itself
  switch (m->Type) {
    case MsgType::Commands:
    case MsgType::Done:
    case MsgType::Pace:
    case MsgType::Bye:
      if (!player) {
        log_ << "hub: " << TypeName(m->Type) << " from observer " << int(c.Peer) << " dropped\n";
        return;
      }
      if (m->Type == MsgType::Bye) match.Slots[c.Peer].Left = true;
      break;
    case MsgType::Hash:
    case MsgType::Chat:
    case MsgType::State:
      break;
    case MsgType::Gone:
      if (player) HandOver(match, m->Frame);
      return;
    default:
      log_ << "hub: unexpected " << TypeName(m->Type) << " from connection " << conn
           << " dropped\n";
      return;
  }
  const std::vector<uint8_t> bytes = Encode(*m);
  if (m->Type != MsgType::State) match.Log.push_back({m->Type, m->Peer, bytes});
  if (player) forwarded_ += bytes.size();
  Forward(match, conn, bytes);
}

void Hub::Forward(Match& match, int from, const std::vector<uint8_t>& bytes) {
  for (int to : Members(match))
    if (to != from) links_.Send(to, bytes);
}

void Hub::Hello(int conn, const Message& m) {
  if (m.Version != kProtocolVersion) {
    return Refuse(
        conn, "protocol " + std::to_string(m.Version) + " vs " + std::to_string(kProtocolVersion));
  }
  auto it = matches_.find(m.MatchName);
  if (it == matches_.end()) {
    Match match;
    match.Name = m.MatchName;
    match.DataHash = m.DataHash;
    match.DataText = m.Text;
    match.Players = std::clamp<uint8_t>(m.Players, 1, 2);  // two sides
    match.Seed = m.Seed;
    it = matches_.emplace(m.MatchName, std::move(match)).first;
  }
  Match& match = it->second;
  if (m.DataHash != match.DataHash) {
    const std::optional<std::string> first =
        FirstDifference(ReadFieldList(m.Text), ReadFieldList(match.DataText));
    char hashes[64];
    std::snprintf(hashes, sizeof hashes, "hash %016llx vs %016llx",
                  static_cast<unsigned long long>(m.DataHash),
                  static_cast<unsigned long long>(match.DataHash));
    return Refuse(conn, "data set differs: " + first.value_or(hashes));
  }
  Conn& c = conns_[conn];
  if (m.WantRole == Role::Observer) {
    if (match.NextObserver == kNoPeer) return Refuse(conn, "too many observers");
    const uint8_t peer = match.NextObserver++;
    match.Observers[conn] = peer;
    c.MatchName = match.Name;
    c.Peer = peer;
    if (match.Started) SendStart(match, conn, peer);
    return;
  }
  if (m.Side < -1 || m.Side > 1) return Refuse(conn, "no side " + std::to_string(m.Side));
  int8_t side = m.Side;
  if (side < 0) {
    // Any side: a free one, else the side of a player who is gone.
    auto held = [&](int8_t s, bool gone) {
      for (const Slot& slot : match.Slots)
        if (slot.Who.Side == s && !(gone && slot.Conn < 0 && !slot.Left)) return true;
      return false;
    };
    for (int8_t s : {int8_t{0}, int8_t{1}})
      if (side < 0 && !held(s, false)) side = s;
    for (int8_t s : {int8_t{0}, int8_t{1}})
      if (side < 0 && match.Started && !held(s, true)) side = s;
    if (side < 0) return Refuse(conn, "both sides are taken");
  }
  for (size_t i = 0; i < match.Slots.size(); ++i) {
    Slot& s = match.Slots[i];
    if (s.Who.Side != side) continue;
    if (s.Left || !match.Started) return Refuse(conn, "side " + std::to_string(side) + " is taken");
    // Only a player who is gone may be replaced: the one still connected plays on.
    if (s.Conn >= 0) {
      return Refuse(conn, "side " + std::to_string(side) + " is played by " + s.Who.Name +
                              ", who is still connected");
    }
    s.Conn = conn;
    c.MatchName = match.Name;
    c.Peer = static_cast<uint8_t>(i);
    log_ << "hub: player " << i << " (side " << int(side) << ") rejoined\n";
    SendStart(match, conn, c.Peer);
    return;
  }
  if (match.Started)
    return Refuse(conn, "the match has started without side " + std::to_string(side));
  Slot slot;
  slot.Who.Side = side;
  slot.Who.Name = "player " + std::to_string(match.Slots.size());
  slot.Conn = conn;
  c.MatchName = match.Name;
  c.Peer = static_cast<uint8_t>(match.Slots.size());
  match.Slots.push_back(slot);
  log_ << "hub: " << slot.Who.Name << " (side " << int(side) << ") joined match '" << match.Name
       << "'\n";
  if (match.Slots.size() >= match.Players) StartMatch(match);
}

std::vector<std::string> Hub::Joined(const std::string& name) const {
  std::vector<std::string> out;
  auto it = matches_.find(name);
  if (it == matches_.end()) return out;
  for (const Slot& s : it->second.Slots)
    out.push_back(s.Who.Name + " (side " + std::to_string(s.Who.Side) + ")");
  return out;
}

bool Hub::StartNow(const std::string& name) {
  auto it = matches_.find(name);
  if (it == matches_.end() || it->second.Started || it->second.Slots.empty()) return false;
  StartMatch(it->second);
  return true;
}

void Hub::StartMatch(Match& match) {
  std::vector<uint32_t> trips;
  for (int conn : Members(match)) trips.push_back(links_.RoundTrip(conn));
  match.Delay = match.StartDelay = DelayFor(trips);
  if (!match.Seed) match.Seed = ClockSeed();
  match.Started = true;
  log_ << "hub: match '" << match.Name << "' starts: seed " << *match.Seed << ", order delay "
       << match.Delay << " frames\n";
  for (size_t i = 0; i < match.Slots.size(); ++i)
    SendStart(match, match.Slots[i].Conn, static_cast<uint8_t>(i));
  for (const auto& [conn, peer] : match.Observers) SendStart(match, conn, peer);
}

void Hub::SendStart(Match& match, int conn, uint8_t peer) {
  Message start;
  start.Type = MsgType::Start;
  start.Seed = match.Seed;
  // A joiner reads the log from the start: the delay then, and the one now after the log.
  start.OrderDelay = match.StartDelay;
  start.You = peer;
  for (const Slot& s : match.Slots) start.Slots.push_back(s.Who);
  links_.Send(conn, Encode(start));
  // Dones count up to a frame: of a run of them only each player's last is sent (an hour's
  // log shrinks from 720 000 messages to a few thousand).
  std::map<uint8_t, const std::vector<uint8_t>*> dones;
  auto flush = [&] {
    for (const auto& [peer, bytes] : dones) links_.Send(conn, *bytes);
    dones.clear();
  };
  for (const Match::Logged& entry : match.Log) {
    if (entry.Type == MsgType::Done) {
      dones[entry.Peer] = &entry.Bytes;
      continue;
    }
    flush();
    links_.Send(conn, entry.Bytes);
  }
  flush();
  if (match.Delay != match.StartDelay) {
    Message delay;
    delay.Type = MsgType::Delay;
    delay.OrderDelay = match.Delay;
    links_.Send(conn, Encode(delay));
  }
  Message live;
  live.Type = MsgType::Live;
  links_.Send(conn, Encode(live));
}

void Hub::Disconnected(int conn) {
  auto c = conns_.find(conn);
  if (c == conns_.end()) return;
  auto it = matches_.find(c->second.MatchName);
  const uint8_t peer = c->second.Peer;
  conns_.erase(c);
  if (it == matches_.end()) return;
  Match& match = it->second;
  match.Observers.erase(conn);
  if (peer < match.Slots.size() && match.Slots[peer].Conn == conn) PlayerGone(match, peer, conn);
  // A match nobody is in any more is forgotten (its name can start a new one).
  bool ended = true;
  for (const Slot& s : match.Slots) ended = ended && (s.Left || !match.Started);
  if (ended && Members(match).empty()) matches_.erase(it);
}

void Hub::PlayerGone(Match& match, uint8_t peer, int conn) {
  if (!match.Started) {
    match.Slots.erase(match.Slots.begin() + peer);
    for (auto& [k, other] : conns_)
      if (other.MatchName == match.Name && other.Peer > peer && other.Peer < kFirstObserver)
        --other.Peer;
    return;
  }
  match.Slots[peer].Conn = -1;
  if (match.Slots[peer].Left) return;
  log_ << "hub: player " << int(peer) << " disconnected\n";
  Message gone;
  gone.Type = MsgType::Gone;
  gone.Peer = peer;
  Forward(match, conn, Encode(gone));
}

void Hub::HandOver(Match& match, uint32_t peer) {
  if (peer >= match.Slots.size() || match.Slots[peer].Conn >= 0 || match.Slots[peer].Left) {
    log_ << "hub: hand-over of player " << peer << ", who is not gone, dropped\n";
    return;
  }
  // Its leaving, after everything it sent: every peer stops waiting for it at the same frame.
  match.Slots[peer].Left = true;
  Message bye;
  bye.Type = MsgType::Bye;
  bye.Peer = static_cast<uint8_t>(peer);
  const std::vector<uint8_t> bytes = Encode(bye);
  match.Log.push_back({MsgType::Bye, bye.Peer, bytes});
  log_ << "hub: player " << peer << " is gone; the match goes on without it\n";
  Forward(match, -1, bytes);
}

void Hub::AdaptDelay() {
  for (auto& [name, match] : matches_) {
    if (!match.Started) continue;
    std::vector<uint32_t> trips;
    for (const Slot& s : match.Slots)
      if (s.Conn >= 0) trips.push_back(links_.RoundTrip(s.Conn));
    const uint32_t d = DelayFor(trips);
    if (d == match.Delay) continue;
    match.Delay = d;
    Message m;
    m.Type = MsgType::Delay;
    m.OrderDelay = d;
    Forward(match, -1, Encode(m));
  }
}
