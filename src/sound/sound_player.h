// Plays the sounds of a session: finds each frame's events, places them in the view, gives
// them voices and keeps to the pace. Reads the session only: nothing it does changes a match.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/session.h"
#include "app/volume.h"
#include "sound/audio_device.h"
#include "sound/placement.h"
#include "sound/sound_events.h"
#include "sound/voices.h"

struct SoundOptions {
  bool muted = false;
  std::string device;                           // empty: the system's default
  std::filesystem::path folder = kSoundFolder;  // relative to the data folder
  std::function<int64_t()> clock;               // real milliseconds; empty: the steady clock
  bool openDevice = true;                       // false: find and place, play nothing
};

class SoundPlayer : public SessionListener, public Volume {
 public:
  // Opens the device; without one, a line on err and silence.
  SoundPlayer(const SoundOptions& options, std::ostream& err);

  void CommandApplied(Session& session, const Command& command) override;
  void FrameDone(Session& session) override;
  void Ticked(Session& session) override;

  // M; Shift+M and Ctrl+M; the game menu sets the volume directly.
  void ToggleMute() override { SetMuted(!muted_); }
  void SetMuted(bool muted);
  bool muted() const override { return muted_; }
  void Louder() override { SetVolume(volume_ + kVolumeStep); }
  void Softer() override { SetVolume(volume_ - kVolumeStep); }
  void SetVolume(float volume);  // 0..1
  float volume() const override { return volume_; }
  static constexpr float kVolumeStep = 0.1f;

  bool deviceOpen() const { return device_.open(); }

  // A sound started, for tests and measurements.
  struct Started {
    SoundKind Kind;
    uint64_t Frame;
    int64_t Ms;
    float Pan;
    float Gain;
  };
  const std::vector<Started>& started() const { return started_; }
  void KeepLog(bool keep) { keepLog_ = keep; }

 private:
  int64_t Now() const;
  void Rebase(Session& session);

  SoundOptions options_;
  AudioDevice device_;
  EventFinder finder_;
  VoicePool voices_;
  RateLimit rate_;
  bool muted_ = false;
  float volume_ = 0.8f;
  bool paused_ = false;
  uint64_t lastFrame_ = 0;
  bool based_ = false;
  bool keepLog_ = false;
  std::vector<Started> started_;
};

// The world area a session's view shows.
ViewArea ViewOf(Session& session);
