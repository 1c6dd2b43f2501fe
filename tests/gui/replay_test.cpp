#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/script.h"
#include "form_widgets.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/view.h"
#include "test_files.h"

namespace {

void WaitFrames(TForm1& form, uint64_t frames) {
  const uint64_t until = form.frontend().state().Frames + frames;
  while (form.frontend().state().Frames < until) QTest::qWait(5);
}

}  // namespace

// A session played with real input events in the window, recorded, then replayed headless
// and in the window with every sync check passing; one changed input is caught.
TEST(Replay, RecordedWindowSessionReplays) {
  GuiApp();
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
  const auto dir = TempPath("rts_replay_gui");
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "session.txt").string();

  {
    FormOptions options;
    options.answerAtOnce = true;
    options.start.Record = file;
    TForm1 form(options);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.FormCreate();
    WaitFrames(form, 20);
    QTest::mouseClick(Child<QPushButton>(form, "Button1"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(form, "Button2"), Qt::LeftButton);
    WaitFrames(form, 50);
    // Select the first worker (world 200,200) and send it somewhere; then pick an attack.
    const float cx = form.frontend().state().CameraX, cy = form.frontend().state().CameraY;
    const int h = form.controls().ViewHeight();
    auto at = [&](float wx, float wy) {
      return QPoint(static_cast<int>(wx + cx), h - static_cast<int>(wy + cy));
    };
    QTest::mouseMove(Child<GlView>(form, "View"), at(200, 200));
    WaitFrames(form, 3);
    QTest::mouseClick(Child<GlView>(form, "View"), Qt::LeftButton, {}, at(200, 200));
    WaitFrames(form, 3);
    QTest::mouseMove(Child<GlView>(form, "View"), at(150, 120));
    QTest::mouseClick(Child<GlView>(form, "View"), Qt::RightButton, {}, at(150, 120));
    WaitFrames(form, 60);
    Child<QComboBox>(form, "ComboBox1")->setCurrentIndex(0);
    QTest::mouseMove(Child<GlView>(form, "View"), at(20, 30));
    WaitFrames(form, 100);
    Child<QCheckBox>(form, "CheckBox1")->setChecked(true);
    WaitFrames(form, 100);
  }  // the window closes: last ticks and a final check

  std::string script = ReadAll(file);
  ASSERT_EQ(script.rfind("seed ", 0), 0u) << script;
  EXPECT_LT(script.find("press 1\n"), script.find("press 2\n")) << script;
  EXPECT_NE(script.find("down right"), std::string::npos);
  EXPECT_NE(script.find("choose 1 0"), std::string::npos);
  EXPECT_NE(script.find("check 1 on"), std::string::npos);
  EXPECT_NE(script.find("hash "), std::string::npos);

  EXPECT_EQ(ProgramStatus("--headless --script " + file), 0);
  EXPECT_EQ(ProgramStatus("--script " + file), 0);

  // The move order goes elsewhere; the selection, and so every later command, stays valid.
  std::string changed = script;
  const size_t order = changed.find("down right");
  ASSERT_NE(order, std::string::npos);
  const size_t at = changed.rfind("move ", order);
  ASSERT_NE(at, std::string::npos);
  changed.replace(at, changed.find('\n', at) - at, "move 5 5");
  const std::string changedFile = (dir / "changed.txt").string();
  std::ofstream(changedFile) << changed;
  EXPECT_EQ(ProgramStatus("--headless --script " + changedFile), 3);

  ASSERT_EQ(chdir(cwd), 0);
  if (!HasFailure()) std::filesystem::remove_all(dir);
}
