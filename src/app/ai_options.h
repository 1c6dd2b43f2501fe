// --ai on the command line: the scripts that play sides, read and checked before a match.
#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/frontend.h"
#include "game/data_sources.h"
#include "script/side_scripts.h"

using AiFiles = std::array<std::optional<AiFile>, SideScripts::kSides>;

// Reads the scripts of the values "S=FILE" (a shipped name or a path) and checks them; every
// problem goes to err. Nothing when a file cannot be read or has errors.
std::optional<AiFiles> ReadAiOptions(const std::vector<std::string>& values, std::ostream& err);

// The scripts for a front end; null when no side has one. Their messages go to err.
std::shared_ptr<SideScripts> MakeSideScripts(const AiFiles& files, std::ostream& err);

// --check: the problems of every shipped script and of each --ai FILE (or S=FILE).
DataProblems CheckAiOptions(const std::vector<std::string>& values);
