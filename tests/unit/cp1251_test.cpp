#include "util/cp1251.h"

#include <gtest/gtest.h>

TEST(Cp1251, RoundTripsCyrillicAndAscii) {
  const std::string utf8 = "Ёжик ёлка АЯая 123 (сила 2.5)";
  std::string cp = ToCp1251(utf8);
  EXPECT_EQ(cp.size(), 29u);                           // one byte a character
  EXPECT_EQ(static_cast<unsigned char>(cp[0]), 0xA8);  // Ё
  EXPECT_EQ(ToUtf8(cp), utf8);
  EXPECT_EQ(static_cast<unsigned char>(ToCp1251("А")[0]), 0xC0);
  EXPECT_EQ(static_cast<unsigned char>(ToCp1251("я")[0]), 0xFF);
}

TEST(Cp1251, ReplacesWhatCannotBeConverted) {
  EXPECT_EQ(ToCp1251("a\xe4\xb8\x80z"), "a?z");     // a CJK character has no byte
  EXPECT_EQ(ToCp1251("a\xffz"), "a?z");             // invalid UTF-8
  EXPECT_EQ(ToUtf8(std::string("a\x98z")), "a?z");  // 0x98 is unassigned
  EXPECT_EQ(ToUtf8(""), "");
}
