// The wires a peer talks through: the host's hub beside this peer, or the connection to a host
// or relay; and the hello a peer opens with.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/options.h"
#include "net/enet_link.h"
#include "net/lockstep.h"

// Exit status 4 when the network fails: refused, unreachable, a peer that stopped answering.
inline constexpr int kNetworkFailed = 4;

// Ends a network run with a status and a message for standard error.
struct NetFailure {
  int status;
  std::string text;
};

// What a peer talks through.
class Wire : public Uplink {
 public:
  // Delivers what has come, waiting at most waitMs for something.
  virtual void Pump(int waitMs) = 0;
  // The match's other end is gone for good.
  virtual bool Lost() const = 0;
  // Lets what was sent go out before the program ends.
  virtual void Finish(uint32_t timeoutS) = 0;
  virtual uint64_t BytesSent() const = 0;
  virtual uint64_t WireBytes() const = 0;
  // The host's lobby: the players in, "player 1 (side 1)"; empty at a joining peer.
  virtual std::vector<std::string> Joined() const { return {}; }
  // The host starts its match with the players in; false elsewhere or when nobody is in.
  virtual bool StartNow() { return false; }
  Lockstep* peer = nullptr;
  // Told of every message this peer sends (false) or receives (true), before the lockstep.
  std::function<void(const Message&, bool incoming)> watch;
};

// The host's hub beside this peer, or the connection to a host or relay: waiting at most the
// time-out for it, or (not `wait`) made while Pump runs, which throws once the time-out passed
// without it; messages sent meanwhile go once it is made. Throws NetFailure.
std::unique_ptr<Wire> OpenWire(const NetOptions& net, std::ostream& log, bool wait = true);

// Loads the data set (button 1) and writes this peer's hello; the level, if any, is applied
// already. Throws NetFailure when the data cannot be loaded.
Message MakeHello(Session& session, const NetOptions& net, const WindowOptions& options);

// Seconds of the steady clock since t.
inline double SecondsSince(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// The simulated network of the test hook (RTSDEMO_NET_SIM), if asked for. Throws NetFailure.
void SimulateNetwork(EnetLink& link);
