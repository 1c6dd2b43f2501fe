// Sprite-sheet files as a check sees them: whether they load, their size, and what the
// loader would read wrongly. Reads files only: no textures, no message boxes.
#pragma once

#include <string>
#include <vector>

#include "game/data_sources.h"

struct SheetFile {
  std::string Failure;             // why it cannot be loaded (UTF-8); empty when it loads
  BitmapSize Size;                 // as its header states it
  std::vector<std::string> Hints;  // warnings for a file that loads but is read wrongly
};

// fileName as the data writes it (".\ludi\x.bmp"); label names it in the hints (UTF-8).
// decode: decode the whole file as a load would; otherwise only its header is read (for a
// file that has loaded already).
SheetFile InspectSheet(const std::string& fileName, const std::string& label, bool decode);
