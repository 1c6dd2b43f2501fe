#include "util/echo_text.h"

#include "util/cp1251.h"

namespace {

void Escape(unsigned char c, std::string& out) {
  static const char kHex[] = "0123456789abcdef";
  if (c == '\t') {
    out += "\\t";
  } else if (c == '\n') {
    out += "\\n";
  } else if (c == '\r') {
    out += "\\r";
  } else {
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
}

}  // namespace

std::string EchoText(std::string_view utf8, size_t limit) {
  std::string out;
  size_t shown = 0;
  size_t i = 0;
  while (i < utf8.size()) {
    if (shown == limit) return out + "…";
    const size_t n = Utf8SequenceLength(utf8, i);
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (n == 0 || c < 0x20 || c == 0x7F) {
      Escape(c, out);
      i += 1;
    } else {
      out.append(utf8.substr(i, n));
      i += n;
    }
    ++shown;
  }
  return out;
}

std::string EchoCp1251(std::string_view cp1251, size_t limit) {
  // One byte is one character: what is cut off is never converted.
  const size_t keep = limit < cp1251.size() ? limit + 1 : cp1251.size();
  return EchoText(ToUtf8(cp1251.substr(0, keep)), limit);
}
