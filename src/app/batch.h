// Batch matches: many computer-against-computer matches of the test level on worker threads,
// the data loaded once. rtsdemo --batch N [--frames F] [--jobs J] [--seed S] [--data DIR]
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "game/world.h"

struct BatchOptions {
  uint64_t Matches = 0;
  uint64_t MaxFrames = 360000;  // one hour at 100 frames per second
  unsigned Jobs = 0;            // 0: one per core
  uint32_t Seed = 1;            // match k uses Seed + k (mod 2^32)
  std::string DataDir;          // empty: the working directory
};

// What one match did; frames count from the first tick after the level was created.
struct MatchResult {
  uint64_t Match = 0;
  uint32_t Seed = 0;
  uint64_t Frames = 0;
  std::optional<int> Winner;
  uint64_t Hash = 0;  // StateHash after the last frame
  std::array<std::optional<uint64_t>, 2> FirstBase;
  std::array<std::optional<uint64_t>, 2> FirstDelivery;
  std::array<std::optional<uint64_t>, 2> FirstDeath;
  std::array<int32_t, 2> PeakWorkers{};
  std::array<float, 2> Money{};
};

// Parses the batch's arguments (everything after the program name). On failure returns
// nothing and sets problem.
std::optional<BatchOptions> ParseBatchArgs(const std::vector<std::string>& args,
                                           std::string& problem);

// Plays one match on its own world: the rows and ground of `loaded` (a world after a
// successful load), then the test level, then up to maxFrames frames, as the headless script
// "press 1", "press 2", "tick maxFrames" would with --seed seed, stopping at the frame after
// which one side has no live worker and no live base left.
MatchResult RunMatch(const World& loaded, uint64_t match, uint32_t seed, uint64_t maxFrames);

// Plays matches 0 .. Matches-1 on Jobs threads; report is called once per match as it ends,
// never by two threads at once. An exception in a match stops the others and is rethrown.
void RunMatches(const World& loaded, const BatchOptions& options,
                const std::function<void(const MatchResult&)>& report);

// One output line's object, keys in the order of the output.
nlohmann::ordered_json MatchJson(const MatchResult& result);

// Wins per side with 95 % Wilson intervals, then quartiles of every time.
void PrintSummary(const std::vector<MatchResult>& results, const BatchOptions& options,
                  std::ostream& err);

// The whole run: parse, load once, play, print a line per match to out and the summary to
// err. Returns 0, 1 when the data cannot be loaded, 2 for bad usage.
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
