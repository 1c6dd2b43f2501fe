// The main window "OpenGL demo": banner, command panel and the OpenGL view, the frame timer and
// the OpenGL context. It turns Qt's events into the session's commands and draws; the session
// holds everything else.
#pragma once

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/options.h"
#include "app/script.h"
#include "app/session.h"
#include "app/startup.h"
#include "qt/card_buttons.h"
#include "qt/widget_controls.h"
#include "render/render.h"
#include "render/thought_labels.h"
#include "sound/sound_player.h"

class GlView;
class QCheckBox;
class QComboBox;
class QDialog;
class QMenu;
class QToolButton;
struct MenuEntry;
class QFrame;
class QLabel;
class QKeyEvent;
class QLineEdit;
class QListWidget;
class NetPeer;
class QMessageBox;
class QOpenGLContext;
class QPushButton;
class QTabWidget;
class QTimer;
class Timeline;

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
  SessionStart start;             // recordings, side and level
  bool mute = false;              // start with the sound off
  std::optional<NetOptions> net;  // a network match: --host or --join
  bool remember = false;          // an interactive window: the user's last choices
};

class TForm1 : public QWidget, public SessionHost {
  Q_OBJECT

 public:
  explicit TForm1(const FormOptions& options);
  ~TForm1() override;  // FormDestroy

  // Once the window is shown: OpenGL state, seeding, a resize that came early, the frame timer.
  void FormCreate();
  // One tick of Timer1: the frames the pace gives (none while paused), the last presented.
  void TimerDraw();
  // Timer1 fired: the match loop runs the ticks due by the time (late ones undrawn).
  void TimerFired();
  // Clicks button n as the user would (a disabled one ignores it).
  void Press(int n);

  Session& session() { return *session_; }
  // Mute and volume (the keys M, Shift+M, Ctrl+M; the game menu).
  SoundPlayer& sound() { return *sound_; }
  Frontend& frontend() { return session_->frontend(); }
  RecordingPlatform& platform() { return platform_; }
  QtControls& controls() { return controls_; }
  Pace& pace() { return session_->pace(); }
  const MatchWatch& match() const { return session_->match(); }
  bool thoughtsShown() const { return session_->view().thoughtsShown(); }
  bool replaying() const { return session_->viewer().playing(); }
  bool replayEnded() const { return session_->viewer().ended(); }
  bool hasGL() const { return hasGL_; }
  // A handler raised ProgramExit: the event loop is ending with this code.
  bool exiting() const { return exiting_; }
  int exitCode() const { return exitCode_; }
  // The back buffer as read right before the last swap (with keepFrames); null before it.
  const QImage& lastFrame() const { return lastFrame_; }
  // Where the last F12 picture went (empty before one).
  const QString& lastPicture() const { return lastPicture_; }
  // A picture of the view as it is now, the thoughts included when shown; null without OpenGL.
  QImage GrabView();
  // The replay becomes a live match (F5, F6, F7): the computer plays the side other than
  // `side` (-1: both; nothing: as recorded); the new recording goes to --record's file or to
  // MatchFile(). Does nothing unless a recording plays.
  void TakeOver(std::optional<int32_t> side);
  // Ctrl+S: the match so far as a recording in the documents folder; the banner says where.
  void SaveMatch();
  // The game menu under the banner's menu button (Escape opens it too).
  void ShowGameMenu();
  // Answers the menu's file dialogs instead of the user (save: "Save recording as...");
  // an empty name cancels.
  void SetFileChooser(std::function<QString(bool save)> chooser) { chooser_ = std::move(chooser); }
  // The network match, if this window plays one.
  NetPeer* net() { return net_.get(); }
  // The chat entry over the view (Enter opens it); hidden when closed.
  QLineEdit* chatLine() { return chatLine_; }
  // Answers the menu's network dialogs instead of the user: the arguments of the program that
  // plays the match ("--host 7341"); an empty list cancels.
  void SetNetChooser(std::function<QStringList(bool host)> chooser) {
    netChooser_ = std::move(chooser);
  }
  // Starts the program with the arguments instead of a new process; false: it did not start.
  void SetLauncher(std::function<bool(const QStringList&)> launcher) {
    launcher_ = std::move(launcher);
  }

  // SessionHost.
  bool MakeCurrent() override;
  void Present() override;
  void ResizeView(int w, int h) override;
  bool Screenshot(const std::string& file, std::string& error) override;
  void Notice(const std::string& text) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;  // FormResize
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  // A network player's window hides and plays on until every player has left.
  void closeEvent(QCloseEvent* event) override;
  // Buttons and check boxes would move the focus with the arrows: the camera takes them.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RunTimer(std::optional<int64_t> nowMs);
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

  // The layout table (layout.cpp).
  void BuildLayout();
  void LayoutPanels();
  void ConnectInputs();
  // An input of the user, unless a recording plays or the program itself changed the widget.
  void Input(const Command& command);
  // Runs a handler; ProgramExit ends the event loop, other errors show a message box.
  template <typename Fn>
  void Guarded(Fn&& fn);
  void Exit(int code);
  void ResizeNow();
  bool HandleKey(QKeyEvent* event, bool press);
  void SoundKey(KeyAction action, bool repeat);
  void DrawThoughts();
  void SaveScreenshot();
  void ShowKeys();
  void UpdateBanner();
  void BlockUserInput();
  // A new file in the documents folder's rtsdemo folder: prefix and date and time.
  std::string MatchFile(const QString& prefix);
  void ShowTimeline(bool shown);
  void UnblockUserInput();
  // The replay viewer's panel and timeline on and off (viewer_ui.cpp).
  void EnterViewer();
  void LeaveViewer();
  // The game menu (menu.cpp).
  std::vector<MenuEntry> GameMenuEntries();
  QString ChooseFile(bool save);
  void MenuNewMatch(const std::string& level);
  void MenuOpenReplay();
  void MenuSaveRecording();
  void SyncMatchEnd();
  void ShowCharts();
  // The network match (net_ui.cpp).
  void StartNet();
  // The chat line of a network match (Enter).
  void OpenChat();
  void CloseChat(bool send);
  QStringList ChooseNet(bool host);
  void MenuNetwork(bool host);
  void KeepWatchingEnd();
  // What the window remembers between runs (preferences.cpp).
  void ApplyPreferences();
  void LookAtLevel();
  // The command card (card_ui.cpp).
  void UpdateCard();
  void ChooseOnCard(int32_t item);
  bool CardKey(QKeyEvent* event, bool press);

  FormOptions options_;
  QtControls controls_;
  QtPlatform platform_;
  GlTextureUploader uploader_;
  KeepingUploader keeping_{uploader_};  // keeps the pictures for the command card
  CardButtons* Card = nullptr;
  CommandCard card_;  // as shown
  std::unique_ptr<Drawing> drawing_;
  std::unique_ptr<QOpenGLContext> RC;
  std::unique_ptr<Session> session_;
  std::unique_ptr<SoundPlayer> sound_;
  bool hasGL_ = false;
  bool created_ = false;        // FormCreate has run
  bool pendingResize_ = false;  // a resize came before FormCreate
  bool exiting_ = false;
  int exitCode_ = 0;
  QImage lastFrame_;
  QImage* grab_ = nullptr;  // Present reads the back buffer into it
  GlyphAtlas atlas_;
  bool atlasTried_ = false;
  QString lastPicture_;
  QPointer<QDialog> keysBox_;
  Timeline* timeline_ = nullptr;      // the replay viewer's
  QToolButton* MenuButton = nullptr;  // in the banner strip
  QPointer<QMenu> menu_;
  QPointer<QDialog> endBox_;
  QPointer<QDialog> chartsBox_;
  QPointer<QMessageBox> netFailed_;  // the network match ended before it started
  std::function<QString(bool)> chooser_;
  std::unique_ptr<NetPeer> net_;
  QLineEdit* chatLine_ = nullptr;
  std::function<QStringList(bool)> netChooser_;
  std::function<bool(const QStringList&)> launcher_;
  QObject* blocker_ = nullptr;  // eats the user's mouse on the panel while a recording plays
  std::vector<std::pair<QPointer<QWidget>, Qt::FocusPolicy>> focus_;  // before blocking
};

template <typename Fn>
inline void TForm1::Guarded(Fn&& fn) {
  try {
    fn();
  } catch (const ProgramExit& e) {
    Exit(e.Code);
  } catch (const CommandError& e) {
    platform_.ShowMessage(e.What, "rtsdemo");
  } catch (const std::exception& e) {
    // As the toolkit does with an error nobody caught: show it, the event loop goes on.
    platform_.ShowMessage(e.what(), "rtsdemo");
  } catch (...) {
    platform_.ShowMessage("unknown error", "rtsdemo");
  }
}
