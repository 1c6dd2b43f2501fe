// The main window "OpenGL demo": banner, command panel and the OpenGL view, the frame timer and
// the OpenGL context. Events are forwarded to the Frontend; no game logic lives here.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <exception>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "app/frontend.h"
#include "app/headless.h"
#include "app/match_state.h"
#include "app/pace.h"
#include "app/recorder.h"
#include "app/script.h"
#include "game/world.h"
#include "qt/widget_controls.h"
#include "render/render.h"
#include "render/thought_labels.h"

class GlView;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QKeyEvent;
class QListWidget;
class QMessageBox;
class QOpenGLContext;
class QPushButton;
class QTabWidget;
class QTimer;

// Message boxes as modal Qt boxes (or answered at once under a script).
class QtPlatform : public RecordingPlatform {
 public:
  QWidget* owner = nullptr;

 protected:
  void ShowModal(const std::string& text, const std::string& caption) override;
};

struct FormOptions {
  std::optional<uint32_t> seed;   // fixed generator seed instead of the clock
  bool answerAtOnce = false;      // message boxes recorded and printed, not shown
  bool keepFrames = false;        // read the back buffer before each swap, for screenshots
  bool runTimer = true;           // a script runs the frames itself
  bool scripted = false;          // frames come only from the script: resizes run none
  std::string record;             // write the session to this file as a replayable script
  std::string replay;             // play this recording at normal speed (the replay viewer)
  std::optional<int32_t> playAs;  // the player's side: the computer plays only the other

  // The level file Button2 creates.
  std::optional<std::string> level;
};

// The window's inputs are the script commands: a script and a recording drive it through
// the ScriptHost operations alone. Its widgets are its own (tests find them by object name).
class TForm1 : public QWidget, public ScriptHost {
  Q_OBJECT

 public:
  explicit TForm1(const FormOptions& options);
  ~TForm1() override;  // FormDestroy

  // Once the window is shown: OpenGL state, seeding, a resize that came early, the frame timer.
  void FormCreate();
  // One tick of Timer1: the frames the pace gives (none while paused), the last presented.
  void TimerDraw();
  // The view's events.
  void MyMouseCursor(int x, int y);
  void MyMouseDown(Frontend::Button button);

  // ScriptHost: what a script or a recording does to the window.
  Frontend& frontend() override { return *frontend_; }
  RecordingPlatform& platform() override { return platform_; }
  void Press(int n) override;
  void Tick() override { RunFrame(showNext_); }
  void Move(int x, int y) override { MyMouseCursor(x, y); }
  void Down(Frontend::Button button) override { MyMouseDown(button); }
  void Choose(int k, int index) override { controls_.SetComboIndex(k, index); }
  void Check(int k, bool on) override;
  // The window is resized so that the view gets w x h, then the resize runs its one frame.
  void Resize(int w, int h) override;
  // Each frame's back buffer is read before its swap (keepFrames); the last one is written.
  bool Screenshot(const std::string& file, std::string& error) override;

  QtControls& controls() { return controls_; }
  bool hasGL() const { return hasGL_; }
  // A handler raised ProgramExit: the event loop is ending with this code.
  bool exiting() const { return exiting_; }
  int exitCode() const { return exitCode_; }
  // The back buffer as read right before the last swap (with keepFrames); null before it.
  const QImage& lastFrame() const { return lastFrame_; }
  // Runs FormResize at once, as a resize of the window would.
  void ResizeNow();
  // Ends a recording with its last ticks and sync check.
  void CloseRecording();

  // Keys: P and Pause, full stop, + and -, arrows, F1, F3, F12. True when the key is one of
  // them; others go on to the focused widget's parents as usual.
  bool HandleKey(QKeyEvent* event, bool press);
  Pace& pace() { return pace_; }
  const MatchWatch& match() const { return match_; }
  bool thoughtsShown() const { return thoughts_; }
  bool replaying() const { return replay_ != nullptr; }
  bool replayEnded() const { return replayEnded_; }
  // Where the last F12 picture went (empty before one).
  const QString& lastPicture() const { return lastPicture_; }
  // A picture of the view as it is now, the thoughts included when shown; null without OpenGL.
  QImage GrabView();

 protected:
  void resizeEvent(QResizeEvent* event) override;  // FormResize
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Buttons and check boxes would move the focus with the arrows: the camera takes them.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* Panel1 = nullptr;
  QFrame* Panel2 = nullptr;
  QWidget* Panel3 = nullptr;  // container of the OpenGL view
  QTimer* Timer1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet3 = nullptr;
  QWidget* TabSheet4 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QComboBox* ComboBox2 = nullptr;
  QComboBox* ComboBox3 = nullptr;
  QPushButton* Button3 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QCheckBox* CheckBox2 = nullptr;
  GlView* View = nullptr;

  void BuildLayout();
  // Object names for the widgets, as the fields are named.
  void NameWidgets();
  void LayoutPanels();
  bool MakeCurrent();
  // After a frame: keep the picture for screenshots, then swap.
  void Present();
  // Runs a handler; ProgramExit ends the event loop, other errors show a message box.
  template <typename Fn>
  void Guarded(Fn&& fn);
  void Exit(int code);
  // Recording: inputs as script lines; combo and check box choices found between frames.
  void Record(const std::string& command);
  void RecordChoices();
  void AfterFrame(bool timerTick);
  // One frame as a timer tick runs it; a frame not shown draws nothing.
  void RunFrame(bool show);
  // The replay's next frame; false when it stopped (end, error, failed check).
  bool ReplayFrame(bool show);
  void ReplayStopped(const std::string& box, const std::string& note);
  void SetArrow(const char* name, bool PlayerInput::*held, bool on);
  void ReleaseArrows();
  void DrawThoughts();
  // The last frame again with the thoughts as now shown (while paused).
  void RedrawView();
  void SaveScreenshot();
  void ShowKeys();
  void UpdateBanner();
  void BlockUserInput();

  FormOptions options_;
  World world_;
  QtControls controls_;
  QtPlatform platform_;
  GlTextureUploader uploader_;
  std::unique_ptr<Drawing> drawing_;
  std::unique_ptr<Frontend> frontend_;
  std::unique_ptr<QOpenGLContext> RC;
  bool hasGL_ = false;
  bool created_ = false;        // FormCreate has run
  bool pendingResize_ = false;  // a resize came before FormCreate
  bool exiting_ = false;
  bool scriptResize_ = false;
  int exitCode_ = 0;
  QImage lastFrame_;
  std::unique_ptr<Recorder> recorder_;
  std::array<int, 3> lastComboIndex_{-1, -1, -1};
  std::array<bool, 2> lastChecked_{};

  Drawing nothing_;  // for frames that are not presented
  bool showNext_ = true;
  Pace pace_;
  MatchWatch match_;
  bool thoughts_ = false;  // F3
  GlyphAtlas atlas_;
  bool atlasTried_ = false;
  std::string note_;  // the banner's second line (UTF-8)
  QString lastPicture_;
  QPointer<QMessageBox> keysBox_;
  std::ifstream replayFile_;
  std::unique_ptr<ScriptRunner> replay_;
  bool replayEnded_ = false;
};

template <typename Fn>
inline void TForm1::Guarded(Fn&& fn) {
  try {
    fn();
  } catch (const ProgramExit& e) {
    Exit(e.Code);
  } catch (const std::exception& e) {
    // As the toolkit does with an error nobody caught: show it, the event loop goes on.
    platform_.ShowMessage(e.what(), "rtsdemo");
  } catch (...) {
    platform_.ShowMessage("unknown error", "rtsdemo");
  }
}
