#include "game/data_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/script.h"
#include "game/loader.h"
#include "util/cp1251.h"

namespace fs = std::filesystem;

namespace {

// A catalogue that meets every requirement: worker and base in both races, a deposit in race 0.
World ValidWorld() {
  TOpisan base;
  base.Energies.push_back({"hp", 100, 100});
  base.Textures = {1};
  base.Radius = 10;
  base.SheetWidth = 160;
  base.SheetHeight = 128;
  base.FrameWidth = 32;
  base.FrameHeight = 32;
  for (int a = 0; a < 4; ++a) base.Animations.push_back({0, {1, 4}});
  base.PriceResources.push_back({"t", 10, 0});
  TOpisan worker = base;
  worker.Name = "worker";
  worker.Speeds = {1};
  worker.Mining.push_back({"gold", 10, 0});
  worker.Buildables = {"base"};
  TOpisan house = base;
  house.Name = "base";
  house.Buildables = {"worker"};
  TOpisan deposit = base;
  deposit.Name = "mine";
  deposit.IsResource = true;
  World world;
  world.Catalogue.resize(2);
  world.Catalogue[0].Types = {worker, house, deposit};
  world.Catalogue[1].Types = {worker, house};
  return world;
}

// The problems of a changed valid world, formatted, in the order found.
template <typename Change>
std::vector<std::string> Problems(Change change) {
  World w = ValidWorld();
  change(w);
  DataProblems problems;
  CheckCatalogue(w, DataSources{}, problems);
  std::vector<std::string> out;
  for (const DataProblem& p : problems) out.push_back(FormatProblem(p));
  return out;
}

using Lines = std::vector<std::string>;

// A folder that is the working directory while the test runs.
class DataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("data_check_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "ludi");
    fs::create_directories(dir_ / "orki");
    fs::create_directories(dir_ / "maps");
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  // UTF-8 text written as Windows-1251.
  void Write(const std::string& name, const std::string& utf8) {
    std::ofstream(dir_ / name, std::ios::binary) << ToCp1251(utf8);
  }
  // A 24-bit bitmap of w x h pixels; `cut` bytes short of its pixel data; rows padded to
  // 4 bytes as bitmap writers store them when `padded`.
  void Bitmap(const std::string& name, int w, int h, size_t cut = 0, bool padded = false) {
    const size_t row = padded ? (size_t(w) * 3 + 3) / 4 * 4 : size_t(w) * 3;
    std::vector<uint8_t> file(54 + row * size_t(h) - cut, 0);
    file[0] = 'B';
    file[1] = 'M';
    file[18] = uint8_t(w);
    file[22] = uint8_t(h);
    file[28] = 24;
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  }
  // The shipped data set, copied here; edits then change only the copy.
  void CopyShipped() {
    fs::copy(RTS_SOURCE_DIR "/data", dir_,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  // Replaces the first occurrence of `from` in a copied file (UTF-8 both).
  void Edit(const std::string& name, const std::string& from, const std::string& to) {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = text.find(ToCp1251(from));
    ASSERT_NE(at, std::string::npos) << name << ": " << from;
    text.replace(at, ToCp1251(from).size(), ToCp1251(to));
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  static Lines Split(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  fs::path old_;
  fs::path dir_;
};

// One type file: name, sprite, four animation rows, sizes, health, then `rest`.
std::string TypeText(const std::string& name, const std::string& rest) {
  return ")название\n" + name +
         "\n)спрайты\n.\\ludi\\s.bmp\n)индексы\n0 1\n0 1\n0 1\n0 1\n"
         ")параметры\n10 20 8 4 4\n)энергия\nhp 10 10\n" +
         rest;
}

const char* const kWorkerRest = ")скорость\nstep 1\n)добыча\nore 10 0\n)стройка\ndom\n";
const char* const kPrice = ")цена\n]ресурсы\ngold 5 0\n";

}  // namespace

TEST(CheckCatalogue, RefusesOnlyWhatARuleWouldReadOutsideAnArray) {
  EXPECT_EQ(Problems([](World&) {}), Lines{});
  EXPECT_EQ(ValidateCatalogue(ValidWorld()), "");
  // Missing rows and fixed types.
  EXPECT_EQ(Problems([](World& w) { w.Catalogue.pop_back(); }),
            Lines{"orki/orki.txt: error: race 1 is missing"});
  EXPECT_EQ(Problems([](World& w) { w.Catalogue[0].Types.pop_back(); }),
            Lines{"ludi/ludi.txt: error: race 0 has 2 types, but the test level places type 2 "
                  "(the deposit)"});
  // On spawned types: health, the animations their objects show, the price of what is built.
  EXPECT_EQ(Problems([](World& w) { w.Catalogue[1].Types[1].Energies.clear(); }),
            Lines{"race 1, type 1: error: type \"base\" has no \"энергия\" line: its objects "
                  "would have no health"});
  EXPECT_EQ(Problems([](World& w) { w.Catalogue[0].Types[0].Animations.resize(3); }),
            Lines{"race 0, type 0: error: type \"worker\" has 3 \"индексы\" lines, but its "
                  "objects show animation 3 (walking loaded)"});
  EXPECT_EQ(Problems([](World& w) { w.Catalogue[0].Types[2].Animations[2].Frames.clear(); }),
            Lines{"race 0, type 2: error: \"индексы\" line of animation 2 (dying) names no frame"});
  EXPECT_EQ(Problems([](World& w) { w.Catalogue[0].Types[1].Animations[1].TextureIndex = 2; }),
            Lines{"race 0, type 1: error: \"индексы\" names texture 2, but the type has 1 sprite "
                  "sheet"});
  EXPECT_EQ(Problems([](World& w) { w.Catalogue[1].Types[0].PriceResources.clear(); }),
            Lines{"race 1, type 0: error: type \"worker\" has no \"цена\" / \"]ресурсы\" line (its "
                  "build time), but the computer opponent has bases train it"});
  // The last type of a name is the one built.
  EXPECT_EQ(Problems([](World& w) {
              TOpisan copy = w.Catalogue[1].Types[1];
              copy.PriceResources.clear();
              w.Catalogue[1].Types.push_back(copy);
            }),
            (Lines{"race 1, type 2: error: type \"base\" has no \"цена\" / \"]ресурсы\" line (its "
                   "build time), but the \"стройка\" line of \"worker\" builds it",
                   "race 1, type 2: warning: a second type named \"base\" (the first is at type "
                   "1): build orders for the name take the later one"}));
}

TEST(CheckCatalogue, WhatTheRulesHandleLoadsWithWarnings) {
  auto loads = [](auto change) {
    World w = ValidWorld();
    change(w);
    return ValidateCatalogue(w);
  };
  EXPECT_EQ(
      Problems([](World& w) { w.Catalogue[0].Types[0].Buildables.push_back(ToCp1251("Нет")); }),
      Lines{"race 0, type 0: warning: \"стройка\" names \"Нет\", which is no type of race 0; "
            "a build order for it does nothing"});
  EXPECT_EQ(
      Problems([](World& w) { w.Catalogue[1].Types[0].Speeds.clear(); }),
      Lines{"race 1, type 0: warning: type 0 of race 1 (\"worker\") is the worker, but it has "
            "no \"скорость\" line: it never walks to a deposit or an enemy"});
  EXPECT_EQ(loads([](World& w) { w.Catalogue[0].Types[0].Mining.clear(); }), "");
  EXPECT_EQ(loads([](World& w) { w.Catalogue[0].Types[1].Buildables.clear(); }), "");
  EXPECT_EQ(loads([](World& w) { w.Catalogue[0].Types[2].IsResource = false; }), "");
  // A base that cannot walk never shows animation 3; one that cannot build or fight never 1.
  EXPECT_EQ(Problems([](World& w) { w.Catalogue[0].Types[1].Animations.resize(3); }), Lines{});
  EXPECT_EQ(Problems([](World& w) {
              w.Catalogue[0].Types[2].Animations.resize(3);
              w.Catalogue[0].Types[2].Animations[1].TextureIndex = 5;
            }),
            Lines{"race 0, type 2: warning: \"индексы\" names texture 5, but the type has 1 sprite "
                  "sheet (nothing shows this animation)"});
  // A type nothing spawns: its gaps cannot be read.
  EXPECT_EQ(Problems([](World& w) {
              TOpisan idle;
              idle.Name = "statue";
              w.Catalogue[1].Types.push_back(idle);
            }),
            (Lines{"race 1, type 2: warning: type \"statue\" has no \"энергия\" line: its objects "
                   "would have no health (the type is never spawned, so it loads)",
                   "race 1, type 2: warning: type \"statue\" has 0 \"индексы\" lines, but its "
                   "objects show animation 0 (standing and walking) (the type is never spawned, "
                   "so it loads)",
                   "race 1, type 2: warning: type \"statue\" has 0 \"индексы\" lines, but its "
                   "objects show animation 2 (dying) (the type is never spawned, so it loads)",
                   "race 1, type 2: warning: \"параметры\" give a sheet of 0 x 0 with cells of 0 x "
                   "0: every size must be above 0 for a cell to be drawn"}));
  // Sheet geometry is ratios, no index.
  EXPECT_EQ(Problems([](World& w) {
              w.Catalogue[0].Types[0].Animations[0].Frames = {0, 5};
            }),
            Lines{"race 0, type 0: warning: \"индексы\" row 0 is outside the sheet's 4 rows"});
  EXPECT_EQ(loads([](World& w) { w.Catalogue[1].Types[1].FrameHeight = 0; }), "");
  EXPECT_EQ(Problems([](World& w) { w.Catalogue[1].Types[1].SheetWidth = 170; }), Lines{});
  EXPECT_EQ(Problems([](World& w) { w.Catalogue[1].Types[1].SheetWidth = 128; }),
            Lines{"race 1, type 1: warning: \"параметры\": the sheet has room for 4 columns of "
                  "cells, but the five headings use 5"});
  EXPECT_EQ(loads([](World& w) { w.Catalogue[0].Types[0].Animations.push_back({7, {}}); }), "");
}

TEST_F(DataFolder, CheckReportsEveryFaultWithFileAndLine) {
  Bitmap("ludi/s.bmp", 20, 8);
  Bitmap("ludi/short.bmp", 20, 8, 10);
  Write("ludi/ludi.txt", "rab.txt\ndom.txt\nruda.txt\ngone.txt\n");
  Write("ludi/rab.txt", TypeText("rab", std::string(kWorkerRest) + "Нет\n" + kPrice));
  Write("ludi/dom.txt",
        ")название\ndom\n)спрайты\n.\\ludi\\s.bmp\n)индексы\n0 1\n1 2\n0 1\n0 3\n)параметры\n"
        "20 20 8 4 4\n)энергия\nhp x 10\n)стройка\nrab\n)цена\n]ресурсы\ngold 5 0\n");
  Write("ludi/ruda.txt",
        ")название\nruda\n)спрайты\n.\\ludi\\short.bmp\n)индексы\n0 1\n0 1\n0 1\n0 1\n"
        ")параметры\n20 20 8 4 4\n)энергия\nhp 100 100\n)ресурс\n500\n)звук\nboom\nbang\n");
  Write("orki/orki.txt", "rab.txt\ndom.txt\nrab2.txt");
  Write("orki/rab.txt", TypeText("rab", std::string(kWorkerRest) + kPrice));
  Write("orki/dom.txt", TypeText("dom", std::string(")стройка\nrab\n") + kPrice));
  Write("orki/rab2.txt", TypeText("rab", kWorkerRest));
  std::ostringstream out;
  EXPECT_EQ(RunCheck(out), 1);
  EXPECT_EQ(Split(out.str()),
            (Lines{
                "ludi/ludi.txt:4: error: File not found: \"gone.txt\"",
                "ludi/rab.txt:20: warning: \"стройка\" names \"Нет\", which is no type of race 0; "
                "a build order for it does nothing",
                "ludi/dom.txt:7: error: \"индексы\" names texture 1, but the type has 1 sprite "
                "sheet",
                "ludi/dom.txt:9: warning: \"индексы\" row 3 is outside the sheet's 2 rows",
                "ludi/dom.txt:13: error: \"энергия\": 'x' is not a valid floating point value",
                "ludi/ruda.txt:4: error: sprite sheet \".\\ludi\\short.bmp\" cannot be loaded: its "
                "pixel data is shorter than the header says, or the size is damaged (\"Error "
                "reading bitmap data\")",
                "ludi/ruda.txt:17: warning: line is ignored: section \"звук\" is no section the "
                "loader knows",
                "orki/rab2.txt:2: error: type \"rab\" has no \"цена\" / \"]ресурсы\" line (its "
                "build time), but the \"стройка\" line of \"dom\" at orki/dom.txt:15 builds it",
                "orki/rab2.txt:2: warning: a second type named \"rab\" (the first is at "
                "orki/rab.txt:2): build orders for the name take the later one",
                "maps/summer2.bmp: error: the ground bitmap cannot be loaded: file not found",
                "6 errors, 4 warnings",
            }));
}

TEST_F(DataFolder, ShippedDataPassesTheCheck) {
  CopyShipped();
  std::ostringstream out;
  EXPECT_EQ(RunCheck(out), 0);
  EXPECT_EQ(out.str(), "0 errors, 0 warnings\n");
}

TEST_F(DataFolder, BitmapsThatLoadButAreReadWrong) {
  CopyShipped();
  Bitmap("orki/batrak.bmp", 30, 120, 0, true);  // the declared 256 x 1024 proportions
  Bitmap("orki/gromila.bmp", 64, 64);
  std::ostringstream out;
  EXPECT_EQ(RunCheck(out), 0);
  EXPECT_EQ(Split(out.str()),
            (Lines{"orki/batrak.txt:4: warning: sprite sheet \".\\orki\\batrak.bmp\" is 30 pixels "
                   "wide; its rows carry padding, which is read as pixels (use a width that is a "
                   "multiple of 4)",
                   "orki/gromila.txt:11: warning: \"параметры\" declare a sheet of 256 x 1024, but "
                   "the sprite sheet at line 4 is 64 x 64 pixels: its cells are cut at the wrong "
                   "places",
                   "0 errors, 2 warnings"}));
}

TEST(CheckCommand, ExitStatusAndOutput) {
  auto run = [](const std::string& args, std::string& output) {
    std::string cmd = std::string("env -u DISPLAY ") + RTSDEMO_PATH + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    output.clear();
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, p)) output.append(buffer, n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string output;
  EXPECT_EQ(run("--check --data " RTS_SOURCE_DIR "/data", output), 0);
  EXPECT_EQ(output, "0 errors, 0 warnings\n");
  EXPECT_EQ(run("--check --data /nonexistent/folder", output), 2);
  EXPECT_EQ(run("--check --headless", output), 2);
  // An empty folder: both lists and the ground are missing.
  std::string empty =
      (fs::temp_directory_path() / ("check_empty_" + std::to_string(::getpid()))).string();
  fs::create_directories(empty);
  EXPECT_EQ(run("--check --data " + empty, output), 1);
  EXPECT_EQ(output,
            "ludi/ludi.txt: error: File not found\norki/orki.txt: error: File not found\n"
            "maps/summer2.bmp: error: the ground bitmap cannot be loaded: file not found\n"
            "3 errors, 0 warnings\n");
  fs::remove_all(empty);
}

TEST_F(DataFolder, BuildNameWithNoTypeLoadsAndPlays) {
  CopyShipped();
  Edit("ludi/krestyanin.txt", ")стройка\r\nРатуша\r\n", ")стройка\r\nРатуша\r\nНет\r\n");
  RecordingPlatform platform;
  platform.answerAtOnce = false;
  platform.fixedSeed = 3;
  HeadlessHost host(platform);
  host.Press(1);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(host.controls().ButtonEnabled(1));
  EXPECT_EQ(ToUtf8(host.controls().ButtonCaption(1)), "ДАННЫЕ ЗАГРУЖЕНЫ");
  host.Press(2);
  World& world = host.frontend().world();
  ASSERT_EQ(world.Objects.size(), 4u);
  // Select the worker at (200, 200) and order a build of "Нет".
  host.Move(200, host.controls().ViewHeight() - 200);
  host.Down(Frontend::Button::Left);
  host.Tick();
  ASSERT_TRUE(world.Objects[0].Selected);
  ASSERT_EQ(host.controls().ComboItems(2).size(), 2u);
  EXPECT_EQ(ToUtf8(host.controls().ComboItems(2)[1]), "Нет");
  host.Choose(2, 1);
  host.Move(300, 100);
  host.Down(Frontend::Button::Right);
  host.Tick();
  // No order: the opponent's base order stays, the choice is removed and the mode is 0.
  EXPECT_EQ(world.Objects[0].Thought1.rfind("stroyka 1,", 0), 0u) << world.Objects[0].Thought1;
  EXPECT_EQ(world.Objects[0].Thought2, "");
  EXPECT_EQ(host.controls().ComboIndex(2), -1);
  EXPECT_EQ(host.frontend().state().ClickCommand, 0);
  // The match goes on: both sides put up a base and train workers.
  for (int i = 0; i < 3000; ++i) host.Tick();
  int bases[2] = {0, 0};
  for (const TObyekt& o : world.Objects) {
    if (o.Kind == kBaseKind && o.Side >= 0 && o.Side < 2 && IsAlive(o)) ++bases[o.Side];
  }
  EXPECT_GE(bases[0], 1);
  EXPECT_GE(bases[1], 1);
  EXPECT_GT(world.Objects.size(), 6u);
}

TEST_F(DataFolder, LoadButtonBoxes) {
  CopyShipped();
  Edit("orki/stoybishche.txt", "0 5 6 7 8", "3 5 6 7 8");
  Edit("orki/batrak.txt", "здоровье 75 75", "здоровье 75");
  {
    // A runtime error keeps its text byte for byte.
    RecordingPlatform platform;
    platform.answerAtOnce = false;
    HeadlessHost host(platform);
    host.Press(1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].Text, "'' is not a valid floating point value.");
    EXPECT_TRUE(host.controls().ButtonEnabled(1));
  }
  Edit("orki/batrak.txt", "здоровье 75", "здоровье 75 75");
  // A refusal names the file and line of the first error, in one box.
  RecordingPlatform platform;
  platform.answerAtOnce = false;
  HeadlessHost host(platform);
  host.Press(1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(ToUtf8(platform.messages[0].Text),
            "orki/stoybishche.txt:7: error: \"индексы\" names texture 3, but the type has 1 "
            "sprite sheet");
  EXPECT_EQ(platform.messages[0].Caption, "rtsdemo");
  EXPECT_TRUE(host.controls().ButtonEnabled(1));
  host.Press(2);
  EXPECT_TRUE(host.frontend().world().Objects.empty());
}

TEST(DataProblems, TwentyOfAKindPerFileAndLevelThenACount) {
  DataProblems problems;
  for (int i = 1; i <= 23; ++i) {
    const std::string n = std::to_string(i);
    problems.Add({"a.txt", i, false, "name \"x" + n + "\" at line " + n + " is odd"});
    problems.Add({"a.txt", i, true, "name \"x" + n + "\" at line " + n + " is odd"});
  }
  problems.Add({"b.txt", 1, false, "name \"y\" at line 1 is odd"});  // another file
  problems.Add({"a.txt", 30, false, "another kind"});
  ASSERT_EQ(problems.size(), 20u + 20u + 2u + 2u);
  EXPECT_EQ(FormatProblem(problems[40]),
            "a.txt:21: warning: … and 3 more of this kind (the first: name \"x21\" at line 21 "
            "is odd)");
  EXPECT_EQ(FormatProblem(problems[41]),
            "a.txt:21: error: … and 3 more of this kind (the first: name \"x21\" at line 21 is "
            "odd)");
  EXPECT_EQ(FormatProblem(problems[42]), "b.txt:1: warning: name \"y\" at line 1 is odd");
  EXPECT_EQ(ErrorCount(problems), 23u);
  EXPECT_EQ(WarningCount(problems), 25u);
  DataProblem many{"c.txt", 0, false, std::string(70, 'w'), 2588};
  EXPECT_EQ(FormatProblem(many), "c.txt: warning: … and 2 588 more of this kind (the first: " +
                                     std::string(60, 'w') + "…)");
  many.More = 1234567;
  many.Text = "x";
  EXPECT_EQ(FormatProblem(many),
            "c.txt: warning: … and 1 234 567 more of this kind (the first: x)");
}

TEST_F(DataFolder, SheetsThatLoadButReadWronglyAndSheetsThatFail) {
  // A header with the given bytes patched in.
  auto sheet = [&](const std::string& name, std::vector<std::pair<size_t, uint8_t>> patch,
                   size_t cut = 0) {
    Bitmap(name, 4, 2, cut);
    std::fstream f(dir_ / name, std::ios::in | std::ios::out | std::ios::binary);
    for (auto [at, value] : patch) {
      f.seekp(std::streamoff(at));
      f.put(char(value));
    }
  };
  auto inspect = [](const std::string& name) {
    SheetFile s = InspectSheet(".\\" + name, "s", true);
    std::string out = s.Failure;
    for (const std::string& h : s.Hints) out += "|" + h;
    return out;
  };
  sheet("bits.bmp", {{28, 16}, {34, 24}});  // 16 bits, 24 bytes of data
  EXPECT_EQ(inspect("bits.bmp"),
            "|s has 16 bits per pixel; only 24-bit bitmaps are read correctly");
  sheet("packed.bmp", {{30, 1}, {14, 40}, {10, 60}});
  EXPECT_EQ(inspect("packed.bmp"),
            "|s is compressed; only uncompressed bitmaps are read correctly|s: its pixel data "
            "does not follow the colour table; the picture is read from the wrong place");
  sheet("empty.bmp", {{22, 0}});
  EXPECT_EQ(inspect("empty.bmp"), "its width or height is 0 or negative (a top-down bitmap?)");
  sheet("palette.bmp", {{46, 9}});
  EXPECT_EQ(inspect("palette.bmp"),
            "the file ends inside its headers or colour table (\"Error reading palette\")");
  sheet("short.bmp", {}, 1);
  EXPECT_EQ(inspect("short.bmp"),
            "its pixel data is shorter than the header says, or the size is damaged (\"Error "
            "reading bitmap data\")");
  EXPECT_EQ(inspect("ludi"), "it is a folder");
  EXPECT_EQ(inspect("gone.bmp"), "file not found");
  EXPECT_EQ(inspect("short.bmp/x"), "Not a directory");
  // A header-only look at a file that has loaded reports no failure.
  EXPECT_EQ(InspectSheet(".\\gone.bmp", "s", false).Failure, "");
}

TEST_F(DataFolder, AGroundThatCannotBeLoadedIsNamedBeforeTheEnd) {
  RecordingPlatform platform;
  platform.answerAtOnce = false;
  CountingUploader uploader;
  DataProblems problems;
  LoadContext context{platform, uploader, nullptr, &problems};
  World world;
  EXPECT_THROW(LoadGround(world, context), ProgramExit);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(FormatProblem(problems[0]),
            "maps/summer2.bmp: error: the ground bitmap cannot be loaded: file not found");
}

TEST(CheckCatalogue, MissingRowWorkerWithoutBuildsAndTheRefusalCount) {
  World one;
  one.Catalogue.resize(1);
  EXPECT_EQ(ValidateCatalogue(one).rfind("ludi/ludi.txt: error: race 0 has 0 types", 0), 0u);
  World w = ValidWorld();
  w.Catalogue.pop_back();
  EXPECT_EQ(ValidateCatalogue(w), "orki/orki.txt: error: race 1 is missing");
  const Lines lines = Problems([](World& v) { v.Catalogue[1].Types[0].Buildables.clear(); });
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("is the worker, but it has no \"стройка\" line"), std::string::npos);
  DataProblems two;
  two.Add({"a.txt", 1, true, "one"});
  two.Add({"a.txt", 2, true, "two"});
  EXPECT_EQ(RefusalText(two), "a.txt:1: error: one\n(2 errors in all; rtsdemo --check lists them)");
  SilentPlatform silent(7);
  EXPECT_EQ(silent.TickCount(), 0u);
  EXPECT_EQ(silent.ClockSeed(), 7u);
}
