#include "test_files.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::filesystem::path TempPath(const std::string& name) {
  return std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "_" + name);
}
