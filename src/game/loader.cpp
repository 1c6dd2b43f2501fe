#include "game/loader.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <string_view>
#include <vector>

#include "game/sheet_file.h"
#include "util/cp1251.h"
#include "util/echo_text.h"
#include "util/numtext.h"
#include "util/read_file.h"
#include "util/strman.h"

namespace {

constexpr std::string_view kSpace = " ";

std::string Quoted(const std::string& cp1251) {
  return "\"" + EchoCp1251(cp1251) + "\"";
}

// The whole file as bytes. A failure carries the runtime's I/O error text (what the box
// shows) and the system's reason; `named` is how a race list's line names the file (UTF-8),
// null for a file named by no line.
std::string ReadWholeFile(const std::string& path, const std::string* named) {
  std::string bytes;
  int error = 0;
  if (ReadFileBytes(NativePath(path), bytes, error)) return bytes;
  // An empty race-list line names the folder itself; a folder (or device, pipe) is no plain
  // file and is refused with the runtime's text for access denied.
  LoadError failure(error == ENOENT || error == ENOTDIR ? "File not found" : "File access denied");
  std::string detail = failure.what();
  if (named != nullptr && named->empty()) {
    detail += ": an empty line names the race folder itself";
  } else {
    if (named != nullptr) detail += ": \"" + EchoText(*named) + "\"";
    if (error == EISDIR) detail += " (a folder)";
    if (error != ENOENT && error != EISDIR) detail += " (" + SystemReason(error) + ")";
  }
  failure.Detail = detail;
  throw failure;
}

// Bytes a text file may hold below 0x20: tab, line feed, vertical tab, form feed, return.
bool TextControl(unsigned char c) {
  return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int32_t LineAt(std::string_view text, size_t offset) {
  return static_cast<int32_t>(1 + std::count(text.begin(), text.begin() + offset, '\n'));
}

// A data file's bytes as the loader reads them, in Windows-1251. UTF-8 with a byte-order mark
// or with text beyond ASCII is converted (a warning), a character with no Windows-1251 form
// is an error; control bytes are named (a warning).
void DataText(std::string& text, const std::string& where, LoadContext& context) {
  auto fail = [&](int32_t line, const std::string& why) {
    if (context.keepGoing) {
      if (context.problems != nullptr) context.problems->Add({where, line, true, why});
      return;
    }
    LoadError error(ToCp1251(where + ":" + IntToStr(line) + ": " + why));
    error.Path = where;
    error.Line = line;
    error.Detail = why;
    throw error;
  };
  // The rules trim such bytes off lines, so the file is still read as they say.
  const auto control = std::find_if(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 && !TextControl(b);
  });
  if (control != text.end() && context.problems != nullptr) {
    const size_t at = size_t(control - text.begin());
    context.problems->Add({where, LineAt(text, at), false,
                           "is not a text file: it holds the control byte " +
                               EchoText(std::string_view(&*control, 1))});
  }
  const bool mark = text.rfind("\xEF\xBB\xBF", 0) == 0;
  const bool wide = std::any_of(text.begin(), text.end(),
                                [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (!mark && !(wide && IsUtf8(text))) return;
  if (mark) text.erase(0, 3);
  std::vector<size_t> bad;
  std::string converted = ToCp1251(text, bad);
  if (context.problems != nullptr)
    context.problems->Add({where, 0, false,
                           "is read as UTF-8 and converted to Windows-1251, the encoding data "
                           "files are meant to have"});
  // The offsets come in order: lines are counted once over the whole text.
  int32_t line = 1;
  size_t counted = 0;
  for (size_t at : bad) {
    line += static_cast<int32_t>(std::count(text.begin() + counted, text.begin() + at, '\n'));
    counted = at;
    const size_t n = std::max<size_t>(Utf8SequenceLength(text, at), 1);
    fail(line,
         "\"" + EchoText(std::string_view(text).substr(at, n)) + "\" has no Windows-1251 form");
  }
  text = std::move(converted);
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
  if (context.problems != nullptr) context.problems->Add({t.path, t.line, error, std::move(text)});
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

// The bitmap of a sprite line, decoded once per load: a load keeps its pixels for the
// textures of later lines, a check what it found. A bitmap that cannot be loaded ends a load.
DecodedSheet& Sheet(const std::string& fileName, const std::string& label, bool inspect,
                    LoadContext& context) {
  DecodedSheet& sheet = context.sheets[fileName];
  if (!context.keepGoing && !sheet.Pixels) sheet.Pixels = LoadBMPOrExit(fileName, context.platform);
  if (inspect && !sheet.Inspected) {
    sheet.Sheet = InspectSheet(fileName, label, context.keepGoing);
    sheet.Inspected = true;
  }
  return sheet;
}

void AddTexture(Target& t, std::string_view line, LoadContext& context) {
  std::vector<uint32_t>& textures = t.Type().Textures;
  textures.push_back(0);
  const std::string fileName(line);
  const bool inspect =
      context.keepGoing || context.sources != nullptr || context.problems != nullptr;
  const std::string label = "sprite sheet " + Quoted(fileName);
  DecodedSheet* decoded = nullptr;
  try {
    decoded = &Sheet(fileName, label, inspect, context);
  } catch (const ProgramExit&) {
    // The boxes have been shown; the line and the reason go to the problems before the end.
    Report(context, t, true,
           label + " cannot be loaded: " + InspectSheet(fileName, label, true).Failure);
    throw;
  }
  // A load makes one texture per line, in line order, as the rules number them.
  if (!context.keepGoing) textures.back() = context.uploader.Upload(*decoded->Pixels);
  if (!inspect) return;
  const SheetFile& sheet = decoded->Sheet;
  if (!sheet.Failure.empty())
    Report(context, t, true, label + " cannot be loaded: " + sheet.Failure);
  for (const std::string& hint : sheet.Hints) Report(context, t, false, hint);
  if (TypeSource* source = t.Source()) source->Bitmaps.push_back(sheet.Size);
}

void AddAnimation(Target& t, std::string_view line, LoadContext&) {
  std::vector<TKadri>& animations = t.Type().Animations;
  animations.emplace_back();
  TKadri& row = animations.back();
  // The words in one pass: the count is 8-bit, as WordCount gives it, so 256 words count 0,
  // which gives no frames rather than -1; later words are never read.
  std::vector<std::string_view> words;
  size_t total = 0;
  for (size_t at = 0; at < line.size();) {
    const size_t start = line.find_first_not_of(' ', at);
    if (start == std::string_view::npos) break;
    const size_t end = std::min(line.find(' ', start), line.size());
    if (words.size() < 256) words.push_back(line.substr(start, end - start));
    ++total;
    at = end;
  }
  const std::string_view none;
  row.TextureIndex = StrToInt(words.empty() ? none : words[0]);
  const int frames = static_cast<int>(static_cast<uint8_t>(total)) - 1;
  row.Frames.assign(static_cast<size_t>(std::max(frames, 0)), 0);
  for (int i = 0; i < frames; ++i) row.Frames[size_t(i)] = StrToInt(words[size_t(i) + 1]);
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

void SetSight(Target& t, std::string_view line, LoadContext&) {
  t.Type().Sight = static_cast<float>(IntWord(line, 1));
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
    {"обзор", "", SetSight, nullptr, nullptr},
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
      Report(context, target, true, Quoted(state.section) + ": " + e.Echo());
      return;
    }
    LoadError error(e.what());
    error.Path = target.path;
    error.Line = target.line;
    error.Detail = Quoted(state.section) + ": " + e.Echo();
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

// Reads a data file for the loader in Windows-1251; a failure to read carries the position
// that names the file. False: a check goes on without the file.
bool ReadAt(const std::string& path, const std::string& where, int32_t line,
            const std::string* named, LoadContext& context, std::string& text) {
  try {
    text = ReadWholeFile(path, named);
  } catch (LoadError& e) {
    e.Path = where;
    e.Line = line;
    if (!context.keepGoing) throw;
    if (context.problems != nullptr) context.problems->Add({where, line, true, e.Detail});
    return false;
  }
  DataText(text, DisplayPath(path), context);
  return true;
}

void ParseTypeText(World& world, std::string_view text, size_t row, const std::string& path,
                   LoadContext& context) {
  assert(row < world.Catalogue.size());
  if (row >= world.Catalogue.size()) return;
  Target target{world.Catalogue[row], SourceRow(context, row), DisplayPath(path)};
  const size_t typesBefore = target.row.Types.size();
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
  if (target.row.Types.size() == typesBefore) {
    target.line = 0;
    Report(context, target, false, "defines no type (no \"название\" section with a name line)");
  }
}

}  // namespace

void LoadRaceList(World& world, const std::string& listName, const std::string& folder,
                  LoadContext& context) {
  const std::string listPath = folder + listName;
  const std::string where = DisplayPath(listPath);
  NoteFile(context, listPath);
  std::string list;
  if (!ReadAt(listPath, where, 0, nullptr, context, list)) {
    // A check keeps the row, empty, so that the next list still fills its own row.
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
    const std::string named = ToUtf8(line.substr(0, 400));
    if (!ReadAt(folder + line, where, number, &named, context, text)) continue;
    NoteFile(context, folder + line);
    ParseTypeText(world, text, row, folder + line, context);
  } while (pos < list.size());
}

void LoadTypeFile(World& world, const std::string& path, size_t row, LoadContext& context) {
  assert(row < world.Catalogue.size());
  if (row >= world.Catalogue.size()) return;
  std::string text;
  if (ReadAt(path, DisplayPath(path), 0, nullptr, context, text))
    ParseTypeText(world, text, row, path, context);
}

void LoadTypeText(World& world, std::string_view text, size_t row, LoadContext& context) {
  std::string bytes(text);
  DataText(bytes, std::string(), context);
  ParseTypeText(world, bytes, row, std::string(), context);
}

void LoadGround(World& world, LoadContext& context) {
  NoteFile(context, kGroundPath);
  const std::string label = "the ground bitmap";
  const std::string where = DisplayPath(kGroundPath);
  if (context.keepGoing) {
    const SheetFile sheet = InspectSheet(kGroundPath, label, true);
    if (context.problems == nullptr) return;
    if (!sheet.Failure.empty())
      context.problems->Add({where, 0, true, label + " cannot be loaded: " + sheet.Failure});
    for (const std::string& hint : sheet.Hints) context.problems->Add({where, 0, false, hint});
    return;
  }
  try {
    world.GroundTexture = LoadTexture(kGroundPath, context.platform, context.uploader);
  } catch (const ProgramExit&) {
    if (context.problems != nullptr)
      context.problems->Add(
          {where, 0, true,
           label + " cannot be loaded: " + InspectSheet(kGroundPath, label, true).Failure});
    throw;
  }
}

void LoadGameData(World& world, LoadContext& context) {
  for (const RaceList& list : kRaceLists) LoadRaceList(world, list.ListName, list.Folder, context);
  LoadGround(world, context);
  context.sheets.clear();
}
