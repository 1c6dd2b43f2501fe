// The transport: ENet (reliable, ordered UDP), one message a packet. A test hook simulates a
// slow network in the process: RTSDEMO_NET_SIM="delay=75,jitter=10,loss=5" holds every
// outgoing message 75 ms +- 10 ms (in order) and drops 5 % of the packets that arrive, which
// ENet then sends again.
#pragma once

#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

struct _ENetHost;
struct _ENetPeer;

struct NetSimulation {
  uint32_t DelayMs = 0;
  uint32_t JitterMs = 0;
  uint32_t LossPercent = 0;
  bool on() const { return DelayMs || JitterMs || LossPercent; }
};
// Reads "delay=75,jitter=10,loss=5"; false for anything else.
bool ReadSimulation(const std::string& text, NetSimulation& sim);

class EnetLink {
 public:
  EnetLink();
  ~EnetLink();
  EnetLink(const EnetLink&) = delete;
  EnetLink& operator=(const EnetLink&) = delete;

  // A host for up to 64 connections on the port; false with the reason.
  bool Listen(uint16_t port, std::string& error);
  // Starts connecting to address (a name or a dotted address); connection 0 once it is up.
  bool Connect(const std::string& address, uint16_t port, std::string& error);

  struct Event {
    enum Kind { None, Connected, Received, Disconnected } kind = None;
    int conn = -1;
    std::vector<uint8_t> data;
  };
  // The next event, waiting at most timeoutMs for one.
  Event Poll(int timeoutMs);
  void Send(int conn, const std::vector<uint8_t>& bytes);
  // Disconnects once what was queued has gone.
  void Close(int conn);
  // Sends everything queued now (held messages of the simulation included).
  void Flush();
  uint32_t RoundTrip(int conn) const;
  uint64_t bytesSent() const { return bytesSent_; }
  // UDP payload bytes sent: messages, ENet's headers, acknowledgements and resends.
  uint64_t wireBytes() const;
  void SetSimulation(const NetSimulation& sim);

 private:
  struct Held {
    uint64_t due;  // ms
    int conn;
    std::vector<uint8_t> bytes;
  };
  void SendNow(int conn, const std::vector<uint8_t>& bytes);
  void ReleaseHeld(bool all);
  int ConnOf(_ENetPeer* peer);

  _ENetHost* host_ = nullptr;
  std::vector<_ENetPeer*> peers_;  // by connection id; null once gone
  std::deque<Held> held_;
  NetSimulation sim_;
  std::minstd_rand random_{12345};
  uint64_t lastDue_ = 0;
  uint64_t bytesSent_ = 0;
};
