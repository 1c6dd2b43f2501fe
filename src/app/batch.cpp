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

const char* const kEndNames[] = {"win", "stalemate", "both-gone", "limit", "mission"};
static_assert(std::size(kEndNames) == kMatchEnds);

// A float as JSON by its shortest decimal text (570.8 rather than 570.79998779296875).
nlohmann::ordered_json FloatJson(float value) {
  return ShortestDouble(value);
}

nlohmann::ordered_json Pair(const std::array<std::optional<uint64_t>, 2>& v) {
  nlohmann::ordered_json a = nlohmann::ordered_json::array();
  for (const auto& x : v) a.push_back(x ? nlohmann::ordered_json(*x) : nlohmann::ordered_json());
  return a;
}

std::string Clock(double seconds) {
  return MinutesSeconds(static_cast<uint64_t>(seconds + 0.5), 1);
}

}  // namespace

MatchRange ShardRange(uint64_t matches, uint64_t shard, uint64_t shards) {
  // matches * shard stays far below 2^64: both are at most 1000000.
  return {matches * (shard - 1) / shards, matches * shard / shards};
}

namespace {

// The batch's totals of one match.
void TotalsOf(const MatchStats& stats, MatchResult& result) {
  result.HasTotals = true;
  result.Delivered = stats.delivered();
  for (const TypeTotals& t : stats.types()) {
    for (size_t s = 0; s < 2; ++s) {
      result.Finished[s] += t.Finished[s];
      result.Lost[s] += t.Lost[s];
    }
  }
  for (size_t i = 0; i < stats.samples(); ++i)
    for (size_t s = 0; s < 2; ++s)
      result.PeakArmy[s] = std::max(result.PeakArmy[s], stats.sample(i)[s].Army);
}

}  // namespace

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
  TotalsOf(figures.Stats, result);
  result.Frames = frames;
  result.FrameLimit = maxFrames;
  result.Hash = StateHash(f);
  for (size_t s = 0; s < 2; ++s) result.Money[s] = f.world().Sides[s].Money;
  return result;
}

void PlayInParallel(MatchRange range, unsigned jobs,
                    const std::function<MatchResult(uint64_t)>& play,
                    const std::function<void(const MatchResult&)>& report) {
  const uint64_t count = range.End - range.First;
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
        MatchResult result = play(k);
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

void RunMatches(const World& loaded, const BatchOptions& options,
                const std::function<void(const MatchResult&)>& report, const Level* level,
                const AiFiles* ai) {
  PlayInParallel(
      ShardRange(options.Matches, options.Shard, options.Shards), options.Jobs,
      [&](uint64_t k) {
        const auto seed = static_cast<uint32_t>(options.Seed + k);
        MatchResult result = RunMatch(loaded, k, seed, options.MaxFrames, level, ai);
        result.Matches = options.Matches;
        return result;
      },
      report);
}

MatchData::MatchData()
    : platform_(std::make_unique<RecordingPlatform>()),
      loader_(std::make_unique<HeadlessHost>(*platform_)) {}

MatchData::~MatchData() = default;

const World& MatchData::world() const {
  return loader_->frontend().world();
}

std::optional<int> MatchData::Load(const std::string& levelFile, std::ostream& err) {
  // The refusal and every problem of the load go to standard error.
  try {
    loader_->Press(1);
  } catch (const ProgramExit& e) {
    return e.Code;
  }
  if (loader_->controls().ButtonEnabled(1)) {
    err << "rtsdemo: the data cannot be loaded; nothing played\n";
    return 1;
  }
  if (levelFile.empty()) return std::nullopt;
  DataProblems problems;
  level_ = ReadLevelFile(FindLevelFile(levelFile), problems, levelFile);
  ResolveLevel(world(), *level_, problems);
  for (const DataProblem& p : problems) err << FormatProblem(p) << "\n";
  if (ErrorCount(problems) > 0) {
    err << "rtsdemo: the level cannot be played; nothing played\n";
    return 1;
  }
  return std::nullopt;
}

std::vector<MatchResult> PlayAndPrint(MatchRange range, unsigned jobs,
                                      const std::function<MatchResult(uint64_t)>& play,
                                      const std::function<std::string(const MatchResult&)>& line,
                                      const char* kind, std::ostream& out, std::ostream& err,
                                      double& seconds) {
  const uint64_t count = range.End - range.First;
  const bool progress = &err == &std::cerr && isatty(STDERR_FILENO) == 1;
  const auto start = std::chrono::steady_clock::now();
  std::vector<MatchResult> results;
  results.reserve(count);
  double shown = -1;  // elapsed seconds at the last progress line
  PlayInParallel(range, jobs, play, [&](const MatchResult& r) {
    out << line(r) << std::endl;
    results.push_back(r);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // At most five updates a second, and the last one.
    if (progress && (elapsed >= shown + 0.2 || results.size() == count)) {
      shown = elapsed;
      const double done = static_cast<double>(results.size());
      const double rest = elapsed / done * (static_cast<double>(count) - done);
      err << "\r" << kind << ": " << results.size() << " of " << count << " done, "
          << Clock(elapsed) << " elapsed, about " << Clock(rest) << " left   " << std::flush;
    }
  });
  if (progress) err << "\r" << std::string(60, ' ') << "\r";
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return results;
}

std::string TimeLine(uint64_t matches, double seconds) {
  return "time: " + FloatToFixed(seconds, 1) + " s (" +
         FloatToFixed(seconds > 0 ? 60.0 * static_cast<double>(matches) / seconds : 0, 0) +
         " matches per minute)\n";
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
  if (r.HasTotals) {
    j["totals"] = {{"delivered", {FloatJson(r.Delivered[0]), FloatJson(r.Delivered[1])}},
                   {"finished", {r.Finished[0], r.Finished[1]}},
                   {"lost", {r.Lost[0], r.Lost[1]}},
                   {"peak_army", {FloatJson(r.PeakArmy[0]), FloatJson(r.PeakArmy[1])}}};
  }
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
    if (j.contains("totals")) {
      const json& t = j.at("totals");
      auto two = [&](const char* key, auto& out) {
        const json& v = t.at(key);
        if (!v.is_array() || v.size() != 2) throw std::invalid_argument(key);
        for (size_t s = 0; s < 2; ++s) out[s] = v[s].get<std::decay_t<decltype(out[0])>>();
      };
      two("delivered", r.Delivered);
      two("finished", r.Finished);
      two("lost", r.Lost);
      two("peak_army", r.PeakArmy);
      r.HasTotals = true;
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
  std::array<uint64_t, kMatchEnds> ends{};
  uint64_t missionDraws = 0;
  for (const MatchResult& r : results) {
    if (r.Winner) ++wins[static_cast<size_t>(*r.Winner)];
    ++ends[static_cast<size_t>(r.End)];
    if (r.End == MatchEnd::Mission && !r.Winner) ++missionDraws;
  }
  const uint64_t limit = ends[static_cast<size_t>(MatchEnd::Limit)];
  const uint64_t stalemates = ends[static_cast<size_t>(MatchEnd::Stalemate)];
  const uint64_t wiped = ends[static_cast<size_t>(MatchEnd::BothGone)];
  const uint32_t last = static_cast<uint32_t>(firstSeed + (n == 0 ? 0 : n - 1));
  err << "batch: " << n << " matches of at most " << frameLimit << " frames, seeds " << firstSeed
      << " to " << last << "\n";
  for (size_t s = 0; s < 2; ++s) {
    Interval ci = WilsonInterval(wins[s], n);
    err << "wins side " << s << ": " << PadText(std::to_string(wins[s]), 6) << "  "
        << PadText(FloatToFixed(
                       n ? 100.0 * static_cast<double>(wins[s]) / static_cast<double>(n) : 0, 1),
                   5)
        << " %   95 % interval " << FloatToFixed(100 * ci.Low, 1) << " to "
        << FloatToFixed(100 * ci.High, 1) << " %\n";
  }
  err << "no winner:   " << PadText(std::to_string(limit + stalemates + wiped + missionDraws), 6)
      << "  (" << limit << " at the frame limit, " << stalemates << " stalemates, " << wiped
      << " with both sides gone" << (missionDraws ? ", " + std::to_string(missionDraws) : "")
      << (missionDraws ? " drawn by the mission" : "") << ")\n";

  // One row per time: how many matches have it, then the quartiles over those.
  err << PadText("", 22, true) << PadText("matches", 8) << PadText("q1", 10)
      << PadText("median", 10) << PadText("q3", 10) << "\n";
  auto row = [&](const std::string& name, const std::vector<double>& v, int decimals) {
    err << PadText(name, 22, true) << PadText(std::to_string(v.size()), 8);
    if (v.empty()) {
      err << PadText("-", 10) << PadText("-", 10) << PadText("-", 10) << "\n";
      return;
    }
    err << PadText(FloatToFixed(Quantile(v, 0.25), decimals), 10)
        << PadText(FloatToFixed(Quantile(v, 0.5), decimals), 10)
        << PadText(FloatToFixed(Quantile(v, 0.75), decimals), 10) << "\n";
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
  using Total = std::function<double(const MatchResult&, size_t)>;
  const std::pair<const char*, Total> totals[] = {
      {"delivered", [](const MatchResult& r, size_t s) { return r.Delivered[s]; }},
      {"finished", [](const MatchResult& r, size_t s) { return r.Finished[s]; }},
      {"lost", [](const MatchResult& r, size_t s) { return r.Lost[s]; }},
      {"peak_army", [](const MatchResult& r, size_t s) { return r.PeakArmy[s]; }}};
  for (const auto& [name, get] : totals) {
    for (size_t s = 0; s < 2; ++s) {
      std::vector<double> v;
      for (const MatchResult& r : results)
        if (r.HasTotals) v.push_back(get(r, s));
      if (!v.empty()) row(std::string(name) + " side " + std::to_string(s), v, 1);
    }
  }
  err << std::flush;
}

int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err) {
  MatchData data;
  if (const std::optional<int> status = data.Load(options.LevelFile, err)) return *status;
  const std::optional<AiFiles> ai = ReadAiOptions(options.Ai, err);
  if (!ai) {
    err << "rtsdemo: the AI scripts cannot be played; nothing played\n";
    return 1;
  }
  const MatchRange range = ShardRange(options.Matches, options.Shard, options.Shards);
  double seconds = 0;
  const std::vector<MatchResult> results = PlayAndPrint(
      range, options.Jobs,
      [&](uint64_t k) {
        const auto seed = static_cast<uint32_t>(options.Seed + k);
        MatchResult result = RunMatch(data.world(), k, seed, options.MaxFrames, data.level(), &*ai);
        result.Matches = options.Matches;
        return result;
      },
      [](const MatchResult& r) { return MatchJson(r).dump(); }, "batch", out, err, seconds);
  PrintSummary(results, options.MaxFrames, static_cast<uint32_t>(options.Seed + range.First), err);
  err << TimeLine(results.size(), seconds);
  return 0;
}

std::optional<std::vector<ResultLine>> ReadResultLines(const std::vector<std::string>& files,
                                                       std::istream& in, std::ostream& err) {
  std::vector<ResultLine> lines;
  auto read = [&](std::istream& text, const std::string& name) {
    std::string line;
    for (int number = 1; std::getline(text, line); ++number) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.find_first_not_of(" \t") == std::string::npos) continue;
      lines.push_back({name + ":" + std::to_string(number) + ": ", line});
    }
  };
  for (const std::string& name : files.empty() ? std::vector<std::string>{"-"} : files) {
    if (name == "-") {
      read(in, "(standard input)");
      continue;
    }
    std::ifstream file(name);
    if (!file) {
      err << "rtsdemo: cannot open " << name << "\n";
      return std::nullopt;
    }
    read(file, name);
  }
  return lines;
}

std::vector<MatchResult> MergeResults(const std::vector<ResultLine>& lines, const LineReader& read,
                                      const char* kind, std::ostream& err, bool& faulty) {
  std::vector<MatchResult> results;
  std::map<uint64_t, std::string> seen;  // match -> its line
  std::string firstRun;
  for (const ResultLine& line : lines) {
    std::string problem, run;
    std::optional<MatchResult> r = read(line.Text, run, problem);
    if (!r) {
      err << line.Where << problem << "\n";
      faulty = true;
      continue;
    }
    if (results.empty()) {
      firstRun = run;
    } else if (run != firstRun) {
      err << line.Where << "match " << r->Match << " belongs to another " << kind << "\n";
      faulty = true;
      continue;
    }
    auto [at, fresh] = seen.emplace(r->Match, line.Text);
    if (!fresh) {
      err << line.Where << "match " << r->Match << " repeated"
          << (at->second == line.Text ? "" : " with other results") << "; the first counts\n";
      faulty = true;
      continue;
    }
    results.push_back(*r);
  }
  // Missing matches as ranges of match numbers.
  const uint64_t matches = results.empty() ? 0 : results.front().Matches;
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
  if (results.empty()) err << "rtsdemo: no match to summarize\n";
  return results;
}

int SummarizeBatch(const std::vector<ResultLine>& lines, std::ostream& out, std::ostream& err) {
  bool faulty = false;
  const std::vector<MatchResult> results = MergeResults(
      lines,
      [](const std::string& line, std::string& run, std::string& problem) {
        std::optional<MatchResult> r = MatchFromJson(line, problem);
        if (r && nlohmann::json::parse(line).contains("ladder")) {
          problem = "a line of a ladder, not of a batch";
          return std::optional<MatchResult>();
        }
        if (r) {
          run = std::to_string(r->Matches) + " " + std::to_string(r->FrameLimit) + " " +
                std::to_string(static_cast<uint32_t>(r->Seed - r->Match));
        }
        return r;
      },
      "batch", err, faulty);
  if (results.empty()) return 1;
  const MatchResult& first = results.front();
  PrintSummary(results, first.FrameLimit, static_cast<uint32_t>(first.Seed - first.Match), out);
  return faulty ? 1 : 0;
}
