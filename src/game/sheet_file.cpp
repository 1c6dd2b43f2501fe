#include "game/sheet_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "util/bmp.h"
#include "util/numtext.h"

namespace {

constexpr size_t kHeaderBytes = 54;

// The header fields a check looks at.
struct BitmapHeader {
  bool Read = false;  // the file holds both headers
  uint32_t DataOffset = 0;
  uint32_t InfoSize = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  uint16_t BitsPerPixel = 0;
  uint32_t Compression = 0;
  uint32_t ColoursUsed = 0;
  uint64_t FileSize = 0;
};

// fileSize: the whole file's size (the bytes may be only its start).
BitmapHeader ReadBitmapHeader(const std::vector<uint8_t>& bytes, uint64_t fileSize) {
  BitmapHeader h;
  h.FileSize = fileSize;
  if (bytes.size() < kHeaderBytes) return h;
  auto u32 = [&](size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
  };
  h.Read = true;
  h.DataOffset = u32(10);
  h.InfoSize = u32(14);
  h.Width = static_cast<int32_t>(u32(18));
  h.Height = static_cast<int32_t>(u32(22));
  h.BitsPerPixel = static_cast<uint16_t>(bytes[28] | bytes[29] << 8);
  h.Compression = u32(30);
  h.ColoursUsed = u32(46);
  return h;
}

// The first `limit` bytes of a file (all of it for 0); empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& nativePath, size_t limit, uint64_t& fileSize) {
  std::error_code error;
  fileSize = 0;
  if (!std::filesystem::is_regular_file(nativePath, error)) return {};
  const uintmax_t size = std::filesystem::file_size(nativePath, error);
  if (error) return {};
  fileSize = static_cast<uint64_t>(size);
  const size_t wanted =
      limit == 0 ? static_cast<size_t>(size) : std::min(limit, static_cast<size_t>(size));
  std::vector<uint8_t> bytes(wanted);
  std::ifstream file(nativePath, std::ios::binary);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(wanted));
  bytes.resize(static_cast<size_t>(std::max<std::streamsize>(file.gcount(), 0)));
  return bytes;
}

// Warnings for a bitmap that loads but is not what the loader reads correctly.
std::vector<std::string> Hints(const std::string& label, const BitmapHeader& h) {
  std::vector<std::string> hints;
  if (!h.Read) return hints;
  if (h.BitsPerPixel != 24)
    hints.push_back(label + " has " + IntToStr(h.BitsPerPixel) +
                    " bits per pixel; only 24-bit bitmaps are read correctly");
  if (h.Compression != 0)
    hints.push_back(label + " is compressed; only uncompressed bitmaps are read correctly");
  // Rows padded to 4 bytes, as bitmap writers store them, are read as pixels.
  const uint64_t start = h.DataOffset != 0 ? h.DataOffset : 54 + uint64_t(h.ColoursUsed) * 4;
  const uint64_t packed = uint64_t(h.Width) * 3;
  const uint64_t padded = (packed + 3) / 4 * 4;
  if (h.Width > 0 && h.Height > 0 && padded != packed &&
      h.FileSize >= start + padded * uint64_t(h.Height))
    hints.push_back(label + " is " + IntToStr(h.Width) +
                    " pixels wide; its rows carry padding, which is read as pixels (use a width "
                    "that is a multiple of 4)");
  // An offset of 0 is only a careless header: the pixels stand where they are read.
  if (h.InfoSize == 40 && h.DataOffset != 0 && h.DataOffset != 54 + uint64_t(h.ColoursUsed) * 4)
    hints.push_back(label +
                    ": its pixel data does not follow the colour table; the picture is read "
                    "from the wrong place");
  return hints;
}

// Why a bitmap did not decode.
std::string FailureText(BmpFailure failure) {
  switch (failure) {
    case BmpFailure::Opening:
      return "the file cannot be opened (\"Error opening\")";
    case BmpFailure::Palette:
      return "the file ends inside its headers or colour table (\"Error reading palette\")";
    case BmpFailure::Data:
      return "its pixel data is shorter than the header says, or the size is damaged "
             "(\"Error reading bitmap data\")";
    case BmpFailure::Empty:
      return "its width or height is 0 or negative (a top-down bitmap?)";
    case BmpFailure::None:
      break;
  }
  return "it cannot be decoded";
}

}  // namespace

SheetFile InspectSheet(const std::string& fileName, const std::string& label, bool decode) {
  SheetFile sheet;
  const std::string native = NativePath(fileName);
  std::error_code error;
  uint64_t fileSize = 0;
  if (decode) {
    if (!std::filesystem::exists(native, error)) {
      sheet.Failure = "file not found";
      return sheet;
    }
    if (!std::filesystem::is_regular_file(native, error)) {
      sheet.Failure = FailureText(BmpFailure::Opening);
      return sheet;
    }
  }
  const std::vector<uint8_t> bytes = ReadBytes(native, decode ? 0 : kHeaderBytes, fileSize);
  if (decode) {
    BmpFailure failure = BmpFailure::None;
    if (!DecodeBMP(bytes, failure)) {
      sheet.Failure = FailureText(failure);
      return sheet;
    }
  }
  const BitmapHeader h = ReadBitmapHeader(bytes, fileSize);
  sheet.Size = {h.Width, h.Height};
  sheet.Hints = Hints(label, h);
  return sheet;
}
