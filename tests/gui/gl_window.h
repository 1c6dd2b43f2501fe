// An on-screen OpenGL window with a current context, for the drawing tests.
#pragma once

#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QTest>
#include <QWindow>

struct GlWindow {
  QWindow* window = nullptr;
  QOpenGLContext* context = nullptr;

  // Shows a w x h window and makes its context current; false when that fails. `depthBits`:
  // the depth buffer asked for, none by default.
  bool Open(int w, int h, bool noWait = false, int depthBits = 0) {
    QSurfaceFormat format;
    format.setDepthBufferSize(depthBits);
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    if (noWait) format.setSwapInterval(0);  // swaps do not wait for the display
    window = new QWindow;
    window->setSurfaceType(QSurface::OpenGLSurface);
    window->setFormat(format);
    window->resize(w, h);
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) return false;
    context = new QOpenGLContext;
    context->setFormat(format);
    return context->create() && context->makeCurrent(window);
  }

  void Close() {
    if (context) context->doneCurrent();
    delete context;
    delete window;
    context = nullptr;
    window = nullptr;
  }
};
