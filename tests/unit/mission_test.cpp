// Level missions: the shipped mission level plays to its scripted end alike in every run, in
// the batch and after seeking; the events and actions work; faulty missions stop alone.
#include "script/mission.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/batch.h"
#include "app/match_state.h"
#include "app/replay.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "app/texts.h"
#include "game/level.h"
#include "script/script_check.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

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

AiFile Inline(const std::string& text) {
  return {"m.lua", text, AiHash(text)};
}

// The hold level with seed 1 under the built-in opponents: the hall falls at this frame.
constexpr uint64_t kHoldEnd = 17945;

// Plays the hold level (recorded to `path` when given) until its end or `frames`.
uint64_t PlayHold(HeadlessHost& host, uint64_t frames, const std::string& path = "") {
  std::string error;
  if (!path.empty()) {
    EXPECT_TRUE(host.inputs().Record(path, error)) << error;
  }
  std::ostringstream out;
  host.Run("press 1\nlevel hold\npress 2\n", out);
  for (uint64_t f = 0; f < frames && !host.match().decided(); ++f) host.Tick();
  if (!path.empty()) host.inputs().Close();
  return StateHash(host.frontend());
}

}  // namespace

TEST(MissionLevel, PlaysToItsScriptedEndAlikeInEveryRunAndAfterSeeking) {
  InDir data(RTS_SOURCE_DIR "/data");
  const std::string path = TempPath("rts_mission_hold.txt").string();
  RecordingPlatform platform;
  platform.fixedSeed = 1;
  HeadlessHost host(platform);
  const uint64_t hash = PlayHold(host, 40000, path);
  const MatchWatch& match = host.match();
  ASSERT_TRUE(match.decided());
  EXPECT_EQ(match.winner(), 1);
  EXPECT_EQ(MatchFrames(match), kHoldEnd);
  EXPECT_EQ(match.missionBanner(), "The town hall has fallen");
  EXPECT_NE(MatchBanner(match, "x1", false).find("Side 1 won at frame 17945"), std::string::npos);
  EXPECT_EQ(host.frontend().scripts()->mission().Stopped(), "");

  RecordingPlatform again;
  again.fixedSeed = 1;
  HeadlessHost second(again);
  EXPECT_EQ(PlayHold(second, 40000), hash);

  // The batch ends the match at the same frame, by the mission's verdict.
  BatchOptions batch;
  batch.Matches = 1;
  batch.Jobs = 1;
  batch.MaxFrames = 40000;
  batch.LevelFile = "hold";
  std::ostringstream lines, err;
  ASSERT_EQ(RunBatch(batch, lines, err), 0) << err.str();
  EXPECT_NE(lines.str().find("\"frames\":17945,\"winner\":1,\"end\":\"mission\""),
            std::string::npos)
      << lines.str();

  // Seeking through the recording lands on the same frames; the timeline marks the end.
  std::ifstream file(path);
  RecordingPlatform viewed;
  HeadlessHost viewer(viewed);
  viewer.viewer().Start(ReadScript(file));
  const uint64_t last = host.frontend().state().Frames;
  ASSERT_TRUE(viewer.viewer().Seek(last));
  EXPECT_EQ(StateHash(viewer.frontend()), hash);
  ASSERT_TRUE(viewer.viewer().Seek(6000));
  ASSERT_TRUE(viewer.viewer().Seek(last));
  EXPECT_EQ(StateHash(viewer.frontend()), hash);
  const std::vector<ReplayMark>& marks = viewer.viewer().player()->marks();
  ASSERT_FALSE(marks.empty());
  EXPECT_EQ(marks.back().Kind, MarkKind::MissionWon);
  EXPECT_EQ(marks.back().Side, 1);
  fs::remove(path);
}

// A snapshot holds the mission's whole state: restored, the match plays on as it did.
TEST(MissionLevel, SnapshotsHoldTheMission) {
  InDir data(RTS_SOURCE_DIR "/data");
  RecordingPlatform platform;
  platform.fixedSeed = 4;
  HeadlessHost host(platform);
  PlayHold(host, 3900);
  const SessionSnapshot snapshot = host.Save();
  std::vector<uint64_t> straight;
  for (int f = 0; f < 4300; ++f) {
    host.Tick();
    if (f % 100 == 0) straight.push_back(StateHash(host.frontend()));
  }
  const std::string banner = host.match().missionBanner();
  EXPECT_NE(banner, "");
  host.Restore(snapshot);
  for (int f = 0; f < 4300; ++f) {
    host.Tick();
    if (f % 100 == 0) {
      ASSERT_EQ(StateHash(host.frontend()), straight[size_t(f / 100)]) << f;
    }
  }
  EXPECT_EQ(host.match().missionBanner(), banner);
}

// While a mission referees, a side with nothing left has not lost; its draw ends the match
// without a winner in the banner and the end-of-match view.
TEST(MissionLevel, OnlyTheMissionsVerdictEndsTheMatch) {
  World w = LoadedData();
  CreateTestLevel(w);
  w.Mission.Referee = true;
  MatchWatch watch;
  watch.Start(w, 10);
  for (TObyekt& o : w.Objects)
    if (o.Side == 1) o.Energy[0] = 0;
  watch.Update(w, 11);
  EXPECT_FALSE(watch.decided());
  w.Mission.Decided = true;
  w.Mission.Banner = "Nobody holds the field";
  watch.Update(w, 12);
  EXPECT_TRUE(watch.decided());
  EXPECT_EQ(watch.winner(), -1);
  EXPECT_EQ(MatchFrames(watch), 2u);
  const std::string banner = MatchBanner(watch, "x1", false);
  EXPECT_NE(banner.find("Nobody holds the field   The match is drawn at frame 2"),
            std::string::npos)
      << banner;
  EXPECT_EQ(EndOfMatch(watch, w, 0).Title, CP1251("Ничья"));
  EXPECT_EQ(watch.observer()->figures().End, MatchEnd::Mission);
  w.Mission = {};  // without a mission the rules decide
  MatchWatch rules;
  rules.Start(w, 10);
  EXPECT_EQ(rules.winner(), 0);
}

// Every event reaches update(events) once, in the frame after it happened; the actions
// change the world as they say, and the first verdict stands.
TEST(Mission, EventsAndActions) {
  World w = LoadedData();
  CreateTestLevel(w);
  std::vector<std::string> lines;
  Mission m({}, [&](const std::string& l) { lines.push_back(l); });
  m.Assign(Inline(R"(
    local log = {}
    mission.at(2)
    mission.area("camp", 290, 290, 310, 310)
    local guard = mission.spawn("ludi", "Мечник", 0, 50, 60, 90, "idti 100,100")
    local brute = mission.spawn(1, 0, 1, 0, 0)
    log[#log + 1] = guard .. ":" .. game.get(guard, "Thought1")
    mission.money(1, 42)
    function update(events)
      for _, e in ipairs(events) do
        log[#log + 1] = game.frame() .. e.kind .. (e.object or e.frame) .. (e.area or "")
      end
      if game.frame() == 4 then
        log[#log + 1] = tostring(mission.win(0)) .. tostring(mission.draw())
        log[#log + 1] = tostring(mission.order(brute, "idti 5,5", "atakovat 0"))
      end
      mission.message(table.concat(log, " "))
    end)"));
  m.Restart(100);
  ASSERT_TRUE(m.Has());
  const size_t level = w.Objects.size();
  m.Play(w, 100);
  ASSERT_EQ(w.Objects.size(), level + 2);
  EXPECT_EQ(w.Sides[1].Money, 42.0f);
  EXPECT_EQ(w.Objects[level + 1].Rassa, 1);
  EXPECT_EQ(w.Objects[level].Thought1, "idti 100,100");
  w.Objects[0].Energy[0] = 0;  // the first worker dies
  m.Play(w, 101);
  SpawnObject(w, 0, 0, 0, 300, 300, 0);  // finished by a builder, inside the area
  m.Play(w, 102);
  w.Objects[1].X = w.Objects[1].Y = 301;  // walks into the area
  m.Play(w, 103);
  m.Play(w, 104);
  m.Play(w, 105);
  const std::string g = std::to_string(level);
  const std::string b = std::to_string(level + 1);
  const std::string n = std::to_string(level + 2);
  EXPECT_EQ(w.Mission.Banner, g + ":idti 100,100 1died0 2frame2 2built" + n + " 2entered" + n +
                                  "camp 3entered1camp truefalse true");
  EXPECT_TRUE(w.Mission.Decided);
  EXPECT_EQ(w.Mission.Winner, 0);
  EXPECT_EQ(w.Objects[level + 1].Thought1, "idti 5,5");
  EXPECT_EQ(w.Objects[level + 1].Thought2, "atakovat 0");
  EXPECT_EQ(m.Stopped(), "");
  EXPECT_TRUE(lines.empty()) << lines.front();
}

// A hostile or faulty mission stops with its file, line and reason, in the banner too; the
// rules decide the match again and the mission runs no more.
TEST(Mission, FaultyMissionsStopWithTheirMessage) {
  const std::pair<const char*, const char*> cases[] = {
      {"while true do end",
       "m.lua:1: error: the budget of 500000 instructions per call is used up"},
      {"for i = 1, 1e6 do mission.spawn(0, 0, 0, 0, 0) end",
       "m.lua:1: error: the budget of 500000 instructions per call is used up"},
      {"mission.spawn('orki', 'Nobody', 1, 0, 0)",
       "m.lua:1: error: mission.spawn: no type 'Nobody' in race 'orki'"},
      {"mission.spawn(0, 0, 0, 0, 0, 0, 'fly away')",
       "m.lua:1: error: mission.spawn: 'fly away' is not an order"},
      {"\nmission.money(0, 1/0)", "m.lua:2: error: bad argument #2 to 'money' (out of range)"},
      {"mission.win(2)", "m.lua:1: error: bad argument #1 to 'win' (the winner is side 0 or 1)"},
      {"os.exit(1)", "m.lua:1: error: attempt to index a nil value (global 'os')"},
      {"function update() error('boom') end", "m.lua:1: error: boom"},
      {"function update() local t = {} while true do t[#t + 1] = t end end",
       "m.lua:1: error: the budget of 500000 instructions per call is used up"},
      {"mission.message(string.rep('x', 300))",
       "m.lua:1: error: bad argument #1 to 'message' (longer than 200 bytes)"},
      {"mission.area('a', 0, 0, 1, 1) function update(e) mission.at(-1) end",
       "m.lua:1: error: bad argument #1 to 'at' (a frame is 0 or later)"},
  };
  for (const auto& [text, message] : cases) {
    World w = LoadedData();
    CreateTestLevel(w);
    w.Mission.Referee = true;
    std::vector<std::string> lines;
    Mission m({}, [&](const std::string& l) { lines.push_back(l); });
    m.Assign(Inline(text));
    m.Restart(0);
    m.Play(w, 0);
    EXPECT_EQ(m.Stopped(), message) << text;
    EXPECT_EQ(w.Mission.Banner, message) << text;
    EXPECT_FALSE(w.Mission.Referee) << text;
    EXPECT_LT(w.Objects.size(), 1000u) << text;
    ASSERT_EQ(lines.size(), 2u) << text;
    EXPECT_EQ(lines[1], "m.lua: note: the mission is stopped; the match plays on without it");
    const uint32_t seed = w.Rng.Seed;
    m.Play(w, 1);
    EXPECT_EQ(w.Rng.Seed, seed);
    EXPECT_EQ(lines.size(), 2u);
  }
}

// A session with a faulty mission plays on under the rules.
TEST(MissionLevel, AFaultyMissionLeavesTheMatchToTheRules) {
  const fs::path dir = TempPath("rts_mission_level");
  fs::create_directories(dir);
  std::ofstream(dir / "l.txt") << ")казна\n0 570\n1 570\n)объекты\nludi 0 0 200 200\n"
                                  "orki 0 1 -200 -200\nludi 2 555 0 0\n)миссия\nm.lua\n";
  std::ofstream(dir / "m.lua")
      << "function update()\n  if game.frame() == 10 then error('late') end\n"
         "end\n";
  InDir data(RTS_SOURCE_DIR "/data");
  RecordingPlatform platform;
  platform.fixedSeed = 3;
  HeadlessHost host(platform);
  std::ostringstream out;
  host.Run("press 1\nlevel " + (dir / "l.txt").string() + "\npress 2\ntick 300\n", out);
  const Mission& m = host.frontend().scripts()->mission();
  EXPECT_EQ(m.Stopped(), (dir / "m.lua").string() + ":2: error: late");
  EXPECT_EQ(host.match().missionBanner(), m.Stopped());
  EXPECT_EQ(host.frontend().state().Frames, 300u);
  fs::remove_all(dir);
}

// The check reads a level's mission: syntax and unknown calls with file and line; `mission`
// is known to missions only; a mission file that cannot be read is the level's error.
TEST(MissionCheck, ReportsTheMissionsFileAndLine) {
  const fs::path dir = TempPath("rts_mission_check");
  fs::create_directories(dir);
  std::ofstream(dir / "l.txt") << ")миссия\nm.lua\n";
  std::ofstream(dir / "gone.txt") << "# none\n)миссия\nnothing.lua\n";
  std::ofstream(dir / "m.lua")
      << "mission.win(0)\nmission.fly()\nfunction update(e)\n  x = = 1\nend\n";
  std::string out;
  InDir data(RTS_SOURCE_DIR "/data");
  for (const DataProblem& p : CheckLevelMissions({(dir / "l.txt").string()}))
    out += FormatProblem(p) + "\n";
  EXPECT_EQ(out, (dir / "m.lua").string() + ":4: error: unexpected symbol near '='\n");
  std::ofstream(dir / "m.lua") << "mission.win(0)\nmission.fly()\n";
  out.clear();
  for (const DataProblem& p : CheckLevelMissions({(dir / "l.txt").string()}))
    out += FormatProblem(p) + "\n";
  EXPECT_EQ(out, (dir / "m.lua").string() + ":2: error: unknown function 'mission.fly'\n");
  DataProblems ai;
  CheckAiScript(Inline("function think() mission.win(0) end"), ai);
  EXPECT_EQ(ai.size(), 1u);
  DataProblems level;
  ReadLevelFile((dir / "gone.txt").string(), level);
  ASSERT_EQ(level.size(), 1u);
  EXPECT_EQ(FormatProblem(level.front()), (dir / "gone.txt").string() +
                                              ":3: error: cannot read the mission script \"" +
                                              (dir / "nothing.lua").string() + "\"");
  fs::remove_all(dir);
}
