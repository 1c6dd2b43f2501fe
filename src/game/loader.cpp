#include "game/loader.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "util/cp1251.h"
#include "util/numtext.h"
#include "util/strman.h"

namespace {

constexpr std::string_view kSpace = " ";

// The whole file as bytes; the runtime's I/O error texts when it cannot be read.
std::string ReadWholeFile(const std::string& path) {
  std::string native = NativePath(path);
  std::error_code error;
  // An empty race-list line names the folder itself; a folder (or device, pipe) is no plain
  // file and is refused with the runtime's text for access denied.
  if (!std::filesystem::exists(native, error)) throw LoadError("File not found");
  if (!std::filesystem::is_regular_file(native, error)) throw LoadError("File access denied");
  std::ifstream file(native, std::ios::binary);
  if (!file) throw LoadError("File access denied");
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) throw LoadError("File access denied");
  return text;
}

// Reads one line from pos: LF ends it (CR LF too), a CR anywhere else is dropped.
std::string ReadLine(std::string_view text, size_t& pos) {
  std::string line;
  while (pos < text.size()) {
    char c = text[pos++];
    if (c == '\n') break;
    if (c != '\r') line += c;
  }
  return line;
}

// Removes characters 0..32 from both ends.
std::string_view Trim(std::string_view line) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  return line;
}

std::string Word(std::string_view line, uint8_t n) {
  return ExtractWord(line, kSpace, n);
}
int32_t IntWord(std::string_view line, uint8_t n) {
  return StrToInt(Word(line, n));
}
float RealWord(std::string_view line, uint8_t n) {
  return static_cast<float>(StrToFloat(Word(line, n)));
}

// What one data line acts on: the row, and the file's current type (-1 before the first).
struct Target {
  TRassa& row;
  int64_t type = -1;
  TOpisan& Type() { return row.Types[static_cast<size_t>(type)]; }
};

using DataHandler = void (*)(Target& target, std::string_view line, LoadContext& context);

void AddType(Target& t, std::string_view line, LoadContext&) {
  t.row.Types.emplace_back();
  t.type = static_cast<int64_t>(t.row.Types.size()) - 1;
  TOpisan& type = t.Type();
  type.Name = Word(line, 1);
  type.SecondName = Word(line, 2);
  type.IsResource = false;
}

void AddTexture(Target& t, std::string_view line, LoadContext& context) {
  std::vector<uint32_t>& textures = t.Type().Textures;
  textures.push_back(0);
  textures.back() = LoadTexture(std::string(line), context.platform, context.uploader);
}

void AddAnimation(Target& t, std::string_view line, LoadContext&) {
  std::vector<TKadri>& animations = t.Type().Animations;
  animations.emplace_back();
  TKadri& row = animations.back();
  row.TextureIndex = IntWord(line, 1);
  // The count is 8-bit: 256 words count 0, which gives no frames rather than -1.
  int frames = static_cast<int>(WordCount(line, kSpace)) - 1;
  row.Frames.assign(static_cast<size_t>(std::max(frames, 0)), 0);
  for (int i = 0; i < frames; ++i)
    row.Frames[size_t(i)] = IntWord(line, static_cast<uint8_t>(i + 2));
}

void SetParameters(Target& t, std::string_view line, LoadContext&) {
  TOpisan& type = t.Type();
  type.Radius = static_cast<float>(IntWord(line, 1));
  type.SheetWidth = IntWord(line, 2);
  type.SheetHeight = IntWord(line, 3);
  type.FrameWidth = IntWord(line, 4);
  type.FrameHeight = IntWord(line, 5);
}

void AddEnergy(Target& t, std::string_view line, LoadContext&) {
  TEnergia& e = t.Type().Energies.emplace_back();
  e.Name = Word(line, 1);
  e.Value = RealWord(line, 2);
  e.Param3 = RealWord(line, 3);
}

void AddSpeed(Target& t, std::string_view line, LoadContext&) {
  float& speed = t.Type().Speeds.emplace_back();
  speed = RealWord(line, 2);
}

void AddAttack(Target& t, std::string_view line, LoadContext&) {
  TUdar& a = t.Type().Attacks.emplace_back();
  a.Name = Word(line, 1);
  a.Param2 = Word(line, 2);
  a.Strength = RealWord(line, 3);
  a.Param4 = Word(line, 4);
  a.Param5 = RealWord(line, 5);
}

void AddBuildable(Target& t, std::string_view line, LoadContext&) {
  t.Type().Buildables.emplace_back(line);
}

void AddRepair(Target& t, std::string_view line, LoadContext&) {
  t.Type().Repairs.emplace_back(line);
}

void AddMining(Target& t, std::string_view line, LoadContext&) {
  TDobicha& m = t.Type().Mining.emplace_back();
  m.Name = Word(line, 1);
  m.Capacity = RealWord(line, 2);
  m.Param3 = RealWord(line, 3);
}

void FillCena(std::vector<TCena>& list, std::string_view line) {
  TCena& c = list.emplace_back();
  c.Name = Word(line, 1);
  c.Amount = RealWord(line, 2);
  c.Param3 = RealWord(line, 3);
}

void FillKolvo(std::vector<TKolvo>& list, std::string_view line) {
  TKolvo& k = list.emplace_back();
  k.Name = Word(line, 1);
  k.Count = RealWord(line, 2);
}

void AddUpgrade(Target& t, std::string_view line, LoadContext&) {
  t.Type().Upgrades.emplace_back().Name = std::string(line);
}

// Upgrade lines before the type's first upgrade have no upgrade to go to: they are ignored.
void AddUpgradeResource(Target& t, std::string_view line, LoadContext&) {
  if (!t.Type().Upgrades.empty()) FillCena(t.Type().Upgrades.back().Resources, line);
}

void AddUpgradeObject(Target& t, std::string_view line, LoadContext&) {
  if (!t.Type().Upgrades.empty()) FillKolvo(t.Type().Upgrades.back().ObjectCounts, line);
}

void AddPriceResource(Target& t, std::string_view line, LoadContext&) {
  FillCena(t.Type().PriceResources, line);
}

void AddPriceObject(Target& t, std::string_view line, LoadContext&) {
  FillKolvo(t.Type().PriceObjects, line);
}

void SetResource(Target& t, std::string_view line, LoadContext&) {
  TOpisan& type = t.Type();
  type.IsResource = true;
  type.ResourceAmount = static_cast<float>(StrToFloat(line));
}

// One row of the section table; an empty sub-section matches any.
struct SectionRow {
  const char* section;  // UTF-8
  const char* subSection;
  DataHandler handler;
};

constexpr SectionRow kSections[] = {
    {"название", "", AddType},
    {"спрайты", "", AddTexture},
    {"индексы", "", AddAnimation},
    {"параметры", "", SetParameters},
    {"энергия", "", AddEnergy},
    {"скорость", "", AddSpeed},
    {"удар", "", AddAttack},
    {"стройка", "", AddBuildable},
    {"ремонт", "", AddRepair},
    {"добыча", "", AddMining},
    {"апгрейд", "название", AddUpgrade},
    {"апгрейд", "ресурсы", AddUpgradeResource},
    {"апгрейд", "объекты", AddUpgradeObject},
    {"цена", "ресурсы", AddPriceResource},
    {"цена", "объекты", AddPriceObject},
    {"ресурс", "", SetResource},
};

struct Section {
  std::string section;  // Windows-1251
  std::string subSection;
  DataHandler handler;
};

// The table in the data files' code page, converted once.
const std::vector<Section>& Sections() {
  static const std::vector<Section> table = [] {
    std::vector<Section> out;
    for (const SectionRow& row : kSections) {
      out.push_back({ToCp1251(row.section), ToCp1251(row.subSection), row.handler});
    }
    return out;
  }();
  return table;
}

DataHandler FindHandler(const std::string& section, const std::string& subSection) {
  for (const Section& row : Sections()) {
    if (row.section == section && (row.subSection.empty() || row.subSection == subSection)) {
      return row.handler;
    }
  }
  return nullptr;
}

void HandleDataLine(Target& target, const std::string& section, const std::string& subSection,
                    std::string_view line, LoadContext& context) {
  DataHandler handler = FindHandler(section, subSection);
  if (handler == nullptr) return;
  // Lines before the file's first type have no type to go to: they are ignored.
  if (handler != AddType && target.type < 0) return;
  try {
    handler(target, line, context);
  } catch (const ConvertError& e) {
    throw LoadError(e.what());
  }
}

}  // namespace

void LoadRaceList(World& world, const std::string& listName, const std::string& folder,
                  LoadContext& context) {
  std::string list = ReadWholeFile(folder + listName);
  world.Catalogue.emplace_back();
  size_t row = world.Catalogue.size() - 1;
  size_t pos = 0;
  // At least one line is read, so an empty list names the folder itself.
  do {
    std::string line = ReadLine(list, pos);
    LoadTypeFile(world, folder + line, row, context);
  } while (pos < list.size());
}

void LoadTypeFile(World& world, const std::string& path, size_t row, LoadContext& context) {
  assert(row < world.Catalogue.size());
  if (row >= world.Catalogue.size()) return;
  std::string text = ReadWholeFile(path);
  Target target{world.Catalogue[row]};
  std::string section;
  std::string subSection;
  size_t pos = 0;
  while (pos < text.size()) {
    std::string raw = ReadLine(text, pos);
    std::string_view line = Trim(raw);
    if (line.empty()) continue;
    if (line.front() == ')') {
      section = ExtractWord(line, ")", 1);
    } else if (line.front() == ']') {
      subSection = ExtractWord(line, "]", 1);
    } else {
      HandleDataLine(target, section, subSection, line, context);
    }
  }
}

namespace {

constexpr int kAnimationsNeeded = 4;  // walk, work, dying, walk loaded

std::string TypeLabel(size_t race, size_t kind, const TOpisan& type) {
  return "race " + IntToStr(int64_t(race)) + ", type " + IntToStr(int64_t(kind)) + " (" +
         type.Name + ")";
}

// The first problem with one type's own fields, or empty.
std::string CheckType(const TOpisan& type) {
  if (type.Energies.empty()) return "Energies is empty";
  if (type.SheetWidth <= 0 || type.SheetHeight <= 0 || type.FrameWidth <= 0 ||
      type.FrameHeight <= 0) {
    return "sheet and frame sizes must be positive";
  }
  int32_t rows = type.SheetHeight / type.FrameHeight;
  if (type.Animations.size() < kAnimationsNeeded) {
    return "Animations[" + IntToStr(int64_t(type.Animations.size())) + "] is missing";
  }
  for (size_t a = 0; a < type.Animations.size(); ++a) {
    const TKadri& anim = type.Animations[a];
    std::string where = "Animations[" + IntToStr(int64_t(a)) + "]";
    if (a < kAnimationsNeeded && anim.Frames.empty()) return where + ".Frames is empty";
    if (anim.TextureIndex < 0 || size_t(anim.TextureIndex) >= type.Textures.size()) {
      return where + ".TextureIndex " + IntToStr(anim.TextureIndex) + " is outside Textures";
    }
    for (int32_t frame : anim.Frames) {
      if (frame < 1 || frame > rows) {
        return where + ".Frames holds row " + IntToStr(frame) + ", outside the sheet's rows 1.." +
               IntToStr(rows);
      }
    }
  }
  return {};
}

}  // namespace

std::string ValidateCatalogue(const World& world) {
  const std::string prefix = "Data error: ";
  for (size_t race = 0; race < 2; ++race) {
    if (race >= world.Catalogue.size())
      return prefix + "race " + IntToStr(int64_t(race)) + " is missing";
    size_t needed = race == 0 ? 3 : 2;  // worker, base and, in race 0, the deposit
    if (world.Catalogue[race].Types.size() < needed) {
      return prefix + "race " + IntToStr(int64_t(race)) + ", type " +
             IntToStr(int64_t(world.Catalogue[race].Types.size())) + " is missing";
    }
  }
  const TOpisan& deposit = world.Catalogue[0].Types[kDepositKind];
  if (!deposit.IsResource)
    return prefix + TypeLabel(0, kDepositKind, deposit) + ": IsResource is false";

  for (size_t race = 0; race < world.Catalogue.size(); ++race) {
    const std::vector<TOpisan>& types = world.Catalogue[race].Types;
    for (size_t kind = 0; kind < types.size(); ++kind) {
      const TOpisan& type = types[kind];
      std::string problem = CheckType(type);
      if (problem.empty() && kind == size_t(kWorkerKind)) {
        if (type.Speeds.empty())
          problem = "Speeds is empty";
        else if (type.Mining.empty())
          problem = "Mining is empty";
      }
      if (problem.empty() && kind <= size_t(kBaseKind) && type.Buildables.empty()) {
        problem = "Buildables is empty";
      }
      for (size_t b = 0; problem.empty() && b < type.Buildables.size(); ++b) {
        const std::string& name = type.Buildables[b];
        // The build command takes the last type of that name.
        const TOpisan* built = nullptr;
        for (const TOpisan& candidate : types) {
          if (candidate.Name == name) built = &candidate;
        }
        if (built == nullptr) {
          problem = "Buildables names " + name + ", which is no type of this race";
        } else if (built->PriceResources.empty()) {
          problem = "Buildables names " + name + ", whose PriceResources is empty";
        }
      }
      if (!problem.empty()) return prefix + TypeLabel(race, kind, type) + ": " + problem;
    }
  }
  return {};
}

void LoadGround(World& world, LoadContext& context) {
  world.GroundTexture = LoadTexture(".\\maps\\summer2.bmp", context.platform, context.uploader);
}
