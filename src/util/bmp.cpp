#include "util/bmp.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

constexpr size_t kHeaderBytes = kBmpHeaderBytes;
constexpr char kBmpCaption[] = "BMP Unit";

uint32_t ReadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t ReadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The header fields the decoder uses.
struct Layout {
  uint64_t PaletteBytes = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  uint32_t DataBytes = 0;  // pixel-data size
};

Layout ReadLayout(const uint8_t* header) {
  const BmpHeader h = ParseBmpHeader({header, kHeaderBytes});
  Layout layout;
  layout.Width = h.Width;
  layout.Height = h.Height;
  layout.DataBytes = h.ImageSize;
  layout.PaletteBytes = uint64_t(h.ColoursUsed) * 4;
  if (layout.DataBytes == 0) {
    // Computed in 32-bit arithmetic, as the size field itself is 32 bits.
    layout.DataBytes = static_cast<uint32_t>(layout.Width) * static_cast<uint32_t>(layout.Height) *
                       h.BitsPerPixel / 8;
  }
  return layout;
}

// A zero or negative (top-down) side leaves nothing to read: no image, without a message.
bool NoPicture(const Layout& layout) {
  return layout.Width <= 0 || layout.Height <= 0;
}

// Whether the pixel data can be taken: positive sides, and a data size between
// width * height * 3 (the picture) and width * height * 4 (the result buffer). The file must
// hold that data, so the buffer never outgrows the file by more than a third.
// A damaged size gives no image, reported as a data failure.
bool PixelsAcceptable(const Layout& layout) {
  if (NoPicture(layout)) return false;
  uint64_t pixels = uint64_t(layout.Width) * uint64_t(layout.Height);
  // Less data than the picture needs only fits other bit depths; refusing it also keeps a
  // tiny file from making us allocate a huge buffer.
  return layout.DataBytes >= pixels * 3 && layout.DataBytes <= pixels * 4;
}

// The checks of a file of `fileSize` bytes with this header, in the order the reads fail:
// the colour table, an empty picture, then the pixel data.
BmpFailure CheckLayout(const Layout& layout, uint64_t fileSize) {
  const uint64_t dataStart = kHeaderBytes + layout.PaletteBytes;
  if (fileSize < dataStart) return BmpFailure::Palette;
  if (NoPicture(layout)) return BmpFailure::Empty;
  if (!PixelsAcceptable(layout) || fileSize - dataStart < layout.DataBytes) return BmpFailure::Data;
  return BmpFailure::None;
}

// Tightly packed BGR rows, in file order, to RGBA with the colour key 252,252,252.
Image ConvertPixels(const Layout& layout, std::span<const uint8_t> data) {
  Image image;
  image.Width = layout.Width;
  image.Height = layout.Height;
  size_t count = size_t(layout.Width) * size_t(layout.Height);
  image.Pixels.assign(count * 4, 0);
  // PixelsAcceptable guarantees the data holds all count * 3 bytes.
  for (size_t i = 0; i < count && 3 * i + 2 < data.size(); ++i) {
    const uint8_t* in = &data[3 * i];
    uint8_t* out = &image.Pixels[4 * i];
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    out[3] = (out[0] == 252 && out[1] == 252 && out[2] == 252) ? 0 : 255;
  }
  return image;
}

}  // namespace

BmpHeader ParseBmpHeader(std::span<const uint8_t> bytes) {
  BmpHeader h;
  if (bytes.size() < kHeaderBytes) return h;
  const uint8_t* p = bytes.data();
  h.Read = true;
  h.Signature = p[0] == 'B' && p[1] == 'M';
  h.DataOffset = ReadU32(p + 10);
  h.InfoSize = ReadU32(p + 14);
  h.Width = static_cast<int32_t>(ReadU32(p + 18));
  h.Height = static_cast<int32_t>(ReadU32(p + 22));
  h.BitsPerPixel = ReadU16(p + 28);
  h.Compression = ReadU32(p + 30);
  h.ImageSize = ReadU32(p + 34);
  h.ColoursUsed = ReadU32(p + 46);
  return h;
}

std::optional<Image> DecodeBMP(std::span<const uint8_t> file, BmpFailure& failure) {
  failure = BmpFailure::None;
  // A file shorter than the two headers fails at the colour table, the first read that is
  // checked, so header bytes that are not there are never used.
  if (file.size() < kHeaderBytes) {
    failure = BmpFailure::Palette;
    return std::nullopt;
  }
  const Layout layout = ReadLayout(file.data());
  failure = CheckLayout(layout, file.size());
  if (failure != BmpFailure::None) return std::nullopt;
  const uint64_t dataStart = kHeaderBytes + layout.PaletteBytes;
  return ConvertPixels(layout, file.subspan(static_cast<size_t>(dataStart), layout.DataBytes));
}

std::optional<Image> LoadBMP(const std::string& fileName, Platform& platform) {
  std::string path = NativePath(fileName);
  std::error_code error;
  // A folder or device opens on some systems but is no bitmap file.
  bool plainFile = std::filesystem::is_regular_file(path, error);
  std::ifstream file;
  if (plainFile) file.open(path, std::ios::binary);
  if (!file.is_open()) {
    platform.ShowMessage("Error opening \"" + fileName, kBmpCaption);
    return std::nullopt;
  }
  file.seekg(0, std::ios::end);
  std::streamoff endOffset = file.tellg();
  file.seekg(0, std::ios::beg);
  uint64_t fileSize = endOffset > 0 ? uint64_t(endOffset) : 0;

  // Only the headers and the pixel data are read; the colour table is skipped over.
  uint8_t header[kHeaderBytes] = {};
  file.read(reinterpret_cast<char*>(header), kHeaderBytes);
  BmpFailure failure = BmpFailure::None;
  std::optional<Image> image;
  if (file.gcount() != static_cast<std::streamsize>(kHeaderBytes)) {
    failure = BmpFailure::Palette;  // as DecodeBMP: a short header fails at the colour table
  } else {
    const Layout layout = ReadLayout(header);
    const uint64_t dataStart = kHeaderBytes + layout.PaletteBytes;
    failure = CheckLayout(layout, fileSize);
    if (failure == BmpFailure::None) {
      std::vector<uint8_t> data(layout.DataBytes);
      file.seekg(static_cast<std::streamoff>(dataStart), std::ios::beg);
      file.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
      if (file.gcount() != static_cast<std::streamsize>(data.size())) {
        failure = BmpFailure::Data;
      } else {
        image = ConvertPixels(layout, data);
      }
    }
  }
  if (failure == BmpFailure::Palette) platform.ShowMessage("Error reading palette", kBmpCaption);
  if (failure == BmpFailure::Data) platform.ShowMessage("Error reading bitmap data", kBmpCaption);
  return image;
}

Image LoadBMPOrExit(const std::string& fileName, Platform& platform) {
  std::optional<Image> image = LoadBMP(fileName, platform);
  if (!image) {
    platform.ShowMessage("Unable to load " + fileName, "Loading Textures");
    throw ProgramExit{1};
  }
  return std::move(*image);
}

uint32_t LoadTexture(const std::string& fileName, Platform& platform, TextureUploader& uploader) {
  return uploader.Upload(LoadBMPOrExit(fileName, platform));
}

namespace {
std::string& DataFolder() {
  static std::string folder;
  return folder;
}
}  // namespace

void SetDataFolder(const std::string& folder) {
  DataFolder() = folder;
}

std::string NativePath(const std::string& path) {
  std::string out = path;
  std::replace(out.begin(), out.end(), '\\', '/');
  const std::string& folder = DataFolder();
  if (folder.empty() || out.empty() || out[0] == '/') return out;
  return folder.back() == '/' ? folder + out : folder + "/" + out;
}
