#include "util/strman.h"

namespace {

// Scans for the first character at or after k that is (want true) or is not a delimiter.
size_t Skip(std::string_view text, std::string_view delims, size_t k, bool want) {
  const size_t size = text.size();
  if (delims.size() == 1) {
    const char d = delims.front();
    while (k < size && (text[k] == d) != want) ++k;
    return k;
  }
  auto isDelim = [delims](char c) {
    for (char d : delims) {
      if (c == d) return true;
    }
    return false;
  };
  while (k < size && isDelim(text[k]) != want) ++k;
  return k;
}

}  // namespace

std::string_view NextWord(std::string_view text, std::string_view delims, size_t& k) {
  k = std::min(k, text.size());
  // With no delimiters the whole text is one word.
  if (delims.empty()) {
    const size_t start = k;
    k = text.size();
    return text.substr(start);
  }
  const size_t start = Skip(text, delims, k, false);
  k = Skip(text, delims, start, true);
  return text.substr(start, k - start);
}

std::string_view WordOf(std::string_view text, std::string_view delims, uint8_t n) {
  if (n == 0) return {};
  size_t k = 0;
  for (unsigned count = 1;; ++count) {
    const std::string_view word = NextWord(text, delims, k);
    if (word.empty() || count == n) return word;
  }
}

uint8_t WordCount(std::string_view text, std::string_view delims) {
  unsigned count = 0;
  size_t k = 0;
  while (!NextWord(text, delims, k).empty()) ++count;
  return static_cast<uint8_t>(count);
}

bool FindWord(std::string_view text, std::string_view delims, uint8_t n, int& pos, int& len) {
  const std::string_view word = WordOf(text, delims, n);
  if (word.empty()) return false;
  pos = static_cast<int>(word.data() - text.data()) + 1;
  len = static_cast<int>(word.size());
  return true;
}

std::string ExtractWord(std::string_view text, std::string_view delims, uint8_t n) {
  return std::string(WordOf(text, delims, n));
}
