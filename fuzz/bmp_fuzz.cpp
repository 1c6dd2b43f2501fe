// Bitmap decoding on arbitrary bytes.
#include <cstdint>
#include <span>

#include "util/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BmpFailure failure = BmpFailure::None;
  auto image = DecodeBMP(std::span<const uint8_t>(data, size), failure);
  if (image) {
    // A decoded image always holds exactly its pixels.
    if (image->Pixels.size() != static_cast<size_t>(image->Width) * image->Height * 4) __builtin_trap();
  }
  return 0;
}
