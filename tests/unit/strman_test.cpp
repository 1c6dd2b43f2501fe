#include "util/strman.h"

#include <gtest/gtest.h>

#include <string>

TEST(WordCount, EmptyTextAndEmptyDelimiters) {
  EXPECT_EQ(WordCount("", " "), 0);
  EXPECT_EQ(WordCount("", ""), 0);
  EXPECT_EQ(WordCount("a b", ""), 1);
  EXPECT_EQ(WordCount(" ", ""), 1);
}

TEST(WordCount, DelimiterRunsAndEnds) {
  EXPECT_EQ(WordCount("  ab  c ", " "), 2);
  EXPECT_EQ(WordCount(" ", " "), 0);
  EXPECT_EQ(WordCount("a,b c", ", "), 3);
  EXPECT_EQ(WordCount(",,,", ","), 0);
}

TEST(WordCount, HighBytesAreOrdinaryCharacters) {
  std::string text = "\xED\xE0\xE7 \xE2\xE0\xED\xE8\xE5";  // Windows-1251 letters
  EXPECT_EQ(WordCount(text, " "), 2);
  EXPECT_EQ(ExtractWord(text, " ", 2), "\xE2\xE0\xED\xE8\xE5");
  // A delimiter above 127 splits as well.
  EXPECT_EQ(WordCount("a\xFF"
                      "b",
                      "\xFF"),
            2);
}

TEST(WordCount, CountIsModulo256) {
  std::string text;
  for (int i = 0; i < 256; ++i) text += std::string(i ? " " : "") + char('a' + i % 26);
  EXPECT_EQ(WordCount(text, " "), 0);
  std::string more = text;
  for (int i = 0; i < 44; ++i) more += " z";
  EXPECT_EQ(WordCount(more, " "), 44);
  // Words 1..255 are still found.
  for (int n = 1; n <= 255; ++n) {
    EXPECT_EQ(ExtractWord(text, " ", static_cast<uint8_t>(n)),
              std::string(1, char('a' + (n - 1) % 26)))
        << n;
  }
}

TEST(FindWord, PositionsAreOneBased) {
  int pos = -7;
  int len = -7;
  EXPECT_TRUE(FindWord("  ab  cd", " ", 1, pos, len));
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(len, 2);
  EXPECT_TRUE(FindWord("  ab  cd", " ", 2, pos, len));
  EXPECT_EQ(pos, 7);
  EXPECT_EQ(len, 2);
}

TEST(FindWord, FailureLeavesOutputsUntouched) {
  int pos = -7;
  int len = -9;
  EXPECT_FALSE(FindWord("  ab  cd", " ", 3, pos, len));
  EXPECT_FALSE(FindWord("ab", " ", 0, pos, len));
  EXPECT_FALSE(FindWord("", "", 1, pos, len));
  EXPECT_FALSE(FindWord("abc", "", 2, pos, len));
  EXPECT_EQ(pos, -7);
  EXPECT_EQ(len, -9);
  EXPECT_TRUE(FindWord("abc", "", 1, pos, len));
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(len, 3);
}

TEST(ExtractWord, Examples) {
  EXPECT_EQ(ExtractWord("12,34", ",", 2), "34");
  EXPECT_EQ(ExtractWord("12,34", ",", 3), "");
  EXPECT_EQ(ExtractWord("12,34", ",", 0), "");
  EXPECT_EQ(ExtractWord(")name)rest", ")", 1), "name");
  EXPECT_EQ(ExtractWord(") name", ")", 1), " name");
  EXPECT_EQ(ExtractWord("abc", "", 1), "abc");
  EXPECT_EQ(ExtractWord("abc", "", 2), "");
  EXPECT_EQ(ExtractWord("a,b c", ", ", 3), "c");
  EXPECT_EQ(ExtractWord("last ", " ", 1), "last");
}

TEST(NextWord, WalksTheWordsAsWordOfNumbersThem) {
  for (const std::string delims : {" ", ", ", ""}) {
    const std::string text = "  ab,c  d ,e ";
    size_t k = 0;
    for (uint8_t n = 1; n <= 6; ++n) {
      const std::string_view word = NextWord(text, delims, k);
      EXPECT_EQ(word, WordOf(text, delims, n)) << "'" << delims << "' " << int{n};
      EXPECT_EQ(word, ExtractWord(text, delims, n));
      EXPECT_LE(k, text.size());
    }
    EXPECT_EQ(NextWord(text, delims, k), "");
  }
  size_t past = 99;  // a cursor beyond the end finds nothing
  EXPECT_EQ(NextWord("abc", " ", past), "");
  EXPECT_EQ(NextWord("abc", "", past), "");
}
