#include "app/frontend.h"

#include <cmath>
#include <iostream>

#include "app/camera.h"
#include "app/command_panel.h"
#include "app/texts.h"
#include "game/contacts.h"
#include "game/data_check.h"
#include "game/loader.h"
#include "game/opponent.h"
#include "game/orders.h"
#include "game/sprites.h"

namespace {
// Caption of the toolkit's own message and error boxes.
const char* const kAppTitle = "rtsdemo";
}  // namespace

Frontend::Frontend(World& world, Controls& controls, Platform& platform, TextureUploader& uploader,
                   Drawing& drawing)
    : world_(world),
      controls_(controls),
      platform_(platform),
      uploader_(uploader),
      drawing_(&drawing) {}

void Frontend::FormCreate() {
  world_.Rng.Seed = platform_.ClockSeed();
}

void Frontend::FormResize() {
  drawing_->Resize(controls_.ViewWidth(), controls_.ViewHeight(), controls_.ViewPixelRatio());
  KeepOnGround();  // the bound holds for the new size as for a camera move
  DrawScene();
}

void Frontend::DrawScene() {
  controls_.ListClear();
  if (state_.FirstFrame) {
    world_.Rng.Seed = platform_.ClockSeed();
    drawing_->FirstFrame();
    state_.FirstFrame = false;
  }
  drawing_->SetZoom(zoom());
  drawing_->BeginFrame(state_.CameraX, state_.CameraY);
  drawn_ = Drawn{};
  drawn_.CameraX = state_.CameraX;
  drawn_.CameraY = state_.CameraY;
  drawn_.Zoom = zoom();

  if (!controls_.ButtonEnabled(2)) {
    // The counters advance here in every mode; drawing only reads what this step chose.
    drawn_.Shown = AdvanceAnimations(world_);
    drawn_.Ground = controls_.Checked(2);
    drawn_.ShowBars = state_.ShowBars;
    DrawWorld(false);
    state_.ShowBars = controls_.Checked(1);
    ContactPass(world_);
    ExecuteOrders(world_);
    // With a side of the player's own the computer plays only the other one.
    if (player_.PlayAs != 0) RunComputerSide(world_, 0);
    if (player_.PlayAs != 1) RunComputerSide(world_, 1);
    // Paused or at another speed than x1 the timer's "scroll" steps move the camera instead.
    if (!view_.TickScroll) {
      EdgeScroll();
      ArrowScroll();
      KeepOnGround();
    }
    UpdateCommandMode(controls_, state_);
    ClearSelectionOnClick(state_, world_);
    Hover hover = HoverPass(world_, state_, controls_, player_.PlayAs, zoom());
    drawn_.Under = std::move(hover.Under);
    drawn_.MarkerKind = hover.MarkerKind;
    DrawWorld(true);
    FollowMode(state_);
    GiveOrders(world_, state_, controls_, zoom());
  }

  FillReadout(world_, state_, controls_);
  state_.LeftClicked = false;
  state_.RightClicked = false;
  ++state_.Frames;
  // The window swaps the buffers after the frame.
}

void Frontend::EdgeScroll() {
  if (state_.ScrollTicks <= 0) return;
  const int w = controls_.ViewWidth();
  const int h = controls_.ViewHeight();
  if (state_.MouseX < 50) state_.CameraX += 1.0f;
  if (state_.MouseY < 50) state_.CameraY += 1.0f;
  if (state_.MouseX > w - 50) state_.CameraX -= 1.0f;
  if (state_.MouseY > h - 50) state_.CameraY -= 1.0f;
  --state_.ScrollTicks;
}

// Held arrow keys move the camera as the cursor in a margin does, 1.0 a frame and axis.
void Frontend::ArrowScroll() {
  if (player_.ArrowLeft) state_.CameraX += 1.0f;
  if (player_.ArrowRight) state_.CameraX -= 1.0f;
  if (player_.ArrowDown) state_.CameraY += 1.0f;
  if (player_.ArrowUp) state_.CameraY -= 1.0f;
}

void Frontend::ScrollStep() {
  if (controls_.ButtonEnabled(2)) return;  // as in the frame: only while the level runs
  EdgeScroll();
  ArrowScroll();
  KeepOnGround();
}

bool Frontend::WouldScroll() const {
  return !controls_.ButtonEnabled(2) &&
         (state_.ScrollTicks > 0 || player_.ArrowLeft || player_.ArrowRight || player_.ArrowUp ||
          player_.ArrowDown);
}

void Frontend::KeepOnGround() {
  if (!view_.Bounded) return;
  ::KeepOnGround(state_, zoom(), world_.Ground, start_, controls_.ViewWidth(),
                 controls_.ViewHeight());
}

bool Frontend::OffGround() const {
  FrontState kept = state_;
  ::KeepOnGround(kept, zoom(), world_.Ground, start_, controls_.ViewWidth(),
                 controls_.ViewHeight());
  return kept.CameraX != state_.CameraX || kept.CameraY != state_.CameraY;
}

float Frontend::zoom() const {
  return ZoomOf(view_.ZoomStep);
}

void Frontend::TakeCamera() {
  drawn_.CameraX = state_.CameraX;
  drawn_.CameraY = state_.CameraY;
  drawn_.Zoom = zoom();
}

// The world as the frame draws it: ground and objects before the simulation step, the hover
// markers after the command panel.
void Frontend::DrawWorld(bool markers) {
  if (markers) {
    drawing_->HoverMarkers(world_, drawn_.Under, drawn_.MarkerKind, platform_);
    return;
  }
  if (drawn_.Ground) drawing_->Ground(world_);
  drawing_->Objects(world_, drawn_.Shown, drawn_.ShowBars);
}

void Frontend::Redraw() {
  drawing_->SetZoom(drawn_.Zoom);
  drawing_->BeginFrame(drawn_.CameraX, drawn_.CameraY);
  if (controls_.ButtonEnabled(2)) return;
  DrawWorld(false);
  DrawWorld(true);
}

void Frontend::MyMouseCursor(int x, int y) {
  state_.MouseX = x;
  state_.MouseY = controls_.ViewHeight() - y;
  state_.ScrollTicks = 30;
}

void Frontend::MyMouseDown(Button button) {
  if (button == Button::Left) state_.LeftClicked = true;
  if (button == Button::Right) state_.RightClicked = true;
}

void Frontend::Button1Click() {
  DataProblems problems;
  LoadContext context{platform_, uploader_, &sources_, &problems};
  try {
    LoadGameData(world_, context);
  } catch (const LoadError& e) {
    // The toolkit's error box: the message with a full stop, the application's title.
    platform_.ShowMessage(std::string(e.what()) + ".", kAppTitle);
    problems.push_back({e.Path, e.Line, true, e.Detail.empty() ? ToUtf8(e.what()) : e.Detail});
    PrintProblems(problems, sources_, std::cerr);
    loadFailed_ = true;
    return;
  } catch (const ProgramExit&) {
    // A bitmap that cannot be loaded: its line and reason, then the end.
    PrintProblems(problems, sources_, std::cerr);
    throw;
  }
  // Data that the rules would read outside an array is refused here, once; the warnings go
  // to standard error only.
  CheckCatalogue(world_, sources_, problems);
  PrintProblems(problems, sources_, std::cerr);
  if (ErrorCount(problems) > 0) {
    platform_.ShowMessage(ToCp1251(RefusalText(problems)), kAppTitle);
    loadFailed_ = true;
    return;
  }
  MarkDataLoaded();
}

void Frontend::AcceptLoadedData(const World& loaded) {
  world_.Catalogue = loaded.Catalogue;
  world_.GroundTexture = loaded.GroundTexture;
  MarkDataLoaded();
}

void Frontend::MarkDataLoaded() {
  controls_.SetButtonEnabled(1, false);
  controls_.SetButtonCaption(1, CP1251("ДАННЫЕ ЗАГРУЖЕНЫ"));
}

void Frontend::Button2Click() {
  if (controls_.ButtonEnabled(1)) {
    platform_.ShowMessage(CP1251("Сначала загрузите данные!"), kAppTitle);
    return;
  }
  if (level_) {
    // Types are looked up in the catalogue now that it is loaded; a level naming a type that
    // does not exist is refused as faulty data is.
    DataProblems problems;
    ResolveLevel(world_, *level_, problems);
    PrintProblems(problems, sources_, std::cerr);
    if (ErrorCount(problems) > 0) {
      platform_.ShowMessage(ToCp1251(RefusalText(problems)), kAppTitle);
      return;
    }
    CreateLevel(world_, *level_);
    LevelCamera(*level_, controls_.ViewWidth(), controls_.ViewHeight(), state_.CameraX,
                state_.CameraY);
  } else {
    CreateTestLevel(world_);
  }
  // With a side of one's own the match starts on it.
  if (player_.PlayAs >= 0) {
    if (const std::optional<int32_t> home = HomeObject(world_, player_.PlayAs)) {
      const TObyekt& o = ObjectAt(world_, *home);
      CentreOn(state_, zoom(), controls_.ViewWidth(), controls_.ViewHeight(), std::round(o.X),
               std::round(o.Y));
    }
  }
  const WorldPoint2 middle =
      ViewCentre(state_, zoom(), controls_.ViewWidth(), controls_.ViewHeight());
  start_ = {true, static_cast<float>(middle.X), static_cast<float>(middle.Y)};
  controls_.SetButtonEnabled(2, false);
  controls_.SetButtonCaption(2, CP1251("ЮНИТЫ РАЗМЕЩЕНЫ"));
}
