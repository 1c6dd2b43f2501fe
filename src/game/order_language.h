// The order language: the five verbs, reading an order into verb and argument, and the text
// of each order. Every reader and writer of Thought1 and Thought2 goes through here.
// All completely stateless. Malformed text is not an error: readers report false or -1 and
// the rules ignore the order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class Verb : uint8_t { Idti, Idtiza, Atakovat, Stroyka, Dobicha };

// The verbs as written, indexed by Verb.
inline constexpr std::array<std::string_view, 5> kVerbWords = {"idti", "idtiza", "atakovat",
                                                               "stroyka", "dobicha"};

std::string_view VerbWord(Verb verb);
// The verb a word names exactly; nullopt for any other word, the empty one included.
std::optional<Verb> FindVerb(std::string_view word);
// How many numbers the verb's argument holds (idti 2, stroyka 3, the others 1).
int NumberCount(Verb verb);

// Verb and argument of an order: words 1 and 2 for the delimiter " ", found in one scan.
struct OrderWords {
  std::string_view Verb;
  std::string_view Arg;
};
OrderWords SplitOrder(std::string_view order);
inline std::string_view OrderVerb(std::string_view order) {
  return SplitOrder(order).Verb;
}
// Whether the order's first word is the verb (OrderVerb(order) == VerbWord(verb)).
bool OrderIs(std::string_view order, Verb verb);
// Whether the order has a first word at all (OrderVerb is not empty).
inline bool HasVerb(std::string_view order) {
  return order.find_first_not_of(' ') != std::string_view::npos;
}

// An order read once for carrying it out: its words, the verb they name and, for the verbs of
// one object (idtiza, atakovat, dobicha), whether the argument reads as a number and which.
struct ReadOrder {
  OrderWords Words;
  std::optional<Verb> Known;
  bool Numbered = false;
  int32_t Number = 0;
};
ReadOrder ReadOrderText(std::string_view order);

// Number k (from 1) of an argument, delimiter ","; false when missing or malformed.
bool ArgNumber(std::string_view arg, uint8_t k, int32_t& value);

// The object index of an order with the given single-number verb, or -1 for another verb,
// a malformed or a negative number.
int32_t OrderTarget(std::string_view order, Verb verb);

// The parsed form of an order exactly as the writers below make it.
struct Order {
  Verb Kind = Verb::Idti;
  std::array<int32_t, 3> Numbers{};  // the first NumberCount(Kind) are used
  bool operator==(const Order&) const = default;
};
// nullopt unless the text is an order that OrderText would write back byte for byte.
std::optional<Order> ParseOrder(std::string_view text);
std::string OrderText(const Order& order);

// The writers.
std::string WalkOrder(int32_t x, int32_t y);                 // "idti x,y"
std::string FollowOrder(int32_t n);                          // "idtiza n"
std::string FollowOrder(std::string_view arg);               // "idtiza " + arg unchanged
std::string AttackOrder(int32_t n);                          // "atakovat n"
std::string BuildOrder(int32_t type, int32_t x, int32_t y);  // "stroyka t,x,y"
std::string MineOrder(int32_t n);                            // "dobicha n"
