// A widget of the window by its object name; a missing one fails the test at once. The view
// is a window of its own inside its container, found among the application's windows.
#pragma once

#include <QGuiApplication>
#include <QObject>
#include <QWindow>
#include <stdexcept>
#include <string>
#include <type_traits>

template <typename T>
T* Child(const QObject& form, const char* name) {
  T* child = nullptr;
  if constexpr (std::is_base_of_v<QWindow, T>) {
    for (QWindow* window : QGuiApplication::allWindows()) {
      if (window->objectName() == QLatin1String(name)) child = qobject_cast<T*>(window);
    }
  } else {
    child = form.findChild<T*>(QString::fromLatin1(name));
  }
  if (!child) throw std::runtime_error(std::string("the window has no ") + name);
  return child;
}
