// A session: the world, the frame routine, the player's inputs, pace, recorder, replay and
// match watch, with no toolkit. Every input that can change a match enters through Apply,
// which also records it; the window, scripts, recordings and replays all use that one door.
#pragma once

#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command.h"
#include "app/control_values.h"
#include "app/controls.h"
#include "app/frontend.h"
#include "app/group_taps.h"
#include "app/headless.h"
#include "app/keys.h"
#include "app/match_loop.h"
#include "app/match_state.h"
#include "app/overlays.h"
#include "app/pace.h"
#include "app/recorder.h"
#include "app/script_target.h"
#include "app/selection.h"
#include "app/session_snapshot.h"
#include "game/level.h"
#include "game/world.h"
#include "render/drawing.h"

// A level file or a shipped level's name; its first error is thrown as a CommandError.
Level ReadLevelOrThrow(const std::string& name);

// What only the toolkit around a session can do; headless, nothing.
class SessionHost {
 public:
  virtual ~SessionHost() = default;
  // Before anything that draws or uploads textures; false: the frame cannot run now.
  virtual bool MakeCurrent() { return true; }
  // After a drawn frame: overlays and the buffer swap.
  virtual void Present() {}
  // Makes the view w x h pixels (the window resizes itself, headless takes the size).
  virtual void ResizeView(int w, int h) = 0;
  virtual bool Screenshot(const std::string& file, std::string& error) {
    (void)file;
    error = "screenshot needs the window";
    return false;
  }
  // A box for the user that does not stop the frames (replay stopped, recording failed).
  virtual void Notice(const std::string& text) { (void)text; }
};

class Session;

// Told of every command and frame, reading only (sound).
class SessionListener {
 public:
  virtual ~SessionListener() = default;
  // After a command was applied (a `tick`'s frames were told one by one).
  virtual void CommandApplied(Session& session, const Command& command) = 0;
  // After each frame, the match watch updated.
  virtual void FrameDone(Session& session) = 0;
  // At each timer tick, before its frames (the pause may have changed).
  virtual void Ticked(Session& session) = 0;
};
class ReplayPlayer;

// What the toolkit must still do after a key.
enum class KeyResult : uint8_t { Done, ShowHelp, SavePicture, ShowMenu };

class Session : public ScriptTarget, private FrameSource {
 public:
  Session(Controls& controls, RecordingPlatform& platform, TextureUploader& uploader,
          Drawing& drawing, SessionHost& host);
  ~Session() override;

  // The window exists: seeds the generator.
  void Create();
  // The one door for inputs: applies the command and records it. Throws CommandError,
  // OutOfSync or ProgramExit.
  void Apply(const Command& command, std::ostream& out = std::cout) override;
  // An observer's input for its own view (cursor, arrows, camera, zoom): applied at once to
  // that view alone, never recorded or sent. False (nothing done) for another input, or when
  // this window is a player's.
  bool ApplyOwnView(const Command& command);
  // One frame as a timer tick runs it; a frame not shown draws nothing.
  void RunFrame(bool show) override;
  // The frame a resize runs, after the view took its new size.
  void ResizeFrame();
  // The timer fired at nowMs of a steady clock (none: exactly one tick): the match loop runs
  // the ticks due from the frame source, the last frame drawn when `present`.
  void Timer(std::optional<int64_t> nowMs = std::nullopt, bool present = true);
  // A script's `tick n`: n frames from the source, each the replay's when one plays. Throws
  // OutOfSync when a replay's check fails, CommandError when its script does; false when the
  // recording ended first.
  bool Frames(uint64_t n);
  // Frames come from `source` (a lockstep peer) instead of this session's match; null: back.
  void SetFrameSource(FrameSource* source) { external_ = source; }
  // What the menu may offer: a network match's frames and pace are everyone's; a live match
  // is neither a replay nor a network match (new match, side, speed, save).
  bool networked() const { return external_ != nullptr; }
  bool live() const { return !replay_ && !external_; }
  MatchLoop& loop() { return loop_; }
  // The view changed size by the toolkit: viewport and projection; under a script or a
  // replay nothing more, else the resize's frame as the input "resize W H".
  void ViewResized();
  // The last frame's picture again (changes nothing).
  void Redraw();
  // The view took a size the match does not see (an observer's window): the picture only.
  void ResizeDrawing();
  // Without a side of one's own, the view shows side s's sight (-1: everything); the banner
  // says so. Changes nothing in the match.
  void ChooseSight(int32_t side);
  // A key pressed or released; repeat: held down.
  KeyResult Key(KeyAction action, bool press, bool repeat);
  // The user's held keys are let go (the window lost the keyboard).
  void ReleaseKeys();
  // Digit key 1 to 9 at time ms: with ctrl stores the selection as that group, with shift adds
  // it, else recalls the group; the same digit again within 300 ms centres the camera on it.
  void GroupKey(int digit, bool ctrl, bool shift, int64_t ms);
  // The rectangle a left drag spans, drawn over the view until cleared (nullopt); view pixels,
  // y from the top. Changes nothing in the match.
  void SetDragBox(std::optional<ViewBox> box);
  // The mouse wheel at view pixel (x, y from the top): steps > 0 zoom in, < 0 out.
  void Wheel(int steps, int x, int y);
  // The minimap: shown or not (the window's Tab; changes nothing in the match), where it is,
  // and whether view pixel (x, y from the top) is on it.
  bool minimapShown() const { return overlays_.minimapShown(); }
  void SetMinimap(bool shown);
  MinimapLayout Minimap() const;
  bool OverMinimap(int x, int y) const;
  // A press or drag at view pixel (x, y from the top): on the shown minimap the camera looks
  // there ("look") and true; else false.
  bool MinimapPress(int x, int y);
  // After a command moved the camera: while paused the view is drawn again at once.
  void ViewMoved();

  // Writes every input to path from now on; false with the system's reason.
  bool StartRecording(const std::string& path, std::string& error);
  // Keeps every input in memory from now on (the window always does), so that the session
  // can be saved and its match watched again.
  void KeepInputs();
  // The last ticks and a final sync check; the inputs kept stay to be saved.
  void CloseRecording();
  // The inputs so far as a script that replays the session, written to path; false with the
  // reason. Needs KeepInputs or StartRecording.
  bool SaveRecording(const std::string& path, std::string& error);

  // The game menu's actions.
  // A new match as the input "new SEED [LEVEL]", the seed from the clock (or --seed); in the
  // replay viewer it first ends the viewer. Empty level: the same level again. It runs at
  // normal speed.
  void NewMatch(const std::string& level = {});
  // What "new" does: the data stay, the rest is as after the level's creation in a fresh
  // session with this seed; the check boxes, the side played and the view size stay.
  void StartNewMatch(uint32_t seed, const std::string& level);
  // Game speed 0 (x1/4) to Pace::kSpeeds - 1 (x8).
  void SetSpeed(int speed);
  // Ends this session's recording and plays the script in the viewer from a fresh start.
  void OpenReplay(Script script);
  // The level has been created: the match's figures and its replay start here.
  void MatchStarted();
  // Button 1 takes the data loaded before the session was reset instead of reading them
  // again; false when there are none (or they are loaded).
  bool AcceptPreloaded();

  // The end of the match, from the frame one side has won until a choice is made; the match
  // is paused meanwhile.
  const std::optional<MatchEndView>& matchEnd() const { return matchEnd_; }
  // Lets the match run on.
  void KeepWatching();
  // Replays this match's inputs from its start in the viewer; false when none were kept.
  bool WatchMatchReplay();
  // Plays a script frame by frame from the timer: the replay viewer.
  void StartReplay(Script script);
  bool replaying() const { return replay_ != nullptr; }
  // The replay, opened (played once) on first use; null when none plays.
  ReplayPlayer* OpenedReplay();
  const ReplayPlayer* replay() const { return replay_.get(); }
  // Seeks the replay to `frame`, shown; false when a `hash` line failed on the way.
  bool SeekReplay(uint64_t frame);
  // The replayed match goes live at its frame now: the computer plays the side other than
  // `side` (-1: both; nothing: as recorded), and a new recording, beginning with the lines
  // replayed so far, goes to `path` (empty: memory only). False with the reason.
  bool TakeOver(std::optional<int32_t> side, const std::string& path, std::string& error);
  // Plays the replay to its end undrawn and takes the match over there as recorded.
  bool Resume(const std::string& path, std::string& error);
  // Writes the match so far as a recording that replays it; false with the reason.
  bool SaveMatch(const std::string& path, std::string& error);
  bool replayEnded() const { return replayEnded_; }
  // Under a script frames come only from the script: the toolkit's resizes run none.
  void SetScripted(bool scripted) { scripted_ = scripted; }
  // The banner's tally after every frame; off where nobody reads it (the batch keeps its own).
  void SetMatchWatched(bool watched) { watchMatch_ = watched; }
  // Where inputs go instead of being applied here (a network match's lockstep); the route
  // returns false for those it leaves to Apply.
  void SetInputRoute(std::function<bool(const Command&)> route) { route_ = std::move(route); }
  // A line of the recording that replays as nothing (a chat message).
  void RecordComment(const std::string& text);
  // Whoever listens to commands and frames (nullptr: nobody).
  void SetListener(SessionListener* listener) { listener_ = listener; }

  SessionSnapshot Save() const override;
  void Restore(const SessionSnapshot& snapshot) override;

  // The banner (UTF-8): the match or the start-up line, the pace, and a note.
  std::string Banner() const;
  void SetNote(const std::string& note) { note_ = note; }
  // True while a command or a frame runs: widget changes then are the program's own.
  bool busy() const { return busy_ > 0; }
  bool thoughtsShown() const { return thoughts_; }

  Frontend& frontend() override { return frontend_; }
  const Frontend& frontend() const { return frontend_; }
  World& world() override { return world_; }
  Controls& controls() override { return controls_; }
  RecordingPlatform& platform() { return platform_; }
  SessionHost& host() { return host_; }
  Pace& pace() { return pace_; }
  const MatchWatch& match() const { return match_; }

 private:
  // Counts a command or a frame in progress, so widget changes then are known as the program's.
  struct BusyScope {
    int& count;
    explicit BusyScope(int& c) : count(c) { ++count; }
    ~BusyScope() { --count; }
  };
  // This session's own frames: its match, or the replay while one plays.
  int BeginTick() override;
  bool RunFrame(bool show, FrameCall call) override;
  void EndTick(bool held) override;
  FrameSource& Source() { return external_ ? *external_ : *this; }
  // The replay's next frame; false when none ran (the end, an error, a failed check).
  bool ReplayFrame(bool show, FrameCall call);
  // Everything but the data (when kept) and the view size as at start-up.
  void ResetSession(bool keepData);
  // After a frame: the match's log and its end.
  void FrameDone();
  void TakeMatchStart();
  // The drawing takes the view's size; no frame runs.
  void TakeViewSize();
  // Before a tick's frames: who moves the camera, and a scroll step when the frames do not.
  void CameraTick(int frames);
  void ReplayStopped(const std::string& box, const std::string& note);

  World world_;
  Controls& controls_;
  RecordingPlatform& platform_;
  Drawing& drawing_;
  Drawing nothing_;  // for frames that are not shown
  SessionHost& host_;
  Frontend frontend_;
  Pace pace_;
  MatchWatch match_;
  std::unique_ptr<Recorder> recorder_;
  std::unique_ptr<ReplayPlayer> replay_;
  bool replayEnded_ = false;
  bool scripted_ = false;
  bool watchMatch_ = true;
  bool thoughts_ = false;  // F3
  int busy_ = 0;
  std::string note_;  // the banner's second line (UTF-8)
  Overlays overlays_;
  GroupTaps groupTaps_;
  bool keepInputs_ = false;
  bool recordingClosed_ = false;
  // This match's start and its inputs since, for watching it again.
  std::optional<SessionSnapshot> matchStart_;
  bool startPending_ = false;
  bool startSeedPending_ = false;  // taken before the first frame: its seed is patched in after
  Script matchLog_;
  std::optional<World> preloaded_;  // the data of before a reset
  std::optional<MatchEndView> matchEnd_;
  bool endShown_ = false;
  SessionListener* listener_ = nullptr;
  std::function<bool(const Command&)> route_;
  MatchLoop loop_;
  FrameSource* external_ = nullptr;
};
