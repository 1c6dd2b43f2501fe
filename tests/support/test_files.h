// Files the tests read back.
#pragma once

#include <filesystem>
#include <string>

// A path in the temporary folder that is this process's own, so that test runs side by side
// (two checkouts, ctest -j) never share a file.
std::filesystem::path TempPath(const std::string& name);

// The whole file's bytes; empty when it cannot be read.
std::string ReadAll(const std::filesystem::path& path);

// The working directory for the length of a test: data folders are read relative to it.
struct InDir {
  std::filesystem::path previous = std::filesystem::current_path();
  explicit InDir(const std::filesystem::path& dir) { std::filesystem::current_path(dir); }
  ~InDir() { std::filesystem::current_path(previous); }
  InDir(const InDir&) = delete;
  InDir& operator=(const InDir&) = delete;
};
