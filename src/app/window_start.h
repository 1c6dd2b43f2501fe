// How the window starts: its options from the program's, with the script and recordings read,
// and the arguments of the program its network dialog starts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/command.h"
#include "app/options.h"
#include "app/startup.h"

struct FormOptions {
  std::optional<uint32_t> seed;   // fixed generator seed instead of the clock
  bool answerAtOnce = false;      // message boxes recorded and printed, not shown
  bool keepFrames = false;        // read the back buffer before each swap, for screenshots
  bool runTimer = true;           // a script runs the frames itself
  bool scripted = false;          // frames come only from the script: resizes run none
  SessionStart start;             // recordings, side and level
  bool mute = false;              // start with the sound off
  std::optional<NetOptions> net;  // a network match: --host or --join
  bool remember = false;          // an interactive window: the user's last choices
};

// The window's options for the program's: the script to run and the recordings read. The exit
// status when the program must end first (no display, a file that cannot be read); on a
// display, `unreadable` is told why a recording cannot be read (after standard error), unless
// a script drives the window.
std::optional<int> WindowStart(const WindowOptions& options, FormOptions& form, Script& script,
                               const std::function<void(const std::string&)>& unreadable);

// The host or join dialog's texts and first values, translated.
struct NetDialog {
  std::string Name;  // its object name
  std::string Title;
  std::string AddressLabel;
  std::string Address;
  std::string RoleLabel;
  std::vector<std::string> Roles;
  int Role = 0;
};
NetDialog NetDialogOf(bool host);
// The arguments of the program that hosts (the address a port) or joins a network match,
// playing as role 0 or 1 (a side), 2 (a free side) or 3 (watching); empty without an address.
std::vector<std::string> NetArguments(bool host, const std::string& address, int role);
