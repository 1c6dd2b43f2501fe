// The definition loader: race lists and type description files into the catalogue.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "game/world.h"
#include "util/bmp.h"
#include "util/platform.h"

// A load failure; what() is the runtime's message without the full stop.
struct LoadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Services the loader needs to turn sprite lines into textures.
struct LoadContext {
  Platform& platform;
  TextureUploader& uploader;
};

// Appends one row to the catalogue and fills it from every file the list names.
// listName e.g. "ludi.txt", folder e.g. ".\ludi\" (with its trailing backslash).
void LoadRaceList(World& world, const std::string& listName, const std::string& folder,
                  LoadContext& context);

// Appends the types of one type description file to the given row.
void LoadTypeFile(World& world, const std::string& path, size_t row, LoadContext& context);

// The same for a type description file's bytes already in memory.
void LoadTypeText(World& world, std::string_view text, size_t row, LoadContext& context);

// Checks what the rules require of loaded data; returns an empty string when all is well,
// else one line naming the race, type and field that is missing (Windows-1251).
std::string ValidateCatalogue(const World& world);

// Loads the ground sheet ".\maps\summer2.bmp" into world.GroundTexture.
void LoadGround(World& world, LoadContext& context);
