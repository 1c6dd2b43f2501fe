// Load of the game data: the shipped data set, and a synthetic one of similar size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/headless.h"
#include "game/data_check.h"
#include "game/loader.h"
#include "util/cp1251.h"

namespace fs = std::filesystem;

namespace {

// Runs the load button's work in the given folder: both race lists and the ground.
void LoadAll(benchmark::State& state, const fs::path& folder) {
  fs::path old = fs::current_path();
  fs::current_path(folder);
  size_t types = 0;
  for (auto _ : state) {
    World world;
    RecordingPlatform platform;
    platform.answerAtOnce = false;
    CountingUploader uploader;
    LoadContext context{platform, uploader};
    try {
      LoadGameData(world, context);
    } catch (const LoadError& e) {
      state.SkipWithError(e.what());
      break;
    } catch (const ProgramExit&) {
      state.SkipWithError("a bitmap could not be loaded");
      break;
    }
    types = world.Catalogue[0].Types.size() + world.Catalogue[1].Types.size();
    benchmark::DoNotOptimize(world.Catalogue.data());
  }
  state.counters["types"] = static_cast<double>(types);
  fs::current_path(old);
}

void BM_LoadShippedData(benchmark::State& state) {
  const char* override = std::getenv("RTS_DATA_DIR");
  fs::path folder = override ? fs::path(override) : fs::path(RTS_SOURCE_DIR "/data");
  if (!fs::exists(folder / "ludi" / "ludi.txt")) {
    state.SkipWithError("no data set in data/ (data/ludi is missing)");
    for (auto _ : state) {
    }
    return;
  }
  LoadAll(state, folder);
}
BENCHMARK(BM_LoadShippedData)->Unit(benchmark::kMillisecond);

// rtsdemo --check on the shipped data: every file read, every bitmap decoded, all checks.
void BM_CheckShippedData(benchmark::State& state) {
  const char* override = std::getenv("RTS_DATA_DIR");
  fs::path folder = override ? fs::path(override) : fs::path(RTS_SOURCE_DIR "/data");
  fs::path old = fs::current_path();
  std::error_code error;
  fs::current_path(folder, error);
  if (error) {
    state.SkipWithError("no data set");
    for (auto _ : state) {
    }
    return;
  }
  for (auto _ : state) {
    std::ostringstream out;
    if (RunCheck(out) != 0) {
      state.SkipWithError(out.str().c_str());
      break;
    }
    benchmark::DoNotOptimize(out.str().size());
  }
  fs::current_path(old);
}
BENCHMARK(BM_CheckShippedData)->Unit(benchmark::kMillisecond);

void WriteBitmap(const fs::path& path, int32_t w, int32_t h) {
  std::vector<uint8_t> file(54, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  file[28] = 24;
  for (int32_t i = 0; i < w * h; ++i) {
    bool key = (i / 7) % 3 == 0;
    file.insert(file.end(), {uint8_t(key ? 252 : i), uint8_t(key ? 252 : 80), 252});
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

// Two races of six types, each with one 320 x 512 sheet, and a 512 x 256 ground.
fs::path MakeSyntheticData() {
  fs::path dir = fs::temp_directory_path() / ("load_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir / "maps");
  WriteBitmap(dir / "maps" / "summer2.bmp", 512, 256);
  for (const char* race : {"ludi", "orki"}) {
    fs::create_directories(dir / race);
    std::ofstream list(dir / race / (std::string(race) + ".txt"), std::ios::binary);
    for (int t = 0; t < 6; ++t) {
      // Appended: GCC 12 at -O3 warns falsely (-Wrestrict) on "literal" + text.
      std::string file = std::string("t").append(std::to_string(t)).append(".txt");
      std::string sheet =
          std::string(".\\").append(race).append("\\t").append(std::to_string(t)).append(".bmp");
      WriteBitmap(dir / race / std::string("t").append(std::to_string(t)).append(".bmp"), 320, 512);
      list << (t ? "\r\n" : "") << file;
      std::ofstream(dir / race / file, std::ios::binary) << ToCp1251(
          ")название\r\ntype" + std::to_string(t) + " second\r\n)спрайты\r\n" + sheet +
          "\r\n)индексы\r\n0 1 2 3 4\r\n0 5 6 7 8\r\n0 9 10 11\r\n0 12 13 14 15 16\r\n"
          ")параметры\r\n16 320 512 64 32\r\n)энергия\r\nhp 100 100\r\n)скорость\r\nstep 1\r\n"
          ")удар\r\nmech rez 1.5 blizh 0\r\n)стройка\r\ntype0\r\n)добыча\r\nruda 10 0\r\n"
          ")цена\r\n]ресурсы\r\nzoloto 50 0\r\n]объекты\r\ntype1 1\r\n)ресурс\r\n1000\r\n");
    }
  }
  return dir;
}

void BM_LoadSyntheticData(benchmark::State& state) {
  fs::path dir = MakeSyntheticData();
  LoadAll(state, dir);
  fs::remove_all(dir);
}
BENCHMARK(BM_LoadSyntheticData)->Unit(benchmark::kMillisecond);

// Decoding alone, one 512 x 512 sheet held in memory.
void BM_DecodeSheet(benchmark::State& state) {
  fs::path dir = fs::temp_directory_path() / ("decode_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  WriteBitmap(dir / "s.bmp", 512, 512);
  std::ifstream in(dir / "s.bmp", std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  fs::remove_all(dir);
  for (auto _ : state) {
    BmpFailure failure;
    auto image = DecodeBMP(bytes, failure);
    benchmark::DoNotOptimize(image);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_DecodeSheet)->Unit(benchmark::kMicrosecond);

}  // namespace
