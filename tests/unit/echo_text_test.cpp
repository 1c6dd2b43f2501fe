#include "util/echo_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "util/bmp.h"
#include "util/cp1251.h"
#include "util/numtext.h"
#include "util/read_file.h"

namespace fs = std::filesystem;

TEST(EchoText, CutsAtTheLimitInCharacters) {
  EXPECT_EQ(EchoText(""), "");
  EXPECT_EQ(EchoText(std::string(80, 'a')), std::string(80, 'a'));
  EXPECT_EQ(EchoText(std::string(81, 'a')), std::string(80, 'a') + "…");
  EXPECT_EQ(EchoText("abcdef", 3), "abc…");
  EXPECT_EQ(EchoText("abc", 3), "abc");
  // Cyrillic letters count one each, and a cut never splits one.
  std::string word;
  for (int i = 0; i < 81; ++i) word += "ж";
  std::string cut;
  for (int i = 0; i < 80; ++i) cut += "ж";
  EXPECT_EQ(EchoText(word), cut + "…");
  // A 10 MB piece of input stays a short message.
  EXPECT_EQ(EchoText(std::string(10'000'000, 'x')).size(), 80u + std::string("…").size());
}

TEST(EchoText, EscapesControlBytesAndBrokenUtf8) {
  EXPECT_EQ(EchoText("a\tb\nc\rd"), "a\\tb\\nc\\rd");
  EXPECT_EQ(EchoText(std::string("\x00\x1b[2J\x7f", 6)), "\\x00\\x1b[2J\\x7f");
  EXPECT_EQ(EchoText("\xff\xc3"), "\\xff\\xc3");                    // no UTF-8
  EXPECT_EQ(EchoText("\xe0\x80\x80"), "\\xe0\\x80\\x80");           // overlong
  EXPECT_EQ(EchoText("\xed\xa0\x80"), "\\xed\\xa0\\x80");           // a surrogate
  EXPECT_EQ(EchoText("\xf4\x90\x80\x80"), "\\xf4\\x90\\x80\\x80");  // above U+10FFFF
  EXPECT_EQ(EchoText("\xf0\x9f\x98\x80 \xc3\xa9"), "\xf0\x9f\x98\x80 \xc3\xa9");
  // An escape counts as one character.
  EXPECT_EQ(EchoText(std::string(5, '\x01'), 2), "\\x01\\x01…");
}

TEST(EchoText, Cp1251AndConversionMessages) {
  EXPECT_EQ(EchoCp1251(ToCp1251("энергия")), "энергия");
  EXPECT_EQ(EchoCp1251(std::string(100, '\xe6'), 3), "жжж…");
  try {
    StrToInt(std::string(1'000'000, '7') + "x\x01");
    ADD_FAILURE();
  } catch (const ConvertError& e) {
    // The box keeps the runtime's whole text; the echo is bounded.
    EXPECT_GT(std::string(e.what()).size(), 1000000u);
    EXPECT_EQ(e.Echo(), "'" + std::string(80, '7') + "…' is not a valid integer value");
  }
  try {
    StrToFloat("1.5\x1b");
    ADD_FAILURE();
  } catch (const ConvertError& e) {
    EXPECT_EQ(e.Echo(), "'1.5\\x1b' is not a valid floating point value");
  }
}

TEST(Utf8, ValidityAndUnconvertibleOffsets) {
  EXPECT_TRUE(IsUtf8(""));
  EXPECT_TRUE(IsUtf8("plain"));
  EXPECT_TRUE(IsUtf8("\xd0\xb6\xe2\x82\xac\xf0\x9f\x98\x80"));
  EXPECT_FALSE(IsUtf8("\xd0"));      // cut short
  EXPECT_FALSE(IsUtf8("\xc0\xaf"));  // overlong
  EXPECT_FALSE(IsUtf8(ToCp1251("энергия")));
  std::vector<size_t> bad;
  EXPECT_EQ(ToCp1251("a\xf0\x9f\x98\x80"
                     "b\xe2\x82\xac"
                     "c\xe4\xb8\xad",
                     bad),
            "a?b\x88"
            "c?");
  EXPECT_EQ(bad, (std::vector<size_t>{1, 10}));
}

TEST(ReadFileBytes, GivesTheSystemsReason) {
  const fs::path dir = fs::temp_directory_path() / ("read_file_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "f", std::ios::binary) << "0123456789";
  std::string bytes;
  int error = 0;
  uint64_t size = 0;
  EXPECT_TRUE(ReadFileBytes((dir / "f").string(), bytes, error, 0, &size));
  EXPECT_EQ(bytes, "0123456789");
  EXPECT_TRUE(ReadFileBytes((dir / "f").string(), bytes, error, 4, &size));
  EXPECT_EQ(bytes, "0123");
  EXPECT_EQ(size, 10u);
  EXPECT_FALSE(ReadFileBytes((dir / "gone").string(), bytes, error));
  EXPECT_EQ(error, ENOENT);
  EXPECT_FALSE(ReadFileBytes((dir / "f" / "x").string(), bytes, error));
  EXPECT_EQ(error, ENOTDIR);
  EXPECT_FALSE(ReadFileBytes(dir.string(), bytes, error));
  EXPECT_EQ(error, EISDIR);
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(ReadFileBytes("/dev/null", bytes, error));
  EXPECT_EQ(error, ENODEV);
  fs::permissions(dir / "f", fs::perms::none);
  if (::geteuid() != 0) {  // root reads everything
    EXPECT_FALSE(ReadFileBytes((dir / "f").string(), bytes, error));
    EXPECT_EQ(SystemReason(error), "Permission denied");
  }
  EXPECT_EQ(SystemReason(EACCES), "Permission denied");
  fs::remove_all(dir);
}

TEST(ParseBmpHeader, FieldsAndSignature) {
  std::vector<uint8_t> file(54, 0);
  EXPECT_FALSE(ParseBmpHeader({file.data(), 53}).Read);
  file[0] = 'B';
  file[1] = 'M';
  file[10] = 54;
  file[14] = 40;
  file[18] = 0x10;
  file[19] = 0x01;  // width 272
  file[22] = 0xFF;
  file[23] = 0xFF;
  file[24] = 0xFF;
  file[25] = 0xFF;  // height -1
  file[28] = 24;
  file[30] = 1;
  file[34] = 9;
  file[46] = 2;
  BmpHeader h = ParseBmpHeader(file);
  EXPECT_TRUE(h.Read);
  EXPECT_TRUE(h.Signature);
  EXPECT_EQ(h.DataOffset, 54u);
  EXPECT_EQ(h.InfoSize, 40u);
  EXPECT_EQ(h.Width, 272);
  EXPECT_EQ(h.Height, -1);
  EXPECT_EQ(h.BitsPerPixel, 24);
  EXPECT_EQ(h.Compression, 1u);
  EXPECT_EQ(h.ImageSize, 9u);
  EXPECT_EQ(h.ColoursUsed, 2u);
  file[1] = 'N';
  EXPECT_FALSE(ParseBmpHeader(file).Signature);
}
