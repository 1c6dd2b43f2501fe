#include "app/window_core.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <limits>
#include <sstream>

#include "app/script.h"
#include "util/translate.h"

namespace {

namespace fs = std::filesystem;

// The local date and time as file names hold it: 2024-05-01_13-04-59.
std::string TimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
  return text;
}

// A file not yet taken in `dir`: base + ext, else base-2 + ext, base-3 + ext, ...
std::string FreeFileName(const std::string& dir, const std::string& base, const std::string& ext) {
  std::string name = base + ext;
  for (int n = 2; fs::exists(fs::path(dir) / name); ++n)
    name = base + "-" + std::to_string(n) + ext;
  return dir + "/" + name;
}

// "<folder>/rtsdemo", made when missing; false when it is not there.
bool OwnFolder(const std::string& folder, std::string& dir) {
  dir = folder + "/rtsdemo";
  std::error_code error;
  fs::create_directories(dir, error);
  return fs::is_directory(dir, error);
}

}  // namespace

WindowCore::WindowCore(WindowShell& shell, Session& session, Volume& volume,
                       const FormOptions& options, NetMaker makeNet)
    : shell_(shell), s_(session), volume_(volume), options_(options), makeNet_(std::move(makeNet)) {
  s_.wiring().scripted = options.scripted;
  s_.frontend().SetFogShown(true);  // the window draws the fog of war
}

WindowCore::~WindowCore() = default;

void WindowCore::Open() {
  options_.start.Network = options_.net.has_value();
  if (!LoadStart(options_.start, std::cerr) || !OpenSession(s_, options_.start, std::cerr)) Exit(2);
  if (s_.viewer().playing() && !options_.start.Resume) shell_.ShowViewer(true);
  // Kept in memory also without --record: the menu saves them, the end of a match replays them.
  s_.inputs().Keep();
}

bool WindowCore::Create() {
  s_.frontend().FormCreate();
  // A seek whose check fails leaves the viewer paused with its note.
  std::optional<int> status;
  bool seekFailed = false;
  created_ = true;
  Guarded([&] { status = BeginSession(s_, options_.start, std::cerr, seekFailed); });
  if (status && !exiting_) {
    Exit(*status);
    return false;
  }
  if (options_.net) StartNet();
  if (exiting_) return false;
  if (pendingResize_) {
    pendingResize_ = false;
    Resized();
  } else {
    s_.view().TakeViewSize();
  }
  return true;
}

void WindowCore::Shutdown() {
  net_.reset();
  s_.inputs().Close();
}

void WindowCore::Exit(int code) {
  exiting_ = true;
  exitCode_ = code;
  shell_.EndLoop(code);
}

void WindowCore::StartNet() {
  WindowOptions w;
  w.seed = options_.seed;
  w.playAs = options_.start.PlayAs;
  w.level = options_.start.Level;
  net_ = makeNet_(s_, *options_.net, w);
  net_->onProblem = [this](const std::string& text) {
    if (shell_.hidden()) return;
    if (net_->started()) {
      s_.host().Notice(text);
      return;
    }
    // A join or host that ended before its match started leaves nothing to play or watch:
    // the box, then the program ends with the match's status.
    netFailureShown_ = true;
    shell_.ShowNetFailure(text, [this] { Exit(net_->status()); });
  };
  net_->onEnded = [this] {
    // A window that was closed has waited for this; an open one stays until closed, unless
    // its match never started.
    if (shell_.hidden() || (!net_->started() && !netFailureShown_)) Exit(net_->status());
    UpdateBanner();
  };
  // Until the start every peer sees each player's view at the start-up size.
  Controls& c = s_.controls();
  c.AgreeViewSize(std::array<int, 2>{kStartViewSize[0], kStartViewSize[1]});
  net_->ViewResized(c.RealViewWidth(), c.RealViewHeight());
  std::string error;
  if (!net_->Begin(error)) {
    std::cerr << "rtsdemo: " << error << "\n";
    Exit(net_->status());
    return;
  }
  shell_.FocusView();
  UpdateBanner();
}

void WindowCore::Resized() {
  // Create runs a resize that came before it.
  if (!created_) {
    pendingResize_ = true;
    return;
  }
  if (exiting_) return;
  Controls& c = s_.controls();
  if (net_) {
    // The match sees the size once every peer has it: a player's goes as an input.
    Guarded([&] {
      net_->ViewResized(c.RealViewWidth(), c.RealViewHeight());
      if (!c.viewAgreed()) s_.view().ResizeDrawing();
    });
  } else {
    Guarded([this] { s_.view().Resized(); });
  }
  UpdateBanner();
}

bool WindowCore::AgreedResize(int w, int h) {
  Controls& c = s_.controls();
  if (!net_ || !c.viewAgreed()) return false;
  // A network player's own `resize`: the window has that size already, or a newer one.
  c.AgreeViewSize(std::array<int, 2>{w, h});
  return true;
}

void WindowCore::TimerFired() {
  // Screenshots want every tick drawn: then no time is given and a tick runs alone.
  Timer(options_.keepFrames ? std::nullopt : std::optional<int64_t>(MatchLoop::NowMs()));
}

void WindowCore::Timer(std::optional<int64_t> nowMs) {
  if (!created_ || exiting_) return;
  Guarded([&] {
    s_.Timer(nowMs);
    // An observer's view is its own once it watches.
    Controls& c = s_.controls();
    if (net_ && c.viewAgreed() && net_->started() && !net_->player()) {
      c.AgreeViewSize(std::nullopt);
      s_.view().ResizeDrawing();
    }
  });
  shell_.SyncMatchEnd();
  UpdateBanner();
  shell_.RepaintTimeline();
}

void WindowCore::LookAtLevel() {
  if (!options_.remember) return;
  // The middle of what the level placed, so that none of it starts cut off at the view's edge.
  float x0 = std::numeric_limits<float>::max(), y0 = x0, x1 = -x0, y1 = -x0;
  for (const TObyekt& o : s_.world().Objects) {
    if (!(std::abs(o.X) < 1e6f && std::abs(o.Y) < 1e6f)) continue;
    x0 = std::min(x0, o.X);
    x1 = std::max(x1, o.X);
    y0 = std::min(y0, o.Y);
    y1 = std::max(y1, o.Y);
  }
  if (x0 > x1) return;
  Input(MakeCommand(CommandKind::Look, {static_cast<int64_t>(std::lround((x0 + x1) / 2)),
                                        static_cast<int64_t>(std::lround((y0 + y1) / 2))}));
}

void WindowCore::Seek(uint64_t frame) {
  if (!created_ || exiting_ || s_.busy()) return;
  Guarded([&] { s_.viewer().Seek(frame); });
  UpdateBanner();
  shell_.RepaintTimeline();
}

std::string WindowCore::Banner() const {
  std::string text = s_.view().Banner();
  if (!net_) return text;
  std::string line = net_->Status();
  // An observer sees both sides' forces and production live.
  if (net_->started() && !net_->player() && !net_->ended()) {
    const std::string strip = ObserverStrip(s_.match());
    if (!strip.empty()) line += (line.empty() ? "" : "   ") + strip;
  }
  if (!line.empty()) text += "\n" + line;
  return text;
}

void WindowCore::UpdateBanner() {
  shell_.ShowBanner(Banner());
}

const CommandCard& WindowCore::UpdateCard() {
  const Frontend& f = s_.frontend();
  const bool live = !s_.viewer().playing() && f.local() != Frontend::kWatching;
  card_ = live ? MakeCommandCard(s_.world(), f.LocalSelectionAside(), s_.controls().ComboItems(2))
               : CommandCard{};
  return card_;
}

void WindowCore::NewMatch(const std::string& level) {
  if (!created_ || exiting_) return;
  const bool wasViewer = s_.viewer().playing();
  Guarded([&] { s_.NewMatch(level); });
  if (wasViewer && !s_.viewer().playing()) shell_.ShowViewer(false);
  shell_.SyncMatchEnd();
  UpdateBanner();
}

void WindowCore::SetSpeed(int speed) {
  // A network match's speed is everyone's.
  if (net_)
    net_->SetPace(s_.pace().paused(), speed);
  else
    s_.pace().SetSpeed(speed);
  UpdateBanner();
}

void WindowCore::ChooseSight(int32_t side) {
  s_.view().ChooseSight(side);
  UpdateBanner();
}

void WindowCore::OpenReplay() {
  const std::string file = shell_.ChooseFile(false);
  if (file.empty()) return;
  Script script;
  std::ostringstream why;
  if (!LoadScript(file, script, why)) {
    std::cerr << why.str();
    s_.host().Notice(why.str());
    return;
  }
  Guarded([&] { s_.viewer().Open(std::move(script)); });
  if (s_.viewer().playing()) shell_.ShowViewer(true);
  shell_.SyncMatchEnd();
  UpdateBanner();
}

void WindowCore::SaveRecording() {
  const std::string file = shell_.ChooseFile(true);
  if (file.empty()) return;
  std::string error;
  if (s_.inputs().Save(file, error)) {
    s_.view().SetNote(Tr("notes", "Recording saved: %1", {file}));
  } else {
    std::cerr << "rtsdemo: " << error << "\n";
    s_.host().Notice(error);
  }
  UpdateBanner();
}

void WindowCore::WatchReplay() {
  bool started = false;
  Guarded([&] { started = s_.viewer().WatchMatch(); });
  if (started) shell_.ShowViewer(true);
  UpdateBanner();
}

void WindowCore::KeepWatching() {
  s_.view().KeepWatching();
  if (net_) {
    // The end paused every peer at the same frame; going on is the match's too.
    s_.pace().SetPaused(true);
    net_->SetPace(false, s_.pace().speed());
  }
  UpdateBanner();
}

std::string WindowCore::MatchFile(const std::string& prefix) {
  std::string dir;
  OwnFolder(shell_.DocumentsFolder(), dir);
  return FreeFileName(dir, prefix + TimeStamp(), ".txt");
}

void WindowCore::TakeOver(std::optional<int32_t> side) {
  if (!s_.viewer().playing() || s_.busy()) return;
  const std::string file =
      options_.start.Record.empty() ? MatchFile("match_") : options_.start.Record;
  std::string error;
  bool ok = false;
  Guarded([&] { ok = s_.viewer().TakeOver(side, file, error); });
  if (!ok) {
    if (!error.empty()) s_.view().SetNote(Tr("notes", "Not taken over: %1", {error}));
    UpdateBanner();
    return;
  }
  // The match is the user's now: the panel takes the mouse and the focus again.
  shell_.ShowViewer(false);
  // From now on the user's resizes are inputs of the match again.
  if (options_.runTimer) s_.wiring().scripted = false;
  s_.view().SetNote(Tr("notes", "Taken over at frame %1; recording to %2",
                       {std::to_string(s_.frontend().state().Frames), file}));
  UpdateBanner();
}

void WindowCore::SaveMatch() {
  const std::string file = MatchFile("saved_");
  std::string error;
  bool ok = false;
  Guarded([&] { ok = s_.inputs().SaveMatch(file, error); });
  s_.view().SetNote(ok ? Tr("notes", "Match saved: %1", {file})
                       : Tr("notes", "Match not saved: %1", {error}));
  UpdateBanner();
}

void WindowCore::SavePicture() {
  std::string dir;
  if (!OwnFolder(shell_.PicturesFolder(), dir)) {
    s_.view().SetNote(Tr("notes", "Picture not saved: no folder %1", {dir}));
    return;
  }
  const std::string path = FreeFileName(dir, TimeStamp(), ".png");
  switch (shell_.SaveView(path)) {
    case WindowShell::Picture::NotDrawn:
      s_.view().SetNote(Tr("notes", "Picture not saved: the view does not draw"));
      break;
    case WindowShell::Picture::NotWritten:
      s_.view().SetNote(Tr("notes", "Picture not saved: %1", {path}));
      break;
    case WindowShell::Picture::Saved:
      lastPicture_ = path;
      s_.view().SetNote(Tr("notes", "Picture: %1", {path}));
      break;
  }
}

void WindowCore::Network(bool host) {
  std::vector<std::string> args = shell_.ChooseNet(host);
  if (args.empty()) return;
  // Every peer starts from a fresh session: the match runs in a new window of its own.
  if (options_.start.Level) args.insert(args.end(), {"--level", *options_.start.Level});
  if (volume_.muted()) args.push_back("--mute");
  if (!shell_.Launch(args)) {
    std::string line;
    for (const std::string& a : args) line += (line.empty() ? "" : " ") + a;
    s_.host().Notice(Tr("net", "Cannot start %1", {line}));
    return;
  }
  shell_.Close();
}

void WindowCore::StartNetwork() {
  if (net_) net_->StartNow();
  UpdateBanner();
}

void WindowCore::HandOver() {
  if (net_) net_->HandOver();
  UpdateBanner();
}

void WindowCore::Chat(const std::string& text) {
  if (!text.empty() && net_) Guarded([&] { net_->Chat(text); });
  UpdateBanner();
}

bool WindowCore::Closing() {
  if (!net_ || exiting_) return true;
  // The others may still need this peer (the host carries their hub): on, hidden.
  if (!net_->ended() && !net_->Leave()) return false;
  Exit(net_->status());
  return true;
}
