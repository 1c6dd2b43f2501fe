// AI scripts playing sides: the standard script plays exactly as the built-in opponent,
// scripts survive snapshots, and the interface checks every order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/batch.h"
#include "app/replay.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "game/level.h"
#include "script/script_check.h"
#include "script/side_scripts.h"
#include "test_files.h"
#include "util/bmp.h"

namespace {

const World& LoadedData() {
  static const World loaded = [] {
    InDir in(RTS_SOURCE_DIR "/data");
    RecordingPlatform platform;
    HeadlessHost loader(platform);
    loader.Press(1);
    return loader.frontend().world();
  }();
  return loaded;
}

AiFile Inline(const std::string& name, const std::string& text) {
  return {name, text, AiHash(text)};
}

AiFile Shipped(const std::string& name) {
  std::string problem;
  InDir in(RTS_SOURCE_DIR "/data");
  auto file = ReadAiFile(name, problem);
  EXPECT_TRUE(file) << problem;
  return file ? *file : AiFile{};
}

// One match of a level (empty: the test level) with the given seed and scripts.
struct Match {
  RecordingPlatform platform;
  std::unique_ptr<HeadlessHost> host;
  std::shared_ptr<SideScripts> scripts;
  std::vector<std::string> lines;

  Match(const std::string& level, uint32_t seed, std::shared_ptr<SideScripts> s = nullptr)
      : scripts(std::move(s)) {
    platform.fixedSeed = seed;
    host = std::make_unique<HeadlessHost>(platform);
    Frontend& f = host->frontend();
    f.SetScripts(scripts);
    f.AcceptLoadedData(LoadedData());
    if (!level.empty()) {
      InDir in(RTS_SOURCE_DIR "/data");
      DataProblems problems;
      Level l = ReadLevelFile(FindLevelFile(level), problems);
      f.SetLevel(l);
    }
    host->Press(2);
  }
  uint64_t Hash() { return StateHash(host->frontend()); }
};

std::shared_ptr<SideScripts> Scripted(const AiFile& a, const AiFile& b,
                                      std::vector<std::string>* lines = nullptr,
                                      SandboxLimits limits = {}) {
  auto s = std::make_shared<SideScripts>(limits, [lines](const std::string& line) {
    if (lines) lines->push_back(line);
  });
  s->Assign(0, a);
  s->Assign(1, b);
  return s;
}

// Frame by frame, the standard script and the built-in opponent give the same hashes.
void ExpectStandardEqual(const std::string& level, uint32_t seed, int frames) {
  const AiFile standard = Shipped("standard.lua");
  std::vector<std::string> lines;
  Match builtIn(level, seed);
  Match scripted(level, seed, Scripted(standard, standard, &lines));
  ASSERT_EQ(builtIn.Hash(), scripted.Hash());
  for (int f = 0; f < frames; ++f) {
    builtIn.host->Tick();
    scripted.host->Tick();
    ASSERT_EQ(builtIn.Hash(), scripted.Hash()) << level << " seed " << seed << " frame " << f;
  }
  EXPECT_TRUE(lines.empty()) << lines.front();
  EXPECT_EQ(scripted.scripts->Stopped(0), "");
  EXPECT_EQ(scripted.scripts->Stopped(1), "");
}

const char* const kLevels[] = {"", "test", "four_mines", "battle"};

TEST(StandardScript, EqualsTheBuiltInOpponentOnEveryLevel) {
  for (const char* level : kLevels) {
    const int frames = std::string(level) == "battle" ? 300 : 3000;
    for (uint32_t seed : {1u, 2u, 77u}) ExpectStandardEqual(level, seed, frames);
  }
}

// The batch with both sides scripted by standard.lua prints the built-in opponent's lines;
// a script with errors plays nothing.
TEST(StandardScript, BatchLinesEqualTheBuiltInOpponents) {
  InDir in(RTS_SOURCE_DIR "/data");
  BatchOptions args;
  args.Matches = 3;
  args.Jobs = 1;
  args.MaxFrames = 20000;
  std::ostringstream builtIn, scripted, err, refused;
  ASSERT_EQ(RunBatch(args, builtIn, err), 0) << err.str();
  BatchOptions withAi = args;
  withAi.Ai = {"0=standard.lua", "1=standard.lua"};
  ASSERT_EQ(RunBatch(withAi, scripted, err), 0) << err.str();
  EXPECT_EQ(scripted.str(), builtIn.str());
  withAi.Ai.back() = "1=" + TempPath("bad.lua").string();
  {
    std::ofstream bad(TempPath("bad.lua"));
    bad << "function think()\n  game.fly()\nend\n";
  }
  std::ostringstream none;
  EXPECT_EQ(RunBatch(withAi, none, refused), 1);
  EXPECT_EQ(none.str(), "");
  EXPECT_NE(refused.str().find("bad.lua:2: error: unknown function 'game.fly'"), std::string::npos)
      << refused.str();
}

// A hundred seeds on every level; long: RTS_LONG_TESTS=1 runs it.
TEST(StandardScript, EqualsTheBuiltInOpponentOverAHundredSeeds) {
  if (std::getenv("RTS_LONG_TESTS") == nullptr) GTEST_SKIP() << "set RTS_LONG_TESTS=1";
  for (const char* level : kLevels) {
    const int frames = std::string(level) == "battle" ? 1000 : 6000;
    for (uint32_t seed = 100; seed < 200; ++seed) ExpectStandardEqual(level, seed, frames);
  }
}

// A snapshot holds the scripts' whole state, locals and upvalues too: a match restored and
// played on equals the match played straight through.
TEST(SideScripts, SnapshotRestoresTheWholeScript) {
  const AiFile wander = Inline("wander.lua", R"(
    local turns, memo = 0, {}
    function think()
      turns = turns + 1
      memo[#memo + 1] = string.rep("x", turns % 50)
      for i = 0, game.count() - 1 do
        if game.get(i, "Side") == game.side and game.get(i, "Alive") then
          local x = math.random(-300, 300) + #memo[#memo]
          game.order(i, 1, "idti " .. x .. "," .. turns % 200)
        end
      end
    end)");
  const AiFile standard = Shipped("standard.lua");
  Match m("four_mines", 5, Scripted(wander, standard));
  for (int f = 0; f < 150; ++f) m.host->Tick();
  const SessionSnapshot snapshot = m.host->Save();
  std::vector<uint64_t> straight;
  for (int f = 0; f < 150; ++f) {
    m.host->Tick();
    straight.push_back(m.Hash());
  }
  m.host->Restore(snapshot);
  for (int f = 0; f < 150; ++f) {
    m.host->Tick();
    ASSERT_EQ(m.Hash(), straight[static_cast<size_t>(f)]) << "frame " << f;
  }
  EXPECT_EQ(m.scripts->Stopped(0), "");
  Match builtIn("four_mines", 5);
  for (int f = 0; f < 300; ++f) builtIn.host->Tick();
  EXPECT_NE(builtIn.Hash(), m.Hash());
}

// A failed script leaves its side to the built-in opponent from the next frame; a new match
// starts it afresh.
TEST(SideScripts, FailedScriptFallsBackThenRestartsWithTheNextMatch) {
  std::vector<std::string> lines;
  auto scripts = Scripted(Inline("ai/late.lua",
                                 "function think()\n"
                                 "  if game.frame() == 3 then error('boom') end\n"
                                 "end\n"),
                          Shipped("standard.lua"), &lines);
  World w = LoadedData();
  CreateTestLevel(w);
  scripts->Restart(10);
  for (uint64_t f = 10; f < 13; ++f) EXPECT_TRUE(scripts->Play(w, 0, f));
  EXPECT_EQ(scripts->Stopped(0), "");
  EXPECT_TRUE(scripts->Play(w, 0, 13));
  EXPECT_EQ(scripts->Stopped(0), "ai/late.lua:2: error: boom");
  EXPECT_FALSE(scripts->Play(w, 0, 14));
  EXPECT_TRUE(scripts->Play(w, 1, 14));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1],
            "ai/late.lua: note: side 0 is played by the built-in opponent from the "
            "next frame");
  scripts->Restart(20);
  EXPECT_TRUE(scripts->Play(w, 0, 20));
  EXPECT_EQ(scripts->Stopped(0), "");
}

// A runaway script costs its side one frame; the match plays on with the built-in opponent.
TEST(SideScripts, TheMatchPlaysOnAfterARunaway) {
  std::vector<std::string> lines;
  Match m("", 3,
          Scripted(Inline("ai/spin.lua", "function think() while true do end end"),
                   Shipped("standard.lua"), &lines));
  for (int f = 0; f < 5; ++f) m.host->Tick();
  const World& w = m.host->frontend().world();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "ai/spin.lua:1: error: the budget of 500000 instructions per call is used up");
  EXPECT_EQ(w.Objects[0].Thought1.rfind("stroyka 1,", 0), 0u) << w.Objects[0].Thought1;
}

// The other shipped AIs play whole matches without a stop, each its own way.
TEST(ShippedScripts, PlayTheirOwnWay) {
  const AiFile standard = Shipped("standard.lua");
  std::vector<uint64_t> hashes;
  for (const char* name : {"standard.lua", "rush.lua", "miner.lua", "easy.lua", "hard.lua"}) {
    const AiFile ai = Shipped(name);
    DataProblems problems;
    CheckAiScript(ai, problems);
    EXPECT_TRUE(problems.empty()) << name << ": " << FormatProblem(problems.front());
    std::vector<std::string> lines;
    Match m("four_mines", 11, Scripted(ai, standard, &lines));
    for (int f = 0; f < 6000; ++f) m.host->Tick();
    EXPECT_TRUE(lines.empty()) << name << ": " << lines.front();
    for (uint64_t h : hashes) EXPECT_NE(h, m.Hash()) << name;
    hashes.push_back(m.Hash());
  }
}

// A new player who takes a side and does nothing still stands after five minutes of Easy.
TEST(ShippedScripts, EasyLeavesAnIdlePlayerStanding) {
  auto scripts = std::make_shared<SideScripts>(SandboxLimits{}, [](const std::string&) {});
  scripts->Assign(1, Shipped("easy.lua"));
  RecordingPlatform platform;
  platform.fixedSeed = 8;
  HeadlessHost host(platform);
  Frontend& f = host.frontend();
  f.SetScripts(scripts);
  f.AcceptLoadedData(LoadedData());
  f.player().PlayAs = 0;
  host.Press(2);
  for (int frame = 0; frame < 30000; ++frame) host.Tick();
  bool standing = false;
  for (const TObyekt& o : f.world().Objects) standing = standing || (o.Side == 0 && IsAlive(o));
  EXPECT_TRUE(standing);
  EXPECT_EQ(scripts->Stopped(1), "");
}

// The check finds what a run would trip over, with file and line, and nothing else.
TEST(ScriptCheck, SyntaxAndUnknownCalls) {
  auto problems = [](const std::string& text) {
    DataProblems found;
    CheckAiScript(Inline("ai/c.lua", text), found);
    std::string out;
    for (const DataProblem& p : found) out += FormatProblem(p) + "\n";
    return out;
  };
  EXPECT_EQ(problems("function think()\n  local x = = 1\nend\n"),
            "ai/c.lua:2: error: unexpected symbol near '='\n");
  EXPECT_EQ(problems("local function helper(a) return a end\n"
                     "-- frobnicate(1) in a comment\n"
                     "local s = 'missing(2)' .. [[long(3)]]\n"
                     "function think()\n"
                     "  helper(s:rep(2)); table.sort({}); game.order(0, 1, '')\n"
                     "  local t = {}; t.go = print; t.go('x'); mine = helper; mine(1)\n"
                     "end\n"),
            "");
  EXPECT_EQ(problems("function think()\n"
                     "  game.orders(1)\n"
                     "  string.gsub('a', 'a', 'b')\n"
                     "  frobnicate{1}\n"
                     "  os.exit()\n"
                     "end\n"),
            "ai/c.lua:2: error: unknown function 'game.orders'\n"
            "ai/c.lua:3: error: unknown function 'string.gsub'\n"
            "ai/c.lua:4: error: call of unknown function 'frobnicate'\n"
            "ai/c.lua:5: error: unknown function 'os.exit'\n");
  EXPECT_EQ(problems("local x = 1\n"),
            "ai/c.lua: error: no function 'think' (called every frame)\n");
}

}  // namespace

// The input "ai" changes a side's player mid-match; its recording replays and seeks in sync
// across the change, and a faulty script is refused with its file and line.
TEST(AiInput, RecordedReplayedAndSoughtAcrossAChangeOfPlayer) {
  InDir data(RTS_SOURCE_DIR "/data");
  const std::string path = TempPath("rts_ai_input.txt").string();
  std::string hash;
  {
    RecordingPlatform platform;
    platform.fixedSeed = 5;
    HeadlessHost host(platform);
    std::string error;
    ASSERT_TRUE(host.inputs().Record(path, error)) << error;
    std::ostringstream out;
    host.Run(
        "press 1\npress 2\ntick 200\nai 1 rush.lua\ntick 300\nai 1 -\nai 0 hard.lua\ntick 300\n",
        out);
    EXPECT_THROW(host.Run("ai 0 no-such-script.lua\n", out), CommandError);
    host.inputs().Close();
    hash = HashText(StateHash(host.frontend()));
    const SideScripts* scripts = host.frontend().scripts();
    ASSERT_NE(scripts, nullptr);
    EXPECT_TRUE(scripts->Has(0));
    EXPECT_FALSE(scripts->Has(1));
  }
  std::ifstream file(path);
  const Script recording = ReadScript(file);
  RecordingPlatform viewed;
  HeadlessHost viewer(viewed);
  viewer.viewer().Start(recording);
  ASSERT_TRUE(viewer.viewer().Seek(800));
  EXPECT_EQ(HashText(StateHash(viewer.frontend())), hash);
  ASSERT_TRUE(viewer.viewer().Seek(100));  // before either script played
  EXPECT_FALSE(viewer.frontend().scripts() && viewer.frontend().scripts()->Has(0));
  ASSERT_TRUE(viewer.viewer().Seek(800));
  EXPECT_EQ(HashText(StateHash(viewer.frontend())), hash);
  std::filesystem::remove(path);

  RecordingPlatform platform;
  HeadlessHost host(platform);
  const std::string bad = TempPath("rts_ai_bad.lua").string();
  std::ofstream(bad) << "function think()\n  game.nothing()\nend\n";
  try {
    std::ostringstream out;
    host.Run("ai 1 " + bad + "\n", out);
    ADD_FAILURE() << "a script calling an unknown function was taken";
  } catch (const CommandError& e) {
    EXPECT_NE(e.What.find(bad + ":2:"), std::string::npos) << e.What;
  }
  // A script that runs away is stopped, and the banner says so.
  std::ofstream(bad) << "function think() while true do end end\n";
  std::ostringstream out;
  host.Run("press 1\npress 2\nai 1 " + bad + "\ntick 2\n", out);
  EXPECT_NE(host.view().Banner().find("Side 1's script stopped (" + bad + ":1: error: the budget"),
            std::string::npos)
      << host.view().Banner();
  std::filesystem::remove(bad);
}

// Ctrl+R reads the scripts again and starts a new match with the seed of the one before, as
// inputs: its recording replays it.
TEST(AiInput, ReloadingTheScriptsIsANewMatchWithTheSameSeed) {
  InDir data(RTS_SOURCE_DIR "/data");
  const std::string path = TempPath("rts_ai_reload.txt").string();
  std::string hash;
  {
    RecordingPlatform platform;
    platform.fixedSeed = 9;
    HeadlessHost host(platform);
    std::string error;
    ASSERT_TRUE(host.inputs().Record(path, error)) << error;
    std::ostringstream out;
    host.Run("press 1\ntick\nai 1 rush.lua\npress 2\ntick 150\n", out);
    const uint32_t seed = host.frontend().world().Rng.Seed;
    host.view().Key(KeyAction::ReloadScripts, true, false);
    EXPECT_EQ(host.frontend().state().Frames, 0u);
    EXPECT_TRUE(host.frontend().scripts()->Has(1));
    EXPECT_NE(host.view().Banner().find("a new match with seed"), std::string::npos);
    EXPECT_NE(host.frontend().world().Rng.Seed, seed);
    host.Run("tick 60\n", out);
    host.inputs().Close();
    hash = HashText(StateHash(host.frontend()));
  }
  const std::string recording = [&] {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  EXPECT_NE(recording.find("\nai 1 ai/rush.lua\nnew "), std::string::npos) << recording;
  RecordingPlatform platform;
  HeadlessHost replay(platform);
  std::istringstream in(recording);
  std::ostringstream out, err;
  EXPECT_EQ(RunScript(in, replay, out, err), 0) << err.str();
  EXPECT_EQ(HashText(StateHash(replay.frontend())), hash);
  std::filesystem::remove(path);
}
