#include "util/cp1251.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace {

// Converts with iconv, replacing each unconvertible input sequence by '?'.
std::string Convert(std::string_view in, const char* to, const char* from, size_t replaceStep,
                    std::vector<size_t>* bad = nullptr) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out;
  out.resize(in.size() * 4 + 4);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  while (srcLeft > 0) {
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) break;  // cannot happen: the buffer is four times the input
    // EILSEQ or EINVAL: skip one unit of input (a whole UTF-8 sequence where possible).
    // Skip one byte, and for UTF-8 input the continuation bytes that follow it.
    if (bad != nullptr) bad->push_back(in.size() - srcLeft);
    size_t skip = 1;
    if (replaceStep > 1) {
      while (skip < srcLeft && skip < replaceStep &&
             (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) {
        ++skip;
      }
    }
    src += skip;
    srcLeft -= skip;
    *dst++ = '?';
    --dstLeft;
  }
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace

std::string ToUtf8(std::string_view cp1251) {
  // Byte by byte through a table made once by iconv: a message or name costs no iconv_open.
  static const std::array<std::string, 256> kTable = [] {
    std::array<std::string, 256> table;
    for (size_t b = 0; b < table.size(); ++b)
      table[b] = Convert(std::string(1, static_cast<char>(b)), "UTF-8", "WINDOWS-1251", 1);
    return table;
  }();
  std::string out;
  out.reserve(cp1251.size());
  for (char c : cp1251) out += kTable[static_cast<unsigned char>(c)];
  return out;
}

std::string ToCp1251(std::string_view utf8) {
  return Convert(utf8, "WINDOWS-1251", "UTF-8", 4);
}

std::string ToCp1251(std::string_view utf8, std::vector<size_t>& bad) {
  return Convert(utf8, "WINDOWS-1251", "UTF-8", 4, &bad);
}

size_t Utf8SequenceLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t n = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (i + n > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (size_t k = 2; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  return n;
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t n = Utf8SequenceLength(text, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}
