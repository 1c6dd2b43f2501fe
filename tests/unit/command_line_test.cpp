// The program's command line: help, version, errors, and where it finds its data.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "test_files.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status = -1;
  std::string out, err;
};

// A scratch working directory away from the source and build trees.
class CommandLine : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("rts_command_line_" + std::to_string(getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "empty");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the program in the scratch folder with no display and no RTSDEMO_DATA unless given.
  Outcome Program(const std::string& args, const std::string& input = "",
                  const std::string& env = "") {
    std::ofstream(dir_ / "in.txt") << input;
    const std::string command = "cd '" + dir_.string() + "' && env -u DISPLAY -u RTSDEMO_DATA " +
                                env + " " + RTSDEMO_PATH + " " + args +
                                " < in.txt > out.txt 2> err.txt";
    Outcome run;
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadAll(dir_ / "out.txt");
    run.err = ReadAll(dir_ / "err.txt");
    return run;
  }

  fs::path dir_;
};

TEST_F(CommandLine, HelpListsEveryOptionAndTheScriptCommands) {
  for (const char* option : {"--help", "-h"}) {
    Outcome r = Program(option);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Usage: rtsdemo [--data DIR]", 0), 0u) << r.out;
    for (const char* text : {"--data DIR",
                             "--seed N",
                             "--script FILE",
                             "--headless",
                             "--record FILE",
                             "-v, --version",
                             "-h, --help",
                             "press 1|2|3",
                             "screenshot FILE",
                             "hash [H]",
                             "--replay FILE",
                             "--play-as S",
                             "key left|right|up|down on|off",
                             "play-as S",
                             "--check",
                             "--batch N",
                             "--frames F",
                             "--jobs J",
                             "P, Pause",
                             "F1",
                             "F3",
                             "F12",
                             "Arrows"}) {
      EXPECT_NE(r.out.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(r.out.find("help-all"), std::string::npos);  // Qt's options are not taken
  }
}

TEST_F(CommandLine, PlayAsAndReplayRefuseWhatTheyCannotUse) {
  std::ofstream(dir_ / "rec.txt") << "tick\n";
  for (const char* args :
       {"--play-as 2 --headless --script -", "--play-as x --headless --script -",
        "--replay rec.txt --seed 3", "--replay rec.txt --play-as 1",
        "--replay rec.txt --script rec.txt", "--start 5 --headless --script -",
        "--replay rec.txt --resume rec.txt", "--replay missing.txt", "--batch 1 --play-as 0"}) {
    Outcome r = Program(args);
    EXPECT_EQ(r.status, 2) << args << ": " << r.err;
    EXPECT_FALSE(r.err.empty()) << args;
  }
  Outcome ok = Program("--play-as 1 --headless --script -", "dump\n");
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_NE(ok.out.find("\"PlayAs\":1"), std::string::npos) << ok.out;
}

TEST_F(CommandLine, VersionComesFromTheProject) {
  Outcome r = Program("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "rtsdemo " RTS_VERSION "\n");
}

TEST_F(CommandLine, BadArgumentsExitWithStatus2) {
  for (const char* args : {"--bogus", "stray", "--seed", "--seed -1", "--headless",
                           "--headless --script - --record x.txt"}) {
    Outcome r = Program(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err.rfind("rtsdemo: ", 0), 0u) << args << ": " << r.err;
  }
}

// No display is set: reaching the window would fail otherwise than with status 2.
TEST_F(CommandLine, MissingDataFolderIsNamedBeforeAnyWindow) {
  for (const char* args :
       {"--data no/such/folder", "--headless --script - --data no/such/folder"}) {
    Outcome r = Program(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("no/such/folder"), std::string::npos) << r.err;
  }
  std::ofstream(dir_ / "plain") << "x";
  for (const char* args : {"--data plain", "--batch 1 --data plain"}) {
    Outcome r = Program(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "rtsdemo: the data folder plain is not a folder\n") << args;
  }
}

// Nothing of a session is lost: a recording that cannot be written stops the program before
// the window (no display is set: a window would fail otherwise).
TEST_F(CommandLine, RecordingThatCannotBeWrittenEndsWithStatus2) {
  const std::pair<std::string, const char*> paths[] = {
      {dir_.string(), "Is a directory"}, {"no/such/dir/r.txt", "No such file or directory"}};
  for (const auto& [path, reason] : paths) {
    Outcome r = Program("--record " + path);
    EXPECT_EQ(r.status, 2) << path;
    EXPECT_EQ(r.err, "rtsdemo: cannot write the recording " + path + ": " + reason + "\n");
  }
}

// Without a display the window says how to run without one, instead of aborting.
TEST_F(CommandLine, TheWindowWithoutADisplaySaysSo) {
  Outcome r = Program("--seed 3");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "rtsdemo: no display to open the window on (DISPLAY is not set); --headless "
            "runs a script without one\n");
}

// A broken script or recording is read whole and refused before any frame or window.
TEST_F(CommandLine, BrokenScriptsAndRecordingsStopBeforeTheFirstFrame) {
  std::ofstream(dir_ / "bad.txt") << "tick\ndump\npress 4\n";
  for (const char* args : {"--replay bad.txt", "--script bad.txt", "--headless --script bad.txt",
                           "--headless --script -"}) {
    Outcome r = Program(args, "tick\ndump\nhash zzz\n");
    EXPECT_EQ(r.status, 2) << args << ": " << r.err;
    EXPECT_EQ(r.out, "") << args;  // nothing ran
    EXPECT_NE(r.err.find("line 3"), std::string::npos) << args << ": " << r.err;
  }
}

constexpr const char* kLoad = "press 1\ndump\n";
const std::string kLoaded = "\"Caption\":\"ДАННЫЕ ЗАГРУЖЕНЫ\",\"Enabled\":false";
const std::string kNotFound = "File not found.";

TEST_F(CommandLine, BuildTreeProgramFindsTheSourceDataFromAnyFolder) {
  Outcome r = Program("--headless --script -", kLoad);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(kLoaded), std::string::npos) << r.out.substr(0, 300);
  EXPECT_EQ(r.err, "");
}

TEST_F(CommandLine, EnvironmentAndDataOptionChooseTheFolder) {
  // RTSDEMO_DATA wins over the source tree: an empty folder loads nothing.
  const std::string empty = "RTSDEMO_DATA=" + (dir_ / "empty").string();
  Outcome r = Program("--headless --script -", kLoad, empty);
  EXPECT_EQ(r.status, 1) << r.err;  // the load failed
  EXPECT_EQ(r.out.find(kLoaded), std::string::npos);
  EXPECT_NE(r.out.find(kNotFound), std::string::npos) << r.out.substr(0, 300);

  // --data wins over RTSDEMO_DATA, relative to the working directory.
  fs::create_directories(dir_ / "copy");
  fs::copy(RTS_SOURCE_DIR "/data", dir_ / "copy", fs::copy_options::recursive);
  r = Program("--headless --data copy --script -", kLoad, empty);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(kLoaded), std::string::npos) << r.out.substr(0, 300);

  // A missing RTSDEMO_DATA is said and skipped.
  r = Program("--headless --script -", kLoad, "RTSDEMO_DATA=/no/such/data");
  EXPECT_NE(r.out.find(kLoaded), std::string::npos);
  EXPECT_NE(r.err.find("/no/such/data"), std::string::npos) << r.err;
}

// A failed or refused load is a failed run, once the rest of the script has run as the window
// would run it; a script error and a failed sync check keep their statuses.
TEST_F(CommandLine, ScriptedLoadThatFailsOrIsRefusedExitsWith1) {
  fs::create_directories(dir_ / "refused");
  fs::copy(RTS_SOURCE_DIR "/data", dir_ / "refused", fs::copy_options::recursive);
  std::ofstream(dir_ / "refused/ludi/ludi.txt", std::ios::binary) << "krestyanin.txt\r\n";
  for (const char* data : {"empty", "refused"}) {
    const std::string args = std::string("--headless --data ") + data + " --script -";
    Outcome r = Program(args, "press 1\npress 1\ndump\n");
    EXPECT_EQ(r.status, 1) << data << ": " << r.err;
    EXPECT_NE(r.out.find("\"Messages\":[{"), std::string::npos) << r.out.substr(0, 300);
    EXPECT_EQ(Program(args, "press 1\nbogus\n").status, 2) << data;
    EXPECT_EQ(Program(args, "press 1\nhash 0000000000000000\n").status, 3) << data;
  }
  EXPECT_EQ(Program("--headless --script -", "press 1\n").status, 0);
}

// The data folder does not move the working directory: scripts and their files stay there.
TEST_F(CommandLine, ScriptFilesStayInTheWorkingDirectory) {
  std::ofstream(dir_ / "s.txt") << "press 1\ndump state.json\n";
  Outcome r = Program("--headless --data " RTS_SOURCE_DIR "/data --script s.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadAll(dir_ / "state.json").find(kLoaded), std::string::npos);
  EXPECT_FALSE(fs::exists(RTS_SOURCE_DIR "/data/state.json"));
}

// No application object is made for a headless run, so the user's locale cannot reach the
// number conversions.
TEST_F(CommandLine, RussianLocaleChangesNoNumber) {
  const std::string script = "press 1\npress 2\nmoney 2 12.5\ntick 300\ndump\n";
  Outcome c = Program("--headless --seed 3 --script -", script, "LC_ALL=C");
  Outcome ru = Program("--headless --seed 3 --script -", script, "LC_ALL=ru_RU.UTF-8");
  ASSERT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(ru.status, 0) << ru.err;
  EXPECT_EQ(ru.out, c.out);
  EXPECT_NE(c.out.find(",12.5,0]"), std::string::npos);
}

}  // namespace
