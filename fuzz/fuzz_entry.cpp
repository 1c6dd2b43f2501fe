// libFuzzer entry for one target of fuzz_targets.h; RTS_FUZZ_TARGET names the function.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "fuzz_targets.h"

// Relative paths in the input resolve in an empty folder of our own.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (chdir(ScratchDir().c_str()) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string problem = RTS_FUZZ_TARGET(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "fuzz: %s\n", problem.c_str());
    __builtin_trap();
  }
  return 0;
}
