// A session: the world, the frame routine, the player's inputs and pace, with its parts (the
// view, the input log, the replay viewer) and no toolkit. Every input that can change a match
// enters through Apply, which also records it; the window, scripts, recordings and replays all use
// that one door.
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
#include "app/headless.h"
#include "app/input_log.h"
#include "app/keys.h"
#include "app/match_loop.h"
#include "app/match_state.h"
#include "app/match_view.h"
#include "app/pace.h"
#include "app/replay_viewer.h"
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
// What a session is wired to around it; each is optional.
struct SessionWiring {
  // Frames come from here (a lockstep peer) instead of the session's own match; null: its own.
  FrameSource* frames = nullptr;
  // Where inputs go instead of being applied here (a network match's lockstep); the route
  // returns false for those it leaves to Apply.
  std::function<bool(const Command&)> route;
  // Told of every command and frame (sound).
  SessionListener* listener = nullptr;
  // Under a script frames come only from the script: the toolkit's resizes run none.
  bool scripted = false;
  // The banner's tally after every frame; off where nobody reads it (the batch keeps its own).
  bool watchMatch = true;
};

class Session : public ScriptTarget, private FrameSource {
 public:
  Session(Controls& controls, RecordingPlatform& platform, TextureUploader& uploader,
          Drawing& drawing, SessionHost& host);
  ~Session() override;

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
  // Panel button n pressed (the input "press n"): load the data, create the level.
  void Press(int n);
  // The timer fired at nowMs of a steady clock (none: exactly one tick): the match loop runs
  // the ticks due from the frame source, the last frame drawn when `present`.
  void Timer(std::optional<int64_t> nowMs = std::nullopt, bool present = true);
  // A script's `tick n`: n frames from the source, each the replay's when one plays. Throws
  // OutOfSync when a replay's check fails, CommandError when its script does; false when the
  // recording ended first.
  bool Frames(uint64_t n);
  MatchLoop& loop() { return loop_; }
  // A live match is neither a replay nor a network match: the menu may offer a new match,
  // the side, the speed and saving.
  bool live() const { return !viewer_.playing() && !wiring_.frames; }

  // A new match as the input "new SEED [LEVEL]", the seed from the clock (or --seed); in the
  // replay viewer it first ends the viewer. Empty level: the same level again. It runs at
  // normal speed.
  void NewMatch(const std::string& level = {});
  // What "new" does: the data stay, the rest is as after the level's creation in a fresh
  // session with this seed; the check boxes, the side played and the view size stay.
  void StartNewMatch(uint32_t seed, const std::string& level);

  SessionSnapshot Save() const override;
  void Restore(const SessionSnapshot& snapshot) override;

  // True while a command or a frame runs: widget changes then are the program's own.
  bool busy() const { return busy_ > 0; }

  // The parts.
  MatchView& view() { return view_; }
  const MatchView& view() const { return view_; }
  InputLog& inputs() { return inputs_; }
  ReplayViewer& viewer() { return viewer_; }
  const ReplayViewer& viewer() const { return viewer_; }
  SessionWiring& wiring() { return wiring_; }

  Frontend& frontend() override { return frontend_; }
  const Frontend& frontend() const { return frontend_; }
  World& world() override { return world_; }
  Controls& controls() override { return controls_; }
  RecordingPlatform& platform() { return platform_; }
  SessionHost& host() { return host_; }
  Pace& pace() { return pace_; }
  const MatchWatch& match() const { return match_; }

 private:
  friend class MatchView;
  friend class InputLog;
  friend class ReplayViewer;

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
  FrameSource& Source() { return wiring_.frames ? *wiring_.frames : *this; }
  // Everything but the data (when kept) and the view size as at start-up.
  void ResetSession(bool keepData);
  // Button 1 takes the data loaded before the session was reset instead of reading them
  // again; false when there are none (or they are loaded).
  bool AcceptPreloaded();
  // The level has been created: the match's figures and its replay start here.
  void MatchStarted();
  // After a frame: the match's log and its end.
  void FrameDone();
  // Before a tick's frames: who moves the camera, and a scroll step when the frames do not.
  void CameraTick(int frames);

  World world_;
  Controls& controls_;
  RecordingPlatform& platform_;
  Drawing& drawing_;
  Drawing nothing_;  // for frames that are not shown
  SessionHost& host_;
  Frontend frontend_;
  Pace pace_;
  MatchWatch match_;
  int busy_ = 0;
  uint32_t matchSeed_ = 0;          // the generator's seed when the match began
  bool matchSeedPending_ = false;   // began before the first frame: its seed comes then
  std::optional<World> preloaded_;  // the data of before a reset
  SessionWiring wiring_;
  MatchLoop loop_;
  MatchView view_{*this};
  InputLog inputs_{*this};
  ReplayViewer viewer_{*this};
};
