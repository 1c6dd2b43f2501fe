#include "qt/form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <iostream>

#include "app/keys.h"
#include "app/replay.h"
#include "app/timeline.h"
#include "net/net_peer.h"
#include "qt/timeline.h"
#include "qt/view.h"
#include "util/translate.h"

namespace {

// The key table's codes are Qt's.
constexpr bool SameKey(int32_t ours, Qt::Key qt) {
  return ours == static_cast<int32_t>(qt);
}
static_assert(SameKey(kKeyEscape, Qt::Key_Escape) && SameKey(kKeyF12, Qt::Key_F12) &&
              SameKey(kKeyLeft, Qt::Key_Left) && SameKey(kKeyPause, Qt::Key_Pause) &&
              SameKey(kKeyEnter, Qt::Key_Enter) && SameKey(kKeyEqual, Qt::Key_Equal) &&
              SameKey('P', Qt::Key_P) && SameKey(kKeyF7, Qt::Key_F7) &&
              SameKey(kKeyDown, Qt::Key_Down) && SameKey(kKeyComma, Qt::Key_Comma));

bool IsArrow(int key) {
  return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

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
      const QRect cell((b % 16) * cellWidth, (b / 16) * cellHeight, cellWidth, cellHeight);
      painter.drawText(cell, Qt::AlignCenter, ToQt(std::string(1, static_cast<char>(b))));
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

void QtPlatform::ShowModal(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::NoIcon, ToQt(caption), ToQt(text), QMessageBox::Ok, owner);
  box.exec();
}

TForm1::TForm1(const FormOptions& options) : options_(options) {
  platform_.owner = this;
  platform_.answerAtOnce = options.answerAtOnce;
  platform_.fixedSeed = options.seed;
  BuildLayout();

  RC = std::make_unique<QOpenGLContext>();
  RC->setFormat(ViewSurfaceFormat());
  hasGL_ = RC->create();
  // Without a context the window still runs: the view stays black, the rules go on.
  if (!hasGL_) std::cerr << "rtsdemo: no OpenGL context; nothing will be drawn\n";
  drawing_ = hasGL_ ? std::make_unique<GlDrawing>() : std::make_unique<Drawing>();
  session_ = std::make_unique<Session>(controls_, platform_, keeping_, *drawing_, *this);
  session_->SetScripted(options_.scripted);
  session_->frontend().SetFogShown(true);  // the window draws the fog of war
  SoundOptions sound;
  sound.muted = options_.mute;
  sound_ = std::make_unique<SoundPlayer>(sound, std::cerr);
  session_->SetListener(sound_.get());
  ConnectInputs();
  UpdateBanner();

  if (!options_.replay.empty() && !options_.replayScript) {
    Script script;
    if (LoadScript(options_.replay, script, std::cerr))
      options_.replayScript = std::move(script);
    else
      Exit(2);
  }
  if (options_.replayScript) {
    session_->StartReplay(std::move(*options_.replayScript));
    if (!options_.resume) EnterViewer();
  }
  std::string error;
  if (!options_.resume && !options_.record.empty() &&
      !session_->StartRecording(options_.record, error)) {
    std::cerr << "rtsdemo: " << error << "\n";
    Exit(2);
  }
  // Kept in memory also without --record: the menu saves them, the end of a match replays them.
  session_->KeepInputs();
}

TForm1::~TForm1() {
  Timer1->stop();
  net_.reset();
  session_->CloseRecording();
  if (RC) {
    RC->doneCurrent();
    session_.reset();
    RC.reset();
  }
}

void TForm1::ConnectInputs() {
  for (QWidget* w : {static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
                     static_cast<QWidget*>(Button3), static_cast<QWidget*>(CheckBox1),
                     static_cast<QWidget*>(CheckBox2)}) {
    w->installEventFilter(this);
  }
  connect(Timer1, &QTimer::timeout, this, &TForm1::TimerFired);
  connect(Button1, &QPushButton::clicked, this,
          [this] { Guarded([&] { session_->Apply(MakeCommand(CommandKind::Press, {1})); }); });
  connect(Button2, &QPushButton::clicked, this, [this] {
    Guarded([&] { session_->Apply(MakeCommand(CommandKind::Press, {2})); });
    // The level runs: the keys (P, Tab, arrows ...) go to the view from now on.
    if (!Button2->isEnabled()) {
      Panel3->setFocus(Qt::OtherFocusReason);
      LookAtLevel();
    }
  });
  connect(View, &GlView::mouseMoved, this, [this](int x, int y) {
    Input(MakeCommand(CommandKind::Move, {x, y}));
  });
  connect(View, &GlView::mouseLeft, this, [this] { Input(MakeCommand(CommandKind::Leave, {})); });
  connect(View, &GlView::mousePressed, this, [this](Frontend::Button button) {
    Input(MakeCommand(CommandKind::Down, {static_cast<int64_t>(button)}));
  });
  connect(View, &GlView::rightPressed, this, [this](bool shift) {
    if (!created_) return;
    const bool hidden = session_->frontend().HiddenUnderCursor();
    Input(RightClickCommand(shift, session_->frontend().WouldRally()));
    if (hidden) Input(MakeCommand(CommandKind::Blind, {}));
  });
  connect(View, &GlView::dragging, this, [this](ViewBox box) {
    if (created_ && !session_->replaying()) Guarded([&] { session_->SetDragBox(box); });
  });
  connect(View, &GlView::dragEnded, this, [this] {
    if (created_) Guarded([&] { session_->SetDragBox(std::nullopt); });
  });
  connect(View, &GlView::boxReleased, this, [this](ViewBox box, bool add) {
    Input(MakeCommand(CommandKind::Box, {box.X1, box.Y1, box.X2, box.Y2, add}));
  });
  connect(View, &GlView::doubleClicked, this, [this](int x, int y) {
    Input(MakeCommand(CommandKind::Same, {x, y}));
  });
  connect(View, &GlView::wheeled, this, [this](int steps, int x, int y) {
    if (created_ && !exiting_ && !session_->busy()) Guarded([&] { session_->Wheel(steps, x, y); });
  });
  View->overMinimap = [this](int x, int y) { return created_ && session_->OverMinimap(x, y); };
  View->onMinimap = [this](int x, int y) {
    if (!created_ || exiting_ || session_->busy()) return;
    // A drag beyond the square keeps to its edge.
    const MinimapLayout m = session_->Minimap();
    const int h = controls_.ViewHeight();
    x = std::clamp(x, m.X, m.X + m.Size - 1);
    y = std::clamp(y, h - m.Y - m.Size, h - 1 - m.Y);
    Guarded([&] { session_->MinimapPress(x, y); });
  };
  connect(View, &GlView::keyPressed, this, [this](QKeyEvent* event) { HandleKey(event, true); });
  connect(View, &GlView::keyReleased, this, [this](QKeyEvent* event) { HandleKey(event, false); });
  int k = 1;
  for (QComboBox* combo : {ComboBox1, ComboBox2, ComboBox3}) {
    connect(combo, &QComboBox::currentIndexChanged, this, [this, k](int index) {
      Input(MakeCommand(CommandKind::Choose, {k, index}));
    });
    ++k;
  }
  k = 1;
  for (QCheckBox* check : {CheckBox1, CheckBox2}) {
    connect(check, &QCheckBox::toggled, this, [this, k](bool on) {
      Input(MakeCommand(CommandKind::Check, {k, on}));
    });
    ++k;
  }
}

void TForm1::Input(const Command& command) {
  // While a recording plays, the user's mouse over the view changes nothing.
  if (!session_ || session_->busy() || session_->replaying() || !created_ || exiting_) return;
  Guarded([&] { session_->Apply(command); });
}

void TForm1::Press(int n) {
  if (exiting_) throw ProgramExit{exitCode_};
  Guarded([&] { session_->Apply(MakeCommand(CommandKind::Press, {n})); });
  if (exiting_) throw ProgramExit{exitCode_};
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutPanels();
  // The context is set up later; FormCreate then runs this resize.
  if (!created_) {
    pendingResize_ = true;
    return;
  }
  ResizeNow();
}

void TForm1::FormCreate() {
  if (created_ || exiting_) return;
  if (hasGL_) {
    if (!View->handle()) View->create();
    if (MakeCurrent()) InitGL();
  }
  session_->Create();
  // In a network match the side is the hub's to give.
  if (options_.playAs && !options_.net)
    session_->Apply(MakeCommand(CommandKind::PlayAs, {*options_.playAs}));
  if (options_.level) session_->Apply(LevelCommand(*options_.level));
  created_ = true;
  if (options_.net) StartNet();
  if (exiting_) return;
  if (!session_->replaying()) session_->KeepLog();
  if (options_.start) Guarded([&] { session_->SeekReplay(*options_.start); });
  if (options_.resume) {
    std::string error;
    bool ok = false;
    Guarded([&] { ok = session_->Resume(options_.record, error); });
    if (!ok && !exiting_) {
      std::cerr << "rtsdemo: " << options_.replay << ": " << error << "\n";
      const bool outOfSync = session_->replay() && session_->replay()->failedFrame();
      Exit(outOfSync ? 3 : 2);
      return;
    }
  }
  if (pendingResize_) {
    pendingResize_ = false;
    ResizeNow();
  } else if (MakeCurrent()) {
    ResizeGL(controls_.ViewWidth(), controls_.ViewHeight(), controls_.ViewPixelRatio());
  }
  ApplyPreferences();
  if (options_.runTimer) Timer1->start();
}

void TForm1::ResizeNow() {
  if (!created_ || exiting_) return;
  if (net_) {
    // The match sees the size once every peer has it: a player's goes as an input.
    Guarded([this] {
      net_->ViewResized(controls_.RealViewWidth(), controls_.RealViewHeight());
      if (!controls_.viewAgreed()) session_->ResizeDrawing();
    });
    UpdateBanner();
    return;
  }
  Guarded([this] { session_->ViewResized(); });
  UpdateBanner();
}

void TForm1::TimerFired() {
  // Screenshots want every tick drawn: then no time is given and a tick runs alone.
  if (options_.keepFrames) return TimerDraw();
  RunTimer(std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
               .count());
}

void TForm1::TimerDraw() {
  RunTimer(std::nullopt);
}

void TForm1::RunTimer(std::optional<int64_t> nowMs) {
  if (!created_ || exiting_) return;
  Guarded([&] {
    session_->Timer(nowMs);
    // An observer's view is its own once it watches.
    if (net_ && controls_.viewAgreed() && net_->started() && !net_->player()) {
      controls_.AgreeViewSize(std::nullopt);
      session_->ResizeDrawing();
    }
  });
  SyncMatchEnd();
  UpdateBanner();
  if (timeline_) timeline_->update();
}

bool TForm1::MakeCurrent() {
  return !hasGL_ || RC->makeCurrent(View);
}

void TForm1::Present() {
  UpdateCard();
  if (!hasGL_) return;
  DrawThoughts();
  if (options_.keepFrames || grab_) {
    // At device resolution: w x h device pixels of the view.
    const double ratio = controls_.ViewPixelRatio();
    const int w = DevicePixels(controls_.ViewWidth(), ratio);
    const int h = DevicePixels(controls_.ViewHeight(), ratio);
    if (w > 0 && h > 0) {
      QImage picture(w, h, QImage::Format_RGBX8888);
      ReadViewPixels(w, h, picture.bits());
      if (grab_) *grab_ = picture;
      if (options_.keepFrames) lastFrame_ = std::move(picture);
    }
  }
  // Swapping a window that is not on screen yet is undefined; its picture is dropped.
  if (View->isExposed()) RC->swapBuffers(View);
}

// Resizes the window so that the view gets w x h and waits until it has.
void TForm1::ResizeView(int w, int h) {
  if (net_ && controls_.viewAgreed()) {
    // A network player's own `resize`: the window has that size already, or a newer one.
    controls_.AgreeViewSize(std::array<int, 2>{w, h});
    return;
  }
  if (Panel3->width() == w && Panel3->height() == h) return;
  const QSize window(width() - Panel3->width() + w, height() - Panel3->height() + h);
  setMinimumSize(minimumSize().boundedTo(window));
  resize(window);
  QElapsedTimer waited;
  waited.start();
  while ((Panel3->width() != w || Panel3->height() != h) && waited.elapsed() < 3000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  QCoreApplication::processEvents();
  if (Panel3->width() != w || Panel3->height() != h) {
    std::cerr << "resize: the view is " << Panel3->width() << " x " << Panel3->height() << "\n";
  }
}

bool TForm1::Screenshot(const std::string& file, std::string& error) {
  if (!hasGL_) {
    error = "screenshot needs OpenGL";
  } else if (lastFrame_.isNull()) {
    error = "screenshot before the first frame";
  } else if (!lastFrame_.save(QString::fromStdString(file), "PNG")) {
    error = "cannot write " + file;
  } else {
    return true;
  }
  return false;
}

void TForm1::Notice(const std::string& text) {
  if (exiting_) return;
  auto* message = new QMessageBox(QMessageBox::Warning, QStringLiteral("rtsdemo"),
                                  QString::fromStdString(text), QMessageBox::Ok, this);
  message->setObjectName(QStringLiteral("ReplayBox"));
  message->setAttribute(Qt::WA_DeleteOnClose);
  message->open();
}

void TForm1::Exit(int code) {
  exiting_ = true;
  exitCode_ = code;
  Timer1->stop();
  QCoreApplication::exit(code);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event, true)) QWidget::keyPressEvent(event);
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
  if (!HandleKey(event, false)) QWidget::keyReleaseEvent(event);
}

// A key released while the window was not active never arrives: let go of the arrows.
void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && session_)
    Guarded([this] { session_->ReleaseKeys(); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsArrow(key->key())) return HandleKey(key, event->type() == QEvent::KeyPress);
  }
  return QWidget::eventFilter(watched, event);
}

namespace {

// The digit 1 to 9 of a key, also with Shift on layouts that shift the digit row (X11 key
// codes 10 to 18); 0 for any other key.
int DigitOf(const QKeyEvent* event) {
  const int key = event->key();
  if (key >= Qt::Key_1 && key <= Qt::Key_9) return key - Qt::Key_0;
  const quint32 code = event->nativeScanCode();
  if (event->modifiers().testFlag(Qt::ShiftModifier) && code >= 10 && code <= 18)
    return static_cast<int>(code) - 9;
  return 0;
}

}  // namespace

bool TForm1::HandleKey(QKeyEvent* event, bool press) {
  if (const int digit = DigitOf(event)) {
    if (press && !event->isAutoRepeat() && created_ && !exiting_ && !session_->busy()) {
      const Qt::KeyboardModifiers m = event->modifiers();
      Guarded([&] {
        session_->GroupKey(digit, m.testFlag(Qt::ControlModifier), m.testFlag(Qt::ShiftModifier),
                           static_cast<int64_t>(event->timestamp()));
      });
    }
    event->accept();
    return true;
  }
  const Qt::KeyboardModifiers m = event->modifiers();
  const uint8_t mods = (m.testFlag(Qt::ShiftModifier) ? kShift : kNoMods) |
                       (m.testFlag(Qt::ControlModifier) ? kCtrl : kNoMods);
  const KeyRow* row = FindKey(event->key(), mods, session_->replaying(), net_ != nullptr);
  if (!row) return CardKey(event, press);
  event->accept();
  const bool once = press && !event->isAutoRepeat();
  switch (row->Action) {
    case KeyAction::Sound:
    case KeyAction::Louder:
    case KeyAction::Softer:
      if (press) SoundKey(row->Action, event->isAutoRepeat());
      return true;
    case KeyAction::SaveMatch:
      if (once && created_ && !exiting_) SaveMatch();
      return true;
    case KeyAction::Chat:
      if (once) OpenChat();
      return true;
    case KeyAction::TakeOver0:
    case KeyAction::TakeOver1:
    case KeyAction::TakeOverBoth:
      if (once) TakeOver(static_cast<int>(row->Action) - static_cast<int>(KeyAction::TakeOver0));
      return true;
    default:
      break;
  }
  if (row->When == KeyWhen::Replay && (!created_ || exiting_ || session_->busy())) return true;
  KeyResult result = KeyResult::Done;
  Guarded([&] { result = session_->Key(row->Action, press, event->isAutoRepeat()); });
  if (result == KeyResult::ShowHelp) ShowKeys();
  if (result == KeyResult::SavePicture) SaveScreenshot();
  if (result == KeyResult::ShowMenu) ShowGameMenu();
  if (!IsArrow(event->key()) || mods) UpdateBanner();
  if (timeline_) timeline_->update();
  return true;
}

void TForm1::DrawThoughts() {
  if (!session_->thoughtsShown()) return;
  if (!atlasTried_) {
    atlasTried_ = true;
    int cellWidth = 0, cellHeight = 0;
    const Image picture = GlyphPicture(cellWidth, cellHeight);
    atlas_ = {UploadGlyphAtlas(picture), picture.Width, picture.Height, cellWidth, cellHeight};
  }
  const Frontend& f = session_->frontend();
  const std::vector<uint8_t> hidden = f.HiddenObjects();  // no thoughts out of sight
  DrawThoughtLabels(session_->world(), f.DrawnCameraX(), f.DrawnCameraY(), atlas_, f.DrawnZoom(),
                    &hidden);
}

QImage TForm1::GrabView() {
  if (!created_ || !hasGL_) return {};
  QImage picture;
  grab_ = &picture;
  session_->Redraw();
  grab_ = nullptr;
  return picture;
}

void TForm1::SaveScreenshot() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty()) folder = QDir::homePath();  // no pictures folder known
  const QDir dir(folder + QStringLiteral("/rtsdemo"));
  const QImage picture = dir.mkpath(QStringLiteral(".")) ? GrabView() : QImage();
  const QString path =
      FreePictureName(dir, QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss"));
  if (!dir.exists()) {
    session_->SetNote(Tr("notes", "Picture not saved: no folder %1", {dir.path().toStdString()}));
  } else if (picture.isNull()) {
    session_->SetNote(Tr("notes", "Picture not saved: the view does not draw"));
  } else if (!picture.save(path, "PNG")) {
    session_->SetNote(Tr("notes", "Picture not saved: %1", {path.toStdString()}));
  } else {
    lastPicture_ = path;
    session_->SetNote(Tr("notes", "Picture: %1", {path.toStdString()}));
  }
}

void TForm1::SoundKey(KeyAction action, bool repeat) {
  if (action == KeyAction::Louder) {
    sound_->Louder();
  } else if (action == KeyAction::Softer) {
    sound_->Softer();
  } else if (!repeat) {
    sound_->ToggleMute();
  }
  const int percent = static_cast<int>(std::lround(sound_->volume() * 100));
  session_->SetNote(sound_->muted()
                        ? Tr("notes", "Sound off")
                        : Tr("notes", "Sound on, volume %1 %", {std::to_string(percent)}));
  UpdateBanner();
}

void TForm1::UpdateBanner() {
  std::string text = session_->Banner();
  if (net_) {
    const std::string line = net_->Status();
    if (!line.empty()) text += "\n" + line;
  }
  const QString shown = QString::fromUtf8(text);
  if (Panel1->text() != shown) Panel1->setText(shown);
}
