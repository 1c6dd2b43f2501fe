// Cost of a side's turn: the built-in opponent against the standard script, on the test
// level in mid-match and on the battle level (4004 objects).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "app/headless.h"
#include "game/contacts.h"
#include "game/data_check.h"
#include "game/level.h"
#include "game/loader.h"
#include "game/opponent.h"
#include "game/orders.h"
#include "script/lua_sandbox.h"
#include "script/side_scripts.h"

namespace {

// The shipped data; false without it.
bool LoadData(World& w) {
  const std::filesystem::path data = RTS_SOURCE_DIR "/data";
  std::error_code ec;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(data, ec);
  if (ec) return false;
  RecordingPlatform platform;
  CountingUploader uploader;
  LoadContext context{platform, uploader};
  bool ok = true;
  try {
    LoadRaceList(w, "ludi.txt", ".\\ludi\\", context);
    LoadRaceList(w, "orki.txt", ".\\orki\\", context);
  } catch (...) {
    ok = false;
  }
  std::filesystem::current_path(previous, ec);
  return ok && ValidateCatalogue(w).empty();
}

// Level 0: the test level after 3000 frames of the built-in opponent; 1: the battle level.
bool Start(int level, World& w) {
  if (!LoadData(w)) return false;
  w.Rng.Seed = 1;
  if (level == 1) {
    DataProblems problems;
    Level l = ReadLevelFile(RTS_SOURCE_DIR "/data/levels/battle.txt", problems);
    ResolveLevel(w, l, problems);
    if (ErrorCount(problems) > 0) return false;
    CreateLevel(w, l);
    return true;
  }
  CreateTestLevel(w);
  for (int f = 0; f < 3000; ++f) {
    ContactPass(w);
    ExecuteOrders(w);
    RunComputerSide(w, 0);
    RunComputerSide(w, 1);
  }
  return true;
}

AiFile Script(const char* text) {
  return {"bench.lua", text, 0};
}

// Side 0's turn, over and over on the same world; the script kind is range(1): 0 the built-in
// opponent, 1 standard.lua, 2 an empty think().
void BM_SideTurn(benchmark::State& state) {
  World w;
  if (!Start(static_cast<int>(state.range(0)), w)) {
    state.SkipWithError("no shipped data");
    return;
  }
  const World start = w;
  std::unique_ptr<SideScripts> scripts;
  if (state.range(1) > 0) {
    scripts = std::make_unique<SideScripts>(SandboxLimits{}, [](const std::string&) {});
    std::string problem;
    std::filesystem::current_path(RTS_SOURCE_DIR "/data");
    auto standard = ReadAiFile("standard.lua", problem);
    scripts->Assign(0, state.range(1) == 1 ? *standard : Script("function think() end"));
    scripts->Restart(0);
  }
  uint64_t frame = 0;
  for (auto _ : state) {
    if (scripts) {
      scripts->Play(w, 0, frame++);
    } else {
      RunComputerSide(w, 0);
    }
  }
  if (scripts && !scripts->Stopped(0).empty()) {
    static std::string stopped;
    stopped = scripts->Stopped(0);
    state.SkipWithError(stopped.c_str());
  }
  state.counters["objects"] = static_cast<double>(w.Objects.size());
  // What a snapshot copies of the script.
  if (scripts) {
    const SideScripts::Saved saved = scripts->Save();
    state.counters["state_bytes"] =
        saved.Sides[0].State ? static_cast<double>(saved.Sides[0].State->size()) : 0;
  }
}
BENCHMARK(BM_SideTurn)
    ->ArgNames({"battle", "script"})
    ->ArgsProduct({{0, 1}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

// One call that runs to the end of its instruction budget (the default), for the budget's
// worth in frames of 10 ms: 0 an empty loop, 1 calls and new tables, 2 string building.
void BM_RunawayCall(benchmark::State& state) {
  const char* const bodies[] = {
      "while true do end",
      "local t = {} local function f(x) return {x = x} end "
      "while true do t[#t % 100 + 1] = f(#t) end",
      "local s = '' while true do s = (s .. 'ab'):sub(-200) end",
  };
  LuaSandbox box({}, [](const std::string&) {});
  World w;
  box.SetRandom(&w.Rng);
  const std::string text =
      std::string("function think() ") + bodies[static_cast<size_t>(state.range(0))] + " end";
  if (!box.Open("bench.lua") || !box.Run(text)) {
    state.SkipWithError("the script does not load");
    return;
  }
  uint64_t used = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(box.Call("think"));
    used = box.used();
  }
  state.counters["instructions"] = static_cast<double>(used);
}
BENCHMARK(BM_RunawayCall)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
