// rtsdemo: the window "OpenGL demo", or a script run in it or headless. See --help.
#include <QCoreApplication>
#include <QLocale>
#include <clocale>
#include <string>
#include <vector>

#include "app/program.h"
#include "net/net_run.h"
#include "qt/translation.h"
#include "qt/window.h"

int main(int argc, char** argv) {
  // Parsed before any application object exists: a headless run needs no X server, and the
  // locale stays "C" for number conversions.
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::string problem;
  const std::optional<Invocation> run = ParseInvocation(args, problem);
  if (!run) return UsageError(problem);
  if (run->mode == RunMode::Help) {
    // The help in the user's language, with the window's translations; no display needed.
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    InstallTranslation(QLocale::system());
    return RunInvocation(*run, argc > 0 ? argv[0] : nullptr, nullptr, nullptr);
  }
  return RunInvocation(
      *run, argc > 0 ? argv[0] : nullptr,
      [&](const WindowOptions& options) { return RunWindow(argc, argv, options); }, RunNetwork);
}
