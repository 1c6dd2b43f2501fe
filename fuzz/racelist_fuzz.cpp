// A race list and the type files it names: the input is split at 0xFF bytes into the list
// and the files t0.txt, t1.txt, ... in the race folder.
#include <cstdint>
#include <filesystem>

#include "fuzz_world.h"
#include "game/loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = ScratchDir();
  std::filesystem::remove_all(dir + "/race");
  std::filesystem::create_directories(dir + "/race");
  size_t start = 0;
  int part = 0;
  for (size_t i = 0; i <= size && part < 8; ++i) {
    if (i == size || data[i] == 0xFF) {
      std::string name = part == 0 ? "list.txt" : "t" + std::to_string(part - 1) + ".txt";
      WriteFile(dir + "/race/" + name, data + start, i - start);
      start = i + 1;
      ++part;
    }
  }
  QuietPlatform platform;
  NumberingUploader uploader;
  LoadContext context{platform, uploader};
  World world;
  try {
    LoadRaceList(world, "list.txt", dir + "/race/", context);
  } catch (const LoadError&) {
  } catch (const ProgramExit&) {
  }
  ValidateCatalogue(world);
  return 0;
}
