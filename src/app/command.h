// The command language of inputs: every input that can change a match, and every line of a
// script or a recording, is a Command. Each command is one row of the command table: its name,
// its arguments (how they read, check and write), its help, and how the session applies it.
// The order language's twin for the front end.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class Session;

// What an argument is and which values it takes.
enum class ArgType : uint8_t {
  Int,     // a decimal integer from Lo to Hi
  Real,    // a decimal real within the 32-bit float range
  Word,    // one of Words; the value is its position
  Switch,  // "on" (1) or "off" (0)
  Hex,     // exactly 16 hexadecimal digits (a state hash)
  File,    // a path, one word
  Field,   // a settable object field; the rest of the line is its value
  Rest,    // the rest of the line as written (a file name with spaces)
};

struct ArgSpec {
  const char* Name;  // in usage lines: "N", "X", "FILE"
  ArgType Type = ArgType::Int;
  int64_t Lo = 0;
  int64_t Hi = 0;
  std::array<const char*, 4> Words{};  // for ArgType::Word, the unused ones null
  bool Optional = false;               // only as the last argument
};

// One argument's value: Int and Word in I, Real in F, Hex, File and Field in S (a field's
// value text in Rest).
struct ArgValue {
  int64_t I = 0;
  float F = 0;
  std::string S;
  bool operator==(const ArgValue&) const = default;
};

enum class CommandKind : uint8_t {
  Press,
  Tick,
  Move,
  Down,
  Choose,
  Check,
  Resize,
  Key,
  PlayAs,
  Money,
  Spawn,
  Set,
  Dump,
  Seed,
  Hash,
  Screenshot,
  Level,
  Box,
  Same,
  Group,
  Seek,
  Camera,
  Scroll,
  Zoom,
  Home,
  Look,
  Minimap,
  Bound,
  New,
  Player,
  Leave,
  Queue,
  Rally,
  Blind,
  Ai,
  Stats,  // the last: kCommandKinds counts from it
};
inline constexpr size_t kCommandKinds = static_cast<size_t>(CommandKind::Stats) + 1;

struct Command {
  CommandKind Kind = CommandKind::Tick;
  std::vector<ArgValue> Args;  // as many as were given
  std::string Rest;            // a field's value text (set)
  int64_t Int(size_t i) const { return Args[i].I; }
  float Real(size_t i) const { return Args[i].F; }
  const std::string& Text(size_t i) const { return Args[i].S; }
  bool Has(size_t i) const { return i < Args.size(); }
  bool operator==(const Command&) const = default;
};

// Bad text or a command that cannot be carried out; the message names what is wrong.
struct CommandError {
  std::string What;
};

// A failed sync check: the run stops with exit status 3.
struct OutOfSync {
  uint64_t Frame;
};

// What a command is to the session.
enum CommandUse : uint8_t {
  kInput = 1,    // a player's input: the window sends it and the recorder writes it
  kChanges = 2,  // changes the match without being a player's input: recorded, never sent
};

struct CommandSpec {
  CommandKind Kind;
  std::string_view Name;
  std::span<const ArgSpec> Args;
  const char* Help;  // for --help, the manual and the README
  uint8_t Uses;
  // Applies the command; output of queries goes to out. Throws CommandError or OutOfSync.
  void (*Apply)(Session& session, const Command& command, std::ostream& out);
};

// The rows, indexed by CommandKind; each row's handler stands beside it in command_handlers.cpp.
const std::span<const CommandSpec> CommandTable();
const CommandSpec& SpecOf(CommandKind kind);

// Reads one line; nullopt for an empty or comment line. A "#" that starts a word begins a
// comment. Throws CommandError naming what is wrong.
std::optional<Command> ReadCommand(std::string_view line);
// The command as a line that reads back to it.
std::string WriteCommand(const Command& command);

// Builders for the inputs the front ends send.
Command MakeCommand(CommandKind kind, std::initializer_list<int64_t> ints);

// A right click: "queue" with Shift, else "rally" when it would set a rally point, else
// "down right". The window follows it with "blind" when the fog hides what is under it.
Command RightClickCommand(bool queued, bool rally);
// "level FILE".
Command LevelCommand(const std::string& file);
// "new SEED [LEVEL]".
// "ai S FILE": side S played by the script FILE (- : by the built-in opponent).
Command AiCommand(int32_t side, const std::string& file);
Command NewMatchCommand(uint32_t seed, const std::string& level = {});

// A whole script, read and checked before it runs.
struct ScriptLine {
  int Number = 0;  // in the file, from 1
  Command Cmd;
};
using Script = std::vector<ScriptLine>;
// Reads every line; throws CommandError with "script line N: ..." at the first bad one.
Script ReadScript(std::istream& in);

// "press 1|2|3  click a button" lines for --help and the manual.
std::string CommandSummary();
