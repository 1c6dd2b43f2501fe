#include "ui/qt_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <clocale>
#include <iostream>

#include "ui/qt_form.h"
#include "ui/script.h"

namespace {

// The scripted driver on the real window: the timer is off and every frame comes from `tick`
// (or from a resize), run exactly as a timer tick would run it.
class WindowScriptHost : public ScriptHost {
 public:
  explicit WindowScriptHost(TForm1& form) : form_(form) {}

  Frontend& frontend() override { return form_.frontend(); }
  RecordingPlatform& platform() override { return form_.platform(); }

  void Press(int n) override {
    QPushButton* buttons[] = {form_.Button1, form_.Button2, form_.Button3};
    buttons[n - 1]->click();  // a disabled button ignores it
    if (form_.exiting()) throw ProgramExit{form_.exitCode()};
  }
  void Tick() override { form_.TimerDraw(); }
  void Move(int x, int y) override { form_.MyMouseCursor(x, y); }
  void Down(Frontend::Button button) override { form_.MyMouseDown(button); }
  void Choose(int k, int index) override { form_.controls().SetComboIndex(k, index); }
  void Check(int k, bool on) override {
    (k == 1 ? form_.CheckBox1 : form_.CheckBox2)->setChecked(on);
  }

  // The window is resized so that the view gets w x h, then the resize handler runs its one
  // frame (the toolkit's own resize events run none under a script).
  void Resize(int w, int h) override {
    QWidget* view = form_.Panel3;
    if (view->width() != w || view->height() != h) {
      form_.resize(form_.width() - view->width() + w, form_.height() - view->height() + h);
      QElapsedTimer waited;
      waited.start();
      while ((view->width() != w || view->height() != h) && waited.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      }
      QCoreApplication::processEvents();
      if (view->width() != w || view->height() != h) {
        std::cerr << "resize: the view is " << view->width() << " x " << view->height() << "\n";
      }
    }
    form_.ScriptResize();
  }

  // Each frame's back buffer is read before its swap; the last one is written.
  bool Screenshot(const std::string& file, std::string& error) override {
    if (!form_.hasGL()) {
      error = "screenshot needs OpenGL";
      return false;
    }
    const QImage& picture = form_.lastFrame();
    if (picture.isNull()) {
      error = "screenshot before the first frame";
      return false;
    }
    if (!picture.save(QString::fromStdString(file), "PNG")) {
      error = "cannot write " + file;
      return false;
    }
    return true;
  }

 private:
  TForm1& form_;
};

int RunScriptOn(TForm1& form, const std::string& path) {
  WindowScriptHost host(form);
  if (std::optional<int> status = RunScriptFile(path, host)) return *status;
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
