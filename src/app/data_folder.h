// The data folder: the one place that works out where the data paths start from.
#pragma once

#include <filesystem>
#include <iosfwd>
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

// The search of this build's program: its environment, build tree and install layout.
DataSearch ProgramDataSearch(const char* argv0);

// Makes `given` (--data) the data folder; false, with the reason on err, when it is not a
// folder that can be read.
bool UseDataFolder(const std::string& given, std::ostream& err);

// The data folder from --data when given, else the first the search finds (the working
// directory when none, said on err). False only for a --data that cannot be used.
bool ChooseDataFolder(const std::optional<std::string>& given, const DataSearch& search,
                      std::ostream& err);

// The running program's file (/proc/self/exe), or argv0 made absolute when that is unreadable.
std::filesystem::path ProgramFile(const char* argv0);

// Why a --data folder cannot be used ("the data folder D is not a folder"); empty when it can.
std::string DataFolderProblem(const std::string& given);
