// The one QApplication of the gui test binary, created on first use.
#pragma once

#include <QApplication>
#include <clocale>

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
