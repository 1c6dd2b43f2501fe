// The shipped sound effects, synthesised: oscillators and noise shaped by envelopes and filters.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

constexpr int kSoundRate = 22050;  // samples per second, mono 16-bit

// One effect's samples in -1..1 before it is written.
struct SoundClip {
  std::string file;  // in the sounds folder
  std::vector<float> samples;
};

// Every effect the program plays, in a fixed order.
std::vector<SoundClip> MakeSounds();

// Mono 16-bit PCM WAV bytes of the samples (scaled to the int16 range, rounded).
std::vector<uint8_t> EncodeWav(const std::vector<float>& samples, int rate);

// Writes every effect into the folder; false when a file cannot be written.
bool WriteSounds(const std::filesystem::path& folder);
