// The session's replay viewer: a recording played frame by frame from the timer, opened,
// stepped and sought, and the replayed match taken over.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/command.h"
#include "app/keys.h"
#include "app/match_loop.h"

class Session;
class ReplayPlayer;

class ReplayViewer {
 public:
  explicit ReplayViewer(Session& session);
  ~ReplayViewer();
  // Ends the session's recording and plays the script in the viewer from a fresh start.
  void Open(Script script);
  // Plays a script frame by frame from the timer.
  void Start(Script script);
  // Replays this match's inputs from its start; false when none were kept.
  bool WatchMatch();
  bool playing() const { return replay_ != nullptr; }
  // The replay, opened (played once) on first use; null when none plays.
  ReplayPlayer* Opened();
  const ReplayPlayer* player() const { return replay_.get(); }
  // Seeks to `frame`, shown; false when a `hash` line failed on the way.
  bool Seek(uint64_t frame);
  // The replayed match goes live at its frame now: the computer plays the side other than
  // `side` (-1: both; nothing: as recorded), and a new recording, beginning with the lines
  // replayed so far, goes to `path` (empty: memory only). False with the reason.
  bool TakeOver(std::optional<int32_t> side, const std::string& path, std::string& error);
  // Plays the replay to its end undrawn and takes the match over there as recorded.
  bool Resume(const std::string& path, std::string& error);
  bool ended() const { return ended_; }

 private:
  friend class Session;
  friend class MatchView;

  // The next frame; false when none ran (the end, an error, a failed check).
  bool Frame(bool show, FrameCall call);
  // A seek key: true when `action` is one and was done.
  bool SeekKey(KeyAction action);
  void Stopped(const std::string& box, const std::string& note);
  void Close();

  Session& s_;
  std::unique_ptr<ReplayPlayer> replay_;
  bool ended_ = false;
};
