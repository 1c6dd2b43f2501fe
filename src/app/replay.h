// A recording opened for viewing: played once without drawing to find its length, its marks
// and its keyframes (session snapshots), then played, sought and stepped back on its session.
// A seek restores the nearest earlier keyframe and runs the frames to the target undrawn;
// every `hash` line is checked on the frame it names, however that frame is reached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/match_state.h"
#include "app/script_runner.h"
#include "app/script_target.h"
#include "game/data_sources.h"

enum class MarkKind : uint8_t {
  FirstBase,
  FirstDelivery,
  FirstLoss,
  WipedOut,
  FailedCheck,
  MissionWon,   // the level's mission declared the side the winner
  MissionDrawn  // Side -1
};

// Something that happened at a frame of a match; Side -1 for a failed check.
struct ReplayMark {
  uint64_t Frame = 0;
  MarkKind Kind = MarkKind::FailedCheck;
  int32_t Side = -1;
  bool operator==(const ReplayMark&) const = default;
};

// The marks of a match's events as the batch reports them: its firsts and, for a match that
// ended with a side gone, that side wiped out at its last frame. Sorted by frame.
std::vector<ReplayMark> EventMarks(const MatchResult& result);
// "side 1: first base" (UTF-8, translated).
std::string MarkText(const ReplayMark& mark);

class ReplayPlayer {
 public:
  explicit ReplayPlayer(Script script);

  // Plays the whole recording on the session (in the state it has before the recording's
  // first line) without drawing, keeping keyframes and finding marks, then goes back to
  // the start. Commands may throw ProgramExit.
  void Open(ScriptTarget& session);
  bool opened() const { return opened_; }

  // The next frame (drawn when show) and the checks that name it.
  ScriptRunner::Result Step(ScriptTarget& session, bool show);
  // To the first frame at or after `frame` the recording reaches (its end at most), undrawn.
  // Returns false when a check failed on the way (failedFrame() says where).
  bool Seek(ScriptTarget& session, uint64_t frame);
  // Runs the lines after the last frame too: the recording is played whole.
  void PlayToEnd(ScriptTarget& session);
  bool atEnd() const;

  uint64_t length() const { return length_; }  // the frame the recording ends at
  const std::vector<ReplayMark>& marks() const { return marks_; }
  // The first mark after `frame`, if any.
  std::optional<ReplayMark> NextMark(uint64_t frame) const;
  std::optional<uint64_t> failedFrame() const { return failedFrame_; }
  // The first check that failed: on the opening pass (also one a keyframe now jumps over) or
  // on the way since.
  std::optional<uint64_t> FirstFailure() const;
  // A script error that ended the recording early ("script line 7: ..."), empty if none.
  const std::string& error() const { return error_; }
  // The lines run so far as a recording that replays them.
  std::string PlayedText() const { return runner_.PlayedText(); }
  bool busy() const { return busy_; }
  // Played again, the data load takes the data the first load read: the same catalogue and
  // textures (a load again would upload them again under new names). False: load them.
  bool Reload(Frontend& frontend) const;

  size_t keyframeCount() const { return keys_.size(); }
  size_t keyframeBytes() const { return bytes_; }
  uint64_t keyframeInterval() const { return interval_; }

  static constexpr size_t kKeyframeBudget = 48u << 20;  // bytes
  static constexpr uint64_t kFirstInterval = 100;       // frames

 private:
  struct Keyframe {
    uint64_t Frame = 0;
    ScriptRunner::Position Where;
    SessionSnapshot Snapshot;  // without the catalogue and the data sources, shared below
    std::shared_ptr<const std::vector<TRassa>> Catalogue;
    std::shared_ptr<const DataSources> Sources;
    size_t Bytes = 0;
  };
  void Keep(ScriptTarget& session);
  void Thin();
  void Restore(ScriptTarget& session, const Keyframe& key);
  // One frame undrawn and its checks; false at the end of the recording.
  bool Advance(ScriptTarget& session, bool show);

  ScriptRunner runner_;
  bool opened_ = false;
  bool busy_ = false;
  uint64_t length_ = 0;
  std::vector<ReplayMark> marks_;
  std::vector<Keyframe> keys_;
  size_t bytes_ = 0;
  size_t sharedBytes_ = 0;  // catalogues and sources, counted once
  uint64_t interval_ = kFirstInterval;
  std::optional<uint64_t> failedFrame_;
  std::unique_ptr<World> data_;  // the catalogue and ground texture the first load gave
  DataSources sources_;
  std::string error_;
};
