// rtsdemo: the window "OpenGL demo", or a script run in it or headless. See --help.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/batch.h"
#include "app/data_folder.h"
#include "app/keys.h"
#include "app/script.h"
#include "game/data_check.h"
#include "qt/window.h"
#include "util/bmp.h"

namespace {

namespace fs = std::filesystem;

int Usage(const std::string& problem) {
  std::cerr << "rtsdemo: " << problem << "\nTry 'rtsdemo --help' for more information.\n";
  return 2;
}

int RunHeadless(const std::string& scriptPath, std::optional<uint32_t> seed,
                std::optional<int32_t> playAs) {
  RecordingPlatform platform;
  platform.fixedSeed = seed;
  HeadlessHost host(platform);
  if (playAs) host.frontend().player().PlayAs = *playAs;
  const std::optional<int> status = RunScriptFile(scriptPath, host);
  return status ? *status : Usage("cannot open script " + scriptPath);
}

// Sets the folder the data paths start from: --data, else the first found; false when a
// --data folder does not exist.
bool ChooseDataFolder(const std::optional<std::string>& given, const char* argv0) {
  std::error_code error;
  if (given) {
    if (const std::string problem = DataFolderProblem(*given); !problem.empty()) {
      std::cerr << "rtsdemo: " << problem << "\n";
      return false;
    }
    SetDataFolder(fs::absolute(*given, error).lexically_normal().string());
    return true;
  }
  DataSearch search;
  if (const char* env = std::getenv("RTSDEMO_DATA")) search.environment = env;
  search.program = ProgramFile(argv0);
  search.buildDir = RTS_BUILD_DIR;
  search.sourceData = RTS_SOURCE_DATA;
  search.installedFromBin = RTS_DATA_FROM_BIN;
  std::vector<std::string> notes;
  std::optional<fs::path> found = FindDataFolder(search, notes);
  for (const std::string& note : notes) std::cerr << "rtsdemo: " << note << "\n";
  if (found) {
    SetDataFolder(fs::absolute(*found, error).lexically_normal().string());
  } else {
    std::cerr << "rtsdemo: no data folder found (give --data DIR or set RTSDEMO_DATA); "
                 "reading from the working directory\n";
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("rtsdemo"));
  QCoreApplication::setApplicationVersion(QStringLiteral(RTS_VERSION));

  // Parsed before any application object exists: a headless run needs no X server, and the
  // locale stays "C" for number conversions.
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "A small real-time-strategy demo: the window \"OpenGL demo\", or a script run in it or "
      "headless."));
  // Our own help option: Qt's adds --help-all for the toolkit's options, which are not taken.
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and exit."));
  parser.addOption(help);
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption data(QStringLiteral("data"),
                                QStringLiteral("Read the game data (ludi, orki, maps) from <dir>."),
                                QStringLiteral("dir"));
  const QCommandLineOption seed(
      QStringLiteral("seed"),
      QStringLiteral("Seed the random generator with <n> instead of the clock."),
      QStringLiteral("n"));
  const QCommandLineOption script(
      QStringLiteral("script"),
      QStringLiteral("Run the commands of <file> (- for standard input) instead of the timer, "
                     "then exit."),
      QStringLiteral("file"));
  const QCommandLineOption headless(
      QStringLiteral("headless"),
      QStringLiteral("Run the script with no window and no OpenGL (no X server needed)."));
  const QCommandLineOption record(
      QStringLiteral("record"),
      QStringLiteral("Play in the window and write the session to <file> as a script that "
                     "replays it."),
      QStringLiteral("file"));
  const QCommandLineOption replay(
      QStringLiteral("replay"),
      QStringLiteral("Watch a recording in the window at normal speed, with its own seeds and "
                     "inputs; its sync checks are made as they are reached."),
      QStringLiteral("file"));
  const QCommandLineOption playAs(
      QStringLiteral("play-as"),
      QStringLiteral("Play side <s> (0 or 1) yourself: the computer plays only the other side."),
      QStringLiteral("s"));
  const QCommandLineOption check(
      QStringLiteral("check"),
      QStringLiteral("Check the game data as the load button reads it; print every problem with "
                     "its file and line, then exit (1 when there are errors)."));
  const QCommandLineOption batch(
      QStringLiteral("batch"),
      QStringLiteral("Play <n> computer-against-computer matches of the test level (seeds --seed, "
                     "--seed + 1, ...; default 1): a JSON line per match, a summary on standard "
                     "error."),
      QStringLiteral("n"));
  const QCommandLineOption frames(
      QStringLiteral("frames"),
      QStringLiteral("With --batch: end a match after <f> frames (default 360000)."),
      QStringLiteral("f"));
  const QCommandLineOption jobs(
      QStringLiteral("jobs"),
      QStringLiteral("With --batch: play <j> matches at a time (default: one per core)."),
      QStringLiteral("j"));
  for (const QCommandLineOption* option : {&data, &seed, &script, &headless, &record, &replay,
                                           &playAs, &check, &batch, &frames, &jobs}) {
    parser.addOption(*option);
  }

  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (!parser.parse(arguments)) return Usage(parser.errorText().toStdString());
  if (!parser.positionalArguments().isEmpty()) {
    return Usage("unknown argument " + parser.positionalArguments().first().toStdString());
  }
  if (parser.isSet(help)) {
    // With no application object yet Qt cannot name the program itself.
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("rtsdemo"));
    std::cout << text.toStdString() << "\n" << KeysSummary() << "\n" << ScriptSummary();
    return 0;
  }
  if (parser.isSet(version)) {
    std::cout << "rtsdemo " << RTS_VERSION << "\n";
    return 0;
  }

  auto value = [&](const QCommandLineOption& option) -> std::optional<std::string> {
    if (!parser.isSet(option)) return std::nullopt;
    return parser.value(option).toLocal8Bit().toStdString();
  };
  if (parser.isSet(batch)) {
    if (parser.isSet(headless) || parser.isSet(script) || parser.isSet(record) ||
        parser.isSet(check) || parser.isSet(replay) || parser.isSet(playAs)) {
      return Usage("--batch takes only --frames, --jobs, --seed and --data");
    }
    std::vector<std::string> batchArgs;
    for (const QCommandLineOption* option : {&batch, &frames, &jobs, &seed}) {
      if (auto v = value(*option)) {
        batchArgs.push_back("--" + option->names().first().toStdString());
        batchArgs.push_back(*v);
      }
    }
    if (!ChooseDataFolder(value(data), argc > 0 ? argv[0] : nullptr)) return 2;
    return RunBatch(batchArgs, std::cout, std::cerr);
  }
  if (parser.isSet(frames) || parser.isSet(jobs)) return Usage("--frames and --jobs need --batch");
  WindowOptions options;
  if (auto v = value(seed)) {
    uint32_t n = 0;
    auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), n);
    if (ec != std::errc() || end != v->data() + v->size()) return Usage("bad seed " + *v);
    options.seed = n;
  }
  if (auto v = value(playAs)) {
    if (*v != "0" && *v != "1") return Usage("--play-as takes 0 or 1, not " + *v);
    options.playAs = *v == "0" ? 0 : 1;
  }
  options.script = value(script);
  options.record = value(record);
  options.replay = value(replay);
  if (options.replay && (parser.isSet(headless) || options.script || options.record ||
                         options.seed || options.playAs || parser.isSet(check))) {
    return Usage("--replay takes only --data: the recording has its seeds and inputs");
  }
  if (options.replay && !std::filesystem::is_regular_file(*options.replay)) {
    return Usage("cannot open recording " + *options.replay);
  }
  if (parser.isSet(check) && (parser.isSet(headless) || options.script || options.record ||
                              options.seed || options.playAs)) {
    return Usage("--check takes only --data");
  }
  if (parser.isSet(headless)) {
    if (!options.script) return Usage("--headless needs --script");
    if (options.record) return Usage("--record needs the window");
  }
  if (!ChooseDataFolder(value(data), argc > 0 ? argv[0] : nullptr)) return 2;
  if (parser.isSet(check)) return RunCheck(std::cout);
  if (parser.isSet(headless)) return RunHeadless(*options.script, options.seed, options.playAs);
  return RunWindow(argc, argv, options);
}
