// The window on a HiDPI screen (QT_SCALE_FACTOR=2): one world unit per logical pixel, drawn at
// device resolution with crisp pixel art, the mouse in logical pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <clocale>

#include "../gui/form_widgets.h"
#include "qt/form.h"
#include "qt/view.h"
#include "util/bmp.h"

namespace {

constexpr int kScale = 2;

// Non-black pixels of the picture in the square of half side r around device pixel (x, y),
// y from the top.
int Lit(const QImage& picture, int x, int y, int r) {
  int lit = 0;
  for (int j = y - r; j <= y + r; ++j)
    for (int i = x - r; i <= x + r; ++i)
      if (picture.valid(i, j) && (picture.pixel(i, j) & 0xFFFFFF) != 0) ++lit;
  return lit;
}

TEST(HiDpi, ObjectDrawnAtTwiceItsPositionAndPickedThere) {
  FormOptions options;
  options.seed = 1;
  options.answerAtOnce = true;
  options.runTimer = false;
  options.keepFrames = true;
  TForm1 form(options);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.FormCreate();
  ASSERT_TRUE(form.hasGL());
  ASSERT_DOUBLE_EQ(form.controls().ViewPixelRatio(), kScale);

  Child<QPushButton>(form, "Button1")->click();
  Child<QPushButton>(form, "Button2")->click();
  ASSERT_FALSE(Child<QPushButton>(form, "Button2")->isEnabled()) << "the data did not load";
  // The first frame of the level draws the objects where they were spawned.
  const TObyekt worker = form.frontend().world().Objects.at(0);
  ASSERT_EQ(worker.X, 200);
  ASSERT_EQ(worker.Y, 200);
  form.TimerDraw();

  const int w = form.controls().ViewWidth(), h = form.controls().ViewHeight();
  const QImage picture = form.lastFrame();
  ASSERT_EQ(picture.size(), QSize(w * kScale, h * kScale));  // the screenshot's resolution
  const FrontState& s = form.frontend().state();
  const int lx = static_cast<int>(worker.X + s.CameraX);
  const int ly = h - static_cast<int>(worker.Y + s.CameraY);  // logical, from the top
  EXPECT_GT(Lit(picture, lx * kScale, ly * kScale, 8), 40);
  // Drawn at 1x, the worker would sit at its logical position in device pixels.
  EXPECT_EQ(Lit(picture, lx, ly + h, 8), 0);

  // Nearest filtering at twice the size: the sprite's texels are whole 2 x 2 blocks.
  const int x0 = (lx - 16) * kScale, y0 = (ly - 16) * kScale;
  int blocks = 0, uneven = 0;
  for (int y = y0; y < y0 + 64; y += 2)
    for (int x = x0; x < x0 + 64; x += 2) {
      const QRgb c = picture.pixel(x, y);
      if ((c & 0xFFFFFF) == 0) continue;
      ++blocks;
      if (picture.pixel(x + 1, y) != c || picture.pixel(x, y + 1) != c ||
          picture.pixel(x + 1, y + 1) != c)
        ++uneven;
    }
  EXPECT_GT(blocks, 20);
  EXPECT_EQ(uneven, 0);

  // The mouse over the worker where it is drawn, in logical pixels of the view, picks it.
  QTest::mouseMove(Child<GlView>(form, "View"), QPoint(lx, ly));
  QCoreApplication::processEvents();
  EXPECT_EQ(s.MouseX, lx);
  EXPECT_EQ(s.MouseY, h - ly);
  form.TimerDraw();
  EXPECT_EQ(s.HoverIndex, 0);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale));
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  SetDataFolder(RTS_SOURCE_DIR "/data");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
