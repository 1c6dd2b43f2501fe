// Platform services the rules need, behind an interface so tests can record them.
// Errors in util: a conversion that cannot be made throws ConvertError with the runtime's
// text; the scanners and decoders report by their result (false, nothing); what the user
// must see goes through Platform::ShowMessage; ProgramExit ends the program with a code.
#pragma once

#include <cstdint>
#include <string>

class Platform {
 public:
  virtual ~Platform() = default;
  // A modal message box with one OK button; text and caption are Windows-1251.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
  // Milliseconds since system start, as an unsigned 32-bit count.
  virtual uint32_t TickCount() = 0;
  // The generator seed from the UTC time of day (see ClockSeed).
  virtual uint32_t ClockSeed() = 0;
};

// Shows nothing; the clock stands still and the seed is fixed. For checks and fuzzing.
class SilentPlatform : public Platform {
 public:
  explicit SilentPlatform(uint32_t seed = 0) : seed_(seed) {}
  void ShowMessage(const std::string&, const std::string&) override {}
  uint32_t TickCount() override { return 0; }
  uint32_t ClockSeed() override { return seed_; }

 private:
  uint32_t seed_;
};

// Thrown to end the program with an exit code after the normal clean-up.
struct ProgramExit {
  int Code = 0;
};
