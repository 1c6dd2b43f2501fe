#include "game/sheet_file.h"

#include <cerrno>
#include <span>

#include "util/bmp.h"
#include "util/numtext.h"
#include "util/read_file.h"

namespace {

std::span<const uint8_t> Bytes(const std::string& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

// Warnings for a bitmap that loads but is not what the loader reads correctly.
std::vector<std::string> Hints(const std::string& label, const BmpHeader& h, uint64_t fileSize) {
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
      fileSize >= start + padded * uint64_t(h.Height))
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
std::string FailureText(BmpFailure failure, const BmpHeader& h) {
  // Without the signature the other reasons follow from reading something else as a bitmap.
  if (failure != BmpFailure::None && !h.Signature)
    return "it is not a BMP file (no \"BM\" signature)";
  // By BmpFailure: None, Opening (a check reads the file itself), Palette, Data, Empty.
  static const char* const kTexts[] = {
      "it cannot be decoded", "it cannot be decoded",
      "the file ends inside its headers or colour table (\"Error reading palette\")",
      "its pixel data is shorter than the header says, or the size is damaged (\"Error reading "
      "bitmap data\")",
      "its width or height is 0 or negative (a top-down bitmap?)"};
  return kTexts[static_cast<size_t>(failure)];
}

}  // namespace

SheetFile InspectSheet(const std::string& fileName, const std::string& label, bool decode) {
  SheetFile sheet;
  std::string bytes;
  int error = 0;
  uint64_t fileSize = 0;
  if (!ReadFileBytes(NativePath(fileName), bytes, error, decode ? 0 : kBmpHeaderBytes, &fileSize)) {
    if (decode)
      sheet.Failure = error == ENOENT   ? "file not found"
                      : error == EISDIR ? "it is a folder"
                                        : SystemReason(error);
    return sheet;
  }
  const BmpHeader h = ParseBmpHeader(Bytes(bytes));
  if (decode) {
    BmpFailure failure = BmpFailure::None;
    if (!DecodeBMP(Bytes(bytes), failure)) {
      sheet.Failure = FailureText(failure, h);
      return sheet;
    }
  }
  sheet.Size = {h.Width, h.Height};
  sheet.Hints = Hints(label, h, fileSize);
  return sheet;
}
