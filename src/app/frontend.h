// The frame routine and the window's handlers, with no toolkit: the Qt window and the
// headless driver both forward their events here.
// Errors in ui: a handler's error becomes a message box (Platform::ShowMessage), standard
// error gets the details; command-line and script errors print one line and give status 2.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/front_state.h"
#include "game/data_sources.h"
#include "game/level.h"
#include "game/world.h"
#include "render/drawing.h"
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
  enum class Button { Left, Right, Middle };
  void MyMouseDown(Button button);
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

  World& world() { return world_; }
  FrontState& state() { return state_; }
  PlayerInput& player() { return player_; }
  const PlayerInput& player() const { return player_; }
  ControlGroups& groups() { return groups_; }
  ViewInput& view() { return view_; }
  const ViewInput& view() const { return view_; }
  float zoom() const;
  const ControlGroups& groups() const { return groups_; }
  Controls& controls() { return controls_; }
  Platform& platform() { return platform_; }

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
  // The frame routine's own state, for snapshots.
  struct Saved {
    FrontState State;
    PlayerInput Player;
    Drawn LastDrawn;
    DataSources Sources;
    ControlGroups Groups;
    CameraStart Start;
    ViewInput View;
  };
  Saved Save() const { return {state_, player_, drawn_, sources_, groups_, start_, view_}; }
  void Restore(const Saved& saved) {
    state_ = saved.State;
    player_ = saved.Player;
    drawn_ = saved.LastDrawn;
    sources_ = saved.Sources;
    groups_ = saved.Groups;
    start_ = saved.Start;
    view_ = saved.View;
  }

 private:
  void DrawWorld(bool markers);
  void EdgeScroll();
  void ArrowScroll();
  void MarkDataLoaded();

  World& world_;
  Controls& controls_;
  Platform& platform_;
  TextureUploader& uploader_;
  Drawing* drawing_;
  FrontState state_;
  PlayerInput player_;
  ControlGroups groups_;
  CameraStart start_;
  ViewInput view_;
  Drawn drawn_;
  DataSources sources_;  // where the loaded rows came from, row for row
  bool loadFailed_ = false;
  std::optional<Level> level_;
};
