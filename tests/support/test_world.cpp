#include "test_world.h"

#include <gtest/gtest.h>

BasicTypes::BasicTypes() {
  Worker.Radius = 10;
  Worker.Energies = {{"health", 10, 0}};
  Worker.Speeds = {1};
  Worker.Mining = {{"ore", 10, 0}};
  Base.Radius = 30;
  Base.Energies = {{"health", 50, 0}};
  Deposit.Radius = 20;
  Deposit.Energies = {{"health", 100, 0}};
  Deposit.IsResource = true;
  Deposit.ResourceAmount = 1000;
}

TObyekt& Spawn(World& w, int32_t kind, int32_t side, float x, float y, float angle) {
  EXPECT_TRUE(SpawnObject(w, 0, kind, side, x, y, angle));
  return w.Objects.back();
}
