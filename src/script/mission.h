// A level's mission script: run once when the match starts and then every frame, after the
// computer sides. It acts through `mission` (spawns, treasuries, the banner, the verdict,
// orders) and hears of events through its function `update(events)`. A failing mission is
// stopped with its message and the match plays on without it. Its state is part of a
// session's snapshot. Names and their meaning: README, "Missions".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/world.h"
#include "script/ai_api.h"
#include "script/lua_sandbox.h"
#include "script/script_file.h"

// What the mission's host keeps between frames: the match's start, the areas and frames it
// waits for, and what it saw of the objects when it last ran.
struct MissionState {
  uint64_t Start = 0;  // the front end's frame of the match's first frame
  bool Started = false;
  bool Fallen = false;
  std::string Message;  // why it was stopped
  struct Area {
    std::string Name;
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // world units, X1 <= X2, Y1 <= Y2
    std::vector<uint8_t> Inside;           // per object
  };
  std::vector<Area> Areas;
  std::vector<uint64_t> Alarms;  // mission frames still to come, ascending
  size_t Seen = 0;               // objects when it last ran
  std::vector<uint8_t> Alive;    // per object, when it last ran
};

// Something the mission hears of at its next turn.
struct MissionEvent {
  enum Kind : uint8_t { Frame, Died, Built, Entered } Type = Frame;
  int64_t Value = 0;  // the frame, or the object's index
  size_t Area = 0;    // for Entered
};

// What the functions of `mission` work on during one call; `Ai` first, for the `game` table.
struct MissionTurn {
  AiTurn Ai;
  MissionState* State = nullptr;
  const std::vector<MissionEvent>* Events = nullptr;
};

// Sets the global `mission` (a lua_CFunction; run it protected with the sandbox's host
// pointing at a MissionTurn).
int OpenMissionApi(lua_State* L);
// Calls the global `update` with the turn's events when the script has one (a lua_CFunction).
int CallMissionUpdate(lua_State* L);

class Mission {
 public:
  Mission(const SandboxLimits& limits, LuaSandbox::Sink sink);

  // The mission of the next match; Clear: none.
  void Assign(AiFile file);
  void Clear();
  bool Has() const { return file_ != nullptr; }
  // A new match starts at front-end frame `frame`: the mission starts afresh at its first turn.
  void Restart(uint64_t frame);
  // The mission's turn at front-end frame `frame`.
  void Play(World& world, uint64_t frame);
  // Why the mission was stopped ("file:line: error: reason"); empty while it runs.
  const std::string& Stopped() const { return state_.Message; }
  const std::shared_ptr<const AiFile>& file() const { return file_; }

  struct Saved {
    const void* Owner = nullptr;  // a snapshot goes back only into the mission it came from
    MissionState State;
    std::shared_ptr<const std::string> Box;  // the sandbox's bytes
    std::shared_ptr<const AiFile> File;      // null: no mission
  };
  Saved Save() const;
  // A snapshot from another mission (or none) restarts the mission.
  void Restore(const Saved& saved);

 private:
  void Use(std::shared_ptr<const AiFile> file);
  void Fall(World& world, const std::string& message);

  SandboxLimits limits_;
  LuaSandbox::Sink sink_;
  std::shared_ptr<const AiFile> file_;
  std::unique_ptr<LuaSandbox> box_;
  MissionState state_;
};
