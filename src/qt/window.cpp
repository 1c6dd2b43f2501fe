#include "qt/window.h"

#include <QApplication>
#include <QTimer>
#include <clocale>
#include <iostream>

#include "app/script.h"
#include "qt/form.h"

namespace {

int RunScriptOn(TForm1& form, const std::string& path) {
  // The scripted driver on the real window: the timer is off and every frame comes from
  // `tick` (or from a resize), run exactly as a timer tick would run it.
  if (std::optional<int> status = RunScriptFile(path, form)) return *status;
  std::cerr << "rtsdemo: cannot open script " << path << "\n";
  return 2;
}

}  // namespace

int RunWindow(int argc, char** argv, const WindowOptions& options) {
  QApplication app(argc, argv);
  // Qt has set the locale from the environment; numbers keep "." whatever it says.
  std::setlocale(LC_NUMERIC, "C");

  FormOptions formOptions;
  formOptions.seed = options.seed;
  if (options.record) formOptions.record = *options.record;
  formOptions.playAs = options.playAs;
  formOptions.level = options.level;
  if (options.replay) {
    // The recording's frames come from the timer; the toolkit's resizes run none.
    formOptions.replay = *options.replay;
    formOptions.answerAtOnce = true;
    formOptions.scripted = true;
  }
  if (options.script) {
    formOptions.answerAtOnce = true;
    formOptions.keepFrames = true;
    formOptions.runTimer = false;
    formOptions.scripted = true;
  }
  TForm1 form(formOptions);
  form.show();
  form.FormCreate();
  if (form.exiting()) return form.exitCode();

  if (options.script) {
    QTimer::singleShot(0, &form, [&form, path = *options.script] {
      QCoreApplication::exit(RunScriptOn(form, path));
    });
  }
  return app.exec();
}
