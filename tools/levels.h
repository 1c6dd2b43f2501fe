// The shipped level files.
#pragma once

#include <filesystem>

// Writes test.txt, four_mines.txt, battle.txt and hold.txt into the folder.
bool WriteLevels(const std::filesystem::path& folder);
