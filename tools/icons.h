// The program's icons: the human town hall from the base sheet, as RGBA PNG files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// RGBA rows top first (w * h * 4 bytes) as a PNG file with uncompressed deflate blocks.
std::vector<uint8_t> EncodePng(int w, int h, const std::vector<uint8_t>& rgba);

// The icon at size x size pixels, RGBA rows top first; transparent around the building.
std::vector<uint8_t> IconPixels(int size);

// Writes dir/<n>x<n>/apps/rtsdemo.png for every size; false when a file cannot be written.
bool WriteIcons(const std::filesystem::path& dir, const std::vector<int>& sizes);
