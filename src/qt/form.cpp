#include "qt/form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <iostream>

#include "app/replay.h"
#include "app/timeline.h"
#include "net/net_peer.h"
#include "qt/timeline.h"
#include "qt/view.h"
#include "util/translate.h"

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
  session_->wiring().scripted = options_.scripted;
  session_->frontend().SetFogShown(true);  // the window draws the fog of war
  SoundOptions sound;
  sound.muted = options_.mute;
  sound_ = std::make_unique<SoundPlayer>(sound, std::cerr);
  session_->wiring().listener = sound_.get();
  ConnectInputs();
  UpdateBanner();

  options_.start.Network = options_.net.has_value();
  if (!LoadStart(options_.start, std::cerr) || !OpenSession(*session_, options_.start, std::cerr))
    Exit(2);
  if (session_->viewer().playing() && !options_.start.Resume) EnterViewer();
  // Kept in memory also without --record: the menu saves them, the end of a match replays them.
  session_->inputs().Keep();
}

TForm1::~TForm1() {
  Timer1->stop();
  net_.reset();
  session_->inputs().Close();
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
    if (created_ && !session_->viewer().playing())
      Guarded([&] { session_->view().SetDragBox(box); });
  });
  connect(View, &GlView::dragEnded, this, [this] {
    if (created_) Guarded([&] { session_->view().SetDragBox(std::nullopt); });
  });
  connect(View, &GlView::boxReleased, this, [this](ViewBox box, bool add) {
    Input(MakeCommand(CommandKind::Box, {box.X1, box.Y1, box.X2, box.Y2, add}));
  });
  connect(View, &GlView::doubleClicked, this, [this](int x, int y) {
    Input(MakeCommand(CommandKind::Same, {x, y}));
  });
  connect(View, &GlView::wheeled, this, [this](int steps, int x, int y) {
    if (created_ && !exiting_ && !session_->busy())
      Guarded([&] { session_->view().Wheel(steps, x, y); });
  });
  View->overMinimap = [this](int x, int y) {
    return created_ && session_->view().OverMinimap(x, y);
  };
  View->onMinimap = [this](int x, int y) {
    if (!created_ || exiting_ || session_->busy()) return;
    // A drag beyond the square keeps to its edge.
    const MinimapLayout m = session_->view().Minimap();
    const int h = controls_.ViewHeight();
    x = std::clamp(x, m.X, m.X + m.Size - 1);
    y = std::clamp(y, h - m.Y - m.Size, h - 1 - m.Y);
    Guarded([&] { session_->view().MinimapPress(x, y); });
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
  if (!session_ || session_->busy() || session_->viewer().playing() || !created_ || exiting_)
    return;
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
  session_->frontend().FormCreate();
  // A seek whose check fails leaves the viewer paused with its note.
  std::optional<int> status;
  bool seekFailed = false;
  created_ = true;
  Guarded([&] { status = BeginSession(*session_, options_.start, std::cerr, seekFailed); });
  if (status && !exiting_) {
    Exit(*status);
    return;
  }
  if (options_.net) StartNet();
  if (exiting_) return;
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
      if (!controls_.viewAgreed()) session_->view().ResizeDrawing();
    });
    UpdateBanner();
    return;
  }
  Guarded([this] { session_->view().Resized(); });
  UpdateBanner();
}

void TForm1::TimerFired() {
  // Screenshots want every tick drawn: then no time is given and a tick runs alone.
  if (options_.keepFrames) return TimerDraw();
  RunTimer(MatchLoop::NowMs());
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
      session_->view().ResizeDrawing();
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

void TForm1::UpdateBanner() {
  std::string text = session_->view().Banner();
  if (net_) {
    std::string line = net_->Status();
    // An observer sees both sides' forces and production live.
    if (net_->started() && !net_->player() && !net_->ended()) {
      const std::string strip = ObserverStrip(session_->match());
      if (!strip.empty()) line += (line.empty() ? "" : "   ") + strip;
    }
    if (!line.empty()) text += "\n" + line;
  }
  const QString shown = QString::fromUtf8(text);
  if (Panel1->text() != shown) Panel1->setText(shown);
}
