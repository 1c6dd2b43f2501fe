// The window's own texts, converted once to Windows-1251.
#pragma once

#include <string>

#include "util/cp1251.h"

// A UTF-8 literal as Windows-1251, converted on first use.
#define CP1251(literal)                                     \
  ([]() -> const std::string& {                             \
    static const std::string converted = ToCp1251(literal); \
    return converted;                                       \
  }())
