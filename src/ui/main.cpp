// rtsdemo [--data DIR] [--seed N] [--headless] [--script FILE] [--record FILE]
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "ui/qt_window.h"
#include "ui/script.h"

namespace {

int Usage(const std::string& problem) {
  std::cerr
      << "rtsdemo: " << problem << "\n"
      << "usage: rtsdemo [--data DIR] [--seed N] [--headless] [--script FILE] [--record FILE]\n";
  return 2;
}

int RunHeadless(const std::string& scriptPath, std::optional<uint32_t> seed) {
  RecordingPlatform platform;
  platform.fixedSeed = seed;
  HeadlessHost host(platform);
  const std::optional<int> status = RunScriptFile(scriptPath, host);
  return status ? *status : Usage("cannot open script " + scriptPath);
}

}  // namespace

int main(int argc, char** argv) {
  WindowOptions options;
  bool headless = false;
  std::string dataProblem;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    if (arg == "--headless") {
      headless = true;
    } else if (arg == "--data" || arg == "--seed" || arg == "--script" || arg == "--record") {
      auto v = value();
      if (!v) return Usage(arg + " needs a value");
      if (arg == "--data") {
        if (chdir(v->c_str()) != 0)
          dataProblem = "cannot enter " + *v + ": " + std::strerror(errno);
      } else if (arg == "--seed") {
        uint32_t seed = 0;
        auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), seed);
        if (ec != std::errc() || end != v->data() + v->size()) return Usage("bad seed " + *v);
        options.seed = seed;
      } else if (arg == "--record") {
        options.record = *v;
      } else {
        options.script = *v;
      }
    } else {
      return Usage("unknown argument " + arg);
    }
  }
  if (headless) {
    if (!dataProblem.empty()) return Usage(dataProblem);
    if (!options.script) return Usage("--headless needs --script");
    if (options.record) return Usage("--record needs the window");
    return RunHeadless(*options.script, options.seed);
  }
  // The window opens anyway; loading then reports what is missing.
  if (!dataProblem.empty()) std::cerr << "rtsdemo: " << dataProblem << "\n";
  return RunWindow(argc, argv, options);
}
