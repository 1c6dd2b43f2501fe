#include "game/order_language.h"

#include <algorithm>

#include "util/numtext.h"
#include "util/strman.h"

std::string_view VerbWord(Verb verb) {
  return kVerbWords[static_cast<size_t>(verb)];
}

std::optional<Verb> FindVerb(std::string_view word) {
  // Only one verb has each length but 7: the first letter tells those two apart.
  std::optional<Verb> verb;
  switch (word.size()) {
    case 4:
      verb = Verb::Idti;
      break;
    case 6:
      verb = Verb::Idtiza;
      break;
    case 7:
      verb = word.front() == 'd' ? Verb::Dobicha : Verb::Stroyka;
      break;
    case 8:
      verb = Verb::Atakovat;
      break;
    default:
      return std::nullopt;
  }
  if (VerbWord(*verb) != word) return std::nullopt;
  return verb;
}

int NumberCount(Verb verb) {
  switch (verb) {
    case Verb::Idti:
      return 2;
    case Verb::Stroyka:
      return 3;
    default:
      return 1;
  }
}

OrderWords SplitOrder(std::string_view order) {
  size_t k = 0;
  OrderWords words;
  words.Verb = NextWord(order, " ", k);
  if (!words.Verb.empty()) words.Arg = NextWord(order, " ", k);
  return words;
}

bool OrderIs(std::string_view order, Verb verb) {
  const size_t first = order.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  const std::string_view word = VerbWord(verb);
  const std::string_view rest = order.substr(first);
  return rest.starts_with(word) && (rest.size() == word.size() || rest[word.size()] == ' ');
}

bool ArgNumber(std::string_view arg, uint8_t k, int32_t& value) {
  return TryStrToInt(WordOf(arg, ",", k), value);
}

namespace {
// The number an order in the writers' form "verb n" names (n of 1 to 9 digits, nothing or a
// space after it), or -1 for any other text; the general reading gives the same number.
int32_t WrittenTarget(std::string_view order, std::string_view word) {
  const size_t size = order.size();
  size_t k = word.size();
  if (size <= k + 1 || order[k] != ' ') return -1;
  for (size_t i = 0; i < k; ++i) {
    if (order[i] != word[i]) return -1;
  }
  int32_t n = 0;
  const size_t first = ++k;
  for (; k < size && k - first < 9 && order[k] >= '0' && order[k] <= '9'; ++k) {
    n = n * 10 + (order[k] - '0');
  }
  if (k == first || (k < size && order[k] != ' ')) return -1;
  return n;
}
}  // namespace

namespace {
// The writers' form "verb n" of a verb of one object, n of 1 to 9 digits and nothing after it,
// read in one scan; false for any other text, which the general reading takes.
bool ReadWritten(std::string_view order, ReadOrder& read) {
  size_t space = 0;
  Verb verb = Verb::Idtiza;
  if (order.starts_with("idtiza ")) {
    space = 6;
  } else if (order.starts_with("atakovat ")) {
    space = 8;
    verb = Verb::Atakovat;
  } else if (order.starts_with("dobicha ")) {
    space = 7;
    verb = Verb::Dobicha;
  } else {
    return false;
  }
  const size_t digits = order.size() - space - 1;
  if (digits < 1 || digits > 9) return false;
  int32_t n = 0;
  for (size_t k = space + 1; k < order.size(); ++k) {
    if (order[k] < '0' || order[k] > '9') return false;
    n = n * 10 + (order[k] - '0');
  }
  read = {{order.substr(0, space), order.substr(space + 1)}, verb, true, n};
  return true;
}
}  // namespace

ReadOrder ReadOrderText(std::string_view order) {
  ReadOrder read;
  if (ReadWritten(order, read)) return read;
  read.Words = SplitOrder(order);
  read.Known = FindVerb(read.Words.Verb);
  if (read.Known && NumberCount(*read.Known) == 1) {
    read.Numbered = TryStrToInt(read.Words.Arg, read.Number);
  }
  return read;
}

int32_t OrderTarget(std::string_view order, Verb verb) {
  if (order.empty()) return -1;
  // Most orders name another verb: its first letter tells.
  const std::string_view word = VerbWord(verb);
  if (order[0] != word[0] && order[0] != ' ') return -1;
  if (const int32_t n = WrittenTarget(order, word); n >= 0) return n;
  const OrderWords words = SplitOrder(order);
  int32_t target = -1;
  if (words.Verb != word || !TryStrToInt(words.Arg, target) || target < 0) return -1;
  return target;
}

std::optional<Order> ParseOrder(std::string_view text) {
  const OrderWords words = SplitOrder(text);
  const std::optional<Verb> verb = FindVerb(words.Verb);
  if (!verb) return std::nullopt;
  Order order{*verb, {}};
  const int count = NumberCount(*verb);
  for (int k = 0; k < count; ++k) {
    if (!ArgNumber(words.Arg, static_cast<uint8_t>(k + 1), order.Numbers[static_cast<size_t>(k)]))
      return std::nullopt;
  }
  if (OrderText(order) != text) return std::nullopt;
  return order;
}

std::string OrderText(const Order& order) {
  // Written into one buffer: the longest verb and three numbers with separators fit.
  std::array<char, 48> buffer{};
  const std::string_view verb = VerbWord(order.Kind);
  char* end = std::copy(verb.begin(), verb.end(), buffer.data());
  const int count = NumberCount(order.Kind);
  for (int k = 0; k < count; ++k) {
    *end++ = k == 0 ? ' ' : ',';
    end = WriteInt(end, buffer.data() + buffer.size(), order.Numbers[static_cast<size_t>(k)]);
  }
  return std::string(buffer.data(), end);
}

std::string WalkOrder(int32_t x, int32_t y) {
  return OrderText({Verb::Idti, {x, y, 0}});
}

std::string FollowOrder(int32_t n) {
  return OrderText({Verb::Idtiza, {n, 0, 0}});
}

std::string FollowOrder(std::string_view arg) {
  return std::string(VerbWord(Verb::Idtiza)) + " " + std::string(arg);
}

std::string AttackOrder(int32_t n) {
  return OrderText({Verb::Atakovat, {n, 0, 0}});
}

std::string BuildOrder(int32_t type, int32_t x, int32_t y) {
  return OrderText({Verb::Stroyka, {type, x, y}});
}

std::string MineOrder(int32_t n) {
  return OrderText({Verb::Dobicha, {n, 0, 0}});
}
