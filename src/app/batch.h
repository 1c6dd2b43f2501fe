// Batch matches: many computer-against-computer matches of the test level or a level file on
// worker threads, the data loaded once, and the summary of JSON lines from several runs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/ai_options.h"
#include "app/match_state.h"
#include "app/options.h"
#include "game/level.h"
#include "game/world.h"

// Matches [First, End) of a batch: slice k of m, the slices equal to within one match.
struct MatchRange {
  uint64_t First = 0;
  uint64_t End = 0;
};
MatchRange ShardRange(uint64_t matches, uint64_t shard, uint64_t shards);

// Plays one match on its own world: the rows and ground of `loaded` (a world after a
// successful load), then the test level, then up to maxFrames frames, as the headless script
// "press 1", "press 2", "tick maxFrames" would with --seed seed (and "level FILE" for a
// level), stopping at the frame after which one side has no live worker and no live base left,
// or after kStalemateFrames frames in which nothing changed.
// With `ai`, its scripts play their sides (their messages go to standard error).
MatchResult RunMatch(const World& loaded, uint64_t match, uint32_t seed, uint64_t maxFrames,
                     const Level* level = nullptr, const AiFiles* ai = nullptr);

// Plays matches [range.First, range.End) on `jobs` threads (0: one per core): play(k) gives
// match k's result, and report is called once per match as it ends, never by two threads at
// once. An exception in a match stops the others and is rethrown.
void PlayInParallel(MatchRange range, unsigned jobs,
                    const std::function<MatchResult(uint64_t)>& play,
                    const std::function<void(const MatchResult&)>& report);

// Plays the matches of the options' shard on Jobs threads, as PlayInParallel.
void RunMatches(const World& loaded, const BatchOptions& options,
                const std::function<void(const MatchResult&)>& report, const Level* level = nullptr,
                const AiFiles* ai = nullptr);

// What the matches of a run share: the data loaded once, as the load button loads them, and
// the level.
class RecordingPlatform;
class HeadlessHost;
class MatchData {
 public:
  MatchData();
  ~MatchData();
  // Loads the data and reads levelFile (empty: the test level). Nothing when both can be
  // played, else the exit status, with every problem on err.
  std::optional<int> Load(const std::string& levelFile, std::ostream& err);
  const World& world() const;
  const Level* level() const { return level_ ? &*level_ : nullptr; }

 private:
  std::unique_ptr<RecordingPlatform> platform_;
  std::unique_ptr<HeadlessHost> loader_;
  std::optional<Level> level_;
};

// Plays the range as PlayInParallel, prints line(result) to out as each match ends and, when
// err is the terminal, the progress ("batch: 57 of 200 done, ..." for the kind "batch"); returns
// the results in the order they ended and sets seconds to the time taken.
std::vector<MatchResult> PlayAndPrint(MatchRange range, unsigned jobs,
                                      const std::function<MatchResult(uint64_t)>& play,
                                      const std::function<std::string(const MatchResult&)>& line,
                                      const char* kind, std::ostream& out, std::ostream& err,
                                      double& seconds);
// "time: 13.3 s (905 matches per minute)".
std::string TimeLine(uint64_t matches, double seconds);

// One output line's object, keys in the order of the output.
nlohmann::ordered_json MatchJson(const MatchResult& result);
// Reads a line's object back; nothing, with the problem set, for a line that is not one.
std::optional<MatchResult> MatchFromJson(const std::string& line, std::string& problem);

// Wins per side with 95 % Wilson intervals, then quartiles of every time. `firstSeed` is the
// seed of the lowest match.
void PrintSummary(const std::vector<MatchResult>& results, uint64_t frameLimit, uint32_t firstSeed,
                  std::ostream& err);

// The whole run: load once, play, print a line per match to out and the summary to err.
// Returns 0, or 1 when the data, the level or the AI scripts cannot be played.
int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

// A non-blank line of a file of results, and where it is ("runs.jsonl:3: ").
struct ResultLine {
  std::string Where;
  std::string Text;
};
// The lines of `files` ("-" or none: in); nothing, with the message on err, when a file
// cannot be opened.
std::optional<std::vector<ResultLine>> ReadResultLines(const std::vector<std::string>& files,
                                                       std::istream& in, std::ostream& err);

// Reads a line: its result, and in `run` what every line of its run has in common.
using LineReader = std::function<std::optional<MatchResult>(
    const std::string& line, std::string& run, std::string& problem)>;
// The first result of each match of the first line's run, in the order read. Lines that do
// not read, belong to another run or repeat a match, and matches missing, are reported on err
// and set faulty; `kind` names the run ("batch").
std::vector<MatchResult> MergeResults(const std::vector<ResultLine>& lines, const LineReader& read,
                                      const char* kind, std::ostream& err, bool& faulty);

// --summarize of batch lines: prints to out the summary one batch of those matches prints.
// Returns 0, or 1 when a match is missing or repeated or a line does not read.
int SummarizeBatch(const std::vector<ResultLine>& lines, std::ostream& out, std::ostream& err);
