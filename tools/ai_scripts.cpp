#include "ai_scripts.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool CopyScripts(const fs::path& from, const fs::path& folder) {
  std::error_code error;
  std::vector<fs::path> scripts;
  for (const auto& e : fs::directory_iterator(from, error))
    if (e.path().extension() == ".lua") scripts.push_back(e.path());
  if (error || scripts.empty()) return false;
  std::sort(scripts.begin(), scripts.end());
  fs::create_directories(folder);
  bool ok = true;
  for (const fs::path& script : scripts) {
    std::ifstream in(script, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::ofstream out(folder / script.filename(), std::ios::binary);
    out << bytes.str();
    ok = ok && in && out;
  }
  return ok;
}

}  // namespace

bool WriteAiScripts(const fs::path& folder) {
  return CopyScripts(RTS_AI_SOURCES, folder);
}

bool WriteMissions(const fs::path& folder) {
  return CopyScripts(RTS_MISSION_SOURCES, folder);
}
