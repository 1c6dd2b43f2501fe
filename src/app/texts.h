// The window's own texts, converted once to Windows-1251.
#pragma once

#include <array>
#include <string>

#include "util/cp1251.h"

// The widgets' captions at start-up, in UTF-8: buttons 1..3, the shown text of combos 1..3
// (also what they show again after each fill), check boxes 1..2, and the three tabs.
inline constexpr std::array<const char*, 3> kButtonCaptions = {
    "1. Загрузить данные.", "2. Создать тестовый уровень.", "Ремонт"};
inline constexpr std::array<const char*, 3> kComboTexts = {"Тип атаки", "Тип объекта",
                                                           "Тип апгрейда"};
inline constexpr std::array<const char*, 2> kCheckCaptions = {"Полоски", "Карта"};
inline constexpr std::array<const char*, 3> kTabCaptions = {"Атака", "Строить", "Апгрейд"};

// A UTF-8 literal as Windows-1251, converted on first use.
#define CP1251(literal)                                     \
  ([]() -> const std::string& {                             \
    static const std::string converted = ToCp1251(literal); \
    return converted;                                       \
  }())
