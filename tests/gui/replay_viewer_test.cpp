// A session played with every key (pause, single frames, all speeds, arrows) and a side of
// one's own is recorded, and replays in sync headless, as a window script and in the replay
// viewer; the viewer shows a changed recording's failed check and pauses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/state_hash.h"
#include "form_widgets.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/view.h"
#include "test_files.h"

namespace {

class ViewerWindow : public testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
    dir_ =
        std::filesystem::temp_directory_path() / ("rts_replay_viewer_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(cwd_), 0);
    if (!HasFailure()) std::filesystem::remove_all(dir_);
  }

  static std::unique_ptr<TForm1> Open(const FormOptions& options) {
    auto form = std::make_unique<TForm1>(options);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Child<GlView>(*form, "View")));
    form->FormCreate();
    return form;
  }
  static void Key(TForm1& form, Qt::Key key, int times = 1) {
    for (int i = 0; i < times; ++i) QTest::keyClick(Child<GlView>(form, "View"), key);
  }
  static void Ticks(TForm1& form, int n) {
    for (int i = 0; i < n; ++i) form.TimerDraw();
  }

  // Plays and records the session; its frames come from the test's ticks.
  std::string Record() {
    const std::string file = (dir_ / "session.txt").string();
    FormOptions options;
    options.answerAtOnce = true;
    options.runTimer = false;
    options.start.Record = file;
    options.start.PlayAs = 0;
    auto form = Open(options);
    form->Press(1);
    form->Press(2);
    Ticks(*form, 20);
    Key(*form, Qt::Key_P);
    Ticks(*form, 5);  // paused: nothing runs
    Key(*form, Qt::Key_Period);
    Ticks(*form, 3);  // one frame
    Key(*form, Qt::Key_P);
    Key(*form, Qt::Key_Plus, 3);
    Ticks(*form, 10);  // x8
    auto* view = Child<GlView>(*form, "View");
    QTest::keyPress(view, Qt::Key_Left);
    QTest::keyPress(view, Qt::Key_Down);
    Ticks(*form, 5);
    QTest::keyRelease(view, Qt::Key_Left);
    Ticks(*form, 2);
    QTest::keyRelease(view, Qt::Key_Down);
    Key(*form, Qt::Key_Minus, 2);
    Ticks(*form, 3);  // x2
    Key(*form, Qt::Key_Minus, 3);
    Ticks(*form, 9);  // x1/4
    Key(*form, Qt::Key_Plus, 1);
    Ticks(*form, 5);  // x1/2
    Key(*form, Qt::Key_Plus, 1);
    // Side 0 is the player's: select its worker and send it away.
    const World& w = form->frontend().world();
    size_t worker = 0;
    while (worker < w.Objects.size() &&
           !(w.Objects[worker].Side == 0 && w.Objects[worker].Kind == 0))
      ++worker;
    EXPECT_LT(worker, w.Objects.size());
    const FrontState& s = form->frontend().state();
    const int h = form->controls().ViewHeight();
    auto at = [&](float wx, float wy) {
      return QPoint(static_cast<int>(wx + s.CameraX), h - static_cast<int>(wy + s.CameraY));
    };
    const QPoint on = at(w.Objects[worker].X, w.Objects[worker].Y);
    QTest::mouseMove(view, on);
    Ticks(*form, 1);
    QTest::mouseClick(view, Qt::LeftButton, {}, on);
    Ticks(*form, 1);
    QTest::mouseMove(view, at(120, 90));
    QTest::mouseClick(view, Qt::RightButton, {}, at(120, 90));
    Ticks(*form, 3);
    EXPECT_EQ(w.Objects[worker].Thought1, "idti 120,90");  // the computer leaves it alone
    Key(*form, Qt::Key_Plus, 3);
    Ticks(*form, 40);
    form.reset();  // last ticks and the final check
    return file;
  }

  // The recording in the viewer at x8 until it stops.
  std::unique_ptr<TForm1> Replay(const std::string& file) {
    FormOptions options;
    options.answerAtOnce = true;
    options.scripted = true;
    options.start.ReplayName = file;
    auto form = Open(options);
    Key(*form, Qt::Key_Plus, 3);
    // The user's mouse over the view changes nothing in the match.
    QTest::mouseMove(Child<GlView>(*form, "View"), QPoint(371, 17));
    QTest::mouseClick(Child<GlView>(*form, "View"), Qt::RightButton, {}, QPoint(371, 17));
    EXPECT_NE(form->frontend().state().MouseX, 371);
    EXPECT_FALSE(form->frontend().state().RightClicked);
    EXPECT_TRUE(WaitFor([&] { return form->pace().paused(); }, 30000));
    return form;
  }

  char cwd_[4096] = {};
  std::filesystem::path dir_;
};

}  // namespace

TEST_F(ViewerWindow, ASessionWithEveryKeyReplaysInSyncThreeWays) {
  const std::string file = Record();
  const std::string script = ReadAll(file);
  ASSERT_EQ(script.rfind("seed ", 0), 0u) << script;
  for (const char* line : {"\nplay-as 0\n", "\nkey left on\n", "\nkey down on\n",
                           "\nkey left off\n", "\nkey down off\n", "\ndown right\n"}) {
    EXPECT_NE(script.find(line), std::string::npos) << line << script;
  }
  EXPECT_LT(script.find("key left on"), script.find("key left off"));

  EXPECT_EQ(ProgramStatus("--headless --script " + file), 0);
  EXPECT_EQ(ProgramStatus("--script " + file), 0);

  auto form = Replay(file);
  EXPECT_TRUE(form->replayEnded());
  EXPECT_EQ(form->findChild<QMessageBox*>(QStringLiteral("ReplayBox")), nullptr);
  EXPECT_EQ(form->frontend().player().PlayAs, 0);
  const QString banner = Child<QLabel>(*form, "Panel1")->text();
  EXPECT_NE(banner.indexOf(QStringLiteral("The recording ended")), -1) << banner.toStdString();
  // It ends where the recording ended: the last line is its final check.
  const size_t last = script.rfind("hash ");
  ASSERT_NE(last, std::string::npos);
  EXPECT_EQ("hash " + HashText(StateHash(form->frontend())) + "\n", script.substr(last));
  // The keys that do not change the match work in the viewer, also typed into the window.
  QTest::keyClick(form.get(), Qt::Key_F3);
  EXPECT_TRUE(form->thoughtsShown());
  // Resuming at the end stays paused.
  Key(*form, Qt::Key_P);
  form->TimerDraw();
  EXPECT_TRUE(form->pace().paused());
}

TEST_F(ViewerWindow, AChangedRecordingStopsAtItsFirstFailedCheck) {
  std::string script = ReadAll(Record());
  const size_t at = script.find("key left on");
  ASSERT_NE(at, std::string::npos);
  script.replace(at, 11, "key up on  ");
  const std::string changed = (dir_ / "changed.txt").string();
  std::ofstream(changed) << script;
  EXPECT_EQ(ProgramStatus("--headless --script " + changed), 3);

  auto form = Replay(changed);
  EXPECT_FALSE(form->replayEnded());
  QMessageBox* box = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        box = form->findChild<QMessageBox*>(QStringLiteral("ReplayBox"));
        return box != nullptr;
      },
      3000));
  const std::string text = box->text().toStdString();
  EXPECT_EQ(text.rfind("out of sync at frame ", 0), 0u) << text;
  EXPECT_EQ(text, "out of sync at frame " + std::to_string(form->frontend().state().Frames));
  const uint64_t frames = form->frontend().state().Frames;
  form->TimerDraw();
  EXPECT_EQ(form->frontend().state().Frames, frames);  // paused
  box->close();
}
