// Files the tests read back.
#pragma once

#include <filesystem>
#include <string>

// The whole file's bytes; empty when it cannot be read.
std::string ReadAll(const std::filesystem::path& path);
