// The widget operations the frame and the command panel use. The Qt window implements them
// with real widgets, the headless driver with plain data. Texts are Windows-1251.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

class Controls {
 public:
  virtual ~Controls() = default;

  // Buttons 1, 2, 3.
  virtual bool ButtonEnabled(int n) const = 0;
  virtual std::string ButtonCaption(int n) const = 0;
  virtual void SetButtonEnabled(int n, bool enabled) = 0;
  virtual void SetButtonCaption(int n, const std::string& caption) = 0;

  // Check boxes 1 ("Полоски") and 2 ("Карта").
  virtual bool Checked(int n) const = 0;
  virtual void SetChecked(int n, bool on) = 0;

  // Combo boxes 1, 2, 3.
  virtual void ComboClear(int k) = 0;
  virtual void ComboAdd(int k, const std::string& item) = 0;
  virtual std::vector<std::string> ComboItems(int k) const = 0;
  virtual int ComboIndex(int k) const = 0;  // -1: nothing chosen
  virtual void SetComboIndex(int k, int index) = 0;
  virtual std::string ComboText(int k) const = 0;
  virtual void SetComboText(int k, const std::string& text) = 0;

  // The read-out list.
  virtual void ListClear() = 0;
  virtual void ListAdd(const std::string& line) = 0;
  virtual std::vector<std::string> ListLines() const = 0;

  // Size of the view panel in logical pixels (one world unit each): the widget's, or in a
  // network match the size all peers agreed on.
  int ViewWidth() const { return agreed_ ? (*agreed_)[0] : RealViewWidth(); }
  int ViewHeight() const { return agreed_ ? (*agreed_)[1] : RealViewHeight(); }
  virtual int RealViewWidth() const = 0;
  virtual int RealViewHeight() const = 0;
  // Device pixels per logical pixel of the view (2 on a HiDPI screen at 200%).
  virtual double ViewPixelRatio() const { return 1.0; }
  void AgreeViewSize(std::optional<std::array<int, 2>> size) { agreed_ = size; }
  bool viewAgreed() const { return agreed_.has_value(); }

 private:
  std::optional<std::array<int, 2>> agreed_;
};
