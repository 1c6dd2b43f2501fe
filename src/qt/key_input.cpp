// The window's keys: each looked up in the key table and done as its row says.
#include <QKeyEvent>
#include <cmath>

#include "app/keys.h"
#include "net/net_peer.h"
#include "qt/form.h"
#include "qt/timeline.h"
#include "util/translate.h"

namespace {

// The key table's codes are Qt's.
constexpr bool SameKey(int32_t ours, Qt::Key qt) {
  return ours == static_cast<int32_t>(qt);
}
static_assert(SameKey(kKeyEscape, Qt::Key_Escape) && SameKey(kKeyF12, Qt::Key_F12) &&
              SameKey(kKeyLeft, Qt::Key_Left) && SameKey(kKeyPause, Qt::Key_Pause) &&
              SameKey(kKeyEnter, Qt::Key_Enter) && SameKey(kKeyEqual, Qt::Key_Equal) &&
              SameKey('P', Qt::Key_P) && SameKey(kKeyF7, Qt::Key_F7) &&
              SameKey(kKeyDown, Qt::Key_Down) && SameKey(kKeyComma, Qt::Key_Comma));

bool IsArrow(int key) {
  return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

// The digit 1 to 9 of a key, also with Shift on layouts that shift the digit row (X11 key
// codes 10 to 18); 0 for any other key.
int DigitOf(const QKeyEvent* event) {
  const int key = event->key();
  if (key >= Qt::Key_1 && key <= Qt::Key_9) return key - Qt::Key_0;
  const quint32 code = event->nativeScanCode();
  if (event->modifiers().testFlag(Qt::ShiftModifier) && code >= 10 && code <= 18)
    return static_cast<int>(code) - 9;
  return 0;
}

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
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && session_)
    Guarded([this] { session_->view().ReleaseKeys(); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsArrow(key->key())) return HandleKey(key, event->type() == QEvent::KeyPress);
  }
  return QWidget::eventFilter(watched, event);
}

bool TForm1::HandleKey(QKeyEvent* event, bool press) {
  if (const int digit = DigitOf(event)) {
    if (press && !event->isAutoRepeat() && created_ && !exiting_ && !session_->busy()) {
      const Qt::KeyboardModifiers m = event->modifiers();
      Guarded([&] {
        session_->view().GroupKey(digit, m.testFlag(Qt::ControlModifier),
                                  m.testFlag(Qt::ShiftModifier),
                                  static_cast<int64_t>(event->timestamp()));
      });
    }
    event->accept();
    return true;
  }
  const Qt::KeyboardModifiers m = event->modifiers();
  const uint8_t mods = (m.testFlag(Qt::ShiftModifier) ? kShift : kNoMods) |
                       (m.testFlag(Qt::ControlModifier) ? kCtrl : kNoMods);
  const KeyRow* row = FindKey(event->key(), mods, session_->viewer().playing(), net_ != nullptr);
  if (!row) return CardKey(event, press);
  event->accept();
  const bool once = press && !event->isAutoRepeat();
  switch (row->Action) {
    case KeyAction::Sound:
    case KeyAction::Louder:
    case KeyAction::Softer:
      if (press) SoundKey(row->Action, event->isAutoRepeat());
      return true;
    case KeyAction::SaveMatch:
      if (once && created_ && !exiting_) SaveMatch();
      return true;
    case KeyAction::Chat:
      if (once) OpenChat();
      return true;
    case KeyAction::TakeOver0:
    case KeyAction::TakeOver1:
    case KeyAction::TakeOverBoth:
      if (once) TakeOver(static_cast<int>(row->Action) - static_cast<int>(KeyAction::TakeOver0));
      return true;
    default:
      break;
  }
  if (row->When == KeyWhen::Replay && (!created_ || exiting_ || session_->busy())) return true;
  KeyResult result = KeyResult::Done;
  Guarded([&] { result = session_->view().Key(row->Action, press, event->isAutoRepeat()); });
  if (result == KeyResult::ShowHelp) ShowKeys();
  if (result == KeyResult::SavePicture) SaveScreenshot();
  if (result == KeyResult::ShowMenu) ShowGameMenu();
  if (!IsArrow(event->key()) || mods) UpdateBanner();
  if (timeline_) timeline_->update();
  return true;
}

void TForm1::SoundKey(KeyAction action, bool repeat) {
  if (action == KeyAction::Louder) {
    sound_->Louder();
  } else if (action == KeyAction::Softer) {
    sound_->Softer();
  } else if (!repeat) {
    sound_->ToggleMute();
  }
  const int percent = static_cast<int>(std::lround(sound_->volume() * 100));
  session_->view().SetNote(sound_->muted()
                               ? Tr("notes", "Sound off")
                               : Tr("notes", "Sound on, volume %1 %", {std::to_string(percent)}));
  UpdateBanner();
}
