// The window's match without its toolkit: what the window's inputs, keys, menu entries and timer
// ticks do to the session, its network match and the sound. The toolkit turns its events into
// these calls and does what the shell is asked to do.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_card.h"
#include "app/net_match.h"
#include "app/options.h"
#include "app/session.h"
#include "app/view_pointer.h"
#include "app/volume.h"
#include "app/window_start.h"

// A key as the toolkit saw it.
struct KeyStroke {
  int32_t Code = kNoKey;   // the toolkit's code (KeyCode)
  uint8_t Mods = kNoMods;  // kShift | kCtrl
  bool Alt = false;
  int Digit = 0;  // DigitOfKey
  bool Press = true;
  bool Repeat = false;
  int64_t Ms = 0;  // when
};

// What only the toolkit can do; the window implements it.
class WindowShell {
 public:
  enum class Picture : uint8_t { Saved, NotDrawn, NotWritten };

  virtual ~WindowShell() = default;
  virtual void ShowBanner(const std::string& text) = 0;  // UTF-8, lines split by "\n"
  // Stops the frame timer and ends the event loop with the code.
  virtual void EndLoop(int code) = 0;
  // The replay viewer's panel and timeline on or off.
  virtual void ShowViewer(bool shown) = 0;
  virtual void RepaintTimeline() = 0;
  // The box that tells who won, open while the view shows the end of the match.
  virtual void SyncMatchEnd() = 0;
  virtual void ShowKeys() = 0;
  virtual void ShowMenu() = 0;
  virtual void ShowCharts() = 0;
  virtual void OpenChat() = 0;
  virtual void FocusView() = 0;
  // The window closes as if the user closed it.
  virtual void Close() = 0;
  virtual bool hidden() const = 0;
  // A recording to open or to save as (UTF-8); empty: cancelled.
  virtual std::string ChooseFile(bool save) = 0;
  // The arguments of the program that plays a network match ("--host 7341"); empty: cancelled.
  virtual std::vector<std::string> ChooseNet(bool host) = 0;
  // Starts the program with the arguments; false: it did not start.
  virtual bool Launch(const std::vector<std::string>& args) = 0;
  // A network match that ended before it started: a box, then `closed`.
  virtual void ShowNetFailure(const std::string& text, std::function<void()> closed) = 0;
  // The user's folders (the home folder where none is known).
  virtual std::string DocumentsFolder() = 0;
  virtual std::string PicturesFolder() = 0;
  // A picture of the view as it is now written to a PNG file.
  virtual Picture SaveView(const std::string& path) = 0;
};

class WindowCore : private PointerTarget {
 public:
  using NetMaker =
      std::function<std::unique_ptr<NetMatch>(Session&, const NetOptions&, const WindowOptions&)>;
  WindowCore(WindowShell& shell, Session& session, Volume& volume, const FormOptions& options,
             NetMaker makeNet);
  ~WindowCore() override;

  // The recordings of the start read and opened; the program ends (status 2) when they fail.
  void Open();
  // The window is shown and draws: the session begins (side, level, replay), the network
  // match starts, a resize that came early runs. False: the window is exiting.
  bool Create();
  // Before the window goes: the network match and the recording closed.
  void Shutdown();
  void Exit(int code);
  // Runs a handler; ProgramExit ends the event loop, other errors show a message box.
  template <typename Fn>
  void Guarded(Fn&& fn);

  // An input of the user, unless a recording plays or the program itself changed the widget.
  void Input(const Command& command);
  // Panel button n clicked; once the level runs, the keys go to the view.
  void Clicked(int n);
  // Clicks button n as the user would; throws ProgramExit once the window exits.
  void Press(int n);
  // The view's size changed.
  void Resized();
  // The session makes the view w x h (`resize`): true when the window has that size already,
  // as a network player's own resize finds it.
  bool AgreedResize(int w, int h);
  // The frame timer fired: the ticks due by the time (one a tick for screenshots).
  void TimerFired();
  // One tick: the frames the pace gives (none while paused), the last presented.
  void Timer(std::optional<int64_t> nowMs);
  // False for a key the window does not use.
  bool Key(const KeyStroke& key);
  // The window lost the keyboard: the keys held are let go.
  void ReleaseKeys();
  void Seek(uint64_t frame);
  void UpdateBanner();
  std::string Banner() const;

  // After a drawn frame: the command card as it is shown now.
  const CommandCard& UpdateCard();
  void ChooseOnCard(int32_t item);

  // The game menu's and the end box's entries.
  void NewMatch(const std::string& level);
  void SetSpeed(int speed);
  void ChooseSight(int32_t side);
  void OpenReplay();
  void SaveRecording();
  void WatchReplay();
  void KeepWatching();
  // The replay becomes a live match: the computer plays the side other than `side` (-1:
  // both; nothing: as recorded); the recording goes to --record's file or a new one in the
  // documents folder. Nothing unless a recording plays.
  void TakeOver(std::optional<int32_t> side);
  // The match so far as a recording in the documents folder; the banner says where.
  void SaveMatch();
  void SavePicture();
  // Hosts or joins a network match in a new program; this window closes.
  void Network(bool host);
  void StartNetwork();
  void HandOver();
  void Chat(const std::string& text);
  // The user closes the window: false when it hides instead and plays on until every player
  // of the network match has left.
  bool Closing();

  Session& session() { return s_; }
  WindowShell& shell() { return shell_; }
  const FormOptions& options() const { return options_; }
  const NetMatch* net() const { return net_.get(); }
  NetMatch* net() { return net_.get(); }
  ViewPointer& pointer() { return pointer_; }
  bool created() const { return created_; }
  bool exiting() const { return exiting_; }
  int exitCode() const { return exitCode_; }
  // Where the last F12 picture went (empty before one).
  const std::string& lastPicture() const { return lastPicture_; }

 private:
  void StartNet();
  // The level is created: an interactive window looks at what it placed.
  void LookAtLevel();
  void SoundKey(KeyAction action, bool repeat);
  // A new file in the documents folder's rtsdemo folder: prefix and date and time.
  std::string MatchFile(const std::string& prefix);

  // PointerTarget.
  bool OverMinimap(int x, int y) override;
  void Minimap(int x, int y) override;
  void Moved(int x, int y) override;
  void Left() override;
  void Pressed(Frontend::Button button) override;
  void RightPressed(bool shift) override;
  void Dragging(ViewBox box) override;
  void DragEnded() override;
  void BoxReleased(ViewBox box, bool add) override;
  void DoubleClicked(int x, int y) override;
  void Wheeled(int steps, int x, int y) override;

  WindowShell& shell_;
  Session& s_;
  Volume& volume_;
  FormOptions options_;
  NetMaker makeNet_;
  std::unique_ptr<NetMatch> net_;
  ViewPointer pointer_{*this};
  bool created_ = false;        // Create has run
  bool pendingResize_ = false;  // a resize came before Create
  bool exiting_ = false;
  int exitCode_ = 0;
  bool netFailureShown_ = false;
  CommandCard card_;  // as shown
  std::string lastPicture_;
};

// The window's toolkit-free parts, its session and the core over it, with what tests and
// scripts read of them; the toolkit's window derives from it and makes them.
class WindowParts {
 public:
  Session& session() { return *session_; }
  Frontend& frontend() { return session_->frontend(); }
  Pace& pace() { return session_->pace(); }
  const MatchWatch& match() const { return session_->match(); }
  bool thoughtsShown() const { return session_->view().thoughtsShown(); }
  bool replaying() const { return session_->viewer().playing(); }
  bool replayEnded() const { return session_->viewer().ended(); }
  // A handler raised ProgramExit: the event loop is ending with this code.
  bool exiting() const { return core_->exiting(); }
  int exitCode() const { return core_->exitCode(); }
  // One tick of the frame timer: the frames the pace gives (none while paused), the last
  // presented.
  void TimerDraw() { core_->Timer(std::nullopt); }
  // The frame timer fired: the match loop runs the ticks due by the time (late ones undrawn).
  void TimerFired() { core_->TimerFired(); }
  // Clicks button n as the user would (a disabled one ignores it).
  void Press(int n) { core_->Press(n); }
  // The network match, if this window plays one.
  NetMatch* net() { return core_->net(); }

 protected:
  ~WindowParts() = default;
  std::unique_ptr<Session> session_;
  std::unique_ptr<WindowCore> core_;
};

template <typename Fn>
inline void WindowCore::Guarded(Fn&& fn) {
  try {
    fn();
  } catch (const ProgramExit& e) {
    Exit(e.Code);
  } catch (const CommandError& e) {
    s_.platform().ShowMessage(e.What, "rtsdemo");
  } catch (const std::exception& e) {
    // As the toolkit does with an error nobody caught: show it, the event loop goes on.
    s_.platform().ShowMessage(e.what(), "rtsdemo");
  } catch (...) {
    s_.platform().ShowMessage("unknown error", "rtsdemo");
  }
}
