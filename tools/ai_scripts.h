// The shipped AI scripts.
#pragma once

#include <filesystem>

// Copies the scripts written by hand in tools/ai/ into the folder, byte for byte.
bool WriteAiScripts(const std::filesystem::path& folder);
