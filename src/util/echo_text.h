// Pieces of outside input quoted in messages: bounded and safe for a terminal. Stateless.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The text (UTF-8) as a message shows it: at most `limit` characters, then "…" when it went
// on; bytes below 0x20, DEL and bytes that are no UTF-8 written as \t, \n, \r or \xNN.
std::string EchoText(std::string_view utf8, size_t limit = 80);

// The same for Windows-1251 text (what the data files and orders hold), shown as UTF-8.
std::string EchoCp1251(std::string_view cp1251, size_t limit = 80);
