// Data far beyond the shipped set: each case must finish in seconds and print a bounded
// number of bounded lines (their times are in the notes, not asserted).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/headless.h"
#include "app/script.h"
#include "game/data_check.h"
#include "game/loader.h"
#include "util/cp1251.h"

namespace fs = std::filesystem;

namespace {

class LargeInput : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("large_input_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "ludi");
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  // Reads a type file as --check does and, with `catalogue`, checks the catalogue too;
  // returns the problems, formatted.
  std::vector<std::string> Check(const std::string& cp1251, World& world, bool catalogue = false) {
    std::ofstream(dir_ / "ludi/big.txt", std::ios::binary) << cp1251;
    DataSources sources;
    LoadContext context{platform_, uploader_, &sources, &problems_, true};
    world.Catalogue.emplace_back();
    LoadTypeFile(world, ".\\ludi\\big.txt", world.Catalogue.size() - 1, context);
    if (catalogue) CheckCatalogue(world, sources, problems_);
    std::vector<std::string> lines;
    for (const DataProblem& p : problems_) lines.push_back(FormatProblem(p));
    return lines;
  }

  DataProblems problems_;
  fs::path old_;
  fs::path dir_;
  SilentPlatform platform_;
  CountingUploader uploader_;
};

}  // namespace

TEST_F(LargeInput, HundredThousandTypesWithHundredThousandBuildNames) {
  // Each type builds the next; the last names a type that is not there.
  constexpr int kTypes = 100'000;
  std::string text;
  for (int i = 0; i < kTypes; ++i) {
    text += ")название\nt" + std::to_string(i) + "\n)стройка\nt" +
            std::to_string(i + 1 < kTypes ? i + 1 : -1) + "\n";
  }
  World world;
  const std::vector<std::string> lines = Check(ToCp1251(text), world, true);
  ASSERT_EQ(world.Catalogue[0].Types.size(), size_t(kTypes));
  // The one name that is no type is found; of each other kind 20 are printed and the rest
  // counted.
  EXPECT_LT(lines.size(), 200u);
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "ludi/big.txt:400000: warning: \"стройка\" names \"t-1\", which is no type "
                      "of race 0; a build order for it does nothing"),
            lines.end());
  EXPECT_GT(ErrorCount(problems_), size_t(kTypes));
}

TEST_F(LargeInput, FiftyMegabyteTypeFile) {
  // One type whose sizes are given five million times: every repeat warns, 20 are printed.
  std::string text = ToCp1251(")название\nx\n)параметры\n");
  text.reserve(50'000'100);
  while (text.size() < 50'000'000) text += "1 2 3 4 5\n";
  World world;
  const std::vector<std::string> lines = Check(text, world);
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[20],
            "ludi/big.txt:25: warning: … and 4 999 977 more of this kind (the first: a "
            "second \"параметры\" line replaces the one at line 24)");
  EXPECT_EQ(world.Catalogue[0].Types[0].FrameHeight, 5);
}

TEST_F(LargeInput, TenMegabyteLines) {
  const std::string huge(10'000'000, 'z');
  std::string numbers;
  numbers.reserve(10'000'000);
  while (numbers.size() < 10'000'000) numbers += "1 ";
  // A name, a frame list and a number of 10 MB each: the file loads and every message is short.
  const std::string text = ToCp1251(")название\n") + huge + " " + huge + ToCp1251("\n)индексы\n") +
                           numbers + "\n" + ToCp1251(")энергия\nhp ") + huge + "\n" +
                           ToCp1251(")стройка\n") + huge + "\n";
  World world;
  const std::vector<std::string> lines = Check(text, world);
  ASSERT_EQ(world.Catalogue[0].Types.size(), 1u);
  const TOpisan& type = world.Catalogue[0].Types[0];
  EXPECT_EQ(type.Name.size(), huge.size());
  ASSERT_EQ(type.Animations.size(), 1u);
  // Five million words count 5 000 000 mod 256 = 64 in the 8-bit word count.
  EXPECT_EQ(type.Animations[0].Frames.size(), 63u);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "ludi/big.txt:6: error: \"энергия\": '" + std::string(80, 'z') +
                          "…' is not a valid floating point value");
  DataProblems problems;
  CheckCatalogue(world, DataSources{}, problems);
  for (const DataProblem& p : problems) EXPECT_LT(FormatProblem(p).size(), 400u);

  // A script line of 10 MB is refused as a script error, within seconds.
  RecordingPlatform platform;
  HeadlessHost host(platform);
  std::istringstream in("press " + huge + "\n");
  std::ostringstream out, err;
  EXPECT_EQ(RunScript(in, host, out, err), 2);
}
