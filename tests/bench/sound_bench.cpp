// Cost of sound per frame: finding the frame's events in the battle (4 000 fighters) and placing
// them, with about 2 000 objects in view. No device: the OpenAL calls are at most a dozen a
// frame whatever the world's size.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <utility>

#include "app/script.h"
#include "sound/sound_player.h"

namespace {

void BM_SoundFrame(benchmark::State& state) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(RTS_SOURCE_DIR "/data");
  RecordingPlatform platform;
  platform.fixedSeed = 1;
  HeadlessHost host(platform);
  std::ostringstream out;
  host.Run("resize 1000 1200\npress 1\nlevel battle\npress 2\ntick 30\n", out);
  // Two successive frames, swapped in turn: each call compares one frame with the one before.
  World before = host.world();
  host.Tick();
  World other = std::move(before);
  SoundOptions options;
  options.openDevice = false;
  std::ostringstream err;
  SoundPlayer player(options, err);
  player.FrameDone(host);  // takes the world as it stands
  const ViewArea view = ViewOf(host);
  int64_t inView = 0;
  for (const TObyekt& o : host.world().Objects)
    inView += std::abs(o.X - view.CentreX) <= view.HalfWidth &&
              std::abs(o.Y - view.CentreY) <= view.HalfHeight;
  for (auto _ : state) {
    std::swap(host.world().Objects, other.Objects);
    std::swap(host.world().Sides, other.Sides);
    ++host.frontend().state().Frames;
    player.FrameDone(host);
  }
  state.counters["objects_in_view"] = static_cast<double>(inView);
  state.counters["objects"] = static_cast<double>(host.world().Objects.size());
  std::filesystem::current_path(previous);
}
BENCHMARK(BM_SoundFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
