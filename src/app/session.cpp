#include "app/session.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <type_traits>
#include <variant>

#include "app/camera.h"
#include "app/command_card.h"
#include "app/dump.h"
#include "app/replay.h"
#include "app/script.h"
#include "app/selection.h"
#include "app/state_hash.h"
#include "app/texts.h"
#include "game/level.h"
#include "game/object_fields.h"
#include "util/cp1251.h"
#include "util/echo_text.h"
#include "util/numtext.h"
#include "util/translate.h"

namespace {

// Counts a command or a frame in progress, so widget changes then are known as the program's.
struct Busy {
  int& count;
  explicit Busy(int& c) : count(c) { ++count; }
  ~Busy() { --count; }
};

// Where a seek key of the replay viewer goes from frame `now`; nothing for another key.
std::optional<uint64_t> SeekTarget(KeyAction action, uint64_t now, const ReplayPlayer& replay) {
  auto back = [&](uint64_t n) { return now > n ? now - n : 0; };
  switch (action) {
    case KeyAction::Back:
      return back(1);
    case KeyAction::SecondBack:
      return back(100);
    case KeyAction::SecondForward:
      return now + 100;
    case KeyAction::TenBack:
      return back(1000);
    case KeyAction::TenForward:
      return now + 1000;
    case KeyAction::ToStart:
      return 0;
    case KeyAction::ToEnd:
      return replay.length();
    case KeyAction::NextMark: {
      const std::optional<ReplayMark> mark = replay.NextMark(now);
      return mark ? mark->Frame : now;
    }
    default:
      return std::nullopt;
  }
}

// Writes a saved script; false with the reason.
bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) error = "cannot write " + path;
  return static_cast<bool>(file);
}

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
  Busy busy(busy_);
  const CommandSpec& spec = SpecOf(command.Kind);
  if (route_ && (spec.Uses & kInput) && route_(command)) return;
  // Everything that changes the match is recorded: the players' inputs and what a script
  // changes itself (money, spawn, set).
  const bool changes = spec.Uses & (kInput | kChanges);
  if (!replay_ && changes && recorder_) recorder_->Input(command);
  if (log_ && !replay_ && changes) log_->Input(command);
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
  static constexpr K kView[] = {K::Move, K::Key,  K::Camera, K::Scroll,
                                K::Zoom, K::Home, K::Look,   K::Bound};
  if (frontend_.local() != Frontend::kWatching ||
      std::find(std::begin(kView), std::end(kView), command.Kind) == std::end(kView))
    return false;
  Busy busy(busy_);
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
  Busy busy(busy_);
  if (!host_.MakeCurrent()) return;
  if (startPending_ && !replay_) TakeMatchStart();
  // The first frame sets up OpenGL: it is always drawn.
  const bool drawn = show || frontend_.state().FirstFrame;
  frontend_.SetDrawing(drawn ? drawing_ : nothing_);
  frontend_.DrawScene();
  frontend_.SetDrawing(drawing_);
  if (drawn) {
    DrawMinimap();
    DrawDragBox();
    DrawFootprint();
  }
  if (watchMatch_) match_.Update(world_, frontend_.state().Frames);
  if (recorder_ && !replay_) recorder_->FrameDone(frontend_, platform_.usedSeeds);
  if (log_ && !replay_) log_->FrameDone(frontend_, platform_.usedSeeds);
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

bool Session::WatchMatchReplay() {
  if (!matchStart_) return false;
  Script script = matchLog_;
  const SessionSnapshot start = *matchStart_;
  CloseRecording();
  matchEnd_.reset();
  Restore(start);
  StartReplay(std::move(script));
  pace_.SetPaused(false);
  note_.clear();
  return true;
}

void Session::SetSpeed(int speed) {
  while (pace_.speed() < speed && pace_.speed() < Pace::kSpeeds - 1) pace_.Faster();
  while (pace_.speed() > speed && pace_.speed() > 0) pace_.Slower();
}

void Session::ResetSession(bool keepData) {
  Busy busy(busy_);
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
  dragBox_.reset();
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

void Session::OpenReplay(Script script) {
  CloseRecording();
  ResetSession(false);
  StartReplay(std::move(script));
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
  dragBox_.reset();
  KeepWatching();  // the end of the last match paused it
  frontend_.Button2Click();
  if (!controls_.ButtonEnabled(2)) MatchStarted();
}

void Session::TimerTick(bool present) {
  if (listener_) listener_->Ticked(*this);
  const int frames = pace_.FramesForTick();
  // The recording moves the camera of a replay.
  if (!replay_) CameraTick(frames);
  for (int i = 0; i < frames; ++i) {
    const bool show = present && i + 1 == frames;
    if (replay_) {
      if (!ReplayFrame(show)) break;
    } else {
      RunFrame(show);
    }
  }
  // The rules' camera has no bound. The window's gets one the first time it leaves the ground,
  // so that matches whose camera never goes far keep the rules' hashes.
  if (!replay_ && !frontend_.view().Bounded && frontend_.OffGround())
    Apply(MakeCommand(CommandKind::Bound, {1}));
}

void Session::CameraTick(int frames) {
  // At x1 each frame moves the camera, as the rules say; paused or at another speed one scroll
  // step a tick does, so the camera keeps 1 unit per 10 ms. The switch waits for a step to take.
  const bool ticks = pace_.paused() || pace_.speed() != Pace::kNormal;
  const bool moves = frontend_.WouldScroll();
  if (ticks != frontend_.view().TickScroll && (moves || !ticks))
    Apply(MakeCommand(CommandKind::Camera, {ticks ? 1 : 0}));
  if (ticks && moves) {
    Apply(MakeCommand(CommandKind::Scroll, {}));
    // At the slow speeds most ticks run no frame; paused, ViewMoved has drawn it.
    if (frames == 0 && !pace_.paused()) {
      frontend_.TakeCamera();
      Redraw();
    }
  }
}

void Session::ViewMoved() {
  // While paused no frame shows the camera's new place.
  if (!pace_.paused() || replay_) return;
  frontend_.TakeCamera();
  Redraw();
}

void Session::SetMinimap(bool shown) {
  minimap_ = shown;
  if (pace_.paused()) Redraw();
}

MinimapLayout Session::Minimap() const {
  return LayoutMinimap(world_.Ground, controls_.ViewWidth(), controls_.ViewHeight());
}

bool Session::OverMinimap(int x, int y) const {
  return minimap_ && !controls_.ButtonEnabled(2) &&
         MinimapToWorld(Minimap(), x, controls_.ViewHeight() - 1 - y).has_value();
}

bool Session::MinimapPress(int x, int y) {
  if (!OverMinimap(x, y) || replay_) return false;
  const std::optional<WorldPoint2> p = MinimapToWorld(Minimap(), x, controls_.ViewHeight() - 1 - y);
  Apply(MakeCommand(CommandKind::Look, {static_cast<int64_t>(std::floor(p->X)),
                                        static_cast<int64_t>(std::floor(p->Y))}));
  return true;
}

void Session::Wheel(int steps, int x, int y) {
  if (replay_) return;
  for (int i = 0; i < std::abs(steps); ++i)
    Apply(MakeCommand(CommandKind::Zoom, {steps > 0 ? 0 : 1, x, y}));
}

void Session::DrawMinimap() {
  if (!minimap_ || controls_.ButtonEnabled(2)) return;
  MinimapScene scene;
  scene.Layout = Minimap();
  const GroundRect g = GroundOf(world_.Ground);
  scene.GroundX0 = g.X0;
  scene.GroundY0 = g.Y0;
  scene.GroundX1 = g.X1;
  scene.GroundY1 = g.Y1;
  // The view as the picture shows it.
  const float z = frontend_.DrawnZoom();
  scene.ViewX0 = -frontend_.DrawnCameraX();
  scene.ViewY0 = -frontend_.DrawnCameraY();
  scene.ViewX1 = static_cast<float>(controls_.ViewWidth() / z) - frontend_.DrawnCameraX();
  scene.ViewY1 = static_cast<float>(controls_.ViewHeight() / z) - frontend_.DrawnCameraY();
  drawing_.Minimap(world_, scene);
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
  Busy busy(busy_);
  if (host_.MakeCurrent())
    drawing_.Resize(controls_.ViewWidth(), controls_.ViewHeight(), controls_.ViewPixelRatio());
}

void Session::ResizeDrawing() {
  TakeViewSize();
  Redraw();
}

void Session::Redraw() {
  Busy busy(busy_);
  if (!host_.MakeCurrent()) return;
  frontend_.SetDrawing(drawing_);
  frontend_.Redraw();
  DrawMinimap();
  DrawDragBox();
  DrawFootprint();
  host_.Present();
}

void Session::DrawFootprint() {
  // A building chosen for a worker to put up, before the right click that places it.
  const int chosen = controls_.ComboIndex(2);
  if (replay_ || chosen < 0 || controls_.ComboIndex(3) >= 0) return;
  const CommandCard card =
      MakeCommandCard(world_, frontend_.LocalSelectionAside(), controls_.ComboItems(2));
  if (const TOpisan* type = FootprintType(world_, card, chosen)) {
    const FrontState& s = frontend_.state();
    drawing_.Footprint(s.MouseX, s.MouseY, type->Radius * frontend_.DrawnZoom());
  }
}

void Session::DrawDragBox() {
  if (!dragBox_) return;
  const int h = controls_.ViewHeight();
  // Pixel rows counted from the bottom.
  drawing_.SelectionBox(dragBox_->X1, h - 1 - dragBox_->Y1, dragBox_->X2, h - 1 - dragBox_->Y2);
}

void Session::SetDragBox(std::optional<ViewBox> box) {
  dragBox_ = box;
  // While paused no frame shows it.
  if (pace_.paused()) Redraw();
}

void Session::GroupKey(int digit, bool ctrl, bool shift, int64_t ms) {
  // The recording selects in a replay, not the user.
  if (replay_ || digit < 1 || digit > 9) return;
  if (ctrl || shift) {
    Apply(MakeCommand(CommandKind::Group, {ctrl ? 0 : 1, digit}));
    lastGroupDigit_ = 0;
    return;
  }
  const bool twice = digit == lastGroupDigit_ && ms - lastGroupMs_ <= 300;
  Apply(MakeCommand(CommandKind::Group, {twice ? 3 : 2, digit}));
  lastGroupDigit_ = twice ? 0 : digit;
  lastGroupMs_ = ms;
}

KeyResult Session::Key(KeyAction action, bool press, bool repeat) {
  switch (action) {
    case KeyAction::Left:
    case KeyAction::Right:
    case KeyAction::Up:
    case KeyAction::Down: {
      // The recording moves the camera of a replay, not the user.
      if (repeat || replay_) return KeyResult::Done;
      static constexpr bool PlayerInput::*kHeld[] = {
          &PlayerInput::ArrowLeft, &PlayerInput::ArrowRight, &PlayerInput::ArrowUp,
          &PlayerInput::ArrowDown};
      const int64_t k = static_cast<int64_t>(action) - static_cast<int64_t>(KeyAction::Left);
      if (frontend_.player().*kHeld[k] != press) Apply(MakeCommand(CommandKind::Key, {k, press}));
      return KeyResult::Done;
    }
    default:
      break;
  }
  if (!press) return KeyResult::Done;
  if (replay_) {
    if (const auto target = SeekTarget(action, frontend_.state().Frames, *OpenedReplay())) {
      if (action == KeyAction::Back) pace_.SetPaused(true);
      SeekReplay(*target);
      return KeyResult::Done;
    }
  }
  switch (action) {
    case KeyAction::Pause:
      if (!repeat) pace_.TogglePause();
      break;
    case KeyAction::Step:
      pace_.Step();
      break;
    case KeyAction::Faster:
      pace_.Faster();
      break;
    case KeyAction::Slower:
      pace_.Slower();
      break;
    case KeyAction::Help:
      return repeat ? KeyResult::Done : KeyResult::ShowHelp;
    case KeyAction::Thoughts:
      if (repeat) break;
      thoughts_ = !thoughts_;
      if (pace_.paused()) Redraw();
      break;
    case KeyAction::Picture:
      return repeat ? KeyResult::Done : KeyResult::SavePicture;
    case KeyAction::Home:
      // Without a side of one's own, side 0's.
      if (!replay_) Apply(MakeCommand(CommandKind::Home, {std::max(frontend_.player().PlayAs, 0)}));
      break;
    case KeyAction::Minimap:
      if (!repeat) SetMinimap(!minimap_);
      break;
    case KeyAction::Menu:
      return repeat ? KeyResult::Done : KeyResult::ShowMenu;
    default:
      break;
  }
  return KeyResult::Done;
}

void Session::ReleaseKeys() {
  for (KeyAction a : {KeyAction::Left, KeyAction::Right, KeyAction::Up, KeyAction::Down})
    Key(a, false, false);
}

bool Session::StartRecording(const std::string& path, std::string& error) {
  auto recorder = std::make_unique<Recorder>(path);
  if (!recorder->ok()) {
    error = "cannot write the recording " + path + ": " + recorder->error();
    return false;
  }
  recorder_ = std::move(recorder);
  recordingClosed_ = false;
  // A write that fails later stops the recording; the user is told where it stops.
  recorder_->onStop = [this] {
    std::cerr << "rtsdemo: " << recorder_->StopText() << "\n";
    note_ = Tr("notes", "The recording stopped at frame %1: %2",
               {std::to_string(recorder_->framesWritten()), recorder_->error()});
  };
  return true;
}

void Session::RecordComment(const std::string& text) {
  if (recorder_ && !replay_) recorder_->Comment(text);
}

void Session::KeepInputs() {
  keepInputs_ = true;
  if (!recorder_) recorder_ = std::make_unique<Recorder>();
}

void Session::CloseRecording() {
  if (!recorder_ || recordingClosed_) return;
  recorder_->Close(frontend_);
  recordingClosed_ = true;
}

bool Session::SaveRecording(const std::string& path, std::string& error) {
  if (!recorder_) {
    error = "no inputs were kept";
    return false;
  }
  std::error_code ec;
  if (!recorder_->path().empty() && std::filesystem::equivalent(path, recorder_->path(), ec)) {
    error = path + " is the file the session is being recorded to";
    return false;
  }
  return WriteText(path, recorder_->Text(frontend_), error);
}

void Session::StartReplay(Script script) {
  replay_ = std::make_unique<ReplayPlayer>(std::move(script));
  replayEnded_ = false;
}

ReplayPlayer* Session::OpenedReplay() {
  if (replay_ && !replay_->opened()) {
    Busy busy(busy_);
    replay_->Open(*this);
    if (!replay_->error().empty()) std::cerr << "rtsdemo: " << replay_->error() << "\n";
  }
  return replay_.get();
}

bool Session::SeekReplay(uint64_t frame) {
  if (!OpenedReplay()) return true;
  bool ok = true;
  {
    Busy busy(busy_);
    ok = replay_->Seek(*this, frame);
  }
  replayEnded_ = false;
  note_.clear();
  if (!ok) {
    note_ = Tr("notes", "Out of step with the recording: %1; paused",
               {Tr("notes", "out of sync at frame %1", {std::to_string(*replay_->failedFrame())})});
    pace_.SetPaused(true);
  }
  Redraw();
  return ok;
}

bool Session::ScriptFrame() {
  if (!replay_) {
    RunFrame(true);
    return true;
  }
  if (replayEnded_) return true;
  OpenedReplay();
  const ScriptRunner::Result result = replay_->Step(*this, true);
  if (result.stop == ScriptRunner::Stop::End) replayEnded_ = true;
  if (result.stop == ScriptRunner::Stop::Error) throw CommandError{result.message};
  return result.stop != ScriptRunner::Stop::OutOfSync;
}

bool Session::TakeOver(std::optional<int32_t> side, const std::string& path, std::string& error) {
  if (!OpenedReplay()) {
    error = "no recording plays";
    return false;
  }
  const std::string played = replay_->PlayedText();
  if (!path.empty()) {
    CloseRecording();
    if (!StartRecording(path, error)) return false;
    if (!played.empty()) recorder_->Begin(played);
  }
  log_ = std::make_unique<Recorder>();
  if (!played.empty()) log_->Begin(played);
  replay_.reset();
  replayEnded_ = false;
  // The window's inputs are its own player's from here on.
  const size_t mine = frontend_.local();
  if (mine != Frontend::kWatching && frontend_.inputPlayer() != mine)
    Apply(MakeCommand(CommandKind::Player, {static_cast<int64_t>(mine)}));
  if (side) Apply(MakeCommand(CommandKind::PlayAs, {*side}));
  note_ = Tr("notes", "Taken over at frame %1", {std::to_string(frontend_.state().Frames)});
  return true;
}

bool Session::Resume(const std::string& path, std::string& error) {
  if (!OpenedReplay()) {
    error = "no recording to resume";
    return false;
  }
  {
    Busy busy(busy_);
    replay_->PlayToEnd(*this);
  }
  if (replay_->failedFrame()) {
    error = Tr("notes", "out of sync at frame %1", {std::to_string(*replay_->failedFrame())});
    return false;
  }
  return TakeOver(std::nullopt, path, error);
}

bool Session::SaveMatch(const std::string& path, std::string& error) {
  std::string text;
  if (replay_) {
    text = OpenedReplay()->PlayedText();
    if (!text.empty()) text += "hash " + HashText(StateHash(frontend_)) + "\n";
  } else if (log_) {
    text = log_->Text(frontend_);
  }
  if (text.empty()) {
    error = "nothing to save before the first frame";
    return false;
  }
  return WriteText(path, text, error);
}

void Session::KeepLog() {
  if (!log_) log_ = std::make_unique<Recorder>();
}

bool Session::ReplayFrame(bool show) {
  if (replayEnded_) {
    pace_.SetPaused(true);
    return false;
  }
  OpenedReplay();
  const ScriptRunner::Result result = replay_->Step(*this, show);
  switch (result.stop) {
    case ScriptRunner::Stop::Frame:
      return true;
    case ScriptRunner::Stop::End:
      replayEnded_ = true;
      ReplayStopped({}, Tr("notes", "The recording ended at frame %1: paused",
                           {std::to_string(frontend_.state().Frames)}));
      return false;
    case ScriptRunner::Stop::Error:
      replayEnded_ = true;
      ReplayStopped(result.message, Tr("notes", "The recording stopped: %1", {result.message}));
      return false;
    case ScriptRunner::Stop::OutOfSync:
      ReplayStopped(result.message,
                    Tr("notes", "Out of step with the recording: %1; paused", {result.message}));
      return false;
  }
  return false;
}

void Session::ReplayStopped(const std::string& box, const std::string& note) {
  pace_.SetPaused(true);
  note_ = note;
  if (!box.empty()) {
    std::cerr << "rtsdemo: " << box << "\n";
    host_.Notice(box);
  }
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
  Busy busy(busy_);
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
