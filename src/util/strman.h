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

// Word n as a view into the text; empty when there is no word n.
std::string_view WordOf(std::string_view text, std::string_view delims, uint8_t n);

// The word that starts at or after index k, k moved to the character after it; empty when no
// word is left.
std::string_view NextWord(std::string_view text, std::string_view delims, size_t& k);
