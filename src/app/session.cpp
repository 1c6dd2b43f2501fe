#include "app/session.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "app/camera.h"
#include "app/replay.h"
#include "app/selection.h"
#include "app/texts.h"
#include "game/level.h"
#include "util/cp1251.h"
#include "util/translate.h"

namespace {

// The widgets as at start-up; the view size stays, and the check boxes when asked.
void StartupControls(Controls& controls, bool keepChecks) {
  ControlValues values = ReadControls(controls);
  for (int n = 1; n <= 3; ++n) {
    ButtonOf(values, n) = {true, ToCp1251(kButtonCaptions[static_cast<size_t>(n - 1)])};
    ComboOf(values, n) = {{}, -1, ToCp1251(kComboTexts[static_cast<size_t>(n - 1)])};
  }
  if (!keepChecks) values.CheckBox1 = values.CheckBox2 = false;
  WriteControls(controls, values);
}

}  // namespace

Level ReadLevelOrThrow(const std::string& name) {
  DataProblems problems;
  Level level = ReadLevelFile(FindLevelFile(name), problems, name);
  for (const DataProblem& p : problems) {
    if (p.Error) throw CommandError{FormatProblem(p)};
  }
  return level;
}

Session::Session(Controls& controls, RecordingPlatform& platform, TextureUploader& uploader,
                 Drawing& drawing, SessionHost& host)
    : controls_(controls),
      platform_(platform),
      drawing_(drawing),
      host_(host),
      frontend_(world_, controls, platform, uploader, drawing) {}

Session::~Session() {
  CloseRecording();
}

void Session::Create() {
  frontend_.FormCreate();
}

void Session::Apply(const Command& command, std::ostream& out) {
  BusyScope busy(busy_);
  const CommandSpec& spec = SpecOf(command.Kind);
  if (route_ && (spec.Uses & kInput) && route_(command)) return;
  // Everything that changes the match is recorded: the players' inputs and what a script
  // changes itself (money, spawn, set).
  const bool changes = spec.Uses & (kInput | kChanges);
  if (!replay_ && changes && recorder_) recorder_->Input(command);
  if (!replay_ && changes) {
    if (startPending_) TakeMatchStart();
    if (matchStart_) matchLog_.push_back({0, command});
  }
  if (spec.Uses & kInput) {
    // A player's input acts on that player's parts and selection.
    frontend_.ActAs(frontend_.inputPlayer(), [&] { spec.Apply(*this, command, out); });
  } else {
    spec.Apply(*this, command, out);
  }
  if (listener_) listener_->CommandApplied(*this, command);
}

bool Session::ApplyOwnView(const Command& command) {
  using K = CommandKind;
  static constexpr K kView[] = {K::Move, K::Leave, K::Key,  K::Camera, K::Scroll,
                                K::Zoom, K::Home,  K::Look, K::Bound};
  if (frontend_.local() != Frontend::kWatching ||
      std::find(std::begin(kView), std::end(kView), command.Kind) == std::end(kView))
    return false;
  BusyScope busy(busy_);
  std::ostringstream out;
  frontend_.ActAs(Frontend::kWatching, [&] { SpecOf(command.Kind).Apply(*this, command, out); });
  return true;
}

void Session::ResizeFrame() {
  if (!host_.MakeCurrent()) return;
  frontend_.SetDrawing(drawing_);
  frontend_.FormResize();
  match_.Update(world_, frontend_.state().Frames);
  FrameDone();
  host_.Present();
}

void Session::RunFrame(bool show) {
  BusyScope busy(busy_);
  if (!host_.MakeCurrent()) return;
  if (startPending_ && !replay_) TakeMatchStart();
  // The first frame sets up OpenGL: it is always drawn.
  const bool drawn = show || frontend_.state().FirstFrame;
  frontend_.SetViewer(replay_ != nullptr);  // the viewer's sight is chosen, not the recording's
  frontend_.SetDrawing(drawn ? drawing_ : nothing_);
  frontend_.DrawScene();
  frontend_.SetDrawing(drawing_);
  if (drawn) {
    overlays_.Draw(world_, frontend_, controls_, drawing_, replaying());
  }
  if (watchMatch_) match_.Update(world_, frontend_.state().Frames);
  if (recorder_ && !replay_) recorder_->FrameDone(frontend_, platform_.usedSeeds);
  if (!replay_ && matchStart_) {
    if (!matchLog_.empty() && matchLog_.back().Cmd.Kind == CommandKind::Tick)
      ++matchLog_.back().Cmd.Args[0].I;
    else
      matchLog_.push_back({0, MakeCommand(CommandKind::Tick, {1})});
  }
  // Heard before the end of a match pauses it.
  if (listener_) listener_->FrameDone(*this);
  FrameDone();
  if (drawn) host_.Present();
}

void Session::FrameDone() {
  if (startSeedPending_ && !frontend_.state().FirstFrame && !platform_.usedSeeds.empty()) {
    // The snapshot was taken before the first frame: its replay seeds as this frame did.
    matchStart_->NextSeed = platform_.usedSeeds.back();
    startSeedPending_ = false;
  }
  if (watchMatch_ && !replay_ && !endShown_ && match_.winner() >= 0 && match_.observer()) {
    endShown_ = true;
    matchEnd_ = EndOfMatch(match_, world_, frontend_.player().PlayAs);
    pace_.SetPaused(true);
  }
}

void Session::MatchStarted() {
  if (!watchMatch_) return;
  match_.Start(world_, frontend_.state().Frames);
  matchEnd_.reset();
  endShown_ = false;
  matchStart_.reset();
  matchLog_.clear();
  startPending_ = keepInputs_;
}

void Session::TakeMatchStart() {
  startPending_ = false;
  matchStart_ = Save();
  startSeedPending_ = frontend_.state().FirstFrame;
}

void Session::KeepWatching() {
  if (!matchEnd_) return;
  matchEnd_.reset();
  pace_.SetPaused(false);
}

void Session::SetSpeed(int speed) {
  while (pace_.speed() < speed && pace_.speed() < Pace::kSpeeds - 1) pace_.Faster();
  while (pace_.speed() > speed && pace_.speed() > 0) pace_.Slower();
}

void Session::ResetSession(bool keepData) {
  BusyScope busy(busy_);
  World loaded = std::move(world_);
  world_ = World{};
  const bool dataLoaded = !controls_.ButtonEnabled(1);
  Frontend::Saved front;
  front.Sources = frontend_.Save().Sources;
  frontend_.Restore(front);
  frontend_.ClearLevel();
  StartupControls(controls_, false);
  // Loading again would give the textures other names (and the hash with them): the data
  // loaded stay at hand for the next load.
  if (dataLoaded) {
    preloaded_.emplace();
    preloaded_->Catalogue = std::move(loaded.Catalogue);
    preloaded_->GroundTexture = loaded.GroundTexture;
  }
  if (keepData) AcceptPreloaded();
  platform_.usedSeeds.clear();
  platform_.nextSeed.reset();
  platform_.messages.clear();
  match_ = MatchWatch{};
  matchEnd_.reset();
  endShown_ = false;
  matchStart_.reset();
  startPending_ = startSeedPending_ = false;
  matchLog_.clear();
  note_.clear();
  overlays_.SetDragBox(std::nullopt);
  replay_.reset();
  replayEnded_ = false;
  pace_.SetPaused(false);
  frontend_.FormCreate();
}

bool Session::AcceptPreloaded() {
  if (!preloaded_ || !controls_.ButtonEnabled(1)) return false;
  frontend_.AcceptLoadedData(*preloaded_);
  return true;
}

void Session::NewMatch(const std::string& level) {
  if (replay_) {
    // Out of the viewer into a session of its own: recorded from a fresh start, with the
    // inputs that give it the viewer's data, view size, check boxes and side.
    const PlayerInput player = frontend_.player();
    const bool bars = controls_.Checked(1);
    const bool ground = controls_.Checked(2);
    const int w = controls_.ViewWidth();
    const int h = controls_.ViewHeight();
    ResetSession(true);
    if (keepInputs_) {
      recorder_ = std::make_unique<Recorder>();
      recordingClosed_ = false;
    }
    Apply(MakeCommand(CommandKind::Press, {1}));
    Apply(MakeCommand(CommandKind::Resize, {w, h}));
    if (player.PlayAs >= 0) Apply(MakeCommand(CommandKind::PlayAs, {player.PlayAs}));
    if (bars) Apply(MakeCommand(CommandKind::Check, {1, 1}));
    if (ground) Apply(MakeCommand(CommandKind::Check, {2, 1}));
  }
  Apply(NewMatchCommand(platform_.ClockSeed(), level));
  if (!route_) SetSpeed(Pace::kNormal);  // a network match's pace is everyone's
}

void Session::StartNewMatch(uint32_t seed, const std::string& levelName) {
  if (controls_.ButtonEnabled(1)) {
    platform_.ShowMessage(CP1251("Сначала загрузите данные!"), "rtsdemo");
    return;
  }
  // A level with errors changes nothing.
  std::optional<Level> level;
  if (!levelName.empty()) level = ReadLevelOrThrow(levelName);
  World loaded = std::move(world_);
  world_ = World{};
  StartupControls(controls_, true);
  frontend_.AcceptLoadedData(loaded);
  Frontend::Saved front = frontend_.Save();
  const bool first = front.Players[0].State.FirstFrame;
  front.Watching.State = FrontState{};
  front.Watching.State.FirstFrame = first;
  for (PlayerState& p : front.Players) {
    p.State = FrontState{};
    p.State.FirstFrame = first;
    p.Groups = {};
    p.View = {};  // zoom, camera bound and scroll mode as at start-up
    p.Selection.clear();
  }
  front.LastDrawn = {};
  front.Start = {};
  frontend_.Restore(front);
  if (level) frontend_.SetLevel(*level);
  // Before the first frame the generator is seeded there.
  world_.Rng.Seed = seed;
  if (first) platform_.nextSeed = seed;
  match_ = MatchWatch{};
  note_.clear();
  overlays_.SetDragBox(std::nullopt);
  KeepWatching();  // the end of the last match paused it
  frontend_.Button2Click();
  if (!controls_.ButtonEnabled(2)) MatchStarted();
}

void Session::ViewMoved() {
  // While paused no frame shows the camera's new place.
  if (!pace_.paused() || replay_) return;
  frontend_.TakeCamera();
  Redraw();
}

void Session::SetMinimap(bool shown) {
  overlays_.SetMinimap(shown);
  if (pace_.paused()) Redraw();
}

MinimapLayout Session::Minimap() const {
  return Overlays::Minimap(world_, controls_);
}

bool Session::OverMinimap(int x, int y) const {
  return overlays_.MinimapPoint(world_, controls_, x, y).has_value();
}

bool Session::MinimapPress(int x, int y) {
  if (replay_) return false;
  const std::optional<WorldPoint2> p = overlays_.MinimapPoint(world_, controls_, x, y);
  if (!p) return false;
  Apply(MakeCommand(CommandKind::Look, {static_cast<int64_t>(std::floor(p->X)),
                                        static_cast<int64_t>(std::floor(p->Y))}));
  return true;
}

void Session::Wheel(int steps, int x, int y) {
  if (replay_) return;
  for (int i = 0; i < std::abs(steps); ++i)
    Apply(MakeCommand(CommandKind::Zoom, {steps > 0 ? 0 : 1, x, y}));
}

void Session::ViewResized() {
  if (scripted_ || busy() || replay_) {
    // Only `resize` runs frames here; the toolkit's own resizes set the view.
    TakeViewSize();
    if (replay_) Redraw();  // the viewer keeps its picture
    return;
  }
  Apply(MakeCommand(CommandKind::Resize, {controls_.ViewWidth(), controls_.ViewHeight()}));
}

void Session::TakeViewSize() {
  BusyScope busy(busy_);
  if (host_.MakeCurrent())
    drawing_.Resize(controls_.ViewWidth(), controls_.ViewHeight(), controls_.ViewPixelRatio());
}

void Session::ResizeDrawing() {
  TakeViewSize();
  Redraw();
}

void Session::Redraw() {
  BusyScope busy(busy_);
  if (!host_.MakeCurrent()) return;
  frontend_.SetDrawing(drawing_);
  frontend_.Redraw();
  overlays_.Draw(world_, frontend_, controls_, drawing_, replaying());
  host_.Present();
}

void Session::SetDragBox(std::optional<ViewBox> box) {
  overlays_.SetDragBox(box);
  // While paused no frame shows it.
  if (pace_.paused()) Redraw();
}

SessionSnapshot Session::Save() const {
  SessionSnapshot s;
  s.TheWorld = world_;
  s.Front = frontend_.Save();
  s.Widgets = ReadControls(controls_);
  s.UsedSeeds = platform_.usedSeeds;
  s.NextSeed = platform_.nextSeed;
  s.Messages = platform_.messages;
  s.Match = match_;
  return s;
}

void Session::Restore(const SessionSnapshot& s) {
  BusyScope busy(busy_);
  world_ = s.TheWorld;
  // The last frame's sprites point into the catalogue they were chosen from: point them into
  // this copy of it.
  Frontend::Saved front = s.Front;
  std::vector<SpriteChoice>& shown = front.LastDrawn.Shown;
  for (size_t i = 0; i < shown.size(); ++i) {
    if (!shown[i].Type) continue;
    shown[i].Type = i < world_.Objects.size() ? TypeOf(world_, world_.Objects[i]) : nullptr;
    if (!shown[i].Type) shown[i].Draw = false;
  }
  frontend_.Restore(front);
  if (s.Widgets.Panel3[0] != controls_.ViewWidth() ||
      s.Widgets.Panel3[1] != controls_.ViewHeight()) {
    host_.ResizeView(s.Widgets.Panel3[0], s.Widgets.Panel3[1]);
  }
  WriteControls(controls_, s.Widgets);
  platform_.usedSeeds = s.UsedSeeds;
  platform_.nextSeed = s.NextSeed;
  platform_.messages = s.Messages;
  match_ = s.Match;
}

std::string Session::Banner() const {
  std::string text;
  if (!controls_.ButtonEnabled(2)) {
    text = MatchBanner(match_, pace_.SpeedText(), pace_.paused());
  } else {
    text = Tr("banner",
              "RTS demo on OpenGL: load the data, create the level and command with the mouse "
              "(F1: keys)");
    if (pace_.speed() != Pace::kNormal || pace_.paused()) {
      text += "   " + pace_.SpeedText() + (pace_.paused() ? Tr("banner", ", paused") : "");
    }
  }
  if (!note_.empty()) text += "\n" + note_;
  return text;
}
