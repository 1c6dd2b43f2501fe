// The window's core without a window: which game menu entries are enabled and checked as the
// match stands, a network match's entries, speed and closing, and the mouse over the view.
#include "app/window_core.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/menu_model.h"
#include "app/script.h"
#include "test_files.h"

namespace {

const std::filesystem::path kData = std::filesystem::path(RTS_SOURCE_DIR) / "data";

class QuietShell : public WindowShell {
 public:
  std::string banner;
  int chats = 0;
  void ShowBanner(const std::string& text) override { banner = text; }
  void EndLoop(int) override {}
  void ShowViewer(bool) override {}
  void RepaintTimeline() override {}
  void SyncMatchEnd() override {}
  void ShowKeys() override {}
  void ShowMenu() override {}
  void ShowCharts() override {}
  void OpenChat() override { ++chats; }
  void FocusView() override {}
  void Close() override {}
  bool hidden() const override { return false; }
  std::string ChooseFile(bool) override { return {}; }
  std::vector<std::string> ChooseNet(bool) override { return {}; }
  bool Launch(const std::vector<std::string>&) override { return false; }
  void ShowNetFailure(const std::string&, std::function<void()>) override {}
  std::string DocumentsFolder() override { return {}; }
  std::string PicturesFolder() override { return {}; }
  Picture SaveView(const std::string&) override { return Picture::NotDrawn; }
};

class QuietVolume : public Volume {
 public:
  void ToggleMute() override {}
  void Louder() override {}
  void Softer() override {}
  bool muted() const override { return true; }
  float volume() const override { return 0; }
};

// A network match whose state the test sets; its frames stand still.
class FakeNet : public NetMatch, private FrameSource {
 public:
  explicit FakeNet(Session& session) : session_(session) { session_.wiring().frames = this; }
  ~FakeNet() override { session_.wiring().frames = nullptr; }
  bool Begin(std::string&) override { return true; }
  void SetPace(bool paused, int speed) override { pace = {paused, speed}; }
  bool Chat(const std::string&) override { return true; }
  void ViewResized(int, int) override {}
  void HandOver() override {}
  bool StartNow() override { return true; }
  bool Leave() override { return false; }
  bool host() const override { return true; }
  bool started() const override { return isStarted; }
  bool player() const override { return isPlayer; }
  bool someoneGone() const override { return gone; }
  bool ended() const override { return isEnded; }
  int status() const override { return 4; }
  std::string Status() const override { return "lobby"; }

  bool isStarted = false, isPlayer = false, gone = false, isEnded = false;
  std::optional<std::pair<bool, int>> pace;

 private:
  int BeginTick() override { return 0; }
  bool RunFrame(bool, FrameCall) override { return false; }
  Session& session_;
};

const MenuItem* Find(const std::vector<MenuItem>& items, const std::string& name) {
  for (const MenuItem& item : items) {
    if (item.Name == name) return &item;
    if (const MenuItem* sub = Find(item.Sub, name)) return sub;
  }
  return nullptr;
}

struct Core : testing::Test {
  InDir in{kData};
  RecordingPlatform platform;
  HeadlessHost host{platform};
  QuietShell shell;
  QuietVolume volume;
  FakeNet* net = nullptr;
  std::unique_ptr<WindowCore> core;

  void Open(const FormOptions& options = {}) {
    platform.fixedSeed = 5;
    core = std::make_unique<WindowCore>(
        shell, host, volume, options, [this](Session& s, const NetOptions&, const WindowOptions&) {
          auto made = std::make_unique<FakeNet>(s);
          net = made.get();
          return made;
        });
    core->Open();
    core->Resized();  // as the window's first resize, run by Create
    ASSERT_TRUE(core->Create());
  }
  // An entry of the menu as it is built now.
  MenuItem Entry(const std::string& name) {
    const std::vector<MenuItem> menu = GameMenu(*core);
    const MenuItem* item = Find(menu, name);
    EXPECT_NE(item, nullptr) << name;
    return item ? *item : MenuItem{};
  }
};

TEST_F(Core, NewMatchesWaitForTheDataAndTheMenuChecksWhatIsChosen) {
  Open();
  for (const char* name : {"NewMatch", "NewMatchOn", "NewMatchAgainst", "Level:test"})
    EXPECT_FALSE(Entry(name).Enabled) << name;
  EXPECT_FALSE(Entry("MatchCharts").Enabled);
  EXPECT_EQ(Entry("Speedx1").Checked, true);
  EXPECT_EQ(Entry("Speedx2").Checked, false);
  core->Press(1);
  EXPECT_TRUE(Entry("NewMatch").Enabled);
  EXPECT_EQ(Entry("OpponentStandard").Checked, true);
  EXPECT_EQ(Entry("OpponentEasy").Checked, false);

  // The opponent chosen plays the new match at once.
  Entry("OpponentEasy").Action();
  EXPECT_EQ(Entry("OpponentEasy").Checked, true);
  EXPECT_EQ(Entry("OpponentStandard").Checked, false);
  EXPECT_TRUE(Entry("MatchCharts").Enabled);

  // Whose sight the view shows is a choice only without a side of one's own.
  Entry("Watch").Action();
  EXPECT_TRUE(Entry("Sight0").Enabled);
  Entry("PlaySide0").Action();
  EXPECT_EQ(Entry("PlaySide0").Checked, true);
  EXPECT_EQ(Entry("Watch").Checked, false);
  EXPECT_FALSE(Entry("Sight0").Enabled);
  // No replay plays: nothing to take over.
  EXPECT_FALSE(Entry("TakeOver").Enabled);
}

TEST_F(Core, ANetworkMatchsEntriesSpeedAndClosingAreTheMatchs) {
  FormOptions options;
  options.net = NetOptions{};
  Open(options);
  ASSERT_NE(net, nullptr);
  EXPECT_NE(shell.banner.find("\nlobby"), std::string::npos) << shell.banner;
  // The host waits for its players; the window plays no match of its own.
  EXPECT_TRUE(Entry("StartNetwork").Enabled);
  EXPECT_FALSE(Entry("HandOver").Enabled);
  for (const char* name : {"OpenReplay", "HostNetwork", "JoinNetwork", "PlaySide0"})
    EXPECT_FALSE(Entry(name).Enabled) << name;

  net->isStarted = net->isPlayer = net->gone = true;
  EXPECT_FALSE(Entry("StartNetwork").Enabled);
  EXPECT_TRUE(Entry("HandOver").Enabled);
  // The speed is every peer's: asked of the match, not set here.
  Entry("Speedx2").Action();
  EXPECT_EQ(net->pace, (std::pair<bool, int>{false, 3}));
  EXPECT_EQ(host.pace().speed(), Pace::kNormal);

  // A player's window hides while the others may need it, and closes once the match ended.
  EXPECT_FALSE(core->Closing());
  EXPECT_FALSE(core->exiting());
  net->isEnded = true;
  EXPECT_FALSE(Entry("HandOver").Enabled);
  EXPECT_TRUE(core->Closing());
  EXPECT_TRUE(core->exiting());
  EXPECT_EQ(core->exitCode(), 4);
}

TEST_F(Core, EnterChatsOnlyInAStartedNetworkMatchAndShiftedDigitsAreGroups) {
  FormOptions options;
  options.net = NetOptions{};
  Open(options);
  const KeyStroke enter{kKeyReturn};
  EXPECT_TRUE(core->Key(enter));
  EXPECT_EQ(shell.chats, 0);
  net->isStarted = true;
  EXPECT_TRUE(core->Key(enter));
  EXPECT_TRUE(core->Key({kKeyReturn, kNoMods, false, 0, true, true}));  // held: once
  EXPECT_EQ(shell.chats, 1);
  net->isEnded = true;
  EXPECT_TRUE(core->Key(enter));
  EXPECT_EQ(shell.chats, 1);
  // Without a card the letters are nobody's; Shift+1 on a layout that shifts the digit row
  // (X11 key code 10) is still group 1.
  EXPECT_FALSE(core->Key({'Q'}));
  EXPECT_EQ(DigitOfKey('!', 10, true), 1);
  EXPECT_EQ(DigitOfKey('!', 10, false), 0);
  EXPECT_EQ(DigitOfKey('9', 0, false), 9);
}

// Tells what the gestures mean, one line each.
class Recorder : public PointerTarget {
 public:
  std::vector<std::string> told;
  bool minimap = false;  // every pixel is on the minimap

  bool OverMinimap(int, int) override { return minimap; }
  void Minimap(int x, int y) override { Tell("minimap", x, y); }
  void Moved(int x, int y) override { Tell("move", x, y); }
  void Left() override { told.push_back("leave"); }
  void Pressed(Frontend::Button b) override { Tell("down", static_cast<int>(b), 0); }
  void RightPressed(bool shift) override { Tell("right", shift, 0); }
  void Dragging(ViewBox b) override { Tell("drag", b.X2, b.Y2); }
  void DragEnded() override { told.push_back("drag end"); }
  void BoxReleased(ViewBox b, bool add) override {
    told.push_back("box " + std::to_string(b.X1) + " " + std::to_string(b.Y1) + " " +
                   std::to_string(b.X2) + " " + std::to_string(b.Y2) + (add ? " add" : ""));
  }
  void DoubleClicked(int x, int y) override { Tell("double", x, y); }
  void Wheeled(int steps, int x, int y) override { Tell("wheel " + std::to_string(steps), x, y); }

 private:
  void Tell(const std::string& what, int a, int b) {
    told.push_back(what + " " + std::to_string(a) + " " + std::to_string(b));
  }
};

using Told = std::vector<std::string>;

TEST(ViewPointer, AClickMovesLessThanFivePixelsAndShiftAddsAtTheRelease) {
  Recorder r;
  ViewPointer p(r);
  p.Press(MouseButton::Left, 10, 10, false);
  p.Move(14, 6);
  p.Release(MouseButton::Left);
  EXPECT_EQ(r.told, (Told{"down 0 0", "move 14 6"}));

  r.told.clear();
  p.Press(MouseButton::Left, 10, 10, true);
  p.Release(MouseButton::Left);
  p.Press(MouseButton::Left, 10, 10, true);
  p.Move(10, 15);
  p.Move(30, 20);
  p.Release(MouseButton::Left);
  EXPECT_EQ(r.told, (Told{"down 0 0", "move 10 15", "drag 10 15", "move 30 20", "drag 30 20",
                          "drag end", "box 10 10 30 20 add"}));
}

TEST(ViewPointer, TheMinimapTakesTheLeftDragAndTheWheelCountsWholeSteps) {
  Recorder r;
  ViewPointer p(r);
  r.minimap = true;
  p.Press(MouseButton::Right, 3, 4, false);
  p.Move(3, 4);
  p.Press(MouseButton::Left, 5, 6, false);
  r.minimap = false;  // the drag leaves the square: still the minimap's
  p.Move(50, 60);
  p.Leave();
  p.Release(MouseButton::Left);
  p.Leave();  // no cursor moved in since
  EXPECT_EQ(r.told, (Told{"minimap 5 6", "minimap 50 60"}));

  r.told.clear();
  p.Move(1, 2);
  p.Leave();
  p.Wheel(60, 1, 2);
  p.Wheel(60, 1, 2);
  p.Wheel(-250, 1, 2);
  p.DoubleClick(MouseButton::Left, 7, 8);
  EXPECT_EQ(r.told, (Told{"move 1 2", "leave", "wheel 1 1 2", "wheel -2 1 2", "double 7 8"}));
}

}  // namespace
