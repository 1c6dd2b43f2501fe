// The command line: one table of options from which the parser, --help, the manual page and
// the README's option list are all made.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/options_runs.h"

struct OptionInfo {
  const char* Name;      // the long name without "--"
  char Short;            // the one-letter form, 0 for none
  const char* Argument;  // the value's name ("DIR"), nullptr for a switch
  const char* Help;      // one paragraph; `x` marks a literal name
};

extern const std::span<const OptionInfo> kOptions;
// The forms of the command line, after the program's name.
extern const std::span<const char* const> kUsage;

// A match over the network: --host, --join or --serve.
struct NetOptions {
  enum class Kind { Host, Join, Serve } kind = Kind::Host;
  std::string address;  // --join's host
  uint16_t port = 7341;
  bool watch = false;          // join as an observer
  uint8_t players = 2;         // --host: start once this many players are in
  uint32_t timeout = 30;       // seconds without an answer before giving up
  std::string match = "main";  // the relay's name for the match
  bool window = false;         // played in the window (no --script)
};

// What the window needs from the command line.
struct WindowOptions {
  std::optional<uint32_t> seed;
  std::optional<std::string> script;  // run it instead of the timer, then exit
  std::optional<std::string> record;  // write the session as a replayable script
  std::optional<std::string> replay;  // play a recording in the window at normal speed
  std::optional<int32_t> playAs;      // the player's side; the computer plays the other
  std::optional<std::string> level;   // the level file Button2 creates
  bool mute = false;                  // start with the sound off
  std::optional<uint64_t> start;      // the frame a replay opens at
  std::optional<std::string> resume;  // a recording played to its end, then the match goes on
  std::optional<NetOptions> net;      // a network match played in the window
  std::vector<std::string> ai;        // --ai values in order: S=FILE (FILE alone with --check)
};

enum class RunMode { Help, Version, Check, Batch, Ladder, Summarize, Headless, Window, Network };

struct Invocation {
  RunMode mode = RunMode::Window;
  std::optional<std::string> data;  // --data
  WindowOptions window;             // also the headless run's script, seed and side
  BatchOptions batch;
  LadderOptions ladder;
  std::vector<std::string> files;  // --summarize's files
  NetOptions net;
};

// Parses the arguments after the program's name; nothing, with the problem set, for bad usage.
std::optional<Invocation> ParseInvocation(const std::vector<std::string>& args,
                                          std::string& problem);

// --help: the usage, the options, the keys and the script commands.
std::string HelpText();
// The options as the manual page's OPTIONS entries (.TP paragraphs) and its synopsis.
std::string ManualOptions();
std::string ManualSynopsis();
// The README's synopsis block (indented by four) and its option list (Markdown items).
std::string ReadmeSynopsis();
std::string ReadmeOptions();
