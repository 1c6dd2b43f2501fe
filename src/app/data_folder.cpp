#include "app/data_folder.h"

#include <dirent.h>

#include <cerrno>
#include <cstdlib>
#include <ostream>
#include <system_error>

#include "util/bmp.h"

namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& p) {
  std::error_code error;
  return !p.empty() && fs::is_directory(p, error);
}

bool SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return !a.empty() && !b.empty() && fs::equivalent(a, b, error);
}

// Data paths start from the folder's absolute, normalised form, so a later change of the
// working directory moves nothing.
void SetFolder(const fs::path& folder) {
  std::error_code error;
  const fs::path absolute = fs::absolute(folder, error);
  SetDataFolder((error ? folder : absolute).lexically_normal().string());
}

}  // namespace

std::optional<fs::path> FindDataFolder(const DataSearch& search, std::vector<std::string>& notes) {
  if (!search.environment.empty()) {
    if (IsFolder(search.environment)) return fs::path(search.environment);
    notes.push_back("RTSDEMO_DATA names no folder: " + search.environment);
  }
  const fs::path bin = search.program.parent_path();
  if (SameFolder(bin, search.buildDir) && IsFolder(search.sourceData)) return search.sourceData;
  if (!search.installedFromBin.empty()) {
    const fs::path installed = (bin / search.installedFromBin).lexically_normal();
    if (IsFolder(installed)) return installed;
  }
  return std::nullopt;
}

DataSearch ProgramDataSearch(const char* argv0) {
  DataSearch search;
  if (const char* env = std::getenv("RTSDEMO_DATA")) search.environment = env;
  search.program = ProgramFile(argv0);
  search.buildDir = RTS_BUILD_DIR;
  search.sourceData = RTS_SOURCE_DATA;
  search.installedFromBin = RTS_DATA_FROM_BIN;
  return search;
}

bool UseDataFolder(const std::string& given, std::ostream& err) {
  if (const std::string problem = DataFolderProblem(given); !problem.empty()) {
    err << "rtsdemo: " << problem << "\n";
    return false;
  }
  SetFolder(given);
  return true;
}

bool ChooseDataFolder(const std::optional<std::string>& given, const DataSearch& search,
                      std::ostream& err) {
  if (given) return UseDataFolder(*given, err);
  std::vector<std::string> notes;
  const std::optional<fs::path> found = FindDataFolder(search, notes);
  for (const std::string& note : notes) err << "rtsdemo: " << note << "\n";
  if (found) {
    SetFolder(*found);
  } else {
    err << "rtsdemo: no data folder found (give --data DIR or set RTSDEMO_DATA); "
           "reading from the working directory\n";
  }
  return true;
}

fs::path ProgramFile(const char* argv0) {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error && !self.empty()) return self;
  if (argv0 == nullptr || *argv0 == '\0') return {};
  fs::path given = fs::absolute(argv0, error);
  return error ? fs::path(argv0) : given;
}

std::string DataFolderProblem(const std::string& given) {
  std::error_code error;
  const fs::file_status status = fs::status(given, error);
  const std::string named = "the data folder " + given;
  if (!fs::exists(status)) {
    // A path through a file or a folder we may not enter: the system says which.
    if (error && error != std::errc::no_such_file_or_directory)
      return named + " cannot be read: " + error.message();
    return named + " does not exist";
  }
  if (!fs::is_directory(status)) return named + " is not a folder";
  DIR* dir = ::opendir(given.c_str());
  if (dir == nullptr) return named + " cannot be read: " + std::generic_category().message(errno);
  ::closedir(dir);
  return {};
}
