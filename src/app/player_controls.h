// The widgets of a player who is not at this window: combos, check boxes, read-out and view
// size as plain data; the buttons are the match's, those of the window.
#pragma once

#include "app/headless.h"

class PlayerControls : public HeadlessControls {
 public:
  explicit PlayerControls(Controls& shared) : shared_(shared) {}

  bool ButtonEnabled(int n) const override { return shared_.ButtonEnabled(n); }
  std::string ButtonCaption(int n) const override { return shared_.ButtonCaption(n); }
  void SetButtonEnabled(int n, bool enabled) override { shared_.SetButtonEnabled(n, enabled); }
  void SetButtonCaption(int n, const std::string& caption) override {
    shared_.SetButtonCaption(n, caption);
  }

 private:
  Controls& shared_;
};
