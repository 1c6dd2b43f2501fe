// The keys of the window and what the mouse does, for F1 and --help.
#pragma once

#include <array>

struct KeyHelp {
  const char* Key;
  const char* English;
  const char* Russian;  // UTF-8
};

inline constexpr std::array<KeyHelp, 13> kKeyHelp = {{
    {"P, Pause", "pause or resume the match", "пауза и продолжение"},
    {".", "one frame while paused", "один кадр во время паузы"},
    {"+, -", "game speed x1/4, x1/2, x1, x2, x4, x8", "скорость игры: x1/4 ... x8"},
    {"Arrows", "move the camera while held", "сдвиг камеры, пока клавиша нажата"},
    {"F1", "this list", "этот список"},
    {"F3", "show or hide every unit's thoughts", "мысли всех юнитов над ними"},
    {"F12", "save a picture of the view (Pictures/rtsdemo)", "снимок вида (Изображения/rtsdemo)"},
    {"Mouse at an edge", "scroll the view", "прокрутка у края вида"},
    {"Left click", "select the units under the cursor", "выбрать юниты под курсором"},
    {"Right click", "move, follow, or use the chosen attack or building",
     "идти, следовать, атаковать или строить выбранное"},
    {"Attack / build box", "choose before the right click", "выбрать перед правым щелчком"},
    {"Click into the view", "gives the view the keys", "клавиши снова действуют в виде"},
    {"Typing in a box", "keys go to the box", "клавиши идут в поле ввода"},
}};

// The key list for --help, one line a key.
const char* KeysSummary();
