// The window's network match: the game menu's host and join entries with their dialogs answered
// by the test, and the chat line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/script.h"
#include "app/state_hash.h"
#include "form_widgets.h"
#include "gui_app.h"
#include "net/net_peer.h"
#include "qt/form.h"
#include "qt/view.h"

namespace {

class NetMenu : public testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(cwd_), 0); }
  std::unique_ptr<TForm1> Open() {
    FormOptions options;
    options.seed = 7;
    options.answerAtOnce = true;
    options.runTimer = false;
    options.mute = true;
    auto form = std::make_unique<TForm1>(options);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->FormCreate();
    return form;
  }
  // The game menu's entry, triggered as a click would.
  static bool Trigger(TForm1& form, const char* name) {
    form.ShowGameMenu();
    auto* menu = form.findChild<QMenu*>(QStringLiteral("GameMenu"));
    if (!menu) return false;
    for (QAction* a : menu->actions()) {
      if (a->objectName() == QLatin1String(name) && a->isEnabled()) {
        a->trigger();
        menu->close();
        return true;
      }
    }
    menu->close();
    return false;
  }
  char cwd_[4096] = {};
};

// A join from the window that reaches nobody: a box says why, and its OK ends the program with
// the match's status, leaving no window over a black view.
TEST_F(NetMenu, AFailedJoinEndsTheProgramWithItsStatusOnceTheBoxIsRead) {
  FormOptions options;
  options.seed = 7;
  options.runTimer = false;
  options.mute = true;
  NetOptions net;
  net.kind = NetOptions::Kind::Join;
  net.address = "127.0.0.1";
  net.port = static_cast<uint16_t>(20001 + getpid() % 30000);
  net.timeout = 1;
  net.window = true;
  options.net = net;
  TForm1 form(options);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.FormCreate();
  QMessageBox* box = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        form.TimerDraw();
        box = form.findChild<QMessageBox*>(QStringLiteral("NetFailedBox"));
        return box && box->isVisible();
      },
      10000));
  EXPECT_NE(box->text().indexOf(QStringLiteral("cannot reach 127.0.0.1:")), -1)
      << box->text().toStdString();
  EXPECT_FALSE(form.exiting());
  QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  EXPECT_TRUE(WaitFor([&] { return form.exiting(); }));
  EXPECT_EQ(form.exitCode(), 4);
  // The exit asked for would end the next event loop of this test program at once: a loop
  // of its own takes it.
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

TEST_F(NetMenu, HostAndJoinStartTheMatchInANewProgramWithTheAnswers) {
  auto form = Open();
  QStringList launched;
  form->SetLauncher([&](const QStringList& args) {
    launched = args;
    return true;
  });
  // Cancelled: nothing starts, the window stays.
  form->SetNetChooser([](bool) { return QStringList(); });
  ASSERT_TRUE(Trigger(*form, "HostNetwork"));
  EXPECT_TRUE(launched.isEmpty());
  EXPECT_TRUE(form->isVisible());
  // Start the network match is only for a host waiting for players.
  EXPECT_FALSE(Trigger(*form, "StartNetwork"));

  bool asked = true;
  form->SetNetChooser([&](bool host) {
    asked = host;
    return QStringList{"--join", "127.0.0.1:7400", "--watch"};
  });
  ASSERT_TRUE(Trigger(*form, "JoinNetwork"));
  EXPECT_FALSE(asked);
  EXPECT_EQ(launched, (QStringList{"--join", "127.0.0.1:7400", "--watch", "--mute"}));
  WaitFor([&] { return !form->isVisible(); });
  EXPECT_FALSE(form->isVisible());
}

// What the screen shows of the view (the X server's picture, windows stacked over it included):
// how many of its pixels are not black.
int LitPixelsOnScreen(QWidget& view) {
  const QPoint at = view.mapToGlobal(QPoint(0, 0));
  const QImage shot = QGuiApplication::primaryScreen()
                          ->grabWindow(0, at.x(), at.y(), view.width(), view.height())
                          .toImage();
  int lit = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) lit += (shot.pixel(x, y) & 0xffffff) != 0;
  return lit;
}

TEST_F(NetMenu, TheChatLineOpenedAndClosedLeavesTheViewOnScreen) {
  FormOptions options;
  options.seed = 7;
  options.answerAtOnce = true;
  options.mute = true;
  options.scripted = true;
  NetOptions net;
  net.port = static_cast<uint16_t>(20000 + (getpid() + 11) % 30000);
  net.players = 1;
  net.timeout = 5;
  options.net = net;
  TForm1 form(options);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.FormCreate();
  auto* view = Child<QWidget>(form, "Panel3");
  auto* button2 = Child<QPushButton>(form, "Button2");
  ASSERT_TRUE(WaitFor([&] { return form.frontend().state().Frames > 30; }));
  QTest::mouseClick(button2, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return !button2->isEnabled(); }));
  ASSERT_TRUE(WaitFor([&] { return LitPixelsOnScreen(*view) > 100; }));
  const int before = LitPixelsOnScreen(*view);
  // The banner says which side this window plays.
  EXPECT_NE(Child<QLabel>(form, "Panel1")->text().indexOf(QStringLiteral("You play side 0")), -1)
      << Child<QLabel>(form, "Panel1")->text().toStdString();

  QTest::keyClick(Child<GlView>(form, "View"), Qt::Key_Return);
  ASSERT_NE(form.chatLine(), nullptr);
  ASSERT_TRUE(WaitFor([&] { return form.chatLine()->isVisible(); }));
  QTest::keyClick(form.chatLine(), Qt::Key_Escape);
  EXPECT_FALSE(form.chatLine()->isVisible());
  const uint64_t frames = form.frontend().state().Frames;
  ASSERT_TRUE(WaitFor([&] { return form.frontend().state().Frames > frames + 30; }));
  EXPECT_GT(LitPixelsOnScreen(*view), before / 2);
  form.close();
}

// Three windows of one network match: each player's fog shows all of its own side and not all
// of the other's; a late observer sees everything or a side's sight, with both sides' strip;
// the match stays in sync.
TEST_F(NetMenu, EachPlayerSeesOnlyItsSideAndTheMatchStaysInSync) {
  const uint16_t port = static_cast<uint16_t>(20000 + (getpid() + 23) % 30000);
  auto open = [&](NetOptions::Kind kind, bool watch = false) {
    FormOptions options;
    options.seed = 7;
    options.answerAtOnce = true;
    options.mute = true;
    NetOptions net;
    net.kind = kind;
    net.address = "127.0.0.1";
    net.port = port;
    net.timeout = 10;
    net.window = true;
    net.watch = watch;
    options.net = net;
    auto form = std::make_unique<TForm1>(options);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->FormCreate();
    return form;
  };
  auto host = open(NetOptions::Kind::Host);
  auto join = open(NetOptions::Kind::Join);
  ASSERT_TRUE(WaitFor([&] { return host->net()->started() && join->net()->started(); }, 10000));
  host->Press(2);
  // Past three of the match's hash checks.
  ASSERT_TRUE(WaitFor(
      [&] {
        return host->frontend().state().Frames > 350 && join->frontend().state().Frames > 350;
      },
      20000));
  // A late observer sees everything, or a side's sight by V, and the strip of both sides.
  auto watch = open(NetOptions::Kind::Join, true);
  ASSERT_TRUE(WaitFor(
      [&] {
        return watch->net()->started() && watch->frontend().local() == Frontend::kWatching &&
               watch->frontend().state().Frames > 360;
      },
      20000));
  EXPECT_EQ(watch->frontend().FogSide(), -1);
  // Three windows have a view each: the key goes to this one's window.
  QTest::keyClick(watch.get(), Qt::Key_V);
  EXPECT_EQ(watch->frontend().FogSide(), 0);
  EXPECT_NE(Child<QLabel>(*watch, "Panel1")->text().indexOf(QStringLiteral("army ")), -1)
      << Child<QLabel>(*watch, "Panel1")->text().toStdString();
  // Paused, all stand at the same frame.
  host->net()->SetPace(true, host->pace().speed());
  ASSERT_TRUE(WaitFor(
      [&] {
        return host->pace().paused() && join->pace().paused() && watch->pace().paused() &&
               host->frontend().state().Frames == join->frontend().state().Frames &&
               watch->frontend().state().Frames == join->frontend().state().Frames;
      },
      10000));
  EXPECT_FALSE(host->net()->ended()) << host->net()->Status();
  EXPECT_FALSE(join->net()->ended()) << join->net()->Status();
  EXPECT_FALSE(watch->net()->ended()) << watch->net()->Status();
  EXPECT_EQ(StateHash(host->frontend()), StateHash(watch->frontend()));
  ASSERT_EQ(host->frontend().FogSide(), 0);
  ASSERT_EQ(join->frontend().FogSide(), 1);
  // Every object the host sees of side 1 the joiner sees too, and some the host does not.
  const World& world = join->frontend().world();
  int hidden = 0;
  for (int32_t i = 0; i < static_cast<int32_t>(world.Objects.size()); ++i) {
    const TObyekt& object = world.Objects[static_cast<size_t>(i)];
    if ((object.Side != 0 && object.Side != 1) || !IsAlive(object)) continue;
    Frontend& own = object.Side == 0 ? host->frontend() : join->frontend();
    Frontend& other = object.Side == 0 ? join->frontend() : host->frontend();
    EXPECT_TRUE(own.fog().Shows(own.world(), i)) << i;
    hidden += !other.fog().Shows(other.world(), i);
  }
  EXPECT_GT(hidden, 0);
  watch->close();
  host->close();
  join->close();
  // A window closed at the match's end asks the event loop to end: a loop of its own takes it.
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

}  // namespace
