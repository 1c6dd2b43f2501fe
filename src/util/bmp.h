// Bitmap files: 24-bit uncompressed bitmaps to RGBA pixels with the colour key 252,252,252.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "util/platform.h"

struct Image {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Pixels;  // Width * Height * 4 bytes, RGBA, file row order

  // A picture that can be uploaded: a positive size and every pixel there.
  bool Complete() const {
    const size_t needed = static_cast<size_t>(Width > 0 ? Width : 0) *
                          static_cast<size_t>(Height > 0 ? Height : 0) * 4;
    return needed != 0 && Pixels.size() >= needed;
  }
};

// The two headers of a bitmap file (file header 14 bytes, info header 40), little-endian.
struct BmpHeader {
  bool Read = false;       // the bytes hold both headers; every field is 0 otherwise
  bool Signature = false;  // the file starts with "BM"
  uint32_t DataOffset = 0;
  uint32_t InfoSize = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  uint16_t BitsPerPixel = 0;
  uint32_t Compression = 0;
  uint32_t ImageSize = 0;  // pixel-data size; 0: computed from the picture
  uint32_t ColoursUsed = 0;
};
inline constexpr size_t kBmpHeaderBytes = 54;

// Reads the headers from the start of a file's bytes.
BmpHeader ParseBmpHeader(std::span<const uint8_t> bytes);

// Empty: a zero or negative width or height; no picture, and no message of its own.
enum class BmpFailure { None, Opening, Palette, Data, Empty };

// Decodes the bytes of a bitmap file; on failure returns nothing and says which step failed.
std::optional<Image> DecodeBMP(std::span<const uint8_t> file, BmpFailure& failure);

// Reads and decodes a file, showing the "BMP Unit" message of a failure.
std::optional<Image> LoadBMP(const std::string& fileName, Platform& platform);

// Turns decoded pixels into a texture: OpenGL in the window, plain numbering headless.
class TextureUploader {
 public:
  virtual ~TextureUploader() = default;
  virtual uint32_t Upload(const Image& image) = 0;
};

// Loads a bitmap; on failure shows "Unable to load " + name and throws ProgramExit{1}.
Image LoadBMPOrExit(const std::string& fileName, Platform& platform);

// Loads a bitmap and uploads it; on failure shows "Unable to load " + name and throws
// ProgramExit{1}.
uint32_t LoadTexture(const std::string& fileName, Platform& platform, TextureUploader& uploader);

// Maps a data path with backslashes (".\ludi\x.bmp") to a path this system can open; a
// relative path is taken from the data folder when one is set, else from the working directory.
std::string NativePath(const std::string& path);
// The folder relative data paths start from; empty: the working directory.
void SetDataFolder(const std::string& folder);
