// The widget operations of the frame on the real Qt widgets of the main window. Texts cross
// here between Windows-1251 (inside) and UTF-8 (Qt).
#pragma once

#include <QString>
#include <array>

#include "app/controls.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QWidget;

QString ToQt(const std::string& cp1251);
std::string FromQt(const QString& text);

class QtControls : public Controls {
 public:
  // Widgets are owned by the window; set once when it builds its layout.
  std::array<QPushButton*, 3> buttons{};
  std::array<QCheckBox*, 2> checks{};
  std::array<QComboBox*, 3> combos{};
  QListWidget* list = nullptr;
  QWidget* view = nullptr;

  bool ButtonEnabled(int n) const override;
  std::string ButtonCaption(int n) const override;
  void SetButtonEnabled(int n, bool enabled) override;
  void SetButtonCaption(int n, const std::string& caption) override;
  bool Checked(int n) const override;
  void SetChecked(int n, bool on) override;
  void ComboClear(int k) override;
  void ComboAdd(int k, const std::string& item) override;
  std::vector<std::string> ComboItems(int k) const override;
  int ComboIndex(int k) const override;
  void SetComboIndex(int k, int index) override;
  std::string ComboText(int k) const override;
  void SetComboText(int k, const std::string& text) override;
  void ListClear() override;
  void ListAdd(const std::string& line) override;
  std::vector<std::string> ListLines() const override;
  int RealViewWidth() const override;
  int RealViewHeight() const override;
  double ViewPixelRatio() const override;

 private:
  QPushButton* Button(int n) const { return buttons.at(static_cast<size_t>(n - 1)); }
  QComboBox* Combo(int k) const { return combos.at(static_cast<size_t>(k - 1)); }
};

// Makes an editable drop-down whose item index changes only when the user picks an entry
// from the list (mouse, arrow keys, wheel) or the program sets it: typing, Return and leaving
// the box never choose an entry, and typing removes a choice made before.
void MakeChoiceCombo(QComboBox* combo);
