// A type description file's bytes loaded into a fresh race row.
#include <cstdint>

#include "fuzz_world.h"
#include "game/loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = ScratchDir();
  const std::string path = dir + "/type.txt";
  WriteFile(path, data, size);
  QuietPlatform platform;
  NumberingUploader uploader;
  LoadContext context{platform, uploader};
  World world;
  world.Catalogue.emplace_back();
  try {
    LoadTypeFile(world, path, 0, context);
  } catch (const LoadError&) {
  } catch (const ProgramExit&) {
  }
  ValidateCatalogue(world);
  return 0;
}
