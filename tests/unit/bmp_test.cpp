#include "util/bmp.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/headless.h"

namespace {

struct BmpSpec {
  int32_t width = 4;
  int32_t height = 4;
  uint16_t bitsPerPixel = 24;
  uint32_t imageSize = 0xFFFFFFFF;  // filled from the data unless set
  uint32_t coloursUsed = 0;
  size_t paletteBytes = 0;  // bytes of colour table actually present
};

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A bitmap file: headers, colour table, and the given pixel bytes as they stand.
std::vector<uint8_t> MakeBmp(const BmpSpec& spec, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> file(54 + spec.paletteBytes, 0xAB);
  std::fill(file.begin(), file.begin() + 54, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 14, 40);
  Put32(file, 18, static_cast<uint32_t>(spec.width));
  Put32(file, 22, static_cast<uint32_t>(spec.height));
  file[26] = 1;
  file[28] = static_cast<uint8_t>(spec.bitsPerPixel);
  file[29] = static_cast<uint8_t>(spec.bitsPerPixel >> 8);
  Put32(file, 34,
        spec.imageSize == 0xFFFFFFFF ? static_cast<uint32_t>(data.size()) : spec.imageSize);
  Put32(file, 46, spec.coloursUsed);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

// w * h pixels of one BGR colour.
std::vector<uint8_t> Fill(int w, int h, uint8_t b, uint8_t g, uint8_t r) {
  std::vector<uint8_t> out;
  for (int i = 0; i < w * h; ++i) out.insert(out.end(), {b, g, r});
  return out;
}

std::optional<Image> Decode(const std::vector<uint8_t>& file, BmpFailure& failure) {
  return DecodeBMP(std::span<const uint8_t>(file), failure);
}

BmpFailure FailureOf(const std::vector<uint8_t>& file) {
  BmpFailure failure = BmpFailure::None;
  EXPECT_FALSE(Decode(file, failure).has_value());
  return failure;
}

class TempFile {
 public:
  explicit TempFile(const std::vector<uint8_t>& bytes)
      : path_(std::filesystem::temp_directory_path() /
              ("bmp_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++) +
               ".bmp")) {
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string Name() const { return path_.string(); }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

}  // namespace

TEST(DecodeBMP, SwapsToRgbaAndKeysExactly252) {
  std::vector<uint8_t> data = Fill(4, 4, 252, 252, 252);
  data[3 * 5 + 0] = 251;  // pixel 5: blue 251 -> opaque
  data[3 * 6 + 2] = 253;  // pixel 6: red 253 -> opaque
  data[3 * 7 + 0] = 1;    // pixel 7: B=1, G=252, R=252
  BmpFailure failure;
  std::optional<Image> image = Decode(MakeBmp({}, data), failure);
  ASSERT_TRUE(image);
  EXPECT_EQ(failure, BmpFailure::None);
  ASSERT_EQ(image->Pixels.size(), 64u);
  for (int i = 0; i < 16; ++i) {
    uint8_t alpha = image->Pixels[4 * i + 3];
    EXPECT_EQ(alpha, (i == 5 || i == 6 || i == 7) ? 255 : 0) << i;
  }
  EXPECT_EQ(image->Pixels[4 * 5 + 2], 251);  // blue lands third
  EXPECT_EQ(image->Pixels[4 * 6 + 0], 253);  // red lands first
  EXPECT_EQ(image->Pixels[4 * 7 + 0], 252);
  EXPECT_EQ(image->Pixels[4 * 7 + 2], 1);
}

TEST(DecodeBMP, RowsArePackedAndNotFlipped) {
  // 8 x 2: pixel i has B = i, G = 100 + i, R = 200 + i; 24-byte rows with no padding.
  std::vector<uint8_t> data;
  for (int i = 0; i < 16; ++i)
    data.insert(data.end(), {uint8_t(i), uint8_t(100 + i), uint8_t(200 + i)});
  BmpSpec spec;
  spec.width = 8;
  spec.height = 2;
  BmpFailure failure;
  std::optional<Image> image = Decode(MakeBmp(spec, data), failure);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width, 8);
  EXPECT_EQ(image->Height, 2);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(image->Pixels[4 * i + 0], 200 + i);
    EXPECT_EQ(image->Pixels[4 * i + 1], 100 + i);
    EXPECT_EQ(image->Pixels[4 * i + 2], i);
    EXPECT_EQ(image->Pixels[4 * i + 3], 255);
  }
}

TEST(DecodeBMP, LongSheetsAreTakenWhole) {
  // 4 x 20000, as a sheet with many rows of cells would be.
  BmpSpec spec;
  spec.width = 4;
  spec.height = 20000;
  std::vector<uint8_t> data = Fill(4, 20000, 1, 2, 3);
  data[data.size() - 3] = 9;  // blue of the last pixel
  BmpFailure failure;
  std::optional<Image> image = Decode(MakeBmp(spec, data), failure);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Height, 20000);
  ASSERT_EQ(image->Pixels.size(), 4u * 20000 * 4);
  EXPECT_EQ(image->Pixels[image->Pixels.size() - 2], 9);
}

TEST(DecodeBMP, ImageSizeZeroIsComputed) {
  BmpSpec spec;
  spec.imageSize = 0;
  std::vector<uint8_t> data = Fill(4, 4, 1, 2, 3);
  data.insert(data.end(), 10, 252);  // trailing bytes are not pixel data
  BmpFailure failure;
  std::optional<Image> image = Decode(MakeBmp(spec, data), failure);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Pixels[4 * 15 + 0], 3);
  EXPECT_EQ(image->Pixels[4 * 15 + 3], 255);
}

TEST(DecodeBMP, ColourTableIsSkipped) {
  BmpSpec spec;
  spec.coloursUsed = 2;
  spec.paletteBytes = 8;
  BmpFailure failure;
  std::optional<Image> image = Decode(MakeBmp(spec, Fill(4, 4, 9, 8, 7)), failure);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Pixels[0], 7);
  EXPECT_EQ(image->Pixels[2], 9);
}

TEST(DecodeBMP, ShortPaletteAndShortData) {
  BmpSpec spec;
  spec.coloursUsed = 3;
  spec.paletteBytes = 0;
  EXPECT_EQ(FailureOf(MakeBmp(spec, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})), BmpFailure::Palette);
  std::vector<uint8_t> data = Fill(4, 4, 1, 1, 1);
  std::vector<uint8_t> file = MakeBmp({}, data);
  file.pop_back();
  EXPECT_EQ(FailureOf(file), BmpFailure::Data);
}

TEST(DecodeBMP, ZeroOrNegativeSidesGiveNoImage) {
  BmpSpec spec;
  spec.height = 0;
  EXPECT_EQ(FailureOf(MakeBmp(spec, {})), BmpFailure::Empty);
  spec.height = 4;
  spec.width = 0;
  EXPECT_EQ(FailureOf(MakeBmp(spec, {})), BmpFailure::Empty);
  spec.width = 4;
  spec.height = -4;  // top-down
  EXPECT_EQ(FailureOf(MakeBmp(spec, Fill(4, 4, 0, 0, 0))), BmpFailure::Empty);
  // The colour table is read first.
  spec.coloursUsed = 2;
  EXPECT_EQ(FailureOf(MakeBmp(spec, {})), BmpFailure::Palette);
}

TEST(DecodeBMP, HostileHeadersAreRefused) {
  std::vector<uint8_t> data = Fill(4, 4, 0, 0, 0);
  BmpSpec huge;
  huge.imageSize = 0xFFFFFFF0;  // more than the 4 x 4 x 4 result buffer
  EXPECT_EQ(FailureOf(MakeBmp(huge, data)), BmpFailure::Data);
  BmpSpec tooBig;
  tooBig.imageSize = 4 * 4 * 4 + 1;
  data.resize(65, 0);
  EXPECT_EQ(FailureOf(MakeBmp(tooBig, data)), BmpFailure::Data);
  BmpSpec overflow;  // w * h wraps in 32 bits
  overflow.width = 65536;
  overflow.height = 65537;
  overflow.imageSize = 0;
  EXPECT_EQ(FailureOf(MakeBmp(overflow, data)), BmpFailure::Data);
  BmpSpec tiny;  // a big picture announced with a few bytes of data: nothing allocated
  tiny.width = 16384;
  tiny.height = 16384;
  tiny.imageSize = 3;
  EXPECT_EQ(FailureOf(MakeBmp(tiny, {1, 2, 3})), BmpFailure::Data);
  BmpSpec palette;  // a colour table of 2^32 - 1 entries
  palette.coloursUsed = 0xFFFFFFFF;
  EXPECT_EQ(FailureOf(MakeBmp(palette, data)), BmpFailure::Palette);
}

TEST(DecodeBMP, FileShorterThanHeaders) {
  EXPECT_EQ(FailureOf({}), BmpFailure::Palette);
  std::vector<uint8_t> file = MakeBmp({}, Fill(4, 4, 0, 0, 0));
  file.resize(53);
  EXPECT_EQ(FailureOf(file), BmpFailure::Palette);
}

TEST(LoadBMP, MessagesOfEachFailure) {
  RecordingPlatform platform;
  platform.answerAtOnce = false;
  EXPECT_FALSE(LoadBMP("no\\such\\file.bmp", platform));
  std::vector<uint8_t> shortData = MakeBmp({}, Fill(4, 4, 0, 0, 0));
  shortData.pop_back();
  TempFile dataFile(shortData);
  EXPECT_FALSE(LoadBMP(dataFile.Name(), platform));
  BmpSpec spec;
  spec.coloursUsed = 1;
  TempFile paletteFile(MakeBmp(spec, {}));
  EXPECT_FALSE(LoadBMP(paletteFile.Name(), platform));
  TempFile tinyFile({'B', 'M', 0});
  EXPECT_FALSE(LoadBMP(tinyFile.Name(), platform));
  EXPECT_FALSE(LoadBMP(std::filesystem::temp_directory_path().string(), platform));
  ASSERT_EQ(platform.messages.size(), 5u);
  EXPECT_EQ(platform.messages[0].Text, "Error opening \"no\\such\\file.bmp");
  EXPECT_EQ(platform.messages[1].Text, "Error reading bitmap data");
  EXPECT_EQ(platform.messages[2].Text, "Error reading palette");
  EXPECT_EQ(platform.messages[3].Text, "Error reading palette");
  EXPECT_EQ(platform.messages[4].Text.rfind("Error opening \"", 0), 0u);
  for (const ShownMessage& m : platform.messages) EXPECT_EQ(m.Caption, "BMP Unit");
}

TEST(LoadBMP, ReadsTheSameAsDecode) {
  BmpSpec spec;
  spec.coloursUsed = 1;
  spec.paletteBytes = 4;
  std::vector<uint8_t> bytes = MakeBmp(spec, Fill(4, 4, 252, 252, 252));
  TempFile file(bytes);
  RecordingPlatform platform;
  platform.answerAtOnce = false;
  std::optional<Image> loaded = LoadBMP(file.Name(), platform);
  BmpFailure failure;
  std::optional<Image> decoded = Decode(bytes, failure);
  ASSERT_TRUE(loaded && decoded);
  EXPECT_EQ(loaded->Pixels, decoded->Pixels);
  EXPECT_TRUE(platform.messages.empty());
}

TEST(LoadTexture, UploadsOrEndsTheProgram) {
  RecordingPlatform platform;
  platform.answerAtOnce = false;
  CountingUploader uploader;
  TempFile good(MakeBmp({}, Fill(4, 4, 0, 0, 0)));
  EXPECT_EQ(LoadTexture(good.Name(), platform, uploader), 1u);
  EXPECT_EQ(LoadTexture(good.Name(), platform, uploader), 2u);
  try {
    LoadTexture(".\\missing.bmp", platform, uploader);
    ADD_FAILURE() << "no exit";
  } catch (const ProgramExit& exit) {
    EXPECT_EQ(exit.Code, 1);
  }
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].Text, "Error opening \".\\missing.bmp");
  EXPECT_EQ(platform.messages[1].Text, "Unable to load .\\missing.bmp");
  EXPECT_EQ(platform.messages[1].Caption, "Loading Textures");
}

TEST(LoadTexture, ZeroOrNegativeSidesShowOnlyUnableToLoad) {
  for (int32_t height : {0, -4}) {
    RecordingPlatform platform;
    platform.answerAtOnce = false;
    CountingUploader uploader;
    BmpSpec spec;
    spec.height = height;
    TempFile file(MakeBmp(spec, Fill(4, 4, 0, 0, 0)));
    try {
      LoadTexture(file.Name(), platform, uploader);
      ADD_FAILURE() << "no exit";
    } catch (const ProgramExit& exit) {
      EXPECT_EQ(exit.Code, 1);
    }
    ASSERT_EQ(platform.messages.size(), 1u) << height;
    EXPECT_EQ(platform.messages[0].Text, "Unable to load " + file.Name());
    EXPECT_EQ(platform.messages[0].Caption, "Loading Textures");
  }
}

TEST(NativePath, BackslashesBecomeSlashes) {
  EXPECT_EQ(NativePath(".\\ludi\\krest.bmp"), "./ludi/krest.bmp");
}
