#include "util/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "util/echo_text.h"

int32_t RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  // The default rounding mode rounds halves to even.
  return static_cast<int32_t>(std::nearbyint(v));
}

std::string IntToStr(int64_t v) {
  return std::to_string(v);
}

char* WriteInt(char* first, char* last, int64_t v) {
  return std::to_chars(first, last, v).ptr;
}

std::string FloatToFixed(double v, int decimals) {
  if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[400];  // the largest double with decimals up to 60
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed,
                                       std::clamp(decimals, 0, 60));
  if (ec != std::errc()) return {};
  return std::string(buf, end);
}

std::string MinutesSeconds(uint64_t seconds, int minuteDigits) {
  std::string minutes = std::to_string(seconds / 60);
  if (minutes.size() < static_cast<size_t>(minuteDigits))
    minutes.insert(0, static_cast<size_t>(minuteDigits) - minutes.size(), '0');
  const uint64_t rest = seconds % 60;
  return minutes + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

bool TryStrToInt(std::string_view word, int32_t& out) {
  std::string_view digits = word;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  // One sign only: after a '+' no further sign may follow.
  if (digits.empty() || digits.front() == '+' ||
      (digits.size() < word.size() && digits.front() == '-')) {
    return false;
  }
  int32_t value = 0;
  if (!ParseWhole(digits, value)) return false;
  out = value;
  return true;
}

int32_t StrToInt(std::string_view word) {
  int32_t value = 0;
  if (!TryStrToInt(word, value)) {
    throw ConvertError(word, " is not a valid integer value");
  }
  return value;
}

double StrToFloat(std::string_view word) {
  std::string_view body = word;
  bool negative = false;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  double value = 0;
  // Only digits or a point may start the number: no "inf", "nan" or hex.
  bool ok = !body.empty() && (std::isdigit(static_cast<unsigned char>(body.front())) ||
                              (body.front() == '.' && body.size() > 1));
  if (ok) {
    auto [end, ec] =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    ok = (ec == std::errc() || ec == std::errc::result_out_of_range) &&
         end == body.data() + body.size();
    if (ec == std::errc::result_out_of_range) ok = false;
  }
  if (!ok) {
    throw ConvertError(word, " is not a valid floating point value");
  }
  return negative ? -value : value;
}

std::string FloatToStrG15(double v) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  if (v == 0) return "0";
  char buf[64];
  // 15 significant digits, d.dddddddddddddde[+-]xx, whatever the locale.
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  std::string s(buf, end);
  bool negative = s[0] == '-';
  if (negative) s.erase(0, 1);
  size_t e = s.find('e');
  int exponent = 0;
  const char* expBegin = s.c_str() + e + 1;
  if (*expBegin == '+') ++expBegin;
  std::from_chars(expBegin, s.c_str() + s.size(), exponent);
  std::string digits(1, s[0]);
  digits.append(s, 2, e - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on chained operator+ here.
  std::string out;
  if (negative) out += '-';
  if (exponent >= -5 && exponent < 15) {
    if (exponent < 0) {
      out.append("0.").append(static_cast<size_t>(-exponent - 1), '0').append(digits);
    } else {
      size_t intDigits = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= intDigits) {
        out.append(digits).append(intDigits - digits.size(), '0');
      } else {
        out.append(digits, 0, intDigits).append(1, '.').append(digits, intDigits);
      }
    }
  } else {
    out.append(digits, 0, 1);
    if (digits.size() > 1) out.append(1, '.').append(digits, 1);
    out.append(1, 'E').append(std::to_string(exponent));
  }
  return out;
}

double ShortestDouble(float v) {
  if (!std::isfinite(v)) return v;
  char buf[64];
  const char* end = std::to_chars(buf, buf + sizeof buf, v).ptr;
  double shortest = 0;
  std::from_chars(buf, end, shortest);
  return shortest;
}

std::string FloatToShortest(float v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, end);
}

ConvertError::ConvertError(std::string_view word, const char* tail)
    : std::runtime_error("'" + std::string(word) + "'" + tail), Word(word), Tail(tail) {}

std::string ConvertError::Echo() const {
  return "'" + EchoCp1251(Word) + "'" + Tail;
}

std::string PadText(std::string s, size_t width, bool left) {
  if (s.size() < width) s.insert(left ? s.size() : 0, width - s.size(), ' ');
  return s;
}
