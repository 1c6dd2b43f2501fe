// What the rules need of loaded data: the refusals and the warnings, each with its file and
// line, and the `--check` run over a data folder. Plain C++, no window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "game/data_sources.h"
#include "game/world.h"

// Checks rows 0 and 1 of the catalogue against what the rules read and appends what it finds.
// Errors are what a rule would read outside an array; everything else loads, with warnings.
void CheckCatalogue(const World& world, const DataSources& sources, DataProblems& problems);

// The first error CheckCatalogue finds (without sources), formatted; empty when the rules can
// run the data.
std::string ValidateCatalogue(const World& world);

// The refusal box's text for problems holding at least one error (UTF-8).
std::string RefusalText(const DataProblems& problems);

// Problems one a line in compiler form, grouped by file in reading order (the files of
// sources first), then by line.
void PrintProblems(const DataProblems& problems, const DataSources& sources, std::ostream& out);

// rtsdemo --check: reads the data in the working directory as the load button does (no
// textures, no message boxes), then the shipped levels and `levels`, prints every problem
// (with `more`, found by others) and the line "N errors, M warnings". Returns 0 without
// errors, 1 with.
int RunCheck(std::ostream& out, const std::vector<std::string>& levels = {},
             const DataProblems& more = {});
