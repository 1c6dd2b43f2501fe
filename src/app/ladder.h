// The AI ladder: every pair of AI scripts, each on both sides, over a number of seeds, played
// on the batch's worker threads; its JSON lines, its table of pairs and the AIs' ratings.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/batch.h"
#include "app/options.h"

// Match k of a ladder of `scripts` AIs: its seed is the ladder's seed + Game, and the ordered
// pairs (0, 1), (0, 2), ..., (1, 0), (1, 2), ... take turns, all of them for one seed before
// the next seed, so that every slice of the matches holds every pair about equally.
struct LadderMatch {
  uint64_t Game = 0;
  size_t Side0 = 0;
  size_t Side1 = 0;
};
LadderMatch LadderMatchOf(uint64_t k, size_t scripts);

// What every line of one ladder holds.
struct LadderInfo {
  std::vector<std::string> Names;  // the scripts as named
  std::vector<uint64_t> Hashes;    // of their texts
  uint64_t Games = 0;
  uint64_t FrameLimit = 0;
  uint32_t Seed = 0;  // of game 0
};

// A batch line with the ladder's keys after it: "ai" (the sides' names), "ladder", "scripts"
// and "games".
nlohmann::ordered_json LadderJson(const MatchResult& result, const LadderInfo& ladder);
// Reads a line back with its ladder; nothing, with the problem set, for a line that is not one.
std::optional<MatchResult> LadderFromJson(const std::string& line, LadderInfo& ladder,
                                          std::string& problem);

// Each pair's wins, losses and draws with 95 % Wilson intervals, then each AI's rating with
// its 95 % interval, best first.
void PrintLadder(const std::vector<MatchResult>& results, const LadderInfo& ladder,
                 std::ostream& os);

// The whole run: load once, play the options' shard, a line per match to out, the table to err.
// Returns 0, or 1 when the data, the level or a script cannot be played.
int RunLadder(const LadderOptions& options, std::ostream& out, std::ostream& err);

// rtsdemo --summarize: the lines of `files` ("-" or none: standard input), of batches or of
// ladders as the first line is, printed to out as one run of them prints its summary; matches
// missing or repeated go to err. Returns 0, 1 when a match is missing or repeated or a line
// does not read, 2 when a file cannot be opened.
int RunSummarize(const std::vector<std::string>& files, std::istream& in, std::ostream& out,
                 std::ostream& err);
