#include "util/strman.h"

namespace {

bool IsDelim(char c, std::string_view delims) {
  return delims.find(c) != std::string_view::npos;
}

}  // namespace

uint8_t WordCount(std::string_view text, std::string_view delims) {
  if (delims.empty()) return text.empty() ? 0 : 1;
  unsigned count = 0;
  bool inside = false;
  for (char c : text) {
    if (!inside) {
      if (!IsDelim(c, delims)) {
        ++count;
        inside = true;
      }
    } else if (IsDelim(c, delims)) {
      inside = false;
    }
  }
  return static_cast<uint8_t>(count);
}

bool FindWord(std::string_view text, std::string_view delims, uint8_t n, int& pos, int& len) {
  if (delims.empty()) {
    if (n == 1 && !text.empty()) {
      pos = 1;
      len = static_cast<int>(text.size());
      return true;
    }
    return false;
  }
  if (n == 0) return false;
  unsigned count = 0;
  bool inside = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!inside) {
      if (!IsDelim(text[i], delims)) {
        inside = true;
        if (++count == n) {
          size_t q = i + 1;
          while (q < text.size() && !IsDelim(text[q], delims)) ++q;
          pos = static_cast<int>(i) + 1;
          len = static_cast<int>(q - i);
          return true;
        }
      }
    } else if (IsDelim(text[i], delims)) {
      inside = false;
    }
  }
  return false;
}

std::string ExtractWord(std::string_view text, std::string_view delims, uint8_t n) {
  int pos = 0;
  int len = 0;
  if (!FindWord(text, delims, n, pos, len)) return {};
  return std::string(text.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(len)));
}

std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}
