// Shared pieces of the fuzz targets: a quiet platform and a small playable world.
#pragma once

#include <cstdint>
#include <string>

#include "game/world.h"
#include "util/bmp.h"
#include "util/platform.h"

class QuietPlatform : public Platform {
 public:
  void ShowMessage(const std::string&, const std::string&) override {}
  uint32_t TickCount() override { return 0; }
  uint32_t ClockSeed() override { return 1; }
};

class NumberingUploader : public TextureUploader {
 public:
  uint32_t Upload(const Image&) override { return ++last; }
  uint32_t last = 0;
};

// Two races with a worker, a base, a soldier and (race 0) a deposit; sprites omitted.
World SmallPlayableWorld();

// A fresh directory under /tmp for this process.
std::string ScratchDir();

// Writes bytes to a file.
void WriteFile(const std::string& path, const uint8_t* data, size_t size);
