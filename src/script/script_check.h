// The check of an AI or mission script without running it: syntax errors, and calls of functions
// the sandbox does not have (a global never defined in the file, a library or `game` member that
// does not exist), each with its file and line as the data check reports problems.
#pragma once

#include <string>
#include <vector>

#include "game/data_sources.h"
#include "script/side_scripts.h"

void CheckAiScript(const AiFile& file, DataProblems& problems);
// The same for a level's mission: it may call `mission` too and needs no `think`.
void CheckMissionScript(const AiFile& file, DataProblems& problems);
// The missions of the shipped levels and of each of `extra` (level files).
DataProblems CheckLevelMissions(const std::vector<std::string>& extra);
