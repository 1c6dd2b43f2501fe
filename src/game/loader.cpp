#include "game/loader.h"

void LoadRaceList(World&, const std::string&, const std::string&, LoadContext&) {
  throw LoadError("File not found");
}
void LoadTypeFile(World&, const std::string&, size_t, LoadContext&) {}
std::string ValidateCatalogue(const World&) { return {}; }
void LoadGround(World&, LoadContext&) {}
