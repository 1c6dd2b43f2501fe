#include "util/bmp.h"

std::optional<Image> DecodeBMP(std::span<const uint8_t>, BmpFailure& failure) {
  failure = BmpFailure::Opening;
  return std::nullopt;
}
std::optional<Image> LoadBMP(const std::string&, Platform&) {
  return std::nullopt;
}
uint32_t LoadTexture(const std::string&, Platform&, TextureUploader&) {
  throw ProgramExit{1};
}
std::string NativePath(const std::string& path) {
  std::string out = path;
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}
