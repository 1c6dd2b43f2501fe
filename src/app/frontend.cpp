#include "app/frontend.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "app/camera.h"
#include "app/command_panel.h"
#include "app/control_values.h"
#include "app/order_marks.h"
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
      window_(controls),
      platform_(platform),
      uploader_(uploader),
      drawing_(&drawing) {}

void Frontend::FormCreate() {
  world_.Rng.Seed = platform_.ClockSeed();
}

void Frontend::FormResize() {
  drawing_->Resize(window_.ViewWidth(), window_.ViewHeight(), window_.ViewPixelRatio());
  KeepOnGround();  // the bound holds for the new size as for a camera move
  DrawScene();
}

void Frontend::DrawScene() {
  window_.ListClear();
  if (players_[0].State.FirstFrame) {
    world_.Rng.Seed = platform_.ClockSeed();
    drawing_->FirstFrame();
  }
  // Each window draws its own player's view.
  const PlayerState& me = Slot(local_);
  const float zoomDrawn = ZoomOf(me.View.ZoomStep);
  drawing_->SetZoom(zoomDrawn);
  drawing_->BeginFrame(me.State.CameraX, me.State.CameraY);
  drawn_ = Drawn{};
  drawn_.CameraX = me.State.CameraX;
  drawn_.CameraY = me.State.CameraY;
  drawn_.Zoom = zoomDrawn;
  const Steppers steppers(*this);
  for (size_t p : steppers) Slot(p).State.FirstFrame = false;

  if (!window_.ButtonEnabled(2)) {
    // The counters advance here in every mode; drawing only reads what this step chose.
    drawn_.Shown = AdvanceAnimations(world_);
    const int32_t sight = FogSide();
    if (sight != fog_.side() || fog_.Behind(world_)) fog_.Reset(sight);
    fog_.Update(world_, drawn_.Shown);
    drawn_.Ground = window_.Checked(2);
    drawn_.ShowBars = me.State.ShowBars;
    DrawWorld(false);
    for (size_t p : steppers) Slot(p).State.ShowBars = ControlsOf(p).Checked(1);
    ContactPass(world_);
    ExecuteOrders(world_);
    // The computer plays the sides no player holds, by script where one is given.
    for (int32_t side : {0, 1}) {
      if (Held(side)) continue;
      if (!scripts_ || !scripts_->Play(world_, side, players_[0].State.Frames))
        RunComputerSide(world_, side);
    }
    // A level's mission runs after the sides, before the players' panels.
    if (scripts_) scripts_->PlayMission(world_, players_[0].State.Frames);
    for (size_t p : steppers) ActAs(p, [this] { PanelSteps(); });
  }

  for (size_t p : steppers) {
    ActAs(
        p,
        [this, p] {
          if (p != local_) controls().ListClear();
          // The read-out tells nothing of what the fog hides.
          if (p == local_ && state().HoverIndex >= 0 && !fog_.Shows(world_, state().HoverIndex)) {
            FrontState shown = state();
            shown.HoverIndex = -1;
            FillReadout(world_, shown, controls());
          } else {
            FillReadout(world_, state(), controls());
          }
          state().LeftClicked = false;
          state().RightClicked = state().Queued = state().Rally = state().Blind = false;
          ++state().Frames;
        },
        false);
  }
  // The window swaps the buffers after the frame.
}

void Frontend::PanelSteps() {
  // Paused or at another speed than x1 the timer's "scroll" steps move the camera instead.
  if (!view().TickScroll) {
    EdgeScroll();
    ArrowScroll();
    KeepOnGround();
  }
  if (acting_ == kWatching) {
    // An observer's view: the camera and what is under the cursor, nothing else.
    state().LeftClicked = state().RightClicked = state().Queued = state().Rally = state().Blind =
        false;
    Hover hover = HoverPass(world_, state(), controls(), -1, zoom());
    drawn_.Under = std::move(hover.Under);
    drawn_.MarkerKind = hover.MarkerKind;
    DrawWorld(true);
    return;
  }
  UpdateCommandMode(controls(), state());
  ClearSelectionOnClick(state(), world_);
  Hover hover = HoverPass(world_, state(), controls(), player().PlayAs, zoom());
  if (acting_ == local_) {
    drawn_.Under = std::move(hover.Under);
    drawn_.MarkerKind = hover.MarkerKind;
    DrawWorld(true);
  }
  FollowMode(state());
  ForgetTakenOrders(world_, Slot(acting_).Queued);
  GiveOrders(world_, state(), controls(), zoom(), player().PlayAs, &Slot(acting_).Queued);
}

Frontend::Steppers::Steppers(const Frontend& f)
    : players(f.players_.size()), count(f.players_.size() + (f.local_ == kWatching ? 1 : 0)) {}

bool Frontend::Held(int32_t side) const {
  for (const PlayerState& p : players_)
    if (p.Player.PlayAs == side) return true;
  return false;
}

PlayerState Frontend::NewPlayer() const {
  PlayerState p;
  p.State.Frames = players_[0].State.Frames;
  p.State.FirstFrame = players_[0].State.FirstFrame;
  // Widgets and view as at start-up, alike on every peer.
  p.Widgets = ReadControls(window_);
  p.Widgets.Panel3 = kStartViewSize;
  for (int k = 1; k <= 3; ++k)
    ComboOf(p.Widgets, k) = {{}, -1, ToCp1251(kComboTexts[static_cast<size_t>(k - 1)])};
  p.Widgets.CheckBox1 = p.Widgets.CheckBox2 = false;
  p.Widgets.ListBox1.clear();
  return p;
}

std::unique_ptr<PlayerControls> Frontend::WidgetsOf(const ControlValues& values) const {
  auto widgets = std::make_unique<PlayerControls>(window_);
  WriteControls(*widgets, values);
  widgets->SetViewSize(values.Panel3[0], values.Panel3[1]);
  return widgets;
}

void Frontend::SetInputPlayer(size_t p) {
  while (players_.size() <= p && players_.size() < kMaxPlayers) {
    players_.push_back(NewPlayer());
    widgets_.push_back(WidgetsOf(players_.back().Widgets));
  }
  if (p < players_.size()) inputs_ = p;
}

void Frontend::SetLocal(size_t p) {
  if (p != kWatching) {
    const size_t inputs = inputs_;
    SetInputPlayer(p);
    inputs_ = inputs;
    if (p >= players_.size()) return;
  }
  if (p == local_) return;
  // The window's widgets go to the player who leaves it; the new one's come to it.
  const size_t was = local_;
  if (was != kWatching) {
    Slot(was).Widgets = ReadControls(window_);
    widgets_[was] = WidgetsOf(Slot(was).Widgets);
  }
  if (p == kWatching) {
    watching_ = PlayerState{};
    watching_.State = players_[0].State;
    watching_.State.LeftClicked = watching_.State.RightClicked = false;
    watching_.View = players_[0].View;
  } else {
    const ControlValues mine = ReadControls(*widgets_[p]);
    widgets_[p].reset();
    WriteControls(window_, mine);
  }
  local_ = p;
  acting_ = p;
}

bool Frontend::ResizeOther(int w, int h) {
  if (acting_ == local_ || acting_ == kWatching) return false;
  widgets_[acting_]->SetViewSize(w, h);
  return true;
}

void Frontend::PutSelection(size_t p) {
  if (p == selectionOn_) return;
  std::vector<int32_t>& from = Slot(selectionOn_).Selection;
  from.clear();
  for (size_t n = 0; n < world_.Objects.size(); ++n) {
    if (!world_.Objects[n].Selected) continue;
    from.push_back(static_cast<int32_t>(n));
    world_.Objects[n].Selected = false;
  }
  std::vector<int32_t>& to = Slot(p).Selection;
  for (int32_t i : to) {
    if (static_cast<size_t>(i) < world_.Objects.size())
      world_.Objects[static_cast<size_t>(i)].Selected = true;
  }
  to.clear();
  selectionOn_ = p;
}

Frontend::Saved Frontend::Save() const {
  Saved s;
  s.Players = players_;
  for (size_t p = 0; p < players_.size(); ++p)
    if (p != local_) s.Players[p].Widgets = ReadControls(*widgets_[p]);
  s.Inputs = inputs_;
  s.Local = local_;
  s.Watching = watching_;
  s.LastDrawn = drawn_;
  s.Sources = sources_;
  s.Start = start_;
  if (scripts_) s.Scripts = scripts_->Save();
  return s;
}

void Frontend::Restore(const Saved& saved) {
  players_ = saved.Players;
  if (players_.empty()) players_.resize(1);
  // A snapshot of fewer players than this window's: the window is player 0's.
  if (local_ != kWatching && local_ >= players_.size()) local_ = 0;
  widgets_.clear();
  widgets_.resize(players_.size());
  for (size_t p = 0; p < players_.size(); ++p) {
    if (p == local_) continue;
    widgets_[p] = WidgetsOf(players_[p].Widgets);
  }
  inputs_ = std::min(saved.Inputs, players_.size() - 1);
  watching_ = saved.Watching;
  acting_ = local_;
  selectionOn_ = 0;
  drawn_ = saved.LastDrawn;
  sources_ = saved.Sources;
  start_ = saved.Start;
  const bool scripted = saved.Scripts.Level.File ||
                        std::any_of(saved.Scripts.Sides.begin(), saved.Scripts.Sides.end(),
                                    [](const SideScripts::Saved::Side& s) { return s.File; });
  if (scripts_ || scripted) UseScripts().Restore(saved.Scripts);
  fog_.Reset(fog_.side());  // another moment of the match: what was seen is not known
}

SideScripts& Frontend::UseScripts() {
  if (!scripts_) {
    scripts_ = std::make_shared<SideScripts>(
        SandboxLimits{}, [](const std::string& line) { std::cerr << line << std::endl; });
  }
  return *scripts_;
}

void Frontend::EdgeScroll() {
  FrontState& s = state();
  if (s.ScrollTicks <= 0) return;
  const int w = controls().ViewWidth();
  const int h = controls().ViewHeight();
  if (s.MouseX < 50) s.CameraX += 1.0f;
  if (s.MouseY < 50) s.CameraY += 1.0f;
  if (s.MouseX > w - 50) s.CameraX -= 1.0f;
  if (s.MouseY > h - 50) s.CameraY -= 1.0f;
  --s.ScrollTicks;
}

// Held arrow keys move the camera as the cursor in a margin does, 1.0 a frame and axis.
void Frontend::ArrowScroll() {
  FrontState& s = state();
  const PlayerInput& in = player();
  if (in.ArrowLeft) s.CameraX += 1.0f;
  if (in.ArrowRight) s.CameraX -= 1.0f;
  if (in.ArrowDown) s.CameraY += 1.0f;
  if (in.ArrowUp) s.CameraY -= 1.0f;
}

void Frontend::ScrollStep() {
  if (window_.ButtonEnabled(2)) return;  // as in the frame: only while the level runs
  EdgeScroll();
  ArrowScroll();
  KeepOnGround();
}

bool Frontend::WouldScroll() const {
  const PlayerInput& in = player();
  return !window_.ButtonEnabled(2) &&
         (state().ScrollTicks > 0 || in.ArrowLeft || in.ArrowRight || in.ArrowUp || in.ArrowDown);
}

void Frontend::KeepOnGround() {
  if (!view().Bounded) return;
  ::KeepOnGround(state(), zoom(), world_.Ground, start_, controls().ViewWidth(),
                 controls().ViewHeight());
}

bool Frontend::OffGround() const {
  FrontState kept = state();
  ::KeepOnGround(kept, zoom(), world_.Ground, start_, controls().ViewWidth(),
                 controls().ViewHeight());
  return kept.CameraX != state().CameraX || kept.CameraY != state().CameraY;
}

float Frontend::zoom() const {
  return ZoomOf(view().ZoomStep);
}

void Frontend::TakeCamera() {
  // The window shows its own player's view, whoever moved a camera.
  const PlayerState& me = Slot(local_);
  drawn_.CameraX = me.State.CameraX;
  drawn_.CameraY = me.State.CameraY;
  drawn_.Zoom = ZoomOf(me.View.ZoomStep);
}

// The world as the frame draws it: ground and objects before the simulation step, the hover
// markers after the command panel. The objects show the local player's selection.
void Frontend::DrawWorld(bool markers) {
  if (markers) {
    if (fog_.on()) {
      std::vector<int32_t> under = drawn_.Under;
      std::erase_if(under, [this](int32_t i) { return !fog_.Shows(world_, i); });
      drawing_->HoverMarkers(world_, under, drawn_.MarkerKind, platform_);
    } else {
      drawing_->HoverMarkers(world_, drawn_.Under, drawn_.MarkerKind, platform_);
    }
    if (local_ == kWatching) return;
    std::vector<int32_t> selected;
    if (const std::vector<int32_t>* aside = LocalSelectionAside()) {
      selected = *aside;
      std::sort(selected.begin(), selected.end());
    } else {
      for (size_t n = 0; n < world_.Objects.size(); ++n)
        if (world_.Objects[n].Selected) selected.push_back(static_cast<int32_t>(n));
    }
    const std::vector<OrderMark> marks = OrderMarks(world_, selected, Slot(local_).Queued);
    if (!marks.empty()) drawing_->OrderMarks(marks);
    return;
  }
  if (drawn_.Ground) drawing_->Ground(world_);
  const size_t was = selectionOn_;
  PutSelection(local_);
  if (fog_.on()) {
    drawing_->Objects(world_, fog_.Filter(world_, drawn_.Shown), drawn_.ShowBars);
    drawing_->Fog(fog_.Picture());
  } else {
    drawing_->Objects(world_, drawn_.Shown, drawn_.ShowBars);
  }
  PutSelection(was);
}

void Frontend::Redraw() {
  // A sight chosen while paused shows at once.
  if (FogSide() != fog_.side()) {
    fog_.Reset(FogSide());
    fog_.Update(world_, drawn_.Shown);
  }
  drawing_->SetZoom(drawn_.Zoom);
  drawing_->BeginFrame(drawn_.CameraX, drawn_.CameraY);
  if (window_.ButtonEnabled(2)) return;
  DrawWorld(false);
  DrawWorld(true);
}

void Frontend::MyMouseCursor(int x, int y) {
  state().MouseX = x;
  state().MouseY = controls().ViewHeight() - y;
  state().CursorOut = false;
  state().ScrollTicks = 30;
}

void Frontend::MyMouseDown(Button button) {
  if (button == Button::Left) state().LeftClicked = true;
  if (button == Button::Right) {
    // The frame's right click is the last one given.
    state().RightClicked = true;
    state().Queued = state().Rally = state().Blind = false;
  }
}

void Frontend::QueueClick() {
  MyMouseDown(Button::Right);
  state().Queued = true;
}

void Frontend::RallyClick() {
  MyMouseDown(Button::Right);
  state().Rally = true;
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
  window_.SetButtonEnabled(1, false);
  window_.SetButtonCaption(1, CP1251("ДАННЫЕ ЗАГРУЖЕНЫ"));
}

void Frontend::Button2Click() {
  if (window_.ButtonEnabled(1)) {
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
    const std::string& text = level_->MissionText;
    if (!level_->Mission.empty())
      UseScripts().AssignMission({level_->MissionShown, text, AiHash(text)});
  } else {
    CreateTestLevel(world_);
  }
  for (size_t p : Steppers(*this))
    ActAs(
        p, [this] { PlaceCamera(); }, false);
  const WorldPoint2 middle =
      ViewCentre(state(), zoom(), controls().ViewWidth(), controls().ViewHeight());
  start_ = {true, static_cast<float>(middle.X), static_cast<float>(middle.Y)};
  window_.SetButtonEnabled(2, false);
  window_.SetButtonCaption(2, CP1251("ЮНИТЫ РАЗМЕЩЕНЫ"));
  if (scripts_ && (!level_ || level_->Mission.empty())) scripts_->ClearMission();
  if (scripts_) scripts_->Restart(players_[0].State.Frames);
}

// The acting player's camera at the level's start: the level's, then on its side's home.
void Frontend::PlaceCamera() {
  FrontState& s = state();
  const int w = controls().ViewWidth();
  const int h = controls().ViewHeight();
  if (level_) LevelCamera(*level_, w, h, s.CameraX, s.CameraY);
  // With a side of one's own the match starts on it.
  if (player().PlayAs >= 0) {
    if (const std::optional<int32_t> home = HomeObject(world_, player().PlayAs)) {
      const TObyekt& o = ObjectAt(world_, *home);
      CentreOn(s, zoom(), w, h, std::round(o.X), std::round(o.Y));
    }
  }
}

bool Frontend::WouldRally() const {
  if (local_ == kWatching || window_.ButtonEnabled(2)) return false;
  const PlayerState& me = Slot(local_);
  if (me.State.ClickCommand != 0) return false;
  for (int k = 1; k <= 3; ++k)
    if (window_.ComboIndex(k) >= 0) return false;
  const auto rallies = [&](int32_t i) {
    return IsObjectIndex(world_, i) && SetsRally(world_, ObjectAt(world_, i), me.Player.PlayAs);
  };
  if (selectionOn_ != local_) return std::any_of(me.Selection.begin(), me.Selection.end(), rallies);
  for (size_t n = 0; n < world_.Objects.size(); ++n)
    if (world_.Objects[n].Selected && rallies(static_cast<int32_t>(n))) return true;
  return false;
}

bool Frontend::HiddenUnderCursor() const {
  const int32_t i = Slot(local_).State.HoverIndex;
  return local_ != kWatching && fog_.on() && i >= 0 && !fog_.Shows(world_, i);
}

bool Frontend::OwnSight() const {
  return !viewer_ && local_ != kWatching && Slot(local_).Player.PlayAs >= 0;
}

int32_t Frontend::FogSide() const {
  if (!fogShown_) return -1;
  return OwnSight() ? Slot(local_).Player.PlayAs : sightChoice_;
}

std::vector<uint8_t> Frontend::HiddenObjects() const {
  std::vector<uint8_t> hidden(world_.Objects.size(), 0);
  if (!fog_.on()) return hidden;
  for (size_t i = 0; i < hidden.size(); ++i)
    hidden[i] = fog_.Shows(world_, static_cast<int32_t>(i)) ? 0 : 1;
  return hidden;
}
