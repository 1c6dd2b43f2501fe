// The shared pseudo-random generator: a 32-bit linear congruential generator.
#pragma once

#include <cstdint>

struct Random {
  uint32_t Seed = 0;

  // Uniform integer in 0 .. n-1 (0 when n is 0).
  uint32_t Next(uint32_t n) {
    Seed = Seed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(Seed) * n) >> 32);
  }
};

// Seed from a UTC time of day: ((h * 60 + m) * 60 + s) * 1000 + ms.
inline uint32_t ClockSeed(uint32_t hours, uint32_t minutes, uint32_t seconds, uint32_t millis) {
  return ((hours * 60 + minutes) * 60 + seconds) * 1000 + millis;
}
