// The OpenAL device: a context, one buffer per kind of sound and kVoices sources. Without a
// device every call does nothing.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "sound/sound_kinds.h"
#include "sound/voices.h"

class AudioDevice {
 public:
  AudioDevice() = default;
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;
  ~AudioDevice();

  // Opens the device (empty: the system's default) and loads every sound of the folder; false
  // with the reason when there is no device. A sound file that cannot be read only silences its
  // kind (a line in problems).
  bool Open(const std::string& device, const std::filesystem::path& folder, std::string& error,
            std::string& problems);
  bool open() const { return device_ != nullptr; }

  // The listener at a world point; a voice sounds from `pan` (-1 left .. 1 right) beside it.
  void SetListener(float x, float y);
  void Play(int voice, SoundKind kind, float pan, float gain);
  std::array<bool, kVoices> Playing() const;
  void StopAll();
  void Pause(bool paused);
  // The master volume, 0..1.
  void SetVolume(float volume);

 private:
  struct ALCdevice_struct* device_ = nullptr;
  struct ALCcontext_struct* context_ = nullptr;
  std::array<unsigned, kSoundKinds> buffers_{};  // 0: not loaded
  std::array<unsigned, kVoices> sources_{};
  float listenerX_ = 0;
  float listenerY_ = 0;
};
