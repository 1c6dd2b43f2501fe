#include "app/batch.h"

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <thread>

#include "app/data_folder.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "game/data_check.h"
#include "game/match_rule.h"
#include "util/bmp.h"
#include "util/numtext.h"
#include "util/stats.h"

namespace {

constexpr uint64_t kMaxMatches = 1000000;  // results are kept for the summary

bool ParseNumber(const std::string& text, uint64_t lo, uint64_t hi, uint64_t& value) {
  return ParseWhole(std::string_view(text), value, lo, hi);
}

const char* const kEndNames[] = {"win", "stalemate", "both-gone", "limit"};

// A float as JSON by its shortest decimal text (570.8 rather than 570.79998779296875).
nlohmann::ordered_json FloatJson(float value) {
  return ShortestDouble(value);
}

nlohmann::ordered_json Pair(const std::array<std::optional<uint64_t>, 2>& v) {
  nlohmann::ordered_json a = nlohmann::ordered_json::array();
  for (const auto& x : v) a.push_back(x ? nlohmann::ordered_json(*x) : nlohmann::ordered_json());
  return a;
}

std::string Fixed(double v, int decimals) {
  return FloatToFixed(v, decimals);
}

std::string Clock(double seconds) {
  return MinutesSeconds(static_cast<uint64_t>(seconds + 0.5), 1);
}

std::string Pad(std::string s, size_t width, bool left = false) {
  if (s.size() < width) s.insert(left ? s.size() : 0, width - s.size(), ' ');
  return s;
}

}  // namespace

std::optional<BatchOptions> ParseBatchArgs(const std::vector<std::string>& args,
                                           std::string& problem) {
  BatchOptions options;
  bool haveBatch = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg != "--batch" && arg != "--frames" && arg != "--jobs" && arg != "--seed" &&
        arg != "--data" && arg != "--level" && arg != "--shard" && arg != "--ai") {
      problem = "unknown argument " + arg + " with --batch";
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      problem = arg + " needs a value";
      return std::nullopt;
    }
    const std::string& v = args[++i];
    uint64_t n = 0;
    bool ok = true;
    if (arg == "--batch") {
      ok = ParseNumber(v, 1, kMaxMatches, n);
      options.Matches = n;
      haveBatch = true;
    } else if (arg == "--frames") {
      ok = ParseNumber(v, 0, INT64_MAX, n);
      options.MaxFrames = n;
    } else if (arg == "--jobs") {
      ok = ParseNumber(v, 1, 256, n);
      options.Jobs = static_cast<unsigned>(n);
    } else if (arg == "--seed") {
      ok = ParseNumber(v, 0, UINT32_MAX, n);
      options.Seed = static_cast<uint32_t>(n);
    } else if (arg == "--shard") {
      const size_t slash = v.find('/');
      ok = slash != std::string::npos &&
           ParseNumber(v.substr(slash + 1), 1, kMaxMatches, options.Shards) &&
           ParseNumber(v.substr(0, slash), 1, options.Shards, options.Shard);
    } else if (arg == "--level") {
      ok = !v.empty();
      options.LevelFile = v;
    } else if (arg == "--ai") {
      ok = v.size() > 2 && (v[0] == '0' || v[0] == '1') && v[1] == '=';
      options.Ai.push_back(v);
    } else {
      ok = !v.empty();
      options.DataDir = v;
    }
    if (!ok) {
      const char* range = arg == "--batch"                      ? " (1 to 1000000)"
                          : arg == "--jobs"                     ? " (1 to 256)"
                          : arg == "--seed"                     ? " (0 to 4294967295)"
                          : arg == "--shard"                    ? " (K/M with 1 <= K <= M)"
                          : arg == "--ai"                       ? " (S=FILE with S 0 or 1)"
                          : arg == "--data" || arg == "--level" ? ""
                                                                : " (0 or more)";
      problem = "bad value '" + v + "' for " + arg + range;
      return std::nullopt;
    }
  }
  if (!haveBatch) {
    problem = "--batch needs a number of matches";
    return std::nullopt;
  }
  if (options.Shards > options.Matches) {
    problem = "--shard " + std::to_string(options.Shard) + "/" + std::to_string(options.Shards) +
              ": more slices than the " + std::to_string(options.Matches) + " matches";
    return std::nullopt;
  }
  return options;
}

MatchRange ShardRange(uint64_t matches, uint64_t shard, uint64_t shards) {
  // matches * shard stays far below 2^64: both are at most 1000000.
  return {matches * (shard - 1) / shards, matches * shard / shards};
}

MatchResult RunMatch(const World& loaded, uint64_t match, uint32_t seed, uint64_t maxFrames,
                     const Level* level, const AiFiles* ai) {
  MatchResult result;
  result.Match = match;
  result.Seed = seed;
  // The same objects as `rtsdemo --headless --seed S`: each match has its own.
  RecordingPlatform platform;
  platform.fixedSeed = seed;
  HeadlessHost host(platform);
  host.wiring().watchMatch = false;
  Frontend& f = host.frontend();
  if (ai != nullptr) f.SetScripts(MakeSideScripts(*ai, std::cerr));
  f.AcceptLoadedData(loaded);
  if (level != nullptr) f.SetLevel(*level);
  host.Press(2);
  MatchObserver observer;
  bool over = observer.Look(f.world(), 0);
  uint64_t frames = 0;
  while (!over && frames < maxFrames) {
    host.Tick();
    ++frames;
    over = observer.Look(f.world(), frames);
  }
  const MatchFigures& figures = observer.figures();
  result.Winner = figures.Winner;
  result.End = figures.End;
  result.FirstBase = figures.FirstBase;
  result.FirstDelivery = figures.FirstDelivery;
  result.FirstDeath = figures.FirstDeath;
  result.PeakWorkers = figures.PeakWorkers;
  result.Frames = frames;
  result.FrameLimit = maxFrames;
  result.Hash = StateHash(f);
  for (size_t s = 0; s < 2; ++s) result.Money[s] = f.world().Sides[s].Money;
  return result;
}

void RunMatches(const World& loaded, const BatchOptions& options,
                const std::function<void(const MatchResult&)>& report, const Level* level,
                const AiFiles* ai) {
  const MatchRange range = ShardRange(options.Matches, options.Shard, options.Shards);
  const uint64_t count = range.End - range.First;
  unsigned jobs = options.Jobs;
  if (jobs == 0) jobs = std::max(1u, std::thread::hardware_concurrency());
  if (jobs > count) jobs = static_cast<unsigned>(std::max<uint64_t>(count, 1));

  std::atomic<uint64_t> next{range.First};
  std::atomic<bool> stop{false};
  std::mutex reportMutex;
  std::exception_ptr failure;
  auto work = [&] {
    try {
      for (;;) {
        if (stop.load()) return;
        const uint64_t k = next.fetch_add(1);
        if (k >= range.End) return;
        const auto seed = static_cast<uint32_t>(options.Seed + k);
        MatchResult result = RunMatch(loaded, k, seed, options.MaxFrames, level, ai);
        result.Matches = options.Matches;
        std::lock_guard<std::mutex> lock(reportMutex);
        if (!stop.load()) report(result);
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(reportMutex);
      if (!failure) failure = std::current_exception();
      stop = true;
    }
  };
  std::vector<std::thread> threads;
  for (unsigned t = 1; t < jobs; ++t) threads.emplace_back(work);
  work();  // the calling thread is one of the workers
  for (std::thread& t : threads) t.join();
  if (failure) std::rethrow_exception(failure);
}

nlohmann::ordered_json MatchJson(const MatchResult& r) {
  nlohmann::ordered_json j;
  j["match"] = r.Match;
  j["seed"] = r.Seed;
  j["frames"] = r.Frames;
  j["winner"] = r.Winner ? nlohmann::ordered_json(*r.Winner) : nlohmann::ordered_json();
  j["end"] = kEndNames[static_cast<size_t>(r.End)];
  j["hash"] = HashText(r.Hash);
  j["first_base"] = Pair(r.FirstBase);
  j["first_delivery"] = Pair(r.FirstDelivery);
  j["first_death"] = Pair(r.FirstDeath);
  j["peak_workers"] = {r.PeakWorkers[0], r.PeakWorkers[1]};
  j["money"] = {FloatJson(r.Money[0]), FloatJson(r.Money[1])};
  j["matches"] = r.Matches;
  j["frame_limit"] = r.FrameLimit;
  return j;
}

std::optional<MatchResult> MatchFromJson(const std::string& line, std::string& problem) {
  using json = nlohmann::json;
  MatchResult r;
  try {
    const json j = json::parse(line);
    auto time = [](const json& v) {
      return v.is_null() ? std::optional<uint64_t>() : std::optional(v.get<uint64_t>());
    };
    auto pair = [&](const char* key, std::array<std::optional<uint64_t>, 2>& out) {
      const json& v = j.at(key);
      if (!v.is_array() || v.size() != 2) throw std::invalid_argument(key);
      out = {time(v[0]), time(v[1])};
    };
    r.Match = j.at("match").get<uint64_t>();
    r.Seed = j.at("seed").get<uint32_t>();
    r.Frames = j.at("frames").get<uint64_t>();
    if (!j.at("winner").is_null()) r.Winner = j.at("winner").get<int>();
    const std::string end = j.at("end").get<std::string>();
    const auto* found = std::find(std::begin(kEndNames), std::end(kEndNames), end);
    if (found == std::end(kEndNames)) throw std::invalid_argument("end");
    r.End = static_cast<MatchEnd>(found - std::begin(kEndNames));
    const std::string hash = j.at("hash").get<std::string>();
    auto [ptr, ec] = std::from_chars(hash.data(), hash.data() + hash.size(), r.Hash, 16);
    if (ec != std::errc() || ptr != hash.data() + hash.size()) throw std::invalid_argument("hash");
    pair("first_base", r.FirstBase);
    pair("first_delivery", r.FirstDelivery);
    pair("first_death", r.FirstDeath);
    const json& peak = j.at("peak_workers");
    const json& money = j.at("money");
    if (peak.size() != 2 || money.size() != 2) throw std::invalid_argument("pair");
    for (size_t s = 0; s < 2; ++s) {
      r.PeakWorkers[s] = peak[s].get<int32_t>();
      r.Money[s] = static_cast<float>(money[s].get<double>());
    }
    r.Matches = j.at("matches").get<uint64_t>();
    r.FrameLimit = j.at("frame_limit").get<uint64_t>();
    if ((r.Winner && *r.Winner != 0 && *r.Winner != 1) || r.Match >= r.Matches)
      throw std::invalid_argument("values");
  } catch (const std::exception&) {
    problem = "not a line of a batch";
    return std::nullopt;
  }
  return r;
}

void PrintSummary(const std::vector<MatchResult>& results, uint64_t frameLimit, uint32_t firstSeed,
                  std::ostream& err) {
  const uint64_t n = results.size();
  std::array<uint64_t, 2> wins{};
  std::array<uint64_t, 4> ends{};
  for (const MatchResult& r : results) {
    if (r.Winner) ++wins[static_cast<size_t>(*r.Winner)];
    ++ends[static_cast<size_t>(r.End)];
  }
  const uint64_t limit = ends[static_cast<size_t>(MatchEnd::Limit)];
  const uint64_t stalemates = ends[static_cast<size_t>(MatchEnd::Stalemate)];
  const uint64_t wiped = ends[static_cast<size_t>(MatchEnd::BothGone)];
  const uint32_t last = static_cast<uint32_t>(firstSeed + (n == 0 ? 0 : n - 1));
  err << "batch: " << n << " matches of at most " << frameLimit << " frames, seeds " << firstSeed
      << " to " << last << "\n";
  for (size_t s = 0; s < 2; ++s) {
    Interval ci = WilsonInterval(wins[s], n);
    err << "wins side " << s << ": " << Pad(std::to_string(wins[s]), 6) << "  "
        << Pad(Fixed(n ? 100.0 * static_cast<double>(wins[s]) / static_cast<double>(n) : 0, 1), 5)
        << " %   95 % interval " << Fixed(100 * ci.Low, 1) << " to " << Fixed(100 * ci.High, 1)
        << " %\n";
  }
  err << "no winner:   " << Pad(std::to_string(limit + stalemates + wiped), 6) << "  (" << limit
      << " at the frame limit, " << stalemates << " stalemates, " << wiped
      << " with both sides gone)\n";

  // One row per time: how many matches have it, then the quartiles over those.
  err << Pad("", 22, true) << Pad("matches", 8) << Pad("q1", 10) << Pad("median", 10)
      << Pad("q3", 10) << "\n";
  auto row = [&](const std::string& name, const std::vector<double>& v, int decimals) {
    err << Pad(name, 22, true) << Pad(std::to_string(v.size()), 8);
    if (v.empty()) {
      err << Pad("-", 10) << Pad("-", 10) << Pad("-", 10) << "\n";
      return;
    }
    err << Pad(Fixed(Quantile(v, 0.25), decimals), 10) << Pad(Fixed(Quantile(v, 0.5), decimals), 10)
        << Pad(Fixed(Quantile(v, 0.75), decimals), 10) << "\n";
  };
  std::vector<double> frames;
  for (const MatchResult& r : results) frames.push_back(static_cast<double>(r.Frames));
  row("frames", frames, 0);
  using Times = std::array<std::optional<uint64_t>, 2> MatchResult::*;
  const std::pair<const char*, Times> times[] = {{"first_base", &MatchResult::FirstBase},
                                                 {"first_delivery", &MatchResult::FirstDelivery},
                                                 {"first_death", &MatchResult::FirstDeath}};
  for (const auto& [name, field] : times) {
    for (size_t s = 0; s < 2; ++s) {
      std::vector<double> v;
      for (const MatchResult& r : results)
        if ((r.*field)[s]) v.push_back(static_cast<double>(*(r.*field)[s]));
      row(std::string(name) + " side " + std::to_string(s), v, 0);
    }
  }
  for (size_t s = 0; s < 2; ++s) {
    std::vector<double> v;
    for (const MatchResult& r : results) v.push_back(r.PeakWorkers[s]);
    row("peak_workers side " + std::to_string(s), v, 1);
  }
  for (size_t s = 0; s < 2; ++s) {
    std::vector<double> v;
    for (const MatchResult& r : results) v.push_back(r.Money[s]);
    row("money side " + std::to_string(s), v, 1);
  }
  err << std::flush;
}

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string problem;
  std::optional<BatchOptions> options = ParseBatchArgs(args, problem);
  if (!options) {
    err << "rtsdemo: " << problem << "\n"
        << "usage: rtsdemo --batch N [--frames F] [--jobs J] [--seed S] [--level FILE] "
           "[--ai S=FILE] [--shard K/M] [--data DIR]\n";
    return 2;
  }
  if (!options->DataDir.empty() && !UseDataFolder(options->DataDir, err)) return 2;

  // Loaded once, as the load button loads; the refusal and every problem go to standard error.
  RecordingPlatform platform;
  HeadlessHost loader(platform);
  try {
    loader.Press(1);
  } catch (const ProgramExit& e) {
    return e.Code;
  }
  if (loader.controls().ButtonEnabled(1)) {
    err << "rtsdemo: the data cannot be loaded; nothing played\n";
    return 1;
  }
  const World& loaded = loader.frontend().world();
  std::optional<Level> level;
  if (!options->LevelFile.empty()) {
    DataProblems problems;
    level = ReadLevelFile(FindLevelFile(options->LevelFile), problems, options->LevelFile);
    ResolveLevel(loaded, *level, problems);
    for (const DataProblem& p : problems) err << FormatProblem(p) << "\n";
    if (ErrorCount(problems) > 0) {
      err << "rtsdemo: the level cannot be played; nothing played\n";
      return 1;
    }
  }
  const std::optional<AiFiles> ai = ReadAiOptions(options->Ai, err);
  if (!ai) {
    err << "rtsdemo: the AI scripts cannot be played; nothing played\n";
    return 1;
  }
  const MatchRange range = ShardRange(options->Matches, options->Shard, options->Shards);
  const uint64_t count = range.End - range.First;

  const bool progress = &err == &std::cerr && isatty(STDERR_FILENO) == 1;
  const auto start = std::chrono::steady_clock::now();
  std::vector<MatchResult> results;
  results.reserve(count);
  double shown = -1;  // elapsed seconds at the last progress line
  RunMatches(
      loaded, *options,
      [&](const MatchResult& r) {
        out << MatchJson(r).dump() << std::endl;
        results.push_back(r);
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // At most five updates a second, and the last one.
        if (progress && (elapsed >= shown + 0.2 || results.size() == count)) {
          shown = elapsed;
          const double done = static_cast<double>(results.size());
          const double rest = elapsed / done * (static_cast<double>(count) - done);
          err << "\rbatch: " << results.size() << " of " << count << " done, " << Clock(elapsed)
              << " elapsed, about " << Clock(rest) << " left   " << std::flush;
        }
      },
      level ? &*level : nullptr, &*ai);
  if (progress) err << "\r" << std::string(60, ' ') << "\r";
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  PrintSummary(results, options->MaxFrames, static_cast<uint32_t>(options->Seed + range.First),
               err);
  err << "time: " << Fixed(seconds, 1) << " s ("
      << Fixed(seconds > 0 ? 60.0 * static_cast<double>(results.size()) / seconds : 0, 0)
      << " matches per minute)\n";
  return 0;
}

int RunSummarize(const std::vector<std::string>& files, std::istream& in, std::ostream& out,
                 std::ostream& err) {
  std::vector<MatchResult> results;
  std::map<uint64_t, std::string> seen;  // match -> its line
  uint64_t matches = 0, frameLimit = 0;
  uint32_t firstSeed = 0;
  bool faulty = false;
  auto read = [&](std::istream& lines, const std::string& name) {
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.find_first_not_of(" \t") == std::string::npos) continue;
      std::string problem;
      std::optional<MatchResult> r = MatchFromJson(line, problem);
      const std::string where = name + ":" + std::to_string(number) + ": ";
      if (!r) {
        err << where << problem << "\n";
        faulty = true;
        continue;
      }
      if (results.empty()) {
        matches = r->Matches;
        frameLimit = r->FrameLimit;
        firstSeed = static_cast<uint32_t>(r->Seed - r->Match);
      } else if (r->Matches != matches || r->FrameLimit != frameLimit ||
                 static_cast<uint32_t>(r->Seed - r->Match) != firstSeed) {
        err << where << "match " << r->Match << " belongs to another batch\n";
        faulty = true;
        continue;
      }
      auto [at, fresh] = seen.emplace(r->Match, line);
      if (!fresh) {
        err << where << "match " << r->Match << " repeated"
            << (at->second == line ? "" : " with other results") << "; the first counts\n";
        faulty = true;
        continue;
      }
      results.push_back(*r);
    }
  };
  std::vector<std::string> names = files.empty() ? std::vector<std::string>{"-"} : files;
  for (const std::string& name : names) {
    if (name == "-") {
      read(in, "(standard input)");
      continue;
    }
    std::ifstream file(name);
    if (!file) {
      err << "rtsdemo: cannot open " << name << "\n";
      return 2;
    }
    read(file, name);
  }
  // Missing matches as ranges of match numbers.
  uint64_t missing = 0;
  std::string ranges;
  for (uint64_t k = 0; k < matches;) {
    if (seen.count(k) != 0) {
      ++k;
      continue;
    }
    uint64_t e = k;
    while (e + 1 < matches && seen.count(e + 1) == 0) ++e;
    missing += e - k + 1;
    if (!ranges.empty()) ranges += ", ";
    ranges += std::to_string(k) + (e > k ? "-" + std::to_string(e) : "");
    k = e + 1;
  }
  if (missing > 0) {
    err << "rtsdemo: " << missing << " of " << matches << " matches missing: " << ranges << "\n";
    faulty = true;
  }
  if (results.empty()) {
    err << "rtsdemo: no match to summarize\n";
    return 1;
  }
  PrintSummary(results, frameLimit, firstSeed, out);
  return faulty ? 1 : 0;
}
