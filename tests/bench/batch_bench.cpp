// Batch matches per minute of the shipped data at 1 and 2 jobs (whole matches, seeds 1-20).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>

#include "app/batch.h"
#include "app/script.h"

namespace {

constexpr uint64_t kMatches = 20;

void BM_BatchMatches(benchmark::State& state) {
  if (chdir(RTS_SOURCE_DIR "/data") != 0) {
    state.SkipWithError("no data folder");
    return;
  }
  RecordingPlatform platform;
  HeadlessHost loader(platform);
  loader.Press(1);
  BatchOptions options;
  options.Matches = kMatches;
  options.Jobs = static_cast<unsigned>(state.range(0));
  uint64_t frames = 0;
  double seconds = 0;  // wall clock: the worker threads' time is not the caller's CPU time
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    RunMatches(loader.frontend().world(), options,
               [&](const MatchResult& r) { frames += r.Frames; });
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  const auto matches = static_cast<double>(state.iterations() * kMatches);
  state.counters["matches_per_min"] = matches * 60 / seconds;
  state.counters["frames_per_s"] = static_cast<double>(frames) / seconds;
}
BENCHMARK(BM_BatchMatches)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace
