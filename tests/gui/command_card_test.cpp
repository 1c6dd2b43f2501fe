// The command card: a worker puts up a base and the base trains a worker with the card's
// hotkey and buttons only; the session's recording replays in sync three ways.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QComboBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "form_widgets.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/view.h"
#include "test_files.h"

namespace {

class CommandCardWindow : public testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
    dir_ = std::filesystem::temp_directory_path() / ("rts_card_" + std::to_string(getpid()));
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
  // Frames until cond holds (at most n); whether it holds.
  template <typename Cond>
  static bool TicksUntil(TForm1& form, Cond cond, int n = 2000) {
    for (int i = 0; i < n && !cond(); ++i) form.TimerDraw();
    return cond();
  }
  static int Count(const World& w, int32_t side, int32_t kind) {
    int n = 0;
    for (const TObyekt& o : w.Objects) n += o.Side == side && o.Kind == kind && IsAlive(o);
    return n;
  }
  static QToolButton* CardButton(TForm1& form, int n) {
    return form.findChild<QToolButton*>(QStringLiteral("CardButton%1").arg(n));
  }

  char cwd_[4096] = {};
  std::filesystem::path dir_;
};

}  // namespace

TEST_F(CommandCardWindow, TrainsAWorkerAndBuildsABaseWithButtonsAndHotkeys) {
  const std::string file = (dir_ / "card.txt").string();
  FormOptions options;
  options.answerAtOnce = true;
  options.runTimer = false;
  options.start.Record = file;
  options.start.PlayAs = 0;
  options.mute = true;
  auto form = Open(options);
  form->Press(1);
  form->Press(2);
  form->TimerDraw();
  auto* view = Child<GlView>(*form, "View");
  const World& w = form->frontend().world();
  const FrontState& s = form->frontend().state();
  const int h = form->controls().ViewHeight();
  auto at = [&](float wx, float wy) {
    return QPoint(static_cast<int>(wx + s.CameraX), h - static_cast<int>(wy + s.CameraY));
  };
  auto click = [&](Qt::MouseButton button, QPoint p) {
    QTest::mouseMove(view, p);
    form->TimerDraw();
    QTest::mouseClick(view, button, {}, p);
    form->TimerDraw();
  };
  // Nothing selected: an empty card.
  EXPECT_EQ(CardButton(*form, 1), nullptr);

  // The worker of side 0 (at 200, 200): its card has the base, with its price, on Q.
  click(Qt::LeftButton, at(200, 200));
  ASSERT_NE(CardButton(*form, 1), nullptr);
  EXPECT_EQ(CardButton(*form, 1)->text(), "Q $480");
  EXPECT_EQ(CardButton(*form, 2), nullptr);
  QTest::keyClick(view, Qt::Key_Q);
  EXPECT_EQ(Child<QComboBox>(*form, "ComboBox2")->currentIndex(), 0);
  form->TimerDraw();
  EXPECT_EQ(s.ClickCommand, 3);
  EXPECT_TRUE(CardButton(*form, 1)->isChecked());
  // The footprint follows the cursor before the click.
  QTest::mouseMove(view, at(300, 150));
  form->TimerDraw();
  const QImage picture = form->GrabView();
  const QPoint c = at(300, 150);
  const QRgb ring = picture.pixel(c.x() + 34, c.y());
  EXPECT_GT(qGreen(ring), 200) << std::hex << ring;
  click(Qt::RightButton, at(300, 150));
  EXPECT_EQ(w.Objects[0].Thought2, "stroyka 1,300,150");
  ASSERT_TRUE(TicksUntil(*form, [&] { return Count(w, 0, 1) == 1; }));

  // The new base trains a worker from the card's first button; the bar shows the build.
  const int workers = Count(w, 0, 0);
  click(Qt::LeftButton, at(300, 150));
  ASSERT_NE(CardButton(*form, 2), nullptr);
  EXPECT_EQ(CardButton(*form, 1)->text(), "Q $50");
  EXPECT_EQ(CardButton(*form, 2)->text(), "W $150");
  QTest::mouseClick(CardButton(*form, 1), Qt::LeftButton);
  EXPECT_EQ(Child<QComboBox>(*form, "ComboBox2")->currentIndex(), 0);
  click(Qt::RightButton, at(100, 300));
  auto* bar = form->findChild<QProgressBar*>(QStringLiteral("BuildProgress"));
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(TicksUntil(
      *form, [&] { return bar->isVisible() && bar->value() >= 50; }, 100));
  ASSERT_TRUE(TicksUntil(
      *form, [&] { return Count(w, 0, 0) == workers + 1; }, 200));
  form->TimerDraw();
  EXPECT_FALSE(bar->isVisible());
  form.reset();  // last ticks and the final check

  const std::string script = ReadAll(file);
  EXPECT_NE(script.find("\nchoose 2 0\n"), std::string::npos) << script;
  EXPECT_EQ(ProgramStatus("--headless --script " + file), 0);
  EXPECT_EQ(ProgramStatus("--script " + file), 0);
  FormOptions replay;
  replay.answerAtOnce = true;
  replay.scripted = true;
  replay.start.ReplayName = file;
  replay.mute = true;
  auto viewer = Open(replay);
  for (int i = 0; i < 3; ++i) QTest::keyClick(Child<GlView>(*viewer, "View"), Qt::Key_Plus);
  EXPECT_TRUE(WaitFor([&] { return viewer->pace().paused(); }, 30000));
  EXPECT_TRUE(viewer->replayEnded());
  EXPECT_EQ(viewer->findChild<QMessageBox*>(QStringLiteral("ReplayBox")), nullptr);
  EXPECT_EQ(Count(viewer->frontend().world(), 0, 0), workers + 1);
}
