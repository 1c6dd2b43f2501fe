// The window's keys with real key events: the view takes the keyboard on a click, pause and
// single frames, speeds, arrows, F1, F3, F12, the banner, and the frame rate at x8.
#include "app/keys.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

#include "app/script.h"
#include "app/state_hash.h"
#include "form_widgets.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/translation.h"
#include "qt/view.h"
#include "test_files.h"
#include "util/translate.h"

namespace {

// A window whose frames come from the test (TimerDraw), in the shipped data's folder.
class Keys : public testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(cwd_), 0); }

  std::unique_ptr<TForm1> Open(bool timer = false, bool keepFrames = false) {
    FormOptions options;
    options.seed = 1;
    options.answerAtOnce = true;
    options.runTimer = timer;
    options.keepFrames = keepFrames;
    auto form = std::make_unique<TForm1>(options);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(View(*form)));
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->FormCreate();
    QCoreApplication::processEvents();
    return form;
  }
  static GlView* View(TForm1& form) { return Child<GlView>(form, "View"); }
  static void Level(TForm1& form) {
    form.Press(1);
    form.Press(2);
  }
  static uint64_t Frames(TForm1& form) { return form.frontend().state().Frames; }
  static QString Banner(TForm1& form) { return Child<QLabel>(form, "Panel1")->text(); }
  // A key as the user types it into the view.
  static void Key(TForm1& form, Qt::Key key) { QTest::keyClick(View(form), key); }
  // The hash of the same inputs run headless, `frames` ticks after the level.
  static std::string HeadlessHash(uint64_t frames) {
    RecordingPlatform platform;
    platform.fixedSeed = 1;
    HeadlessHost host(platform);
    std::istringstream in("resize 485 447\npress 1\npress 2\ntick " + std::to_string(frames) +
                          "\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunScript(in, host, out, err), 0) << err.str();
    return HashText(StateHash(host.frontend()));
  }

  char cwd_[4096] = {};
};

}  // namespace

TEST_F(Keys, AClickIntoTheViewGivesItTheKeyboard) {
  auto form = Open();
  Child<QListWidget>(*form, "ListBox1")->setFocus();
  ASSERT_TRUE(WaitFor([&] { return Child<QListWidget>(*form, "ListBox1")->hasFocus(); }));
  QTest::mouseClick(View(*form), Qt::LeftButton, {}, QPoint(100, 100));
  ASSERT_TRUE(WaitFor([&] { return QGuiApplication::focusWindow() == View(*form); }));
  EXPECT_FALSE(Child<QListWidget>(*form, "ListBox1")->hasFocus());
  // The key goes where the keyboard is: the view, which hands it to the window.
  QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_P);
  EXPECT_TRUE(form->pace().paused());
  // Keys typed into the window itself, with no widget using them, work as well.
  QTest::keyClick(form.get(), Qt::Key_P);
  EXPECT_FALSE(form->pace().paused());
}

TEST_F(Keys, PauseStopsTheFramesAndFullStopRunsOne) {
  auto form = Open();
  Level(*form);
  const uint64_t start = Frames(*form);  // the window's first resize ran one
  for (int i = 0; i < 3; ++i) form->TimerDraw();
  EXPECT_EQ(Frames(*form), start + 3);
  Key(*form, Qt::Key_P);
  EXPECT_NE(Banner(*form).indexOf(QStringLiteral("paused")), -1) << Banner(*form).toStdString();
  for (int i = 0; i < 5; ++i) form->TimerDraw();
  EXPECT_EQ(Frames(*form), start + 3);
  Key(*form, Qt::Key_Period);
  form->TimerDraw();
  form->TimerDraw();
  EXPECT_EQ(Frames(*form), start + 4);
  // A resize still runs its one frame while paused.
  form->resize(form->width() + 20, form->height());
  EXPECT_TRUE(WaitFor([&] { return Frames(*form) == start + 5; }));
  // The Pause key resumes as P does.
  Key(*form, Qt::Key_Pause);
  form->TimerDraw();
  EXPECT_EQ(Frames(*form), start + 6);
  EXPECT_EQ(Banner(*form).indexOf(QStringLiteral("paused")), -1);
}

TEST_F(Keys, PlusAndMinusSetTheSpeedAndFastFramesMatchNormalOnes) {
  auto form = Open();
  ASSERT_EQ(Frames(*form), 1u);  // the window's first resize
  Level(*form);
  for (int i = 0; i < 3; ++i) Key(*form, Qt::Key_Plus);
  EXPECT_EQ(form->pace().SpeedText(), "x8");
  EXPECT_NE(Banner(*form).indexOf(QStringLiteral("x8")), -1);
  for (int i = 0; i < 25; ++i) form->TimerDraw();
  EXPECT_EQ(Frames(*form), 201u);
  // Frames run eight to a tick, seven of them not drawn, leave the state one by one leaves.
  EXPECT_EQ(HashText(StateHash(form->frontend())), HeadlessHash(200));

  for (int i = 0; i < 5; ++i) Key(*form, Qt::Key_Minus);
  EXPECT_EQ(form->pace().SpeedText(), "x1/4");
  for (int i = 0; i < 8; ++i) form->TimerDraw();
  EXPECT_EQ(Frames(*form), 203u);
  QTest::keyClick(View(*form), Qt::Key_Equal);  // + without the shift key
  EXPECT_EQ(form->pace().SpeedText(), "x1/2");
  for (int i = 0; i < 4; ++i) form->TimerDraw();
  EXPECT_EQ(Frames(*form), 205u);
}

TEST_F(Keys, ArrowsMoveTheCameraWhileHeldUnlessAWidgetUsesThem) {
  auto form = Open();
  Level(*form);
  const FrontState& s = form->frontend().state();
  QTest::keyPress(View(*form), Qt::Key_Left);
  QTest::keyPress(View(*form), Qt::Key_Up);
  for (int i = 0; i < 5; ++i) form->TimerDraw();
  QTest::keyRelease(View(*form), Qt::Key_Up);
  form->TimerDraw();
  QTest::keyRelease(View(*form), Qt::Key_Left);
  form->TimerDraw();
  EXPECT_EQ(s.CameraX, 6.0f);
  EXPECT_EQ(s.CameraY, -5.0f);
  QTest::keyPress(View(*form), Qt::Key_Right);
  QTest::keyPress(View(*form), Qt::Key_Down);
  for (int i = 0; i < 2; ++i) form->TimerDraw();
  QTest::keyRelease(View(*form), Qt::Key_Right);
  QTest::keyRelease(View(*form), Qt::Key_Down);
  form->TimerDraw();
  EXPECT_EQ(s.CameraX, 4.0f);
  EXPECT_EQ(s.CameraY, -3.0f);

  // The list box moves its own line with the arrows; the camera stays.
  auto* list = Child<QListWidget>(*form, "ListBox1");
  list->setFocus();
  list->setCurrentRow(0);
  QTest::keyPress(list, Qt::Key_Down);
  form->TimerDraw();
  QTest::keyRelease(list, Qt::Key_Down);
  EXPECT_FALSE(form->frontend().player().ArrowDown);
  EXPECT_EQ(s.CameraY, -3.0f);
  // A focused button leaves the arrows to the window.
  auto* button = Child<QPushButton>(*form, "Button3");
  button->setFocus();
  QTest::keyPress(button, Qt::Key_Left);
  EXPECT_TRUE(form->frontend().player().ArrowLeft);
  QTest::keyRelease(button, Qt::Key_Left);
  EXPECT_FALSE(form->frontend().player().ArrowLeft);

  // Typing into a combo box: the letters and signs are the box's.
  auto* edit = Child<QComboBox>(*form, "ComboBox1")->lineEdit();
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  edit->clear();
  QTest::keyClicks(edit, QStringLiteral("P+-."));
  EXPECT_EQ(edit->text(), QStringLiteral("P+-."));
  EXPECT_FALSE(form->pace().paused());
  EXPECT_EQ(form->pace().SpeedText(), "x1");
}

// M mutes and unmutes, Shift+M and Ctrl+M step the volume; the banner tells, no frame runs.
TEST_F(Keys, MTurnsTheSoundOffAndOnShiftAndCtrlMSetItsVolume) {
  auto form = Open();
  Level(*form);
  const uint64_t start = Frames(*form);
  EXPECT_FALSE(form->sound().muted());
  Key(*form, Qt::Key_M);
  EXPECT_TRUE(form->sound().muted());
  EXPECT_NE(Banner(*form).indexOf(QStringLiteral("Sound off")), -1) << Banner(*form).toStdString();
  Key(*form, Qt::Key_M);
  EXPECT_FALSE(form->sound().muted());
  QTest::keyClick(View(*form), Qt::Key_M, Qt::ShiftModifier);
  QTest::keyClick(View(*form), Qt::Key_M, Qt::ShiftModifier);
  QTest::keyClick(View(*form), Qt::Key_M, Qt::ShiftModifier);
  EXPECT_FLOAT_EQ(form->sound().volume(), 1.0f);
  QTest::keyClick(View(*form), Qt::Key_M, Qt::ControlModifier);
  EXPECT_FLOAT_EQ(form->sound().volume(), 0.9f);
  EXPECT_FALSE(form->sound().muted());
  EXPECT_NE(Banner(*form).indexOf(QStringLiteral("Sound on, volume 90 %")), -1)
      << Banner(*form).toStdString();
  EXPECT_EQ(Frames(*form), start);
}

// F1's box fits the screen (a list taller than it scrolls) and keeps nothing from going on:
// the frames run under it and the window closes with it open.
TEST_F(Keys, F1ListsTheKeys) {
  auto form = Open();
  QTest::keyClick(form.get(), Qt::Key_F1);
  QDialog* box = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    box = form->findChild<QDialog*>(QStringLiteral("KeysBox"));
    return box != nullptr && box->isVisible();
  }));
  const QString text = Child<QLabel>(*box, "KeysText")->text();
  for (const char* key : {"F1", "F3", "F12", "P, Pause", "+, -"}) {
    EXPECT_NE(text.indexOf(QString::fromUtf8(key)), -1) << key;
  }
  const QRect free = form->screen()->availableGeometry();
  EXPECT_TRUE(free.contains(box->frameGeometry())) << box->frameGeometry().height();
  Child<QWidget>(*box, "KeysScroll");  // the list scrolls where the screen is lower than it
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // The frames go on under the box.
  const uint64_t before = Frames(*form);
  form->TimerDraw();
  EXPECT_EQ(Frames(*form), before + 1);
  box->close();
  ASSERT_TRUE(WaitFor([&] { return form->findChild<QDialog*>("KeysBox") == nullptr; }));

  // Closed as the window system closes it, with the box open: both go.
  QCloseEvent close;
  QCoreApplication::sendEvent(form.get(), &close);
  EXPECT_TRUE(close.isAccepted());
  EXPECT_TRUE(WaitFor([&] { return form->findChild<QDialog*>("KeysBox") == nullptr; }));
}

// The read-out names nothing while the cursor is off the view (over the panel); the real
// pointer moves in and out, and leaving is an input the recording keeps.
TEST_F(Keys, LeavingTheViewHoversNothing) {
  auto form = Open();
  Level(*form);
  form->TimerDraw();
  const FrontState& s = form->frontend().state();
  const TObyekt& worker = form->frontend().world().Objects[0];
  const QPoint at(static_cast<int>(worker.X + s.CameraX),
                  form->controls().ViewHeight() - static_cast<int>(worker.Y + s.CameraY));
  QCursor::setPos(View(*form)->mapToGlobal(at));
  ASSERT_TRUE(WaitFor([&] {
    form->TimerDraw();
    return s.HoverIndex == 0;
  }));
  auto* list = Child<QListWidget>(*form, "ListBox1");
  QCursor::setPos(Child<QWidget>(*form, "Panel2")->mapToGlobal(QPoint(60, 300)));
  EXPECT_TRUE(WaitFor([&] {
    form->TimerDraw();
    return s.HoverIndex == -1;
  }));
  EXPECT_TRUE(s.CursorOut);
  EXPECT_EQ(list->findItems(QStringLiteral("Под курсором: -1"), Qt::MatchExactly).size(), 1);
  const std::string hash = HashText(StateHash(form->frontend()));
  QTemporaryDir dir;
  const std::string file = dir.filePath("left.txt").toStdString();
  std::string error;
  ASSERT_TRUE(form->session().inputs().Save(file, error)) << error;
  std::ifstream in(file);
  const std::string recording((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(recording.find("\nleave\n"), std::string::npos);
  EXPECT_NE(recording.find("hash " + hash), std::string::npos);
  // Back in the view, it hovers again.
  QCursor::setPos(View(*form)->mapToGlobal(at));
  EXPECT_TRUE(WaitFor([&] {
    form->TimerDraw();
    return s.HoverIndex == 0;
  }));
  QCursor::setPos(QPoint(2, 2));  // off every window the other tests open
}

// A click in the read-out list leaves the keys with the view: P still pauses.
TEST_F(Keys, AClickInTheReadOutLeavesTheKeysWithTheView) {
  auto form = Open();
  QTest::mouseClick(Child<QPushButton>(*form, "Button1"), Qt::LeftButton);
  QTest::mouseClick(Child<QPushButton>(*form, "Button2"), Qt::LeftButton);
  auto* list = Child<QListWidget>(*form, "ListBox1");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(30, 8));
  EXPECT_NE(QApplication::focusWidget(), list);
  ASSERT_TRUE(QGuiApplication::focusWindow());
  QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_P);
  EXPECT_TRUE(form->pace().paused());
}

// The thoughts are drawn over the picture, above each object; the world does not notice.
TEST_F(Keys, F3WritesTheThoughtsAboveTheObjects) {
  auto form = Open(false, true);
  Level(*form);
  // The cursor away from every object: a hover marker turns with the clock.
  QTest::mouseMove(View(*form), QPoint(240, 5));
  for (int i = 0; i < 30; ++i) form->TimerDraw();
  ASSERT_EQ(form->frontend().state().HoverIndex, -1);
  Key(*form, Qt::Key_P);
  const QImage plain = form->lastFrame().copy();
  const std::string hash = HashText(StateHash(form->frontend()));
  Key(*form, Qt::Key_F3);  // while paused the picture is drawn again at once
  EXPECT_TRUE(form->thoughtsShown());
  const QImage shown = form->lastFrame().copy();
  ASSERT_EQ(plain.size(), shown.size());
  EXPECT_EQ(HashText(StateHash(form->frontend())), hash);
  EXPECT_EQ(Frames(*form), 31u);

  // Every changed pixel lies above some live object, within a few lines of its circle.
  const World& w = form->frontend().world();
  int changed = 0, stray = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (plain.pixel(x, y) == shown.pixel(x, y)) continue;
      ++changed;
      const float wx = static_cast<float>(x) - form->frontend().DrawnCameraX();
      const float wy = static_cast<float>(shown.height() - 1 - y) - form->frontend().DrawnCameraY();
      bool near = false;
      for (const TObyekt& o : w.Objects) {
        const TOpisan* t = TypeOf(w, o);
        const float top = o.Y + (t ? t->Radius : 0);
        if (IsAlive(o) && wy >= top && wy <= top + 40 && std::fabs(wx - o.X) < 120) near = true;
      }
      if (!near) ++stray;
    }
  }
  EXPECT_GT(changed, 100);
  EXPECT_EQ(stray, 0) << changed;

  Key(*form, Qt::Key_F3);
  EXPECT_FALSE(form->thoughtsShown());
  EXPECT_EQ(form->lastFrame(), plain);
  if (HasFailure()) {
    plain.save("/tmp/wt14_plain.png");
    form->lastFrame().save("/tmp/wt14_off.png");
  }
}

TEST_F(Keys, F12SavesThePictureInThePicturesFolder) {
  QTemporaryDir config, pictures;
  std::ofstream(config.filePath("user-dirs.dirs").toStdString())
      << "XDG_PICTURES_DIR=\"" << pictures.path().toStdString() << "\"\n";
  const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  {
    auto form = Open();
    Level(*form);
    for (int i = 0; i < 10; ++i) form->TimerDraw();
    Key(*form, Qt::Key_F12);
    const QString first = form->lastPicture();
    Key(*form, Qt::Key_F12);
    const QString second = form->lastPicture();
    EXPECT_TRUE(first.startsWith(pictures.path() + QStringLiteral("/rtsdemo/")))
        << first.toStdString();
    EXPECT_TRUE(first.endsWith(QStringLiteral(".png")));
    EXPECT_NE(first, second);  // the same second gets a counter
    QImage picture(first);
    EXPECT_EQ(picture.size(), QSize(485, 447));
    EXPECT_EQ(QDir(pictures.path() + QStringLiteral("/rtsdemo")).entryList(QDir::Files).size(), 2);
    EXPECT_NE(Banner(*form).indexOf(second), -1) << Banner(*form).toStdString();
    EXPECT_EQ(Frames(*form), 11u);  // a picture runs no frame
  }
  if (oldConfig.isNull()) {
    qunsetenv("XDG_CONFIG_HOME");
  } else {
    qputenv("XDG_CONFIG_HOME", oldConfig);
  }
}

TEST_F(Keys, TheBannerShowsTheMatchAndItsWinner) {
  auto form = Open();
  EXPECT_EQ(Banner(*form).indexOf(QStringLiteral("Side ")), -1);  // no level yet
  Level(*form);
  form->TimerDraw();
  const QString banner = Banner(*form);
  EXPECT_NE(banner.indexOf(QStringLiteral("Side 0: workers 1, bases 0, $")), -1)
      << banner.toStdString();
  EXPECT_NE(banner.indexOf(QStringLiteral("Side 1: workers 1, bases 0, $")), -1);
  EXPECT_NE(banner.indexOf(QStringLiteral("x1")), -1);
  for (TObyekt& o : form->frontend().world().Objects) {
    if (o.Side == 1) o.Energy[0] = 0;
  }
  form->TimerDraw();
  const uint64_t decided = Frames(*form) - form->match().startFrame();
  form->TimerDraw();
  EXPECT_NE(
      Banner(*form).indexOf(QStringLiteral("Side 0 won at frame %1 of the match").arg(decided)), -1)
      << Banner(*form).toStdString();
}

// Not a check: the frame rate held at x8 on the running level, with and without the thoughts.
TEST_F(Keys, FrameRateAtEightTimes) {
  auto form = Open(true);
  Level(*form);
  for (int i = 0; i < 3; ++i) Key(*form, Qt::Key_Plus);
  QTest::qWait(2000);  // the level fills up a little
  for (bool thoughts : {false, true}) {
    if (thoughts != form->thoughtsShown()) Key(*form, Qt::Key_F3);
    const uint64_t before = Frames(*form);
    const auto start = std::chrono::steady_clock::now();
    QTest::qWait(3000);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double rate = static_cast<double>(Frames(*form) - before) / seconds;
    std::cout << "x8" << (thoughts ? " with F3" : "") << ": " << rate << " frames/s, "
              << form->frontend().world().Objects.size() << " objects\n";
    RecordProperty(thoughts ? "x8_f3_frames_per_second" : "x8_frames_per_second",
                   std::to_string(rate));
    EXPECT_GT(Frames(*form), before);
  }
}

// Under a Russian locale our own texts read Russian; the texts the rules fix stay as they are.
TEST_F(Keys, RussianLocaleTranslatesOurTexts) {
  ASSERT_TRUE(InstallTranslation(QLocale(QLocale::Russian, QLocale::Russia)));
  for (const KeyHelp& k : KeyHelpLines()) {
    EXPECT_NE(Tr("keys", k.English.c_str()), k.English) << k.English;
    // Key names in words are translated too; "F1" or "+, -" stay as they are.
    if (k.Key.find("ck") != std::string::npos || k.Key == "Arrows") {
      EXPECT_NE(Tr("keys", k.Key.c_str()), k.Key) << k.Key;
    }
  }
  // Every text the code hands to Tr has its translation.
  for (const char* file :
       {"/src/app/match_state.cpp", "/src/app/session.cpp", "/src/app/script.cpp",
        "/src/qt/form.cpp", "/src/qt/menu.cpp", "/src/app/window_core.cpp",
        "/src/app/window_input.cpp", "/src/app/window_start.cpp", "/src/app/card_face.cpp",
        "/src/app/stats_charts.cpp", "/src/app/session_frames.cpp"}) {
    const std::string text = ReadAll(std::string(RTS_SOURCE_DIR) + file);
    const std::regex call(R"re(Tr\("(\w+)",\s*"((?:[^"\\]|\\.)*)"\s*(?:"((?:[^"\\]|\\.)*)")?)re");
    for (auto m = std::sregex_iterator(text.begin(), text.end(), call); m != std::sregex_iterator();
         ++m) {
      const std::string english = (*m)[2].str() + (*m)[3].str();
      EXPECT_NE(Tr((*m)[1].str().c_str(), english.c_str()), english) << file << ": " << english;
    }
  }
  auto form = Open();
  Level(*form);
  form->TimerDraw();
  EXPECT_NE(Banner(*form).indexOf(QStringLiteral("Сторона 0: рабочих 1, баз 0, $")), -1)
      << Banner(*form).toStdString();
  EXPECT_EQ(Child<QPushButton>(*form, "Button1")->text(), QStringLiteral("ДАННЫЕ ЗАГРУЖЕНЫ"));
  InstallTranslation(QLocale(QLocale::English));
  EXPECT_EQ(Tr("banner", ", paused"), ", paused");
}
