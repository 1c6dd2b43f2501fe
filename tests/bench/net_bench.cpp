// A late observer of an hour-long network match: the log decoded and re-simulated without
// drawing (360000 frames, two players' frame-dones and an input every 5 s).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <sstream>

#include "app/script.h"
#include "net/lockstep.h"

namespace {

struct NoUplink : Uplink {
  void Send(const Message&) override {}
};

std::vector<std::vector<uint8_t>> HourLog(uint32_t frames) {
  std::vector<std::vector<uint8_t>> log;
  Message m;
  m.Type = MsgType::Start;
  m.Seed = 3;
  m.OrderDelay = 2;
  m.You = 100;
  m.Slots = {{0, "player 0"}, {1, "player 1"}};
  log.push_back(Encode(m));
  for (uint32_t f = 2; f < frames; ++f) {
    for (uint8_t p = 0; p < 2; ++p) {
      Message c;
      c.Peer = p;
      c.Frame = f;
      if (f == 2 && p == 0) c.Lines = {"press 2"};
      if (f % 500 == 0) c.Lines = {"move " + std::to_string(100 + p * 200) + " 300", "down right"};
      if (!c.Lines.empty()) {
        c.Type = MsgType::Commands;
        log.push_back(Encode(c));
      }
      Message d;
      d.Type = MsgType::Done;
      d.Peer = p;
      d.Frame = f;
      log.push_back(Encode(d));
    }
  }
  Message live;
  live.Type = MsgType::Live;
  log.push_back(Encode(live));
  return log;
}

void BM_LateObserverJoin(benchmark::State& state) {
  if (chdir(RTS_SOURCE_DIR "/data") != 0) {
    state.SkipWithError("no data folder");
    return;
  }
  const uint32_t frames = static_cast<uint32_t>(state.range(0));
  const std::vector<std::vector<uint8_t>> log = HourLog(frames);
  size_t bytes = 0;
  for (const auto& m : log) bytes += m.size();
  for (auto _ : state) {
    RecordingPlatform platform;
    platform.answerAtOnce = false;
    HeadlessHost host(platform);
    host.Press(1);
    NoUplink up;
    std::ostringstream out;
    Lockstep watcher(host, up, out);
    std::string error;
    for (const auto& bytesOf : log) watcher.Receive(*Decode(bytesOf.data(), bytesOf.size(), error));
    while (watcher.next() < watcher.catchUp() && watcher.Ready()) watcher.Step(false);
    if (watcher.next() + 1 < frames) state.SkipWithError("did not catch up");
  }
  state.counters["log_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_LateObserverJoin)->Arg(360000)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
