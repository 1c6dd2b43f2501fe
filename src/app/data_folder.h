// Where the program finds its data folder when no --data is given.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct DataSearch {
  std::string environment;                 // RTSDEMO_DATA, empty when unset
  std::filesystem::path program;           // the running program file
  std::filesystem::path buildDir;          // where the build tree puts the program
  std::filesystem::path sourceData;        // the source tree's data folder
  std::filesystem::path installedFromBin;  // the installed data folder, relative to bin/
};

// The first folder that exists of: $RTSDEMO_DATA, the source tree's data for a program run
// from its build tree, the installed data folder beside the program's bin/. Each candidate
// skipped for a reason worth telling adds a line to notes.
std::optional<std::filesystem::path> FindDataFolder(const DataSearch& search,
                                                    std::vector<std::string>& notes);

// The running program's file (/proc/self/exe), or argv0 made absolute when that is unreadable.
std::filesystem::path ProgramFile(const char* argv0);

// Why a --data folder cannot be used ("the data folder D is not a folder"); empty when it can.
std::string DataFolderProblem(const std::string& given);
