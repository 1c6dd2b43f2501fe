// Finding the data folder without --data, and data paths taken from it.
#include "app/data_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "util/bmp.h"

namespace fs = std::filesystem;

namespace {

// A scratch tree: build/rtsdemo, src/data, prefix/bin/rtsdemo, prefix/share/rtsdemo/data.
class DataFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ =
        fs::temp_directory_path() /
        ("rts_data_folder_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    for (const char* d : {"build", "src/data", "prefix/bin", "prefix/share/rtsdemo/data", "env"}) {
      fs::create_directories(root_ / d);
    }
    search_.buildDir = root_ / "build";
    search_.sourceData = root_ / "src/data";
    search_.installedFromBin = "../share/rtsdemo/data";
  }
  void TearDown() override { fs::remove_all(root_); }

  std::optional<fs::path> Find() {
    notes_.clear();
    return FindDataFolder(search_, notes_);
  }

  fs::path root_;
  DataSearch search_;
  std::vector<std::string> notes_;
};

TEST_F(DataFolderTest, BuildTreeProgramUsesTheSourceData) {
  search_.program = root_ / "build/rtsdemo";
  EXPECT_EQ(Find(), root_ / "src/data");
  EXPECT_TRUE(notes_.empty());
  // A program in another folder of the build tree is no build-tree program.
  search_.program = root_ / "build/sub/rtsdemo";
  EXPECT_EQ(Find(), std::nullopt);
  // Without its source tree the build-tree program finds nothing.
  search_.program = root_ / "build/rtsdemo";
  fs::remove_all(root_ / "src/data");
  EXPECT_EQ(Find(), std::nullopt);
}

TEST_F(DataFolderTest, InstalledProgramUsesTheDataBesideItsBin) {
  search_.program = root_ / "prefix/bin/rtsdemo";
  EXPECT_EQ(Find(), root_ / "prefix/share/rtsdemo/data");
  fs::remove_all(root_ / "prefix/share");
  EXPECT_EQ(Find(), std::nullopt);
  EXPECT_TRUE(notes_.empty());
}

TEST_F(DataFolderTest, EnvironmentComesFirstAndIsSkippedWhenMissing) {
  search_.program = root_ / "prefix/bin/rtsdemo";
  search_.environment = (root_ / "env").string();
  EXPECT_EQ(Find(), root_ / "env");
  search_.program = root_ / "build/rtsdemo";
  EXPECT_EQ(Find(), root_ / "env");

  search_.environment = (root_ / "nowhere").string();
  EXPECT_EQ(Find(), root_ / "src/data");
  ASSERT_EQ(notes_.size(), 1u);
  EXPECT_NE(notes_[0].find("nowhere"), std::string::npos);
  // A file is no folder.
  std::ofstream(root_ / "file") << "x";
  search_.environment = (root_ / "file").string();
  EXPECT_EQ(Find(), root_ / "src/data");
  EXPECT_EQ(notes_.size(), 1u);
}

TEST_F(DataFolderTest, NothingKnownFindsNothing) {
  search_ = DataSearch{};
  EXPECT_EQ(Find(), std::nullopt);
  search_.program = "rtsdemo";  // a bare name has no folder
  EXPECT_EQ(Find(), std::nullopt);
}

TEST(DataPaths, RelativeDataPathsStartFromTheDataFolder) {
  EXPECT_EQ(NativePath(".\\ludi\\ludi.txt"), "./ludi/ludi.txt");
  SetDataFolder("/opt/data");
  EXPECT_EQ(NativePath(".\\ludi\\ludi.txt"), "/opt/data/./ludi/ludi.txt");
  EXPECT_EQ(NativePath("maps\\a.bmp"), "/opt/data/maps/a.bmp");
  EXPECT_EQ(NativePath("/abs/a.bmp"), "/abs/a.bmp");
  EXPECT_EQ(NativePath(""), "");
  SetDataFolder("/opt/data/");
  EXPECT_EQ(NativePath("a.txt"), "/opt/data/a.txt");
  SetDataFolder("");
  EXPECT_EQ(NativePath("a.txt"), "a.txt");
}

TEST(DataPaths, ProgramFileIsThisProgram) {
  const fs::path self = ProgramFile("ignored");
  EXPECT_TRUE(self.is_absolute());
  EXPECT_EQ(self.filename(), "unit_tests");
}

}  // namespace

TEST_F(DataFolderTest, AGivenFolderThatCannotServeSaysWhy) {
  const std::string dir = (root_ / "src/data").string();
  std::ofstream(root_ / "file.txt") << "x";
  EXPECT_EQ(DataFolderProblem(dir), "");
  EXPECT_EQ(DataFolderProblem((root_ / "none").string()),
            "the data folder " + (root_ / "none").string() + " does not exist");
  EXPECT_EQ(DataFolderProblem((root_ / "file.txt").string()),
            "the data folder " + (root_ / "file.txt").string() + " is not a folder");
  EXPECT_EQ(
      DataFolderProblem((root_ / "file.txt/sub").string()),
      "the data folder " + (root_ / "file.txt/sub").string() + " cannot be read: Not a directory");
}
