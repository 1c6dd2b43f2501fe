// datagen OUTDIR: writes the shipped data set (race lists, type files, sprite sheets, ground,
// levels, sound effects, and the AI scripts copied from tools/ai/).
// Everything is drawn by our own renderer from fixed numbers: the output is byte-identical
// on every run.
//
// Numbers. Each side starts with 570 money and spends 1 per build tick. The computer sends
// idle workers against the enemy whenever money is above 100, and to mine only while money is
// below 100 with at most 3 workers and nobody mining.
// - Base 480 ticks: the first worker puts it up in 5 s and leaves 90. Below 100 the builder
//   goes mining at once instead of walking off to fight (a cheaper base leaves more than 100,
//   and every idle worker, the builder first, marches on the enemy and nobody ever mines).
// - Worker 50 ticks: the 90 left train the second worker, who joins the first miner; later
//   workers are paid from deliveries, the third usually becomes a miner too.
// - Capacity 40: 4 s of mining (0.1 per frame) plus about 5 s of walking (the deposits lie
//   200-280 units from the bases) brings 40 per trip; the miners pay for the 4th to 10th worker
//   in well under a minute, then money climbs above 100 and the idle workers attack.
// - Deposits hold 8000: many minutes of mining for one side.
// - Workers: 75 hp, humans hit 0.25 per frame and orcs 0.2: the humans' nearest deposit lies
//   farther from their base, and the harder blow evens the match (headless runs over seven
//   seeds: first deaths after about 50 s, one side wiped out after 2.5-5 minutes, each race
//   winning some). Bases 1500 / 1400 hp. Soldiers (built by the player from the base) hit two
//   to three times as hard and last longer.
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "ai_scripts.h"
#include "art.h"
#include "icons.h"
#include "levels.h"
#include "sound/sound_kinds.h"
#include "sounds.h"
#include "util/cp1251.h"

namespace {

namespace fs = std::filesystem;

bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool WriteBmp(const fs::path& path, const Picture& p) {
  std::vector<uint8_t> bytes = EncodeBmp(p);
  return WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// UTF-8 lines to Windows-1251 text, each line ended by CR LF.
std::string Text(const std::vector<std::string>& lines) {
  std::string utf8;
  for (const std::string& l : lines) utf8 += l + "\r\n";
  return ToCp1251(utf8);
}

// Animation rows: first row and count of each animation (walk, strike, dying, loaded).
struct Rows {
  int first[4];
  int count[4];
};

std::vector<std::string> Indices(const Rows& r) {
  std::vector<std::string> out;
  for (int a = 0; a < 4; ++a) {
    std::string line = "0";
    // Appended in two steps: GCC 12 at -O3 warns falsely (-Wrestrict) on " " + text.
    for (int k = 0; k < r.count[a]; ++k) line.append(1, ' ').append(std::to_string(r.first[a] + k));
    out.push_back(line);
  }
  return out;
}

const Rows kUnitRows{{1, 7, 13, 19}, {kUnitFrames, kUnitFrames, kUnitFrames, kUnitFrames}};
const Rows kStillRows{{1, 5, 9, 1}, {4, 4, 3, 4}};

struct TypeText {
  std::string file;  // type description file, in the race folder
  std::vector<std::string> lines;
};

void Append(std::vector<std::string>& out, const std::vector<std::string>& more) {
  out.insert(out.end(), more.begin(), more.end());
}

std::vector<std::string> Head(const std::string& name, const std::string& second,
                              const std::string& sprite, const Rows& rows,
                              const std::string& params) {
  std::vector<std::string> l{")название", name + " " + second, ")спрайты", sprite, ")индексы"};
  Append(l, Indices(rows));
  Append(l, {")параметры", params});
  return l;
}

std::vector<std::string> Price(int ticks) {
  return {")цена", "]ресурсы", "золото " + std::to_string(ticks) + " 0"};
}

std::vector<std::string> Upgrade(const std::string& name, int cost) {
  return {")апгрейд", "]название", name, "]ресурсы", "золото " + std::to_string(cost) + " 0"};
}

const std::string kUnitParams = " 256 1024 40 40";

std::vector<TypeText> HumanTypes() {
  std::vector<TypeText> t;
  {
    auto l =
        Head("Крестьянин", "Работник", ".\\ludi\\krestyanin.bmp", kUnitRows, "10" + kUnitParams);
    Append(l, {")энергия", "здоровье 75 75", ")скорость", "шаг 1", ")удар",
               "Кирка дробящий 0.25 ближний 0", ")добыча", "руда 40 0.1", ")стройка", "Ратуша",
               ")ремонт", "Ратуша"});
    Append(l, Upgrade("Кирки", 200));
    Append(l, Price(50));
    t.push_back({"krestyanin.txt", l});
  }
  {
    auto l = Head("Ратуша", "Управа", ".\\ludi\\ratusha.bmp", kStillRows, "34 512 1024 88 88");
    Append(l, {")энергия", "прочность 1500 1500", ")стройка", "Крестьянин", "Мечник"});
    Append(l, Upgrade("Укрепления", 400));
    Append(l, {"]объекты", "Крестьянин 5"});
    Append(l, Upgrade("Колокол", 150));
    Append(l, Price(480));
    t.push_back({"ratusha.txt", l});
  }
  {
    auto l = Head("Рудник", "Залежь", ".\\ludi\\rudnik.bmp", kStillRows, "26 512 1024 64 64");
    Append(l, {")энергия", "прочность 2000 2000", ")ресурс", "8000"});
    t.push_back({"rudnik.txt", l});
  }
  {
    auto l = Head("Мечник", "Воин", ".\\ludi\\mechnik.bmp", kUnitRows, "11" + kUnitParams);
    Append(l, {")энергия", "здоровье 150 150", ")скорость", "шаг 1", ")удар",
               "Меч рубящий 0.5 ближний 0", "Щит дробящий 0.2 ближний 0"});
    Append(l, Upgrade("Доспехи", 250));
    Append(l, Price(150));
    t.push_back({"mechnik.txt", l});
  }
  return t;
}

std::vector<TypeText> OrcTypes() {
  std::vector<TypeText> t;
  {
    auto l = Head("Батрак", "Раб", ".\\orki\\batrak.bmp", kUnitRows, "10" + kUnitParams);
    Append(l, {")энергия", "здоровье 75 75", ")скорость", "шаг 1", ")удар",
               "Кайло дробящий 0.2 ближний 0", ")добыча", "руда 40 0.1", ")стройка", "Стойбище",
               ")ремонт", "Стойбище"});
    Append(l, Upgrade("Кайла", 200));
    Append(l, Price(50));
    t.push_back({"batrak.txt", l});
  }
  {
    auto l =
        Head("Стойбище", "Становище", ".\\orki\\stoybishche.bmp", kStillRows, "34 512 1024 88 88");
    Append(l, {")энергия", "прочность 1400 1400", ")стройка", "Батрак", "Громила"});
    Append(l, Upgrade("Частокол", 400));
    Append(l, {"]объекты", "Батрак 5"});
    Append(l, Upgrade("Барабаны", 150));
    Append(l, Price(480));
    t.push_back({"stoybishche.txt", l});
  }
  {
    // The orcs' name for the same deposit, so that both races keep the same type indices.
    auto l = Head("Копь", "Залежь", ".\\ludi\\rudnik.bmp", kStillRows, "26 512 1024 64 64");
    Append(l, {")энергия", "прочность 2000 2000", ")ресурс", "8000"});
    t.push_back({"kop.txt", l});
  }
  {
    auto l = Head("Громила", "Рубака", ".\\orki\\gromila.bmp", kUnitRows, "12" + kUnitParams);
    Append(l, {")энергия", "здоровье 180 180", ")скорость", "шаг 1", ")удар",
               "Секира рубящий 0.42 ближний 0", "Пинок дробящий 0.15 ближний 0"});
    Append(l, Upgrade("Ярость", 250));
    Append(l, Price(160));
    t.push_back({"gromila.txt", l});
  }
  return t;
}

bool WriteRace(const fs::path& dir, const std::string& list, const std::vector<TypeText>& types) {
  fs::create_directories(dir);
  std::vector<std::string> names;
  bool ok = true;
  for (const TypeText& t : types) {
    names.push_back(t.file);
    ok = WriteFile(dir / t.file, Text(t.lines)) && ok;
  }
  return WriteFile(dir / list, Text(names)) && ok;
}

}  // namespace

namespace {

constexpr const char* kUsage =
    "usage: datagen OUTDIR                 write the data set (ludi, orki, maps) into OUTDIR\n"
    "       datagen --icons OUTDIR SIZE... write the program's icons, SIZE x SIZE pixels each\n"
    "       datagen --help                 show this text\n";

int Usage(const std::string& problem) {
  std::cerr << "datagen: " << problem << "\n" << kUsage;
  return 2;
}

}  // namespace

// datagen OUTDIR: the data set; datagen --icons OUTDIR SIZE...: the program's icons. Nothing
// is written unless the arguments are right.
int main(int argc, char** argv) {
  const std::string first = argc >= 2 ? argv[1] : "";
  if (first == "--help" || first == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (first == "--icons") {
    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i) {
      int size = 0;
      const std::string arg = argv[i];
      auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), size);
      if (ec != std::errc() || end != arg.data() + arg.size() || size < 1 || size > 1024) {
        return Usage("bad icon size " + arg);
      }
      sizes.push_back(size);
    }
    if (argc < 4) return Usage("--icons needs a folder and at least one size");
    if (argv[2][0] == '-') return Usage(std::string("bad folder ") + argv[2]);
    if (!WriteIcons(argv[2], sizes)) {
      std::cerr << "datagen: cannot write the icons to " << argv[2] << "\n";
      return 1;
    }
    return 0;
  }
  if (argc != 2) return Usage(argc < 2 ? "no output folder" : "one output folder only");
  // A folder name that looks like an option is taken for a mistyped option.
  if (first.empty() || first[0] == '-') return Usage("unknown option " + first);
  const fs::path out = argv[1];
  bool ok = WriteRace(out / "ludi", "ludi.txt", HumanTypes()) &&
            WriteRace(out / "orki", "orki.txt", OrcTypes());
  fs::create_directories(out / "maps");
  ok = WriteBmp(out / "ludi" / "krestyanin.bmp", UnitSheet(Race::Human, Role::Worker)) && ok;
  ok = WriteBmp(out / "ludi" / "mechnik.bmp", UnitSheet(Race::Human, Role::Soldier)) && ok;
  ok = WriteBmp(out / "orki" / "batrak.bmp", UnitSheet(Race::Orc, Role::Worker)) && ok;
  ok = WriteBmp(out / "orki" / "gromila.bmp", UnitSheet(Race::Orc, Role::Soldier)) && ok;
  ok = WriteBmp(out / "ludi" / "ratusha.bmp", BaseSheet(Race::Human)) && ok;
  ok = WriteBmp(out / "orki" / "stoybishche.bmp", BaseSheet(Race::Orc)) && ok;
  ok = WriteBmp(out / "ludi" / "rudnik.bmp", DepositSheet()) && ok;
  ok = WriteBmp(out / "maps" / "summer2.bmp", GroundSheet()) && ok;
  ok = WriteLevels(out / "levels") && ok;
  ok = WriteMissions(out / "levels") && ok;
  ok = WriteAiScripts(out / "ai") && ok;
  ok = WriteSounds(out / kSoundFolder) && ok;
  if (!ok) {
    std::cerr << "datagen: cannot write to " << out << "\n";
    return 1;
  }
  return 0;
}
