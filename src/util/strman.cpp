#include "util/strman.h"

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

std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}
