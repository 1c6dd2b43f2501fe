#include "game/loader.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "game/sheet_file.h"
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

std::string Word(std::string_view line, uint8_t n) {
  return ExtractWord(line, kSpace, n);
}
int32_t IntWord(std::string_view line, uint8_t n) {
  return StrToInt(Word(line, n));
}
float RealWord(std::string_view line, uint8_t n) {
  return static_cast<float>(StrToFloat(Word(line, n)));
}

// What one data line acts on: the row, and the file's current type (-1 before the first);
// with sources, where the line stands.
struct Target {
  TRassa& row;
  RaceSource* race = nullptr;
  std::string path;  // DisplayPath of the file
  int32_t line = 0;
  int64_t type = -1;
  TOpisan& Type() { return row.Types[static_cast<size_t>(type)]; }
  TypeSource* Source() {
    if (race == nullptr || type < 0 || static_cast<size_t>(type) >= race->Types.size())
      return nullptr;
    return &race->Types[static_cast<size_t>(type)];
  }
};

void Report(LoadContext& context, const Target& t, bool error, std::string text) {
  if (context.problems != nullptr)
    context.problems->push_back({t.path, t.line, error, std::move(text)});
}

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
  const std::string fileName(line);
  const bool inspect =
      context.keepGoing || context.sources != nullptr || context.problems != nullptr;
  // A load makes the texture first: a bitmap that cannot be loaded ends the program there.
  if (!context.keepGoing)
    textures.back() = LoadTexture(fileName, context.platform, context.uploader);
  if (!inspect) return;
  const std::string label = "sprite sheet \"" + ToUtf8(fileName) + "\"";
  const SheetFile sheet = InspectSheet(fileName, label, context.keepGoing);
  if (!sheet.Failure.empty())
    Report(context, t, true, label + " cannot be loaded: " + sheet.Failure);
  for (const std::string& hint : sheet.Hints) Report(context, t, false, hint);
  if (TypeSource* source = t.Source()) source->Bitmaps.push_back(sheet.Size);
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
bool HasUpgrade(Target& t, LoadContext& context, const char* subSection) {
  if (!t.Type().Upgrades.empty()) return true;
  Report(context, t, false,
         std::string("\"") + subSection +
             "\" line of \"апгрейд\" before the type's first upgrade name; it is ignored");
  return false;
}

void AddUpgradeResource(Target& t, std::string_view line, LoadContext& context) {
  if (HasUpgrade(t, context, "ресурсы")) FillCena(t.Type().Upgrades.back().Resources, line);
}

void AddUpgradeObject(Target& t, std::string_view line, LoadContext& context) {
  if (HasUpgrade(t, context, "объекты")) FillKolvo(t.Type().Upgrades.back().ObjectCounts, line);
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

// Where a row's line is recorded: one line per entry, or the last line of a single field.
using LineList = std::vector<int32_t> TypeSource::*;
using LineField = int32_t TypeSource::*;

// One row of the section table; an empty sub-section matches any.
struct SectionRow {
  const char* section;  // UTF-8
  const char* subSection;
  DataHandler handler;
  LineList lines;
  LineField field;
};

constexpr SectionRow kSections[] = {
    {"название", "", AddType, nullptr, nullptr},
    {"спрайты", "", AddTexture, &TypeSource::Textures, nullptr},
    {"индексы", "", AddAnimation, &TypeSource::Animations, nullptr},
    {"параметры", "", SetParameters, nullptr, &TypeSource::Parameters},
    {"энергия", "", AddEnergy, &TypeSource::Energies, nullptr},
    {"скорость", "", AddSpeed, &TypeSource::Speeds, nullptr},
    {"удар", "", AddAttack, &TypeSource::Attacks, nullptr},
    {"стройка", "", AddBuildable, &TypeSource::Buildables, nullptr},
    {"ремонт", "", AddRepair, &TypeSource::Repairs, nullptr},
    {"добыча", "", AddMining, &TypeSource::Mining, nullptr},
    {"апгрейд", "название", AddUpgrade, &TypeSource::Upgrades, nullptr},
    {"апгрейд", "ресурсы", AddUpgradeResource, nullptr, nullptr},
    {"апгрейд", "объекты", AddUpgradeObject, nullptr, nullptr},
    {"цена", "ресурсы", AddPriceResource, &TypeSource::PriceResources, nullptr},
    {"цена", "объекты", AddPriceObject, &TypeSource::PriceObjects, nullptr},
    {"ресурс", "", SetResource, nullptr, &TypeSource::Resource},
};

struct Section {
  std::string section;  // Windows-1251
  std::string subSection;
  const SectionRow* row;
};

// The table in the data files' code page, converted once.
const std::vector<Section>& Sections() {
  static const std::vector<Section> table = [] {
    std::vector<Section> out;
    for (const SectionRow& row : kSections) {
      out.push_back({ToCp1251(row.section), ToCp1251(row.subSection), &row});
    }
    return out;
  }();
  return table;
}

const SectionRow* FindRow(const std::string& section, const std::string& subSection) {
  for (const Section& row : Sections()) {
    if (row.section == section && (row.subSection.empty() || row.subSection == subSection)) {
      return row.row;
    }
  }
  return nullptr;
}

bool KnownSection(const std::string& section) {
  for (const Section& row : Sections()) {
    if (row.section == section) return true;
  }
  return false;
}

std::string Quoted(const std::string& cp1251) {
  return "\"" + ToUtf8(cp1251) + "\"";
}

// Per file: the current section and sub-section, and whether an ignored line was reported
// since the last header.
struct FileState {
  std::string section;
  std::string subSection;
  bool ignoredReported = false;
};

void ReportIgnored(Target& t, FileState& state, LoadContext& context) {
  if (state.ignoredReported) return;
  state.ignoredReported = true;
  std::string why;
  if (state.section.empty()) {
    why = "no section header (\")\" and a keyword) comes before it";
  } else if (!KnownSection(state.section)) {
    why = "section " + Quoted(state.section) + " is no section the loader knows";
  } else if (state.subSection.empty()) {
    why = "section " + Quoted(state.section) +
          " takes its lines under a \"]\" sub-section, and "
          "none is set";
  } else {
    why = "section " + Quoted(state.section) + " has no sub-section " + Quoted(state.subSection);
  }
  Report(context, t, false, "line is ignored: " + why);
}

void HandleDataLine(Target& target, FileState& state, std::string_view line, LoadContext& context) {
  const SectionRow* row = FindRow(state.section, state.subSection);
  if (row == nullptr) {
    ReportIgnored(target, state, context);
    return;
  }
  // Lines before the file's first type have no type to go to: they are ignored.
  if (row->handler != AddType && target.type < 0) {
    if (!state.ignoredReported)
      Report(context, target, false,
             "line is ignored: it comes before the file's first \"название\" line");
    state.ignoredReported = true;
    return;
  }
  if (row->handler == AddType && target.race != nullptr) {
    // The new type's source, kept index for index with the row's types.
    target.race->Types.resize(target.row.Types.size());
    TypeSource& source = target.race->Types.emplace_back();
    source.Path = target.path;
    source.NameLine = target.line;
  }
  // The entry is appended before it is filled, so its line is recorded first.
  if (TypeSource* source = row->handler != AddType ? target.Source() : nullptr) {
    if (row->lines != nullptr) (source->*(row->lines)).push_back(target.line);
    if (row->field != nullptr) {
      int32_t& at = source->*(row->field);
      if (at != 0)
        Report(
            context, target, false,
            "a second " + Quoted(state.section) + " line replaces the one at line " + IntToStr(at));
      at = target.line;
    }
  }
  try {
    row->handler(target, line, context);
  } catch (const ConvertError& e) {
    if (context.keepGoing) {
      Report(context, target, true, Quoted(state.section) + ": " + ToUtf8(e.what()));
      return;
    }
    LoadError error(e.what());
    error.Path = target.path;
    error.Line = target.line;
    throw error;
  }
}

// Makes sure the sources have a row for `row`; null without sources.
RaceSource* SourceRow(LoadContext& context, size_t row) {
  if (context.sources == nullptr) return nullptr;
  if (context.sources->Races.size() <= row) context.sources->Races.resize(row + 1);
  return &context.sources->Races[row];
}

void NoteFile(LoadContext& context, const std::string& path) {
  if (context.sources != nullptr) context.sources->Files.push_back(DisplayPath(path));
}

// Reads a file for the loader; a failure carries the given position.
std::string ReadAt(const std::string& path, const std::string& where, int32_t line) {
  try {
    return ReadWholeFile(path);
  } catch (LoadError& e) {
    e.Path = where;
    e.Line = line;
    throw;
  }
}

void ParseTypeText(World& world, std::string_view text, size_t row, const std::string& path,
                   LoadContext& context) {
  assert(row < world.Catalogue.size());
  if (row >= world.Catalogue.size()) return;
  Target target{world.Catalogue[row], SourceRow(context, row), DisplayPath(path)};
  FileState state;
  size_t pos = 0;
  while (pos < text.size()) {
    std::string raw = ReadLine(text, pos);
    ++target.line;
    std::string_view line = TrimBlanks(raw);
    if (line.empty()) continue;
    if (line.front() == ')') {
      state.section = ExtractWord(line, ")", 1);
      state.ignoredReported = false;
    } else if (line.front() == ']') {
      state.subSection = ExtractWord(line, "]", 1);
      state.ignoredReported = false;
    } else {
      HandleDataLine(target, state, line, context);
    }
  }
}

}  // namespace

void LoadRaceList(World& world, const std::string& listName, const std::string& folder,
                  LoadContext& context) {
  const std::string listPath = folder + listName;
  const std::string where = DisplayPath(listPath);
  NoteFile(context, listPath);
  std::string list;
  try {
    list = ReadAt(listPath, where, 0);
  } catch (const LoadError& e) {
    if (!context.keepGoing) throw;
    // A check keeps the row, empty, so that the next list still fills its own row.
    if (context.problems != nullptr) context.problems->push_back({where, 0, true, e.what()});
    world.Catalogue.emplace_back();
    if (RaceSource* race = SourceRow(context, world.Catalogue.size() - 1)) {
      race->ListPath = where;
      race->ListRead = false;
    }
    return;
  }
  world.Catalogue.emplace_back();
  size_t row = world.Catalogue.size() - 1;
  if (RaceSource* race = SourceRow(context, row)) race->ListPath = where;
  size_t pos = 0;
  int32_t number = 0;
  // At least one line is read, so an empty list names the folder itself.
  do {
    std::string line = ReadLine(list, pos);
    ++number;
    std::string text;
    try {
      text = ReadAt(folder + line, where, number);
    } catch (const LoadError& e) {
      if (!context.keepGoing) throw;
      std::string detail =
          line.empty() ? "an empty line names the race folder itself" : "\"" + ToUtf8(line) + "\"";
      if (context.problems != nullptr)
        context.problems->push_back({where, number, true, std::string(e.what()) + ": " + detail});
      continue;
    }
    NoteFile(context, folder + line);
    ParseTypeText(world, text, row, folder + line, context);
  } while (pos < list.size());
}

void LoadTypeFile(World& world, const std::string& path, size_t row, LoadContext& context) {
  assert(row < world.Catalogue.size());
  if (row >= world.Catalogue.size()) return;
  ParseTypeText(world, ReadAt(path, DisplayPath(path), 0), row, path, context);
}

void LoadTypeText(World& world, std::string_view text, size_t row, LoadContext& context) {
  ParseTypeText(world, text, row, std::string(), context);
}

void LoadGround(World& world, LoadContext& context) {
  NoteFile(context, kGroundPath);
  if (context.keepGoing) {
    const std::string label = "the ground bitmap";
    const SheetFile sheet = InspectSheet(kGroundPath, label, true);
    if (context.problems == nullptr) return;
    const std::string where = DisplayPath(kGroundPath);
    if (!sheet.Failure.empty())
      context.problems->push_back({where, 0, true, label + " cannot be loaded: " + sheet.Failure});
    for (const std::string& hint : sheet.Hints)
      context.problems->push_back({where, 0, false, hint});
    return;
  }
  world.GroundTexture = LoadTexture(kGroundPath, context.platform, context.uploader);
}

void LoadGameData(World& world, LoadContext& context) {
  for (const RaceList& list : kRaceLists) LoadRaceList(world, list.ListName, list.Folder, context);
  LoadGround(world, context);
}
