#include "game/order_language.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>

#include "util/numtext.h"
#include "util/random.h"
#include "util/strman.h"

TEST(OrderLanguage, WritersAndParserAgree) {
  EXPECT_EQ(WalkOrder(120, -40), "idti 120,-40");
  EXPECT_EQ(FollowOrder(7), "idtiza 7");
  EXPECT_EQ(FollowOrder(std::string_view("007")), "idtiza 007");  // copied unchanged
  EXPECT_EQ(AttackOrder(0), "atakovat 0");
  EXPECT_EQ(BuildOrder(1, -3, 4), "stroyka 1,-3,4");
  EXPECT_EQ(MineOrder(12), "dobicha 12");
  for (const std::string& text : {WalkOrder(-2147483647 - 1, 2147483647), FollowOrder(3),
                                  AttackOrder(9), BuildOrder(0, 5, 6), MineOrder(2)}) {
    const auto order = ParseOrder(text);
    ASSERT_TRUE(order.has_value()) << text;
    EXPECT_EQ(OrderText(*order), text);
  }
  EXPECT_EQ(ParseOrder("stroyka 4,-5,6"), (Order{Verb::Stroyka, {4, -5, 6}}));
}

TEST(OrderLanguage, ParserRefusesWhatNoWriterMakes) {
  for (const char* text :
       {"", " ", "idti", "idti 5", "idti 5,6,7", "idti  5,6", " idti 5,6", "idti 5,6 ", "idti 05,6",
        "idti +5,6", "idti 5,,6", "Idti 5,6", "idtiza 1 2", "atakovat x", "dobicha 2147483648",
        "stroyka 1,2", "walk 1,2"}) {
    EXPECT_FALSE(ParseOrder(text).has_value()) << text;
  }
}

TEST(OrderLanguage, VerbsAreWholeWordsCaseSensitive) {
  EXPECT_EQ(FindVerb("idti"), Verb::Idti);
  EXPECT_EQ(FindVerb("dobicha"), Verb::Dobicha);
  EXPECT_FALSE(FindVerb("").has_value());
  EXPECT_FALSE(FindVerb("idt").has_value());
  EXPECT_FALSE(FindVerb("IDTIZA").has_value());
  for (size_t v = 0; v < kVerbWords.size(); ++v) {
    EXPECT_EQ(VerbWord(static_cast<Verb>(v)), kVerbWords[v]);
  }
}

// Readers are lenient as the word scanner is: extra words and delimiter runs are skipped.
TEST(OrderLanguage, ReadersFollowTheWordScanner) {
  const OrderWords w = SplitOrder("  atakovat   5  extra");
  EXPECT_EQ(w.Verb, "atakovat");
  EXPECT_EQ(w.Arg, "5");
  EXPECT_EQ(OrderTarget("atakovat   5 x", Verb::Atakovat), 5);
  EXPECT_EQ(OrderTarget("atakovat 5", Verb::Idtiza), -1);
  EXPECT_EQ(OrderTarget("idtiza -3", Verb::Idtiza), -1);
  EXPECT_EQ(OrderTarget("idtiza 3,4", Verb::Idtiza), -1);
  EXPECT_EQ(OrderTarget("", Verb::Idtiza), -1);
  int32_t v = 0;
  EXPECT_TRUE(ArgNumber(",,12,,-4", 2, v));
  EXPECT_EQ(v, -4);
  EXPECT_FALSE(ArgNumber("12", 2, v));
  EXPECT_FALSE(ArgNumber("1x,2", 1, v));
}

TEST(WordOf, MatchesTheScanner) {
  EXPECT_EQ(OrderVerb("  idti  5,5 x"), "idti");
  EXPECT_EQ(SplitOrder("  idti  5,5 x").Arg, "5,5");
  EXPECT_EQ(SplitOrder("idti").Arg, "");
  EXPECT_EQ(WordOf("12,34", ",", 3), "");
  EXPECT_EQ(WordOf("12,34", ",", 0), "");
  // Same words as the scanner on random texts of spaces, commas and letters.
  Random r{7};
  const char alphabet[] = " ,a1";
  for (int k = 0; k < 2000; ++k) {
    std::string text;
    const uint32_t length = r.Next(12);
    for (uint32_t c = 0; c < length; ++c) text += alphabet[r.Next(4)];
    for (const char* delims : {" ", ",", " ,", ""}) {
      for (uint8_t n = 0; n < 5; ++n) {
        ASSERT_EQ(WordOf(text, delims, n), ExtractWord(text, delims, n)) << text << n;
      }
    }
    ASSERT_EQ(SplitOrder(text).Verb, ExtractWord(text, " ", 1));
    ASSERT_EQ(SplitOrder(text).Arg, ExtractWord(text, " ", 2));
  }
}

// The quick readers (ReadOrderText too) give what reading the words one by one gives, on random
// texts made of verbs, spaces, digits, signs and stray letters.
TEST(OrderLanguage, QuickReadersAgreeWithTheWords) {
  const char* pieces[] = {"idti", "idtiza", "atakovat", "stroyka", "dobicha",   " ",
                          " ",    "0",      "7",        "42",      "999999999", "1234567890",
                          "+",    "-",      ",",        "x",       "a",         "d"};
  Random r{11};
  for (int k = 0; k < 20000; ++k) {
    // Half of them start as the writers' orders do.
    std::string text = k % 2 == 0 ? std::string(pieces[r.Next(5)]) + " " : "";
    const uint32_t length = r.Next(6);
    for (uint32_t c = 0; c < length; ++c) text += pieces[r.Next(std::size(pieces))];
    const std::string verb = ExtractWord(text, " ", 1);
    const std::string arg = ExtractWord(text, " ", 2);
    ASSERT_EQ(HasVerb(text), !verb.empty()) << text;
    for (size_t v = 0; v < kVerbWords.size(); ++v) {
      ASSERT_EQ(OrderIs(text, static_cast<Verb>(v)), verb == kVerbWords[v]) << text;
    }
    std::optional<Verb> named;
    for (size_t v = 0; v < kVerbWords.size(); ++v) {
      if (kVerbWords[v] == verb) named = static_cast<Verb>(v);
    }
    ASSERT_EQ(FindVerb(verb), named) << text;
    const ReadOrder read = ReadOrderText(text);
    ASSERT_EQ(read.Words.Verb, verb) << text;
    ASSERT_EQ(read.Words.Arg, arg) << text;
    ASSERT_EQ(read.Known, named) << text;
    int32_t number = 0;
    const bool numbered = named && NumberCount(*named) == 1 && TryStrToInt(arg, number);
    ASSERT_EQ(read.Numbered, numbered) << text;
    ASSERT_EQ(read.Number, numbered ? number : 0) << text;
    for (size_t v = 0; v < kVerbWords.size(); ++v) {
      int32_t n = -1;
      const bool reads = verb == kVerbWords[v] && TryStrToInt(arg, n) && n >= 0;
      ASSERT_EQ(OrderTarget(text, static_cast<Verb>(v)), reads ? n : -1) << text << " " << v;
    }
  }
  // The writers' numbers as the number conversion writes them.
  for (const int32_t n : {0, -1, 7, -2147483647 - 1, 2147483647}) {
    EXPECT_EQ(BuildOrder(n, n, n),
              "stroyka " + IntToStr(n) + "," + IntToStr(n) + "," + IntToStr(n));
    EXPECT_EQ(AttackOrder(n), "atakovat " + IntToStr(n));
  }
}
