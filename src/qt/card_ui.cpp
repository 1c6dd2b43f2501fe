// The window's command card: shown after each drawn frame, pressed by the mouse or its hotkeys.
#include <QComboBox>
#include <QKeyEvent>

#include "qt/card_buttons.h"
#include "qt/form.h"

void TForm1::UpdateCard() {
  if (!Card || !session_) return;
  const Frontend& f = session_->frontend();
  const bool live = !session_->viewer().playing() && f.local() != Frontend::kWatching;
  const CommandCard card =
      live ? MakeCommandCard(session_->world(), f.LocalSelectionAside(), controls_.ComboItems(2))
           : CommandCard{};
  Card->Show(card, controls_.ComboIndex(2));
  card_ = card;
}

// A card button as the build box's choice: the same input as choosing the line in the box.
void TForm1::ChooseOnCard(int32_t item) {
  if (item >= 0 && item < ComboBox2->count()) ComboBox2->setCurrentIndex(item);
}

bool TForm1::CardKey(QKeyEvent* event, bool press) {
  if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
    return false;
  const int key = event->key();
  if (key < Qt::Key_A || key > Qt::Key_Z) return false;
  const int32_t item = CardButtonOfKey(card_, static_cast<char>('A' + (key - Qt::Key_A)));
  if (item < 0) return false;
  if (press && !event->isAutoRepeat()) ChooseOnCard(item);
  event->accept();
  return true;
}
