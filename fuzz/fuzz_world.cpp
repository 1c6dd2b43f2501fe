// Shared pieces of the fuzz targets: the small world and scratch files.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "fuzz_targets.h"

World SmallPlayableWorld() {
  World w;
  auto drawable = [](TOpisan& type) {
    type.Textures = {1};
    type.SheetWidth = 64;
    type.SheetHeight = 64;
    type.FrameWidth = 32;
    type.FrameHeight = 32;
    type.Animations.assign(4, TKadri{0, {1, 2}});
  };
  for (int r = 0; r < 2; ++r) {
    TRassa race;
    TOpisan worker;
    worker.Name = "worker";
    worker.Radius = 12;
    worker.Energies = {{"hp", 40, 0}};
    worker.Speeds = {1};
    worker.Attacks = {{"hit", "x", 0.5f, "y", 0}};
    worker.Buildables = {"base", "soldier"};
    worker.Mining = {{"ore", 10, 0}};
    worker.PriceResources = {{"gold", 30, 0}};
    drawable(worker);
    TOpisan base;
    base.Name = "base";
    base.Radius = 30;
    base.Energies = {{"hp", 300, 0}};
    base.Buildables = {"worker"};
    base.PriceResources = {{"gold", 60, 0}};
    drawable(base);
    TOpisan soldier = worker;
    soldier.Name = "soldier";
    soldier.Buildables.clear();
    soldier.Attacks = {{"axe", "x", 2, "y", 0}, {"kick", "x", 0.1f, "y", 0}};
    race.Types = {worker, base};
    if (r == 0) {
      TOpisan deposit;
      deposit.Name = "mine";
      deposit.Radius = 25;
      deposit.Energies = {{"hp", 1000, 0}};
      deposit.IsResource = true;
      deposit.ResourceAmount = 50;
      drawable(deposit);
      race.Types.push_back(deposit);
    }
    race.Types.push_back(soldier);
    w.Catalogue.push_back(race);
  }
  return w;
}

std::string ScratchDir() {
  // Kept alive past static destruction: the exit handler removes the folder.
  static const std::string* dir = [] {
    std::error_code error;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    auto* made = new std::string((base / ("rts_fuzz_" + std::to_string(getpid()))).string());
    std::filesystem::create_directories(*made);
    return made;
  }();
  static const bool cleanup = [] {
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(*dir, ignored);
    });
    return true;
  }();
  (void)cleanup;
  return *dir;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
}
