// The window's keys: Qt's key events as the core's key strokes.
#include <QKeyEvent>

#include "qt/form.h"

namespace {

// The key table's codes are Qt's.
constexpr bool SameKey(int32_t ours, Qt::Key qt) {
  return ours == static_cast<int32_t>(qt);
}
static_assert(SameKey(kKeyEscape, Qt::Key_Escape) && SameKey(kKeyF12, Qt::Key_F12) &&
              SameKey(kKeyLeft, Qt::Key_Left) && SameKey(kKeyPause, Qt::Key_Pause) &&
              SameKey(kKeyEnter, Qt::Key_Enter) && SameKey(kKeyEqual, Qt::Key_Equal) &&
              SameKey('P', Qt::Key_P) && SameKey(kKeyF7, Qt::Key_F7) &&
              SameKey(kKeyDown, Qt::Key_Down) && SameKey(kKeyComma, Qt::Key_Comma) &&
              SameKey('1', Qt::Key_1));

}  // namespace

void TForm1::keyPressEvent(QKeyEvent* event) {
  if (!HandleKey(event, true)) QWidget::keyPressEvent(event);
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
  if (!HandleKey(event, false)) QWidget::keyReleaseEvent(event);
}

// A key released while the window was not active never arrives: let go of the arrows.
void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && core_) core_->ReleaseKeys();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsArrowKey(key->key())) return HandleKey(key, event->type() == QEvent::KeyPress);
  }
  return QWidget::eventFilter(watched, event);
}

bool TForm1::HandleKey(QKeyEvent* event, bool press) {
  const Qt::KeyboardModifiers m = event->modifiers();
  const bool shift = m.testFlag(Qt::ShiftModifier);
  KeyStroke key;
  key.Code = event->key();
  key.Mods = (shift ? kShift : kNoMods) | (m.testFlag(Qt::ControlModifier) ? kCtrl : kNoMods);
  key.Alt = m.testFlag(Qt::AltModifier);
  key.Digit = DigitOfKey(event->key(), event->nativeScanCode(), shift);
  key.Press = press;
  key.Repeat = event->isAutoRepeat();
  key.Ms = static_cast<int64_t>(event->timestamp());
  if (!core_->Key(key)) return false;
  event->accept();
  return true;
}
