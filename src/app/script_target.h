// What scripts and replays run on: the session as its script runner and replay player see it.
#pragma once

#include <iosfwd>

#include "app/command.h"
#include "app/controls.h"
#include "app/frontend.h"
#include "app/session_snapshot.h"
#include "game/world.h"

class ScriptTarget {
 public:
  virtual ~ScriptTarget() = default;
  // The one door for inputs. Throws CommandError, OutOfSync or ProgramExit.
  virtual void Apply(const Command& command, std::ostream& out) = 0;
  // One frame; a frame not shown draws nothing.
  virtual void RunFrame(bool show) = 0;
  virtual SessionSnapshot Save() const = 0;
  virtual void Restore(const SessionSnapshot& snapshot) = 0;
  virtual Frontend& frontend() = 0;
  virtual Controls& controls() = 0;
  virtual World& world() = 0;
};
