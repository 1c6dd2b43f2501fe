// The window's conveniences around the frame: keys, pause and speed, the banner, pictures of
// the view, the thoughts overlay and the replay viewer.
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QStandardPaths>
#include <iostream>

#include "app/keys.h"
#include "app/texts.h"
#include "qt/form.h"
#include "qt/view.h"

namespace {

// Eats the user's mouse on a widget (the command panel while a recording plays).
class InputBlocker : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
        return true;
      default:
        return false;
    }
  }
};

int NextPowerOfTwo(int v) {
  int p = 1;
  while (p < v) p *= 2;
  return p;
}

// White glyphs of the 256 Windows-1251 bytes, coverage in alpha, 16 x 16 cells.
Image GlyphPicture(int& cellWidth, int& cellHeight) {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setPixelSize(10);
  font.setStyleHint(QFont::Monospace);
  const QFontMetrics metrics(font);
  cellWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
  cellHeight = std::max(1, metrics.height());
  const int w = NextPowerOfTwo(cellWidth * 16);
  const int h = NextPowerOfTwo(cellHeight * 16);
  QImage picture(w, h, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  {
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (int b = 32; b < 256; ++b) {
      const QString text = ToQt(std::string(1, static_cast<char>(b)));
      const QRect cell((b % 16) * cellWidth, (b / 16) * cellHeight, cellWidth, cellHeight);
      painter.drawText(cell, Qt::AlignCenter, text);
    }
  }
  const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
  Image image;
  image.Width = w;
  image.Height = h;
  image.Pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  for (int y = 0; y < h; ++y) {
    std::copy_n(rgba.constScanLine(y), static_cast<size_t>(w) * 4,
                image.Pixels.begin() + static_cast<ptrdiff_t>(y) * w * 4);
  }
  return image;
}

// A file name not yet taken in `dir`: base.png, else base-2.png, base-3.png, ...
QString FreePictureName(const QDir& dir, const QString& base) {
  QString name = base + QStringLiteral(".png");
  for (int n = 2; dir.exists(name); ++n) name = base + QStringLiteral("-%1.png").arg(n);
  return dir.filePath(name);
}

}  // namespace

void TForm1::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event, true)) QWidget::keyPressEvent(event);
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
  if (!HandleKey(event, false)) QWidget::keyReleaseEvent(event);
}

// A key released while the window was not active never arrives: let go of the arrows.
void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) ReleaseArrows();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_Up:
      case Qt::Key_Down:
        return HandleKey(key, event->type() == QEvent::KeyPress);
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool TForm1::HandleKey(QKeyEvent* event, bool press) {
  struct Arrow {
    int key;
    const char* name;
    bool PlayerInput::*held;
  };
  static const Arrow kArrows[] = {{Qt::Key_Left, "left", &PlayerInput::ArrowLeft},
                                  {Qt::Key_Right, "right", &PlayerInput::ArrowRight},
                                  {Qt::Key_Up, "up", &PlayerInput::ArrowUp},
                                  {Qt::Key_Down, "down", &PlayerInput::ArrowDown}};
  const int key = event->key();
  for (const Arrow& arrow : kArrows) {
    if (key != arrow.key) continue;
    // The recording moves the camera of a replay, not the user.
    if (!event->isAutoRepeat() && !replay_) SetArrow(arrow.name, arrow.held, press);
    event->accept();
    return true;
  }
  const bool repeat = event->isAutoRepeat();
  switch (key) {
    case Qt::Key_P:
    case Qt::Key_Pause:
      if (press && !repeat) pace_.TogglePause();
      break;
    case Qt::Key_Period:
      if (press) pace_.Step();
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      if (press) pace_.Faster();
      break;
    case Qt::Key_Minus:
      if (press) pace_.Slower();
      break;
    case Qt::Key_F1:
      if (press && !repeat) ShowKeys();
      break;
    case Qt::Key_F3:
      if (press && !repeat) {
        thoughts_ = !thoughts_;
        if (pace_.paused()) RedrawView();
      }
      break;
    case Qt::Key_F12:
      if (press && !repeat) SaveScreenshot();
      break;
    default:
      return false;
  }
  event->accept();
  UpdateBanner();
  return true;
}

void TForm1::SetArrow(const char* name, bool PlayerInput::*held, bool on) {
  PlayerInput& player = frontend_->player();
  if (player.*held == on) return;
  Record(std::string("key ") + name + (on ? " on" : " off"));
  player.*held = on;
}

void TForm1::ReleaseArrows() {
  if (replay_) return;
  SetArrow("left", &PlayerInput::ArrowLeft, false);
  SetArrow("right", &PlayerInput::ArrowRight, false);
  SetArrow("up", &PlayerInput::ArrowUp, false);
  SetArrow("down", &PlayerInput::ArrowDown, false);
}

void TForm1::DrawThoughts() {
  if (!thoughts_ || !hasGL_) return;
  if (!atlasTried_) {
    atlasTried_ = true;
    int cellWidth = 0, cellHeight = 0;
    const Image picture = GlyphPicture(cellWidth, cellHeight);
    atlas_.Texture = UploadGlyphAtlas(picture);
    atlas_.Width = picture.Width;
    atlas_.Height = picture.Height;
    atlas_.CellWidth = cellWidth;
    atlas_.CellHeight = cellHeight;
  }
  DrawThoughtLabels(world_, frontend_->DrawnCameraX(), frontend_->DrawnCameraY(), atlas_);
}

void TForm1::RedrawView() {
  if (!created_ || !hasGL_ || !MakeCurrent()) return;
  frontend_->SetDrawing(*drawing_);
  frontend_->Redraw();
  DrawThoughts();
  Present();
}

QImage TForm1::GrabView() {
  if (!created_ || !hasGL_ || !MakeCurrent()) return {};
  frontend_->SetDrawing(*drawing_);
  frontend_->Redraw();
  DrawThoughts();
  const double ratio = controls_.ViewPixelRatio();
  const int w = DevicePixels(controls_.ViewWidth(), ratio);
  const int h = DevicePixels(controls_.ViewHeight(), ratio);
  QImage picture;
  if (w > 0 && h > 0) {
    picture = QImage(w, h, QImage::Format_RGBX8888);
    ReadViewPixels(w, h, picture.bits());
  }
  Present();
  return picture;
}

void TForm1::SaveScreenshot() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty()) folder = QDir::homePath();  // no pictures folder known
  const QDir dir(folder + QStringLiteral("/rtsdemo"));
  if (!dir.mkpath(QStringLiteral("."))) {
    note_ = "Снимок не сохранён: нет папки " + dir.path().toStdString();
    return;
  }
  const QImage picture = GrabView();
  if (picture.isNull()) {
    note_ = "Снимок не сохранён: вид не рисуется";
    return;
  }
  const QString base = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
  const QString path = FreePictureName(dir, base);
  if (!picture.save(path, "PNG")) {
    note_ = "Снимок не сохранён: " + path.toStdString();
    return;
  }
  lastPicture_ = path;
  note_ = "Снимок: " + path.toStdString();
}

void TForm1::ShowKeys() {
  if (keysBox_) return;
  QString text;
  for (const KeyHelp& k : kKeyHelp) {
    text += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;&nbsp;%2</td></tr>")
                .arg(QString::fromUtf8(k.Key).toHtmlEscaped(),
                     QString::fromUtf8(k.Russian).toHtmlEscaped());
  }
  auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Клавиши и мышь"),
                              QStringLiteral("<table>") + text + QStringLiteral("</table>"),
                              QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("KeysBox"));
  box->setTextFormat(Qt::RichText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  keysBox_ = box;
  box->open();  // the frames go on while it is open
}

void TForm1::UpdateBanner() {
  std::string text;
  if (!controls_.ButtonEnabled(2)) {
    text = MatchBanner(match_, pace_.SpeedText(), pace_.paused());
  } else {
    text = kBanner;
    if (pace_.speed() != Pace::kNormal || pace_.paused()) {
      text += "   " + pace_.SpeedText() + (pace_.paused() ? ", пауза" : "");
    }
  }
  if (!note_.empty()) text += "\n" + note_;
  const QString shown = QString::fromUtf8(text);
  if (Panel1->text() != shown) Panel1->setText(shown);
}

void TForm1::BlockUserInput() {
  // The panel takes no focus either, so the keys reach the window.
  auto* blocker = new InputBlocker(this);
  Panel2->installEventFilter(blocker);
  for (QWidget* child : Panel2->findChildren<QWidget*>()) {
    child->installEventFilter(blocker);
    child->setFocusPolicy(Qt::NoFocus);
  }
}

bool TForm1::ReplayFrame(bool show) {
  if (replayEnded_) {
    pace_.SetPaused(true);
    return false;
  }
  ScriptRunner::Result result{ScriptRunner::Stop::End, {}};
  showNext_ = show;
  Guarded([&] { result = replay_->Step(*this, std::cout); });
  showNext_ = true;
  switch (result.stop) {
    case ScriptRunner::Stop::Frame:
      return true;
    case ScriptRunner::Stop::End:
      replayEnded_ = true;
      ReplayStopped({}, "Запись закончилась на кадре " + std::to_string(frontend_->state().Frames) +
                            ": пауза");
      return false;
    case ScriptRunner::Stop::Error:
      replayEnded_ = true;
      ReplayStopped(result.message, "Запись прервана: " + result.message);
      return false;
    case ScriptRunner::Stop::OutOfSync:
      ReplayStopped(result.message, "Расхождение с записью: " + result.message + "; пауза");
      return false;
  }
  return false;
}

void TForm1::ReplayStopped(const std::string& box, const std::string& note) {
  pace_.SetPaused(true);
  note_ = note;
  if (!box.empty()) {
    std::cerr << "rtsdemo: " << box << "\n";
    if (!exiting_) {
      auto* message = new QMessageBox(QMessageBox::Warning, QStringLiteral("rtsdemo"),
                                      QString::fromStdString(box), QMessageBox::Ok, this);
      message->setObjectName(QStringLiteral("ReplayBox"));
      message->setAttribute(Qt::WA_DeleteOnClose);
      message->open();
    }
  }
  UpdateBanner();
}
