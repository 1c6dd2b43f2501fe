#include "fuzz_world.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

World SmallPlayableWorld() {
  World w;
  for (int r = 0; r < 2; ++r) {
    TRassa race;
    TOpisan worker;
    worker.Name = "worker";
    worker.Radius = 12;
    worker.Energies = {{"hp", 40, 0}};
    worker.Speeds = {1};
    worker.Attacks = {{"hit", "x", 0.5f, "y", 0}};
    worker.Buildables = {"base"};
    worker.Mining = {{"ore", 10, 0}};
    worker.PriceResources = {{"gold", 30, 0}};
    TOpisan base;
    base.Name = "base";
    base.Radius = 30;
    base.Energies = {{"hp", 300, 0}};
    base.Buildables = {"worker"};
    base.PriceResources = {{"gold", 60, 0}};
    TOpisan soldier = worker;
    soldier.Name = "soldier";
    soldier.Attacks = {{"axe", "x", 2, "y", 0}, {"kick", "x", 0.1f, "y", 0}};
    race.Types = {worker, base};
    if (r == 0) {
      TOpisan deposit;
      deposit.Name = "mine";
      deposit.Radius = 25;
      deposit.Energies = {{"hp", 1000, 0}};
      deposit.IsResource = true;
      deposit.ResourceAmount = 50;
      race.Types.push_back(deposit);
    }
    race.Types.push_back(soldier);
    w.Catalogue.push_back(race);
  }
  return w;
}

std::string ScratchDir() {
  auto dir = std::filesystem::temp_directory_path() / ("rts_fuzz_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
}
