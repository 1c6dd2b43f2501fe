// AI scripts playing sides: a scripted side is played by its script where the built-in
// opponent would play it, and by the built-in opponent again from the frame after its script
// failed. The scripts' states are part of a session's snapshot.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/world.h"
#include "script/lua_sandbox.h"
#include "script/mission.h"
#include "script/script_file.h"

// Where an AI named on the command line is: the name itself when that file exists, else
// ai/NAME in the data folder, else the name.
std::string FindAiFile(const std::string& name);
// The names of the data folder's ai/*.lua, sorted ("standard.lua").
std::vector<std::string> ShippedAiScripts();
// The name that finds a script as it is shown ("ai/easy.lua" gives "easy.lua" unless that path
// is a file itself).
std::string AiFileName(const std::string& shown);
// Reads the script; nothing, with problem set ("file: error: cannot read"), when it cannot.
std::optional<AiFile> ReadAiFile(const std::string& name, std::string& problem);

class SideScripts {
 public:
  static constexpr int32_t kSides = 2;

  explicit SideScripts(const SandboxLimits& limits = {}, LuaSandbox::Sink sink = {});

  // The script that plays side 0 or 1 from the next match on.
  void Assign(int32_t side, AiFile file);
  // Side 0 or 1 is the built-in opponent's again.
  void Clear(int32_t side);
  bool Has(int32_t side) const;
  // A new match starts at frame `frame` of the front end: every script starts afresh at its
  // side's next turn.
  void Restart(uint64_t frame);
  // The side's turn at front-end frame `frame`: true when its script played it (or failed
  // this frame), false when the built-in opponent plays it.
  bool Play(World& world, int32_t side, uint64_t frame);
  // Why the side's script was stopped ("file:line: error: reason"); empty while it plays.
  const std::string& Stopped(int32_t side) const;
  // The level's mission from the next match on (Restart starts it afresh); none after Clear.
  void AssignMission(AiFile file) { mission_.Assign(std::move(file)); }
  void ClearMission() { mission_.Clear(); }
  // The mission's turn at front-end frame `frame`, after the sides'.
  void PlayMission(World& world, uint64_t frame) { mission_.Play(world, frame); }
  const Mission& mission() const { return mission_; }
  // The scripts' names and hashes, side 0 first; empty names for sides without one.
  std::vector<std::pair<std::string, uint64_t>> Files() const;

  struct Saved {
    const void* Owner = nullptr;  // a snapshot goes back only into the scripts it came from
    uint64_t Start = 0;
    struct Side {
      bool Started = false;
      bool Fallen = false;
      std::string Message;
      std::shared_ptr<const std::string> State;  // the sandbox's bytes
      std::shared_ptr<const AiFile> File;        // null: the built-in opponent's side
    };
    std::array<Side, kSides> Sides{};
    Mission::Saved Level;  // the mission
  };
  Saved Save() const;
  // A snapshot from other scripts (or none) restarts every script.
  void Restore(const Saved& saved);

 private:
  struct Side {
    std::shared_ptr<const AiFile> File;
    std::unique_ptr<LuaSandbox> Box;
    bool Started = false;
    bool Fallen = false;
    std::string Message;
  };
  void Use(int32_t side, std::shared_ptr<const AiFile> file);
  void Fall(Side& side, int32_t index, const std::string& message);

  SandboxLimits limits_;
  LuaSandbox::Sink sink_;
  uint64_t start_ = 0;
  std::array<Side, kSides> sides_;
  Mission mission_;
};
