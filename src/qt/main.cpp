// rtsdemo: the window "OpenGL demo", or a script run in it or headless. See --help.
#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <clocale>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/quit_signals.h"
#include "app/script.h"
#include "net/net_run.h"
#include "qt/form.h"
#include "qt/translation.h"

namespace {

// Opens the window and runs the event loop; returns the exit status.
int RunWindow(int argc, char** argv, const WindowOptions& options) {
  FormOptions formOptions;
  Script script;
  // A user who opened the recording from a desktop sees no terminal: a box says it too.
  const std::optional<int> status =
      WindowStart(options, formOptions, script, [&](const std::string& text) {
        QApplication app(argc, argv);
        InstallTranslation(QLocale::system());
        QMessageBox::critical(nullptr, QStringLiteral("rtsdemo"), QString::fromStdString(text));
      });
  if (status) return *status;
  QApplication app(argc, argv);
  // Qt has set the locale from the environment; numbers keep "." whatever it says.
  std::setlocale(LC_NUMERIC, "C");
  InstallTranslation(QLocale::system());
  if (const int pipe = QuitSignalPipe(); pipe >= 0) {
    auto* notifier = new QSocketNotifier(pipe, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [pipe] {
      if (const std::optional<int> status = QuitStatus(pipe)) QCoreApplication::exit(*status);
    });
  }

  TForm1 form(formOptions);
  if (form.exiting()) return form.exitCode();
  form.show();
  form.FormCreate();
  if (form.exiting()) return form.exitCode();

  if (options.script) {
    QTimer::singleShot(0, &form, [&form, &script] {
      QCoreApplication::exit(RunLoadedScript(script, form.session()));
    });
  }
  return app.exec();
}

}  // namespace

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
