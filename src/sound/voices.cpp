#include "sound/voices.h"

int VoicePool::Take(SoundKind kind, const std::array<bool, kVoices>& playing) {
  int chosen = -1;
  for (int v = 0; v < kVoices && chosen < 0; ++v)
    if (!playing[static_cast<size_t>(v)]) chosen = v;
  if (chosen < 0) {
    const bool any = kind == SoundKind::Victory || kind == SoundKind::Defeat;
    uint64_t oldest = UINT64_MAX;
    for (int v = 0; v < kVoices; ++v) {
      const auto k = static_cast<size_t>(v);
      if ((any || kinds_[k] == kind) && started_[k] < oldest) {
        oldest = started_[k];
        chosen = v;
      }
    }
  }
  if (chosen < 0) return -1;
  kinds_[static_cast<size_t>(chosen)] = kind;
  started_[static_cast<size_t>(chosen)] = ++count_;
  return chosen;
}

bool RateLimit::Allow(SoundKind kind, int64_t ms, bool fast) {
  int64_t& last = last_[static_cast<size_t>(KindIndex(kind))];
  if (fast && ms - last < kGapMs) return false;
  last = ms;
  return true;
}
