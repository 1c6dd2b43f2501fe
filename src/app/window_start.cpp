#include "app/window_start.h"

#include <cstdlib>
#include <iostream>
#include <sstream>

#include "app/ai_options.h"
#include "app/script.h"
#include "util/translate.h"

namespace {

bool Unset(const char* name) {
  const char* value = std::getenv(name);
  return !value || !*value;
}

bool HasDisplay() {
  return !Unset("DISPLAY") || !Unset("WAYLAND_DISPLAY");
}

// A recording the window cannot open: said on standard error and, unless a script drives the
// window, to the user, who may see no terminal.
bool LoadRecording(const std::string& path, Script& recording, bool scripted,
                   const std::function<void(const std::string&)>& unreadable) {
  std::ostringstream error;
  if (LoadScript(path, recording, error)) return true;
  std::cerr << error.str();
  std::string text = error.str();
  while (!text.empty() && text.back() == '\n') text.pop_back();
  if (!scripted && unreadable && HasDisplay()) unreadable(text);
  return false;
}

}  // namespace

std::optional<int> WindowStart(const WindowOptions& options, FormOptions& form, Script& script,
                               const std::function<void(const std::string&)>& unreadable) {
  // A broken script or recording ends the program before any window opens.
  form.start = StartOf(options);
  if (options.script && !LoadScript(*options.script, script, std::cerr)) return 2;
  if (!ReadAiOptions(options.ai, std::cerr)) return 1;
  const bool scripted = options.script.has_value();
  for (const std::optional<std::string>& file : {options.replay, options.resume}) {
    if (!file) continue;
    Script recording;
    if (!LoadRecording(*file, recording, scripted, unreadable)) return 2;
    form.start.Replay = std::move(recording);
  }
  if (options.replay) {
    // The recording's frames come from the timer; the toolkit's resizes run none.
    form.answerAtOnce = true;
    form.scripted = true;
  }
  form.seed = options.seed;
  form.mute = options.mute;
  if (options.net) {
    // Frames come only from the lockstep: the toolkit's resizes run none.
    form.net = options.net;
    form.scripted = true;
  }
  if (options.script) {
    // The scripted driver on the real window: the timer is off and every frame comes from
    // `tick` (or from a resize), run exactly as a timer tick would run it.
    form.answerAtOnce = true;
    form.keepFrames = true;
    form.runTimer = false;
    form.scripted = true;
  }
  form.remember = !options.script && !options.replay && !options.resume && !options.net;
  // Without a display the toolkit would abort; say what to do instead.
  if (!HasDisplay() && Unset("QT_QPA_PLATFORM")) {
    std::cerr << "rtsdemo: no display to open the window on (DISPLAY is not set); --headless runs "
                 "a script without one\n";
    return 2;
  }
  return std::nullopt;
}

NetDialog NetDialogOf(bool host) {
  NetDialog d;
  d.Name = host ? "HostBox" : "JoinBox";
  d.Title = host ? Tr("menu", "Host a network match") : Tr("menu", "Join a network match");
  d.AddressLabel = host ? Tr("menu", "UDP port:") : Tr("menu", "Host[:port]:");
  d.Address = host ? "7341" : "127.0.0.1:7341";
  d.RoleLabel = Tr("menu", "Play as:");
  d.Roles = {Tr("menu", "Side 0"), Tr("menu", "Side 1")};
  if (!host) d.Roles.insert(d.Roles.end(), {Tr("menu", "A free side"), Tr("menu", "Watch")});
  d.Role = host ? 0 : 2;
  return d;
}

std::vector<std::string> NetArguments(bool host, const std::string& address, int role) {
  if (address.empty()) return {};
  std::vector<std::string> args = {host ? "--host" : "--join", address};
  if (role <= 1) args.insert(args.end(), {"--play-as", std::to_string(role)});
  if (role == 3) args.push_back("--watch");
  return args;
}
