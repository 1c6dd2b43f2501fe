#include "qt/widget_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "util/cp1251.h"

QString ToQt(const std::string& cp1251) {
  return QString::fromStdString(ToUtf8(cp1251));
}
std::string FromQt(const QString& text) {
  return ToCp1251(text.toStdString());
}

namespace {

// Sets the item index and puts the shown text back, with the cursor where it was.
void SetIndexKeepText(QComboBox* combo, int index, const QString& text) {
  QLineEdit* edit = combo->lineEdit();
  const int cursor = edit ? edit->cursorPosition() : 0;
  combo->setCurrentIndex(index);
  combo->setEditText(text);
  if (edit) edit->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
}

// Removes the choice and keeps the shown text.
void ClearComboChoice(QComboBox* combo) {
  SetIndexKeepText(combo, -1, combo->currentText());
}

}  // namespace

void MakeChoiceCombo(QComboBox* combo) {
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
  QLineEdit* edit = combo->lineEdit();
  // Return and focus-out would pick the entry whose text matches the edit line.
  QObject::disconnect(edit, &QLineEdit::returnPressed, nullptr, nullptr);
  QObject::disconnect(edit, &QLineEdit::editingFinished, nullptr, nullptr);
  // Once edited, the shown text no longer names the chosen entry.
  QObject::connect(edit, &QLineEdit::textEdited, combo, [combo](const QString& text) {
    if (combo->currentIndex() != -1) SetIndexKeepText(combo, -1, text);
  });
}

bool QtControls::ButtonEnabled(int n) const {
  return Button(n)->isEnabled();
}
std::string QtControls::ButtonCaption(int n) const {
  return FromQt(Button(n)->text());
}
void QtControls::SetButtonEnabled(int n, bool enabled) {
  Button(n)->setEnabled(enabled);
}
void QtControls::SetButtonCaption(int n, const std::string& caption) {
  Button(n)->setText(ToQt(caption));
}

bool QtControls::Checked(int n) const {
  return checks.at(static_cast<size_t>(n - 1))->isChecked();
}
void QtControls::SetChecked(int n, bool on) {
  checks.at(static_cast<size_t>(n - 1))->setChecked(on);
}

void QtControls::ComboClear(int k) {
  QComboBox* combo = Combo(k);
  const QString text = combo->currentText();
  combo->clear();
  SetIndexKeepText(combo, -1, text);
}

void QtControls::ComboAdd(int k, const std::string& item) {
  QComboBox* combo = Combo(k);
  const int index = combo->currentIndex();
  const QString text = combo->currentText();
  combo->addItem(ToQt(item));
  // The first item of an empty box would otherwise become its choice.
  if (combo->currentIndex() != index) SetIndexKeepText(combo, index, text);
}

std::vector<std::string> QtControls::ComboItems(int k) const {
  const QComboBox* combo = Combo(k);
  std::vector<std::string> items;
  for (int i = 0; i < combo->count(); ++i) items.push_back(FromQt(combo->itemText(i)));
  return items;
}

int QtControls::ComboIndex(int k) const {
  return Combo(k)->currentIndex();
}

void QtControls::SetComboIndex(int k, int index) {
  QComboBox* combo = Combo(k);
  if (index >= 0 && index < combo->count()) {
    combo->setCurrentIndex(index);
  } else {
    ClearComboChoice(combo);  // an index outside the items chooses nothing
  }
}

std::string QtControls::ComboText(int k) const {
  return FromQt(Combo(k)->currentText());
}
void QtControls::SetComboText(int k, const std::string& text) {
  Combo(k)->setEditText(ToQt(text));
}

void QtControls::ListClear() {
  list->clear();
}
void QtControls::ListAdd(const std::string& line) {
  list->addItem(ToQt(line));
}
std::vector<std::string> QtControls::ListLines() const {
  std::vector<std::string> lines;
  for (int i = 0; i < list->count(); ++i) lines.push_back(FromQt(list->item(i)->text()));
  return lines;
}

int QtControls::RealViewWidth() const {
  return view->width();
}
int QtControls::RealViewHeight() const {
  return view->height();
}
double QtControls::ViewPixelRatio() const {
  return view->devicePixelRatioF();
}
