// Batch matches: many computer-against-computer matches of the test level or a level file on
// worker threads, the data loaded once, and the summary of JSON lines from several runs.
// rtsdemo --batch N [--frames F] [--jobs J] [--seed S] [--level FILE] [--ai S=FILE]
//               [--shard K/M] [--data DIR]
// rtsdemo --summarize [FILE...]
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/ai_options.h"
#include "app/match_state.h"
#include "game/level.h"
#include "game/world.h"

struct BatchOptions {
  uint64_t Matches = 0;
  uint64_t MaxFrames = 360000;  // one hour at 100 frames per second
  unsigned Jobs = 0;            // 0: one per core
  uint32_t Seed = 1;            // match k uses Seed + k (mod 2^32)
  std::string DataDir;          // empty: the working directory
  std::string LevelFile;        // empty: the test level
  uint64_t Shard = 1;           // this run plays slice Shard of Shards of the matches
  uint64_t Shards = 1;
  std::vector<std::string> Ai;  // --ai S=FILE values
};

// Matches [First, End) of a batch: slice k of m, the slices equal to within one match.
struct MatchRange {
  uint64_t First = 0;
  uint64_t End = 0;
};
MatchRange ShardRange(uint64_t matches, uint64_t shard, uint64_t shards);

// Parses the batch's arguments (everything after the program name). On failure returns
// nothing and sets problem.
std::optional<BatchOptions> ParseBatchArgs(const std::vector<std::string>& args,
                                           std::string& problem);

// Plays one match on its own world: the rows and ground of `loaded` (a world after a
// successful load), then the test level, then up to maxFrames frames, as the headless script
// "press 1", "press 2", "tick maxFrames" would with --seed seed (and "level FILE" for a
// level), stopping at the frame after which one side has no live worker and no live base left,
// or after kStalemateFrames frames in which nothing changed.
// With `ai`, its scripts play their sides (their messages go to standard error).
MatchResult RunMatch(const World& loaded, uint64_t match, uint32_t seed, uint64_t maxFrames,
                     const Level* level = nullptr, const AiFiles* ai = nullptr);

// Plays the matches of the options' shard on Jobs threads; report is called once per match as
// it ends, never by two threads at once. An exception in a match stops the others and is
// rethrown.
void RunMatches(const World& loaded, const BatchOptions& options,
                const std::function<void(const MatchResult&)>& report, const Level* level = nullptr,
                const AiFiles* ai = nullptr);

// One output line's object, keys in the order of the output.
nlohmann::ordered_json MatchJson(const MatchResult& result);
// Reads a line's object back; nothing, with the problem set, for a line that is not one.
std::optional<MatchResult> MatchFromJson(const std::string& line, std::string& problem);

// Wins per side with 95 % Wilson intervals, then quartiles of every time. `firstSeed` is the
// seed of the lowest match.
void PrintSummary(const std::vector<MatchResult>& results, uint64_t frameLimit, uint32_t firstSeed,
                  std::ostream& err);

// The whole run: parse, load once, play, print a line per match to out and the summary to
// err. Returns 0, 1 when the data or the level cannot be loaded, 2 for bad usage.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// rtsdemo --summarize: reads the lines of `files` ("-" or none: standard input) and prints to
// out the summary one batch of those matches prints; matches missing or repeated go to err.
// Returns 0, 1 when a match is missing or repeated or a line does not read, 2 when a file
// cannot be opened.
int RunSummarize(const std::vector<std::string>& files, std::istream& in, std::ostream& out,
                 std::ostream& err);
