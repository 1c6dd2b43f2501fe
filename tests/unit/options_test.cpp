// The command line's table: parsing, and --help, the manual page and the README agreeing with it.
#include "app/options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <utility>

#include "test_files.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;  // names, text

std::optional<Invocation> Parse(const std::string& line, std::string& problem) {
  std::istringstream in(line);
  std::vector<std::string> args;
  for (std::string w; in >> w;) args.push_back(w);
  return ParseInvocation(args, problem);
}

TEST(Options, ModesAndValuesFromTheTable) {
  std::string problem;
  auto run = Parse("--data d --seed=7 --play-as 1 --headless --script s.txt", problem);
  ASSERT_TRUE(run) << problem;
  EXPECT_EQ(run->mode, RunMode::Headless);
  EXPECT_EQ(run->data, "d");
  EXPECT_EQ(run->window.seed, 7u);
  EXPECT_EQ(run->window.playAs, 1);
  EXPECT_EQ(run->window.script, "s.txt");

  run = Parse("--batch 3 --jobs 2 --ai 1=b.lua --seed 9 --data d --ai 0=a.lua", problem);
  ASSERT_TRUE(run) << problem;
  EXPECT_EQ(run->mode, RunMode::Batch);
  EXPECT_EQ(run->batch.Matches, 3u);
  EXPECT_EQ(run->batch.Jobs, 2u);
  EXPECT_EQ(run->batch.Seed, 9u);
  EXPECT_EQ(run->batch.Ai, (std::vector<std::string>{"1=b.lua", "0=a.lua"}));
  // Every pair on both sides: three AIs and four games are 24 matches, sliced as the batch.
  run = Parse("--ladder a.lua --games 4 b.lua c.lua --shard 2/3 --frames 500", problem);
  ASSERT_TRUE(run) << problem;
  EXPECT_EQ(run->mode, RunMode::Ladder);
  EXPECT_EQ(run->ladder.Scripts, (std::vector<std::string>{"a.lua", "b.lua", "c.lua"}));
  EXPECT_EQ(run->ladder.Games, 4u);
  EXPECT_EQ(run->ladder.Play.Matches, 24u);
  EXPECT_EQ(run->ladder.Play.MaxFrames, 500u);
  EXPECT_EQ(run->ladder.Play.Shard, 2u);
  EXPECT_EQ(run->ladder.Play.Shards, 3u);
  EXPECT_EQ(run->ladder.Play.Seed, 1u);
  run = Parse("--headless --script s --ai 0=standard.lua", problem);
  ASSERT_TRUE(run) << problem;
  EXPECT_EQ(run->window.ai, std::vector<std::string>{"0=standard.lua"});

  const std::pair<const char*, RunMode> modes[] = {{"", RunMode::Window},
                                                   {"--record r.txt --seed 1", RunMode::Window},
                                                   {"--replay r.txt", RunMode::Window},
                                                   {"--check --data d", RunMode::Check},
                                                   {"--check --ai x.lua", RunMode::Check},
                                                   {"--seed 1 -v", RunMode::Version},
                                                   {"--check -h", RunMode::Help}};
  for (const auto& [line, mode] : modes) {
    run = Parse(line, problem);
    ASSERT_TRUE(run) << line << ": " << problem;
    EXPECT_EQ(run->mode, mode) << line;
  }
}

TEST(Options, NetworkRunsTakeAnOptionalPort) {
  std::string problem;
  auto run = Parse("--host --seed 3 --script s.txt", problem);
  ASSERT_TRUE(run) << problem;
  EXPECT_EQ(run->mode, RunMode::Network);
  EXPECT_EQ(run->net.kind, NetOptions::Kind::Host);
  EXPECT_EQ(run->net.port, 7341);
  EXPECT_EQ(run->window.seed, 3u);
  run = Parse("--join example.org:7400 --watch --match m --timeout 5", problem);
  ASSERT_TRUE(run) << problem;
  EXPECT_EQ(run->net.address, "example.org");
  EXPECT_EQ(run->net.port, 7400);
  EXPECT_TRUE(run->net.watch);
  EXPECT_EQ(run->net.match, "m");
  EXPECT_EQ(run->net.timeout, 5u);
  run = Parse("--serve 7000", problem);
  ASSERT_TRUE(run) << problem;
  EXPECT_EQ(run->net.kind, NetOptions::Kind::Serve);
  EXPECT_EQ(run->net.port, 7000);
  // Without a script the window plays the match; --record goes with either.
  EXPECT_FALSE(Parse("--host --script s.txt --record r.txt", problem)->net.window);
  EXPECT_TRUE(Parse("--join h --record r.txt", problem)->net.window);
  EXPECT_FALSE(Parse("--join h --headless --script s", problem)->net.window);
}

TEST(Options, BadUsageIsNamed) {
  const std::string kLadderForm =
      "\nusage: rtsdemo --ladder FILE FILE... [--games N] [--frames F] [--jobs J] [--seed S] "
      "[--level FILE] [--shard K/M] [--data DIR]";
  const std::pair<const char*, std::string> bad[] = {
      {"--bogus", "unknown option --bogus"},
      {"-h --bogus=1", "unknown option --bogus=1"},  // refused before help is given
      {"stray", "unknown argument stray"},
      {"-", "unknown argument -"},
      {"--seed", "missing value after --seed"},
      {"--seed -1", "bad seed -1"},
      {"--seed 4294967296", "bad seed 4294967296"},
      {"--headless=1", "--headless takes no value"},
      {"--play-as 2", "--play-as takes 0 or 1, not 2"},
      {"--headless", "--headless needs --script"},
      {"--headless --script - --record r", "--record needs the window"},
      {"--frames 10", "--frames, --jobs and --shard need --batch or --ladder"},
      {"--games 3", "--games needs --ladder"},
      {"--batch 0",
       "bad value '0' for --batch (1 to 1000000)\nusage: rtsdemo --batch N "
       "[--frames F] [--jobs J] [--seed S] [--level FILE] [--ai S=FILE] [--shard K/M] "
       "[--data DIR]"},
      {"--batch 4 --shard 1/5",
       "--shard 1/5: more slices than the 4 matches\nusage: rtsdemo "
       "--batch N [--frames F] [--jobs J] [--seed S] [--level FILE] "
       "[--ai S=FILE] [--shard K/M] [--data DIR]"},
      {"--ladder a.lua", "--ladder needs at least two AI scripts" + kLadderForm},
      {"--ladder a b a", "--ladder: a is given twice" + kLadderForm},
      {"--ladder a b --ai 0=c",
       "--ladder takes only AI scripts, --games, --frames, --jobs, --seed, --level, --shard and "
       "--data"},
      {"--ladder a b --games 0", "bad value '0' for --games (1 to 1000000)" + kLadderForm},
      {"--ladder a b c --games 200000",
       "--ladder: 3 AI scripts and 200000 games are more than 1000000 matches" + kLadderForm},
      {"--batch 2 --script s",
       "--batch takes only --frames, --jobs, --seed, --level, --ai, --shard and --data"},
      {"--replay r --seed 1",
       "--replay takes only --start, --headless, --script, --data and --mute: the recording has "
       "its seeds and inputs"},
      {"--check --seed 1", "--check takes only --level, --ai and --data"},
      {"--headless --script s --ai 2=x.lua", "--ai takes S=FILE with S 0 or 1, not 2=x.lua"},
      {"--headless --script s --ai 1=a --ai 1=b", "--ai: side 1 is given twice"},
      {"--serve 5000 --ai 0=a.lua", "--ai does not go with --serve"},
      {"--replay r --ai 0=a.lua",
       "--ai is for a match of one's own, not with --replay or --resume"},
      {"--join h --watch --play-as 1", "--watch or --play-as, not both"},
      {"--host --join h", "only one of --host, --join and --serve"},
      {"--serve 70000", "bad port 70000"},
      {"--serve --seed 1", "--serve takes only a port"},
      {"--join :5", "--join needs a host"},
      {"--host --players 3", "--players takes 1 or 2, not 3"},
      {"--host --headless", "--headless needs --script"},
      {"--join h --replay r", "--replay does not go with the network"},
      {"--watch", "--watch, --players, --match and --timeout need --host or --join"},
  };
  for (const auto& [line, text] : bad) {
    std::string problem;
    EXPECT_FALSE(Parse(line, problem)) << line;
    EXPECT_EQ(problem, text) << line;
  }
}

std::string Collapse(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '`' || c == '\n') c = c == '`' ? '\0' : ' ';
    if (c == '\0' || (c == ' ' && (out.empty() || out.back() == ' '))) continue;
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

Entries FromTable() {
  Entries out;
  for (const OptionInfo& o : kOptions) {
    std::string names = o.Short ? std::string("-") + o.Short + ", " : "";
    names += std::string("--") + o.Name + (o.Argument ? std::string(" ") + o.Argument : "");
    out.emplace_back(names, Collapse(o.Help));
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// "Options:" up to the blank line: names from column 3, text from column 23.
Entries FromHelp(const std::string& help) {
  Entries out;
  bool in = false;
  for (const std::string& line : Lines(help)) {
    if (line == "Options:") {
      in = true;
    } else if (in && line.empty()) {
      break;
    } else if (in && line.rfind("  -", 0) == 0) {
      const size_t gap = line.find("  ", 2);
      out.emplace_back(line.substr(2, gap == std::string::npos ? gap : gap - 2),
                       gap == std::string::npos ? "" : line.substr(gap));
    } else if (in && !out.empty()) {
      out.back().second += " " + line;
    }
  }
  for (auto& e : out) e.second = Collapse(e.second);
  return out;
}

std::string Unroff(const std::string& line) {
  std::string out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\' || i + 1 >= line.size()) {
      out += line[i];
    } else if (line[i + 1] == 'f' && i + 2 < line.size()) {
      i += 2;
    } else {
      out += line[i + 1] == 'e' ? '\\' : line[i + 1];
      ++i;
    }
  }
  return out;
}

// The .TP entries of the OPTIONS section.
Entries FromManual(const std::string& page) {
  Entries out;
  bool in = false;
  int expect = 0;  // 1: the names line, 2: text
  for (const std::string& line : Lines(page)) {
    if (line.rfind(".SH", 0) == 0) {
      in = line == ".SH OPTIONS";
    } else if (in && line == ".TP") {
      expect = 1;
    } else if (in && expect == 1) {
      out.emplace_back(Unroff(line), "");
      expect = 2;
    } else if (in && expect == 2) {
      out.back().second += " " + Unroff(line);
    }
  }
  for (auto& e : out) e.second = Collapse(e.second);
  return out;
}

// The "- `--name ARG`: text" items of the section "## Command line".
Entries FromReadme(const std::string& readme) {
  Entries out;
  bool in = false;
  for (const std::string& line : Lines(readme)) {
    if (line.rfind("## ", 0) == 0) in = line == "## Command line";
    if (!in) continue;
    if (line.rfind("- `-", 0) == 0) {
      const size_t colon = line.find("`: ");
      out.emplace_back(Collapse(line.substr(2, colon - 1)), line.substr(colon + 3));
    } else if (!out.empty() && line.rfind("  ", 0) == 0 && out.back().second.back() != '\n') {
      out.back().second += " " + line;
    } else if (!out.empty()) {
      out.back().second += "\n";  // the list ended
    }
  }
  for (auto& e : out) e.second = Collapse(e.second);
  return out;
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// One table, three readers: none may drift from it.
TEST(Options, HelpManualPageAndReadmeAgreeWithTheTable) {
  const Entries table = FromTable();
  ASSERT_EQ(table.size(), 29u);
  const std::string help = Output(std::string("env -u DISPLAY ") + RTSDEMO_PATH + " --help");
  EXPECT_EQ(help, HelpText());
  EXPECT_EQ(FromHelp(help), table);
  EXPECT_EQ(FromManual(ReadAll(RTS_MANUAL_PATH)), table);
  const std::string readme = ReadAll(RTS_SOURCE_DIR "/README.md");
  EXPECT_EQ(FromReadme(readme), table);
  // The forms of the command line too.
  EXPECT_NE(readme.find(ReadmeSynopsis()), std::string::npos) << ReadmeSynopsis();
  for (const char* form : kUsage) {
    EXPECT_NE(Unroff(ReadAll(RTS_MANUAL_PATH)).find(std::string("rtsdemo ") + form),
              std::string::npos)
        << form;
  }
}

// Under a Russian locale --help speaks Russian, with the window's own translations.
TEST(Options, HelpIsInTheUsersLanguage) {
  const std::string help =
      Output(std::string("env -u DISPLAY LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 ") + RTSDEMO_PATH +
             " --help");
  for (const char* text : {"Запуск: rtsdemo", "Параметры:", "Клавиши и мышь в окне:", "этот список",
                           "Команды сценариев", "выполнить N кадров (1)"})
    EXPECT_NE(help.find(text), std::string::npos) << text;
  EXPECT_EQ(help.find("Options:"), std::string::npos);
}

}  // namespace
