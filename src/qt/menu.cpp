#include "qt/menu.h"

#include <QAction>
#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "app/pace.h"
#include "app/replay.h"
#include "game/level.h"
#include "net/net_peer.h"
#include "qt/form.h"
#include "qt/match_charts.h"
#include "qt/widget_controls.h"
#include "util/translate.h"

namespace {

QString T(const char* english) {
  return QString::fromStdString(Tr("menu", english));
}

}  // namespace

QMenu* BuildMenu(QWidget* parent, const std::vector<MenuEntry>& entries) {
  auto* menu = new QMenu(parent);
  for (const MenuEntry& entry : entries) {
    if (entry.Text.isEmpty()) {
      menu->addSeparator();
      continue;
    }
    if (!entry.Sub.empty()) {
      QMenu* sub = BuildMenu(menu, entry.Sub);
      sub->setTitle(entry.Text);
      sub->setObjectName(entry.Name);
      QAction* action = menu->addMenu(sub);
      action->setObjectName(entry.Name);
      if (entry.Enabled) action->setEnabled(entry.Enabled());
      continue;
    }
    QAction* action = menu->addAction(entry.Text);
    action->setObjectName(entry.Name);
    if (entry.Enabled) action->setEnabled(entry.Enabled());
    if (entry.Checked) {
      action->setCheckable(true);
      action->setChecked(entry.Checked());
    }
    QObject::connect(action, &QAction::triggered, menu, [fn = entry.Action] {
      if (fn) fn();
    });
  }
  return menu;
}

std::vector<MenuEntry> TForm1::GameMenuEntries() {
  const bool viewer = session_->viewer().playing();
  auto live = [this] { return session_->live(); };
  auto alone = [this] { return !session_->wiring().frames; };
  auto loaded = [this] { return !controls_.ButtonEnabled(1); };

  std::vector<MenuEntry> levels;
  std::vector<std::string> names;
  for (const std::string& file : ShippedLevels())
    names.push_back(std::filesystem::path(file).stem().string());
  if (options_.start.Level) names.push_back(*options_.start.Level);
  for (const std::string& name : names) {
    levels.push_back({QString::fromStdString(std::filesystem::path(name).filename().string()),
                      QStringLiteral("Level:") + QString::fromStdString(name),
                      [this, name] { MenuNewMatch(name); },
                      loaded,
                      {},
                      {}});
  }

  std::vector<MenuEntry> speeds;
  for (int s = 0; s < Pace::kSpeeds; ++s) {
    speeds.push_back({QString::fromLatin1(Pace::SpeedName(s)),
                      QStringLiteral("Speed") + QString::fromLatin1(Pace::SpeedName(s)),
                      [this, s] {
                        // A network match's speed is everyone's.
                        if (net_)
                          net_->SetPace(session_->pace().paused(), s);
                        else
                          session_->pace().SetSpeed(s);
                        UpdateBanner();
                      },
                      {},
                      [this, s] { return session_->pace().speed() == s; },
                      {}});
  }

  auto side = [this, live](const char* text, const char* name, int s) {
    return MenuEntry{T(text),
                     QString::fromLatin1(name),
                     [this, s] { Input(MakeCommand(CommandKind::PlayAs, {s})); },
                     live,
                     [this, s] { return session_->frontend().player().PlayAs == s; },
                     {}};
  };

  // The computer's side against a player's (side 1 while both are the computer's): Easy,
  // Standard (the built-in opponent) or Hard, from a new match on.
  auto opponentSide = [this] {
    const int32_t mine = session_->frontend().player().PlayAs;
    return mine >= 0 ? 1 - mine : 1;
  };
  auto opponent = [this, opponentSide, live, loaded](const char* text, const char* name,
                                                     std::string file) {
    return MenuEntry{T(text),
                     QString::fromLatin1(name),
                     [this, opponentSide, file] {
                       Input(AiCommand(opponentSide(), file));
                       MenuNewMatch({});
                     },
                     [live, loaded] { return live() && loaded(); },
                     [this, opponentSide, file] {
                       const SideScripts* scripts = session_->frontend().scripts();
                       const int32_t side = opponentSide();
                       if (!scripts || !scripts->Has(side)) return file == "-";
                       return scripts->Files()[static_cast<size_t>(side)].first == "ai/" + file;
                     },
                     {}};
  };
  const std::vector<MenuEntry> opponents = {
      opponent("Easy", "OpponentEasy", "easy.lua"),
      opponent("Standard", "OpponentStandard", "-"),
      opponent("Hard", "OpponentHard", "hard.lua"),
  };

  auto replaying = [this] { return session_->viewer().playing(); };
  auto takeAs = [this](const char* text, const char* name, int s) {
    return MenuEntry{T(text), QString::fromLatin1(name), [this, s] { TakeOver(s); }, {}, {}, {}};
  };
  const std::vector<MenuEntry> takeOver = {
      takeAs("As side 0 (F5)", "TakeOver0", 0),
      takeAs("As side 1 (F6)", "TakeOver1", 1),
      takeAs("Both sides to the computer (F7)", "TakeOverWatch", -1),
  };

  // Without a side of one's own: whose sight the view shows.
  auto sight = [this](const char* text, const char* name, int s) {
    return MenuEntry{T(text),
                     QString::fromLatin1(name),
                     [this, s] {
                       session_->view().ChooseSight(s);
                       UpdateBanner();
                     },
                     [this] { return !session_->frontend().OwnSight(); },
                     [this, s] { return session_->frontend().sightChoice() == s; },
                     {}};
  };
  const std::vector<MenuEntry> sights = {
      sight("Everything", "SightAll", -1),
      sight("Side 0's sight", "Sight0", 0),
      sight("Side 1's sight", "Sight1", 1),
  };

  std::vector<MenuEntry> entries = {
      {viewer ? T("New match (leave the replay)") : T("New match"),
       QStringLiteral("NewMatch"),
       [this] { MenuNewMatch({}); },
       loaded,
       {},
       {}},
      {T("New match on level"), QStringLiteral("NewMatchOn"), {}, loaded, {}, levels},
      {T("New match against"), QStringLiteral("NewMatchAgainst"), {}, loaded, {}, opponents},
      {},
      side("Play side 0", "PlaySide0", 0),
      side("Play side 1", "PlaySide1", 1),
      side("Watch (the computer plays both)", "Watch", -1),
      {T("Speed"), QStringLiteral("Speed"), {}, {}, {}, speeds},
      {T("Show (V)"), QStringLiteral("Sight"), {}, {}, {}, sights},
      {},
      {T("Open replay..."),
       QStringLiteral("OpenReplay"),
       [this] { MenuOpenReplay(); },
       alone,
       {},
       {}},
      {T("Save recording as..."),
       QStringLiteral("SaveRecording"),
       [this] { MenuSaveRecording(); },
       {},
       {},
       {}},
      {T("Take over the replay"), QStringLiteral("TakeOver"), {}, replaying, {}, takeOver},
      {T("Match charts..."),
       QStringLiteral("MatchCharts"),
       [this] { ShowCharts(); },
       [this] { return session_->match().observer() != nullptr; },
       {},
       {}},
      {},
      {T("Host a network match..."),
       QStringLiteral("HostNetwork"),
       [this] { MenuNetwork(true); },
       alone,
       {},
       {}},
      {T("Join a network match..."),
       QStringLiteral("JoinNetwork"),
       [this] { MenuNetwork(false); },
       alone,
       {},
       {}},
      {T("Start the network match"),
       QStringLiteral("StartNetwork"),
       [this] {
         if (net_) net_->StartNow();
         UpdateBanner();
       },
       [this] { return net_ && net_->host() && !net_->started() && !net_->ended(); },
       {},
       {}},
      {T("Go on without the players who are gone"),
       QStringLiteral("HandOver"),
       [this] {
         if (net_) net_->HandOver();
         UpdateBanner();
       },
       [this] { return net_ && net_->player() && net_->someoneGone() && !net_->ended(); },
       {},
       {}},
      {T("Save match (Ctrl+S)"), QStringLiteral("SaveMatch"), [this] { SaveMatch(); }, {}, {}, {}},
      {},
      {T("Keys (F1)"), QStringLiteral("Keys"), [this] { ShowKeys(); }, {}, {}, {}},
      {T("Quit"), QStringLiteral("Quit"), [this] { close(); }, {}, {}, {}},
  };
  return entries;
}

void TForm1::ShowGameMenu() {
  if (!created_ || exiting_) return;
  if (menu_) menu_->close();
  menu_ = BuildMenu(this, GameMenuEntries());
  menu_->setObjectName(QStringLiteral("GameMenu"));
  menu_->setAttribute(Qt::WA_DeleteOnClose);
  // Under the menu button, at the banner's right end.
  menu_->popup(MenuButton->mapToGlobal(QPoint(MenuButton->width(), MenuButton->height())) -
               QPoint(menu_->sizeHint().width(), 0));
}

QString TForm1::ChooseFile(bool save) {
  if (chooser_) return chooser_(save);
  return save ? QFileDialog::getSaveFileName(this, T("Save recording as"), QString(),
                                             T("Recordings (*.txt);;All files (*)"))
              : QFileDialog::getOpenFileName(this, T("Open replay"), QString(),
                                             T("Recordings (*.txt);;All files (*)"));
}

void TForm1::MenuNewMatch(const std::string& level) {
  if (!created_ || exiting_) return;
  const bool wasViewer = session_->viewer().playing();
  Guarded([&] { session_->NewMatch(level); });
  if (wasViewer && !session_->viewer().playing()) LeaveViewer();
  SyncMatchEnd();
  UpdateBanner();
}

void TForm1::MenuOpenReplay() {
  const QString file = ChooseFile(false);
  if (file.isEmpty()) return;
  Script script;
  std::ostringstream why;
  if (!LoadScript(file.toStdString(), script, why)) {
    std::cerr << why.str();
    Notice(why.str());
    return;
  }
  Guarded([&] { session_->viewer().Open(std::move(script)); });
  if (session_->viewer().playing()) EnterViewer();
  SyncMatchEnd();
  UpdateBanner();
}

void TForm1::MenuSaveRecording() {
  const QString file = ChooseFile(true);
  if (file.isEmpty()) return;
  std::string error;
  if (session_->inputs().Save(file.toStdString(), error)) {
    session_->view().SetNote(Tr("notes", "Recording saved: %1", {file.toStdString()}));
  } else {
    std::cerr << "rtsdemo: " << error << "\n";
    Notice(error);
  }
  UpdateBanner();
}

// The box that tells who won, open while the session shows the end of the match.
void TForm1::SyncMatchEnd() {
  const std::optional<MatchEndView>& end = session_->view().matchEnd();
  if (!end) {
    if (endBox_) endBox_->close();
    return;
  }
  if (endBox_) return;
  auto* box = new QDialog(this);
  box->setObjectName(QStringLiteral("MatchEndBox"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle(T("End of the match"));
  auto* layout = new QVBoxLayout(box);
  auto* title =
      new QLabel(end->TitleIsCp1251 ? ToQt(end->Title) : QString::fromStdString(end->Title));
  title->setObjectName(QStringLiteral("MatchEndTitle"));
  QFont big = title->font();
  big.setPixelSize(24);
  big.setBold(true);
  title->setFont(big);
  title->setAlignment(Qt::AlignCenter);
  layout->addWidget(title);
  QStringList lines;
  for (const std::string& line : end->Lines) lines << QString::fromStdString(line);
  auto* figures = new QLabel(lines.join(QLatin1Char('\n')));
  figures->setObjectName(QStringLiteral("MatchEndFigures"));
  figures->setAlignment(Qt::AlignCenter);
  // The figures, then the match in charts.
  QTabWidget* tabs =
      MakeMatchCharts(session_->match().observer()->figures().Stats, session_->world(), {}, box);
  tabs->insertTab(0, figures, T("Summary"));
  tabs->setCurrentIndex(0);
  layout->addWidget(tabs);
  auto* buttons = new QDialogButtonBox;
  auto add = [&](const char* text, const char* name, std::function<void()> fn) {
    QPushButton* b = buttons->addButton(T(text), QDialogButtonBox::ActionRole);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, box, [box, fn = std::move(fn)] {
      box->done(QDialog::Accepted);  // not rejected: that is "keep watching"
      fn();
    });
  };
  add("New match", "EndNewMatch", [this] { MenuNewMatch({}); });
  add("Watch the replay", "EndWatchReplay", [this] {
    bool started = false;
    Guarded([&] { started = session_->viewer().WatchMatch(); });
    if (started) EnterViewer();
    UpdateBanner();
  });
  add("Keep watching", "EndKeepWatching", [this] {
    KeepWatchingEnd();
    UpdateBanner();
  });
  layout->addWidget(buttons);
  // Closed any other way, the match runs on.
  connect(box, &QDialog::rejected, this, [this] {
    KeepWatchingEnd();
    UpdateBanner();
  });
  endBox_ = box;
  box->open();
  // Over the middle of the view, within the window's smallest size.
  box->resize(560, 420);
  box->move(Panel3->mapToGlobal(Panel3->rect().center()) - box->rect().center());
}

// The match so far in charts, with the replay's marks; a box of its own beside the window.
void TForm1::ShowCharts() {
  const MatchObserver* observer = session_->match().observer();
  if (!observer) return;
  if (chartsBox_) chartsBox_->close();
  std::vector<double> marks;
  const uint64_t start = session_->match().startFrame();
  if (const ReplayPlayer* replay = session_->viewer().player())
    for (const ReplayMark& m : replay->marks())
      if (m.Frame >= start) marks.push_back(static_cast<double>(m.Frame - start) / 100.0);
  auto* box = new QDialog(this);
  box->setObjectName(QStringLiteral("ChartsBox"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle(T("Match charts"));
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(MakeMatchCharts(observer->figures().Stats, session_->world(), marks, box));
  box->resize(560, 420);
  chartsBox_ = box;
  box->show();
}
