// Where the definition loader found each field, and what it found wrong with the data.
// Held beside the catalogue; not part of the world.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// One problem in the data, as compilers report them: "path:line: error: text".
struct DataProblem {
  std::string Path;  // relative to the data folder, "/" separators, UTF-8
  int32_t Line = 0;  // 1-based; 0: the problem has no line of its own
  bool Error = true;
  std::string Text;  // UTF-8; names and keywords quoted as they stand in the file
  size_t More = 0;   // above 0: stands for that many problems of one kind left out, the
                     // first of which has this text
};

// The problems found, in the order found. Add keeps the first kLimit of each kind (the text
// without its quoted pieces and numbers) per file and error level; the rest are only counted,
// in one entry that takes the place of the first one left out.
class DataProblems : public std::vector<DataProblem> {
 public:
  using std::vector<DataProblem>::vector;
  static constexpr size_t kLimit = 20;
  void Add(DataProblem problem);

 private:
  std::unordered_map<std::string, size_t> seen_;  // key: how many of it were added
  std::unordered_map<std::string, size_t> more_;  // key: index of its counting entry
};

// Pixel size of a sprite sheet as its header states it; 0 x 0 when it could not be read.
struct BitmapSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// Lines (1-based) of one type's fields, one per entry for the lists.
struct TypeSource {
  std::string Path;
  int32_t NameLine = 0;
  std::vector<int32_t> Textures;
  std::vector<BitmapSize> Bitmaps;  // one per "спрайты" entry
  std::vector<int32_t> Animations;
  int32_t Parameters = 0;  // the last "параметры" line; 0: none
  std::vector<int32_t> Energies;
  std::vector<int32_t> Speeds;
  std::vector<int32_t> Attacks;
  std::vector<int32_t> Buildables;
  std::vector<int32_t> Repairs;
  std::vector<int32_t> Mining;
  std::vector<int32_t> Upgrades;
  std::vector<int32_t> PriceResources;
  std::vector<int32_t> PriceObjects;
  int32_t Resource = 0;  // the last "ресурс" line; 0: none
};

// One catalogue row: its race list and the sources of its types, index for index.
struct RaceSource {
  std::string ListPath;
  bool ListRead = true;  // false: the list could not be read (only a check goes on then)
  std::vector<TypeSource> Types;
};

// Parallel to Catalogue, row for row.
struct DataSources {
  std::vector<RaceSource> Races;
  std::vector<std::string> Files;  // every file read, in reading order, as DisplayPath gives it
};

// "ludi/rab.txt:17: warning: text".
std::string FormatProblem(const DataProblem& problem);

// A data path as the files write it (".\ludi\rab.txt", Windows-1251) as a path relative to
// the data folder with "/" separators, in UTF-8 ("ludi/rab.txt").
std::string DisplayPath(const std::string& path);

// Number of errors among the problems, counting those left out.
size_t ErrorCount(const DataProblems& problems);
// Number of warnings, the same way.
size_t WarningCount(const DataProblems& problems);
