// Windows-1251 <-> UTF-8. Text inside the program is Windows-1251; UTF-8 only at the edges.
#pragma once

#include <string>
#include <string_view>

// Bytes that have no character become '?'.
std::string ToUtf8(std::string_view cp1251);
// Characters that have no Windows-1251 byte become '?'.
std::string ToCp1251(std::string_view utf8);
