// The camera in the window with real events: the wheel zooms, Tab shows the minimap and a
// click on it moves the view, Home goes back to one's own side.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include "form_widgets.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/view.h"

namespace {

void Wheel(GlView* view, QPoint at, int angle) {
  QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(view, &event);
}

}  // namespace

// Playing side 1 in the 485 x 447 view: its worker at world (-200, -200) starts in the middle.
TEST(CameraWindow, WheelZoomsTabShowsTheMinimapItsClickLooksAndHomeComesBack) {
  GuiApp();
  char cwd[4096] = {};
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
  {
    FormOptions options;
    options.seed = 1;
    options.answerAtOnce = true;
    options.runTimer = false;
    options.start.PlayAs = 1;
    TForm1 form(options);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.FormCreate();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.Press(1);
    QTest::mouseClick(Child<QPushButton>(form, "Button2"), Qt::LeftButton);
    GlView* view = Child<GlView>(form, "View");
    // The level runs: the view takes the keys, Tab included.
    ASSERT_TRUE(WaitFor([&] { return QGuiApplication::focusWindow() == view; }));
    const FrontState& s = form.frontend().state();
    ASSERT_EQ(form.controls().ViewHeight(), 447);
    EXPECT_EQ(s.CameraX, 242.0f + 200.0f);
    EXPECT_EQ(s.CameraY, 223.0f + 200.0f);

    // Two steps in about view pixel (100, 100), one out.
    Wheel(view, QPoint(100, 100), 240);
    EXPECT_EQ(form.frontend().zoom(), 2.0f);
    Wheel(view, QPoint(100, 100), -120);
    EXPECT_FLOAT_EQ(form.frontend().zoom(), 1.41421356f);
    Wheel(view, QPoint(100, 100), -120);
    EXPECT_EQ(form.frontend().zoom(), 1.0f);
    EXPECT_NEAR(s.CameraX, 442.0f, 1e-3);

    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(300, 200));  // the view takes the keys
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_TRUE(form.session().view().minimapShown());
    form.TimerDraw();
    if (form.hasGL()) {
      const QColor frame = form.GrabView().pixelColor(3, 447 - 1 - 50);  // the square's border
      EXPECT_GT(frame.red(), 100);
      EXPECT_EQ(frame.red(), frame.green());
    }
    // The middle of the 149-pixel square is the middle of the ground, world (16, 16).
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(78, 447 - 1 - 78));
    EXPECT_NEAR(242.0f - s.CameraX, 16.0f, 4.0f);
    EXPECT_NEAR(223.0f - s.CameraY, 16.0f, 4.0f);

    QTest::keyClick(view, Qt::Key_Home);
    const TObyekt& worker = form.frontend().world().Objects[1];
    EXPECT_EQ(s.CameraX, 242.0f - std::round(worker.X));
    EXPECT_EQ(s.CameraY, 223.0f - std::round(worker.Y));
  }
  ASSERT_EQ(chdir(cwd), 0);
}
