#include "sound/wav.h"

#include <algorithm>

namespace {

uint32_t Le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = v << 8 | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
  return v;
}

}  // namespace

bool ParseWav(const std::string& bytes, Wav& wav, std::string& error) {
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
    error = "not a WAV file";
    return false;
  }
  bool format = false;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::string id = bytes.substr(at, 4);
    const uint64_t size = Le(bytes, at + 4, 4);
    const size_t body = at + 8;
    // A data chunk cut short (a capture still being written) is read as far as it goes.
    const uint64_t have = std::min<uint64_t>(size, bytes.size() - body);
    if (id == "fmt ") {
      if (have < 16) break;
      const uint32_t tag = Le(bytes, body, 2);
      wav.Channels = static_cast<int>(Le(bytes, body + 2, 2));
      wav.Rate = static_cast<int>(Le(bytes, body + 4, 4));
      const uint32_t bits = Le(bytes, body + 14, 2);
      // WAVE_FORMAT_EXTENSIBLE (0xFFFE) holds PCM too; its sub-format is not checked.
      if ((tag != 1 && tag != 0xFFFE) || bits != 16 || wav.Channels < 1 || wav.Channels > 2 ||
          wav.Rate <= 0) {
        error = "not 16-bit PCM with one or two channels";
        return false;
      }
      format = true;
    } else if (id == "data") {
      if (!format) break;
      wav.Samples.resize(static_cast<size_t>(have / 2));
      for (size_t i = 0; i < wav.Samples.size(); ++i)
        wav.Samples[i] = static_cast<int16_t>(Le(bytes, body + 2 * i, 2));
      return true;
    }
    at = body + static_cast<size_t>(have) + (have & 1);
  }
  error = format ? "no data chunk" : "no format chunk";
  return false;
}
