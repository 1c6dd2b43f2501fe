// The values of --batch and --ladder, read and checked once for ParseInvocation. A problem
// is one line, without the run's usage form.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// --batch: matches of one level, the same sides each time.
struct BatchOptions {
  uint64_t Matches = 0;
  uint64_t MaxFrames = 360000;  // one hour at 100 frames per second
  unsigned Jobs = 0;            // 0: one per core
  uint32_t Seed = 1;            // match k uses Seed + k (mod 2^32)
  std::string LevelFile;        // empty: the test level
  uint64_t Shard = 1;           // this run plays slice Shard of Shards of the matches
  uint64_t Shards = 1;
  std::vector<std::string> Ai;  // --ai S=FILE values
};

// --ladder: every pair of AI scripts on both sides over Games seeds.
struct LadderOptions {
  std::vector<std::string> Scripts;  // as named, in order
  uint64_t Games = 10;
  BatchOptions Play;  // Matches is the ladder's whole count; no Ai
};

// From the options given (long name -> value) and every --ai value; false with the problem set.
bool ParseBatchValues(const std::map<std::string, std::string>& given,
                      const std::vector<std::string>& ais, BatchOptions& batch,
                      std::string& problem);

// From the options given and the AI scripts named; false with the problem set.
bool ParseLadderValues(const std::map<std::string, std::string>& given,
                       const std::vector<std::string>& scripts, LadderOptions& ladder,
                       std::string& problem);
