// The shipped levels: the test level, a larger map with four deposits, a standing battle and
// a mission: a town to hold against waves.
#include "levels.h"

#include <fstream>
#include <string>
#include <vector>

#include "util/cp1251.h"

namespace {

bool Write(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

// The rules' own level, in Windows-1251 with CR LF like the type files.
std::string TestLevel() {
  std::string text;
  for (const char* l :
       {"# The test level: a worker for each side, two deposits, 570 for sides 0 and 1.", ")казна",
        "0 570", "1 570", ")объекты", "# race type side x y [heading]", "ludi Крестьянин 0 200 200",
        "orki Батрак 1 -200 -200", "ludi Рудник 555 0 0", "ludi Рудник 555 0 -200"}) {
    text += std::string(l) + "\r\n";
  }
  return ToCp1251(text);
}

// Twice the test level's room, two deposits near each side, placed point-symmetrically.
std::string FourMines() {
  return Lines({"# Four deposits on a ground of 41 x 41 tiles: two near each side's worker.",
                ")казна", "0 570", "1 570", ")земля", "41 41", ")камера", "0 0", ")объекты",
                "ludi Крестьянин 0 400 400 225", "orki Батрак 1 -400 -400 45",
                "ludi Рудник 555 250 100", "ludi Рудник 555 100 250", "ludi Рудник 555 -250 -100",
                "ludi Рудник 555 -100 -250"});
}

// Columns of swordsmen and brutes alternate 22 units apart, so every soldier touches the
// enemies on its left and right and none of its own; each side's base and worker stand far
// behind, broke, and leave the fight alone.
std::string Battle() {
  constexpr int kColumns = 80;  // 40 a side
  constexpr int kRows = 50;
  std::vector<std::string> l{"# 2000 swordsmen against 2000 brutes, already in contact.",
                             ")казна",
                             "0 0",
                             "1 0",
                             ")земля",
                             "64 48",
                             ")камера",
                             "0 0",
                             ")объекты",
                             "ludi Ратуша 0 -960 0",
                             "ludi Крестьянин 0 -960 -80",
                             "orki Стойбище 1 960 0",
                             "orki Батрак 1 960 -80 180"};
  for (int c = 0; c < kColumns; ++c) {
    const int x = -869 + 22 * c;
    const bool human = c % 2 == 0;
    for (int r = 0; r < kRows; ++r) {
      const int y = -588 + 24 * r;
      l.push_back(std::string(human ? "ludi Мечник 0 " : "orki Громила 1 ") + std::to_string(x) +
                  " " + std::to_string(y) + (human ? " 0" : " 180"));
    }
  }
  return Lines(l);
}

// Side 0's town, its workers, guards and deposits; side 1 has only the waves hold.lua sends.
std::string Hold() {
  return Lines({"# Hold the town hall for five minutes against the waves the mission sends.",
                ")казна",
                "0 300",
                "1 0",
                ")земля",
                "41 41",
                ")камера",
                "0 0",
                ")объекты",
                "ludi Ратуша 0 0 0",
                "ludi Крестьянин 0 60 -60",
                "ludi Крестьянин 0 -60 -60",
                "ludi Мечник 0 -75 110 90",
                "ludi Мечник 0 -45 110 90",
                "ludi Мечник 0 -15 110 90",
                "ludi Мечник 0 15 110 90",
                "ludi Мечник 0 45 110 90",
                "ludi Мечник 0 75 110 90",
                "ludi Рудник 555 150 -150",
                "ludi Рудник 555 -150 -150",
                ")миссия",
                "hold.lua"});
}

}  // namespace

bool WriteLevels(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  bool ok = Write(folder / "test.txt", TestLevel());
  ok = Write(folder / "four_mines.txt", FourMines()) && ok;
  ok = Write(folder / "battle.txt", Battle()) && ok;
  ok = Write(folder / "hold.txt", Hold()) && ok;
  return ok;
}
