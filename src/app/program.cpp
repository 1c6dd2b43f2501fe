#include "app/program.h"

#include <filesystem>
#include <iostream>

#include "app/batch.h"
#include "app/data_folder.h"
#include "app/recorder.h"
#include "app/script.h"
#include "game/data_check.h"

namespace {

int RunHeadless(const WindowOptions& options) {
  RecordingPlatform platform;
  platform.fixedSeed = options.seed;
  Script script;
  if (!LoadScript(*options.script, script, std::cerr)) return 2;
  HeadlessHost host(platform);
  if (options.playAs) host.frontend().player().PlayAs = *options.playAs;
  return RunLoadedScript(script, host);
}

}  // namespace

int UsageError(const std::string& problem) {
  std::cerr << "rtsdemo: " << problem << "\nTry 'rtsdemo --help' for more information.\n";
  return 2;
}

int RunInvocation(const Invocation& run, const char* argv0,
                  const std::function<int(const WindowOptions&)>& window) {
  switch (run.mode) {
    case RunMode::Help:
      std::cout << HelpText();
      return 0;
    case RunMode::Version:
      std::cout << "rtsdemo " << RTS_VERSION << "\n";
      return 0;
    default:
      break;
  }
  const WindowOptions& options = run.window;
  if (options.replay && !std::filesystem::is_regular_file(*options.replay)) {
    return UsageError("cannot open recording " + *options.replay);
  }
  if (!ChooseDataFolder(run.data, ProgramDataSearch(argv0), std::cerr)) return 2;
  switch (run.mode) {
    case RunMode::Check:
      return RunCheck(std::cout);
    case RunMode::Batch:
      return RunBatch(run.batchArgs, std::cout, std::cerr);
    case RunMode::Headless:
      return RunHeadless(options);
    default:
      break;
  }
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
