// Windows-1251 <-> UTF-8. Text inside the program is Windows-1251; UTF-8 only at the edges.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Bytes that have no character become '?'.
std::string ToUtf8(std::string_view cp1251);
// Characters that have no Windows-1251 byte become '?'.
std::string ToCp1251(std::string_view utf8);

// Characters that have no Windows-1251 byte become '?'; the byte offset of each goes to `bad`.
std::string ToCp1251(std::string_view utf8, std::vector<size_t>& bad);

// Length of the well-formed UTF-8 sequence at text[i] (i < size); 0 when there is none.
size_t Utf8SequenceLength(std::string_view text, size_t i);

// Whether the whole text is well-formed UTF-8.
bool IsUtf8(std::string_view text);
