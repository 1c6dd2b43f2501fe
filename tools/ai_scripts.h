// The shipped AI and mission scripts.
#pragma once

#include <filesystem>

// Copies the scripts written by hand in tools/ai/ into the folder, byte for byte.
bool WriteAiScripts(const std::filesystem::path& folder);
// The same for the levels' missions, from tools/missions/ into the levels' folder.
bool WriteMissions(const std::filesystem::path& folder);
