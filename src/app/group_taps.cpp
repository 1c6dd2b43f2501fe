#include "app/group_taps.h"

Command GroupTaps::Tap(int digit, bool ctrl, bool shift, int64_t ms) {
  if (ctrl || shift) {
    lastDigit_ = 0;
    return MakeCommand(CommandKind::Group, {ctrl ? 0 : 1, digit});
  }
  const bool twice = digit == lastDigit_ && ms - lastMs_ <= 300;
  lastDigit_ = twice ? 0 : digit;
  lastMs_ = ms;
  return MakeCommand(CommandKind::Group, {twice ? 3 : 2, digit});
}
