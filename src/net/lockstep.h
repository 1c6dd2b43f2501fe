// The lockstep peer: only commands travel. A peer's inputs issued before frame k are stamped
// k + d (d the order delay) and sent at once with "done up to k + d"; every peer applies the
// inputs of frame F in player order through the session's one door, and runs frame F only
// once every player's done has reached F. Every 100 frames the state hashes are compared; on
// a difference the peers exchange their states' fields and name the first that differs.
#pragma once

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "net/protocol.h"

// Where a peer's messages go (the hub).
class Uplink {
 public:
  virtual ~Uplink() = default;
  virtual void Send(const Message& message) = 0;
};

class Lockstep {
 public:
  static constexpr uint32_t kHashEvery = 100;        // frames
  static constexpr uint32_t kMaxAhead = 6000;        // frames a stamp may lie ahead of done
  static constexpr size_t kMaxLinesPerFrame = 1000;  // one player's inputs for one frame
  static constexpr size_t kSnapshotsKept = 8;

  // Messages the peer drops and its notes go to log.
  Lockstep(Session& session, Uplink& uplink, std::ostream& log);

  // A message from the hub.
  void Receive(const Message& message);
  // A local input (a kInput command) for the next frame this peer stamps.
  void Issue(const Command& command);
  // Pause and speed are the match's: stamped like inputs.
  void SetPace(bool paused, int speed);
  // Stamps and sends this frame's inputs and done; true when the next frame can run.
  bool Ready();
  // Applies the next frame's inputs and runs it (drawn when show). Only after Ready().
  void Step(bool show);
  // No more inputs from this peer; the match ends once every player has left.
  void Leave();

  bool started() const { return started_; }
  bool refused() const { return refusal_.has_value(); }
  const std::string& refusal() const { return *refusal_; }
  // The log has been received: the frames up to catchUp() are known to run.
  bool live() const { return live_; }
  uint64_t catchUp() const { return catchUp_; }
  bool player() const { return you_ < slots_.size(); }
  // This player's side is played by its AI script: its player only watches.
  bool scripted() const;
  uint8_t you() const { return you_; }
  uint64_t next() const { return next_; }  // the frame that runs next (frames run so far)
  uint32_t delay() const { return delay_; }
  // Every player has left and the last of their frames has run.
  bool over() const;
  // "waiting for player 1 (side 1)", empty when nobody holds the match up.
  std::string WaitingFor() const;
  // Who this peer is and which sides the computer took over (translated): "You play side 0;
  // player 1 (side 1) left, the computer plays side 1". Empty before the start.
  std::string SidesText() const;
  // Player p's last frame, once it left; from the next the computer plays its side.
  std::optional<int64_t> leftAt(size_t p) const { return p < bye_.size() ? bye_[p] : std::nullopt; }
  bool desynced() const { return desyncFrame_.has_value(); }
  // The desync report once the other peer's state has come (or none could be compared).
  const std::string& report() const { return report_; }
  // Gives up waiting for the other's state: the report names the hashes only.
  void ReportWithoutState();
  uint64_t lastAgreed() const { return lastAgreed_; }

 private:
  bool ScriptPlays(int32_t side) const;
  struct Input {
    uint8_t Peer;
    Command Cmd;
  };
  struct OwnHash {
    uint64_t Hash;
    SessionSnapshot Snapshot;
  };
  bool Holding(size_t player) const;
  void HandOverLeft();
  void Start(const Message& m);
  void TakeInputs(const Message& m);
  void TakePace(const Message& m);
  void CheckHash(uint8_t peer, uint32_t frame, uint64_t hash);
  void CompareState(const Message& m);
  void HashFrame();
  std::string PeerName(uint8_t peer) const;

  Session& session_;
  Uplink& uplink_;
  std::ostream& log_;
  bool started_ = false;
  bool live_ = false;
  std::optional<std::string> refusal_;
  std::vector<PlayerSlot> slots_;
  uint8_t you_ = kNoPeer;
  uint32_t delay_ = 2;
  uint64_t next_ = 0;
  uint64_t catchUp_ = 0;
  bool begun_ = false;  // the next frame's inputs and done are sent
  int64_t lastDone_ = -1;
  bool left_ = false;
  std::vector<int64_t> done_;                // per player: the last frame it has declared
  std::vector<std::optional<int64_t>> bye_;  // per player: its last frame, once it left
  std::vector<bool> gone_;                   // per player: its connection dropped
  std::vector<Command> issued_;
  std::optional<std::pair<bool, int>> pace_;  // issued, not yet stamped
  std::map<uint64_t, std::vector<Input>> inputs_;
  std::map<uint64_t, std::vector<std::pair<bool, int>>> paces_;
  std::map<uint64_t, OwnHash> own_;
  std::map<uint64_t, std::vector<std::pair<uint8_t, uint64_t>>> early_;  // hashes before ours
  uint64_t lastAgreed_ = 0;
  std::optional<uint64_t> desyncFrame_;
  uint8_t desyncPeer_ = kNoPeer;
  uint64_t theirHash_ = 0;
  std::string report_;
};
