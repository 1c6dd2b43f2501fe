// Batch matches: equal to the headless script, independent of the number of threads.
#include "app/batch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/dump.h"
#include "app/options.h"
#include "app/script.h"
#include "app/state_hash.h"

namespace {

namespace fs = std::filesystem;

// Every test here reads the shipped data from the working directory.
class DataFolder : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0); }
};
const auto* const kDataFolder = ::testing::AddGlobalTestEnvironment(new DataFolder);

// The shipped data loaded as the load button loads them.
const World& Loaded() {
  static RecordingPlatform platform;
  static HeadlessHost host(platform);
  static bool once = [] {
    host.Press(1);
    return true;
  }();
  (void)once;
  return host.frontend().world();
}

// What `rtsdemo --headless --seed S` prints for "press 1", "press 2", "tick F", "hash".
std::string ScriptHash(uint32_t seed, uint64_t frames) {
  RecordingPlatform platform;
  platform.fixedSeed = seed;
  HeadlessHost host(platform);
  std::istringstream in("press 1\npress 2\ntick " + std::to_string(frames) + "\nhash\n");
  std::ostringstream out, err;
  EXPECT_EQ(RunScript(in, host, out, err), 0) << err.str();
  std::string text = out.str();
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

// Runs rtsdemo with the arguments; stdout and stderr apart.
ProgramRun Rtsdemo(const std::string& args) {
  const std::string errFile =
      (fs::temp_directory_path() / ("batch_err_" + std::to_string(::getpid()))).string();
  std::string cmd = std::string("env -u DISPLAY ") + RTSDEMO_PATH + " " + args + " 2>" + errFile;
  ProgramRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  FILE* e = fopen(errFile.c_str(), "r");
  if (e != nullptr) {
    while ((n = fread(buf, 1, sizeof buf, e)) > 0) r.err.append(buf, n);
    fclose(e);
  }
  fs::remove(errFile);
  return r;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    return nlohmann::json::parse(a)["match"] < nlohmann::json::parse(b)["match"];
  });
  return lines;
}

}  // namespace

TEST(Batch, SharedLoadGivesTheStateOfPressOne) {
  RecordingPlatform pa, pb;
  pa.fixedSeed = pb.fixedSeed = 9;
  HeadlessHost a(pa), b(pb);
  a.Press(1);
  b.frontend().AcceptLoadedData(Loaded());
  EXPECT_EQ(DumpState(a.frontend(), pa.messages), DumpState(b.frontend(), pb.messages));
  EXPECT_EQ(StateHash(a.frontend()), StateHash(b.frontend()));
  a.Press(2);
  b.Press(2);
  for (int i = 0; i < 700; ++i) {
    a.Tick();
    b.Tick();
  }
  EXPECT_EQ(DumpState(a.frontend(), pa.messages), DumpState(b.frontend(), pb.messages));
}

TEST(Batch, MatchHashEqualsTheHeadlessScript) {
  // Cut short by the frame limit, for a few seeds including the wrap-around.
  for (uint32_t seed : {1u, 77u, 4294967295u}) {
    MatchResult r = RunMatch(Loaded(), 0, seed, 2500);
    EXPECT_EQ(r.Frames, 2500u);
    EXPECT_FALSE(r.Winner);
    EXPECT_EQ(HashText(r.Hash), ScriptHash(seed, 2500)) << "seed " << seed;
  }
  // Played to its end.
  MatchResult full = RunMatch(Loaded(), 0, 2, 360000);
  ASSERT_TRUE(full.Winner);
  ASSERT_LT(full.Frames, 360000u);
  EXPECT_EQ(HashText(full.Hash), ScriptHash(2, full.Frames));
}

TEST(Batch, MatchEndsAtTheFrameOneSideIsGone) {
  MatchResult r = RunMatch(Loaded(), 0, 3, 360000);
  ASSERT_TRUE(r.Winner);
  auto standing = [](const World& w, int side) {
    int n = 0;
    for (const TObyekt& o : w.Objects)
      n += IsAlive(o) && o.Side == side && (o.Kind == kWorkerKind || o.Kind == kBaseKind);
    return n;
  };
  RecordingPlatform platform;
  platform.fixedSeed = 3;
  HeadlessHost host(platform);
  host.Press(1);
  host.Press(2);
  for (uint64_t f = 1; f < r.Frames; ++f) host.Tick();
  const World& w = host.frontend().world();
  EXPECT_GT(standing(w, 0), 0);
  EXPECT_GT(standing(w, 1), 0);
  host.Tick();
  EXPECT_GT(standing(w, *r.Winner), 0);
  EXPECT_EQ(standing(w, 1 - *r.Winner), 0);

  // The times seen along the way are in the order the economy runs, and the loser died.
  for (size_t s = 0; s < 2; ++s) {
    ASSERT_TRUE(r.FirstBase[s] && r.FirstDelivery[s] && r.FirstDeath[s]) << "side " << s;
    EXPECT_LT(*r.FirstBase[s], *r.FirstDelivery[s]);
    EXPECT_LE(*r.FirstDeath[s], r.Frames);
    EXPECT_GE(r.PeakWorkers[s], 1);
    EXPECT_EQ(r.Money[s], w.Sides[s].Money);
  }
}

TEST(Batch, ResultsDoNotDependOnTheNumberOfThreads) {
  auto play = [](unsigned jobs) {
    BatchOptions options;
    options.Matches = 5;
    options.MaxFrames = 6000;
    options.Jobs = jobs;
    options.Seed = 4294967293u;  // seeds wrap past 2^32
    std::map<uint64_t, std::string> lines;
    size_t reports = 0;
    RunMatches(Loaded(), options, [&](const MatchResult& r) {
      ++reports;
      lines[r.Match] = MatchJson(r).dump();
    });
    EXPECT_EQ(reports, 5u);
    return lines;
  };
  auto one = play(1);
  ASSERT_EQ(one.size(), 5u);
  EXPECT_EQ(nlohmann::json::parse(one[4])["seed"], 1);
  EXPECT_EQ(one, play(2));
  EXPECT_EQ(one, play(8));  // more threads than matches
}

TEST(Batch, LineHoldsEveryFieldInOrder) {
  MatchResult r;
  r.Match = 3;
  r.Seed = 4;
  r.Frames = 100;
  r.Hash = 0xabc;
  r.FirstBase = {std::optional<uint64_t>(482), std::nullopt};
  r.PeakWorkers = {2, 1};
  r.Money = {570.1f, -0.6f};
  r.Matches = 5;
  r.FrameLimit = 360000;
  EXPECT_EQ(
      MatchJson(r).dump(),
      "{\"match\":3,\"seed\":4,\"frames\":100,\"winner\":null,\"end\":\"limit\","
      "\"hash\":\"0000000000000abc\",\"first_base\":[482,null],\"first_delivery\":[null,null],"
      "\"first_death\":[null,null],\"peak_workers\":[2,1],\"money\":[570.1,-0.6],"
      "\"matches\":5,\"frame_limit\":360000}");
  // The line reads back to the same result.
  std::string problem;
  std::optional<MatchResult> back = MatchFromJson(MatchJson(r).dump(), problem);
  ASSERT_TRUE(back) << problem;
  EXPECT_EQ(MatchJson(*back), MatchJson(r));
  EXPECT_FALSE(MatchFromJson("{\"match\":1}", problem));
  // With the match's totals, as a batch writes them now.
  r.HasTotals = true;
  r.Delivered = {640.5f, 0};
  r.Finished = {12, 3};
  r.Lost = {2, 4};
  r.PeakArmy = {187.5f, 150};
  const std::string line = MatchJson(r).dump();
  EXPECT_NE(line.find("\"totals\":{\"delivered\":[640.5,0.0],\"finished\":[12,3],\"lost\":[2,4],"
                      "\"peak_army\":[187.5,150.0]}"),
            std::string::npos)
      << line;
  back = MatchFromJson(line, problem);
  ASSERT_TRUE(back) << problem;
  EXPECT_EQ(MatchJson(*back), MatchJson(r));
}

TEST(Batch, ArgumentsAreCheckedBeforeAnythingRuns) {
  std::string problem;
  auto ok = ParseInvocation(
      {"--batch", "3", "--frames", "0", "--jobs", "2", "--seed", "4294967295", "--data", "x"},
      problem);
  ASSERT_TRUE(ok) << problem;
  EXPECT_EQ(ok->batch.Matches, 3u);
  EXPECT_EQ(ok->batch.MaxFrames, 0u);
  EXPECT_EQ(ok->batch.Jobs, 2u);
  EXPECT_EQ(ok->batch.Seed, 4294967295u);
  EXPECT_EQ(ok->data, "x");
  auto defaults = ParseInvocation({"--batch", "1"}, problem);
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->batch.MaxFrames, 360000u);
  EXPECT_EQ(defaults->batch.Jobs, 0u);
  EXPECT_EQ(defaults->batch.Seed, 1u);
  const std::vector<std::vector<std::string>> bad = {{"--batch", "0"},
                                                     {"--batch", "x"},
                                                     {"--batch", "-1"},
                                                     {"--batch"},
                                                     {"--frames", "10"},
                                                     {"--batch", "2", "--jobs", "0"},
                                                     {"--batch", "2", "--seed", "4294967296"},
                                                     {"--batch", "2", "--headless"},
                                                     {"--batch", "2", "--frames", "1e3"}};
  for (const auto& args : bad) {
    problem.clear();
    EXPECT_FALSE(ParseInvocation(args, problem)) << args.back();
    EXPECT_FALSE(problem.empty());
  }
}

TEST(Batch, ProgramPrintsTheSameLinesForOneAndTwoJobs) {
  const std::string args = "--batch 4 --frames 5000 --seed 11 --data " RTS_SOURCE_DIR "/data";
  ProgramRun one = Rtsdemo(args + " --jobs 1");
  ProgramRun two = Rtsdemo(args + " --jobs 2");
  ASSERT_EQ(one.status, 0) << one.err;
  ASSERT_EQ(two.status, 0) << two.err;
  auto lines = SortedLines(one.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines, SortedLines(two.out));
  auto first = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(first["seed"], 11);
  EXPECT_EQ(first["hash"], ScriptHash(11, first["frames"]));
  // The summary, no progress line (standard error is a file here).
  EXPECT_NE(one.err.find("wins side 0:"), std::string::npos) << one.err;
  EXPECT_NE(one.err.find("first_delivery side 1"), std::string::npos);
  EXPECT_EQ(one.err.find("done,"), std::string::npos);
}

TEST(Batch, ProgramRefusesBadUsageAndBadData) {
  ProgramRun usage = Rtsdemo("--batch 0");
  EXPECT_EQ(usage.status, 2);
  EXPECT_NE(usage.err.find("usage:"), std::string::npos);
  EXPECT_EQ(Rtsdemo("--batch 2 --headless").status, 2);
  EXPECT_EQ(Rtsdemo("--batch 2 --data /nonexistent/folder").status, 2);

  // A race list that is missing: the load's own problem, exit 1, no match played.
  fs::path dir = fs::temp_directory_path() / ("batch_data_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::copy(RTS_SOURCE_DIR "/data", dir, fs::copy_options::recursive);
  fs::remove(dir / "orki" / "orki.txt");
  ProgramRun broken = Rtsdemo("--batch 2 --data " + dir.string());
  fs::remove_all(dir);
  EXPECT_EQ(broken.status, 1);
  EXPECT_TRUE(broken.out.empty());
  EXPECT_NE(broken.err.find("orki.txt"), std::string::npos) << broken.err;
  EXPECT_NE(broken.err.find("nothing played"), std::string::npos);
}

TEST(Batch, TwoBrokeSidesEndInAStalemate) {
  // A worker each, no deposit, no money: each stands on a build order it cannot pay.
  DataProblems problems;
  Level level = ParseLevel(")объекты\nludi 0 0 300 300\norki 0 1 -300 -300\n", "broke", problems);
  ResolveLevel(Loaded(), level, problems);
  ASSERT_TRUE(problems.empty());
  MatchResult r = RunMatch(Loaded(), 0, 5, 360000, &level);
  EXPECT_EQ(r.End, MatchEnd::Stalemate);
  EXPECT_FALSE(r.Winner);
  EXPECT_GE(r.Frames, kStalemateFrames);
  EXPECT_LT(r.Frames, kStalemateFrames + 100);
  // With money the same sides build a base and workers first: the quiet minute starts later.
  level.Money = {570, 570, 0};
  level.HasMoney = {true, true, false};
  MatchResult rich = RunMatch(Loaded(), 0, 5, 360000, &level);
  EXPECT_EQ(rich.End, MatchEnd::Stalemate);
  EXPECT_GT(rich.Frames, r.Frames + 480);
}

TEST(Batch, ShardsRunByParallelSummarizeAsTheSingleRun) {
  const fs::path dir = fs::temp_directory_path() / ("shards_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string batch = "--batch 7 --frames 20000 --jobs 1 --level four_mines";
  ProgramRun single = Rtsdemo(batch);
  ASSERT_EQ(single.status, 0) << single.err;
  // Three shards at once, each line kept whole; the merge reads files and standard input.
  const std::string cmd = "parallel -j3 --line-buffer " + std::string(RTSDEMO_PATH) + " " + batch +
                          " --shard {}/3 '>' " + (dir / "s{}.jsonl").string() +
                          " '2>/dev/null' ::: 1 2 3";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  ProgramRun merged = Rtsdemo("--summarize " + (dir / "s1.jsonl").string() + " " +
                              (dir / "s2.jsonl").string() + " - < " + (dir / "s3.jsonl").string());
  EXPECT_EQ(merged.status, 0) << merged.err;
  std::string expected = single.err.substr(0, single.err.find("time: "));
  EXPECT_EQ(merged.out, expected);
  // The shards' lines are the single run's lines.
  std::string all;
  for (int k = 1; k <= 3; ++k) all += ReadText(dir / ("s" + std::to_string(k) + ".jsonl"));
  EXPECT_EQ(SortedLines(all), SortedLines(single.out));

  // A shard left out and one given twice are both reported.
  ProgramRun faulty =
      Rtsdemo("--summarize " + (dir / "s1.jsonl").string() + " " + (dir / "s1.jsonl").string());
  EXPECT_EQ(faulty.status, 1);
  EXPECT_NE(faulty.err.find("match 0 repeated"), std::string::npos) << faulty.err;
  EXPECT_NE(faulty.err.find("5 of 7 matches missing: 2-6"), std::string::npos) << faulty.err;
  fs::remove_all(dir);
}
