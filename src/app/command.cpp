#include "app/command.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <istream>
#include <limits>

#include "app/session.h"
#include "game/object_fields.h"
#include "util/echo_text.h"
#include "util/numtext.h"
#include "util/translate.h"

namespace {

constexpr int64_t kI32Min = INT32_MIN;
constexpr int64_t kI32Max = INT32_MAX;

constexpr ArgSpec kButtonArgs[] = {{"N", ArgType::Int, 1, 3}};
constexpr ArgSpec kTickArgs[] = {{"N", ArgType::Int, 0, INT64_MAX, {}, true}};
constexpr ArgSpec kMoveArgs[] = {{"X", ArgType::Int, kI32Min, kI32Max},
                                 {"Y", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kDownArgs[] = {{"BUTTON", ArgType::Word, 0, 0, {"left", "right", "middle"}}};
constexpr ArgSpec kChooseArgs[] = {{"K", ArgType::Int, 1, 3}, {"I", ArgType::Int, -1, kI32Max}};
constexpr ArgSpec kCheckArgs[] = {{"K", ArgType::Int, 1, 2}, {"STATE", ArgType::Switch}};
constexpr ArgSpec kResizeArgs[] = {{"W", ArgType::Int, 1, 16384}, {"H", ArgType::Int, 1, 16384}};
constexpr ArgSpec kKeyArgs[] = {{"KEY", ArgType::Word, 0, 0, {"left", "right", "up", "down"}},
                                {"STATE", ArgType::Switch}};
constexpr ArgSpec kPlayAsArgs[] = {{"S", ArgType::Int, -1, 1}};
constexpr ArgSpec kMoneyArgs[] = {{"S", ArgType::Int, 0, 3}, {"V", ArgType::Real}};
constexpr ArgSpec kSpawnArgs[] = {{"R", ArgType::Int, kI32Min, kI32Max},
                                  {"K", ArgType::Int, kI32Min, kI32Max},
                                  {"S", ArgType::Int, kI32Min, kI32Max},
                                  {"X", ArgType::Real},
                                  {"Y", ArgType::Real},
                                  {"A", ArgType::Real}};
constexpr ArgSpec kSetArgs[] = {
    {"I", ArgType::Int, 0, kI32Max}, {"FIELD", ArgType::Field}, {"VALUE", ArgType::Field}};
constexpr ArgSpec kDumpArgs[] = {{"FILE", ArgType::File, 0, 0, {}, true}};
constexpr ArgSpec kSeedArgs[] = {{"A", ArgType::Int, 0, UINT32_MAX},
                                 {"B", ArgType::Int, 0, UINT32_MAX}};
constexpr ArgSpec kHashArgs[] = {{"H", ArgType::Hex, 0, 0, {}, true}};
constexpr ArgSpec kScreenshotArgs[] = {{"FILE", ArgType::File}};
constexpr ArgSpec kLevelArgs[] = {{"FILE", ArgType::Rest}};
constexpr ArgSpec kBoxArgs[] = {{"X1", ArgType::Int, kI32Min, kI32Max},
                                {"Y1", ArgType::Int, kI32Min, kI32Max},
                                {"X2", ArgType::Int, kI32Min, kI32Max},
                                {"Y2", ArgType::Int, kI32Min, kI32Max},
                                {"MODE", ArgType::Word, 0, 0, {"new", "add"}}};
constexpr ArgSpec kSameArgs[] = {{"X", ArgType::Int, kI32Min, kI32Max},
                                 {"Y", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kGroupArgs[] = {
    {"ACTION", ArgType::Word, 0, 0, {"store", "add", "recall", "centre"}},
    {"N", ArgType::Int, 1, 9}};
constexpr ArgSpec kSeekArgs[] = {{"F", ArgType::Int, 0, INT64_MAX}};
constexpr ArgSpec kCameraArgs[] = {{"BY", ArgType::Word, 0, 0, {"frames", "ticks"}}};
constexpr ArgSpec kScrollArgs[] = {{"N", ArgType::Int, 1, INT32_MAX, {}, true}};
constexpr ArgSpec kZoomArgs[] = {{"WAY", ArgType::Word, 0, 0, {"in", "out"}},
                                 {"X", ArgType::Int, kI32Min, kI32Max},
                                 {"Y", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kLookArgs[] = {{"X", ArgType::Int, kI32Min, kI32Max},
                                 {"Y", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kHomeArgs[] = {{"S", ArgType::Int, kI32Min, kI32Max}};
constexpr ArgSpec kMinimapArgs[] = {{"STATE", ArgType::Switch}};
constexpr ArgSpec kBoundArgs[] = {{"STATE", ArgType::Switch}};
constexpr ArgSpec kPlayerArgs[] = {{"N", ArgType::Int, 0, 7}};
constexpr ArgSpec kNewArgs[] = {{"SEED", ArgType::Int, 0, UINT32_MAX},
                                {"LEVEL", ArgType::Rest, 0, 0, {}, true}};

}  // namespace

// Defined in session.cpp, where the session's parts are at hand.
namespace command_actions {
void Press(Session&, const Command&, std::ostream&);
void Tick(Session&, const Command&, std::ostream&);
void Move(Session&, const Command&, std::ostream&);
void Down(Session&, const Command&, std::ostream&);
void Choose(Session&, const Command&, std::ostream&);
void Check(Session&, const Command&, std::ostream&);
void Resize(Session&, const Command&, std::ostream&);
void Key(Session&, const Command&, std::ostream&);
void PlayAs(Session&, const Command&, std::ostream&);
void Money(Session&, const Command&, std::ostream&);
void Spawn(Session&, const Command&, std::ostream&);
void Set(Session&, const Command&, std::ostream&);
void Dump(Session&, const Command&, std::ostream&);
void Seed(Session&, const Command&, std::ostream&);
void Hash(Session&, const Command&, std::ostream&);
void Screenshot(Session&, const Command&, std::ostream&);
void Level(Session&, const Command&, std::ostream&);
void Box(Session&, const Command&, std::ostream&);
void Same(Session&, const Command&, std::ostream&);
void Group(Session&, const Command&, std::ostream&);
void Seek(Session&, const Command&, std::ostream&);
void Camera(Session&, const Command&, std::ostream&);
void Scroll(Session&, const Command&, std::ostream&);
void Zoom(Session&, const Command&, std::ostream&);
void Home(Session&, const Command&, std::ostream&);
void Look(Session&, const Command&, std::ostream&);
void Minimap(Session&, const Command&, std::ostream&);
void Bound(Session&, const Command&, std::ostream&);
void New(Session&, const Command&, std::ostream&);
void Player(Session&, const Command&, std::ostream&);
void Leave(Session&, const Command&, std::ostream&);
}  // namespace command_actions

namespace {

using K = CommandKind;
namespace a = command_actions;

// Indexed by CommandKind.
const CommandSpec kCommands[] = {
    {K::Press, "press", kButtonArgs, "click a button (a disabled one ignores it)", kInput,
     a::Press},
    {K::Tick, "tick", kTickArgs, "run N frames (1)", 0, a::Tick},
    {K::Move, "move", kMoveArgs, "move the mouse to view pixels, y from the top", kInput, a::Move},
    {K::Down, "down", kDownArgs, "press a mouse button", kInput, a::Down},
    {K::Choose, "choose", kChooseArgs, "choose item I of combo box K (-1: none)", kInput,
     a::Choose},
    {K::Check, "check", kCheckArgs, "tick or untick check box K", kInput, a::Check},
    {K::Resize, "resize", kResizeArgs, "resize the view, which runs one frame", kInput, a::Resize},
    {K::Key, "key", kKeyArgs, "hold or release an arrow key (the camera moves 1 a frame)", kInput,
     a::Key},
    {K::PlayAs, "play-as", kPlayAsArgs, "the computer plays only the other side of S (-1: both)",
     kInput, a::PlayAs},
    {K::Money, "money", kMoneyArgs, "set side S's treasury", kChanges, a::Money},
    {K::Spawn, "spawn", kSpawnArgs, "add an object of race R, kind K, side S at X, Y heading A",
     kChanges, a::Spawn},
    {K::Set, "set", kSetArgs, "set a field of object I (texts take the rest of the line)", kChanges,
     a::Set},
    {K::Dump, "dump", kDumpArgs, "the whole state as JSON", 0, a::Dump},
    {K::Seed, "seed", kSeedArgs, "the two seeds, before the first frame", 0, a::Seed},
    {K::Hash, "hash", kHashArgs, "print the state hash, or stop with status 3 when it differs", 0,
     a::Hash},
    {K::Screenshot, "screenshot", kScreenshotArgs, "the view as PNG (window only)", 0,
     a::Screenshot},
    {K::Level, "level", kLevelArgs,
     "the level file (or a shipped level's name) press 2 creates instead of the test level", kInput,
     a::Level},
    {K::Box, "box", kBoxArgs, "select the units in a box of view pixels (add: keep the selection)",
     kInput, a::Box},
    {K::Same, "same", kSameArgs, "select every unit in view of the type and side at X, Y", kInput,
     a::Same},
    {K::Group, "group", kGroupArgs,
     "control group N: store or add the selection, select it, centre the view on it", kInput,
     a::Group},
    {K::Seek, "seek", kSeekArgs,
     "with --replay: go to frame F of the recording, forward or back (tick plays it on)", 0,
     a::Seek},
    {K::Camera, "camera", kCameraArgs,
     "who moves the camera: each frame (as at x1), or only the scroll steps", kInput, a::Camera},
    {K::Scroll, "scroll", kScrollArgs,
     "N steps of edge scrolling and held arrows (1), as a timer tick takes one", kInput, a::Scroll},
    {K::Zoom, "zoom", kZoomArgs, "zoom by sqrt(2) about view pixel X, Y (x0.25 to x4)", kInput,
     a::Zoom},
    {K::Home, "home", kHomeArgs, "centre the view on side S's first base, else its first unit",
     kInput, a::Home},
    {K::Look, "look", kLookArgs, "centre the view on world point X, Y (the minimap)", kInput,
     a::Look},
    {K::Minimap, "minimap", kMinimapArgs, "show or hide the minimap (changes no state)", 0,
     a::Minimap},
    {K::Bound, "bound", kBoundArgs,
     "keep at least a fifth of the view over the ground (the window turns it on when needed)",
     kInput, a::Bound},
    {K::New, "new", kNewArgs,
     "a new match with seed SEED: the level given (a file or a shipped level's name), else the "
     "same level again; the data stay loaded",
     kInput, a::New},
    {K::Player, "player", kPlayerArgs,
     "the inputs that follow are player N's (a match of several players)", kInput, a::Player},
    {K::Leave,
     "leave",
     {},
     "the mouse left the view: nothing is under the cursor until a move",
     kInput,
     a::Leave},
};

// Splits at runs of spaces and tabs; a word starting with "#" ends the line. fieldEnd is
// where word 3 ends (for the text of "set").
std::vector<std::string_view> Words(std::string_view line, size_t& fieldEnd) {
  std::vector<std::string_view> words;
  size_t i = 0;
  fieldEnd = line.size();
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size() || line[i] == '#') break;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    words.push_back(line.substr(start, i - start));
    if (words.size() == 3) fieldEnd = i;
  }
  return words;
}

std::string Usage(const CommandSpec& spec) {
  std::string s(spec.Name);
  for (const ArgSpec& arg : spec.Args) {
    std::string shown;
    if (arg.Type == ArgType::Word) {
      for (const char* w : arg.Words) {
        if (!w) break;
        shown += (shown.empty() ? "" : "|") + std::string(w);
      }
    } else if (arg.Type == ArgType::Switch) {
      shown = "on|off";
    } else if (arg.Type == ArgType::Int && arg.Lo >= 1 && arg.Hi - arg.Lo < 4) {
      for (int64_t v = arg.Lo; v <= arg.Hi; ++v) shown += (shown.empty() ? "" : "|") + IntToStr(v);
    } else {
      shown = arg.Name;
    }
    s += " " + (arg.Optional ? "[" + shown + "]" : shown);
  }
  return s;
}

// "1, 2 or 3", "left, right or middle".
std::string Choices(const std::vector<std::string>& values) {
  std::string s;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) s += i + 1 == values.size() ? " or " : ", ";
    s += values[i];
  }
  return s;
}

// What an argument takes, for messages.
std::string Takes(const ArgSpec& arg) {
  switch (arg.Type) {
    case ArgType::Int:
      if (arg.Hi - arg.Lo < 4) {
        std::vector<std::string> values;
        for (int64_t v = arg.Lo; v <= arg.Hi; ++v) values.push_back(IntToStr(v));
        return Choices(values);
      }
      return "a whole number from " + IntToStr(arg.Lo) + " to " + IntToStr(arg.Hi);
    case ArgType::Real:
      return "a number";
    case ArgType::Word: {
      std::vector<std::string> values;
      for (const char* w : arg.Words)
        if (w) values.emplace_back(w);
      return Choices(values);
    }
    case ArgType::Switch:
      return "on or off";
    case ArgType::Hex:
      return "16 hex digits";
    case ArgType::File:
      return "a file name";
    case ArgType::Field:
      return "a field name";
    case ArgType::Rest:
      return "a text";
  }
  return {};
}

[[noreturn]] void Bad(const CommandSpec& spec, const ArgSpec& arg, std::string_view word) {
  const std::string who =
      spec.Args.size() == 1 ? std::string(spec.Name) : std::string(spec.Name) + " " + arg.Name;
  throw CommandError{who + " takes " + Takes(arg) + ", not '" + EchoText(word) + "'"};
}

ArgValue ReadArg(const CommandSpec& spec, const ArgSpec& arg, std::string_view word) {
  ArgValue v;
  switch (arg.Type) {
    case ArgType::Int: {
      auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v.I);
      if (ec != std::errc() || end != word.data() + word.size() || v.I < arg.Lo || v.I > arg.Hi)
        Bad(spec, arg, word);
      break;
    }
    case ArgType::Real: {
      double value = 0;
      try {
        value = StrToFloat(word);
      } catch (const ConvertError&) {
        Bad(spec, arg, word);
      }
      // Beyond the 32-bit float range it would become an infinity: refused like bad text.
      if (!(std::fabs(value) <= std::numeric_limits<float>::max())) Bad(spec, arg, word);
      v.F = static_cast<float>(value);
      break;
    }
    case ArgType::Word: {
      v.I = -1;
      for (size_t i = 0; i < arg.Words.size() && arg.Words[i]; ++i)
        if (word == arg.Words[i]) v.I = static_cast<int64_t>(i);
      if (v.I < 0) Bad(spec, arg, word);
      break;
    }
    case ArgType::Switch:
      if (word != "on" && word != "off") Bad(spec, arg, word);
      v.I = word == "on";
      break;
    case ArgType::Hex:
      if (word.size() != 16 || word.find_first_not_of("0123456789abcdef") != word.npos)
        Bad(spec, arg, word);
      v.S = word;
      break;
    case ArgType::File:
    case ArgType::Field:
    case ArgType::Rest:
      v.S = word;
      break;
  }
  return v;
}

// The settable field a name means: lists by their entry 0 ("Energy0").
const Field<TObyekt>* SettableField(std::string_view name) {
  for (const Field<TObyekt>& field : kObjectFields) {
    if (!(field.Uses & kSettable)) continue;
    const bool isList = std::holds_alternative<std::vector<float> TObyekt::*>(field.Member);
    if (name == (isList ? std::string(field.Name) + "0" : std::string(field.Name))) return &field;
  }
  return nullptr;
}

}  // namespace

const std::span<const CommandSpec> CommandTable() {
  return kCommands;
}

const CommandSpec& SpecOf(CommandKind kind) {
  return kCommands[static_cast<size_t>(kind)];
}

std::optional<Command> ReadCommand(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  size_t fieldEnd = 0;
  std::vector<std::string_view> words = Words(line, fieldEnd);
  if (words.empty()) return std::nullopt;
  const CommandSpec* spec = nullptr;
  for (const CommandSpec& s : kCommands)
    if (words[0] == s.Name) spec = &s;
  if (!spec) throw CommandError{"unknown command '" + EchoText(words[0]) + "'"};

  Command command;
  command.Kind = spec->Kind;
  const size_t given = words.size() - 1;
  size_t needed = 0;
  for (const ArgSpec& arg : spec->Args)
    if (!arg.Optional) ++needed;
  if (spec->Kind == K::Set) {
    // set I FIELD VALUE...: a text field takes the rest of the line, even nothing.
    if (given < 2) throw CommandError{"set takes I FIELD VALUE: " + Usage(*spec)};
    command.Args.push_back(ReadArg(*spec, spec->Args[0], words[1]));
    const Field<TObyekt>* field = SettableField(words[2]);
    if (!field) throw CommandError{"unknown field '" + EchoText(words[2]) + "'"};
    command.Args.push_back(ReadArg(*spec, spec->Args[1], words[2]));
    if (std::holds_alternative<std::string TObyekt::*>(field->Member)) {
      // The text after one separator, exactly as written: no comment can follow it.
      if (fieldEnd < line.size()) command.Rest = line.substr(fieldEnd + 1);
      return command;
    }
    if (given != 3) throw CommandError{"set " + EchoText(words[2]) + " takes one value"};
    const bool isFloat = std::holds_alternative<float TObyekt::*>(field->Member) ||
                         std::holds_alternative<std::vector<float> TObyekt::*>(field->Member);
    const bool isBool = std::holds_alternative<bool TObyekt::*>(field->Member);
    const ArgSpec value = isFloat  ? ArgSpec{"VALUE", ArgType::Real}
                          : isBool ? ArgSpec{"VALUE", ArgType::Int, 0, 1}
                                   : ArgSpec{"VALUE", ArgType::Int, kI32Min, kI32Max};
    command.Args.push_back(ReadArg(*spec, value, words[3]));
    return command;
  }
  if (!spec->Args.empty() && spec->Args.back().Type == ArgType::Rest) {
    // The words before it, then the text after them and one separator, to the line's end.
    const size_t lead = spec->Args.size() - 1;
    if (given < lead + (spec->Args.back().Optional ? 0 : 1))
      throw CommandError{std::string(spec->Name) + " takes " + Usage(*spec)};
    for (size_t i = 0; i < lead; ++i)
      command.Args.push_back(ReadArg(*spec, spec->Args[i], words[i + 1]));
    if (given == lead) return command;
    const size_t at =
        static_cast<size_t>(words[lead].data() + words[lead].size() - line.data()) + 1;
    command.Args.push_back({0, 0, std::string(line.substr(at))});
    return command;
  }
  if (given < needed || given > spec->Args.size()) {
    const std::string count = needed == spec->Args.size()
                                  ? IntToStr(static_cast<int64_t>(needed))
                                  : IntToStr(static_cast<int64_t>(needed)) + " or " +
                                        IntToStr(static_cast<int64_t>(spec->Args.size()));
    throw CommandError{std::string(spec->Name) + " takes " + count +
                       (needed == 1 && spec->Args.size() == 1 ? " argument" : " arguments") + ": " +
                       Usage(*spec)};
  }
  for (size_t i = 0; i < given; ++i)
    command.Args.push_back(ReadArg(*spec, spec->Args[i], words[i + 1]));
  return command;
}

std::string WriteCommand(const Command& command) {
  const CommandSpec& spec = SpecOf(command.Kind);
  std::string line(spec.Name);
  for (size_t i = 0; i < command.Args.size(); ++i) {
    const ArgValue& v = command.Args[i];
    const ArgSpec& arg = spec.Args[std::min(i, spec.Args.size() - 1)];
    line += ' ';
    if (spec.Kind == K::Set && i == 2) {
      const Field<TObyekt>* field = SettableField(command.Text(1));
      const bool isFloat =
          field && (std::holds_alternative<float TObyekt::*>(field->Member) ||
                    std::holds_alternative<std::vector<float> TObyekt::*>(field->Member));
      line += isFloat ? FloatToShortest(v.F) : IntToStr(v.I);
      continue;
    }
    switch (arg.Type) {
      case ArgType::Int:
        line += IntToStr(v.I);
        break;
      case ArgType::Real:
        line += FloatToShortest(v.F);
        break;
      case ArgType::Word:
        line += arg.Words[static_cast<size_t>(v.I)];
        break;
      case ArgType::Switch:
        line += v.I ? "on" : "off";
        break;
      case ArgType::Hex:
      case ArgType::File:
      case ArgType::Field:
      case ArgType::Rest:
        line += v.S;
        break;
    }
  }
  if (spec.Kind == K::Set && command.Args.size() == 2) line += " " + command.Rest;
  return line;
}

Command MakeCommand(CommandKind kind, std::initializer_list<int64_t> ints) {
  Command command;
  command.Kind = kind;
  for (int64_t v : ints) command.Args.push_back({v, 0, {}});
  return command;
}

Command LevelCommand(const std::string& file) {
  Command command;
  command.Kind = CommandKind::Level;
  command.Args.push_back({0, 0, file});
  return command;
}

Command NewMatchCommand(uint32_t seed, const std::string& level) {
  Command command = MakeCommand(CommandKind::New, {seed});
  if (!level.empty()) command.Args.push_back({0, 0, level});
  return command;
}

Script ReadScript(std::istream& in) {
  Script script;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    try {
      if (std::optional<Command> command = ReadCommand(line))
        script.push_back({number, std::move(*command)});
    } catch (const CommandError& e) {
      throw CommandError{"script line " + IntToStr(number) + ": " + e.What};
    }
  }
  return script;
}

std::string CommandSummary() {
  std::string s = Tr("commands", "Script commands, one a line (# starts a comment):") + "\n";
  for (const CommandSpec& spec : kCommands) {
    std::string usage = Usage(spec);
    if (usage.size() < 21) {
      usage.resize(21, ' ');
      s += "  " + usage + Tr("commands", spec.Help) + "\n";
    } else {
      s += "  " + usage + "\n  " + std::string(21, ' ') + Tr("commands", spec.Help) + "\n";
    }
  }
  return s;
}

void command_actions::Leave(Session& s, const Command&, std::ostream&) {
  s.frontend().MyMouseLeave();
}
