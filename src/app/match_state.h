// The state of the match: live workers, bases and money per side, which side won once the
// other has nothing left, and the times and peaks a match reports (the batch's figures).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/match_stats.h"
#include "game/world.h"

struct SideTally {
  int32_t Workers = 0;  // live objects of kind 0
  int32_t Bases = 0;    // live objects of kind 1
  int32_t Money = 0;    // rounded as the read-out rounds it
};

// Sides 0 and 1.
std::array<SideTally, 2> TallySides(const World& world);

// Frames without any object moving, fighting, mining or building and without any money
// changing after which a match ends as a stalemate (a minute).
inline constexpr uint64_t kStalemateFrames = 6000;

// How a match ended; Mission: the level's mission decided (a winner, or none for a draw).
enum class MatchEnd { Win, Stalemate, BothGone, Limit, Mission };
inline constexpr size_t kMatchEnds = 5;

// What a match did; frames count from the level's creation. Pairs are side 0, side 1.
struct MatchFigures {
  std::optional<int> Winner;
  MatchEnd End = MatchEnd::Limit;
  std::array<std::optional<uint64_t>, 2> FirstBase;
  std::array<std::optional<uint64_t>, 2> FirstDelivery;
  std::array<std::optional<uint64_t>, 2> FirstDeath;
  std::array<int32_t, 2> PeakWorkers{};
  MatchStats Stats;
};

// What one match did; frames count from the first tick after the level was created.
struct MatchResult {
  uint64_t Match = 0;
  uint32_t Seed = 0;
  uint64_t Frames = 0;
  std::optional<int> Winner;
  MatchEnd End = MatchEnd::Limit;
  uint64_t Hash = 0;  // StateHash after the last frame
  std::array<std::optional<uint64_t>, 2> FirstBase;
  std::array<std::optional<uint64_t>, 2> FirstDelivery;
  std::array<std::optional<uint64_t>, 2> FirstDeath;
  std::array<int32_t, 2> PeakWorkers{};
  std::array<float, 2> Money{};
  // What the match's figures add up to (absent in lines of older batches).
  bool HasTotals = false;
  std::array<float, 2> Delivered{};
  std::array<int32_t, 2> Finished{};  // units and buildings
  std::array<int32_t, 2> Lost{};
  std::array<float, 2> PeakArmy{};
  uint64_t Matches = 0;     // of the whole batch
  uint64_t FrameLimit = 0;  // the batch's --frames
};

// Watches a match frame by frame for the times it reports and for its end.
class MatchObserver {
 public:
  // Looks at the world after `frame` frames (0: the level just created). Returns true when
  // the match is over, and then figures().End says why. A mission's verdict comes first.
  bool Look(const World& world, uint64_t frame);
  const MatchFigures& figures() const { return figures_; }

 private:
  // What a stalemate watches of an object: where it is, its health, cargo and build progress.
  struct Stillness {
    float X = 0, Y = 0, Angle = 0, Health = 0, Cargo = 0;
    int32_t Build = 0;
    bool operator==(const Stillness& o) const;
  };
  static Stillness StillnessOf(const TObyekt& o);

  MatchFigures figures_;
  std::vector<bool> alive_;
  std::vector<Stillness> still_;
  std::array<float, 4> money_{};
  uint64_t quiet_ = 0;  // frames in a row in which nothing changed
  size_t seen_ = 0;
};

// Watches the match frame by frame for the banner: the sides' tallies, the mission's message,
// and the winner its observer finds (the first frame at which one side has no live worker and
// no live base while the other has one, or the mission's verdict).
class MatchWatch {
 public:
  // The level was created after `frame` frames of the session: the match's figures count
  // from here.
  void Start(const World& world, uint64_t frame);
  void Update(const World& world, uint64_t frame);
  int32_t winner() const { return winner_; }  // -1 while undecided or drawn
  // A side won or the mission declared the match drawn.
  bool decided() const { return decided_; }
  // The mission's banner line (UTF-8); empty without one.
  const std::string& missionBanner() const { return banner_; }
  uint64_t frame() const { return frame_; }
  const std::array<SideTally, 2>& sides() const { return sides_; }
  // Since Start; null before it.
  const MatchObserver* observer() const { return started_ ? &observer_ : nullptr; }
  uint64_t startFrame() const { return start_; }

 private:
  // Takes the observer's winner or the mission's verdict, found at `frame`.
  void Decide(bool over, uint64_t frame);

  int32_t winner_ = -1;
  bool decided_ = false;
  std::string banner_;
  uint64_t frame_ = 0;
  std::array<SideTally, 2> sides_{};
  MatchObserver observer_;  // from the session's first frame until Start
  bool started_ = false;
  uint64_t start_ = 0;
};

// The frames from the level's creation to the deciding frame: what the banner and the end of
// the match tell (the session's frame counter also counts the frames before the level).
uint64_t MatchFrames(const MatchWatch& watch);

// What an observer of a network match sees of both sides besides the banner's money and workers
// (UTF-8): the army's strength and the units and buildings finished so far; empty before the
// level.
std::string ObserverStrip(const MatchWatch& watch);

// The banner line (UTF-8) while a level runs.
std::string MatchBanner(const MatchWatch& watch, const std::string& speed, bool paused);

// What the end of a match shows: a title (Windows-1251: "Победа" or "Поражение" for the
// player's side; the winning side, translated, for an observer) and the match's figures
// (UTF-8, translated).
struct MatchEndView {
  std::string Title;
  bool TitleIsCp1251 = false;
  std::vector<std::string> Lines;
  // As the box shows them (UTF-8): the title, and the lines one under the other.
  std::string TitleText() const;
  std::string LinesText() const;
};
MatchEndView EndOfMatch(const MatchWatch& watch, const World& world, int32_t playAs);
