#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_targets.h"
#include "game/data_check.h"
#include "game/loader.h"

namespace {

std::vector<std::filesystem::path> InputsOf(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

void Replay(const char* kind) {
  for (const FuzzTarget& target : kFuzzTargets) {
    for (const auto& file :
         InputsOf(std::string(RTS_SOURCE_DIR "/fuzz/") + kind + "/" + target.Name)) {
      std::ifstream in(file, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      SCOPED_TRACE(file.string());
      EXPECT_EQ(target.Logic(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "");
    }
  }
}

}  // namespace

// Every input a fuzzer once crashed on goes through the target's logic again.
TEST(FuzzReplay, Regressions) {
  Replay("regressions");
}

// The seed inputs load, decode and run without a fault as well.
TEST(FuzzReplay, Seeds) {
  Replay("corpus");
}

// The harness's own world is one the rules accept.
TEST(FuzzReplay, SmallWorldPassesValidation) {
  EXPECT_EQ(ValidateCatalogue(SmallPlayableWorld()), "");
}
