// Plain-data widgets and platform for runs without a window.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/control_values.h"
#include "app/controls.h"
#include "util/bmp.h"
#include "util/counting_uploader.h"
#include "util/platform.h"

struct ShownMessage {
  std::string Caption;  // Windows-1251
  std::string Text;
};

// Records every message box; the window and the headless driver share this.
class RecordingPlatform : public Platform {
 public:
  // Under a script message boxes are answered at once and printed to standard error.
  bool answerAtOnce = true;
  std::optional<uint32_t> fixedSeed;  // --seed
  std::optional<uint32_t> nextSeed;   // one-shot value for the next seeding (script "seed")
  std::vector<uint32_t> usedSeeds;    // every seed handed out, in order
  std::vector<ShownMessage> messages;

  void ShowMessage(const std::string& text, const std::string& caption) override;
  uint32_t TickCount() override;
  uint32_t ClockSeed() override;

 protected:
  uint32_t NextSeed();
  // The window shows the box here; headless does nothing.
  virtual void ShowModal(const std::string&, const std::string&) {}
};

class HeadlessControls : public Controls {
 public:
  HeadlessControls();

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
  int RealViewWidth() const override { return values_.Panel3[0]; }
  int RealViewHeight() const override { return values_.Panel3[1]; }
  void SetViewSize(int w, int h) { values_.Panel3 = {w, h}; }

 private:
  mutable ControlValues values_;
  ButtonValues& Button(int n) const { return ButtonOf(values_, n); }
  ComboValues& Combo(int k) const { return ComboOf(values_, k); }
};
