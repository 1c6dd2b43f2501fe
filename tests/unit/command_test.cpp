// The command language of inputs: reading, writing, checking, and the one door of the session.
#include "app/command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "app/script.h"
#include "app/state_hash.h"
#include "test_files.h"

namespace fs = std::filesystem;

TEST(Commands, EveryRowReadsBackWhatItWrites) {
  const char* const lines[] = {"press 2",
                               "tick",
                               "tick 7",
                               "move -3 40",
                               "down middle",
                               "choose 3 -1",
                               "check 2 on",
                               "check 1 off",
                               "resize 300 200",
                               "key up off",
                               "play-as -1",
                               "money 2 12.5",
                               "spawn 0 1 555 -4.25 8 90",
                               "set 3 Thought1 idti 5,6",
                               "set 3 Thought2 ",
                               "set 0 Energy0 2.5",
                               "set 1 Selected 1",
                               "dump",
                               "dump out.json",
                               "seed 1 4294967295",
                               "hash",
                               "hash 0123456789abcdef",
                               "screenshot a.png",
                               "level My Maps/big one.txt",
                               "box 10 20 -3 40 add",
                               "box 0 0 5 5 new",
                               "same 5 6",
                               "group centre 9",
                               "group store 1",
                               "seek 120",
                               "camera ticks",
                               "scroll",
                               "scroll 3",
                               "zoom out 10 -20",
                               "home 1",
                               "look -5 600",
                               "minimap on",
                               "bound off",
                               "new 4294967295",
                               "new 0 My Maps/big one.txt",
                               "player 1",
                               "leave",
                               "queue",
                               "rally",
                               "blind",
                               "ai 1 easy.lua",
                               "ai 0 -",
                               "stats",
                               "stats figures.csv"};
  std::set<CommandKind> seen;
  for (const char* line : lines) {
    const std::optional<Command> command = ReadCommand(line);
    ASSERT_TRUE(command) << line;
    EXPECT_EQ(WriteCommand(*command), line);
    seen.insert(command->Kind);
  }
  EXPECT_EQ(seen.size(), CommandTable().size());  // every row of the table is tried
  for (const CommandSpec& spec : CommandTable())
    EXPECT_NE(std::string(CommandSummary()).find(spec.Help), std::string::npos) << spec.Name;
}

// A row out of place or without a handler would apply another command, or crash.
TEST(Commands, EveryKindHasItsRowAndHandler) {
  ASSERT_EQ(CommandTable().size(), kCommandKinds);
  std::set<std::string_view> names;
  for (size_t i = 0; i < kCommandKinds; ++i) {
    const CommandSpec& spec = SpecOf(static_cast<CommandKind>(i));
    EXPECT_EQ(static_cast<size_t>(spec.Kind), i) << spec.Name;
    EXPECT_NE(spec.Apply, nullptr) << spec.Name;
    EXPECT_TRUE(names.insert(spec.Name).second) << spec.Name << " twice";
  }
}

TEST(Commands, BadLinesSayWhatIsWrong) {
  struct Case {
    std::string line;
    std::string message;
  } cases[] = {
      {"press 4", "press takes 1, 2 or 3, not '4'"},
      {"hash zzz", "hash takes 16 hex digits, not 'zzz'"},
      {"hash 0123456789ABCDEF", "hash takes 16 hex digits, not '0123456789ABCDEF'"},
      {"move 1", "move takes 2 arguments: move X Y"},
      {"tick 1 2", "tick takes 0 or 1 arguments: tick [N]"},
      {"check 1 maybe", "check STATE takes on or off, not 'maybe'"},
      {"choose 4 0", "choose K takes 1, 2 or 3, not '4'"},
      {"down \x01up\x1b[2J", "down takes left, right or middle, not '\\x01up\\x1b[2J'"},
      {"set 0 Nothing 1", "unknown field 'Nothing'"},
      {"set 0 X", "set X takes one value"},
      {"fly " + std::string(200, 'x'), "unknown command 'fly'"},
      {std::string(300, 'y'), "unknown command '" + std::string(80, 'y') + "…'"},
  };
  for (const Case& c : cases) {
    try {
      ReadCommand(c.line);
      ADD_FAILURE() << c.line << " was read";
    } catch (const CommandError& e) {
      EXPECT_EQ(e.What, c.message);
    }
  }
  // A comment may follow a command; a line may be only a comment.
  EXPECT_EQ(WriteCommand(*ReadCommand("press 1 # load\r")), "press 1");
  EXPECT_FALSE(ReadCommand("  # nothing"));
  // A script is read whole before anything runs: a bad last line stops it at once.
  std::istringstream script("tick\nmove 1 2\nfly\n");
  try {
    ReadScript(script);
    ADD_FAILURE();
  } catch (const CommandError& e) {
    EXPECT_EQ(e.What, "script line 3: unknown command 'fly'");
  }
}

// Each input the window can send is recorded by the session as it passes its door, and the
// recording replays to the same state.
TEST(Commands, EveryInputIsRecordedAndReplaysInSync) {
  const fs::path previous = fs::current_path();
  fs::current_path(RTS_SOURCE_DIR "/data");
  const std::string path = TempPath("rts_inputs_test.txt").string();
  std::string hash;
  {
    RecordingPlatform platform;
    platform.fixedSeed = 77;
    HeadlessHost host(platform);
    std::string error;
    ASSERT_TRUE(host.inputs().Record(path, error)) << error;
    std::ostringstream out;
    host.Run(
        "play-as 0\nresize 420 380\npress 1\nlevel test\npress 2\ntick 5\nmove 100 200\ndown left\n"
        "tick\nchoose 2 0\ncheck 1 on\ncheck 2 on\nkey left on\ntick 20\nkey left off\n"
        "move 150 150\ndown right\ntick\nqueue\ntick\nrally\nblind\nchoose 1 0\ndown middle\ntick "
        "300\nbox 0 0 420 380 new\n"
        "group store 2\nbox 0 0 10 10 add\ntick\nsame 100 200\ngroup recall 2\ngroup centre 2\n"
        "tick 50\ncamera ticks\nmove 0 0\nscroll 2\nzoom in 30 40\ntick 9\nhome 0\nbound on\n"
        "look 900 900\nzoom out 200 100\ncamera frames\ntick 20\nleave\ntick 2\n"
        "player 1\nmove 200 100\ndown left\ntick 3\nplayer 0\nai 1 easy.lua\ntick 40\nnew 78\n"
        "tick 30\nai 1 -\ntick 10\n",
        out);
    host.inputs().Close();
    hash = HashText(StateHash(host.frontend()));
  }
  const std::string recording = ReadAll(path);
  for (const CommandSpec& spec : CommandTable()) {
    if (!(spec.Uses & kInput)) continue;
    const std::string name = "\n" + std::string(spec.Name);
    EXPECT_TRUE(recording.find(name + " ") != std::string::npos ||
                recording.find(name + "\n") != std::string::npos)
        << spec.Name << " not recorded:\n"
        << recording;
  }
  RecordingPlatform platform;
  HeadlessHost replay(platform);
  std::istringstream in(recording);
  std::ostringstream out, err;
  EXPECT_EQ(RunScript(in, replay, out, err), 0) << err.str();
  EXPECT_EQ(HashText(StateHash(replay.frontend())), hash);
  fs::remove(path);
  fs::current_path(previous);
}
