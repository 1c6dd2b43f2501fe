#include "app/menu_model.h"

#include <filesystem>

#include "app/window_core.h"
#include "game/level.h"
#include "util/translate.h"

namespace {

std::string T(const char* english) {
  return Tr("menu", english);
}

MenuItem Entry(const char* text, const char* name, std::function<void()> action,
               bool enabled = true, std::optional<bool> checked = std::nullopt) {
  return {T(text), name, std::move(action), enabled, checked, {}};
}

MenuItem Submenu(const char* text, const char* name, bool enabled, std::vector<MenuItem> sub) {
  return {T(text), name, {}, enabled, std::nullopt, std::move(sub)};
}

// The shipped levels and the one named at the start.
std::vector<MenuItem> Levels(WindowCore& core, bool loaded) {
  std::vector<std::string> names;
  for (const std::string& file : ShippedLevels())
    names.push_back(std::filesystem::path(file).stem().string());
  if (core.options().start.Level) names.push_back(*core.options().start.Level);
  std::vector<MenuItem> levels;
  for (const std::string& name : names) {
    levels.push_back({std::filesystem::path(name).filename().string(),
                      "Level:" + name,
                      [&core, name] { core.NewMatch(name); },
                      loaded,
                      std::nullopt,
                      {}});
  }
  return levels;
}

// The computer's side against a player's (side 1 while both are the computer's): Easy,
// Standard (the built-in opponent) or Hard, from a new match on.
int32_t OpponentSide(const Session& s) {
  const int32_t mine = s.frontend().player().PlayAs;
  return mine >= 0 ? 1 - mine : 1;
}

std::vector<MenuItem> Opponents(WindowCore& core, bool enabled) {
  const int32_t side = OpponentSide(core.session());
  const SideScripts* scripts = core.session().frontend().scripts();
  auto opponent = [&](const char* text, const char* name, std::string file) {
    const bool chosen = !scripts || !scripts->Has(side)
                            ? file == "-"
                            : scripts->Files()[static_cast<size_t>(side)].first == "ai/" + file;
    return Entry(
        text, name,
        [&core, file] {
          core.Input(AiCommand(OpponentSide(core.session()), file));
          core.NewMatch({});
        },
        enabled, chosen);
  };
  return {opponent("Easy", "OpponentEasy", "easy.lua"),
          opponent("Standard", "OpponentStandard", "-"),
          opponent("Hard", "OpponentHard", "hard.lua")};
}

std::vector<MenuItem> Speeds(WindowCore& core) {
  std::vector<MenuItem> speeds;
  for (int s = 0; s < Pace::kSpeeds; ++s) {
    const std::string name = Pace::SpeedName(s);
    speeds.push_back({name,
                      "Speed" + name,
                      [&core, s] { core.SetSpeed(s); },
                      true,
                      core.session().pace().speed() == s,
                      {}});
  }
  return speeds;
}

}  // namespace

std::vector<MenuItem> GameMenu(WindowCore& core) {
  Session& s = core.session();
  const NetMatch* net = core.net();
  const bool live = s.live();
  const bool alone = !s.wiring().frames;
  const bool loaded = !s.controls().ButtonEnabled(1);
  const bool replaying = s.viewer().playing();
  const Frontend& f = s.frontend();

  auto side = [&](const char* text, const char* name, int32_t n) {
    return Entry(
        text, name, [&core, n] { core.Input(MakeCommand(CommandKind::PlayAs, {n})); }, live,
        f.player().PlayAs == n);
  };
  auto takeOver = [&](const char* text, const char* name, int32_t n) {
    return Entry(text, name, [&core, n] { core.TakeOver(n); });
  };
  // Without a side of one's own: whose sight the view shows.
  auto sight = [&](const char* text, const char* name, int32_t n) {
    return Entry(
        text, name, [&core, n] { core.ChooseSight(n); }, !f.OwnSight(), f.sightChoice() == n);
  };

  return {
      Entry(
          replaying ? "New match (leave the replay)" : "New match", "NewMatch",
          [&core] { core.NewMatch({}); }, loaded),
      Submenu("New match on level", "NewMatchOn", loaded, Levels(core, loaded)),
      Submenu("New match against", "NewMatchAgainst", loaded, Opponents(core, live && loaded)),
      {},
      side("Play side 0", "PlaySide0", 0),
      side("Play side 1", "PlaySide1", 1),
      side("Watch (the computer plays both)", "Watch", -1),
      Submenu("Speed", "Speed", true, Speeds(core)),
      Submenu("Show (V)", "Sight", true,
              {sight("Everything", "SightAll", -1), sight("Side 0's sight", "Sight0", 0),
               sight("Side 1's sight", "Sight1", 1)}),
      {},
      Entry(
          "Open replay...", "OpenReplay", [&core] { core.OpenReplay(); }, alone),
      Entry("Save recording as...", "SaveRecording", [&core] { core.SaveRecording(); }),
      Submenu(
          "Take over the replay", "TakeOver", replaying,
          {takeOver("As side 0 (F5)", "TakeOver0", 0), takeOver("As side 1 (F6)", "TakeOver1", 1),
           takeOver("Both sides to the computer (F7)", "TakeOverWatch", -1)}),
      Entry(
          "Match charts...", "MatchCharts", [&core] { core.shell().ShowCharts(); },
          s.match().observer() != nullptr),
      {},
      Entry(
          "Host a network match...", "HostNetwork", [&core] { core.Network(true); }, alone),
      Entry(
          "Join a network match...", "JoinNetwork", [&core] { core.Network(false); }, alone),
      Entry(
          "Start the network match", "StartNetwork", [&core] { core.StartNetwork(); },
          net && net->host() && !net->started() && !net->ended()),
      Entry(
          "Go on without the players who are gone", "HandOver", [&core] { core.HandOver(); },
          net && net->player() && net->someoneGone() && !net->ended()),
      Entry("Save match (Ctrl+S)", "SaveMatch", [&core] { core.SaveMatch(); }),
      {},
      Entry("Keys (F1)", "Keys", [&core] { core.shell().ShowKeys(); }),
      Entry("Quit", "Quit", [&core] { core.shell().Close(); }),
  };
}
