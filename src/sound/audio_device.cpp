#include "sound/audio_device.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "sound/wav.h"

namespace {

bool ReadBytes(const std::filesystem::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return static_cast<bool>(in) || in.eof();
}

// OpenAL Soft and ALSA tell of a missing device in many lines on standard error; we say it in
// one. ALSOFT_LOGLEVEL set by the user keeps their messages.
class QuietStandardError {
 public:
  QuietStandardError() {
    if (std::getenv("ALSOFT_LOGLEVEL") != nullptr) return;
    std::fflush(stderr);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) return;
    saved_ = ::dup(2);
    if (saved_ >= 0) ::dup2(null, 2);
    ::close(null);
  }
  ~QuietStandardError() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, 2);
    ::close(saved_);
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace

AudioDevice::~AudioDevice() {
  if (device_ == nullptr) return;
  alSourceStopv(kVoices, sources_.data());
  alDeleteSources(kVoices, sources_.data());
  for (unsigned b : buffers_)
    if (b != 0) alDeleteBuffers(1, &b);
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(context_);
  alcCloseDevice(device_);
}

bool AudioDevice::Open(const std::string& device, const std::filesystem::path& folder,
                       std::string& error, std::string& problems) {
  {
    QuietStandardError quiet;
    device_ = alcOpenDevice(device.empty() ? nullptr : device.c_str());
    if (device_ != nullptr) context_ = alcCreateContext(device_, nullptr);
  }
  if (device_ == nullptr) {
    error = "no audio device";
    return false;
  }
  if (context_ == nullptr || alcMakeContextCurrent(context_) == ALC_FALSE) {
    if (context_ != nullptr) alcDestroyContext(context_);
    alcCloseDevice(device_);
    device_ = nullptr;
    context_ = nullptr;
    error = "the audio device gives no context";
    return false;
  }
  // Our own attenuation (Place) sets each voice's gain.
  alDistanceModel(AL_NONE);
  alGenSources(kVoices, sources_.data());
  for (int k = 0; k < kSoundKinds; ++k) {
    const std::filesystem::path path = folder / kSoundFiles[static_cast<size_t>(k)];
    std::string bytes;
    std::string why;
    Wav wav;
    if (!ReadBytes(path, bytes)) {
      problems += path.string() + ": cannot be read\n";
      continue;
    }
    if (!ParseWav(bytes, wav, why)) {
      problems += path.string() + ": " + why + "\n";
      continue;
    }
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, wav.Channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16,
                 wav.Samples.data(), static_cast<ALsizei>(wav.Samples.size() * 2), wav.Rate);
    buffers_[static_cast<size_t>(k)] = buffer;
  }
  return true;
}

void AudioDevice::SetListener(float x, float y) {
  if (device_ == nullptr) return;
  listenerX_ = x;
  listenerY_ = y;
  alListener3f(AL_POSITION, x, y, 0);
}

void AudioDevice::Play(int voice, SoundKind kind, float pan, float gain) {
  if (device_ == nullptr || voice < 0 || voice >= kVoices) return;
  const ALuint buffer = buffers_[static_cast<size_t>(KindIndex(kind))];
  if (buffer == 0) return;
  const ALuint source = sources_[static_cast<size_t>(voice)];
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
  // One unit from the listener, at pan x 90 degrees to the side (the listener faces -z).
  const float angle = pan * 1.5707964f;
  alSource3f(source, AL_POSITION, listenerX_ + std::sin(angle), listenerY_, -std::cos(angle));
  alSourcef(source, AL_GAIN, gain);
  alSourcePlay(source);
}

std::array<bool, kVoices> AudioDevice::Playing() const {
  std::array<bool, kVoices> playing{};
  if (device_ == nullptr) return playing;
  for (int v = 0; v < kVoices; ++v) {
    ALint state = AL_STOPPED;
    alGetSourcei(sources_[static_cast<size_t>(v)], AL_SOURCE_STATE, &state);
    playing[static_cast<size_t>(v)] = state == AL_PLAYING || state == AL_PAUSED;
  }
  return playing;
}

void AudioDevice::StopAll() {
  if (device_ != nullptr) alSourceStopv(kVoices, sources_.data());
}

void AudioDevice::Pause(bool paused) {
  if (device_ == nullptr) return;
  for (ALuint source : sources_) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (paused && state == AL_PLAYING) alSourcePause(source);
    if (!paused && state == AL_PAUSED) alSourcePlay(source);
  }
}

void AudioDevice::SetVolume(float volume) {
  if (device_ != nullptr) alListenerf(AL_GAIN, volume);
}
