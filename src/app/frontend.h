// The frame routine and the window's handlers, with no toolkit: the Qt window and the
// headless driver both forward their events here.
// Errors in ui: a handler's error becomes a message box (Platform::ShowMessage), standard
// error gets the details; command-line and script errors print one line and give status 2.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/fog.h"
#include "app/front_state.h"
#include "app/player_controls.h"
#include "game/data_sources.h"
#include "game/level.h"
#include "game/world.h"
#include "render/drawing.h"
#include "script/side_scripts.h"
#include "util/bmp.h"
#include "util/platform.h"

class Frontend {
 public:
  // Every call that draws draws through `drawing`.
  Frontend(World& world, Controls& controls, Platform& platform, TextureUploader& uploader,
           Drawing& drawing);

  // Window created: seeds the generator (OpenGL set-up is the window's).
  void FormCreate();
  // The view changed size: viewport and projection, then one frame.
  void FormResize();
  // One frame: draw, simulate, scroll, command panel, read-out.
  void DrawScene();
  // Mouse moved to view pixels (x, y), y from the top edge.
  void MyMouseCursor(int x, int y);
  // The cursor left the view: nothing is under it until it moves in again.
  void MyMouseLeave() { state().CursorOut = true; }
  enum class Button { Left, Right, Middle };
  void MyMouseDown(Button button);
  // A right click whose order waits in the next-order slot (Shift+right click).
  void QueueClick();
  // A right click that sets the rally point of the selected buildings that train units.
  void RallyClick();
  // A right click of the local player now would set a rally point: no combo is chosen, the
  // click mode is a move and the selection holds a building of one's own that trains units.
  bool WouldRally() const;
  void Button1Click();
  // What a successful Button1Click leaves, with the rows and ground of an earlier load instead
  // of reading the files again (batch matches load once).
  void AcceptLoadedData(const World& loaded);
  void Button2Click();
  // A press of Button1 failed or was refused at some point of this run.
  bool LoadFailed() const { return loadFailed_; }
  // The level Button2 creates instead of the test level.
  void SetLevel(const Level& level) { level_ = level; }
  void ClearLevel() { level_.reset(); }
  const std::optional<Level>& level() const { return level_; }
  // Draws the last frame's picture again (F3 while paused, a picture of the view); changes
  // nothing.
  void Redraw();
  // One step of edge scrolling and the held arrows, as the frame's, with the bound: the
  // timer's step while the frames leave the camera alone.
  void ScrollStep();
  // A scroll step would move the camera (the level runs, the cursor was moved lately or an
  // arrow is held).
  bool WouldScroll() const;
  // Once the bound is on, keeps the camera over the ground (see KeepOnGround in camera.h).
  void KeepOnGround();
  // The camera is where the bound would not let it be.
  bool OffGround() const;
  // The next Redraw shows the camera and zoom as they are now (the view moved while paused).
  void TakeCamera();
  const CameraStart& start() const { return start_; }
  // Frames that are not presented draw through an empty Drawing.
  void SetDrawing(Drawing& drawing) { drawing_ = &drawing; }
  // The camera the last frame drew with (the frame may scroll after drawing).
  float DrawnCameraX() const { return drawn_.CameraX; }
  float DrawnCameraY() const { return drawn_.CameraY; }
  float DrawnZoom() const { return drawn_.Zoom; }

  // Some player plays this side: the computer does not.
  bool Held(int32_t side) const;
  // The AI scripts that play sides instead of the built-in opponent; none by default.
  void SetScripts(std::shared_ptr<SideScripts> scripts) { scripts_ = std::move(scripts); }
  SideScripts* scripts() const { return scripts_.get(); }
  // The scripts, made (none assigned) when there were none.
  SideScripts& UseScripts();
  World& world() { return world_; }
  // The acting player's parts: between frames and commands the local player's; while a
  // player's command or the panel's steps of a player run, that player's.
  FrontState& state() { return Slot(acting_).State; }
  const FrontState& state() const { return Slot(acting_).State; }
  PlayerInput& player() { return Slot(acting_).Player; }
  const PlayerInput& player() const { return Slot(acting_).Player; }
  ControlGroups& groups() { return Slot(acting_).Groups; }
  const ControlGroups& groups() const { return Slot(acting_).Groups; }
  ViewInput& view() { return Slot(acting_).View; }
  const ViewInput& view() const { return Slot(acting_).View; }
  float zoom() const;
  Controls& controls() const { return ControlsOf(acting_); }
  Platform& platform() { return platform_; }

  // Players: each with cursor, camera, clicks, click mode, hover, widgets and selection.
  static constexpr size_t kWatching = static_cast<size_t>(-1);  // an observer's own view
  static constexpr size_t kMaxPlayers = 8;
  size_t players() const { return players_.size(); }
  // Whose the inputs are that the commands bring.
  size_t inputPlayer() const { return inputs_; }
  // The commands that follow are player p's; a new player starts as at start-up.
  void SetInputPlayer(size_t p);
  // The player at this window (its widgets are the window's), or kWatching for an observer,
  // whose view of its own moves only its camera.
  void SetLocal(size_t p);
  size_t local() const { return local_; }
  // A view size for the acting player when it is not at this window; false when it is.
  bool ResizeOther(int w, int h);
  const PlayerState& Slot(size_t p) const { return p == kWatching ? watching_ : players_[p]; }
  PlayerState& Slot(size_t p) { return p == kWatching ? watching_ : players_[p]; }
  Controls& ControlsOf(size_t p) const { return p == local_ ? window_ : *widgets_[p]; }
  // Runs f as player p: its parts, widgets and (withSelection) its selection on the objects.
  template <typename F>
  void ActAs(size_t p, F&& f, bool withSelection = true);
  // Puts player p's selection on the objects' flags; the last holder's goes to its part.
  // Between frames and commands the flags hold player 0's.
  void PutSelection(size_t p);
  // The local player's selection in index order when the flags hold another player's; null
  // when they hold the local player's (or this window watches).
  const std::vector<int32_t>* LocalSelectionAside() const {
    return local_ == kWatching || local_ == selectionOn_ ? nullptr : &Slot(local_).Selection;
  }

  // The fog of war of this window: on for a player who holds a side; an observer or the
  // replay viewer chooses a side's sight (-1: everything). Only drawing and the read-out
  // follow it, so the match is the same with it or without.
  void SetFogShown(bool shown) { fogShown_ = shown; }
  void SetViewer(bool viewer) { viewer_ = viewer; }
  void ChooseSight(int32_t side) { sightChoice_ = side; }
  int32_t sightChoice() const { return sightChoice_; }
  // Whether this window's own side decides the sight (a player with a side, not a viewer).
  bool OwnSight() const;
  // The side whose sight the window shows; -1: everything.
  int32_t FogSide() const;
  const Fog& fog() const { return fog_; }
  // The fog hides what the local player's cursor is over: a right click there takes no object.
  bool HiddenUnderCursor() const;
  // Per object, 1 when the fog hides it now (the minimap's rule).
  std::vector<uint8_t> HiddenObjects() const;

  // What the last frame drew, for Redraw.
  struct Drawn {
    float CameraX = 0;
    float CameraY = 0;
    float Zoom = 1;
    bool Ground = false;
    std::vector<SpriteChoice> Shown;
    bool ShowBars = false;
    std::vector<int32_t> Under;
    int32_t MarkerKind = 0;
  };
  // The frame routine's own state, for snapshots. Widgets are filled for the players not at
  // this window (the window's are the snapshot's own).
  struct Saved {
    std::vector<PlayerState> Players = std::vector<PlayerState>(1);
    size_t Inputs = 0;
    size_t Local = 0;  // read only: a snapshot goes back to the window it came from
    PlayerState Watching;
    Drawn LastDrawn;
    DataSources Sources;
    CameraStart Start;
    SideScripts::Saved Scripts;
  };
  Saved Save() const;
  void Restore(const Saved& saved);

 private:
  void DrawWorld(bool markers);
  void EdgeScroll();
  void ArrowScroll();
  void MarkDataLoaded();
  // The command panel's steps of the acting player.
  void PanelSteps();
  // The players in player order, then an observer's own view.
  struct Steppers {
    explicit Steppers(const Frontend& f);
    struct It {
      size_t i;
      size_t players;
      size_t operator*() const { return i < players ? i : kWatching; }
      It& operator++() { return ++i, *this; }
      bool operator!=(const It& o) const { return i != o.i; }
    };
    It begin() const { return {0, players}; }
    It end() const { return {count, players}; }
    size_t players;
    size_t count;
  };
  PlayerState NewPlayer() const;
  // The widgets of a player not at this window, holding values.
  std::unique_ptr<PlayerControls> WidgetsOf(const ControlValues& values) const;
  void PlaceCamera();

  World& world_;
  Controls& window_;  // the local player's widgets (an observer's own)
  Platform& platform_;
  TextureUploader& uploader_;
  Drawing* drawing_;
  std::vector<PlayerState> players_ = std::vector<PlayerState>(1);
  std::vector<std::unique_ptr<PlayerControls>> widgets_ =
      std::vector<std::unique_ptr<PlayerControls>>(1);  // null for the local player
  PlayerState watching_;
  size_t inputs_ = 0;
  size_t local_ = 0;
  size_t acting_ = 0;
  size_t selectionOn_ = 0;
  CameraStart start_;
  Drawn drawn_;
  DataSources sources_;  // where the loaded rows came from, row for row
  bool loadFailed_ = false;
  std::optional<Level> level_;
  std::shared_ptr<SideScripts> scripts_;
  Fog fog_;
  bool fogShown_ = false;
  bool viewer_ = false;
  int32_t sightChoice_ = -1;
};

template <typename F>
void Frontend::ActAs(size_t p, F&& f, bool withSelection) {
  struct Back {
    Frontend& f;
    size_t acting;
    size_t selection;
    bool swap;
    ~Back() {
      if (swap) f.PutSelection(selection);
      f.acting_ = acting;
    }
  } back{*this, acting_, selectionOn_, withSelection};
  acting_ = p;
  if (withSelection) PutSelection(p);
  f();
}
