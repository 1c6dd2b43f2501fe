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
#include <iostream>

#include "net/net_peer.h"
#include "qt/card_buttons.h"
#include "qt/timeline.h"
#include "qt/view.h"

void QtPlatform::ShowModal(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::NoIcon, ToQt(caption), ToQt(text), QMessageBox::Ok, owner);
  box.exec();
}

TForm1::TForm1(const FormOptions& options) {
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
  SoundOptions sound;
  sound.muted = options.mute;
  sound_ = std::make_unique<SoundPlayer>(sound, std::cerr);
  session_->wiring().listener = sound_.get();
  WindowShell& shell = *this;
  core_ =
      std::make_unique<WindowCore>(shell, *session_, *sound_, options,
                                   [](Session& s, const NetOptions& net, const WindowOptions& w) {
                                     return std::make_unique<NetPeer>(s, net, w, false);
                                   });
  ConnectInputs();
  core_->UpdateBanner();
  core_->Open();
}

TForm1::~TForm1() {
  Timer1->stop();
  core_->Shutdown();
  View->pointer = nullptr;
  RC->doneCurrent();
  core_.reset();
  session_.reset();
  RC.reset();
}

void TForm1::ConnectInputs() {
  // The arrows move the camera, not the focus.
  for (QWidget* w : controls_.buttons) w->installEventFilter(this);
  for (QWidget* w : controls_.checks) w->installEventFilter(this);
  connect(Timer1, &QTimer::timeout, this, [this] { core_->TimerFired(); });
  for (int n : {1, 2})
    connect(controls_.buttons[n - 1], &QPushButton::clicked, this,
            [this, n] { core_->Clicked(n); });
  View->pointer = &core_->pointer();
  connect(View, &GlView::keyPressed, this, [this](QKeyEvent* event) { HandleKey(event, true); });
  connect(View, &GlView::keyReleased, this, [this](QKeyEvent* event) { HandleKey(event, false); });
  for (int k = 1; k <= 3; ++k) {
    connect(controls_.combos[k - 1], &QComboBox::currentIndexChanged, this, [this, k](int index) {
      core_->Input(MakeCommand(CommandKind::Choose, {k, index}));
    });
  }
  for (int k = 1; k <= 2; ++k) {
    connect(controls_.checks[k - 1], &QCheckBox::toggled, this, [this, k](bool on) {
      core_->Input(MakeCommand(CommandKind::Check, {k, on}));
    });
  }
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutPanels();
  core_->Resized();
}

void TForm1::FormCreate() {
  if (core_->created() || core_->exiting()) return;
  if (hasGL_) {
    if (!View->handle()) View->create();
    if (MakeCurrent()) InitGL();
  }
  if (!core_->Create()) return;
  ApplyPreferences();
  if (core_->options().runTimer) Timer1->start();
}

bool TForm1::MakeCurrent() {
  return !hasGL_ || RC->makeCurrent(View);
}

void TForm1::Present() {
  Card->Show(core_->UpdateCard(), controls_.ComboIndex(2));
  if (!hasGL_) return;
  DrawThoughts();
  if (core_->options().keepFrames || grab_) {
    // At device resolution: w x h device pixels of the view.
    const double ratio = controls_.ViewPixelRatio();
    const int w = DevicePixels(controls_.ViewWidth(), ratio);
    const int h = DevicePixels(controls_.ViewHeight(), ratio);
    if (w > 0 && h > 0) {
      QImage picture(w, h, QImage::Format_RGBX8888);
      ReadViewPixels(w, h, picture.bits());
      if (grab_) *grab_ = picture;
      if (core_->options().keepFrames) lastFrame_ = std::move(picture);
    }
  }
  // Swapping a window that is not on screen yet is undefined; its picture is dropped.
  if (View->isExposed()) RC->swapBuffers(View);
}

// Resizes the window so that the view gets w x h and waits until it has.
void TForm1::ResizeView(int w, int h) {
  if (core_->AgreedResize(w, h)) return;
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
  if (core_->exiting()) return;
  auto* message = new QMessageBox(QMessageBox::Warning, QStringLiteral("rtsdemo"),
                                  QString::fromStdString(text), QMessageBox::Ok, this);
  message->setObjectName(QStringLiteral("ReplayBox"));
  message->setAttribute(Qt::WA_DeleteOnClose);
  message->open();
}

void TForm1::EndLoop(int code) {
  Timer1->stop();
  QCoreApplication::exit(code);
}

void TForm1::ShowBanner(const std::string& text) {
  const QString shown = QString::fromUtf8(text);
  if (Panel1->text() != shown) Panel1->setText(shown);
}

void TForm1::FocusView() {
  Panel3->setFocus(Qt::OtherFocusReason);
}
