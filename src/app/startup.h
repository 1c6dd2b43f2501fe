// A run's start: the options made a running session, the same way for the window, headless
// and the network.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/command.h"
#include "app/options.h"
#include "app/session.h"

// What a session starts with.
struct SessionStart {
  std::optional<Script> Replay;  // the recording to watch (or to resume)
  std::string ReplayName;        // its file, for messages
  bool Resume = false;           // played to its end, then the match goes on
  std::optional<uint64_t> Start;
  std::string Record;  // the recording to write; empty: none
  std::optional<int32_t> PlayAs;
  std::optional<std::string> Level;
  bool Network = false;         // the side is the hub's to give
  std::vector<std::string> Ai;  // --ai S=FILE: applied as the input "ai S FILE"
};

// The start of a run from its options; the recording to watch is read later (LoadStart).
SessionStart StartOf(const WindowOptions& options);

// Reads the recording to watch or resume, if named and not yet read; false with the reason
// printed.
bool LoadStart(SessionStart& start, std::ostream& err);

// Before the first frame: the recording to watch opened at its start, or the recording to
// write begun. False with the reason printed (status 2).
bool OpenSession(Session& session, SessionStart& start, std::ostream& err);

// Once the session is created: the side, the level, then the replay sought to --start or
// resumed and taken over. The exit status when the run must end (2, or 3 out of sync); a seek
// whose check failed sets seekFailed and pauses the viewer with a note.
std::optional<int> BeginSession(Session& session, const SessionStart& start, std::ostream& err,
                                bool& seekFailed);
