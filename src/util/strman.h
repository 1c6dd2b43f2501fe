// Word scanner: splits 8-bit text into words over a set of delimiter characters.
// All completely stateless. Words are numbered from 1, positions are 1-based.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Number of words, modulo 256.
uint8_t WordCount(std::string_view text, std::string_view delims);

// Finds word n; on success sets pos (1-based) and len. On failure leaves both untouched.
bool FindWord(std::string_view text, std::string_view delims, uint8_t n, int& pos, int& len);

// Word n, or the empty string.
std::string ExtractWord(std::string_view text, std::string_view delims, uint8_t n);

// The text without the characters 0 to 32 at either end, as data lines are trimmed.
std::string_view TrimBlanks(std::string_view text);

// The scanner's core, inline: orders are read with it for every object every frame.
namespace strman_detail {
// The first index at or after k whose character is (want true) or is not a delimiter.
inline size_t Skip(std::string_view text, std::string_view delims, size_t k, bool want) {
  const size_t size = text.size();
  if (delims.size() == 1) {
    const char d = delims.front();
    while (k < size && (text[k] == d) != want) ++k;
    return k;
  }
  const auto isDelim = [delims](char c) {
    for (char d : delims) {
      if (c == d) return true;
    }
    return false;
  };
  while (k < size && isDelim(text[k]) != want) ++k;
  return k;
}
}  // namespace strman_detail

// The word that starts at or after index k, k moved to the character after it; empty when no
// word is left.
inline std::string_view NextWord(std::string_view text, std::string_view delims, size_t& k) {
  k = std::min(k, text.size());
  // With no delimiters the whole text is one word.
  if (delims.empty()) {
    const size_t start = k;
    k = text.size();
    return text.substr(start);
  }
  const size_t start = strman_detail::Skip(text, delims, k, false);
  k = strman_detail::Skip(text, delims, start, true);
  return text.substr(start, k - start);
}

// Word n as a view into the text; empty when there is no word n.
inline std::string_view WordOf(std::string_view text, std::string_view delims, uint8_t n) {
  if (n == 0) return {};
  size_t k = 0;
  for (unsigned count = 1;; ++count) {
    const std::string_view word = NextWord(text, delims, k);
    if (word.empty() || count == n) return word;
  }
}
