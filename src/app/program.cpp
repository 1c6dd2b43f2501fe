#include "app/program.h"

#include <filesystem>
#include <iostream>

#include "app/ai_options.h"
#include "app/batch.h"
#include "app/data_folder.h"
#include "app/ladder.h"
#include "app/recorder.h"
#include "app/replay.h"
#include "app/script.h"
#include "app/startup.h"
#include "game/data_check.h"
#include "game/level.h"
#include "script/script_check.h"

namespace {

// Reads a --level file (or a shipped level's name), printing its problems; false with errors.
bool CheckLevelOption(WindowOptions& options) {
  if (!options.level) return true;
  options.level = std::filesystem::absolute(FindLevelFile(*options.level)).string();
  DataProblems problems;
  ReadLevelFile(*options.level, problems);
  for (const DataProblem& p : problems) std::cerr << FormatProblem(p) << "\n";
  return ErrorCount(problems) == 0;
}

int RunHeadless(const WindowOptions& options) {
  RecordingPlatform platform;
  platform.fixedSeed = options.seed;
  Script script;
  if (options.script && !LoadScript(*options.script, script, std::cerr)) return 2;
  SessionStart start = StartOf(options);
  if (!LoadStart(start, std::cerr)) return 2;
  HeadlessHost host(platform);
  // The scripts are checked here; BeginSession hands them to the session as inputs.
  if (!ReadAiOptions(options.ai, std::cerr)) return 1;
  const std::string& file = start.ReplayName;
  try {
    if (!OpenSession(host, start, std::cerr)) return 2;
    bool seekFailed = false;
    if (const std::optional<int> status = BeginSession(host, start, std::cerr, seekFailed))
      return *status;
    if (seekFailed) {
      std::cerr << "rtsdemo: out of sync at frame " << *host.viewer().player()->failedFrame()
                << "\n";
      return 3;
    }
    // Without a script a replay plays to its end.
    if (host.viewer().playing() && !options.script) {
      while (host.Frames(1)) {
      }
      return host.frontend().LoadFailed() ? 1 : 0;
    }
  } catch (const OutOfSync& e) {
    std::cerr << "rtsdemo: out of sync at frame " << e.Frame << "\n";
    return 3;
  } catch (const CommandError& e) {
    std::cerr << "rtsdemo: " << (file.empty() ? "" : file + ": ") << e.What << "\n";
    return 2;
  } catch (const ProgramExit& e) {
    return e.Code;
  }
  return RunLoadedScript(script, host);
}

}  // namespace

int UsageError(const std::string& problem) {
  std::cerr << "rtsdemo: " << problem << "\nTry 'rtsdemo --help' for more information.\n";
  return 2;
}

int RunInvocation(const Invocation& run, const char* argv0,
                  const std::function<int(const WindowOptions&)>& window,
                  const std::function<int(const Invocation&)>& network) {
  switch (run.mode) {
    case RunMode::Help:
      std::cout << HelpText();
      return 0;
    case RunMode::Version:
      std::cout << "rtsdemo " << RTS_VERSION << "\n";
      return 0;
    case RunMode::Summarize:
      return RunSummarize(run.files, std::cin, std::cout, std::cerr);
    case RunMode::Network:
      // The relay needs no data.
      if (run.net.kind == NetOptions::Kind::Serve)
        return network ? network(run) : UsageError("this program has no network");
      break;
    default:
      break;
  }
  WindowOptions options = run.window;
  if (options.replay && !std::filesystem::is_regular_file(*options.replay)) {
    return UsageError("cannot open recording " + *options.replay);
  }
  if (options.resume && !std::filesystem::is_regular_file(*options.resume)) {
    return UsageError("cannot open recording " + *options.resume);
  }
  if (!ChooseDataFolder(run.data, ProgramDataSearch(argv0), std::cerr)) return 2;
  switch (run.mode) {
    case RunMode::Check: {
      std::vector<std::string> levels;
      if (options.level) levels.push_back(FindLevelFile(*options.level));
      DataProblems more = CheckAiOptions(options.ai);
      for (const DataProblem& p : CheckLevelMissions(levels)) more.Add(p);
      return RunCheck(std::cout, levels, more);
    }
    case RunMode::Batch:
      return RunBatch(run.batch, std::cout, std::cerr);
    case RunMode::Ladder:
      return RunLadder(run.ladder, std::cout, std::cerr);
    case RunMode::Headless:
      if (!CheckLevelOption(options)) return 1;
      return RunHeadless(options);
    case RunMode::Network: {
      if (!network) return UsageError("this program has no network");
      if (!CheckLevelOption(options)) return 1;
      if (run.net.window) {
        options.net = run.net;
        break;
      }
      Invocation resolved = run;
      resolved.window = options;
      return network(resolved);
    }
    default:
      break;
  }
  if (!CheckLevelOption(options)) return 1;
  // Nothing of a session is lost: a recording that cannot be written stops us here.
  if (options.record) {
    std::string reason;
    if (!Recorder::CanWrite(*options.record, reason)) {
      std::cerr << "rtsdemo: cannot write the recording " << *options.record << ": " << reason
                << "\n";
      return 2;
    }
  }
  return window(options);
}
