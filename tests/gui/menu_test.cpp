// The game menu and the end of a match in the window, with real key and mouse events: every
// entry, the file dialogs answered by the test, and the end-of-match box's three choices.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/replay.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "form_widgets.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/view.h"

namespace {

namespace fs = std::filesystem;

class GameMenu : public testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
    file_ = (fs::temp_directory_path() / ("rts_menu_" + std::to_string(getpid()) + ".txt"));
  }
  void TearDown() override {
    fs::remove(file_);
    ASSERT_EQ(chdir(cwd_), 0);
  }

  std::unique_ptr<TForm1> Open(int playAs = -1) {
    FormOptions options;
    options.seed = 7;
    options.answerAtOnce = true;
    options.runTimer = false;
    if (playAs >= 0) options.start.PlayAs = playAs;
    auto form = std::make_unique<TForm1>(options);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Child<GlView>(*form, "View")));
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->FormCreate();
    form->SetFileChooser([this](bool) { return QString::fromStdString(file_.string()); });
    return form;
  }
  static void Ticks(TForm1& form, int n) {
    for (int i = 0; i < n; ++i) form.TimerDraw();
  }
  static QMenu* Popup(const char* name) {
    QMenu* menu = nullptr;
    WaitFor([&] {
      menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      return menu && menu->objectName() == QLatin1String(name) && menu->isVisible();
    });
    return menu && menu->objectName() == QLatin1String(name) ? menu : nullptr;
  }
  // Escape in the view opens the menu; a click on each entry of `path` (submenus by name).
  static void Choose(TForm1& form, std::initializer_list<const char*> path) {
    QTest::keyClick(Child<GlView>(form, "View"), Qt::Key_Escape);
    QMenu* menu = Popup("GameMenu");
    ASSERT_TRUE(menu);
    for (const char* name : path) {
      QAction* action = nullptr;
      for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name)) action = a;
      ASSERT_TRUE(action) << name;
      ASSERT_TRUE(action->isEnabled()) << name;
      const bool sub = action->menu() != nullptr;  // a chosen entry's menu goes away
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
      if (sub) menu = Popup(name);
      ASSERT_TRUE(menu) << name;
    }
    QCoreApplication::processEvents();
  }
  static std::string Hash(TForm1& form) { return HashText(StateHash(form.frontend())); }
  static std::string Headless(const std::string& lines) {
    RecordingPlatform platform;
    HeadlessHost host(platform);
    std::istringstream in(lines);
    std::ostringstream out, err;
    EXPECT_EQ(RunScript(in, host, out, err), 0) << err.str();
    return HashText(StateHash(host.frontend()));
  }
  static QDialog* EndBox(TForm1& form) {
    QDialog* box = nullptr;
    WaitFor([&] {
      box = form.findChild<QDialog*>(QStringLiteral("MatchEndBox"));
      return box && box->isVisible();
    });
    if (!box || !box->isVisible()) return nullptr;
    EXPECT_TRUE(QTest::qWaitForWindowExposed(box));
    return box;
  }
  // Side `side` loses every object through the script command, then a frame decides.
  static void Wipe(TForm1& form, int side) {
    for (size_t i = 0; i < form.frontend().world().Objects.size(); ++i) {
      if (form.frontend().world().Objects[i].Side == side)
        form.session().Apply(*ReadCommand("set " + std::to_string(i) + " Energy0 0"));
    }
    Ticks(form, 1);
  }

  char cwd_[4096] = {};
  fs::path file_;
};

TEST_F(GameMenu, EscapeAndTheBannerButtonOpenItAndThePanelsStayAsTheyAre) {
  auto form = Open();
  auto* panel2 = Child<QWidget>(*form, "Panel2");
  auto* panel3 = Child<QWidget>(*form, "Panel3");
  const QRect p2 = panel2->geometry(), p3 = panel3->geometry();
  QTest::keyClick(Child<GlView>(*form, "View"), Qt::Key_Escape);
  QMenu* menu = Popup("GameMenu");
  ASSERT_TRUE(menu);
  QTest::keyClick(menu, Qt::Key_Escape);
  ASSERT_TRUE(WaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
  QTest::mouseClick(Child<QToolButton>(*form, "MenuButton"), Qt::LeftButton);
  menu = Popup("GameMenu");
  ASSERT_TRUE(menu);
  // Before the data: no new match; the two numbered buttons keep their places and phases.
  for (QAction* a : menu->actions())
    if (a->objectName().startsWith(QLatin1String("NewMatch"))) {
      EXPECT_FALSE(a->isEnabled());
    }
  menu->close();
  EXPECT_EQ(panel2->geometry(), p2);
  EXPECT_EQ(panel3->geometry(), p3);
  EXPECT_TRUE(Child<QPushButton>(*form, "Button1")->isEnabled());
  EXPECT_EQ(Child<QPushButton>(*form, "Button2")->geometry(), QRect(8, 40, 193, 25));
}

TEST_F(GameMenu, NewMatchSidesSpeedAndKeys) {
  auto form = Open();
  form->Press(1);
  form->Press(2);
  Ticks(*form, 30);
  Choose(*form, {"PlaySide1"});
  EXPECT_EQ(form->frontend().player().PlayAs, 1);
  Choose(*form, {"NewMatch"});
  EXPECT_EQ(form->frontend().state().Frames, 0u);
  EXPECT_FALSE(Child<QPushButton>(*form, "Button2")->isEnabled());
  Ticks(*form, 20);
  EXPECT_EQ(Hash(*form), Headless("seed 7 7\npress 1\nplay-as 1\npress 2\ntick 20\n"));

  Choose(*form, {"NewMatchOn", "Level:four_mines"});
  Choose(*form, {"Watch"});
  Ticks(*form, 10);
  // The match began on side 1's camera, then the computer took both sides.
  EXPECT_EQ(Hash(*form), Headless("seed 7 7\npress 1\nplay-as 1\nlevel four_mines\npress 2\n"
                                  "play-as -1\ntick 10\n"));
  Choose(*form, {"PlaySide0"});
  EXPECT_EQ(form->frontend().player().PlayAs, 0);

  Choose(*form, {"Speed", "Speedx8"});
  EXPECT_EQ(form->pace().SpeedText(), "x8");
  EXPECT_NE(Child<QLabel>(*form, "Panel1")->text().indexOf(QLatin1String("x8")), -1);
  Choose(*form, {"Speed", "Speedx1/4"});
  EXPECT_EQ(form->pace().SpeedText(), "x1/4");

  Choose(*form, {"Keys"});
  EXPECT_TRUE(WaitFor([&] {
    auto* box = form->findChild<QDialog*>(QStringLiteral("KeysBox"));
    return box && box->isVisible();
  }));
  form->findChild<QDialog*>(QStringLiteral("KeysBox"))->close();
  Choose(*form, {"Quit"});
  EXPECT_TRUE(WaitFor([&] { return !form->isVisible(); }));
}

// A timer tick that comes late runs the ticks due first (at most four), so that the match keeps
// its pace while the picture falls behind; the match is the same.
TEST_F(GameMenu, ALateTimerTickCatchesUpWithTheMatch) {
  auto late = Open();
  auto steady = Open();
  for (auto* form : {late.get(), steady.get()}) {
    form->Press(1);
    form->Press(2);
  }
  const uint64_t start = late->frontend().state().Frames;
  late->TimerFired();
  EXPECT_EQ(late->frontend().state().Frames, start + 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  late->TimerFired();
  EXPECT_EQ(late->frontend().state().Frames, start + 5);
  Ticks(*steady, 5);
  EXPECT_EQ(Hash(*late), Hash(*steady));
}

// Saved from the menu, the session replays headless; opened from the menu, in the viewer;
// a new match leaves the viewer and gives the panel back.
TEST_F(GameMenu, SaveRecordingThenOpenItAsAReplay) {
  auto form = Open();
  form->Press(1);
  form->Press(2);
  Ticks(*form, 60);
  Choose(*form, {"PlaySide0"});
  QTest::mouseClick(Child<GlView>(*form, "View"), Qt::LeftButton, {}, QPoint(200, 200));
  Ticks(*form, 50);
  Choose(*form, {"NewMatch"});
  Ticks(*form, 120);
  Choose(*form, {"SaveRecording"});
  ASSERT_TRUE(fs::exists(file_));
  const std::string saved = Hash(*form);
  {
    RecordingPlatform platform;
    HeadlessHost host(platform);
    std::ifstream in(file_);
    std::ostringstream out, err;
    EXPECT_EQ(RunScript(in, host, out, err), 0) << err.str();
    EXPECT_EQ(HashText(StateHash(host.frontend())), saved);
  }

  Choose(*form, {"OpenReplay"});
  ASSERT_TRUE(form->replaying());
  EXPECT_TRUE(WaitFor([&] { return Child<QWidget>(*form, "Timeline")->isVisible(); }));
  EXPECT_TRUE(Child<QPushButton>(*form, "Button1")->isEnabled());  // a fresh start
  ASSERT_TRUE(WaitFor(
      [&] {
        form->TimerDraw();
        return form->replayEnded();
      },
      20000));
  EXPECT_EQ(Hash(*form), saved);
  // The user's clicks on the panel do nothing in the viewer.
  QTest::mouseClick(Child<QWidget>(*form, "CheckBox2"), Qt::LeftButton);
  EXPECT_FALSE(form->controls().Checked(2));

  // Taken over from the menu: live, as side 1, recorded into the documents folder.
  QTemporaryDir config, documents;
  std::ofstream(config.filePath("user-dirs.dirs").toStdString())
      << "XDG_DOCUMENTS_DIR=\"" << documents.path().toStdString() << "\"\n";
  const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  Choose(*form, {"TakeOver", "TakeOver1"});
  if (oldConfig.isNull()) {
    qunsetenv("XDG_CONFIG_HOME");
  } else {
    qputenv("XDG_CONFIG_HOME", oldConfig);
  }
  EXPECT_FALSE(form->replaying());
  EXPECT_EQ(form->frontend().player().PlayAs, 1);
  EXPECT_EQ(QDir(documents.path() + QStringLiteral("/rtsdemo")).entryList(QDir::Files).size(), 1);

  Choose(*form, {"NewMatch"});
  Ticks(*form, 5);
  QTest::mouseClick(Child<QWidget>(*form, "CheckBox2"), Qt::LeftButton, {}, QPoint(5, 8));
  EXPECT_TRUE(form->controls().Checked(2));
}

TEST_F(GameMenu, TheEndOfAMatchAndItsChoices) {
  auto form = Open(0);
  form->Press(1);
  form->Press(2);
  Ticks(*form, 30);
  Wipe(*form, 1);
  QDialog* box = EndBox(*form);
  ASSERT_TRUE(box);
  EXPECT_EQ(Child<QLabel>(*box, "MatchEndTitle")->text(), QStringLiteral("Победа"));
  EXPECT_NE(Child<QLabel>(*box, "MatchEndFigures")
                ->text()
                .indexOf(QLatin1String("Frames of the match: 31")),
            -1);
  EXPECT_TRUE(form->pace().paused());
  const uint64_t decided = form->frontend().state().Frames;
  Ticks(*form, 5);
  EXPECT_EQ(form->frontend().state().Frames, decided);  // stopped while it shows

  QTest::mouseClick(Child<QPushButton>(*box, "EndKeepWatching"), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return !EndBox(*form); }, 500) || !form->pace().paused());
  EXPECT_FALSE(form->pace().paused());
  Ticks(*form, 5);
  EXPECT_EQ(form->frontend().state().Frames, decided + 5);

  // The next match: side 0 is wiped out; its replay, then a new match from the box.
  Choose(*form, {"NewMatch"});
  Ticks(*form, 10);
  Wipe(*form, 0);
  box = EndBox(*form);
  ASSERT_TRUE(box);
  EXPECT_EQ(Child<QLabel>(*box, "MatchEndTitle")->text(), QStringLiteral("Поражение"));
  const std::string atEnd = Hash(*form);
  const QSize view = Child<QWidget>(*form, "Panel3")->size();
  const int height = form->height();
  QTest::mouseClick(Child<QPushButton>(*box, "EndWatchReplay"), Qt::LeftButton);
  ASSERT_TRUE(form->replaying());
  // The viewer's timeline, as --replay has it: the window grows by it, the view keeps its size.
  auto* timeline = Child<QWidget>(*form, "Timeline");
  EXPECT_TRUE(WaitFor([&] { return timeline->isVisible() && form->height() == height + 22; }))
      << form->height() << " after " << height;
  EXPECT_EQ(Child<QWidget>(*form, "Panel3")->size(), view);
  EXPECT_EQ(timeline->geometry().top(), Child<QWidget>(*form, "Panel3")->geometry().bottom() + 1);
  ASSERT_TRUE(WaitFor(
      [&] {
        form->TimerDraw();
        return form->replayEnded();
      },
      10000));
  EXPECT_EQ(Hash(*form), atEnd);
  EXPECT_EQ(form->frontend().state().Frames, 11u);

  Choose(*form, {"NewMatch"});
  EXPECT_FALSE(form->replaying());
  EXPECT_TRUE(WaitFor([&] { return !timeline->isVisible() && form->height() == height; }));
  EXPECT_EQ(Child<QWidget>(*form, "Panel3")->size(), view);
  Wipe(*form, 1);
  box = EndBox(*form);
  ASSERT_TRUE(box);
  QTest::mouseClick(Child<QPushButton>(*box, "EndNewMatch"), Qt::LeftButton);
  EXPECT_EQ(form->frontend().state().Frames, 0u);
  EXPECT_FALSE(form->pace().paused());
  EXPECT_EQ(form->match().winner(), -1);
}

// The points of the first line of a chart tab.
qsizetype Points(QTabWidget& tabs, const char* page) {
  auto* view = tabs.findChild<QChartView*>(QString::fromLatin1(page));
  if (!view || view->chart()->series().empty()) return -1;
  return static_cast<QLineSeries*>(view->chart()->series().front())->count();
}

// Each chart tab of the end of a match, then the viewer's charts at a frame sought to; the
// opponent chosen by name for the next match.
TEST_F(GameMenu, TheMatchInChartsAtItsEndAndInTheViewerAndTheOpponentByName) {
  auto form = Open(0);
  form->Press(1);
  form->Press(2);
  Ticks(*form, 1200);
  Wipe(*form, 1);
  QDialog* box = EndBox(*form);
  ASSERT_TRUE(box);
  auto* tabs = Child<QTabWidget>(*box, "MatchCharts");
  ASSERT_EQ(tabs->count(), 6);
  for (int i = 0; i < tabs->count(); ++i) {
    tabs->setCurrentIndex(i);
    EXPECT_TRUE(WaitFor([&] { return tabs->currentWidget()->isVisible(); }));
  }
  for (const char* page : {"ChartsEconomy", "ChartsForces", "ChartsArmy", "ChartsKills"})
    EXPECT_EQ(Points(*tabs, page), 13) << page;                         // 0 s to 12 s
  EXPECT_GE(Child<QTableWidget>(*box, "ChartsByType")->rowCount(), 2);  // at least the losses
  if (const char* dir = std::getenv("RTS_SHOT_DIR")) {
    tabs->setCurrentIndex(1);
    QCoreApplication::processEvents();
    box->grab().save(QString::fromLatin1(dir) + QStringLiteral("/charts.png"));
  }

  QTest::mouseClick(Child<QPushButton>(*box, "EndWatchReplay"), Qt::LeftButton);
  ASSERT_TRUE(form->replaying());
  ASSERT_TRUE(form->session().viewer().Seek(form->match().startFrame() + 550));
  Choose(*form, {"MatchCharts"});
  QDialog* charts = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    charts = form->findChild<QDialog*>(QStringLiteral("ChartsBox"));
    return charts && charts->isVisible();
  }));
  EXPECT_EQ(Points(*Child<QTabWidget>(*charts, "MatchCharts"), "ChartsArmy"), 6);  // 0 s to 5 s
  charts->close();

  Choose(*form, {"NewMatch"});
  ASSERT_FALSE(form->replaying());
  Choose(*form, {"NewMatchAgainst", "OpponentEasy"});
  ASSERT_NE(form->frontend().scripts(), nullptr);
  EXPECT_TRUE(form->frontend().scripts()->Has(1));
  EXPECT_FALSE(form->frontend().scripts()->Has(0));
  EXPECT_EQ(form->frontend().state().Frames, 0u);
  Choose(*form, {"NewMatchAgainst", "OpponentStandard"});
  EXPECT_FALSE(form->frontend().scripts()->Has(1));
}

}  // namespace
