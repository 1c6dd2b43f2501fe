// Numbers to text and back, with the runtime's conversion messages. Stateless and
// locale-independent: "." is always the decimal separator.
#pragma once

#include <charconv>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

// A failed conversion; what() is the runtime's message, without a full stop.
struct ConvertError : std::runtime_error {
  ConvertError(std::string_view word, const char* tail);
  std::string Word;  // the text that failed, whole
  std::string Tail;  // what follows the quoted word in the message
  // The message in UTF-8 with the word cut and escaped as EchoText does.
  std::string Echo() const;
};

// Nearest integer, halves to the even neighbour. NaN gives 0; values beyond the 32-bit
// range are clamped to it.
int32_t RoundHalfEven(double v);

std::string IntToStr(int64_t v);
// The decimal text of v written at `first`, for writers that fill a buffer of their own; returns
// the end of the text. The buffer must hold 20 characters.
char* WriteInt(char* first, char* last, int64_t v);

// The whole text as a decimal whole number (a leading '-' for signed types, no '+', nothing
// after the digits) within [lo, hi]; value is written when the text reads, even out of range.
template <class T>
bool ParseWhole(std::string_view text, T& value,
                std::type_identity_t<T> lo = std::numeric_limits<T>::min(),
                std::type_identity_t<T> hi = std::numeric_limits<T>::max()) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= lo && value <= hi;
}

// Decimal integer with an optional sign; throws "'w' is not a valid integer value".
int32_t StrToInt(std::string_view word);

// Integer parse without exceptions, for order strings: false on anything malformed.
bool TryStrToInt(std::string_view word, int32_t& out);

// Decimal real with an optional sign and exponent; throws
// "'w' is not a valid floating point value".
double StrToFloat(std::string_view word);

// Fixed notation with the given number of decimals, as printf's "%.*f" in the C locale.
std::string FloatToFixed(double v, int decimals);

// General format with 15 significant digits: fixed for 1e-5 <= |v| < 1e15, else scientific.
std::string FloatToStrG15(double v);

// The text with spaces before it (or after it, `left`) to `width` bytes; longer stays as it is.
std::string PadText(std::string s, size_t width, bool left = false);

// "m:ss" for a count of seconds, the minutes padded with zeros to minuteDigits ("05:03" for 2).
std::string MinutesSeconds(uint64_t seconds, int minuteDigits);

// Shortest text that reads back as the same 32-bit float ("nan", "inf", "-inf" for those).
std::string FloatToShortest(float v);

// The double that FloatToShortest's text reads as (570.8f gives 570.8, not 570.79998779...),
// for writing floats as JSON numbers; NaN and infinities stay as they are.
double ShortestDouble(float v);
