// libFuzzer entry for one target of kFuzzTargets; RTS_FUZZ_TARGET is its name.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz_targets.h"

namespace {
FuzzLogic logic = nullptr;
}

// Relative paths in the input resolve in an empty folder of our own.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (const FuzzTarget& t : kFuzzTargets) {
    if (std::strcmp(t.Name, RTS_FUZZ_TARGET) == 0) logic = t.Logic;
  }
  if (logic == nullptr || chdir(ScratchDir().c_str()) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string problem = logic(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "fuzz: %s\n", problem.c_str());
    __builtin_trap();
  }
  return 0;
}
