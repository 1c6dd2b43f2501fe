// The Qt window "OpenGL demo" around the front end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct WindowOptions {
  std::optional<uint32_t> seed;
  std::optional<std::string> script;  // run it instead of the timer, then exit
  std::optional<std::string> record;  // write the session as a replayable script
  std::optional<std::string> replay;  // play a recording in the window at normal speed
  std::optional<int32_t> playAs;      // the player's side; the computer plays the other
  std::optional<std::string> level;   // a level file read once without errors
};

// Opens the window and runs the event loop; returns the exit status.
int RunWindow(int argc, char** argv, const WindowOptions& options);
