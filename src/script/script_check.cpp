#include "script/script_check.h"

#include <cctype>
#include <lua.hpp>
#include <set>
#include <string>
#include <vector>

#include "game/level.h"
#include "script/ai_api.h"
#include "script/lua_sandbox.h"
#include "script/mission.h"
#include "util/bmp.h"

namespace {

struct Token {
  enum Kind { Name, String, Number, Symbol } Type;
  std::string Text;
  int32_t Line;
};

// The level of a long bracket starting at s[i] ("[[", "[==["), or -1 when there is none.
int LongBracket(const std::string& s, size_t i) {
  if (s[i] != '[') return -1;
  size_t j = i + 1;
  while (j < s.size() && s[j] == '=') ++j;
  return j < s.size() && s[j] == '[' ? static_cast<int>(j - i - 1) : -1;
}

// Skips a long bracket of the given level from s[i]; counts its lines.
size_t SkipLong(const std::string& s, size_t i, int level, int32_t& line) {
  const std::string close = "]" + std::string(static_cast<size_t>(level), '=') + "]";
  const size_t end = s.find(close, i);
  const size_t stop = end == std::string::npos ? s.size() : end + close.size();
  for (size_t k = i; k < stop; ++k) line += s[k] == '\n';
  return stop;
}

std::vector<Token> Tokens(const std::string& s) {
  std::vector<Token> out;
  int32_t line = 1;
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      i += 2;
      const int level = i < s.size() ? LongBracket(s, i) : -1;
      if (level >= 0) {
        i = SkipLong(s, i, level, line);
      } else {
        while (i < s.size() && s[i] != '\n') ++i;
      }
    } else if (c == '"' || c == '\'') {
      const int32_t at = line;
      for (++i; i < s.size() && s[i] != c && s[i] != '\n'; ++i)
        if (s[i] == '\\' && i + 1 < s.size()) line += s[++i] == '\n';
      ++i;
      out.push_back({Token::String, "", at});
    } else if (LongBracket(s, i) >= 0) {
      const int32_t at = line;
      i = SkipLong(s, i, LongBracket(s, i), line);
      out.push_back({Token::String, "", at});
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      const size_t start = i;
      while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
      out.push_back({Token::Name, s.substr(start, i - start), line});
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
      out.push_back({Token::Number, "", line});
    } else {
      // "==", "~=", "<=", ">=", "..", "::" as one symbol; the rest one character each.
      std::string sym(1, c);
      if (i + 1 < s.size() && std::string("=~<>.:").find(c) != std::string::npos &&
          (s[i + 1] == '=' || (c == '.' && s[i + 1] == '.') || (c == ':' && s[i + 1] == ':')))
        sym += s[i + 1];
      i += sym.size();
      out.push_back({Token::Symbol, sym, line});
    }
  }
  return out;
}

const std::set<std::string> kKeywords = {"and",   "break", "do",       "else", "elseif", "end",
                                         "false", "for",   "function", "goto", "if",     "in",
                                         "local", "nil",   "not",      "or",   "repeat", "return",
                                         "then",  "true",  "until",    "while"};

bool Is(const Token& t, const char* text) {
  return t.Type != Token::String && t.Text == text;
}

// The globals of a fresh sandbox with `game`, and the members of each library table.
struct Known {
  std::set<std::string> Globals;
  std::set<std::string> Members;  // "string.rep"
  std::set<std::string> Tables;   // globals holding a library
};

int ListGlobals(lua_State* L) {
  auto& known = *static_cast<Known*>(lua_touserdata(L, 1));
  lua_pushglobaltable(L);
  lua_pushnil(L);
  while (lua_next(L, -2) != 0) {
    if (lua_type(L, -2) == LUA_TSTRING) {
      const std::string name = lua_tostring(L, -2);
      known.Globals.insert(name);
      if (lua_type(L, -1) == LUA_TTABLE && name != "_G") {
        known.Tables.insert(name);
        lua_pushnil(L);
        while (lua_next(L, -2) != 0) {
          if (lua_type(L, -2) == LUA_TSTRING)
            known.Members.insert(name + "." + lua_tostring(L, -2));
          lua_pop(L, 1);
        }
      }
    }
    lua_pop(L, 1);
  }
  return 0;
}

Known SandboxNames(bool mission) {
  Known known;
  LuaSandbox box({}, [](const std::string&) {});
  World world;
  MissionState state;
  MissionTurn turn{{&world, 0, 0}, &state, nullptr};
  box.SetHost(&turn);
  if (box.Open("check") && box.Do(OpenAiApi) && (!mission || box.Do(OpenMissionApi))) {
    lua_State* L = box.state();
    lua_pushcfunction(L, ListGlobals);
    lua_pushlightuserdata(L, &known);
    lua_call(L, 1, 0);
  }
  box.SetHost(nullptr);
  return known;
}

void Problem(DataProblems& problems, const AiFile& file, int32_t line, bool error,
             const std::string& text) {
  problems.Add({file.Shown, line, error, text, 0});
}

// Names the file defines: locals, parameters, loop variables, functions, assigned globals.
std::set<std::string> Defined(const std::vector<Token>& t) {
  std::set<std::string> names;
  bool inParams = false;
  bool listing = false;  // after "local" or "for": names until something else
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i].Type != Token::Name) {
      if (Is(t[i], ")")) inParams = false;
      if (!Is(t[i], ",")) listing = false;
      continue;
    }
    const std::string& n = t[i].Text;
    if (n == "local" || n == "for") {
      listing = true;
      continue;
    }
    if (n == "function") {
      if (i + 1 < t.size() && t[i + 1].Type == Token::Name) names.insert(t[i + 1].Text);
      for (size_t j = i + 1; j < t.size(); ++j)
        if (Is(t[j], "(")) {
          inParams = true;
          break;
        }
      continue;
    }
    if (kKeywords.count(n)) {
      listing = false;
      continue;
    }
    const bool member = i > 0 && (Is(t[i - 1], ".") || Is(t[i - 1], ":"));
    if (inParams || listing) names.insert(n);
    if (!member && i + 1 < t.size() && (Is(t[i + 1], "=") || Is(t[i + 1], ","))) names.insert(n);
  }
  return names;
}

// Syntax and calls of unknown functions; an AI script must have `think`.
void CheckScript(const AiFile& file, DataProblems& problems, bool mission) {
  // Syntax: compiled, never run.
  lua_State* L = luaL_newstate();
  const std::string chunk = "@" + file.Shown;
  if (luaL_loadbufferx(L, file.Text.data(), file.Text.size(), chunk.c_str(), "t") != LUA_OK) {
    const std::string m = lua_tostring(L, -1);
    lua_close(L);
    // "name:12: reason"
    const size_t at = m.find(':', file.Shown.size());
    const size_t end = at == std::string::npos ? at : m.find(": ", at + 1);
    int32_t line = 0;
    if (end != std::string::npos) line = std::atoi(m.c_str() + at + 1);
    Problem(problems, file, line, true, end == std::string::npos ? m : m.substr(end + 2));
    return;
  }
  lua_close(L);

  static const Known ai = SandboxNames(false);
  static const Known missions = SandboxNames(true);
  const Known& known = mission ? missions : ai;
  const std::vector<Token> t = Tokens(file.Text);
  const std::set<std::string> defined = Defined(t);
  bool think = false;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i].Type != Token::Name || kKeywords.count(t[i].Text)) continue;
    const bool member = i > 0 && (Is(t[i - 1], ".") || Is(t[i - 1], ":"));
    if (member) continue;
    const std::string& n = t[i].Text;
    if (n == "think" && i > 0 && Is(t[i - 1], "function")) think = true;
    // A library's member: "string.gsub" is not there, "table.sort = f" defines one.
    if (known.Tables.count(n) && !defined.count(n) && i + 2 < t.size() &&
        (Is(t[i + 1], ".") || Is(t[i + 1], ":")) && t[i + 2].Type == Token::Name) {
      const std::string full = n + "." + t[i + 2].Text;
      const bool assigned = i + 3 < t.size() && Is(t[i + 3], "=");
      if (!assigned && !known.Members.count(full))
        Problem(problems, file, t[i + 2].Line, true, "unknown function '" + full + "'");
      continue;
    }
    // A table that is neither the sandbox's nor the file's own ("os.exit").
    if (!known.Globals.count(n) && !defined.count(n) && i + 2 < t.size() &&
        (Is(t[i + 1], ".") || Is(t[i + 1], ":")) && t[i + 2].Type == Token::Name) {
      Problem(problems, file, t[i].Line, true,
              "unknown function '" + n + "." + t[i + 2].Text + "'");
      continue;
    }
    const bool called = i + 1 < t.size() &&
                        (Is(t[i + 1], "(") || Is(t[i + 1], "{") || t[i + 1].Type == Token::String);
    if (called && i > 0 && Is(t[i - 1], "function")) continue;
    if (called && !known.Globals.count(n) && !defined.count(n))
      Problem(problems, file, t[i].Line, true, "call of unknown function '" + n + "'");
  }
  if (!think && !mission)
    Problem(problems, file, 0, true, "no function 'think' (called every frame)");
}

}  // namespace

void CheckAiScript(const AiFile& file, DataProblems& problems) {
  CheckScript(file, problems, false);
}

void CheckMissionScript(const AiFile& file, DataProblems& problems) {
  CheckScript(file, problems, true);
}

DataProblems CheckLevelMissions(const std::vector<std::string>& extra) {
  DataProblems problems;
  std::vector<std::pair<std::string, std::string>> levels;  // file, shown
  for (const std::string& shipped : ShippedLevels())
    levels.emplace_back(NativePath(shipped), shipped);
  for (const std::string& path : extra) levels.emplace_back(path, path);
  for (const auto& [path, shown] : levels) {
    DataProblems ignored;  // the level's own problems are the level check's
    const Level level = ReadLevelFile(path, ignored, shown);
    if (level.Mission.empty()) continue;
    CheckMissionScript({level.MissionShown, level.MissionText, 0}, problems);
  }
  return problems;
}
