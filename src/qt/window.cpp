#include "qt/window.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <clocale>
#include <iostream>
#include <sstream>

#include "app/ai_options.h"
#include "app/script.h"
#include "qt/form.h"
#include "qt/quit_signals.h"
#include "qt/translation.h"

namespace {

// A recording the window cannot open: said on standard error and, unless a script drives the
// window, in a box, since a user who opened it from a desktop sees no terminal.
bool LoadRecording(int argc, char** argv, const std::string& path, Script& recording,
                   bool scripted) {
  std::ostringstream error;
  if (LoadScript(path, recording, error)) return true;
  std::cerr << error.str();
  const bool display =
      !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (!scripted && display) {
    QApplication app(argc, argv);
    InstallTranslation(QLocale::system());
    std::string text = error.str();
    while (!text.empty() && text.back() == '\n') text.pop_back();
    QMessageBox::critical(nullptr, QStringLiteral("rtsdemo"), QString::fromStdString(text));
  }
  return false;
}

}  // namespace

int RunWindow(int argc, char** argv, const WindowOptions& options) {
  // A broken script or recording ends the program before any window opens.
  FormOptions formOptions;
  formOptions.start = StartOf(options);
  Script script;
  if (options.script && !LoadScript(*options.script, script, std::cerr)) return 2;
  if (!ReadAiOptions(options.ai, std::cerr)) return 1;
  const bool scripted = options.script.has_value();
  if (options.replay) {
    Script recording;
    if (!LoadRecording(argc, argv, *options.replay, recording, scripted)) return 2;
    // The recording's frames come from the timer; the toolkit's resizes run none.
    formOptions.start.Replay = std::move(recording);
    formOptions.answerAtOnce = true;
    formOptions.scripted = true;
  }
  if (options.resume) {
    Script recording;
    if (!LoadRecording(argc, argv, *options.resume, recording, scripted)) return 2;
    formOptions.start.Replay = std::move(recording);
  }

  // Without a display Qt would abort; say what to do instead.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::cerr << "rtsdemo: no display to open the window on (DISPLAY is not set); --headless runs "
                 "a script without one\n";
    return 2;
  }
  QApplication app(argc, argv);
  // Qt has set the locale from the environment; numbers keep "." whatever it says.
  std::setlocale(LC_NUMERIC, "C");
  InstallTranslation(QLocale::system());
  QuitOnSignals(&app);

  formOptions.seed = options.seed;
  formOptions.mute = options.mute;
  if (options.net) {
    // Frames come only from the lockstep: the toolkit's resizes run none.
    formOptions.net = options.net;
    formOptions.scripted = true;
  }
  if (options.script) {
    // The scripted driver on the real window: the timer is off and every frame comes from
    // `tick` (or from a resize), run exactly as a timer tick would run it.
    formOptions.answerAtOnce = true;
    formOptions.keepFrames = true;
    formOptions.runTimer = false;
    formOptions.scripted = true;
  }
  formOptions.remember = !options.script && !options.replay && !options.resume && !options.net;
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
