#include "app/script.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

namespace {

struct ScriptRun {
  int status;
  std::string out, err;
};

ScriptRun RunText(const std::string& text, uint32_t seed = 1) {
  RecordingPlatform platform;
  platform.fixedSeed = seed;
  HeadlessHost host(platform);
  std::istringstream in(text);
  std::ostringstream out, err;
  int status = RunScript(in, host, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace

TEST(Script, DumpShowsTheStartUpState) {
  ScriptRun r = RunText("# comment\n\ntick\ndump\n");
  ASSERT_EQ(r.status, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["Frames"], 1);
  EXPECT_EQ(j["Button1"]["Caption"], "1. Загрузить данные.");
  EXPECT_EQ(j["Button1"]["Enabled"], true);
  EXPECT_EQ(j["ComboBox1"]["Text"], "Тип атаки");
  EXPECT_EQ(j["ComboBox2"]["ItemIndex"], -1);
  EXPECT_EQ(j["ListBox1"].size(), 8u);
  EXPECT_EQ(j["Panel3"], nlohmann::json::array({485, 447}));
  EXPECT_EQ(j["Sides"], nlohmann::json::array({0, 0, 0, 0}));
  EXPECT_EQ(j["HoverIndex"], -1);
  EXPECT_TRUE(j["Objects"].empty());
  EXPECT_TRUE(j["Catalogue"].empty());
  for (const char* key : {"MouseX", "MouseY", "ScrollTicks", "CameraX", "CameraY", "ClickCommand",
                          "CheckBox1", "CheckBox2", "GroundTexture", "Messages", "ComboBox3"}) {
    EXPECT_TRUE(j.contains(key)) << key;
  }
}

TEST(Script, ErrorsNameTheLineAndExitWithTwo) {
  struct Case {
    const char* script;
    const char* line;
  } cases[] = {{"tick\nfly 3\n", "script line 2"},
               {"press 4\n", "script line 1"},
               {"tick x\n", "script line 1"},
               {"move 1\n", "script line 1"},
               {"down up\n", "script line 1"},
               {"check 1 maybe\n", "script line 1"},
               {"set 0 X 5\n", "script line 1"},
               {"\n\nchoose 4 0\n", "script line 3"},
               {"spawn 0 0 0 0 0 0\n", "script line 1"},
               {"money 0 1e39\n", "script line 1"},
               {"tick\nmoney 1 -401e38\n", "script line 2"}};
  for (const Case& c : cases) {
    ScriptRun r = RunText(c.script);
    EXPECT_EQ(r.status, 2) << c.script;
    EXPECT_NE(r.err.find(c.line), std::string::npos) << c.script << " -> " << r.err;
  }
}

TEST(Script, MessagesAreRecordedAndAnsweredAtOnce) {
  ScriptRun r = RunText("press 2\npress 3\ndump\n");
  ASSERT_EQ(r.status, 0);
  auto j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j["Messages"].size(), 1u);
  EXPECT_EQ(j["Messages"][0]["Text"], "Сначала загрузите данные!");
}

TEST(Script, ControlsAndFieldsThroughCommands) {
  ScriptRun r =
      RunText("check 1 on\ncheck 2 on\nmove 5 7\ndown right\nmoney 2 12.5\nresize 300 200\ndump\n");
  ASSERT_EQ(r.status, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["CheckBox1"], true);
  EXPECT_EQ(j["MouseY"], 440);  // measured before the resize
  EXPECT_EQ(j["Panel3"], nlohmann::json::array({300, 200}));
  EXPECT_EQ(j["Frames"], 1);  // the resize ran one frame
  EXPECT_EQ(j["Sides"][2], 12.5);
  EXPECT_EQ(j["ListBox1"][2], "Третья расса: $12");
}

TEST(Program, HeadlessRunsWithoutDisplayAndIsDeterministic) {
  auto run = [](const std::string& args) {
    std::string cmd = std::string("printf 'tick 3\\ndump\\n' | env -u DISPLAY ") + RTSDEMO_PATH +
                      " --headless --script - " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int status = pclose(p);
    return std::make_pair(WEXITSTATUS(status), out);
  };
  auto a = run("--seed 5");
  auto b = run("--seed 5");
  EXPECT_EQ(a.first, 0) << a.second;
  EXPECT_EQ(a.second, b.second);
  EXPECT_EQ(nlohmann::json::parse(a.second)["Frames"], 3);
  EXPECT_EQ(run("--seed nope").first, 2);
  EXPECT_EQ(run("--bogus").first, 2);
}
