#include "app/batch.h"

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <thread>

#include "app/data_folder.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "util/bmp.h"
#include "util/stats.h"

namespace {

constexpr uint64_t kMaxMatches = 1000000;  // results are kept for the summary

bool ParseNumber(const std::string& text, uint64_t lo, uint64_t hi, uint64_t& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= lo && value <= hi;
}

bool IsPlayingSide(int32_t side) {
  return side == 0 || side == 1;
}

// Watches a match frame by frame for the times it reports and for its end.
class MatchObserver {
 public:
  explicit MatchObserver(MatchResult& result) : result_(result) {}

  // Looks at the world after `frame` frames (0: the level just created). Returns true when
  // the match is over.
  bool Look(const World& world, uint64_t frame) {
    std::array<int32_t, 2> workers{}, bases{};
    alive_.resize(world.Objects.size(), false);
    cargo_.resize(world.Objects.size(), 0.0f);
    for (size_t i = 0; i < world.Objects.size(); ++i) {
      const TObyekt& o = world.Objects[i];
      const bool isNew = i >= seen_;
      const bool alive = IsAlive(o);
      const float cargo = CargoOf(o);
      if (frame > 0 && IsPlayingSide(o.Side)) {
        const auto side = static_cast<size_t>(o.Side);
        // A spawn that died within its first frame was a live object too.
        if ((alive_[i] || isNew) && !alive) Mark(result_.FirstDeath[side], frame);
        if (isNew && o.Kind == kBaseKind) Mark(result_.FirstBase[side], frame);
        // Only a delivery lowers a unit's cargo.
        if (!isNew && cargo < cargo_[i]) Mark(result_.FirstDelivery[side], frame);
      }
      alive_[i] = alive;
      cargo_[i] = cargo;
      if (alive && IsPlayingSide(o.Side)) {
        if (o.Kind == kWorkerKind) ++workers[static_cast<size_t>(o.Side)];
        if (o.Kind == kBaseKind) ++bases[static_cast<size_t>(o.Side)];
      }
    }
    seen_ = world.Objects.size();
    for (size_t s = 0; s < 2; ++s)
      result_.PeakWorkers[s] = std::max(result_.PeakWorkers[s], workers[s]);
    const bool has0 = workers[0] + bases[0] > 0;
    const bool has1 = workers[1] + bases[1] > 0;
    if (has0 != has1) result_.Winner = has0 ? 0 : 1;
    // Both sides gone at once: nothing can be built again, so the match ends without a winner.
    return !has0 || !has1;
  }

 private:
  static void Mark(std::optional<uint64_t>& slot, uint64_t frame) {
    if (!slot) slot = frame;
  }

  MatchResult& result_;
  std::vector<bool> alive_;
  std::vector<float> cargo_;
  size_t seen_ = 0;
};

// A float as JSON by its shortest decimal text (570.8 rather than 570.79998779296875).
nlohmann::ordered_json FloatJson(float value) {
  char buf[32];
  auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  double shortest = 0;
  std::from_chars(buf, end, shortest);
  return shortest;
}

nlohmann::ordered_json Pair(const std::array<std::optional<uint64_t>, 2>& v) {
  nlohmann::ordered_json a = nlohmann::ordered_json::array();
  for (const auto& x : v) a.push_back(x ? nlohmann::ordered_json(*x) : nlohmann::ordered_json());
  return a;
}

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string Clock(double seconds) {
  auto s = static_cast<uint64_t>(seconds + 0.5);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llu:%02llu", static_cast<unsigned long long>(s / 60),
                static_cast<unsigned long long>(s % 60));
  return buf;
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
        arg != "--data") {
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
    } else {
      ok = !v.empty();
      options.DataDir = v;
    }
    if (!ok) {
      const char* range = arg == "--batch"  ? " (1 to 1000000)"
                          : arg == "--jobs" ? " (1 to 256)"
                          : arg == "--seed" ? " (0 to 4294967295)"
                          : arg == "--data" ? ""
                                            : " (0 or more)";
      problem = "bad value '" + v + "' for " + arg + range;
      return std::nullopt;
    }
  }
  if (!haveBatch) {
    problem = "--batch needs a number of matches";
    return std::nullopt;
  }
  return options;
}

MatchResult RunMatch(const World& loaded, uint64_t match, uint32_t seed, uint64_t maxFrames) {
  MatchResult result;
  result.Match = match;
  result.Seed = seed;
  // The same objects as `rtsdemo --headless --seed S`: each match has its own.
  RecordingPlatform platform;
  platform.fixedSeed = seed;
  HeadlessHost host(platform);
  Frontend& f = host.frontend();
  f.AcceptLoadedData(loaded);
  host.Press(2);
  MatchObserver observer(result);
  bool over = observer.Look(f.world(), 0);
  uint64_t frames = 0;
  while (!over && frames < maxFrames) {
    host.Tick();
    ++frames;
    over = observer.Look(f.world(), frames);
  }
  result.Frames = frames;
  result.Hash = StateHash(f);
  for (size_t s = 0; s < 2; ++s) result.Money[s] = f.world().Sides[s].Money;
  return result;
}

void RunMatches(const World& loaded, const BatchOptions& options,
                const std::function<void(const MatchResult&)>& report) {
  unsigned jobs = options.Jobs;
  if (jobs == 0) jobs = std::max(1u, std::thread::hardware_concurrency());
  if (jobs > options.Matches) jobs = static_cast<unsigned>(std::max<uint64_t>(options.Matches, 1));

  std::atomic<uint64_t> next{0};
  std::atomic<bool> stop{false};
  std::mutex reportMutex;
  std::exception_ptr failure;
  auto work = [&] {
    try {
      for (;;) {
        if (stop.load()) return;
        const uint64_t k = next.fetch_add(1);
        if (k >= options.Matches) return;
        const auto seed = static_cast<uint32_t>(options.Seed + k);
        MatchResult result = RunMatch(loaded, k, seed, options.MaxFrames);
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
  j["hash"] = HashText(r.Hash);
  j["first_base"] = Pair(r.FirstBase);
  j["first_delivery"] = Pair(r.FirstDelivery);
  j["first_death"] = Pair(r.FirstDeath);
  j["peak_workers"] = {r.PeakWorkers[0], r.PeakWorkers[1]};
  j["money"] = {FloatJson(r.Money[0]), FloatJson(r.Money[1])};
  return j;
}

void PrintSummary(const std::vector<MatchResult>& results, const BatchOptions& options,
                  std::ostream& err) {
  const uint64_t n = results.size();
  std::array<uint64_t, 2> wins{};
  uint64_t limit = 0, wiped = 0;
  for (const MatchResult& r : results) {
    if (r.Winner) {
      ++wins[static_cast<size_t>(*r.Winner)];
    } else if (r.Frames >= options.MaxFrames) {
      ++limit;
    } else {
      ++wiped;
    }
  }
  const uint32_t last = static_cast<uint32_t>(options.Seed + (n == 0 ? 0 : n - 1));
  err << "batch: " << n << " matches of at most " << options.MaxFrames << " frames, seeds "
      << options.Seed << " to " << last << "\n";
  for (size_t s = 0; s < 2; ++s) {
    Interval ci = WilsonInterval(wins[s], n);
    err << "wins side " << s << ": " << Pad(std::to_string(wins[s]), 6) << "  "
        << Pad(Fixed(n ? 100.0 * static_cast<double>(wins[s]) / static_cast<double>(n) : 0, 1), 5)
        << " %   95 % interval " << Fixed(100 * ci.Low, 1) << " to " << Fixed(100 * ci.High, 1)
        << " %\n";
  }
  err << "no winner:   " << Pad(std::to_string(limit + wiped), 6) << "  (" << limit
      << " at the frame limit, " << wiped << " with both sides gone)\n";

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
        << "usage: rtsdemo --batch N [--frames F] [--jobs J] [--seed S] [--data DIR]\n";
    return 2;
  }
  if (!options->DataDir.empty()) {
    std::error_code error;
    if (const std::string problem = DataFolderProblem(options->DataDir); !problem.empty()) {
      err << "rtsdemo: " << problem << "\n";
      return 2;
    }
    SetDataFolder(std::filesystem::absolute(options->DataDir, error).lexically_normal().string());
  }

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

  const bool progress = &err == &std::cerr && isatty(STDERR_FILENO) == 1;
  const auto start = std::chrono::steady_clock::now();
  std::vector<MatchResult> results;
  results.reserve(options->Matches);
  double shown = -1;  // elapsed seconds at the last progress line
  RunMatches(loaded, *options, [&](const MatchResult& r) {
    out << MatchJson(r).dump() << std::endl;
    results.push_back(r);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // At most five updates a second, and the last one.
    if (progress && (elapsed >= shown + 0.2 || results.size() == options->Matches)) {
      shown = elapsed;
      const double done = static_cast<double>(results.size());
      const double rest = elapsed / done * (static_cast<double>(options->Matches) - done);
      err << "\rbatch: " << results.size() << " of " << options->Matches << " done, "
          << Clock(elapsed) << " elapsed, about " << Clock(rest) << " left   " << std::flush;
    }
  });
  if (progress) err << "\r" << std::string(60, ' ') << "\r";
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  PrintSummary(results, *options, err);
  err << "time: " << Fixed(seconds, 1) << " s ("
      << Fixed(seconds > 0 ? 60.0 * static_cast<double>(results.size()) / seconds : 0, 0)
      << " matches per minute)\n";
  return 0;
}
