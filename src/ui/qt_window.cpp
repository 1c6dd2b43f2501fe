#include "ui/qt_window.h"

#include <iostream>

int RunWindow(int, char**, const WindowOptions&) {
  std::cerr << "rtsdemo: the window is not built yet\n";
  return 1;
}
