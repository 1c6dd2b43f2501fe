#include "qt/form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QProxyStyle>
#include <QPushButton>
#include <QResizeEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <exception>
#include <iostream>
#include <utility>

#include "app/texts.h"
#include "qt/view.h"

namespace {

constexpr int kClientWidth = 694;
constexpr int kClientHeight = 480;
constexpr int kBannerHeight = 33;  // Panel1
constexpr int kPanelWidth = 209;   // Panel2
constexpr int kTimerMs = 10;
constexpr int kListLine = 13;  // pixels a read-out line

struct Place {
  int x, y, w, h;
};

void Put(QWidget* widget, Place p) {
  widget->setGeometry(p.x, p.y, p.w, p.h);
}

QPushButton* NewButton(QWidget* parent, const char* caption, Place p) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  Put(button, p);
  return button;
}

QCheckBox* NewCheck(QWidget* parent, const char* caption, Place p) {
  auto* check = new QCheckBox(QString::fromUtf8(caption), parent);
  Put(check, p);
  return check;
}

QComboBox* NewCombo(QWidget* parent, const char* shown) {
  auto* combo = new QComboBox(parent);
  MakeChoiceCombo(combo);
  combo->setEditText(QString::fromUtf8(shown));
  Put(combo, {24, 8, 145, 21});
  return combo;
}

// Narrower tabs, so the three pages' tabs fit the 193-pixel tab control as they should.
class CompactTabs : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_TabBarTabHSpace) return 12;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

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
  if (hasGL_) {
    drawing_ = std::make_unique<GlDrawing>();
  } else {
    drawing_ = std::make_unique<Drawing>();
  }
  frontend_ = std::make_unique<Frontend>(world_, controls_, platform_, uploader_, *drawing_);
  if (!options_.replay.empty()) {
    replayFile_.open(options_.replay);
    if (replayFile_) {
      replay_ = std::make_unique<ScriptRunner>(replayFile_);
      BlockUserInput();
    } else {
      std::cerr << "rtsdemo: cannot open " << options_.replay << "\n";
      exiting_ = true;
      exitCode_ = 2;
    }
  }
  if (!options_.record.empty()) {
    recorder_ = std::make_unique<Recorder>(options_.record);
    if (!recorder_->ok()) {
      std::cerr << "rtsdemo: cannot write " << options_.record << "\n";
      recorder_.reset();
    }
  }
}

TForm1::~TForm1() {
  Timer1->stop();
  CloseRecording();
  if (RC) {
    RC->doneCurrent();
    RC.reset();
  }
}

void TForm1::BuildLayout() {
  setWindowTitle(QStringLiteral("OpenGL demo"));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);  // MS Sans Serif 8 pt at 96 dpi
  setFont(font);

  Panel1 = new QLabel(QString::fromUtf8(kBanner), this);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setWordWrap(true);  // a note may take a second line

  Panel2 = new QFrame(this);
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);

  View = new GlView(ViewSurfaceFormat());
  Panel3 = QWidget::createWindowContainer(View, this);
  QPalette black = Panel3->palette();
  black.setColor(QPalette::Window, Qt::black);
  Panel3->setPalette(black);
  Panel3->setAutoFillBackground(true);
  Panel3->setFocusPolicy(Qt::ClickFocus);

  Timer1 = new QTimer(this);
  Timer1->setInterval(kTimerMs);
  Timer1->setTimerType(Qt::PreciseTimer);

  Button1 = NewButton(Panel2, kButtonCaptions[0], {8, 8, 193, 25});
  Button2 = NewButton(Panel2, kButtonCaptions[1], {8, 40, 193, 25});

  PageControl1 = new QTabWidget(Panel2);
  auto* tabStyle = new CompactTabs;
  tabStyle->setParent(PageControl1);
  PageControl1->tabBar()->setStyle(tabStyle);
  Put(PageControl1, {8, 352, 193, 89});
  TabSheet2 = new QWidget;
  TabSheet3 = new QWidget;
  TabSheet4 = new QWidget;
  PageControl1->addTab(TabSheet2, QString::fromUtf8(kTabCaptions[0]));
  PageControl1->addTab(TabSheet3, QString::fromUtf8(kTabCaptions[1]));
  PageControl1->addTab(TabSheet4, QString::fromUtf8(kTabCaptions[2]));
  PageControl1->setCurrentIndex(0);

  ListBox1 = new QListWidget(Panel2);
  Put(ListBox1, {8, 80, 193, 233});
  SetListLineHeight(ListBox1, kListLine);

  ComboBox1 = NewCombo(TabSheet2, kComboTexts[0]);
  ComboBox2 = NewCombo(TabSheet3, kComboTexts[1]);
  ComboBox3 = NewCombo(TabSheet4, kComboTexts[2]);
  Button3 = NewButton(TabSheet3, kButtonCaptions[2], {48, 32, 75, 25});  // has no action

  CheckBox1 = NewCheck(Panel2, kCheckCaptions[0], {8, 328, 73, 17});
  CheckBox2 = NewCheck(Panel2, kCheckCaptions[1], {80, 328, 97, 17});

  QWidget::setTabOrder(Button1, Button2);
  QWidget::setTabOrder(Button2, PageControl1);
  QWidget::setTabOrder(PageControl1, ListBox1);
  QWidget::setTabOrder(ListBox1, CheckBox1);
  QWidget::setTabOrder(CheckBox1, CheckBox2);

  controls_.buttons = {Button1, Button2, Button3};
  controls_.checks = {CheckBox1, CheckBox2};
  controls_.combos = {ComboBox1, ComboBox2, ComboBox3};
  controls_.list = ListBox1;
  controls_.view = Panel3;

  NameWidgets();
  for (QWidget* w : {static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
                     static_cast<QWidget*>(Button3), static_cast<QWidget*>(CheckBox1),
                     static_cast<QWidget*>(CheckBox2)}) {
    w->installEventFilter(this);
  }
  connect(Timer1, &QTimer::timeout, this, &TForm1::TimerDraw);
  connect(Button1, &QPushButton::clicked, this, [this] {
    Record("press 1");
    Guarded([this] {
      MakeCurrent();  // the loader uploads textures
      frontend_->Button1Click();
    });
  });
  connect(Button2, &QPushButton::clicked, this, [this] {
    Record("press 2");
    Guarded([this] { frontend_->Button2Click(); });
  });
  // While a recording plays, the user's mouse over the view changes nothing.
  connect(View, &GlView::mouseMoved, this, [this](int x, int y) {
    if (!replay_) MyMouseCursor(x, y);
  });
  connect(View, &GlView::mousePressed, this, [this](Frontend::Button button) {
    if (!replay_) MyMouseDown(button);
  });
  connect(View, &GlView::keyPressed, this, [this](QKeyEvent* event) { HandleKey(event, true); });
  connect(View, &GlView::keyReleased, this, [this](QKeyEvent* event) { HandleKey(event, false); });

  move(246, 173);
  resize(kClientWidth, kClientHeight);
  LayoutPanels();
}

void TForm1::NameWidgets() {
  const std::pair<QObject*, const char*> names[] = {
      {Panel1, "Panel1"},       {Panel2, "Panel2"},
      {Panel3, "Panel3"},       {Timer1, "Timer1"},
      {Button1, "Button1"},     {Button2, "Button2"},
      {Button3, "Button3"},     {PageControl1, "PageControl1"},
      {TabSheet2, "TabSheet2"}, {TabSheet3, "TabSheet3"},
      {TabSheet4, "TabSheet4"}, {ListBox1, "ListBox1"},
      {ComboBox1, "ComboBox1"}, {ComboBox2, "ComboBox2"},
      {ComboBox3, "ComboBox3"}, {CheckBox1, "CheckBox1"},
      {CheckBox2, "CheckBox2"}, {View, "View"}};
  for (const auto& [widget, name] : names) widget->setObjectName(QString::fromLatin1(name));
}

void TForm1::LayoutPanels() {
  const int w = width();
  const int h = height();
  Put(Panel1, {0, 0, w, kBannerHeight});
  Put(Panel2, {0, kBannerHeight, kPanelWidth, std::max(0, h - kBannerHeight)});
  Put(Panel3,
      {kPanelWidth, kBannerHeight, std::max(0, w - kPanelWidth), std::max(0, h - kBannerHeight)});
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
  if (created_) return;
  if (hasGL_) {
    if (!View->handle()) View->create();
    if (MakeCurrent()) InitGL();
  }
  frontend_->FormCreate();
  if (options_.playAs) {
    Record("play-as " + std::to_string(*options_.playAs));
    frontend_->player().PlayAs = *options_.playAs;
  }
  if (options_.level) {
    Record("level " + *options_.level);
    DataProblems problems;
    frontend_->SetLevel(ReadLevelFile(*options_.level, problems));
  }
  created_ = true;
  if (pendingResize_) {
    pendingResize_ = false;
    ResizeNow();
  } else if (MakeCurrent()) {
    ResizeGL(controls_.ViewWidth(), controls_.ViewHeight(), controls_.ViewPixelRatio());
  }
  if (options_.runTimer) Timer1->start();
}

void TForm1::ResizeNow() {
  if (!created_ || exiting_) return;
  if (options_.scripted && !scriptResize_) {
    // Under a script only `resize` runs frames; the toolkit's own resizes set the view.
    if (MakeCurrent())
      ResizeGL(controls_.ViewWidth(), controls_.ViewHeight(), controls_.ViewPixelRatio());
    if (replay_) RedrawView();  // the viewer keeps its picture
    return;
  }
  Guarded([this] {
    if (hasGL_ && !MakeCurrent()) return;
    RecordChoices();
    Record("resize " + std::to_string(controls_.ViewWidth()) + " " +
           std::to_string(controls_.ViewHeight()));
    frontend_->SetDrawing(*drawing_);
    frontend_->FormResize();
    AfterFrame(false);
    DrawThoughts();
    Present();
    UpdateBanner();
  });
}

void TForm1::Press(int n) {
  QPushButton* buttons[] = {Button1, Button2, Button3};
  buttons[n - 1]->click();  // a disabled button ignores it
  if (exiting_) throw ProgramExit{exitCode_};
}

void TForm1::Check(int k, bool on) {
  (k == 1 ? CheckBox1 : CheckBox2)->setChecked(on);
}

// The toolkit's own resize events run no frame under a script; this one runs its frame.
void TForm1::Resize(int w, int h) {
  if (Panel3->width() != w || Panel3->height() != h) {
    resize(width() - Panel3->width() + w, height() - Panel3->height() + h);
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
  scriptResize_ = true;
  ResizeNow();
  scriptResize_ = false;
}

bool TForm1::Screenshot(const std::string& file, std::string& error) {
  if (!hasGL_) {
    error = "screenshot needs OpenGL";
    return false;
  }
  if (lastFrame_.isNull()) {
    error = "screenshot before the first frame";
    return false;
  }
  if (!lastFrame_.save(QString::fromStdString(file), "PNG")) {
    error = "cannot write " + file;
    return false;
  }
  return true;
}

void TForm1::TimerDraw() {
  if (!created_ || exiting_) return;
  const int frames = pace_.FramesForTick();
  for (int i = 0; i < frames && !exiting_; ++i) {
    const bool show = i + 1 == frames;
    if (replay_) {
      if (!ReplayFrame(show)) break;
    } else {
      RunFrame(show);
    }
  }
  UpdateBanner();
}

void TForm1::RunFrame(bool show) {
  if (!created_ || exiting_) return;
  Guarded([this, show] {
    if (hasGL_ && !MakeCurrent()) return;
    // The first frame sets up OpenGL: it is always drawn.
    const bool drawn = show || frontend_->state().FirstFrame;
    RecordChoices();
    frontend_->SetDrawing(drawn ? *drawing_ : nothing_);
    frontend_->DrawScene();
    frontend_->SetDrawing(*drawing_);
    AfterFrame(true);
    if (drawn) {
      DrawThoughts();
      Present();
    }
  });
}

void TForm1::MyMouseCursor(int x, int y) {
  Record("move " + std::to_string(x) + " " + std::to_string(y));
  frontend_->MyMouseCursor(x, y);
}
void TForm1::MyMouseDown(Frontend::Button button) {
  Record(button == Frontend::Button::Left    ? "down left"
         : button == Frontend::Button::Right ? "down right"
                                             : "down middle");
  frontend_->MyMouseDown(button);
}

void TForm1::Record(const std::string& command) {
  if (recorder_) recorder_->Input(command);
}

// Choices change only by the user between frames and by the frame itself; what differs
// from the end of the last frame is the user's.
void TForm1::RecordChoices() {
  if (!recorder_) return;
  for (int k = 1; k <= 3; ++k) {
    int index = controls_.ComboIndex(k);
    if (index != lastComboIndex_[static_cast<size_t>(k - 1)]) {
      Record("choose " + std::to_string(k) + " " + std::to_string(index));
    }
  }
  for (int n = 1; n <= 2; ++n) {
    bool on = controls_.Checked(n);
    if (on != lastChecked_[static_cast<size_t>(n - 1)]) {
      Record("check " + std::to_string(n) + (on ? " on" : " off"));
    }
  }
}

void TForm1::AfterFrame(bool timerTick) {
  match_.Update(world_, frontend_->state().Frames);
  if (!recorder_) return;
  for (int k = 1; k <= 3; ++k)
    lastComboIndex_[static_cast<size_t>(k - 1)] = controls_.ComboIndex(k);
  for (int n = 1; n <= 2; ++n) lastChecked_[static_cast<size_t>(n - 1)] = controls_.Checked(n);
  if (timerTick) recorder_->FrameDone(*frontend_, platform_.usedSeeds);
}

void TForm1::CloseRecording() {
  if (!recorder_) return;
  recorder_->Close(*frontend_);
  recorder_.reset();
}

bool TForm1::MakeCurrent() {
  return hasGL_ && RC->makeCurrent(View);
}

void TForm1::Present() {
  if (!hasGL_) return;
  if (options_.keepFrames) {
    // At device resolution: w x h device pixels of the view.
    const double ratio = controls_.ViewPixelRatio();
    const int w = DevicePixels(controls_.ViewWidth(), ratio);
    const int h = DevicePixels(controls_.ViewHeight(), ratio);
    if (w > 0 && h > 0) {
      QImage picture(w, h, QImage::Format_RGBX8888);
      ReadViewPixels(w, h, picture.bits());
      lastFrame_ = std::move(picture);
    }
  }
  // Swapping a window that is not on screen yet is undefined; its picture is dropped.
  if (View->isExposed()) RC->swapBuffers(View);
}

void TForm1::Exit(int code) {
  exiting_ = true;
  exitCode_ = code;
  Timer1->stop();
  QCoreApplication::exit(code);
}
