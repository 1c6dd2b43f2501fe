#include "app/options.h"

#include <algorithm>
#include <array>
#include <map>

#include "app/keys.h"
#include "app/options_runs.h"
#include "app/script.h"
#include "util/numtext.h"
#include "util/translate.h"

namespace {

constexpr auto kOptionTable = std::to_array<OptionInfo>({
    {"data", 0, "DIR",
     "Read the data folders (`ludi`, `orki`, `maps`) from DIR. Without it the program takes the "
     "first folder that exists of `$RTSDEMO_DATA`, the source tree's `data/` (for the program in "
     "its build tree) and the installed `../share/rtsdemo/data` from the program's folder. A DIR "
     "that does not exist or is not a folder ends the program with status 2."},
    {"seed", 0, "N", "Use N instead of the clock for both seedings of the random generator."},
    {"play-as", 0, "S",
     "Side S (0 or 1) is yours: the computer opponent plays only the other side. Without it the "
     "computer plays both, as the rules say."},
    {"headless", 0, nullptr, "Run the script with no window and no OpenGL (no X server needed)."},
    {"script", 0, "FILE",
     "Run the commands of FILE (`-`: standard input) instead of the timer, then exit. A load "
     "that failed or was refused makes the exit status 1 once the script has run; a script "
     "error gives 2, a failed sync check 3."},
    {"record", 0, "FILE",
     "Play in the window (or a network match, also headless) and write the session as a script "
     "that replays it. Everything that "
     "changes the match is recorded (arrow keys, `--play-as`); pause and speed only change which "
     "frames run, which the `tick` lines already tell. A FILE that cannot be written ends the "
     "program with status 2 before the window opens; a write that fails later (a full disk, the "
     "file removed) stops the recording, and the banner and standard error tell at which frame. "
     "A network match's recording holds every player's inputs and its chat as `#` lines."},
    {"replay", 0, "FILE",
     "Watch a recording in the window at normal speed with its own seeds. The recording drives "
     "the match (the mouse over the view changes nothing); P, full stop, + and -, F3 and F12 "
     "work. Each `hash` line is checked when reached: a difference shows \"out of sync at frame "
     "N\" in a box and pauses; at the end the replay pauses and the banner says so. The recording "
     "is played once when it opens, to find its marks (first bases, deliveries and losses, a "
     "side wiped out, failed checks) and keep snapshots for seeking: a timeline under the view "
     "shows them, a click or a drag on it seeks, and the keys seek too (F1). F5 takes the match "
     "over as side 0, F6 as side 1, F7 gives both sides to the computer; Ctrl+S saves the match "
     "so far. With `--headless` the recording plays to its end (status 3 when a check fails), "
     "or `--script` drives it: `tick` plays it on, `seek F` goes to frame F."},
    {"start", 0, "F", "With `--replay`: open the recording at frame F (its end at most)."},
    {"resume", 0, "FILE",
     "Play the recording FILE to its end without drawing, then go on with the match from there "
     "(in the window, or headless with `--script`): the recording is a saved match. With "
     "`--record` the match so far and what follows go to that file."},
    {"mute", 0, nullptr,
     "Start with the sound off (M in the window turns it on). Without an audio device the "
     "program runs silently and says so in one line on standard error."},
    {"check", 0, nullptr,
     "Read the two race lists, every type file and every bitmap as the load button does, with no "
     "window, print every problem found with its file and line, then `N errors, M warnings`. "
     "Exit status 0 without errors, 1 with errors."},
    {"batch", 0, "N",
     "Play N computer-against-computer matches of the test level with no window, match k with "
     "seed S + k: one JSON line per match on standard output, a summary on standard error. Exit "
     "status 1 when the data cannot be loaded."},
    {"level", 0, "FILE",
     "Create the level of FILE, or of a shipped level named by itself (`test`, `four_mines`, "
     "`battle`), instead of the test level: in the window, headless, with `--batch` and with "
     "`--ladder`. With `--check`, check it too. A level with errors ends the program with status "
     "1."},
    {"ai", 0, "S=FILE",
     "Side S (0 or 1) is played by the AI script FILE, or by a shipped one named by itself "
     "(`standard.lua`, from the data folder's `ai/`), instead of the computer opponent; given "
     "once per side, in the window, headless and with `--batch`. It enters the match as the "
     "input `ai S FILE`, so a recording plays its scripts again; for that reason it does not go "
     "with `--replay` or `--resume` (status 2). In a network match every peer, observers "
     "included, gives the same scripts (a peer with others is refused, naming them), and a "
     "player whose side has a script watches it play that side. A script that fails is stopped "
     "with its file, line and reason on standard error, and the computer opponent plays its side "
     "from the next "
     "frame. With `--check`, `--ai FILE` checks the script instead: its syntax and calls of "
     "functions that scripts do not have."},
    {"ladder", 0, nullptr,
     "Play every pair of the AI scripts named after the options (paths or shipped names, at "
     "least two) on both sides, each over `--games` seeds, with no window: one JSON line per "
     "match on standard output; on standard error each pair's wins, losses and draws with 95 % "
     "Wilson intervals, and a rating of each AI with its 95 % interval. `--level`, `--frames`, "
     "`--jobs`, `--seed` and `--shard` work as with `--batch`."},
    {"games", 0, "N",
     "With `--ladder`: play each pair on N seeds (10 unless given) with each AI on each side."},
    {"frames", 0, "F",
     "With `--batch` or `--ladder`: end a match after F frames (360000 unless given)."},
    {"jobs", 0, "J",
     "With `--batch` or `--ladder`: play J matches at a time (one per core unless given)."},
    {"shard", 0, "K/M",
     "With `--batch` or `--ladder`: play only the K-th of M equal slices of the matches (1 <= K "
     "<= M), so that machines can share the work."},
    {"summarize", 0, nullptr,
     "Read batch or ladder lines from the files named after the options (none or `-`: standard "
     "input) and print the summary one run of those matches would print; matches missing or "
     "repeated are reported on standard error (status 1)."},
    {"host", 0, "[PORT]",
     "Open a network match on UDP port PORT (7341 unless given) and play it in the window (the "
     "banner lists who has joined; the game menu's Start the network match starts it with them) or "
     "headless with `--script`: it starts once `--players` players are in (this one holds side "
     "0, or `--play-as`). Every peer prints its state hash when the last player has left; a "
     "window closed before then waits hidden for it."},
    {"join", 0, "HOST[:PORT]",
     "Join the match of a host or a relay as the player of side `--play-as` (a free one unless "
     "given) "
     "or, with `--watch`, as an observer, in the window or headless with `--script`; a match "
     "already running is "
     "re-simulated from its start without drawing. A different protocol or data set is refused "
     "with status 4, a state that differs from another peer's ends with status 3."},
    {"watch", 0, nullptr, "With `--join`: watch the match instead of playing a side."},
    {"serve", 0, "[PORT]",
     "Relay matches on UDP port PORT (7341 unless given) for peers that cannot reach each other; "
     "each match is named by `--match`. No window, no data, no simulation; runs until stopped."},
    {"players", 0, "N",
     "With `--host` or `--join` of a new match: start once N players (1 or 2) are in."},
    {"match", 0, "NAME",
     "With `--host`, `--join`: the match's name at a relay (`main` unless given)."},
    {"timeout", 0, "S",
     "With `--host`, `--join`: give up after S seconds (30 unless given) without an answer from "
     "a peer that the match waits for, with status 4."},
    {"help", 'h', nullptr, "Print the options, the keys and the script commands, then exit."},
    {"version", 'v', nullptr, "Print the version, then exit."},
});

constexpr auto kUsageTable = std::to_array<const char*>({
    "[--data DIR] [--seed N] [--play-as S] [--level FILE] [--ai S=FILE] [--headless] "
    "[--script FILE|-] [--record FILE] [--mute]",
    "--replay FILE [--start F] [--headless [--script FILE|-]] [--data DIR] [--mute]",
    "--resume FILE [--record FILE] [--headless --script FILE|-] [--data DIR] [--mute]",
    "--check [--level FILE] [--ai FILE] [--data DIR]",
    "--batch N [--frames F] [--jobs J] [--seed S] [--level FILE] [--ai S=FILE] [--shard K/M] "
    "[--data DIR]",
    "--ladder FILE FILE... [--games N] [--frames F] [--jobs J] [--seed S] [--level FILE] "
    "[--shard K/M] [--data DIR]",
    "--summarize [FILE...|-]",
    "--host [PORT] [--players N] [--play-as S] [--seed N] [--level FILE] [--script FILE] "
    "[--record FILE]",
    "--join HOST[:PORT] [--play-as S | --watch] [--match NAME] [--script FILE] [--record FILE]",
    "--serve [PORT]",
    "--help | --version",
});

const OptionInfo* Find(const std::string& name) {
  for (const OptionInfo& o : kOptionTable) {
    if (name == o.Name) return &o;
  }
  return nullptr;
}

const OptionInfo* FindShort(char c) {
  for (const OptionInfo& o : kOptionTable) {
    if (o.Short != 0 && o.Short == c) return &o;
  }
  return nullptr;
}

// The help text with its literal marks taken out.
std::string Plain(const char* help) {
  std::string out;
  for (const char* p = help; *p != '\0'; ++p)
    if (*p != '`') out += *p;
  return out;
}

// "--data DIR", "-h, --help"; `mark` wraps each name (for Markdown).
std::string Names(const OptionInfo& o, const char* mark = "") {
  std::string s;
  if (o.Short != 0) s += std::string(mark) + "-" + o.Short + mark + ", ";
  s += std::string(mark) + "--" + o.Name;
  if (o.Argument != nullptr) s += std::string(" ") + o.Argument;
  return s + mark;
}

// Text for roff: backslashes and minus signs escaped, `x` in bold, no line starting with a dot.
std::string Roff(const std::string& text) {
  std::string out;
  bool bold = false;
  for (char c : text) {
    if (c == '`') {
      out += bold ? "\\fR" : "\\fB";
      bold = !bold;
    } else if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
  }
  return out;
}

// A command-line form in roff: option names bold, value names (capitals) italic.
std::string RoffForm(const std::string& form) {
  std::string out;
  for (size_t i = 0; i < form.size();) {
    const char c = form[i];
    if (c == '-' && i + 1 < form.size() && form[i + 1] != ' ') {
      size_t j = i;
      while (j < form.size() && (form[j] == '-' || (form[j] >= 'a' && form[j] <= 'z'))) ++j;
      out += "\\fB" + Roff(form.substr(i, j - i)) + "\\fR";
      i = j;
    } else if (c >= 'A' && c <= 'Z') {
      size_t j = i;
      while (j < form.size() && form[j] >= 'A' && form[j] <= 'Z') ++j;
      out += "\\fI" + form.substr(i, j - i) + "\\fR";
      i = j;
    } else {
      out += Roff(std::string(1, c));
      ++i;
    }
  }
  return out;
}

// A problem with the values of a mode ("--batch"), followed by that mode's form.
std::string WithForm(const std::string& problem, const std::string& mode) {
  for (const char* form : kUsageTable)
    if (std::string_view(form).starts_with(mode + " ")) return problem + "\nusage: rtsdemo " + form;
  return problem;
}

bool Uint32(const std::string& text, uint32_t& value) {
  return ParseWhole(std::string_view(text), value);
}

bool Port(const std::string& text, uint16_t& port) {
  uint32_t v = 0;
  if (!Uint32(text, v) || v == 0 || v > 65535) return false;
  port = static_cast<uint16_t>(v);
  return true;
}

// --host, --join, --serve and their company.
bool ParseNetwork(std::map<std::string, std::string>& given, Invocation& run,
                  std::string& problem) {
  NetOptions& net = run.net;
  run.mode = RunMode::Network;
  const int kinds =
      static_cast<int>(given.count("host") + given.count("join") + given.count("serve"));
  if (kinds > 1) return problem = "only one of --host, --join and --serve", false;
  std::string port;
  if (given.count("serve")) {
    net.kind = NetOptions::Kind::Serve;
    for (const auto& [name, v] : given)
      if (name != "serve") return problem = "--serve takes only a port", false;
    port = given["serve"];
  } else if (given.count("host")) {
    net.kind = NetOptions::Kind::Host;
    port = given["host"];
    if (given.count("watch")) return problem = "--watch needs --join", false;
  } else {
    net.kind = NetOptions::Kind::Join;
    net.address = given["join"];
    const size_t colon = net.address.rfind(':');
    if (colon != std::string::npos) {
      port = net.address.substr(colon + 1);
      net.address.resize(colon);
    }
    if (net.address.empty()) return problem = "--join needs a host", false;
    net.watch = given.count("watch") > 0;
    if (net.watch && given.count("play-as"))
      return problem = "--watch or --play-as, not both", false;
  }
  if (!port.empty() && !Port(port, net.port)) return problem = "bad port " + port, false;
  uint32_t v = 0;
  if (given.count("players")) {
    if (!Uint32(given["players"], v) || v < 1 || v > 2)
      return problem = "--players takes 1 or 2, not " + given["players"], false;
    net.players = static_cast<uint8_t>(v);
  }
  if (given.count("timeout")) {
    if (!Uint32(given["timeout"], v) || v < 1 || v > 86400)
      return problem = "bad timeout " + given["timeout"], false;
    net.timeout = v;
  }
  if (given.count("match")) net.match = given["match"];
  // A script runs the match headless; without one the window plays it.
  net.window = !given.count("script") && !given.count("headless") && !given.count("serve");
  if (given.count("headless") && !given.count("script"))
    return problem = "--headless needs --script", false;
  for (const char* other : {"replay", "check", "batch", "summarize", "resume"})
    if (given.count(other))
      return problem = std::string("--") + other + " does not go with the network", false;
  return true;
}

}  // namespace

const std::span<const OptionInfo> kOptions(kOptionTable);
const std::span<const char* const> kUsage(kUsageTable);

namespace {

// A paragraph broken into lines of at most `width` columns (UTF-8 counted by characters), the
// first line after `first`, the others after `indent`.
std::string Wrap(const std::string& text, size_t width, const std::string& first,
                 const std::string& indent) {
  auto columns = [](const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
  };
  std::string out = first;
  size_t used = columns(first);
  bool lineEmpty = true;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    size_t j = text.find(' ', i);
    if (j == std::string::npos) j = text.size();
    if (i == j) break;
    const std::string word = text.substr(i, j - i);
    const size_t w = columns(word);
    if (!lineEmpty && used + 1 + w > width) {
      out += "\n" + indent;
      used = columns(indent);
      lineEmpty = true;
    }
    if (!lineEmpty) {
      out += ' ';
      ++used;
    }
    out += word;
    used += w;
    lineEmpty = false;
    i = j;
  }
  return out + "\n";
}

}  // namespace

std::optional<Invocation> ParseInvocation(const std::vector<std::string>& args,
                                          std::string& problem) {
  std::map<std::string, std::string> given;  // long name -> value; the last one counts
  std::vector<std::string> files;            // the arguments that are no option
  std::vector<std::string> ais;              // every --ai, in order
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const OptionInfo* option = nullptr;
    if (arg == "-" || arg.empty() || arg[0] != '-') {
      files.push_back(arg);
      continue;
    }
    std::optional<std::string> inlineValue;
    if (arg.rfind("--", 0) == 0 && arg.size() > 2) {
      const size_t eq = arg.find('=');
      option = Find(arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2));
      if (eq != std::string::npos) inlineValue = arg.substr(eq + 1);
    } else if (arg.size() == 2 && arg[0] == '-' && arg[1] != '-') {
      option = FindShort(arg[1]);
    }
    if (option == nullptr) {
      problem = "unknown option " + arg;
      return std::nullopt;
    }
    std::string value;
    if (option->Argument == nullptr) {
      if (inlineValue) {
        problem = "--" + std::string(option->Name) + " takes no value";
        return std::nullopt;
      }
    } else if (inlineValue) {
      value = *inlineValue;
    } else if (option->Argument[0] == '[') {
      // An optional value: the next argument unless it is an option.
      if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != '-') value = args[++i];
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      problem = "missing value after " + arg;
      return std::nullopt;
    }
    given[option->Name] = value;
    if (std::string_view(option->Name) == "ai") ais.push_back(value);
  }

  auto has = [&](const char* name) { return given.count(name) > 0; };
  auto value = [&](const char* name) -> std::optional<std::string> {
    if (!has(name)) return std::nullopt;
    return given[name];
  };
  // Every option given but the allowed ones; empty when there is none.
  auto otherThan = [&](std::initializer_list<const char*> allowed) {
    for (const auto& [name, v] : given) {
      bool ok = false;
      for (const char* a : allowed) ok = ok || name == a;
      if (!ok) return "--" + name;
    }
    return std::string();
  };
  auto refuse = [&](const std::string& text) -> std::optional<Invocation> {
    problem = text;
    return std::nullopt;
  };

  Invocation run;
  run.data = value("data");
  if (!files.empty() && !has("summarize") && !has("ladder"))
    return refuse("unknown argument " + files.front());
  if (has("help")) {
    run.mode = RunMode::Help;
    return run;
  }
  if (has("version")) {
    run.mode = RunMode::Version;
    return run;
  }
  if (has("summarize")) {
    if (!otherThan({"summarize"}).empty()) return refuse("--summarize takes only file names");
    run.mode = RunMode::Summarize;
    run.files = files;
    return run;
  }
  // --ai S=FILE, one per side.
  std::string sides;
  for (const std::string& v : ais) {
    if (has("check")) continue;
    if (v.size() < 3 || (v[0] != '0' && v[0] != '1') || v[1] != '=')
      return refuse("--ai takes S=FILE with S 0 or 1, not " + v);
    if (sides.find(v[0]) != std::string::npos)
      return refuse(std::string("--ai: side ") + v[0] + " is given twice");
    sides += v[0];
  }
  if (has("batch")) {
    if (!otherThan({"batch", "frames", "jobs", "seed", "level", "shard", "data", "ai"}).empty()) {
      return refuse(
          "--batch takes only --frames, --jobs, --seed, --level, --ai, --shard and --data");
    }
    run.mode = RunMode::Batch;
    if (!ParseBatchValues(given, ais, run.batch, problem))
      return refuse(WithForm(problem, "--batch"));
    return run;
  }
  if (has("ladder")) {
    if (!otherThan({"ladder", "games", "frames", "jobs", "seed", "level", "shard", "data"})
             .empty()) {
      return refuse(
          "--ladder takes only AI scripts, --games, --frames, --jobs, --seed, --level, --shard "
          "and --data");
    }
    run.mode = RunMode::Ladder;
    if (!ParseLadderValues(given, files, run.ladder, problem))
      return refuse(WithForm(problem, "--ladder"));
    return run;
  }
  if (has("frames") || has("jobs") || has("shard"))
    return refuse("--frames, --jobs and --shard need --batch or --ladder");
  if (has("games")) return refuse("--games needs --ladder");
  WindowOptions& w = run.window;
  w.level = value("level");
  if (auto v = value("seed")) {
    uint32_t n = 0;
    if (!Uint32(*v, n)) return refuse("bad seed " + *v);
    w.seed = n;
  }
  if (auto v = value("play-as")) {
    if (*v != "0" && *v != "1") return refuse("--play-as takes 0 or 1, not " + *v);
    w.playAs = *v == "0" ? 0 : 1;
  }
  w.script = value("script");
  w.record = value("record");
  w.ai = ais;
  w.replay = value("replay");
  w.mute = has("mute");
  // A recording names its scripts itself; a relay plays no match.
  if (has("ai") && has("serve")) return refuse("--ai does not go with --serve");
  if (has("ai") && (has("replay") || has("resume")) && !has("check"))
    return refuse("--ai is for a match of one's own, not with --replay or --resume");
  if (has("host") || has("join") || has("serve")) {
    std::string problemText;
    if (!ParseNetwork(given, run, problemText)) return refuse(problemText);
    return run;
  }
  if (has("watch") || has("players") || has("match") || has("timeout"))
    return refuse("--watch, --players, --match and --timeout need --host or --join");
  w.resume = value("resume");
  if (auto v = value("start")) {
    uint64_t n = 0;
    if (!ParseWhole(std::string_view(*v), n)) return refuse("bad frame " + *v);
    if (!w.replay) return refuse("--start needs --replay");
    w.start = n;
  }
  if (w.replay && w.resume) return refuse("--replay and --resume: choose one");
  if (w.replay) {
    if (!otherThan({"replay", "start", "headless", "script", "data", "mute"}).empty()) {
      return refuse(
          "--replay takes only --start, --headless, --script, --data and --mute: the recording "
          "has its seeds and inputs");
    }
    if (w.script && !has("headless")) return refuse("--replay with --script needs --headless");
    run.mode = has("headless") ? RunMode::Headless : RunMode::Window;
    return run;
  }
  if (w.resume) {
    if (!otherThan({"resume", "record", "headless", "script", "data", "mute"}).empty())
      return refuse("--resume takes only --record, --headless, --script, --data and --mute");
    if (has("headless") && !w.script) return refuse("--headless needs --script");
    if (has("headless") && w.record) return refuse("--record needs the window");
    run.mode = has("headless") ? RunMode::Headless : RunMode::Window;
    return run;
  }
  if (has("check")) {
    if (!otherThan({"check", "level", "data", "ai"}).empty())
      return refuse("--check takes only --level, --ai and --data");
    run.mode = RunMode::Check;
    return run;
  }
  if (has("headless")) {
    if (!w.script) return refuse("--headless needs --script");
    if (w.record) return refuse("--record needs the window");
    run.mode = RunMode::Headless;
    return run;
  }
  run.mode = RunMode::Window;
  return run;
}

std::string HelpText() {
  std::string s;
  const std::string usage = Tr("help", "Usage: ");
  size_t width = 0;
  for (unsigned char c : usage) width += (c & 0xC0) != 0x80;
  for (size_t i = 0; i < kUsage.size(); ++i) {
    // A bracketed part stays on one line.
    std::string form = std::string("rtsdemo ") + kUsage[i];
    int depth = 0;
    for (char& c : form) {
      depth += c == '[' ? 1 : c == ']' ? -1 : 0;
      if (c == ' ' && depth > 0) c = '\x01';
    }
    form = Wrap(form, 79, i == 0 ? usage : std::string(width, ' '), std::string(width + 2, ' '));
    std::replace(form.begin(), form.end(), '\x01', ' ');
    s += form;
  }
  s += "\n" +
       Wrap(Tr("help",
               "A small real-time-strategy demo: the window \"OpenGL demo\", or a script run in "
               "it or headless."),
            79, "", "") +
       "\n" + Tr("help", "Options:") + "\n";
  for (const OptionInfo& o : kOptions) {
    std::string names = "  " + Names(o);
    names.resize(std::max<size_t>(names.size() + 2, 22), ' ');
    if (names.size() > 22) {
      s += names.substr(0, names.find_last_not_of(' ') + 1) + "\n";
      names = std::string(22, ' ');
    }
    s += Wrap(Plain(Tr("options", o.Help).c_str()), 79, names, std::string(22, ' '));
  }
  return s + "\n" + KeysSummary() + "\n" + ScriptSummary();
}

std::string ManualSynopsis() {
  std::string s;
  for (size_t i = 0; i < kUsage.size(); ++i) {
    if (i > 0) s += ".br\n";
    s += "\\fBrtsdemo\\fR " + RoffForm(kUsage[i]) + "\n";
  }
  return s;
}

std::string ManualOptions() {
  std::string s;
  for (const OptionInfo& o : kOptions) {
    s += ".TP\n" + RoffForm(Names(o)) + "\n" + Roff(o.Help) + "\n";
  }
  return s;
}

std::string ReadmeSynopsis() {
  std::string s;
  for (const char* form : kUsage) s += std::string("    rtsdemo ") + form + "\n";
  return s;
}

std::string ReadmeOptions() {
  std::string s;
  for (const OptionInfo& o : kOptions) s += Wrap(o.Help, 96, "- " + Names(o, "`") + ": ", "  ");
  return s;
}
