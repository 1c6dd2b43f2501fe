#include "app/command.h"

#include <climits>
#include <cmath>
#include <istream>
#include <limits>

#include "game/object_fields.h"
#include "util/echo_text.h"
#include "util/numtext.h"
#include "util/translate.h"

namespace {

constexpr int64_t kI32Min = INT32_MIN;
constexpr int64_t kI32Max = INT32_MAX;

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
      if (!ParseWhole(word, v.I, arg.Lo, arg.Hi)) Bad(spec, arg, word);
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

const CommandSpec& SpecOf(CommandKind kind) {
  return CommandTable()[static_cast<size_t>(kind)];
}

std::optional<Command> ReadCommand(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  size_t fieldEnd = 0;
  std::vector<std::string_view> words = Words(line, fieldEnd);
  if (words.empty()) return std::nullopt;
  const CommandSpec* spec = nullptr;
  for (const CommandSpec& s : CommandTable())
    if (words[0] == s.Name) spec = &s;
  if (!spec) throw CommandError{"unknown command '" + EchoText(words[0]) + "'"};

  Command command;
  command.Kind = spec->Kind;
  const size_t given = words.size() - 1;
  size_t needed = 0;
  for (const ArgSpec& arg : spec->Args)
    if (!arg.Optional) ++needed;
  if (spec->Kind == CommandKind::Set) {
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
    if (spec.Kind == CommandKind::Set && i == 2) {
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
  if (spec.Kind == CommandKind::Set && command.Args.size() == 2) line += " " + command.Rest;
  return line;
}

Command MakeCommand(CommandKind kind, std::initializer_list<int64_t> ints) {
  Command command;
  command.Kind = kind;
  for (int64_t v : ints) command.Args.push_back({v, 0, {}});
  return command;
}

Command RightClickCommand(bool queued, bool rally) {
  if (queued) return MakeCommand(CommandKind::Queue, {});
  if (rally) return MakeCommand(CommandKind::Rally, {});
  return MakeCommand(CommandKind::Down, {1});
}

Command LevelCommand(const std::string& file) {
  Command command;
  command.Kind = CommandKind::Level;
  command.Args.push_back({0, 0, file});
  return command;
}

Command AiCommand(int32_t side, const std::string& file) {
  Command command = MakeCommand(CommandKind::Ai, {side});
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
  for (const CommandSpec& spec : CommandTable()) {
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
