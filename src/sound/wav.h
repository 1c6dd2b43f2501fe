// Reading 16-bit PCM WAV files (the data set's sounds, the captured mix in tests). Stateless.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Wav {
  int Rate = 0;      // samples per second
  int Channels = 0;  // 1 or 2; stereo samples interleaved left, right
  std::vector<int16_t> Samples;
};

// Parses the bytes of a WAV file; false with the reason for anything but 16-bit PCM with one
// or two channels, or a chunk that runs past the end.
bool ParseWav(const std::string& bytes, Wav& wav, std::string& error);
