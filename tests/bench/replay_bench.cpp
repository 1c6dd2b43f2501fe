// The replay viewer on an hour-long match of the shipped data (360 000 frames): opening it
// with its marks, seeking to any frame, one frame back, and the keyframes' memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/replay.h"
#include "app/script.h"

namespace {

constexpr uint64_t kHour = 360000;

// The recording, made once: the test level, seed 1, an hour of frames.
const Script* HourRecording() {
  static const Script* script = []() -> const Script* {
    if (chdir(RTS_SOURCE_DIR "/data") != 0) return nullptr;
    const std::string path =
        (std::filesystem::temp_directory_path() / ("rts_hour_" + std::to_string(getpid()) + ".txt"))
            .string();
    {
      RecordingPlatform platform;
      platform.fixedSeed = 1;
      HeadlessHost host(platform);
      std::string error;
      if (!host.inputs().Record(path, error)) return nullptr;
      host.Press(1);
      host.Press(2);
      for (uint64_t f = 0; f < kHour; ++f) host.Tick();
      host.inputs().Close();
    }
    std::ifstream in(path);
    auto* read = new Script(ReadScript(in));
    std::filesystem::remove(path);
    return read;
  }();
  return script;
}

void BM_ReplayOpen(benchmark::State& state) {
  const Script* script = HourRecording();
  if (!script) {
    state.SkipWithError("no recording");
    return;
  }
  size_t bytes = 0, keys = 0, marks = 0;
  uint64_t interval = 0;
  for (auto _ : state) {
    RecordingPlatform platform;
    HeadlessHost host(platform);
    host.viewer().Start(*script);
    const ReplayPlayer& replay = *host.viewer().Opened();
    bytes = replay.keyframeBytes();
    keys = replay.keyframeCount();
    marks = replay.marks().size();
    interval = replay.keyframeInterval();
  }
  state.counters["keyframe_MB"] = static_cast<double>(bytes) / (1 << 20);
  state.counters["keyframes"] = static_cast<double>(keys);
  state.counters["interval"] = static_cast<double>(interval);
  state.counters["marks"] = static_cast<double>(marks);
}
BENCHMARK(BM_ReplayOpen)->Iterations(2)->UseRealTime()->Unit(benchmark::kSecond);

// Seeks to random frames (arg 0) or one frame back from random frames (arg 1).
void BM_ReplaySeek(benchmark::State& state) {
  const Script* script = HourRecording();
  if (!script) {
    state.SkipWithError("no recording");
    return;
  }
  RecordingPlatform platform;
  HeadlessHost host(platform);
  host.viewer().Start(*script);
  host.viewer().Opened();
  std::mt19937 rng(5);
  std::uniform_int_distribution<uint64_t> any(1, kHour);
  const bool back = state.range(0) == 1;
  double worst = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const uint64_t f = any(rng);
    if (back) host.viewer().Seek(f);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    host.viewer().Seek(back ? f - 1 : f);
    worst = std::max(
        worst, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(BM_ReplaySeek)
    ->ArgName("back_one")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(200)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
