// The check of an AI script without running it: syntax errors, and calls of functions the
// sandbox does not have (a global never defined in the file, a library or `game` member that
// does not exist), each with its file and line as the data check reports problems.
#pragma once

#include "game/data_sources.h"
#include "script/side_scripts.h"

void CheckAiScript(const AiFile& file, DataProblems& problems);
