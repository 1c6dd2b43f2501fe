#include "util/cp1251.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace {

// Converts with iconv, replacing each unconvertible input sequence by '?'.
std::string Convert(std::string_view in, const char* to, const char* from, size_t replaceStep) {
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
  return Convert(cp1251, "UTF-8", "WINDOWS-1251", 1);
}

std::string ToCp1251(std::string_view utf8) {
  return Convert(utf8, "WINDOWS-1251", "UTF-8", 4);
}
