// Cost of one simulation frame: contact pass, orders, and the computer opponent for both sides.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/headless.h"
#include "contact_reference.h"
#include "game/contacts.h"
#include "game/data_check.h"
#include "game/loader.h"
#include "game/opponent.h"
#include "game/order_language.h"
#include "game/orders.h"
#include "util/random.h"

namespace {

// The contact pass as it was before the grid: every pair of live objects, for the figures
// before and after.
struct Circle {
  float Radius = 0;
  int32_t Speeds = 0;
};
Circle CircleOf(const World& world, const TObyekt& o) {
  const TOpisan* type = TypeOf(world, o);
  if (type == nullptr) return {};
  return {type->Radius, static_cast<int32_t>(type->Speeds.size())};
}
int32_t AttackTarget(const std::string& order) {
  return OrderTarget(order, Verb::Atakovat);
}
void ContactPassBefore(World& world) {
  // Liveness cannot change during the pass (it only moves objects and rewrites thoughts,
  // cargo and money), so the live objects are gathered once and only their pairs visited.
  // OnContact and OnApart rewrite only the reacting object, and OnApart acts only on an
  // object attacking the other one, so each object's attack target is kept here and
  // refreshed after every reaction of that object; apart pairs then cost no text scan.
  struct Live {
    int32_t Index;
    Circle Shape;
    int32_t Target;
  };
  std::vector<Live> live;
  live.reserve(world.Objects.size());
  for (size_t k = 0; k < world.Objects.size(); ++k) {
    const TObyekt& o = world.Objects[k];
    if (IsAlive(o)) {
      live.push_back({static_cast<int32_t>(k), CircleOf(world, o), AttackTarget(o.Thought1)});
    }
  }
  auto refresh = [&world](Live& l) { l.Target = AttackTarget(ObjectAt(world, l.Index).Thought1); };
  const size_t count = live.size();
  for (size_t a = 0; a < count; ++a) {
    Live& la = live[a];
    for (size_t b = a + 1; b < count; ++b) {
      Live& lb = live[b];
      TObyekt& oa = ObjectAt(world, la.Index);
      TObyekt& ob = ObjectAt(world, lb.Index);
      if (SeparatePair(oa.X, oa.Y, ob.X, ob.Y, la.Shape.Speeds, la.Shape.Radius, lb.Shape.Radius,
                       lb.Shape.Speeds)) {
        OnContact(world, la.Index, lb.Index);
        OnContact(world, lb.Index, la.Index);
        refresh(la);
        refresh(lb);
        continue;
      }
      if (la.Target == lb.Index) {
        OnApart(world, la.Index, lb.Index);
        refresh(la);
      }
      if (lb.Target == la.Index) {
        OnApart(world, lb.Index, la.Index);
        refresh(lb);
      }
    }
  }
}

void Frame(World& w, bool before = false) {
  if (before) {
    ContactPassBefore(w);
  } else {
    ContactPass(w);
  }
  ExecuteOrders(w);
  RunComputerSide(w, 0);
  RunComputerSide(w, 1);
}

// Two races of worker, base and deposit; health high enough that nobody dies while measured.
World SyntheticCatalogue() {
  World w;
  TOpisan worker;
  worker.Radius = 12;
  worker.Energies = {{"health", 1e9f, 0}};
  worker.Speeds = {1};
  worker.Attacks = {{"hit", "", 1, "", 0}};
  worker.Buildables = {"base"};
  worker.Mining = {{"ore", 10, 0}};
  worker.PriceResources = {{"gold", 50, 0}};
  TOpisan base;
  base.Radius = 40;
  base.Energies = {{"health", 1e9f, 0}};
  base.Buildables = {"worker"};
  base.PriceResources = {{"gold", 300, 0}};
  TOpisan deposit;
  deposit.Radius = 30;
  deposit.Energies = {{"health", 1e9f, 0}};
  deposit.IsResource = true;
  deposit.ResourceAmount = 1e6f;
  w.Catalogue.push_back({{worker, base, deposit}});
  w.Catalogue.push_back({{worker, base}});
  return w;
}

// `live` live objects (a base per side, a deposit per ten, the rest workers) spread over a
// square of `area` square units per object, plus `dead` dead workers.
World SyntheticWorld(int live, int dead, double area = 3600) {
  World w = SyntheticCatalogue();
  Random r{2024};
  const auto extent = static_cast<uint32_t>(std::sqrt(area * live) + 100);
  auto at = [&] { return static_cast<float>(r.Next(extent)) - static_cast<float>(extent / 2); };
  for (int k = 0; k < dead; ++k) {
    SpawnObject(w, 0, kWorkerKind, k % 2, at(), at(), 0);
    w.Objects.back().Energy[0] = 0;
  }
  SpawnObject(w, 0, kBaseKind, 0, at(), at(), 0);
  SpawnObject(w, 1, kBaseKind, 1, at(), at(), 0);
  for (int k = 2; k < live; ++k) {
    if (k % 10 == 0) {
      SpawnObject(w, 0, kDepositKind, kNeutralSide, at(), at(), 0);
    } else {
      SpawnObject(w, k % 2, kWorkerKind, k % 2, at(), at(), static_cast<float>(r.Next(360)));
    }
  }
  w.Sides[0].Money = 570;
  w.Sides[1].Money = 570;
  w.Rng.Seed = 1;
  return w;
}

void BM_SyntheticFrame(benchmark::State& state) {
  World w = SyntheticWorld(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    Frame(w);
    benchmark::DoNotOptimize(w.Objects.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["objects"] = static_cast<double>(w.Objects.size());
}
BENCHMARK(BM_SyntheticFrame)
    ->Args({50, 0})
    ->Args({200, 0})
    ->Args({1000, 0})
    ->Args({1000, 10000})
    ->Unit(benchmark::kMicrosecond);

constexpr int kDensityFrames = 100;

// Frames per second and cost per live object: `live` objects at one per `area` square units
// (4000 sparse, 1000 crowded), plus `dead` dead ones.
void BM_DensityFrame(benchmark::State& state) {
  const auto live = static_cast<int>(state.range(0));
  World w =
      SyntheticWorld(live, static_cast<int>(state.range(2)), static_cast<double>(state.range(1)));
  const bool before = state.range(3) != 0;
  // Restarted every kDensityFrames frames: the crowds gather on their targets as they walk,
  // so every measurement covers the same stretch of play.
  const World start = w;
  int frame = 0;
  for (auto _ : state) {
    if (frame == kDensityFrames) {
      state.PauseTiming();
      w = start;
      frame = 0;
      state.ResumeTiming();
    }
    Frame(w, before);
    ++frame;
    benchmark::DoNotOptimize(w.Objects.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["s_per_live"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * live,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
// before = 1: the contact pass as it was, every pair.
void DensityArgs(benchmark::internal::Benchmark* b) {
  b->ArgNames({"live", "area", "dead", "before"});
  for (const int before : {0, 1}) {
    for (const int area : {4000, 1000}) {
      for (const int live : {1000, 5000, 10000, 20000}) b->Args({live, area, 0, before});
      // Every pair of 50 000 or more would take minutes a frame.
      if (before == 0) {
        for (const int live : {50000, 200000}) b->Args({live, area, 0, before});
      }
    }
    b->Args({1000, 1000, 20000, before});
  }
}
BENCHMARK(BM_DensityFrame)->Apply(DensityArgs)->Unit(benchmark::kMillisecond);

// The contact pass alone, gathered (0) against the plain pairwise sweep (1).
void BM_ContactPass(benchmark::State& state) {
  World w = SyntheticWorld(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const bool plain = state.range(2) != 0;
  for (auto _ : state) {
    if (plain) {
      ContactPassPlain(w);
    } else {
      ContactPass(w);
    }
    benchmark::DoNotOptimize(w.Objects.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ContactPass)
    ->Args({1000, 0, 0})
    ->Args({1000, 0, 1})
    ->Args({1000, 10000, 0})
    ->Args({1000, 10000, 1})
    ->Args({20000, 0, 0})
    ->Args({50000, 0, 0})
    ->Args({200000, 0, 0})
    ->Unit(benchmark::kMicrosecond);

// The test level run as a match; restarted every `kMatchFrames` frames so that every
// measurement covers the same stretch of play.
constexpr int kMatchFrames = 20000;

// The shipped data (RTS_DATA_DIR overrides the folder) and its test level.
bool LoadShippedLevel(World& w) {
  const char* dir = std::getenv("RTS_DATA_DIR");
  const std::filesystem::path data = dir != nullptr ? dir : RTS_SOURCE_DIR "/data";
  if (!std::filesystem::exists(data / "ludi")) return false;
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
  if (!ok || !ValidateCatalogue(w).empty()) return false;
  CreateTestLevel(w);
  w.Rng.Seed = 1;
  return true;
}

// One frame per iteration of the match that starts at `start`.
void RunMatch(benchmark::State& state, const World& start, bool before = false) {
  World w = start;
  int frame = 0;
  size_t most = 0;
  for (auto _ : state) {
    if (frame == kMatchFrames) {
      state.PauseTiming();
      w = start;
      frame = 0;
      state.ResumeTiming();
    }
    Frame(w, before);
    ++frame;
    most = std::max(most, w.Objects.size());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["objects"] = static_cast<double>(most);
}

void BM_TestLevelMatch(benchmark::State& state) {
  World start;
  if (!LoadShippedLevel(start)) {
    state.SkipWithError("no shipped data in data/ludi");
    return;
  }
  RunMatch(state, start, state.range(0) != 0);
}
BENCHMARK(BM_TestLevelMatch)
    ->ArgName("before")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(3.0);

// The test level on a made-up catalogue with mortal objects, for when no data is shipped.
void BM_SyntheticTestLevelMatch(benchmark::State& state) {
  World start = SyntheticCatalogue();
  // Prices that leave money for one more worker before a side must mine.
  for (TRassa& race : start.Catalogue) {
    for (TOpisan& type : race.Types) type.Energies[0].Value = type.IsResource ? 100 : 200;
    race.Types[kWorkerKind].PriceResources[0].Amount = 150;
    race.Types[kBaseKind].PriceResources[0].Amount = 400;
  }
  start.Catalogue[0].Types[kDepositKind].ResourceAmount = 2000;
  CreateTestLevel(start);
  start.Rng.Seed = 1;
  RunMatch(state, start);
}
BENCHMARK(BM_SyntheticTestLevelMatch)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

}  // namespace
