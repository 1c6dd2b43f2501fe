// The AI script target: the input is a script's text, played for a few frames on a small
// world with a small budget; its stop, if any, must be a message with file and reason, and a
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
  }
}

}  // namespace

std::string FuzzAiScript(const uint8_t* data, size_t size) {
  SandboxLimits limits;
  limits.Instructions = 20000;
  limits.Memory = size_t{1} << 20;
  limits.LongestString = 4096;
  std::vector<std::string> lines;
  SideScripts scripts(limits, [&lines](const std::string& line) { lines.push_back(line); });
  const std::string text(reinterpret_cast<const char*>(data), size);
  scripts.Assign(0, {"fuzz.lua", text, AiHash(text)});
  scripts.Assign(1, {"fuzz.lua", text, AiHash(text)});
  World w = SmallPlayableWorld();
  w.Rng.Seed = 5;
  w.Sides[0].Money = w.Sides[1].Money = 570;
  SpawnObject(w, 0, kWorkerKind, 0, 40, 40, 0);
  SpawnObject(w, 1, kWorkerKind, 1, -40, -40, 0);
  SpawnObject(w, 0, kDepositKind, kNeutralSide, 0, 0, 0);
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
  for (int32_t side : {0, 1}) {
    const std::string& stop = scripts.Stopped(side);
    if (!stop.empty() && stop.find(": error: ") == std::string::npos)
      return "a stop without its reason: " + stop;
  }
  return {};
}
