// Voice allocation and the rate limit at high game speeds; no device.
#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "sound/sound_kinds.h"

inline constexpr int kVoices = 16;

class VoicePool {
 public:
  // The voice for a new sound: a silent one, else the oldest that plays the same kind (victory
  // and defeat take the oldest of any); -1 when every voice plays something else.
  int Take(SoundKind kind, const std::array<bool, kVoices>& playing);
  // Whether the voice's last sound was of this kind (for tests).
  SoundKind KindOf(int voice) const { return kinds_[static_cast<size_t>(voice)]; }

 private:
  std::array<SoundKind, kVoices> kinds_{};
  std::array<uint64_t, kVoices> started_{};
  uint64_t count_ = 0;
};

// At x2 and faster a kind plays at most once per 50 ms of real time.
class RateLimit {
 public:
  static constexpr int64_t kGapMs = 50;
  bool Allow(SoundKind kind, int64_t ms, bool fast);

 private:
  std::array<int64_t, kSoundKinds> last_ = Filled();
  static constexpr std::array<int64_t, kSoundKinds> Filled() {
    std::array<int64_t, kSoundKinds> a{};
    a.fill(std::numeric_limits<int64_t>::min() / 2);
    return a;
  }
};
