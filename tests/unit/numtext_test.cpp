#include "util/numtext.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

// The message a failed conversion carries.
template <typename F>
std::string MessageOf(F convert) {
  try {
    convert();
  } catch (const ConvertError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(RoundHalfEven, HalvesGoToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
}

TEST(RoundHalfEven, NanAndOutOfRange) {
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
  EXPECT_EQ(RoundHalfEven(1e20), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfEven(-1e20), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()),
            std::numeric_limits<int32_t>::max());
}

TEST(StrToInt, AcceptsDecimalWithOneSign) {
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("007"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int32_t>::min());
}

TEST(StrToInt, RuntimeMessages) {
  EXPECT_EQ(MessageOf([] { StrToInt(""); }), "'' is not a valid integer value");
  EXPECT_EQ(MessageOf([] { StrToInt("12a"); }), "'12a' is not a valid integer value");
  EXPECT_EQ(MessageOf([] { StrToInt("1.5"); }), "'1.5' is not a valid integer value");
  EXPECT_EQ(MessageOf([] { StrToInt("+-5"); }), "'+-5' is not a valid integer value");
  EXPECT_EQ(MessageOf([] { StrToInt("++5"); }), "'++5' is not a valid integer value");
  EXPECT_EQ(MessageOf([] { StrToInt("-"); }), "'-' is not a valid integer value");
  EXPECT_EQ(MessageOf([] { StrToInt("2147483648"); }), "'2147483648' is not a valid integer value");
}

TEST(StrToFloat, AcceptsPointAndExponent) {
  EXPECT_DOUBLE_EQ(StrToFloat("2.5"), 2.5);
  EXPECT_DOUBLE_EQ(StrToFloat("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(StrToFloat("+1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(StrToFloat("1.5E-2"), 0.015);
  EXPECT_DOUBLE_EQ(StrToFloat("100"), 100.0);
}

TEST(StrToFloat, RuntimeMessages) {
  EXPECT_EQ(MessageOf([] { StrToFloat(""); }), "'' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { StrToFloat("1,5"); }), "'1,5' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { StrToFloat("500 gold"); }),
            "'500 gold' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { StrToFloat("inf"); }), "'inf' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { StrToFloat("nan"); }), "'nan' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { StrToFloat("0x10"); }), "'0x10' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { StrToFloat("."); }), "'.' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { StrToFloat("1e"); }), "'1e' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { StrToFloat("--1"); }), "'--1' is not a valid floating point value");
}

TEST(FloatToStrG15, FixedNotation) {
  EXPECT_EQ(FloatToStrG15(2.5), "2.5");
  EXPECT_EQ(FloatToStrG15(10), "10");
  EXPECT_EQ(FloatToStrG15(-570), "-570");
  EXPECT_EQ(FloatToStrG15(0), "0");
  EXPECT_EQ(FloatToStrG15(static_cast<double>(0.1f)), "0.100000001490116");
  EXPECT_EQ(FloatToStrG15(0.00001), "0.00001");
  EXPECT_EQ(FloatToStrG15(123456789012345.0), "123456789012345");
}

TEST(FloatToStrG15, ScientificBeyondTheRange) {
  EXPECT_EQ(FloatToStrG15(0.000001), "1E-6");
  EXPECT_EQ(FloatToStrG15(1e20), "1E20");
  EXPECT_EQ(FloatToStrG15(-2.5e-7), "-2.5E-7");
  EXPECT_EQ(FloatToStrG15(1e15), "1E15");
}

// printf in the C locale (the tests never set another) is the reference.
TEST(FloatToFixed, AsPrintfFixed) {
  for (const double v : {0.0, -0.0, 0.05, 0.15, 2.5, -3.25, 1e-7, 123456.789, 1e20, -1e300}) {
    for (const int decimals : {0, 1, 3}) {
      char buf[400];
      std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
      EXPECT_EQ(FloatToFixed(v, decimals), buf) << v << " " << decimals;
    }
  }
  EXPECT_EQ(FloatToFixed(std::numeric_limits<double>::infinity(), 1), "inf");
  EXPECT_EQ(FloatToFixed(std::nan(""), 1), "nan");
}

TEST(ShortestDouble, ReadsBackTheShortestText) {
  EXPECT_EQ(ShortestDouble(570.8f), 570.8);
  EXPECT_EQ(ShortestDouble(0.1f), 0.1);
  EXPECT_EQ(ShortestDouble(-3.0f), -3.0);
  EXPECT_EQ(ShortestDouble(1e30f), 1e30);
  EXPECT_TRUE(std::isnan(ShortestDouble(std::nanf(""))));
  EXPECT_EQ(ShortestDouble(-std::numeric_limits<float>::infinity()),
            -std::numeric_limits<double>::infinity());
}

TEST(WriteInt, WritesWhatIntToStrGives) {
  for (const int64_t v : {int64_t{0}, int64_t{-7}, int64_t{INT32_MIN}, INT64_MIN, INT64_MAX}) {
    std::array<char, 20> buf{};
    char* end = WriteInt(buf.data(), buf.data() + buf.size(), v);
    EXPECT_EQ(std::string(buf.data(), end), IntToStr(v));
  }
}

// The whole text or nothing: signs, spaces and overflow are refused, the range is inclusive.
TEST(ParseWhole, WholeTextWithinTheRange) {
  uint64_t u = 7;
  EXPECT_TRUE(ParseWhole("18446744073709551615", u));
  EXPECT_EQ(u, UINT64_MAX);
  for (const char* bad : {"", "-0", "+1", " 1", "1 ", "1x", "18446744073709551616"})
    EXPECT_FALSE(ParseWhole(bad, u)) << bad;
  int64_t i = 0;
  EXPECT_TRUE(ParseWhole("-5", i, -5, 5));
  EXPECT_EQ(i, -5);
  EXPECT_FALSE(ParseWhole("6", i, -5, 5));
  EXPECT_EQ(i, 6);  // read, though out of range
  uint32_t small = 0;
  EXPECT_FALSE(ParseWhole("4294967296", small));
}

TEST(MinutesSeconds, PadsSecondsAndMinutesToTheirWidth) {
  EXPECT_EQ(MinutesSeconds(0, 2), "00:00");
  EXPECT_EQ(MinutesSeconds(303, 2), "05:03");
  EXPECT_EQ(MinutesSeconds(303, 1), "5:03");
  EXPECT_EQ(MinutesSeconds(3600, 2), "60:00");
  EXPECT_EQ(MinutesSeconds(6059, 1), "100:59");
}
