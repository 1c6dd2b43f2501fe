// The hub every peer of a match talks to: the host runs one beside its own peer, the relay
// (--serve) one for many matches. It checks each hello (protocol version, data set, side),
// starts a match once its players have come, forwards every peer's messages to the others
// under the sender's true id, keeps the match's log for peers that join late or rejoin, and
// sets the order delay from the measured round trips. It never simulates.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/protocol.h"

// What the hub needs of its transport.
class HubLinks {
 public:
  virtual ~HubLinks() = default;
  virtual void Send(int conn, const std::vector<uint8_t>& bytes) = 0;
  // Closes a connection once what was sent to it has gone.
  virtual void Close(int conn) = 0;
  // The round trip to the connection and its variation, in milliseconds.
  virtual uint32_t RoundTrip(int conn) = 0;
};

class Hub {
 public:
  static constexpr int kMaxBadMessages = 100;  // then the connection is closed
  static constexpr uint8_t kFirstObserver = 100;

  Hub(HubLinks& links, std::ostream& log) : links_(links), log_(log) {}
  void Received(int conn, const uint8_t* data, size_t size);
  void Disconnected(int conn);
  // Once a second or so: adapts the order delay to the round trips.
  void AdaptDelay();
  // The order delay for peers whose round trips are these (milliseconds).
  static uint32_t DelayFor(std::vector<uint32_t> roundTrips);
  // The players in a match, "player 1 (side 1)", in player order.
  std::vector<std::string> Joined(const std::string& match) const;
  // Starts a match that waits for players with those in; false when there is none.
  bool StartNow(const std::string& match);
  // Bytes forwarded from players, for figures.
  uint64_t forwarded() const { return forwarded_; }

 private:
  struct Slot {
    PlayerSlot Who;
    int Conn = -1;  // -1: gone
    bool Left = false;
  };
  struct Match {
    std::string Name;
    uint64_t DataHash = 0;
    std::string DataText;
    uint8_t Players = 2;
    std::optional<uint32_t> Seed;
    bool Started = false;
    uint32_t Delay = 2;       // frames, as now
    uint32_t StartDelay = 2;  // frames, at the start: the log's first stamps follow it
    std::vector<Slot> Slots;
    std::map<int, uint8_t> Observers;  // connection -> peer id
    uint8_t NextObserver = kFirstObserver;
    struct Logged {
      MsgType Type;
      uint8_t Peer;
      std::vector<uint8_t> Bytes;
    };
    std::vector<Logged> Log;
  };
  struct Conn {
    std::string MatchName;
    uint8_t Peer = kNoPeer;
    int Bad = 0;
  };
  void Hello(int conn, const Message& m);
  void Refuse(int conn, const std::string& text);
  void StartMatch(Match& match);
  void SendStart(Match& match, int conn, uint8_t peer);
  void PlayerGone(Match& match, uint8_t peer, int conn);
  // A player's "gone" names in its frame field a player whose connection dropped: the match
  // goes on without that one, as if it had left.
  void HandOver(Match& match, uint32_t peer);
  void Forward(Match& match, int from, const std::vector<uint8_t>& bytes);
  std::vector<int> Members(const Match& match) const;

  HubLinks& links_;
  std::ostream& log_;
  std::map<std::string, Match> matches_;
  std::map<int, Conn> conns_;
  uint64_t forwarded_ = 0;
};
