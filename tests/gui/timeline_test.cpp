// The replay viewer's timeline and seek keys, with real key and mouse events: each lands on
// the frame it names with the state of playing straight there.
#include "app/timeline.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QMouseEvent>
#include <QTest>
#include <filesystem>

#include "app/replay.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "form_widgets.h"
#include "gui_app.h"
#include "qt/form.h"
#include "qt/timeline.h"
#include "qt/view.h"

namespace {

class TimelineKeys : public testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr);
    ASSERT_EQ(chdir(RTS_SOURCE_DIR "/data"), 0);
    file_ = std::filesystem::temp_directory_path() /
            ("rts_timeline_" + std::to_string(getpid()) + ".txt");
  }
  void TearDown() override {
    ASSERT_EQ(chdir(cwd_), 0);
    std::filesystem::remove(file_);
  }

  // A headless match of 3000 frames, recorded; the hash after every frame.
  std::vector<uint64_t> Record() {
    RecordingPlatform platform;
    platform.fixedSeed = 8;
    HeadlessHost host(platform);
    std::string error;
    EXPECT_TRUE(host.inputs().Record(file_.string(), error)) << error;
    host.Press(1);
    host.Press(2);
    std::vector<uint64_t> hashes{StateHash(host.frontend())};
    for (int f = 0; f < 3000; ++f) {
      host.Tick();
      hashes.push_back(StateHash(host.frontend()));
    }
    host.inputs().Close();
    return hashes;
  }

  char cwd_[4096] = {};
  std::filesystem::path file_;
};

}  // namespace

TEST_F(TimelineKeys, ClicksDragsAndEveryKeySeek) {
  const std::vector<uint64_t> straight = Record();
  FormOptions options;
  options.answerAtOnce = true;
  options.scripted = true;
  options.runTimer = false;
  options.start.ReplayName = file_.string();
  TForm1 form(options);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  auto* view = Child<GlView>(form, "View");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
  form.FormCreate();
  auto* bar = Child<Timeline>(form, "Timeline");
  ASSERT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->y(), form.height() - Timeline::kHeight);

  auto frame = [&] { return form.frontend().state().Frames; };
  auto at = [&](uint64_t f) {
    EXPECT_EQ(frame(), f);
    if (f == 0) return frame() == 0;  // before the recording's first line
    return f <= 3000 && StateHash(form.frontend()) == straight[f];
  };
  form.TimerDraw();  // opens the recording, then plays its first frame
  EXPECT_TRUE(at(1));
  ASSERT_NE(form.session().viewer().player(), nullptr);
  EXPECT_EQ(form.session().viewer().player()->length(), 3000u);

  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    uint64_t frame;
  } keys[] = {
      {Qt::Key_End, Qt::NoModifier, 3000},      {Qt::Key_Left, Qt::ControlModifier, 2000},
      {Qt::Key_Left, Qt::ShiftModifier, 1900},  {Qt::Key_Comma, Qt::NoModifier, 1899},
      {Qt::Key_Right, Qt::ShiftModifier, 1999}, {Qt::Key_Right, Qt::ControlModifier, 2999},
      {Qt::Key_Home, Qt::NoModifier, 0},        {Qt::Key_Right, Qt::ShiftModifier, 100},
  };
  for (const auto& k : keys) {
    QTest::keyClick(view, k.key, k.modifiers);
    EXPECT_TRUE(at(k.frame)) << QTest::toString(k.key) << " to " << k.frame;
  }
  // Comma paused the replay; full stop runs one frame on the next tick.
  EXPECT_TRUE(form.pace().paused());
  QTest::keyClick(view, Qt::Key_Period);
  form.TimerDraw();
  EXPECT_TRUE(at(101));
  // N: the next mark's frame, each in turn (both bases stand at one frame).
  std::vector<uint64_t> marked;
  for (const ReplayMark& m : form.session().viewer().player()->marks())
    if (marked.empty() || marked.back() != m.Frame) marked.push_back(m.Frame);
  ASSERT_GE(marked.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    QTest::keyClick(view, Qt::Key_N);
    EXPECT_TRUE(at(marked[i]));
  }

  // A click on the bar, then a drag along it: the frame under the pointer.
  const int left = 6;
  const int width = bar->width() - 150 - 12;
  const QPoint click(XOfFrame(2400, 3000, left, width), bar->height() / 2);
  QTest::mouseClick(bar, Qt::LeftButton, {}, click);
  const uint64_t clicked = FrameAtX(click.x(), 3000, left, width);
  EXPECT_NEAR(static_cast<double>(clicked), 2400.0, 3000.0 / width);
  EXPECT_TRUE(at(clicked));
  const QPoint to(XOfFrame(700, 3000, left, width), bar->height() / 2);
  QTest::mousePress(bar, Qt::LeftButton, {}, click);
  QMouseEvent drag(QEvent::MouseMove, QPointF(to), bar->mapToGlobal(QPointF(to)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &drag);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
  EXPECT_TRUE(at(FrameAtX(to.x(), 3000, left, width)));

  // Playing on from a seek stays in step with the recording.
  QTest::keyClick(view, Qt::Key_P);
  for (int i = 0; i < 5; ++i) form.TimerDraw();
  EXPECT_TRUE(at(FrameAtX(to.x(), 3000, left, width) + 5));
}
