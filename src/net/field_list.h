// A state or a data set as a list of named fields ("Objects[12].X" "103.5"), for finding the
// first field in which two peers differ. All completely stateless.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/session.h"

using FieldList = std::vector<std::pair<std::string, std::string>>;

// Everything the state hash takes, from a session's snapshot.
FieldList ListState(const SessionSnapshot& snapshot);
// The catalogue's rows, then the level file's lines (empty: the test level), then the sides'
// AI scripts by file name and hash (an empty name: the side has none).
FieldList ListDataSet(const World& world, const std::string& levelText,
                      const std::vector<std::pair<std::string, uint64_t>>& scripts = {});

// "path value" lines (tabs, line ends and backslashes in values escaped) and back; a line that
// does not read ends the list.
std::string WriteFieldList(const FieldList& list);
FieldList ReadFieldList(const std::string& text);

// "Objects[12].X 103.5 vs 103.49999"; nullopt when the lists are equal.
std::optional<std::string> FirstDifference(const FieldList& mine, const FieldList& theirs);

// FNV-1a of the list's text.
uint64_t ListHash(const FieldList& list);
