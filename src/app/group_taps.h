// Digit keys for control groups: with ctrl a digit stores the selection as that group, with
// shift adds it, else recalls the group; the same digit again within 300 ms centres the view.
#pragma once

#include <cstdint>

#include "app/command.h"

class GroupTaps {
 public:
  // The "group" command for digit 1 to 9 pressed at time ms.
  Command Tap(int digit, bool ctrl, bool shift, int64_t ms);

 private:
  int lastDigit_ = 0;  // the last digit that recalled a group, 0: none
  int64_t lastMs_ = 0;
};
