// The one QApplication of the gui test binary, created on first use.
#pragma once

#include <sys/wait.h>

#include <QApplication>
#include <QElapsedTimer>
#include <clocale>
#include <cstdlib>
#include <string>

inline QApplication& GuiApp() {
  static QApplication* app = [] {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return existing;
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    auto* created = new QApplication(argc, argv);  // lives to the end of the run
    std::setlocale(LC_NUMERIC, "C");
    return created;
  }();
  return *app;
}

// Runs the event loop until pred holds or ms milliseconds have passed; whether it holds.
template <typename Pred>
bool WaitFor(Pred pred, int ms = 3000) {
  QElapsedTimer t;
  t.start();
  while (!pred() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return pred();
}

#ifdef RTSDEMO_PATH
// Runs the program with the arguments, output discarded; its exit status, or -1.
inline int ProgramStatus(const std::string& args) {
  const std::string cmd = std::string(RTSDEMO_PATH) + " " + args + " > /dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif
