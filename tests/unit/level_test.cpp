// Level files: the shipped test level is the rules' own, every entry loads, every fault is
// reported with its line.
#include "game/level.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "app/script.h"
#include "app/state_hash.h"
#include "test_files.h"
#include "util/cp1251.h"

namespace fs = std::filesystem;

namespace {

const fs::path kData = fs::path(RTS_SOURCE_DIR) / "data";

// Hashes printed by a headless script run in the data folder.
std::string Play(const std::string& script, uint32_t seed = 7) {
  const fs::path previous = fs::current_path();
  fs::current_path(kData);
  RecordingPlatform platform;
  platform.fixedSeed = seed;
  HeadlessHost host(platform);
  std::istringstream in(script);
  std::ostringstream out, err;
  const int status = RunScript(in, host, out, err);
  fs::current_path(previous);
  EXPECT_EQ(status, 0) << err.str();
  return out.str();
}

std::string Kinds(const DataProblems& problems) {
  std::string text;
  for (const DataProblem& p : problems)
    text += std::to_string(p.Line) + (p.Error ? "E " : "W ") + p.Text + "\n";
  return text;
}

World LoadedWorld() {
  const fs::path previous = fs::current_path();
  fs::current_path(kData);
  RecordingPlatform platform;
  HeadlessHost host(platform);
  host.Press(1);
  fs::current_path(previous);
  return host.frontend().world();
}

}  // namespace

TEST(Level, ShippedTestLevelGivesTheRulesLevelHashes) {
  std::string ticks;
  for (int i = 0; i < 6; ++i) ticks += "tick 2000\nhash\n";
  const std::string rules = Play("press 1\npress 2\nhash\n" + ticks);
  EXPECT_EQ(Play("level levels/test.txt\npress 1\npress 2\nhash\n" + ticks), rules);
  // Given before the data are loaded or after, by name alone too; a treasury the level does
  // not give is left as the rules' level leaves it.
  EXPECT_EQ(Play("press 1\nlevel test\nmoney 2 50\npress 2\nhash\n" + ticks),
            Play("press 1\nmoney 2 50\npress 2\nhash\n" + ticks));
}

TEST(Level, EveryKindOfEntryLoadsAndPlays) {
  // UTF-8, CR LF, indents, comments, races and types by name and index, a heading.
  const std::string text =
      "# a level of every entry\r\n"
      ")казна\r\n  0 100.5\r\n1 -3\r\n2 7\r\n"
      ")земля\r\n5 3\r\n"
      ")камера\r\n10 -20\r\n"
      ")объекты\r\n"
      "ludi Крестьянин 0 1 2\r\n"
      "1 0 1 -40 50 90\r\n"
      "\torki Стойбище 1 300 300\t\r\n"
      "0 2 555 0.5 -0.25\r\n";
  DataProblems problems;
  Level level = ParseLevel(text, "mine.txt", problems);
  World world = LoadedWorld();
  ResolveLevel(world, level, problems);
  EXPECT_EQ(Kinds(problems), "");
  CreateLevel(world, level);
  ASSERT_EQ(world.Objects.size(), 4u);
  EXPECT_EQ(world.Sides[0].Money, 100.5f);
  EXPECT_EQ(world.Sides[1].Money, -3.0f);
  EXPECT_EQ(world.Sides[2].Money, 7.0f);
  EXPECT_EQ(world.Sides[3].Money, 0.0f);
  EXPECT_EQ(world.Ground.Columns, 5);
  EXPECT_EQ(world.Ground.Rows, 3);
  const TObyekt& orc = world.Objects[1];
  EXPECT_EQ(orc.Rassa, 1);
  EXPECT_EQ(orc.Kind, 0);
  EXPECT_EQ(orc.Side, 1);
  EXPECT_EQ(orc.Angle, 90.0f);
  EXPECT_EQ(world.Objects[2].Kind, kBaseKind);
  EXPECT_EQ(world.Objects[3].Side, kNeutralSide);
  EXPECT_EQ(world.Objects[3].X, 0.5f);
  float cx = 0, cy = 0;
  LevelCamera(level, 400, 300, cx, cy);
  EXPECT_EQ(cx, 190.0f);
  EXPECT_EQ(cy, 170.0f);

  // The same text in Windows-1251 reads the same; written to a file, a session plays it.
  DataProblems again;
  Level cp = ParseLevel(ToCp1251(text), "mine.txt", again);
  ASSERT_EQ(cp.Objects.size(), level.Objects.size());
  EXPECT_EQ(cp.Objects[0].Type, level.Objects[0].Type);
  const fs::path file = TempPath("level_test_every.txt");
  std::ofstream(file, std::ios::binary) << text;
  const std::string hashes =
      Play("level " + file.string() + "\npress 1\npress 2\ntick 300\nhash\n");
  fs::remove(file);
  EXPECT_EQ(hashes.size(), 17u);
}

TEST(Level, EveryFaultIsReportedWithItsLine) {
  const std::string text =
      "stray line\n"                  // 1: outside any section
      ")казна\n"                      // 2
      "0 lots\n"                      // 3: not a number
      "5 10\n"                        // 4: no treasury
      ")погода\n"                     // 5: unknown section: an error
      "sunny\n"                       // 6: ignored with it
      ")земля\n"                      // 7
      "0 21\n"                        // 8: no tiles
      ")объекты\n"                    // 9
      "ludi Крестьянин 0 1e60 0\n"    // 10: not finite as a single
      "ludi Крестьянин 7 0 0\n"       // 11: odd side: a warning
      "elves Крестьянин 0 0 0\n"      // 12: no race
      "ludi Дракон 0 0 0\n"           // 13: no type
      "orki 9 1 0 0\n"                // 14: no type index 9
      "ludi Крестьянин 0 0\n"         // 15: too few words
      "ludi Крестьянин 0 0 0 1 2\n";  // 16: too many
  DataProblems problems;
  Level level = ParseLevel(text, "bad.txt", problems);
  ResolveLevel(LoadedWorld(), level, problems);
  std::vector<int32_t> errors, warnings;
  for (const DataProblem& p : problems) {
    EXPECT_EQ(p.Path, "bad.txt");
    (p.Error ? errors : warnings).push_back(p.Line);
  }
  std::sort(errors.begin(), errors.end());
  EXPECT_EQ(errors, (std::vector<int32_t>{3, 4, 5, 8, 10, 12, 13, 14, 15, 16})) << Kinds(problems);
  EXPECT_EQ(warnings, (std::vector<int32_t>{1, 11})) << Kinds(problems);
  // A faulty object line is left out; the others keep their order.
  ASSERT_EQ(level.Objects.size(), 4u);
  EXPECT_EQ(level.Objects[0].Line, 11);
  EXPECT_EQ(level.Ground.Columns, 21);
}

// What would load but not show as written: numbers beyond what the read-out and the world
// hold, a mistyped section keyword, a character with no Windows-1251 form. Of one kind of
// problem, only the first 20 are listed, the rest counted.
TEST(Level, OutOfRangeMistypedAndUnwritableAreErrorsAndFloodsAreCut) {
  const std::string text =
      ")казна\n"
      "0 99999999999999999999999\n"  // 2: beyond the read-out
      "1 -1000000000\n"              // 3: just inside
      ")обьекты\n"                   // 4: mistyped
      "ludi 0 0 0 0\n"               // 5: ignored with it
      ")камера\n"
      "0 2000000\n"  // 7: far off
      ")объекты\n"
      "ludi Крестьянин😀 0 0 0\n"  // 9: no Windows-1251 form, then no such type
      "ludi 0 0 5000000 0\n";     // 10: far off
  DataProblems problems;
  Level level = ParseLevel(text, "odd.txt", problems);
  ResolveLevel(LoadedWorld(), level, problems);
  std::vector<int32_t> errors;
  for (const DataProblem& p : problems) {
    EXPECT_TRUE(p.Error) << FormatProblem(p);
    errors.push_back(p.Line);
  }
  std::sort(errors.begin(), errors.end());
  EXPECT_EQ(errors, (std::vector<int32_t>{2, 4, 7, 9, 9, 10})) << Kinds(problems);
  EXPECT_NE(Kinds(problems).find("\"😀\" has no Windows-1251 form"), std::string::npos)
      << Kinds(problems);
  EXPECT_EQ(level.Money[1], -1e9f);

  std::string flood = ")объекты\n";
  for (int i = 0; i < 2000; ++i) flood += "ludi Дракон 0 " + std::to_string(i) + " 0\n";
  DataProblems many;
  Level swordsmen = ParseLevel(flood, "battle.txt", many);
  ResolveLevel(LoadedWorld(), swordsmen, many);
  ASSERT_EQ(many.size(), 21u);
  EXPECT_EQ(many[19].Line, 21);
  EXPECT_EQ(FormatProblem(many[20]).rfind("battle.txt:22: error: … and 1 980 more of this kind", 0),
            0u)
      << FormatProblem(many[20]);
  EXPECT_EQ(ErrorCount(many), 2000u);
}

TEST(Level, ProgramChecksLevelsAndRefusesFaultyOnes) {
  const fs::path bad = TempPath("level_test_bad.txt");
  std::ofstream(bad) << ")объекты\nludi Дракон 0 0 0\nludi 0 0 x 0\n";
  auto run = [](const std::string& args) {
    const std::string cmd = std::string("env -u DISPLAY ") + RTSDEMO_PATH + " --data " +
                            kData.string() + " " + args + " 2>&1";
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    return std::make_pair(WEXITSTATUS(pclose(p)), out);
  };
  auto [status, out] = run("--check --level " + bad.string());
  EXPECT_EQ(status, 1);
  EXPECT_NE(out.find(bad.string() + ":2: error: no type \"Дракон\""), std::string::npos) << out;
  EXPECT_NE(out.find(bad.string() + ":3: error: x:"), std::string::npos) << out;
  EXPECT_NE(out.find("2 errors, 0 warnings"), std::string::npos) << out;
  EXPECT_EQ(run("--check").first, 0);  // the shipped levels are clean
  std::tie(status, out) = run("--batch 1 --level no_such_level");
  EXPECT_EQ(status, 1);
  EXPECT_NE(out.find("no_such_level: error: cannot read the level file (no such file; the "
                     "shipped levels: battle, four_mines, hold, test)"),
            std::string::npos)
      << out;
  // The headless run refuses the level at "press 2" with the first fault's line.
  std::tie(status, out) = run("--headless --level " + bad.string() + " --script /dev/null");
  EXPECT_EQ(status, 1) << out;
  fs::remove(bad);
}
