// The definition loader: race lists and type description files into the catalogue.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

#include "game/data_sources.h"
#include "game/sheet_file.h"
#include "game/world.h"
#include "util/bmp.h"
#include "util/platform.h"

// A load failure; what() is the runtime's message without the full stop.
struct LoadError : std::runtime_error {
  using std::runtime_error::runtime_error;
  std::string Path;    // where it happened, as DisplayPath gives it; empty: unknown
  int32_t Line = 0;    // 0: no line of its own
  std::string Detail;  // the problem's text for the compiler-form line (UTF-8); empty: what()
};

// One bitmap decoded once per load, however many lines name it.
struct DecodedSheet {
  std::optional<Image> Pixels;  // kept for the textures of later lines (a load)
  bool Inspected = false;
  SheetFile Sheet;  // what a check found
};

// Services the loader needs to turn sprite lines into textures.
struct LoadContext {
  Platform& platform;
  TextureUploader& uploader;
  DataSources* sources = nullptr;    // when set: filled with where every field came from
  DataProblems* problems = nullptr;  // when set: gets the warnings found while reading
  // A check: errors go to problems too and reading goes on with the next line or file;
  // bitmaps are decoded but make no texture (ids stay 0), and nothing is shown.
  bool keepGoing = false;
  std::unordered_map<std::string, DecodedSheet> sheets{};  // by the file name the lines give
};

// The race lists the load button reads, in row order.
struct RaceList {
  const char* ListName;
  const char* Folder;
};
inline constexpr RaceList kRaceLists[] = {{"ludi.txt", ".\\ludi\\"}, {"orki.txt", ".\\orki\\"}};
inline constexpr const char* kGroundPath = ".\\maps\\summer2.bmp";

// Appends one row to the catalogue and fills it from every file the list names.
// listName e.g. "ludi.txt", folder e.g. ".\ludi\" (with its trailing backslash).
void LoadRaceList(World& world, const std::string& listName, const std::string& folder,
                  LoadContext& context);

// Appends the types of one type description file to the given row.
void LoadTypeFile(World& world, const std::string& path, size_t row, LoadContext& context);

// The same for a type description file's bytes already in memory.
void LoadTypeText(World& world, std::string_view text, size_t row, LoadContext& context);

// Loads the ground sheet ".\maps\summer2.bmp" into world.GroundTexture.
void LoadGround(World& world, LoadContext& context);

// What the load button loads: both race lists, then the ground.
void LoadGameData(World& world, LoadContext& context);
