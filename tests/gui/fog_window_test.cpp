// The fog of war in the window, with real mouse and key events: black where never seen, dimmed
// where seen before, clear in sight; an enemy out of sight neither drawn nor picked; the
// replay viewer shows everything or the sight of the side chosen by key or menu.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <filesystem>

#include "app/command.h"
#include "form_widgets.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/view.h"
#include "test_files.h"
#include "util/cp1251.h"

namespace {

class FogWindow : public testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
    dir_ = std::filesystem::temp_directory_path() / ("rts_fog_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    form_.reset();
    ASSERT_EQ(chdir(cwd_), 0);
    if (!HasFailure()) std::filesystem::remove_all(dir_);
  }
  std::string File() const { return (dir_ / "fog.txt").string(); }
  void Open(const FormOptions& options) {
    form_ = std::make_unique<TForm1>(options);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Child<GlView>(*form_, "View")));
    form_->FormCreate();
  }
  // A match as side 0 with the ground shown, recorded.
  void OpenAsSide0() {
    FormOptions options;
    options.answerAtOnce = true;
    options.runTimer = false;
    options.start.Record = File();
    options.start.PlayAs = 0;
    options.mute = true;
    Open(options);
    QTest::mouseClick(Child<QCheckBox>(*form_, "CheckBox2"), Qt::LeftButton);
    form_->Press(1);
    form_->Press(2);
    Ticks(3);
  }
  GlView* view() { return Child<GlView>(*form_, "View"); }
  const World& world() { return form_->frontend().world(); }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) form_->TimerDraw();
  }
  template <typename Cond>
  bool TicksUntil(Cond cond, int n = 1000) {
    for (int i = 0; i < n && !cond(); ++i) form_->TimerDraw();
    return cond();
  }
  QPoint At(float wx, float wy) {
    const FrontState& s = form_->frontend().state();
    return QPoint(static_cast<int>(wx + s.CameraX),
                  form_->controls().ViewHeight() - static_cast<int>(wy + s.CameraY));
  }
  void Click(Qt::MouseButton button, QPoint p) {
    QTest::mouseMove(view(), p);
    form_->TimerDraw();
    QTest::mouseClick(view(), button, {}, p);
    form_->TimerDraw();
  }
  // The view's picture with the cursor parked where nothing is hovered.
  QImage Picture() {
    QTest::mouseMove(view(), QPoint(form_->controls().ViewWidth() / 2, 60));
    form_->TimerDraw();
    return form_->GrabView();
  }
  static int Brightness(const QImage& picture, QPoint p) {
    const QRgb c = picture.pixel(p);
    return qRed(c) + qGreen(c) + qBlue(c);
  }
  // The pixels of a square about p are the same in both pictures.
  static bool SameAround(const QImage& a, const QImage& b, QPoint p, int r) {
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (a.pixel(p.x() + dx, p.y() + dy) != b.pixel(p.x() + dx, p.y() + dy)) return false;
    return true;
  }
  bool ListHas(const std::string& utf8) {
    return !Child<QListWidget>(*form_, "ListBox1")
                ->findItems(QString::fromStdString(utf8), Qt::MatchExactly)
                .isEmpty();
  }

  char cwd_[4096] = {};
  std::filesystem::path dir_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace

TEST_F(FogWindow, ThreeStatesAndAnEnemyOutOfSightIsNeitherDrawnNorPicked) {
  OpenAsSide0();
  ASSERT_TRUE(form_->frontend().fog().on());
  // Spawns move the objects: they are named by index.
  const auto scout = [&]() -> const TObyekt& { return world().Objects[0]; };
  // The same world points are looked at again after the camera may have moved.
  const QImage first = Picture();
  ASSERT_TRUE(first.rect().contains(At(250, 200)) && first.rect().contains(At(20, 330)));
  const int lit = Brightness(first, At(250, 200));
  EXPECT_GT(lit, 60);                            // the ground in sight
  EXPECT_EQ(Brightness(first, At(20, 330)), 0);  // never seen: black
  // The scout walks off: where it stood is seen before, dimmed, not black.
  Click(Qt::LeftButton, At(scout().X, scout().Y));
  Click(Qt::RightButton, At(330, 40));
  ASSERT_TRUE(TicksUntil([&] { return scout().Thought1.empty(); }, 600));
  const QImage dimmed = Picture();
  EXPECT_LT(Brightness(dimmed, At(250, 200)), lit * 3 / 4);
  EXPECT_GT(Brightness(dimmed, At(250, 200)), 0);
  EXPECT_EQ(Brightness(dimmed, At(20, 330)), 0);

  // An enemy worker in the dimmed ground: not drawn, no marker, no read-out, not selected.
  form_->session().Apply(*ReadCommand("spawn 1 0 1 230 210 0"));
  const int32_t enemy = static_cast<int32_t>(world().Objects.size()) - 1;
  Ticks(1);
  const auto& objects = world().Objects;
  const auto ex = [&] { return objects[static_cast<size_t>(enemy)].X; };
  const auto ey = [&] { return objects[static_cast<size_t>(enemy)].Y; };
  EXPECT_TRUE(SameAround(dimmed, Picture(), At(ex(), ey()), 14));
  QTest::mouseMove(view(), At(ex(), ey()));
  Ticks(1);
  EXPECT_EQ(form_->frontend().state().HoverIndex, enemy);  // the rules' hover, as headless
  EXPECT_TRUE(SameAround(dimmed, form_->GrabView(), At(ex(), ey()), 14));
  EXPECT_TRUE(ListHas("Под курсором: -1"));
  EXPECT_TRUE(ListHas("Наведите курсор на юнит,"));
  Click(Qt::LeftButton, At(ex(), ey()));
  EXPECT_FALSE(objects[static_cast<size_t>(enemy)].Selected);
  QTest::mousePress(view(), Qt::LeftButton, {}, At(ex() - 30, ey() + 30));
  QTest::mouseMove(view(), At(ex() + 30, ey() - 30));
  QTest::mouseRelease(view(), Qt::LeftButton, {}, At(ex() + 30, ey() - 30));
  Ticks(1);
  EXPECT_FALSE(objects[static_cast<size_t>(enemy)].Selected);

  // A right click on it is a click on the ground: the scout walks there, it does not follow.
  Click(Qt::LeftButton, At(scout().X, scout().Y));
  ASSERT_TRUE(scout().Selected);
  Click(Qt::RightButton, At(ex(), ey()));
  EXPECT_EQ(scout().Thought1.rfind("idti ", 0), 0u) << scout().Thought1;
  // It comes back: the enemy is in sight, drawn and read out.
  ASSERT_TRUE(TicksUntil([&] { return form_->frontend().fog().Shows(world(), enemy); }, 600));
  QTest::mouseMove(view(), At(ex(), ey()));
  Ticks(1);
  EXPECT_TRUE(ListHas("Под курсором: " + std::to_string(enemy)));
  EXPECT_FALSE(SameAround(dimmed, Picture(), At(ex(), ey()), 14));
  form_.reset();
  EXPECT_NE(ReadAll(File()).find("\nblind\n"), std::string::npos);
  EXPECT_EQ(ProgramStatus("--headless --script " + File()), 0);  // in sync without the fog
}

TEST_F(FogWindow, TheViewerShowsEverythingOrTheSightOfTheSideChosenByKeyOrMenu) {
  OpenAsSide0();
  Ticks(20);
  form_.reset();  // the recording is closed
  FormOptions options;
  options.answerAtOnce = true;
  options.runTimer = false;
  options.start.ReplayName = File();
  options.mute = true;
  Open(options);
  ASSERT_TRUE(form_->replaying());
  Ticks(12);
  const QPoint never = At(20, 330), own = At(230, 200);
  EXPECT_FALSE(form_->frontend().fog().on());
  EXPECT_GT(Brightness(Picture(), never), 60);  // everything: the ground

  // V: side 0's sight, as its player saw it.
  QTest::keyClick(view(), Qt::Key_V);
  EXPECT_EQ(form_->frontend().sightChoice(), 0);
  QImage picture = Picture();
  EXPECT_EQ(Brightness(picture, never), 0);
  EXPECT_GT(Brightness(picture, own), 60);

  // The menu: side 1's sight, where side 0's worker is out of it; then everything again.
  auto choose = [&](const char* name) {
    QTest::keyClick(view(), Qt::Key_Escape);
    QMenu* menu = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      return menu && menu->objectName() == QLatin1String("GameMenu") && menu->isVisible();
    }));
    QAction* sight = nullptr;
    for (QAction* a : menu->actions())
      if (a->objectName() == QLatin1String("Sight")) sight = a;
    ASSERT_TRUE(sight && sight->menu() && sight->isEnabled());
    QAction* entry = nullptr;
    for (QAction* a : sight->menu()->actions())
      if (a->objectName() == QLatin1String(name)) entry = a;
    ASSERT_TRUE(entry && entry->isEnabled());
    entry->trigger();
    menu->close();
    QCoreApplication::processEvents();
  };
  choose("Sight1");
  EXPECT_EQ(form_->frontend().sightChoice(), 1);
  picture = Picture();
  EXPECT_EQ(Brightness(picture, own), 0);
  choose("SightAll");
  EXPECT_EQ(form_->frontend().sightChoice(), -1);
  EXPECT_GT(Brightness(Picture(), never), 60);
}
