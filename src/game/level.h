// Levels of one's own: a plain-text file in the style of the data files giving the
// treasuries, the ground's extent, the camera's start and the objects to spawn.
//
//   )казна        side money          sides 0, 1, 2 (a side not given keeps its treasury)
//   )земля        columns rows        the ground square in tiles (21 21 unless given)
//   )камера       x y                 the world point in the middle of the view at the start
//   )объекты      race type side x y [heading]
//   )миссия       FILE                the mission script, beside the level file (optional)
//
// A race is its row (0, 1) or its folder ("ludi", "orki"); a type its index in the race or
// its name. Objects spawn in file order, so their indices are the file's order. Lines are
// trimmed as in the data files; empty lines and lines starting with "#" are skipped.
// Windows-1251 or UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/data_sources.h"
#include "game/world.h"

struct LevelObject {
  std::string Race;  // as written, Windows-1251
  std::string Type;
  int32_t Rassa = -1;  // resolved against the catalogue; -1 until then
  int32_t Kind = -1;
  int32_t Side = 0;
  float X = 0;  // world units
  float Y = 0;
  float Angle = 0;  // degrees
  int32_t Line = 0;
};

struct Level {
  std::string Path;                // as problems name it
  std::array<float, 3> Money{};    // sides 0, 1, 2
  std::array<bool, 3> HasMoney{};  // the file set this side's treasury
  GroundArea Ground;
  bool HasCamera = false;
  float CameraX = 0;  // world point shown in the middle of the view
  float CameraY = 0;
  std::vector<LevelObject> Objects;
  std::string Mission;  // the mission script as the level names it; empty: none
  int32_t MissionLine = 0;
  std::string MissionShown;  // as problems name it, beside the level's own name
  std::string MissionText;   // read by ReadLevelFile
};

// Reads a level's text; every problem goes to problems with `path` and its line. Faulty lines
// are left out of the level.
Level ParseLevel(std::string_view text, const std::string& path, DataProblems& problems);

// Where a level named on the command line or in a script is: the name itself when that file
// exists, else the data folder's NAME, levels/NAME or levels/NAME.txt, else the name.
std::string FindLevelFile(const std::string& name);

// Reads the file at `file` (as the file system names it); problems name it `shown` when given.
// A file that cannot be read is one error without a line.
Level ReadLevelFile(const std::string& file, DataProblems& problems, const std::string& shown = "");

// A race by its row or folder and a type by its index or name (Windows-1251), as the level's
// objects name them; false when either does not exist.
bool FindRaceType(const World& world, const std::string& race, const std::string& type,
                  int32_t& rassa, int32_t& kind);

// Finds every object's race and type in the catalogue; a missing one is an error.
void ResolveLevel(const World& world, Level& level, DataProblems& problems);

// Treasuries given and spawns of a resolved level (objects that did not resolve are skipped). The
// ground's extent goes into the world; the camera is the caller's.
void CreateLevel(World& world, const Level& level);

// The level's camera offset for a view of w x h pixels: the camera point in the middle.
// Without a camera point the offset is 0, 0 as without a level.
void LevelCamera(const Level& level, int w, int h, float& cameraX, float& cameraY);

// The shipped levels: every ".txt" file in the data folder's "levels", sorted, as
// "levels/NAME.txt" (NativePath opens them).
std::vector<std::string> ShippedLevels();

// --check's part: reads and resolves every shipped level and each of `extra`.
void CheckLevels(const World& world, const std::vector<std::string>& extra, DataProblems& problems);
