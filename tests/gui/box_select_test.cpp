// Box selection and control groups in the window with real mouse and key events.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QTest>
#include <cmath>

#include "form_widgets.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/view.h"

namespace {

std::vector<int> Selected(TForm1& form) {
  std::vector<int> out;
  const auto& objects = form.frontend().world().Objects;
  for (size_t i = 0; i < objects.size(); ++i)
    if (objects[i].Selected) out.push_back(static_cast<int>(i));
  return out;
}

bool White(const QImage& picture, int x, int y) {
  return picture.pixelColor(x, y) == QColor(255, 255, 255);
}

}  // namespace

// The level's worker of side 0 stands at world (200, 200): view pixel (200, 247) in the
// 485 x 447 view.
TEST(BoxSelectWindow, ADragDrawsItsBoxSelectsOnReleaseAndGroupsRecall) {
  GuiApp();
  char cwd[4096] = {};
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
  {
    FormOptions options;
    options.seed = 1;
    options.answerAtOnce = true;
    options.runTimer = false;
    TForm1 form(options);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.FormCreate();
    form.Press(1);
    form.Press(2);
    GlView* view = Child<GlView>(form, "View");
    ASSERT_EQ(form.controls().ViewHeight(), 447);

    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(150, 200));
    QTest::mouseMove(view, QPoint(300, 300));
    form.TimerDraw();
    if (form.hasGL()) {
      const QImage picture = form.GrabView();
      EXPECT_TRUE(White(picture, 150, 260));  // the left edge
      EXPECT_TRUE(White(picture, 220, 300));  // the bottom edge
      EXPECT_FALSE(White(picture, 160, 260));
    }
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(Selected(form), std::vector<int>{0});
    if (form.hasGL()) {
      EXPECT_FALSE(White(form.GrabView(), 150, 260));  // gone with the drag
    }

    QTest::keyClick(view, Qt::Key_1, Qt::ControlModifier);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(400, 50));  // empty ground
    form.TimerDraw();
    EXPECT_EQ(Selected(form), std::vector<int>{});
    QTest::keyClick(view, Qt::Key_1);
    EXPECT_EQ(Selected(form), std::vector<int>{0});
    QTest::keyClick(view, Qt::Key_1);  // at once again: the view centres on the worker
    const TObyekt& worker = form.frontend().world().Objects[0];  // the computer walks it
    EXPECT_EQ(form.frontend().state().CameraX, 242.0f - std::round(worker.X));
    EXPECT_EQ(form.frontend().state().CameraY, 223.0f - std::round(worker.Y));
  }
  ASSERT_EQ(chdir(cwd), 0);
}
