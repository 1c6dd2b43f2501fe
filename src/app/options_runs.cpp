#include "app/options_runs.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "util/numtext.h"

namespace {

constexpr uint64_t kMaxMatches = 1000000;  // a run keeps every result for its summary

// The values that --batch and --ladder share; false with the problem set.
bool ParseMatchValues(const std::map<std::string, std::string>& given, BatchOptions& o,
                      std::string& problem) {
  for (const auto& [name, v] : given) {
    const std::string_view text(v);
    uint64_t n = 0;
    bool ok = true;
    const char* range = "";
    if (name == "frames") {
      ok = ParseWhole(text, o.MaxFrames, 0, INT64_MAX);
      range = " (0 or more)";
    } else if (name == "jobs") {
      ok = ParseWhole(text, n, 1, 256);
      o.Jobs = static_cast<unsigned>(n);
      range = " (1 to 256)";
    } else if (name == "seed") {
      ok = ParseWhole(text, o.Seed);
      range = " (0 to 4294967295)";
    } else if (name == "shard") {
      const size_t slash = v.find('/');
      ok = slash != std::string::npos &&
           ParseWhole(text.substr(slash + 1), o.Shards, 1, kMaxMatches) &&
           ParseWhole(text.substr(0, slash), o.Shard, 1, o.Shards);
      range = " (K/M with 1 <= K <= M)";
    } else if (name == "level") {
      ok = !v.empty();
      o.LevelFile = v;
    } else {
      continue;
    }
    if (!ok) {
      problem = "bad value '" + v + "' for --" + name + range;
      return false;
    }
  }
  if (o.Shards > o.Matches) {
    problem = "--shard " + std::to_string(o.Shard) + "/" + std::to_string(o.Shards) +
              ": more slices than the " + std::to_string(o.Matches) + " matches";
    return false;
  }
  return true;
}

}  // namespace

bool ParseBatchValues(const std::map<std::string, std::string>& given,
                      const std::vector<std::string>& ais, BatchOptions& b, std::string& problem) {
  const std::string& matches = given.at("batch");
  if (!ParseWhole(std::string_view(matches), b.Matches, 1, kMaxMatches)) {
    problem = "bad value '" + matches + "' for --batch (1 to 1000000)";
    return false;
  }
  if (!ParseMatchValues(given, b, problem)) return false;
  b.Ai = ais;
  return true;
}

bool ParseLadderValues(const std::map<std::string, std::string>& given,
                       const std::vector<std::string>& scripts, LadderOptions& l,
                       std::string& problem) {
  l.Scripts = scripts;
  if (scripts.size() < 2) {
    problem = "--ladder needs at least two AI scripts";
    return false;
  }
  for (auto at = scripts.begin(); at != scripts.end(); ++at) {
    if (std::find(scripts.begin(), at, *at) != at) {
      problem = "--ladder: " + *at + " is given twice";
      return false;
    }
  }
  if (auto v = given.find("games");
      v != given.end() && !ParseWhole(std::string_view(v->second), l.Games, 1, kMaxMatches)) {
    problem = "bad value '" + v->second + "' for --games (1 to 1000000)";
    return false;
  }
  const uint64_t k = scripts.size();
  if (k > 1000 || k * (k - 1) * l.Games > kMaxMatches) {
    problem = "--ladder: " + std::to_string(k) + " AI scripts and " + std::to_string(l.Games) +
              " games are more than 1000000 matches";
    return false;
  }
  l.Play.Matches = k * (k - 1) * l.Games;
  return ParseMatchValues(given, l.Play, problem);
}
