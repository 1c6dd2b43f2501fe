#include "game/loader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/headless.h"
#include "game/sight.h"
#include "util/cp1251.h"

namespace fs = std::filesystem;

namespace {

// Each test works in a fresh folder that is also the working directory.
class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("loader_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "ludi");
    fs::current_path(dir_);
    platform_.answerAtOnce = false;
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }

  // Writes UTF-8 text as Windows-1251 bytes.
  void Write(const std::string& name, const std::string& utf8) {
    std::ofstream(dir_ / name, std::ios::binary) << ToCp1251(utf8);
  }

  // A 2 x 2 bitmap file.
  void WriteBitmap(const std::string& name) {
    std::vector<uint8_t> file(54 + 12, 0);
    file[18] = 2;
    file[22] = 2;
    file[28] = 24;
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
  }

  // Loads one type file into a fresh row; returns the error text, or "" when it loads.
  std::string LoadFile(const std::string& utf8) {
    Write("ludi/t.txt", utf8);
    world_.Catalogue.emplace_back();
    try {
      LoadTypeFile(world_, ".\\ludi\\t.txt", world_.Catalogue.size() - 1, context_);
    } catch (const LoadError& e) {
      return e.what();
    }
    return "";
  }

  std::string List(const std::string& listText) {
    Write("ludi/ludi.txt", listText);
    try {
      LoadRaceList(world_, "ludi.txt", ".\\ludi\\", context_);
    } catch (const LoadError& e) {
      return e.what();
    }
    return "";
  }

  const std::vector<TOpisan>& Types() { return world_.Catalogue.back().Types; }
  static std::string W(const char* utf8) { return ToCp1251(utf8); }

  fs::path old_;
  fs::path dir_;
  World world_;
  RecordingPlatform platform_;
  CountingUploader uploader_;
  LoadContext context_{platform_, uploader_};
};

}  // namespace

TEST_F(LoaderTest, EverySectionFillsItsFields) {
  WriteBitmap("a.bmp");
  WriteBitmap("b.bmp");
  ASSERT_EQ(LoadFile(")название\n"
                     "krest rabochiy\n"
                     ")спрайты\n"
                     ".\\a.bmp\n"
                     ".\\b.bmp\n"
                     ")индексы\n"
                     "0 1 2 3 4\n"
                     "1\n"
                     ")параметры\n"
                     "1 1 1 1 1\n"
                     "16 256 128 32 -32\n"
                     ")энергия\n"
                     "hp 100 80\n"
                     ")скорость\n"
                     "step 2.5\n"
                     ")удар\n"
                     "mech rez 3.5 blizh -1e1\n"
                     ")стройка\n"
                     "dom  bolshoy\n"
                     ")ремонт\n"
                     "vse\n"
                     ")добыча\n"
                     "zoloto 10 0.5\n"
                     ")цена\n"
                     "]ресурсы\n"
                     "gold 50 0\n"
                     "]объекты\n"
                     "dom 1\n"
                     ")ресурс\n"
                     "1000\n"
                     "750.5\n"),
            "");
  ASSERT_EQ(Types().size(), 1u);
  const TOpisan& t = Types()[0];
  EXPECT_EQ(t.Name, "krest");
  EXPECT_EQ(t.SecondName, "rabochiy");
  EXPECT_EQ(t.Textures, (std::vector<uint32_t>{1, 2}));
  ASSERT_EQ(t.Animations.size(), 2u);
  EXPECT_EQ(t.Animations[0].TextureIndex, 0);
  EXPECT_EQ(t.Animations[0].Frames, (std::vector<int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(t.Animations[1].TextureIndex, 1);
  EXPECT_TRUE(t.Animations[1].Frames.empty());
  EXPECT_EQ(t.Radius, 16.0f);
  EXPECT_EQ(t.SheetWidth, 256);
  EXPECT_EQ(t.SheetHeight, 128);
  EXPECT_EQ(t.FrameWidth, 32);
  EXPECT_EQ(t.FrameHeight, -32);
  ASSERT_EQ(t.Energies.size(), 1u);
  EXPECT_EQ(t.Energies[0].Name, "hp");
  EXPECT_EQ(t.Energies[0].Value, 100.0f);
  EXPECT_EQ(t.Energies[0].Param3, 80.0f);
  EXPECT_EQ(t.Speeds, (std::vector<float>{2.5f}));
  ASSERT_EQ(t.Attacks.size(), 1u);
  EXPECT_EQ(t.Attacks[0].Name, "mech");
  EXPECT_EQ(t.Attacks[0].Param2, "rez");
  EXPECT_EQ(t.Attacks[0].Strength, 3.5f);
  EXPECT_EQ(t.Attacks[0].Param4, "blizh");
  EXPECT_EQ(t.Attacks[0].Param5, -10.0f);
  EXPECT_EQ(t.Buildables, (std::vector<std::string>{"dom  bolshoy"}));  // the whole line
  EXPECT_EQ(t.Repairs, (std::vector<std::string>{"vse"}));
  ASSERT_EQ(t.Mining.size(), 1u);
  EXPECT_EQ(t.Mining[0].Name, "zoloto");
  EXPECT_EQ(t.Mining[0].Capacity, 10.0f);
  EXPECT_EQ(t.Mining[0].Param3, 0.5f);
  ASSERT_EQ(t.PriceResources.size(), 1u);
  EXPECT_EQ(t.PriceResources[0].Name, "gold");
  EXPECT_EQ(t.PriceResources[0].Amount, 50.0f);
  ASSERT_EQ(t.PriceObjects.size(), 1u);
  EXPECT_EQ(t.PriceObjects[0].Name, "dom");
  EXPECT_EQ(t.PriceObjects[0].Count, 1.0f);
  EXPECT_TRUE(t.IsResource);
  EXPECT_EQ(t.ResourceAmount, 750.5f);  // a later line overwrites
}

TEST_F(LoaderTest, NameLinesStartTypesAndSubSectionCarriesOver) {
  ASSERT_EQ(LoadFile(")энергия\n"
                     "hp 1 1\n"  // before any type: ignored
                     ")цена\n"
                     "gold 5 5\n"  // sub-section still empty: ignored
                     ")название\n"
                     "one\n"
                     "two second\n"
                     ")ресурс\n"
                     "5\n"
                     ")цена\n"
                     "]ресурсы\n"
                     "gold 50 0\n"
                     ")название\n"
                     "three\n"
                     ")цена\n"
                     "iron 7 0\n"  // "ресурсы" is still in force
                     ")апгрейд\n"
                     "]объекты\n"
                     "x 1\n"  // no upgrade yet: ignored
                     ")цена\n"
                     "dom 2\n"),  // "объекты" left over from the upgrade section
            "");
  ASSERT_EQ(Types().size(), 3u);
  EXPECT_EQ(Types()[0].Name, "one");
  EXPECT_TRUE(Types()[0].SecondName.empty());
  EXPECT_TRUE(Types()[0].Energies.empty());
  EXPECT_TRUE(Types()[0].PriceResources.empty());
  EXPECT_EQ(Types()[1].SecondName, "second");
  EXPECT_TRUE(Types()[1].IsResource);
  ASSERT_EQ(Types()[1].PriceResources.size(), 1u);
  ASSERT_EQ(Types()[2].PriceResources.size(), 1u);
  EXPECT_EQ(Types()[2].PriceResources[0].Name, "iron");
  EXPECT_TRUE(Types()[2].Upgrades.empty());
  ASSERT_EQ(Types()[2].PriceObjects.size(), 1u);
  EXPECT_EQ(Types()[2].PriceObjects[0].Count, 2.0f);
}

TEST_F(LoaderTest, UpgradesTakeTheLinesAfterTheirName) {
  ASSERT_EQ(LoadFile(")название\n"
                     "dom\n"
                     ")апгрейд\n"
                     "]название\n"
                     "steny krepche\n"
                     "]ресурсы\n"
                     "gold 10 1\n"
                     "wood 20 2\n"
                     "]название\n"
                     "bashni\n"
                     "]объекты\n"
                     "kuznya 1\n"
                     "]ресурсы\n"
                     "gold 30 3\n"),
            "");
  ASSERT_EQ(Types().size(), 1u);  // "название" as a sub-section makes no type
  const std::vector<TUpgrade>& ups = Types()[0].Upgrades;
  ASSERT_EQ(ups.size(), 2u);
  EXPECT_EQ(ups[0].Name, "steny krepche");
  ASSERT_EQ(ups[0].Resources.size(), 2u);
  EXPECT_EQ(ups[0].Resources[1].Name, "wood");
  EXPECT_EQ(ups[0].Resources[1].Amount, 20.0f);
  EXPECT_EQ(ups[0].Resources[1].Param3, 2.0f);
  EXPECT_TRUE(ups[0].ObjectCounts.empty());
  EXPECT_EQ(ups[1].Name, "bashni");
  ASSERT_EQ(ups[1].ObjectCounts.size(), 1u);
  EXPECT_EQ(ups[1].ObjectCounts[0].Name, "kuznya");
  ASSERT_EQ(ups[1].Resources.size(), 1u);
  EXPECT_EQ(ups[1].Resources[0].Amount, 30.0f);
}

TEST_F(LoaderTest, TrimmingLineEndsAndHeaders) {
  ASSERT_EQ(LoadFile("\t )название \r\n"  // starts with a blank: trimmed to a header
                     "\r\n"
                     "  \t\x01 kr\res\rt  sec \r\n"  // lone CRs are dropped from the line
                     ")энергия)whatever\n"
                     "hp 1 2\n"
                     ") энергия\n"  // a section named " энергия": no such row
                     "hp 3 4\n"
                     ")\n"
                     "hp 5 6\n"
                     ")энергия\r"  // a lone CR at the end is dropped; LF ends the line
                     "\nmp 7 8"),  // the last line needs no line break
            "");
  ASSERT_EQ(Types().size(), 1u);
  EXPECT_EQ(Types()[0].Name, "krest");
  EXPECT_EQ(Types()[0].SecondName, "sec");
  ASSERT_EQ(Types()[0].Energies.size(), 2u);
  EXPECT_EQ(Types()[0].Energies[0].Value, 1.0f);
  EXPECT_EQ(Types()[0].Energies[1].Name, "mp");
}

TEST_F(LoaderTest, IndexLineOf256WordsGivesNoFrames) {
  std::string line = "0";
  for (int i = 1; i < 256; ++i) line += " 1";
  ASSERT_EQ(LoadFile(")название\nx\n)индексы\n" + line + "\n" + line + " 1 2\n"), "");
  ASSERT_EQ(Types()[0].Animations.size(), 2u);
  EXPECT_TRUE(Types()[0].Animations[0].Frames.empty());
  EXPECT_EQ(Types()[0].Animations[1].Frames.size(), 1u);  // 258 words count 2
}

TEST_F(LoaderTest, NumberErrorsKeepThePartlyFilledEntry) {
  EXPECT_EQ(LoadFile(")название\nx\n)энергия\nhp 100 80\nhp 100\nnever 1 1\n"),
            "'' is not a valid floating point value");
  ASSERT_EQ(Types()[0].Energies.size(), 2u);
  EXPECT_EQ(Types()[0].Energies[1].Name, "hp");
  EXPECT_EQ(Types()[0].Energies[1].Value, 100.0f);

  EXPECT_EQ(LoadFile(")название\nx\n)ресурс\n500 gold\n"),
            "'500 gold' is not a valid floating point value");
  EXPECT_TRUE(Types()[0].IsResource);

  EXPECT_EQ(LoadFile(")название\nx\n)индексы\n0 1 x 3\n"), "'x' is not a valid integer value");
  ASSERT_EQ(Types()[0].Animations.size(), 1u);
  EXPECT_EQ(Types()[0].Animations[0].Frames, (std::vector<int32_t>{1, 0, 0}));

  EXPECT_EQ(LoadFile(")название\nx\n)параметры\n16 256 1.5 32 32\n"),
            "'1.5' is not a valid integer value");
  EXPECT_EQ(Types()[0].Radius, 16.0f);
  EXPECT_EQ(Types()[0].SheetWidth, 256);
  EXPECT_EQ(Types()[0].SheetHeight, 0);

  EXPECT_EQ(LoadFile(")название\nx\n)параметры\n16\n"), "'' is not a valid integer value");
  EXPECT_EQ(LoadFile(")название\nx\n)скорость\nstep 2,5\n"),
            "'2,5' is not a valid floating point value");
  EXPECT_EQ(Types()[0].Speeds.size(), 1u);
  EXPECT_EQ(LoadFile(")название\nx\n)удар\na b c d 1\n"),
            "'c' is not a valid floating point value");
  EXPECT_EQ(Types()[0].Attacks[0].Param2, "b");
  EXPECT_EQ(LoadFile(")название\nx\n)цена\n]объекты\ndom\n"),
            "'' is not a valid floating point value");
  EXPECT_EQ(Types()[0].PriceObjects.size(), 1u);
}

TEST_F(LoaderTest, RaceListNamesFilesInOrder) {
  Write("ludi/a.txt", ")название\na1\na2\n");
  Write("ludi/b.txt", ")название\r\nb1\r\n");
  ASSERT_EQ(List("a.txt\r\nb.txt\r\n"), "");
  ASSERT_EQ(world_.Catalogue.size(), 1u);
  ASSERT_EQ(Types().size(), 3u);
  EXPECT_EQ(Types()[2].Name, "b1");
  // A second load appends a second row.
  ASSERT_EQ(List("b.txt"), "");
  ASSERT_EQ(world_.Catalogue.size(), 2u);
  EXPECT_EQ(world_.Catalogue[1].Types.size(), 1u);
}

TEST_F(LoaderTest, RaceListFailures) {
  EXPECT_EQ(List(""), "File access denied");  // an empty list names the folder
  EXPECT_EQ(world_.Catalogue.size(), 1u);
  Write("ludi/a.txt", ")название\na1\n");
  EXPECT_EQ(List("a.txt\n\n"), "File access denied");
  EXPECT_EQ(Types().size(), 1u);  // loaded up to the failing line
  EXPECT_EQ(List("a.txt\nmissing.txt\n"), "File not found");
  EXPECT_EQ(Types().size(), 1u);
  EXPECT_EQ(List("a.txt "), "File not found");  // the line is not trimmed
  try {
    LoadRaceList(world_, "none.txt", ".\\ludi\\", context_);
    ADD_FAILURE();
  } catch (const LoadError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_EQ(world_.Catalogue.size(), 4u);  // no row for a missing list
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(LoaderTest, MissingSpriteEndsTheProgram) {
  Write("ludi/t.txt", ")название\nx\n)спрайты\n.\\ludi\\gone.bmp\n)название\ny\n");
  world_.Catalogue.emplace_back();
  try {
    LoadTypeFile(world_, ".\\ludi\\t.txt", 0, context_);
    ADD_FAILURE() << "no exit";
  } catch (const ProgramExit& exit) {
    EXPECT_EQ(exit.Code, 1);
  }
  ASSERT_EQ(platform_.messages.size(), 2u);
  EXPECT_EQ(platform_.messages[0].Text, "Error opening \".\\ludi\\gone.bmp");
  EXPECT_EQ(platform_.messages[1].Text, "Unable to load .\\ludi\\gone.bmp");
  ASSERT_EQ(Types().size(), 1u);
  EXPECT_EQ(Types()[0].Textures.size(), 1u);
}

TEST_F(LoaderTest, GroundTexture) {
  fs::create_directories(dir_ / "maps");
  WriteBitmap("maps/summer2.bmp");
  WriteBitmap("x.bmp");
  uploader_.Upload(Image{});
  LoadGround(world_, context_);
  EXPECT_EQ(world_.GroundTexture, 2u);
}

TEST_F(LoaderTest, SourcesRecordEveryFieldsLine) {
  WriteBitmap("a.bmp");
  Write("ludi/t.txt",
        ")название\nfirst\n\n)спрайты\n.\\a.bmp\n)индексы\n0 1\n  0 2\n)параметры\n1 2 2 1 1\n"
        ")энергия\nhp 1 1\n)стройка\nfirst\n)цена\n]ресурсы\ng 1 0\n)название\nsecond\n"
        ")ресурс\n5\n");
  DataSources sources;
  DataProblems problems;
  context_.sources = &sources;
  context_.problems = &problems;
  ASSERT_EQ(List("t.txt\r\n"), "");
  ASSERT_EQ(sources.Races.size(), 1u);
  const RaceSource& race = sources.Races[0];
  EXPECT_EQ(race.ListPath, "ludi/ludi.txt");
  ASSERT_EQ(race.Types.size(), 2u);
  const TypeSource& first = race.Types[0];
  EXPECT_EQ(first.Path, "ludi/t.txt");
  EXPECT_EQ(first.NameLine, 2);
  EXPECT_EQ(first.Textures, std::vector<int32_t>{5});
  ASSERT_EQ(first.Bitmaps.size(), 1u);
  EXPECT_EQ(first.Bitmaps[0].Width, 2);
  EXPECT_EQ(first.Animations, (std::vector<int32_t>{7, 8}));
  EXPECT_EQ(first.Parameters, 10);
  EXPECT_EQ(first.Energies, std::vector<int32_t>{12});
  EXPECT_EQ(first.Buildables, std::vector<int32_t>{14});
  EXPECT_EQ(first.PriceResources, std::vector<int32_t>{17});
  EXPECT_EQ(race.Types[1].NameLine, 19);
  EXPECT_EQ(race.Types[1].Resource, 21);
  EXPECT_EQ(sources.Files, (std::vector<std::string>{"ludi/ludi.txt", "ludi/t.txt"}));
  for (const DataProblem& p : problems) ADD_FAILURE() << FormatProblem(p);
}

TEST_F(LoaderTest, FailuresCarryTheirPositionAndACheckGoesOn) {
  const std::string text =
      ")энергия\nhp 1 1\n)название\nx\n)параметры\n1 2\n)энергия\nhp 5 5\n)параметры\n"
      "1 2 3 4 5\n)звук\nboom\nbang\n)цена\nz 1 0\n)апгрейд\n]ресурсы\ng 1 0\n";
  Write("ludi/t.txt", text);
  world_.Catalogue.emplace_back();
  try {
    LoadTypeFile(world_, ".\\ludi\\t.txt", 0, context_);
    ADD_FAILURE();
  } catch (const LoadError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
    EXPECT_EQ(e.Path, "ludi/t.txt");
    EXPECT_EQ(e.Line, 6);
  }
  // A check reports the same line and reads on to the end of the file.
  DataSources sources;
  DataProblems problems;
  context_.sources = &sources;
  context_.problems = &problems;
  context_.keepGoing = true;
  EXPECT_EQ(LoadFile(text), "");
  ASSERT_EQ(Types().size(), 1u);
  EXPECT_EQ(Types()[0].Energies.size(), 1u);
  EXPECT_EQ(Types()[0].FrameHeight, 5);
  std::vector<std::string> lines;
  for (const DataProblem& p : problems) lines.push_back(FormatProblem(p));
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "ludi/t.txt:2: warning: line is ignored: it comes before the file's first "
                "\"название\" line",
                "ludi/t.txt:6: error: \"параметры\": '' is not a valid integer value",
                "ludi/t.txt:10: warning: a second \"параметры\" line replaces the one at line 6",
                "ludi/t.txt:12: warning: line is ignored: section \"звук\" is no section the "
                "loader knows",
                "ludi/t.txt:15: warning: line is ignored: section \"цена\" takes its lines under "
                "a \"]\" sub-section, and none is set",
                "ludi/t.txt:18: warning: \"ресурсы\" line of \"апгрейд\" before the type's first "
                "upgrade name; it is ignored",
            }));
}

TEST_F(LoaderTest, ACheckGoesOnPastMissingFilesAndBitmaps) {
  Write("ludi/a.txt", ")название\na\n)спрайты\n.\\gone.bmp\n.\\ludi\\a.txt\n");
  DataSources sources;
  DataProblems problems;
  context_.sources = &sources;
  context_.problems = &problems;
  context_.keepGoing = true;
  ASSERT_EQ(List("a.txt\nmissing.txt\n\na.txt"), "");
  LoadRaceList(world_, "orki.txt", ".\\orki\\", context_);
  std::vector<std::string> lines;
  for (const DataProblem& p : problems) lines.push_back(FormatProblem(p));
  EXPECT_EQ(
      lines,
      (std::vector<std::string>{
          "ludi/a.txt:4: error: sprite sheet \".\\gone.bmp\" cannot be loaded: file not found",
          "ludi/a.txt:5: error: sprite sheet \".\\ludi\\a.txt\" cannot be loaded: it is not "
          "a BMP file (no \"BM\" signature)",
          "ludi/ludi.txt:2: error: File not found: \"missing.txt\"",
          "ludi/ludi.txt:3: error: File access denied: an empty line names the race folder "
          "itself",
          "ludi/a.txt:4: error: sprite sheet \".\\gone.bmp\" cannot be loaded: file not found",
          "ludi/a.txt:5: error: sprite sheet \".\\ludi\\a.txt\" cannot be loaded: it is not "
          "a BMP file (no \"BM\" signature)",
          "orki/orki.txt: error: File not found",
      }));
  EXPECT_EQ(Types().size(), 0u);  // the missing list's row is kept, empty
  ASSERT_EQ(world_.Catalogue.size(), 2u);
  EXPECT_EQ(world_.Catalogue[0].Types.size(), 2u);
  EXPECT_FALSE(sources.Races[1].ListRead);
  EXPECT_TRUE(platform_.messages.empty());
}

namespace {

// Problems formatted in the order found.
std::vector<std::string> Formatted(const DataProblems& problems) {
  std::vector<std::string> lines;
  for (const DataProblem& p : problems) lines.push_back(FormatProblem(p));
  return lines;
}

}  // namespace

TEST_F(LoaderTest, Utf8FilesAreConvertedAndSaySo) {
  const std::string text = ")название\nРатуша Управа\n)энергия\nпрочность 15 15\n";
  DataProblems problems;
  context_.problems = &problems;
  // The same types from Windows-1251, UTF-8 and UTF-8 with a byte-order mark.
  for (const std::string& bytes : {ToCp1251(text), text, "\xEF\xBB\xBF" + text}) {
    std::ofstream(dir_ / "ludi/t.txt", std::ios::binary) << bytes;
    world_.Catalogue.emplace_back();
    LoadTypeFile(world_, ".\\ludi\\t.txt", world_.Catalogue.size() - 1, context_);
    ASSERT_EQ(Types().size(), 1u);
    EXPECT_EQ(Types()[0].Name, W("Ратуша"));
    EXPECT_EQ(Types()[0].SecondName, W("Управа"));
    ASSERT_EQ(Types()[0].Energies.size(), 1u);
    EXPECT_EQ(Types()[0].Energies[0].Name, W("прочность"));
  }
  const std::string said =
      "ludi/t.txt: warning: is read as UTF-8 and converted to Windows-1251, the encoding data "
      "files are meant to have";
  EXPECT_EQ(Formatted(problems), (std::vector<std::string>{said, said}));

  // A character with no Windows-1251 form: a check names its line and reads on; a load stops.
  problems.clear();
  const std::string emoji = ")название\nx\n)энергия\nhp 1 1 \xF0\x9F\x98\x80\n)название\ny\n";
  std::ofstream(dir_ / "ludi/t.txt", std::ios::binary) << emoji;
  context_.keepGoing = true;
  world_.Catalogue.emplace_back();
  LoadTypeFile(world_, ".\\ludi\\t.txt", world_.Catalogue.size() - 1, context_);
  EXPECT_EQ(Types().size(), 2u);
  EXPECT_EQ(Formatted(problems),
            (std::vector<std::string>{said,
                                      "ludi/t.txt:4: error: \"\xF0\x9F\x98\x80\" has no "
                                      "Windows-1251 form"}));
  context_.keepGoing = false;
  world_.Catalogue.emplace_back();
  try {
    LoadTypeFile(world_, ".\\ludi\\t.txt", world_.Catalogue.size() - 1, context_);
    ADD_FAILURE() << "loaded";
  } catch (const LoadError& e) {
    EXPECT_EQ(e.Line, 4);
    EXPECT_EQ(e.Path, "ludi/t.txt");
  }
  EXPECT_EQ(Types().size(), 0u);
}

TEST_F(LoaderTest, BinaryAndEmptyFilesAreNamed) {
  DataProblems problems;
  context_.problems = &problems;
  EXPECT_EQ(LoadFile(""), "");
  EXPECT_EQ(LoadFile("\n  \n)название\n"), "");
  // Control bytes: the file is named once and read as the rules read it (they trim them).
  std::ofstream(dir_ / "ludi/b.txt", std::ios::binary)
      << ToCp1251(")название\nx\n\x01y\x02\n") + '\0';
  world_.Catalogue.emplace_back();
  LoadTypeFile(world_, ".\\ludi\\b.txt", world_.Catalogue.size() - 1, context_);
  ASSERT_EQ(Types().size(), 2u);
  EXPECT_EQ(Types()[1].Name, "y");
  // Tabs, form feeds and CR LF are text.
  EXPECT_EQ(LoadFile(")название\r\n\tx\f\v\r\n"), "");
  EXPECT_EQ(Formatted(problems),
            (std::vector<std::string>{
                "ludi/t.txt: warning: defines no type (no \"название\" section with a name line)",
                "ludi/t.txt: warning: defines no type (no \"название\" section with a name line)",
                "ludi/b.txt:3: warning: is not a text file: it holds the control byte \\x01"}));
}

TEST_F(LoaderTest, FailuresNameTheFileAndTheSystemsReason) {
  fs::create_directories(dir_ / "ludi/sub");
  Write("ludi/a.txt", ")название\na\n");
  auto failure = [&](const std::string& list) {
    Write("ludi/ludi.txt", list);
    try {
      LoadRaceList(world_, "ludi.txt", ".\\ludi\\", context_);
    } catch (const LoadError& e) {
      return std::string(e.what()) + " | " + e.Path + ":" + std::to_string(e.Line) + ": " +
             e.Detail;
    }
    return std::string();
  };
  // The box keeps the runtime's text; the line names the file.
  EXPECT_EQ(failure("a.txt\nmechnik.txt\n"),
            "File not found | ludi/ludi.txt:2: File not found: \"mechnik.txt\"");
  EXPECT_EQ(failure("sub"),
            "File access denied | ludi/ludi.txt:1: File access denied: \"sub\" (a folder)");
  EXPECT_EQ(failure("a.txt/x"),
            "File not found | ludi/ludi.txt:1: File not found: \"a.txt/x\" (Not a directory)");
  EXPECT_EQ(failure(std::string(200, 'n')),
            "File not found | ludi/ludi.txt:1: File not found: \"" + std::string(80, 'n') + "…\"");
  // A bitmap that cannot be loaded: its line and reason join the problems before the end.
  DataProblems problems;
  context_.problems = &problems;
  std::ofstream(dir_ / "ludi/text.bmp") << "no bitmap at all, but long enough for two headers...";
  Write("ludi/t.txt", ")название\nx\n)спрайты\n.\\ludi\\text.bmp\n");
  world_.Catalogue.emplace_back();
  EXPECT_THROW(LoadTypeFile(world_, ".\\ludi\\t.txt", world_.Catalogue.size() - 1, context_),
               ProgramExit);
  EXPECT_EQ(Formatted(problems),
            (std::vector<std::string>{"ludi/t.txt:4: error: sprite sheet \".\\ludi\\text.bmp\" "
                                      "cannot be loaded: it is not a BMP file (no \"BM\" "
                                      "signature)"}));
}

TEST_F(LoaderTest, OneBitmapDecodedOnceWithATexturePerLine) {
  WriteBitmap("ludi/s.bmp");
  std::string text = ")название\nx\n)спрайты\n";
  for (int i = 0; i < 50; ++i) text += ".\\ludi\\s.bmp\n";
  DataProblems problems;
  context_.problems = &problems;
  EXPECT_EQ(LoadFile(text), "");
  ASSERT_EQ(Types().size(), 1u);
  std::vector<uint32_t> numbered(50);
  for (uint32_t i = 0; i < 50; ++i) numbered[i] = i + 1;
  EXPECT_EQ(Types()[0].Textures, numbered);
  EXPECT_EQ(context_.sheets.size(), 1u);
  EXPECT_TRUE(problems.empty());
}

TEST_F(LoaderTest, WarningsOfOneKindBeyondTwentyAreCounted) {
  std::string text = ")название\nx\n)параметры\n";
  for (int i = 0; i < 30; ++i) text += "1 2 3 4 5\n";
  text += ")энергия\nhp 1 1\nhp 1 1\n)удар\n";
  DataProblems problems;
  DataSources sources;
  context_.problems = &problems;
  context_.sources = &sources;
  EXPECT_EQ(LoadFile(text), "");
  const std::vector<std::string> lines = Formatted(problems);
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[0],
            "ludi/t.txt:5: warning: a second \"параметры\" line replaces the one at line 4");
  EXPECT_EQ(lines[20],
            "ludi/t.txt:25: warning: … and 9 more of this kind (the first: a second "
            "\"параметры\" line replaces the one at line 24)");
  EXPECT_EQ(WarningCount(problems), 29u);
  EXPECT_EQ(ErrorCount(problems), 0u);
}

TEST_F(LoaderTest, ALineUnderASubSectionItsSectionLacksIsIgnored) {
  DataProblems problems;
  context_.problems = &problems;
  EXPECT_EQ(LoadFile(")название\nx\n)цена\n]сбор\ngold 5 0\n"), "");
  EXPECT_EQ(Formatted(problems),
            (std::vector<std::string>{"ludi/t.txt:5: warning: line is ignored: section \"цена\" "
                                      "has no sub-section \"сбор\""}));
}

// "обзор" is optional: a type without it sees five times its radius, at least 100.
TEST_F(LoaderTest, TheSightLineIsOptionalWithADefaultFromTheRadius) {
  ASSERT_EQ(LoadFile(")название\nglaz\n)параметры\n30 1 1 1 1\n)обзор\n250\n"
                     ")название\nbez\n)параметры\n30 1 1 1 1\n"
                     ")название\nmal\n)параметры\n4 1 1 1 1\n"),
            "");
  ASSERT_EQ(Types().size(), 3u);
  EXPECT_EQ(Types()[0].Sight, 250.0f);
  EXPECT_EQ(SightOf(Types()[0]), 250.0f);
  EXPECT_EQ(Types()[1].Sight, 0.0f);
  EXPECT_EQ(SightOf(Types()[1]), 150.0f);
  EXPECT_EQ(SightOf(Types()[2]), 100.0f);
}
