// Orders around the rules' right click in the window, given with real mouse events: Shift
// queues an order after the current one, a right click with a base selected sets its rally
// point. The recordings replay headless to the same state.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "app/command.h"
#include "form_widgets.h"
#include "game/rally.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/view.h"
#include "test_files.h"

namespace {

class OrdersWindow : public testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
    dir_ = std::filesystem::temp_directory_path() / ("rts_orders_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    FormOptions options;
    options.answerAtOnce = true;
    options.runTimer = false;
    options.start.Record = (dir_ / "orders.txt").string();
    options.start.PlayAs = 0;
    options.mute = true;
    form_ = std::make_unique<TForm1>(options);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Child<GlView>(*form_, "View")));
    form_->FormCreate();
    form_->Press(1);
    form_->Press(2);
    form_->TimerDraw();
  }
  void TearDown() override {
    form_.reset();
    ASSERT_EQ(chdir(cwd_), 0);
    if (!HasFailure()) std::filesystem::remove_all(dir_);
  }
  GlView* view() { return Child<GlView>(*form_, "View"); }
  const World& world() { return form_->frontend().world(); }
  // View pixel of a world point.
  QPoint At(float wx, float wy) {
    const FrontState& s = form_->frontend().state();
    return QPoint(static_cast<int>(wx + s.CameraX),
                  form_->controls().ViewHeight() - static_cast<int>(wy + s.CameraY));
  }
  void Click(Qt::MouseButton button, QPoint p, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseMove(view(), p);
    form_->TimerDraw();
    QTest::mouseClick(view(), button, mods, p);
    form_->TimerDraw();
  }
  template <typename Cond>
  bool TicksUntil(Cond cond, int n = 2000) {
    for (int i = 0; i < n && !cond(); ++i) form_->TimerDraw();
    return cond();
  }
  // Closes the window; its recording holds the input and replays headless in sync (its
  // closing hash check passes).
  void ExpectReplayInSync(const std::string& input) {
    form_.reset();
    const std::string file = (dir_ / "orders.txt").string();
    EXPECT_NE(ReadAll(file).find("\n" + input + "\n"), std::string::npos) << ReadAll(file);
    EXPECT_EQ(ProgramStatus("--headless --script " + file), 0);
  }
  // Whether a pixel near p has the colour of the marks' `kind` (yellow queued, green rally).
  bool MarkNear(const QImage& picture, QPoint p, bool rally) {
    for (int dy = -6; dy <= 6; ++dy) {
      for (int dx = -6; dx <= 6; ++dx) {
        const QRgb c = picture.pixel(p.x() + dx, p.y() + dy);
        if (rally ? qGreen(c) > 200 && qRed(c) < 150 && qBlue(c) < 150
                  : qRed(c) > 200 && qGreen(c) > 170 && qBlue(c) < 120)
          return true;
      }
    }
    return false;
  }

  char cwd_[4096] = {};
  std::filesystem::path dir_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace

TEST_F(OrdersWindow, AShiftQueuedOrderIsTakenUpAfterTheCurrentOne) {
  const TObyekt& worker = world().Objects[0];  // side 0's, at 200, 200
  Click(Qt::LeftButton, At(200, 200));
  ASSERT_TRUE(worker.Selected);
  Click(Qt::RightButton, At(240, 160));
  ASSERT_EQ(worker.Thought1, "idti 240,160");
  const QPoint queued = At(160, 130);
  Click(Qt::RightButton, queued, Qt::ShiftModifier);
  EXPECT_EQ(worker.Thought1, "idti 240,160");
  EXPECT_EQ(worker.Thought2, "idti 160,130");
  // The marker's cross at the queued point, the line from the current target.
  QTest::mouseMove(view(), At(100, 250));
  form_->TimerDraw();
  const QImage picture = form_->GrabView();
  EXPECT_TRUE(MarkNear(picture, queued, false));
  EXPECT_TRUE(MarkNear(picture, At(200, 145), false));  // halfway along the line
  EXPECT_FALSE(MarkNear(picture, At(200, 250), false));

  ASSERT_TRUE(TicksUntil([&] { return worker.Thought1 == "idti 160,130"; }, 400));
  EXPECT_TRUE(worker.Thought2.empty());
  EXPECT_LT(std::abs(worker.X - 240) + std::abs(worker.Y - 160), 20.0f);
  ASSERT_TRUE(TicksUntil([&] { return worker.Thought1.empty(); }, 400));
  EXPECT_LT(std::abs(worker.X - 160) + std::abs(worker.Y - 130), 20.0f);
  form_->TimerDraw();
  EXPECT_FALSE(MarkNear(form_->GrabView(), queued, false));
  ExpectReplayInSync("queue");
}

TEST_F(OrdersWindow, ARallyPointIsFollowedByTheWorkerTheBaseTrains) {
  form_->session().Apply(*ReadCommand("spawn 0 1 0 150 250 0"));  // a base of side 0
  const int32_t base = static_cast<int32_t>(world().Objects.size()) - 1;
  form_->TimerDraw();
  Click(Qt::LeftButton, At(150, 250));
  ASSERT_TRUE(world().Objects[static_cast<size_t>(base)].Selected);
  const QPoint rally = At(260, 120);
  Click(Qt::RightButton, rally);
  const RallyPoint* point = FindRally(world(), base);
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->X, 260);
  EXPECT_EQ(point->Y, 120);
  EXPECT_TRUE(world().Objects[static_cast<size_t>(base)].Thought1.empty());
  QTest::mouseMove(view(), At(100, 150));
  form_->TimerDraw();
  EXPECT_TRUE(MarkNear(form_->GrabView(), rally, true));

  // The card's first button trains a worker; it walks to the rally point.
  const size_t count = world().Objects.size();
  auto* train = form_->findChild<QToolButton*>(QStringLiteral("CardButton1"));
  ASSERT_NE(train, nullptr);
  QTest::mouseClick(train, Qt::LeftButton);
  Click(Qt::RightButton, At(150, 250));
  ASSERT_TRUE(TicksUntil([&] { return world().Objects.size() > count; }, 400));
  const TObyekt& trained = world().Objects[count];
  EXPECT_EQ(trained.Kind, 0);
  EXPECT_EQ(trained.Thought1, "idti 260,120");
  ASSERT_TRUE(TicksUntil([&] { return trained.Thought1.empty(); }, 600));
  EXPECT_LT(std::abs(trained.X - 260) + std::abs(trained.Y - 120), 20.0f);
  // Unselected, the base shows no mark.
  Click(Qt::LeftButton, At(300, 300));
  EXPECT_FALSE(MarkNear(form_->GrabView(), rally, true));
  ExpectReplayInSync("rally");
}
