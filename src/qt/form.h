// The main window "OpenGL demo": banner, command panel and the OpenGL view, the frame timer and
// the OpenGL context. It turns Qt's events into the window core's calls and draws; the core
// and the session hold everything else.
#pragma once

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/window_core.h"
#include "qt/widget_controls.h"
#include "render/render.h"
#include "render/thought_labels.h"
#include "sound/sound_player.h"
#include "util/keeping_uploader.h"

class CardButtons;
class GlView;
class QCheckBox;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QOpenGLContext;
class QTimer;
class QToolButton;
class Timeline;

// Message boxes as modal Qt boxes (or answered at once under a script).
class QtPlatform : public RecordingPlatform {
 public:
  QWidget* owner = nullptr;

 protected:
  void ShowModal(const std::string& text, const std::string& caption) override;
};

class TForm1 : public QWidget, public SessionHost, public WindowParts, private WindowShell {
  Q_OBJECT

 public:
  explicit TForm1(const FormOptions& options);
  ~TForm1() override;  // FormDestroy

  // Once the window is shown: OpenGL state, seeding, a resize that came early, the frame timer.
  void FormCreate();
  // Mute and volume (the keys M, Shift+M, Ctrl+M; the game menu).
  SoundPlayer& sound() { return *sound_; }
  RecordingPlatform& platform() { return platform_; }
  QtControls& controls() { return controls_; }
  bool hasGL() const { return hasGL_; }
  // The back buffer as read right before the last swap (with keepFrames); null before it.
  const QImage& lastFrame() const { return lastFrame_; }
  // Where the last F12 picture went (empty before one).
  QString lastPicture() const { return QString::fromStdString(core_->lastPicture()); }
  // A picture of the view as it is now, the thoughts included when shown; null without OpenGL.
  QImage GrabView();
  // The game menu under the banner's menu button (Escape opens it too).
  void ShowGameMenu();
  // Answers the menu's file dialogs instead of the user (save: "Save recording as...");
  // an empty name cancels.
  void SetFileChooser(std::function<QString(bool save)> chooser) { chooser_ = std::move(chooser); }
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
  // WindowShell.
  void ShowBanner(const std::string& text) override;
  void EndLoop(int code) override;
  void ShowViewer(bool shown) override;  // viewer_ui.cpp
  void RepaintTimeline() override;
  void SyncMatchEnd() override;  // menu.cpp
  void ShowKeys() override;      // keys_box.cpp
  void ShowMenu() override { ShowGameMenu(); }
  void ShowCharts() override;
  void OpenChat() override;  // net_ui.cpp
  void FocusView() override;
  void Close() override { close(); }
  bool hidden() const override { return isHidden(); }
  std::string ChooseFile(bool save) override;
  std::vector<std::string> ChooseNet(bool host) override;
  bool Launch(const std::vector<std::string>& args) override;
  void ShowNetFailure(const std::string& text, std::function<void()> closed) override;
  std::string DocumentsFolder() override;  // pictures.cpp
  std::string PicturesFolder() override;
  Picture SaveView(const std::string& path) override;
  // The thoughts over the view, when shown (pictures.cpp).
  void DrawThoughts();

  // The layout table (layout.cpp).
  void BuildLayout();
  void LayoutPanels();
  void ConnectInputs();
  bool HandleKey(QKeyEvent* event, bool press);
  void CloseChat(bool send);
  // What the window remembers between runs (preferences.cpp).
  void ApplyPreferences();

  QLabel* Panel1 = nullptr;
  QFrame* Panel2 = nullptr;
  QWidget* Panel3 = nullptr;  // container of the OpenGL view
  QTimer* Timer1 = nullptr;
  QCheckBox* CheckBox2 = nullptr;  // "Карта": the window remembers it
  GlView* View = nullptr;
  CardButtons* Card = nullptr;
  QToolButton* MenuButton = nullptr;  // in the banner strip
  Timeline* timeline_ = nullptr;      // the replay viewer's
  QLineEdit* chatLine_ = nullptr;

  QtControls controls_;
  QtPlatform platform_;
  GlTextureUploader uploader_;
  KeepingUploader keeping_{uploader_};  // keeps the pictures for the command card
  std::unique_ptr<Drawing> drawing_;
  std::unique_ptr<QOpenGLContext> RC;
  std::unique_ptr<SoundPlayer> sound_;
  bool hasGL_ = false;
  QImage lastFrame_;
  QImage* grab_ = nullptr;  // Present reads the back buffer into it
  GlyphAtlas atlas_;
  bool atlasTried_ = false;
  QPointer<QDialog> keysBox_;
  QPointer<QMenu> menu_;
  QPointer<QDialog> endBox_;
  QPointer<QDialog> chartsBox_;
  std::function<QString(bool)> chooser_;
  std::function<QStringList(bool)> netChooser_;
  std::function<bool(const QStringList&)> launcher_;
  QObject* blocker_ = nullptr;  // eats the user's mouse on the panel while a recording plays
  std::vector<std::pair<QPointer<QWidget>, Qt::FocusPolicy>> focus_;  // before blocking
};
