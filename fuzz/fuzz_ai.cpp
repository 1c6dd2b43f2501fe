// The AI script and mission targets: the input is a script's text, played for a few frames on a
// small world with a small budget; its stop, if any, must be a message with file and reason, and a
// snapshot taken halfway must replay the second half exactly.
#include <string>
#include <vector>

#include "fuzz_targets.h"
#include "game/contacts.h"
#include "game/opponent.h"
#include "game/orders.h"
#include "script/side_scripts.h"

namespace {

// What the frames leave that a script could change.
std::string Trace(const World& w) {
  std::string t = std::to_string(w.Rng.Seed);
  for (const TObyekt& o : w.Objects) t += "|" + o.Thought1 + "|" + o.Thought2;
  return t;
}

void Frames(World& w, SideScripts& scripts, uint64_t& frame, int n) {
  for (int f = 0; f < n; ++f, ++frame) {
    ContactPass(w);
    ExecuteOrders(w);
    for (int32_t side : {0, 1})
      if (!scripts.Play(w, side, frame)) RunComputerSide(w, side);
    scripts.PlayMission(w, frame);
  }
}

SandboxLimits SmallLimits() {
  SandboxLimits limits;
  limits.Instructions = 20000;
  limits.Memory = size_t{1} << 20;
  limits.LongestString = 4096;
  return limits;
}

World SmallMatch() {
  World w = SmallPlayableWorld();
  w.Rng.Seed = 5;
  w.Sides[0].Money = w.Sides[1].Money = 570;
  SpawnObject(w, 0, kWorkerKind, 0, 40, 40, 0);
  SpawnObject(w, 1, kWorkerKind, 1, -40, -40, 0);
  SpawnObject(w, 0, kDepositKind, kNeutralSide, 0, 0, 0);
  return w;
}

// Six frames straight, and the last three again from a snapshot after the third: the same.
std::string SnapshotReplays(SideScripts& scripts) {
  World w = SmallMatch();
  scripts.Restart(0);
  uint64_t frame = 0;
  Frames(w, scripts, frame, 3);
  const World half = w;
  const SideScripts::Saved saved = scripts.Save();
  Frames(w, scripts, frame, 3);
  const std::string straight = Trace(w);
  w = half;
  scripts.Restore(saved);
  frame = 3;
  Frames(w, scripts, frame, 3);
  if (Trace(w) != straight) return "the snapshot did not replay the frames after it";
  return {};
}

}  // namespace

std::string FuzzAiScript(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  SideScripts scripts(SmallLimits(), [&lines](const std::string& line) { lines.push_back(line); });
  const std::string text(reinterpret_cast<const char*>(data), size);
  scripts.Assign(0, {"fuzz.lua", text, AiHash(text)});
  scripts.Assign(1, {"fuzz.lua", text, AiHash(text)});
  if (std::string broken = SnapshotReplays(scripts); !broken.empty()) return broken;
  for (int32_t side : {0, 1}) {
    const std::string& stop = scripts.Stopped(side);
    if (!stop.empty() && stop.find(": error: ") == std::string::npos)
      return "a stop without its reason: " + stop;
  }
  return {};
}

std::string FuzzMission(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  SideScripts scripts(SmallLimits(), [&lines](const std::string& line) { lines.push_back(line); });
  const std::string text(reinterpret_cast<const char*>(data), size);
  scripts.AssignMission({"fuzz.lua", text, AiHash(text)});
  if (std::string broken = SnapshotReplays(scripts); !broken.empty()) return broken;
  const std::string& stop = scripts.mission().Stopped();
  if (!stop.empty() && stop.find(": error: ") == std::string::npos)
    return "a stop without its reason: " + stop;
  return {};
}
