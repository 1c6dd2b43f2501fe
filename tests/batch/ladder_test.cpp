// The AI ladder run by the program: shards merged by --summarize equal the single run.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs rtsdemo with the arguments; stdout and stderr apart.
ProgramRun Rtsdemo(const std::string& args) {
  const fs::path errFile = fs::temp_directory_path() / ("ladder_err_" + std::to_string(getpid()));
  const std::string cmd =
      std::string("env -u DISPLAY ") + RTSDEMO_PATH + " " + args + " 2>" + errFile.string();
  ProgramRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return r;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
  const int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = ReadText(errFile);
  fs::remove(errFile);
  return r;
}

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
    return nlohmann::json::parse(a)["match"] < nlohmann::json::parse(b)["match"];
  });
  return lines;
}

const std::string kLadder =
    "--ladder rush.lua miner.lua easy.lua --games 2 --frames 12000 --data " +
    std::string(RTS_SOURCE_DIR "/data");

TEST(Ladder, ThreeShardsMergeIntoTheSingleRunsTable) {
  const fs::path dir = fs::temp_directory_path() / ("ladder_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const ProgramRun single = Rtsdemo(kLadder + " --jobs 2");
  ASSERT_EQ(single.status, 0) << single.err;
  const std::vector<std::string> lines = SortedLines(single.out);
  ASSERT_EQ(lines.size(), 12u);  // 3 pairs, both ways, 2 seeds
  const std::string table = single.err.substr(0, single.err.find("time: "));
  for (const char* row : {"rush.lua - miner.lua      4", "rush.lua - easy.lua       4",
                          "miner.lua - easy.lua      4", "ratings: Bradley-Terry"})
    EXPECT_NE(table.find(row), std::string::npos) << row << "\n" << table;
  // Some match must be won, or the ratings would say nothing.
  EXPECT_NE(single.out.find("\"end\":\"win\""), std::string::npos);

  // Three shards at once, one job each, as GNU parallel spreads them.
  const std::string cmd = "parallel -j3 env -u DISPLAY " + std::string(RTSDEMO_PATH) + " " +
                          kLadder + " --jobs 1 --shard {}/3 '>' " + (dir / "s{}.jsonl").string() +
                          " '2>/dev/null' ::: 1 2 3";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::string all;
  for (int k = 1; k <= 3; ++k) all += ReadText(dir / ("s" + std::to_string(k) + ".jsonl"));
  EXPECT_EQ(SortedLines(all), lines);
  const std::string s1 = (dir / "s1.jsonl").string(), s2 = (dir / "s2.jsonl").string(),
                    s3 = (dir / "s3.jsonl").string();
  const ProgramRun merged = Rtsdemo("--summarize " + s3 + " " + s1 + " - < " + s2);
  EXPECT_EQ(merged.status, 0) << merged.err;
  EXPECT_EQ(merged.out, table);

  // A shard missing, one repeated, and one of another ladder are each named.
  const ProgramRun partial = Rtsdemo("--summarize " + s1 + " " + s1);
  EXPECT_EQ(partial.status, 1);
  EXPECT_NE(partial.err.find("match 0 repeated; the first counts"), std::string::npos)
      << partial.err;
  EXPECT_NE(partial.err.find("8 of 12 matches missing: 4-11"), std::string::npos) << partial.err;
  const ProgramRun other = Rtsdemo(kLadder + " --seed 9 --shard 1/6 --jobs 1");
  ASSERT_EQ(other.status, 0) << other.err;
  std::ofstream(dir / "other.jsonl") << other.out;
  const ProgramRun mixed =
      Rtsdemo("--summarize " + s1 + " " + s2 + " " + s3 + " " + (dir / "other.jsonl").string());
  EXPECT_EQ(mixed.status, 1);
  EXPECT_NE(mixed.err.find("other.jsonl:1: match 0 belongs to another ladder"), std::string::npos)
      << mixed.err;
  EXPECT_EQ(mixed.out, table);
  // A batch of as many matches, frames and seeds takes no ladder line for its own.
  const ProgramRun batch =
      Rtsdemo("--batch 12 --frames 12000 --shard 1/12 --data " RTS_SOURCE_DIR "/data");
  std::ofstream(dir / "batch.jsonl") << batch.out;
  const ProgramRun crossed = Rtsdemo("--summarize " + (dir / "batch.jsonl").string() + " " + s1);
  EXPECT_EQ(crossed.status, 1);
  EXPECT_NE(crossed.err.find("s1.jsonl:1: a line of a ladder, not of a batch"), std::string::npos)
      << crossed.err;
  fs::remove_all(dir);
}

TEST(Ladder, BadUsageAndBadScriptsPlayNothing) {
  const ProgramRun one = Rtsdemo("--ladder rush.lua");
  EXPECT_EQ(one.status, 2);
  EXPECT_NE(one.err.find("rtsdemo: --ladder needs at least two AI scripts\nusage: rtsdemo "
                         "--ladder FILE FILE..."),
            std::string::npos)
      << one.err;
  const ProgramRun missing = Rtsdemo(
      "--ladder rush.lua no_such_ai.lua --games 1 --frames 10 --data " RTS_SOURCE_DIR "/data");
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.out.empty());
  EXPECT_NE(missing.err.find("no_such_ai.lua"), std::string::npos) << missing.err;
  EXPECT_NE(missing.err.find("nothing played"), std::string::npos);
}

}  // namespace
