#include "net/enet_link.h"

#include <enet/enet.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

namespace {

uint64_t NowMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

// ENet's intercept hook has no user data: the loss rate is the process's.
uint32_t gLossPercent = 0;
std::minstd_rand gLossRandom{4242};

int DropSome(ENetHost*, ENetEvent*) {
  return gLossPercent > 0 && gLossRandom() % 100 < gLossPercent ? 1 : 0;
}

bool InitOnce() {
  static const bool ok = [] {
    if (enet_initialize() != 0) return false;
    std::atexit(enet_deinitialize);
    return true;
  }();
  return ok;
}

}  // namespace

bool ReadSimulation(const std::string& text, NetSimulation& sim) {
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    const size_t eq = item.find('=');
    if (eq == std::string::npos) return false;
    const std::string key = item.substr(0, eq);
    char* end = nullptr;
    const unsigned long v = std::strtoul(item.c_str() + eq + 1, &end, 10);
    if (*end != '\0' || end == item.c_str() + eq + 1 || v > 10000) return false;
    if (key == "delay")
      sim.DelayMs = static_cast<uint32_t>(v);
    else if (key == "jitter")
      sim.JitterMs = static_cast<uint32_t>(v);
    else if (key == "loss" && v <= 90)
      sim.LossPercent = static_cast<uint32_t>(v);
    else
      return false;
  }
  return true;
}

EnetLink::EnetLink() = default;

EnetLink::~EnetLink() {
  if (!host_) return;
  Flush();
  enet_host_destroy(host_);
}

bool EnetLink::Listen(uint16_t port, std::string& error) {
  if (!InitOnce()) {
    error = "the network library cannot start";
    return false;
  }
  ENetAddress address{};
  address.host = ENET_HOST_ANY;
  address.port = port;
  host_ = enet_host_create(&address, 64, 1, 0, 0);
  if (!host_) {
    error = "cannot listen on port " + std::to_string(port) + " (in use?)";
    return false;
  }
  host_->intercept = DropSome;
  return true;
}

bool EnetLink::Connect(const std::string& name, uint16_t port, std::string& error) {
  if (!InitOnce()) {
    error = "the network library cannot start";
    return false;
  }
  host_ = enet_host_create(nullptr, 1, 1, 0, 0);
  if (!host_) {
    error = "cannot open a network socket";
    return false;
  }
  host_->intercept = DropSome;
  ENetAddress address{};
  if (enet_address_set_host(&address, name.c_str()) != 0) {
    error = "unknown host " + name;
    return false;
  }
  address.port = port;
  ENetPeer* peer = enet_host_connect(host_, &address, 1, 0);
  if (!peer) {
    error = "cannot connect to " + name;
    return false;
  }
  peer->data = nullptr;
  peers_.assign(1, peer);
  return true;
}

void EnetLink::SetSimulation(const NetSimulation& sim) {
  sim_ = sim;
  gLossPercent = sim.LossPercent;
}

int EnetLink::ConnOf(ENetPeer* peer) {
  for (size_t i = 0; i < peers_.size(); ++i)
    if (peers_[i] == peer) return static_cast<int>(i);
  return -1;
}

EnetLink::Event EnetLink::Poll(int timeoutMs) {
  Event out;
  if (!host_) return out;
  ReleaseHeld(false);
  ENetEvent e;
  const int got = enet_host_service(host_, &e, static_cast<enet_uint32>(std::max(timeoutMs, 0)));
  if (got <= 0) return out;
  switch (e.type) {
    case ENET_EVENT_TYPE_CONNECT: {
      int conn = ConnOf(e.peer);
      if (conn < 0) {
        conn = static_cast<int>(peers_.size());
        peers_.push_back(e.peer);
      }
      // A peer that stops answering is given up after 2 to 5 s, not ENet's 30.
      enet_peer_timeout(e.peer, 32, 2000, 5000);
      out.kind = Event::Connected;
      out.conn = conn;
      break;
    }
    case ENET_EVENT_TYPE_RECEIVE:
      out.kind = Event::Received;
      out.conn = ConnOf(e.peer);
      out.data.assign(e.packet->data, e.packet->data + e.packet->dataLength);
      enet_packet_destroy(e.packet);
      break;
    case ENET_EVENT_TYPE_DISCONNECT: {
      out.kind = Event::Disconnected;
      out.conn = ConnOf(e.peer);
      if (out.conn >= 0) peers_[static_cast<size_t>(out.conn)] = nullptr;
      break;
    }
    default:
      break;
  }
  return out;
}

void EnetLink::Send(int conn, const std::vector<uint8_t>& bytes) {
  if (!sim_.DelayMs && !sim_.JitterMs) return SendNow(conn, bytes);
  const int64_t jitter =
      sim_.JitterMs ? static_cast<int64_t>(random_() % (2 * sim_.JitterMs + 1)) - sim_.JitterMs : 0;
  const uint64_t due = NowMs() + static_cast<uint64_t>(std::max<int64_t>(0, sim_.DelayMs + jitter));
  // A reliable channel keeps the order.
  lastDue_ = std::max(lastDue_, due);
  held_.push_back({lastDue_, conn, bytes});
}

void EnetLink::SendNow(int conn, const std::vector<uint8_t>& bytes) {
  if (conn < 0 || static_cast<size_t>(conn) >= peers_.size() || !peers_[static_cast<size_t>(conn)])
    return;
  ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
  if (enet_peer_send(peers_[static_cast<size_t>(conn)], 0, packet) != 0) {
    enet_packet_destroy(packet);
    return;
  }
  bytesSent_ += bytes.size();
}

void EnetLink::ReleaseHeld(bool all) {
  const uint64_t now = NowMs();
  while (!held_.empty() && (all || held_.front().due <= now)) {
    SendNow(held_.front().conn, held_.front().bytes);
    held_.pop_front();
  }
}

void EnetLink::Close(int conn) {
  if (conn < 0 || static_cast<size_t>(conn) >= peers_.size() || !peers_[static_cast<size_t>(conn)])
    return;
  ReleaseHeld(true);
  enet_peer_disconnect_later(peers_[static_cast<size_t>(conn)], 0);
}

void EnetLink::Flush() {
  ReleaseHeld(true);
  if (host_) enet_host_flush(host_);
}

uint32_t EnetLink::RoundTrip(int conn) const {
  if (conn < 0 || static_cast<size_t>(conn) >= peers_.size() || !peers_[static_cast<size_t>(conn)])
    return 0;
  const ENetPeer* p = peers_[static_cast<size_t>(conn)];
  // The simulation's hold is on top of what ENet measures.
  return p->roundTripTime + 2 * p->roundTripTimeVariance + 2 * (sim_.DelayMs + sim_.JitterMs);
}

uint64_t EnetLink::wireBytes() const {
  return host_ ? host_->totalSentData : 0;
}
