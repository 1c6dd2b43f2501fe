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
  inputs_.Close();
}

void Session::Apply(const Command& command, std::ostream& out) {
  BusyScope busy(busy_);
  const CommandSpec& spec = SpecOf(command.Kind);
  if (wiring_.route && (spec.Uses & kInput) && wiring_.route(command)) return;
  // Everything that changes the match is recorded: the players' inputs and what a script
  // changes itself (money, spawn, set).
  if (!viewer_.playing() && (spec.Uses & (kInput | kChanges))) inputs_.Input(command);
  if (spec.Uses & kInput) {
    // A player's input acts on that player's parts and selection.
    frontend_.ActAs(frontend_.inputPlayer(), [&] { spec.Apply(*this, command, out); });
  } else {
    spec.Apply(*this, command, out);
  }
  if (wiring_.listener) wiring_.listener->CommandApplied(*this, command);
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
  const bool replaying = viewer_.playing();
  if (inputs_.startPending_ && !replaying) inputs_.TakeMatchStart();
  // The first frame sets up OpenGL: it is always drawn.
  const bool drawn = show || frontend_.state().FirstFrame;
  frontend_.SetViewer(replaying);  // the viewer's sight is chosen, not the recording's
  frontend_.SetDrawing(drawn ? drawing_ : nothing_);
  frontend_.DrawScene();
  frontend_.SetDrawing(drawing_);
  if (drawn) view_.DrawOverlays();
  if (wiring_.watchMatch) match_.Update(world_, frontend_.state().Frames);
  if (!replaying) inputs_.Frame();
  // Heard before the end of a match pauses it.
  if (wiring_.listener) wiring_.listener->FrameDone(*this);
  FrameDone();
  if (drawn) host_.Present();
}

void Session::FrameDone() {
  inputs_.FirstFrameSeed();
  if (matchSeedPending_ && !frontend_.state().FirstFrame && !platform_.usedSeeds.empty()) {
    matchSeed_ = platform_.usedSeeds.back();
    matchSeedPending_ = false;
  }
  view_.FrameDone();
}

void Session::Press(int n) {
  if (n == 3 || !controls_.ButtonEnabled(n)) return;  // "Ремонт" has no action
  if (!host_.MakeCurrent()) return;                   // the loader uploads textures
  if (n == 1 && viewer_.playing() && viewer_.replay_->Reload(frontend_)) return;
  if (n == 1 && !AcceptPreloaded()) frontend_.Button1Click();
  if (n == 2) {
    matchSeed_ = world_.Rng.Seed;
    matchSeedPending_ = frontend_.state().FirstFrame;
    frontend_.Button2Click();
    if (!controls_.ButtonEnabled(2)) MatchStarted();
  }
}

void Session::MatchStarted() {
  if (!wiring_.watchMatch) return;
  match_.Start(world_, frontend_.state().Frames);
  view_.matchEnd_.reset();
  view_.endShown_ = false;
  inputs_.MatchStarted();
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
  view_.Clear();
  inputs_.ForgetMatch();
  viewer_.Close();
  pace_.SetPaused(false);
  frontend_.FormCreate();
}

bool Session::AcceptPreloaded() {
  if (!preloaded_ || !controls_.ButtonEnabled(1)) return false;
  frontend_.AcceptLoadedData(*preloaded_);
  return true;
}

void Session::NewMatch(const std::string& level) {
  if (viewer_.playing()) {
    // Out of the viewer into a session of its own: recorded from a fresh start, with the
    // inputs that give it the viewer's data, view size, check boxes and side.
    const PlayerInput player = frontend_.player();
    const bool bars = controls_.Checked(1);
    const bool ground = controls_.Checked(2);
    const int w = controls_.ViewWidth();
    const int h = controls_.ViewHeight();
    ResetSession(true);
    if (inputs_.keep_) {
      inputs_.recorder_ = std::make_unique<Recorder>();
      inputs_.closed_ = false;
    }
    Apply(MakeCommand(CommandKind::Press, {1}));
    Apply(MakeCommand(CommandKind::Resize, {w, h}));
    if (player.PlayAs >= 0) Apply(MakeCommand(CommandKind::PlayAs, {player.PlayAs}));
    if (bars) Apply(MakeCommand(CommandKind::Check, {1, 1}));
    if (ground) Apply(MakeCommand(CommandKind::Check, {2, 1}));
  }
  Apply(NewMatchCommand(platform_.ClockSeed(), level));
  if (!wiring_.route) pace_.SetSpeed(Pace::kNormal);  // a network match's pace is everyone's
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
  matchSeed_ = seed;
  matchSeedPending_ = false;
  if (first) platform_.nextSeed = seed;
  match_ = MatchWatch{};
  view_.SetNote({});
  view_.overlays_.SetDragBox(std::nullopt);
  view_.KeepWatching();  // the end of the last match paused it
  frontend_.Button2Click();
  if (!controls_.ButtonEnabled(2)) MatchStarted();
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
