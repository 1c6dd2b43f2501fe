// The lockstep peer of a network match, for the window and headless alike: the wire and the
// lockstep beside a session, whose frames it gives the match loop. Every input of the session
// goes through the lockstep; pause and speed are the match's; chat goes to every peer and
// into the recording. The window's peer never waits; the headless one waits for each frame's
// inputs, and its failures end the run (NetFailure).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/match_loop.h"
#include "app/net_match.h"
#include "app/options.h"
#include "app/session.h"
#include "net/wire.h"

class NetPeer : public NetMatch, private FrameSource {
 public:
  static constexpr size_t kChatShown = 3;  // lines in the banner

  // Routes the session's inputs to the lockstep and takes its frames from now on; `waits`:
  // headless (see above).
  NetPeer(Session& session, const NetOptions& net, const WindowOptions& options, bool waits);
  ~NetPeer() override;
  // Loads the data, opens the wire and says hello; false with the reason (headless: once
  // connected).
  bool Begin(std::string& error) override;
  // Headless: the match from its start (or its log) through the script to its end; the exit
  // status. Throws NetFailure.
  int Play(const Script& script);
  // Pause and speed for every peer, from the next frame this peer stamps.
  void SetPace(bool paused, int speed) override;
  // A chat line (Windows-1251) to everyone; false before the match runs.
  bool Chat(const std::string& text) override;
  // The window's view is w x h: a player's new size goes to every peer as its `resize` input.
  void ViewResized(int w, int h) override;
  // A player whose connection dropped, not yet back.
  bool someoneGone() const override { return !gone_.empty(); }
  // The match stops waiting for the players who are gone, at the same frame on every peer
  // (the computer plays the sides nobody holds).
  void HandOver() override;
  // The host starts the match with the players in.
  bool StartNow() override;
  // The window closes: a player plays on hidden until every player has left (the host's
  // hub carries the others); true when the window may close now.
  bool Leave() override;

  bool host() const override { return net_.kind == NetOptions::Kind::Host; }
  bool started() const override { return ls_ && ls_->started(); }
  bool player() const override { return started() && ls_->player(); }
  // The match has ended here (everyone left, refused, failed or out of sync).
  bool ended() const override { return ended_; }
  int status() const override { return status_; }
  bool leaving() const { return leaving_; }
  // The banner's network line (UTF-8): the lobby, whom the match waits for, the chat.
  std::string Status() const override;
  const std::deque<std::string>& chat() const { return chat_; }
  // Chat text as it may travel: control characters become spaces, cut at kChatMaxBytes.
  static std::string CleanChat(const std::string& text);

 private:
  int BeginTick() override;
  uint64_t Behind() const override;
  bool Ready() override;
  bool RunFrame(bool show, FrameCall call) override;
  void EndTick(bool held) override;
  // P, + and -: the pace every peer gets, from the one this peer asked for last; the full
  // stop's single frame is for one peer only: not in a network match.
  bool PaceKey(KeyAction action, bool repeat) override;

  bool Route(const Command& command);
  void Watch(const Message& m, bool incoming);
  template <typename Cond>
  void WaitFor(Cond cond, const std::string& what);
  void Pump(int waitMs = 0);
  void CheckDesync();
  void IssueViewSize();
  [[noreturn]] static void Fail(int status, const std::string& problem);
  void End(int status, const std::string& problem);
  std::string Name(uint8_t peer) const;

  Session& session_;
  NetOptions net_;
  WindowOptions options_;
  bool waits_;
  std::unique_ptr<Wire> wire_;
  std::unique_ptr<Lockstep> ls_;
  bool local_ = false;     // the session's own setup: applied here
  bool stepping_ = false;  // the lockstep applies a frame's inputs or the start's sides
  bool ended_ = false;
  bool leaving_ = false;
  bool boundIssued_ = false;
  bool paced_ = false;  // headless at the match's pace (a test's)
  int status_ = 0;
  bool ownPace_ = false;                        // a pace issued, not yet stamped
  std::optional<std::pair<bool, int>> wanted_;  // the pace asked for, until it applies
  int64_t paceAt_ = -1;                         // the last frame a pace was stamped for
  uint64_t tickFrom_ = 0;                       // the next frame when this tick began
  std::string waiting_;                         // whom the match waits for (after a moment)
  std::vector<PlayerSlot> slots_;
  std::set<uint8_t> gone_;  // players whose connection dropped
  uint8_t you_ = kNoPeer;
  std::deque<std::string> chat_;  // UTF-8, newest last
  std::chrono::steady_clock::time_point progress_ = std::chrono::steady_clock::now();
  std::optional<std::chrono::steady_clock::time_point> desyncSince_;
  std::optional<std::pair<std::chrono::steady_clock::time_point, uint64_t>> pacedFrom_;
  std::optional<std::array<int, 2>> viewSize_;    // the window's
  std::optional<std::array<int, 2>> issuedSize_;  // the last sent
};
