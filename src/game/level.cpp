#include "game/level.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "game/loader.h"
#include "util/bmp.h"
#include "util/cp1251.h"
#include "util/echo_text.h"
#include "util/numtext.h"
#include "util/strman.h"

namespace {

constexpr int32_t kMaxGroundTiles = 1000;  // per axis
// Treasuries beyond this would not show in the read-out's whole numbers.
constexpr double kMaxMoney = 1e9;
// World units from the origin, for objects and the camera (the largest ground is 32 000 wide).
constexpr double kMaxPlace = 1e6;

// True for text that decodes as UTF-8 and holds at least one byte above 127.
bool LooksLikeUtf8(std::string_view text) {
  bool wide = false;
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t extra = 0;
    if ((c & 0xE0) == 0xC0) {
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
    } else if (c >= 0x80) {
      return false;
    }
    if (text.size() - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    wide = wide || extra > 0;
    i += extra + 1;
  }
  return wide;
}

// Words at runs of spaces and tabs.
std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

// "1 000 000".
std::string Grouped(double limit) {
  std::string digits = std::to_string(static_cast<int64_t>(limit));
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, " ");
  return digits;
}

std::string Quoted(const std::string& cp1251) {
  return "\"" + ToUtf8(cp1251) + "\"";
}

// One line being read: reports carry its path and number.
struct LineReader {
  const std::string& path;
  int32_t line;
  DataProblems& problems;
  bool ok = true;

  void Problem(bool error, const std::string& text) {
    problems.Add({path, line, error, text});
    if (error) ok = false;
  }
  // A real within +-limit; 0 with an error otherwise.
  float Real(const std::string& word, const char* what, double limit) {
    const float v = Real(word, what);
    if (std::fabs(v) <= limit) return v;
    Problem(true, std::string(what) + " " + Quoted(word) + " is out of range (-" + Grouped(limit) +
                      " to " + Grouped(limit) + ")");
    return 0;
  }
  float Real(const std::string& word, const char* what) {
    double v = 0;
    try {
      v = StrToFloat(word);
    } catch (const ConvertError& e) {
      Problem(true, std::string(what) + ": " + ToUtf8(e.what()));
      return 0;
    }
    if (!(std::fabs(v) <= std::numeric_limits<float>::max())) {
      Problem(true, std::string(what) + " " + Quoted(word) + " is not a finite number");
      return 0;
    }
    return static_cast<float>(v);
  }
  int32_t Int(const std::string& word, const char* what) {
    try {
      return StrToInt(word);
    } catch (const ConvertError& e) {
      Problem(true, std::string(what) + ": " + ToUtf8(e.what()));
      return 0;
    }
  }
  bool Count(const std::vector<std::string>& w, size_t lo, size_t hi, const char* form) {
    if (w.size() >= lo && w.size() <= hi) return true;
    Problem(true, "expected " + std::string(form) + ", found " + std::to_string(w.size()) +
                      (w.size() == 1 ? " word" : " words"));
    return false;
  }
};

void ReadMoney(Level& level, LineReader& r, const std::vector<std::string>& w) {
  if (!r.Count(w, 2, 2, "\"side money\"")) return;
  const int32_t side = r.Int(w[0], "side");
  const float money = r.Real(w[1], "money", kMaxMoney);
  if (!r.ok) return;
  if (side < 0 || side > 2) {
    r.Problem(true,
              "treasury of side " + std::to_string(side) + ": only sides 0, 1 and 2 have one");
    return;
  }
  if (level.HasMoney[static_cast<size_t>(side)])
    r.Problem(false, "side " + std::to_string(side) + "'s treasury set again; the last counts");
  level.Money[static_cast<size_t>(side)] = money;
  level.HasMoney[static_cast<size_t>(side)] = true;
}

void ReadGround(Level& level, LineReader& r, const std::vector<std::string>& w) {
  if (!r.Count(w, 2, 2, "\"columns rows\"")) return;
  const int32_t columns = r.Int(w[0], "columns");
  const int32_t rows = r.Int(w[1], "rows");
  if (!r.ok) return;
  if (columns < 1 || rows < 1 || columns > kMaxGroundTiles || rows > kMaxGroundTiles) {
    r.Problem(true, "ground of " + std::to_string(columns) + " x " + std::to_string(rows) +
                        " tiles: each side takes 1 to " + std::to_string(kMaxGroundTiles));
    return;
  }
  level.Ground = {columns, rows};
}

void ReadCamera(Level& level, LineReader& r, const std::vector<std::string>& w) {
  if (!r.Count(w, 2, 2, "\"x y\"")) return;
  const float x = r.Real(w[0], "camera x", kMaxPlace);
  const float y = r.Real(w[1], "camera y", kMaxPlace);
  if (!r.ok) return;
  level.HasCamera = true;
  level.CameraX = x;
  level.CameraY = y;
}

void ReadObject(Level& level, LineReader& r, const std::vector<std::string>& w) {
  if (!r.Count(w, 5, 6, "\"race type side x y [heading]\"")) return;
  LevelObject o;
  o.Race = w[0];
  o.Type = w[1];
  o.Side = r.Int(w[2], "side");
  o.X = r.Real(w[3], "x", kMaxPlace);
  o.Y = r.Real(w[4], "y", kMaxPlace);
  if (w.size() > 5) o.Angle = r.Real(w[5], "heading");
  o.Line = r.line;
  if (!r.ok) return;
  // Sides other than these have no treasury the read-out shows; they still play.
  if (o.Side != 0 && o.Side != 1 && o.Side != 2 && o.Side != kNeutralSide) {
    r.Problem(false, "side " + std::to_string(o.Side) + " is none of 0, 1, 2 and 555 (neutral)");
  }
  level.Objects.push_back(std::move(o));
}

void ReadMission(Level& level, LineReader& r, const std::vector<std::string>& w) {
  if (!r.Count(w, 1, 1, "\"FILE\"")) return;
  if (!level.Mission.empty()) r.Problem(false, "a second mission; the last counts");
  level.Mission = w[0];
  level.MissionLine = r.line;
}

using SectionReader = void (*)(Level&, LineReader&, const std::vector<std::string>&);

struct Section {
  const char* keyword;  // UTF-8
  SectionReader read;
};

const Section kSections[] = {
    {"казна", ReadMoney},    {"земля", ReadGround},   {"камера", ReadCamera},
    {"объекты", ReadObject}, {"миссия", ReadMission},
};

// A race by its row or its folder's name.
int32_t FindRace(const World& world, const std::string& word) {
  int32_t row = -1;
  if (TryStrToInt(word, row)) {
    return row >= 0 && static_cast<size_t>(row) < world.Catalogue.size() ? row : -1;
  }
  for (size_t i = 0; i < std::size(kRaceLists) && i < world.Catalogue.size(); ++i) {
    std::string folder = kRaceLists[i].Folder;  // ".\ludi\"
    folder = folder.substr(2, folder.size() - 3);
    if (folder == word) return static_cast<int32_t>(i);
  }
  return -1;
}

// A type by its index or its name; the first of two types of one name.
int32_t FindKind(const TRassa& race, const std::string& word) {
  int32_t kind = -1;
  if (TryStrToInt(word, kind)) {
    return kind >= 0 && static_cast<size_t>(kind) < race.Types.size() ? kind : -1;
  }
  for (size_t k = 0; k < race.Types.size(); ++k) {
    if (race.Types[k].Name == word) return static_cast<int32_t>(k);
  }
  return -1;
}

}  // namespace

Level ParseLevel(std::string_view text, const std::string& path, DataProblems& problems) {
  Level level;
  level.Path = path;
  std::string converted;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (LooksLikeUtf8(text)) {
    std::vector<size_t> bad;
    converted = ToCp1251(text, bad);
    for (size_t at : bad) {
      const size_t n = std::max<size_t>(Utf8SequenceLength(text, at), 1);
      const auto line = static_cast<int32_t>(1 + std::count(text.begin(), text.begin() + at, '\n'));
      problems.Add(
          {path, line, true, "\"" + EchoText(text.substr(at, n)) + "\" has no Windows-1251 form"});
    }
    text = converted;
  }
  const Section* section = nullptr;
  bool warnedNoSection = false;
  int32_t number = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    // A line ends at LF (CR LF too); a stray CR is dropped, as in the data files.
    std::string raw;
    while (pos < text.size()) {
      const char c = text[pos++];
      if (c == '\n') break;
      if (c != '\r') raw += c;
    }
    ++number;
    const std::string_view line = TrimBlanks(raw);
    if (line.empty() || line.front() == '#') continue;
    LineReader r{level.Path, number, problems};
    if (line.front() == ')') {
      const std::string name = ToUtf8(TrimBlanks(line.substr(1)));
      section = nullptr;
      for (const Section& s : kSections)
        if (name == s.keyword) section = &s;
      // An error: a mistyped keyword would leave the level without what it meant.
      if (section == nullptr) {
        r.Problem(true,
                  "unknown section \"" + name +
                      "\" (known: казна, земля, камера, объекты, миссия); its lines are ignored");
      }
      warnedNoSection = true;
      continue;
    }
    if (section == nullptr) {
      if (!warnedNoSection) r.Problem(false, "line outside any section; ignored");
      warnedNoSection = true;
      continue;
    }
    section->read(level, r, Words(line));
  }
  return level;
}

namespace {

// The mission script beside the level file; a file that cannot be read is an error at its line.
void ReadMissionText(Level& level, const std::string& file, DataProblems& problems) {
  namespace fs = std::filesystem;
  level.MissionShown = (fs::path(level.Path).parent_path() / level.Mission).generic_string();
  const fs::path where = fs::path(file).parent_path() / level.Mission;
  std::error_code error;
  std::ifstream in;
  if (fs::is_regular_file(where, error)) in.open(where, std::ios::binary);
  if (!in.is_open()) {
    problems.Add({level.Path, level.MissionLine, true,
                  "cannot read the mission script " + Quoted(level.MissionShown)});
    level.Mission.clear();
    return;
  }
  level.MissionText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::string FindLevelFile(const std::string& name) {
  std::error_code error;
  for (const std::string& candidate : {name, NativePath(name), NativePath("levels/" + name),
                                       NativePath("levels/" + name + ".txt")}) {
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return name;
}

Level ReadLevelFile(const std::string& file, DataProblems& problems, const std::string& shown) {
  const std::string& path = shown.empty() ? file : shown;
  std::error_code error;
  std::ifstream in;
  if (std::filesystem::is_regular_file(file, error)) in.open(file, std::ios::binary);
  if (!in.is_open()) {
    const int opened = errno;
    namespace fs = std::filesystem;
    std::string why = !fs::exists(file, error)            ? "no such file"
                      : fs::is_directory(file, error)     ? "it is a folder"
                      : !fs::is_regular_file(file, error) ? "it is not a plain file"
                                                          : std::strerror(opened);
    std::string names;
    for (const std::string& shipped : ShippedLevels())
      names += (names.empty() ? "" : ", ") + std::filesystem::path(shipped).stem().string();
    if (!names.empty()) why += "; the shipped levels: " + names;
    problems.Add({path, 0, true, "cannot read the level file (" + why + ")"});
    Level level;
    level.Path = path;
    return level;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Level level = ParseLevel(text, path, problems);
  if (!level.Mission.empty()) ReadMissionText(level, file, problems);
  return level;
}

bool FindRaceType(const World& world, const std::string& race, const std::string& type,
                  int32_t& rassa, int32_t& kind) {
  rassa = FindRace(world, race);
  kind = rassa < 0 ? -1 : FindKind(world.Catalogue[static_cast<size_t>(rassa)], type);
  return kind >= 0;
}

void ResolveLevel(const World& world, Level& level, DataProblems& problems) {
  for (LevelObject& o : level.Objects) {
    o.Rassa = FindRace(world, o.Race);
    o.Kind = -1;
    if (o.Rassa < 0) {
      problems.Add(
          {level.Path, o.Line, true, "no race " + Quoted(o.Race) + " (0, 1, ludi or orki)"});
      continue;
    }
    o.Kind = FindKind(world.Catalogue[static_cast<size_t>(o.Rassa)], o.Type);
    if (o.Kind < 0) {
      problems.Add(
          {level.Path, o.Line, true, "no type " + Quoted(o.Type) + " in race " + Quoted(o.Race)});
    }
  }
}

void CreateLevel(World& world, const Level& level) {
  // A treasury the file does not give keeps its value, as the rules' level keeps side 2's.
  for (size_t s = 0; s < level.Money.size(); ++s)
    if (level.HasMoney[s]) world.Sides[s].Money = level.Money[s];
  world.Ground = level.Ground;
  world.Mission = {};
  world.Mission.Referee = !level.Mission.empty();
  for (const LevelObject& o : level.Objects) {
    if (o.Rassa < 0 || o.Kind < 0) continue;
    SpawnObject(world, o.Rassa, o.Kind, o.Side, o.X, o.Y, o.Angle);
  }
}

void LevelCamera(const Level& level, int w, int h, float& cameraX, float& cameraY) {
  cameraX = 0;
  cameraY = 0;
  if (!level.HasCamera) return;
  cameraX = static_cast<float>(w / 2) - level.CameraX;
  cameraY = static_cast<float>(h / 2) - level.CameraY;
}

std::vector<std::string> ShippedLevels() {
  std::vector<std::string> found;
  std::error_code error;
  for (std::filesystem::directory_iterator it(NativePath("levels"), error), end;
       !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".txt" && it->is_regular_file(error))
      found.push_back("levels/" + it->path().filename().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

void CheckLevels(const World& world, const std::vector<std::string>& extra,
                 DataProblems& problems) {
  for (const std::string& shipped : ShippedLevels()) {
    Level level = ReadLevelFile(NativePath(shipped), problems, shipped);
    ResolveLevel(world, level, problems);
  }
  for (const std::string& path : extra) {
    Level level = ReadLevelFile(path, problems);
    ResolveLevel(world, level, problems);
  }
}
