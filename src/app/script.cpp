#include "app/script.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <fstream>
#include <iostream>
#include <istream>
#include <limits>
#include <ostream>
#include <sstream>
#include <type_traits>
#include <variant>

#include "app/dump.h"
#include "app/state_hash.h"
#include "game/object_fields.h"
#include "util/cp1251.h"
#include "util/numtext.h"

namespace {

struct ScriptError {
  std::string what;
};

// A sync check failed: the run stops with exit status 3.
struct OutOfSync {
  uint64_t frame;
};

// Splits at runs of spaces and tabs.
std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

int64_t Int(const std::string& word, int64_t lo, int64_t hi) {
  int64_t v = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
  if (ec != std::errc() || end != word.data() + word.size() || v < lo || v > hi) {
    throw ScriptError{"bad number '" + word + "'"};
  }
  return v;
}

// A value beyond the 32-bit float range would become an infinity: refused like bad text.
float Real(const std::string& word) {
  double value = 0;
  try {
    value = StrToFloat(word);
  } catch (const ConvertError&) {
    throw ScriptError{"bad number '" + word + "'"};
  }
  if (!(std::fabs(value) <= std::numeric_limits<float>::max())) {
    throw ScriptError{"bad number '" + word + "'"};
  }
  return static_cast<float>(value);
}

void Arity(const std::vector<std::string>& w, size_t lo, size_t hi) {
  if (w.size() < lo + 1 || w.size() > hi + 1) throw ScriptError{"wrong number of arguments"};
}

// The text after the first `count` words of a line, exactly as written.
std::string Rest(const std::string& line, int count) {
  size_t i = 0;
  for (int k = 0; k < count; ++k) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
  }
  if (i < line.size()) ++i;  // the one separator
  return line.substr(std::min(i, line.size()));
}

// One settable field of the object table; lists by their entry 0 ("Energy0"), texts take
// the rest of the line.
void SetField(World& world, const std::string& line, const std::vector<std::string>& w) {
  if (w.size() < 3) throw ScriptError{"wrong number of arguments"};
  int64_t index = Int(w[1], 0, INT32_MAX);
  if (static_cast<size_t>(index) >= world.Objects.size()) throw ScriptError{"no object " + w[1]};
  TObyekt& o = ObjectAt(world, index);
  const std::string& name = w[2];
  for (const Field<TObyekt>& field : kObjectFields) {
    if (!(field.Uses & kSettable)) continue;
    const bool isList = std::holds_alternative<std::vector<float> TObyekt::*>(field.Member);
    if (name != (isList ? std::string(field.Name) + "0" : std::string(field.Name))) continue;
    std::visit(
        [&](auto member) {
          auto& value = o.*member;
          using V = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<V, std::string>) {
            value = ToCp1251(Rest(line, 3));
            return;
          } else {
            Arity(w, 3, 3);
            const std::string& v = w[3];
            if constexpr (std::is_same_v<V, float>) {
              value = Real(v);
            } else if constexpr (std::is_same_v<V, std::vector<float>>) {
              if (value.empty()) value.push_back(0);
              value[0] = Real(v);
            } else if constexpr (std::is_same_v<V, bool>) {
              value = Int(v, 0, 1) == 1;
            } else if constexpr (std::is_same_v<V, int32_t>) {
              value = static_cast<int32_t>(Int(v, INT32_MIN, INT32_MAX));
            } else {
              throw ScriptError{"field '" + name + "' cannot be set"};
            }
          }
        },
        field.Member);
    return;
  }
  Arity(w, 3, 3);
  throw ScriptError{"unknown field '" + name + "'"};
}

void RunCommand(ScriptHost& host, const std::string& line, const std::vector<std::string>& w,
                std::ostream& out) {
  const std::string& cmd = w[0];
  Frontend& f = host.frontend();
  if (cmd == "press") {
    Arity(w, 1, 1);
    host.Press(static_cast<int>(Int(w[1], 1, 3)));
  } else if (cmd == "move") {
    Arity(w, 2, 2);
    host.Move(static_cast<int>(Int(w[1], INT32_MIN, INT32_MAX)),
              static_cast<int>(Int(w[2], INT32_MIN, INT32_MAX)));
  } else if (cmd == "down") {
    Arity(w, 1, 1);
    if (w[1] == "left")
      host.Down(Frontend::Button::Left);
    else if (w[1] == "right")
      host.Down(Frontend::Button::Right);
    else if (w[1] == "middle")
      host.Down(Frontend::Button::Middle);
    else
      throw ScriptError{"unknown button '" + w[1] + "'"};
  } else if (cmd == "choose") {
    Arity(w, 2, 2);
    host.Choose(static_cast<int>(Int(w[1], 1, 3)), static_cast<int>(Int(w[2], -1, INT32_MAX)));
  } else if (cmd == "check") {
    Arity(w, 2, 2);
    int k = static_cast<int>(Int(w[1], 1, 2));
    if (w[2] != "on" && w[2] != "off") throw ScriptError{"expected on or off"};
    host.Check(k, w[2] == "on");
  } else if (cmd == "resize") {
    Arity(w, 2, 2);
    host.Resize(static_cast<int>(Int(w[1], 1, 16384)), static_cast<int>(Int(w[2], 1, 16384)));
  } else if (cmd == "key") {
    Arity(w, 2, 2);
    if (w[2] != "on" && w[2] != "off") throw ScriptError{"expected on or off"};
    const bool on = w[2] == "on";
    PlayerInput& p = f.player();
    if (w[1] == "left")
      p.ArrowLeft = on;
    else if (w[1] == "right")
      p.ArrowRight = on;
    else if (w[1] == "up")
      p.ArrowUp = on;
    else if (w[1] == "down")
      p.ArrowDown = on;
    else
      throw ScriptError{"unknown key '" + w[1] + "'"};
  } else if (cmd == "play-as") {
    Arity(w, 1, 1);
    f.player().PlayAs = static_cast<int32_t>(Int(w[1], -1, 1));
  } else if (cmd == "money") {
    Arity(w, 2, 2);
    f.world().Sides[static_cast<size_t>(Int(w[1], 0, 3))].Money = Real(w[2]);
  } else if (cmd == "spawn") {
    Arity(w, 6, 6);
    if (!SpawnObject(f.world(), static_cast<int32_t>(Int(w[1], INT32_MIN, INT32_MAX)),
                     static_cast<int32_t>(Int(w[2], INT32_MIN, INT32_MAX)),
                     static_cast<int32_t>(Int(w[3], INT32_MIN, INT32_MAX)), Real(w[4]), Real(w[5]),
                     Real(w[6]))) {
      throw ScriptError{"no type " + w[1] + "," + w[2] + " in the catalogue"};
    }
  } else if (cmd == "set") {
    SetField(f.world(), line, w);
  } else if (cmd == "dump") {
    Arity(w, 0, 1);
    std::string text = DumpState(f, host.platform().messages).dump();
    if (w.size() == 1) {
      out << text << std::endl;
    } else {
      std::ofstream file(w[1]);
      file << text << '\n';
      if (!file) throw ScriptError{"cannot write " + w[1]};
    }
  } else if (cmd == "seed") {
    Arity(w, 2, 2);
    // Stands for the two clock readings: window creation and first frame.
    if (f.state().Frames != 0 || !f.state().FirstFrame)
      throw ScriptError{"seed after the first frame"};
    f.world().Rng.Seed = static_cast<uint32_t>(Int(w[1], 0, UINT32_MAX));
    host.platform().nextSeed = static_cast<uint32_t>(Int(w[2], 0, UINT32_MAX));
  } else if (cmd == "hash") {
    Arity(w, 0, 1);
    std::string now = HashText(StateHash(f));
    if (w.size() == 1) {
      out << now << std::endl;
    } else if (w[1] != now) {
      throw OutOfSync{f.state().Frames};
    }
  } else if (cmd == "level") {
    // The level the next "press 2" creates; types are looked up then.
    // The file name is the rest of the line: it may hold spaces.
    if (w.size() < 2) throw ScriptError{"wrong number of arguments"};
    if (!f.controls().ButtonEnabled(2)) throw ScriptError{"level after press 2"};
    const std::string name = Rest(line, 1);
    DataProblems problems;
    Level level = ReadLevelFile(FindLevelFile(name), problems, name);
    for (const DataProblem& p : problems) {
      if (p.Error) throw ScriptError{FormatProblem(p)};
    }
    f.SetLevel(level);
  } else if (cmd == "screenshot") {
    Arity(w, 1, 1);
    std::string error;
    if (!host.Screenshot(w[1], error)) throw ScriptError{error};
  } else {
    throw ScriptError{"unknown command '" + cmd + "'"};
  }
}

}  // namespace

ScriptRunner::ScriptRunner(std::istream& in) : in_(in) {}

ScriptRunner::Result ScriptRunner::Step(ScriptHost& host, std::ostream& out) {
  try {
    if (ticksLeft_ > 0) {
      --ticksLeft_;
      host.Tick();
      return {Stop::Frame, {}};
    }
    std::string line;
    while (std::getline(in_, line)) {
      ++number_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<std::string> words = Split(line);
      if (words.empty() || words[0][0] == '#') continue;
      if (words[0] == "tick") {
        Arity(words, 0, 1);
        const int64_t n = words.size() > 1 ? Int(words[1], 0, INT64_MAX) : 1;
        if (n == 0) continue;
        ticksLeft_ = static_cast<uint64_t>(n - 1);
        host.Tick();
        return {Stop::Frame, {}};
      }
      RunCommand(host, line, words, out);
    }
  } catch (const ScriptError& e) {
    return {Stop::Error, "script line " + std::to_string(number_) + ": " + e.what};
  } catch (const OutOfSync& e) {
    return {Stop::OutOfSync, "out of sync at frame " + std::to_string(e.frame)};
  }
  return {Stop::End, {}};
}

int RunScript(std::istream& in, ScriptHost& host, std::ostream& out, std::ostream& err) {
  ScriptRunner runner(in);
  for (;;) {
    const ScriptRunner::Result r = runner.Step(host, out);
    switch (r.stop) {
      case ScriptRunner::Stop::Frame:
        continue;
      case ScriptRunner::Stop::End:
        return 0;
      case ScriptRunner::Stop::Error:
        err << r.message << std::endl;
        return 2;
      case ScriptRunner::Stop::OutOfSync:
        err << r.message << std::endl;
        return 3;
    }
  }
}

std::optional<int> RunScriptFile(const std::string& path, ScriptHost& host) {
  try {
    if (path == "-") return RunScript(std::cin, host, std::cout, std::cerr);
    std::ifstream file(path);
    if (!file) return std::nullopt;
    return RunScript(file, host, std::cout, std::cerr);
  } catch (const ProgramExit& e) {
    return e.Code;
  } catch (const std::exception& e) {
    std::cerr << "rtsdemo: " << e.what() << "\n";
    return 1;
  }
}

// nothing_ is built before frontend_ (declaration order), so it may be handed over here.
HeadlessHost::HeadlessHost(RecordingPlatform& platform, Drawing* drawing)
    : platform_(platform),
      frontend_(world_, controls_, platform_, uploader_, drawing ? *drawing : nothing_) {
  frontend_.FormCreate();
}

void HeadlessHost::Press(int n) {
  if (!controls_.ButtonEnabled(n)) return;
  if (n == 1) frontend_.Button1Click();
  if (n == 2) frontend_.Button2Click();
}

void HeadlessHost::Resize(int w, int h) {
  controls_.SetViewSize(w, h);
  frontend_.FormResize();
}

const char* ScriptSummary() {
  return "Script commands, one a line (# starts a comment):\n"
         "  press 1|2|3          click a button\n"
         "  tick [N]             run N frames (1)\n"
         "  move X Y             move the mouse to view pixels, y from the top\n"
         "  down left|right|middle\n"
         "                       press a mouse button\n"
         "  choose K I           choose item I of combo box K\n"
         "  check K on|off       tick or untick check box K\n"
         "  resize W H           resize the view, which runs one frame\n"
         "  key left|right|up|down on|off\n"
         "                       hold or release an arrow key (the camera moves 1 a frame)\n"
         "  level FILE           the level press 2 creates instead of the test level\n"
         "  play-as S            the computer plays only the other side of S (0, 1; -1 both)\n"
         "  money S V            set side S's treasury\n"
         "  spawn R K S X Y A    add an object of race R, kind K, side S at X, Y heading A\n"
         "  set I FIELD VALUE    set a field of object I\n"
         "  dump [FILE]          the whole state as JSON\n"
         "  screenshot FILE      the view as PNG (window only)\n"
         "  seed A B             the two seeds, before the first frame\n"
         "  hash [H]             print the state hash, or stop with status 3 when it differs\n";
}
