// The sound effects: a tiny synthesiser (oscillators, noise, attack-decay envelopes, one-pole
// filters, pitch glides) with fixed numbers, so every run writes the same bytes.
#include "sounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <string>

#include "sound/sound_kinds.h"

namespace {

constexpr double kTau = 6.283185307179586;
constexpr float kPeak = 0.7f;  // about -3 dBFS

using Samples = std::vector<float>;

Samples Silence(double seconds) {
  return Samples(static_cast<size_t>(seconds * kSoundRate), 0.0f);
}

// White noise in -1..1 from a fixed linear congruential generator.
struct Noise {
  uint32_t state;
  float Next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) / static_cast<float>(1 << 23) - 1.0f;
  }
};

// Rises linearly over `attack` seconds, then falls exponentially with time constant `decay`.
float Envelope(double t, double attack, double decay) {
  if (t < attack) return static_cast<float>(t / attack);
  return static_cast<float>(std::exp(-(t - attack) / decay));
}

// Fades the last 10 ms out: a part that stops is never a click.
Samples FadeOut(Samples s) {
  const size_t fade = std::min(s.size(), static_cast<size_t>(0.01 * kSoundRate));
  for (size_t i = 0; i < fade; ++i) s[s.size() - 1 - i] *= static_cast<float>(i) / fade;
  return s;
}

// A tone whose pitch glides exponentially from f0 to f1 over its length; `harmonics` odd and
// even partials at 1/n (a soft saw), 1 for a sine.
Samples Tone(double seconds, double f0, double f1, int harmonics, double attack, double decay) {
  Samples out = Silence(seconds);
  double phase = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSoundRate;
    const double f = f0 * std::pow(f1 / f0, t / seconds);
    phase += kTau * f / kSoundRate;
    double v = 0;
    for (int n = 1; n <= harmonics; ++n) {
      // Partials above a third of the rate are left out: no aliasing.
      if (f * n < kSoundRate / 3.0) v += std::sin(phase * n) / n;
    }
    out[i] = static_cast<float>(v) * Envelope(t, attack, decay);
  }
  return FadeOut(out);
}

// A bell: a sine with an inharmonic partial (2.76x) that dies sooner.
Samples Bell(double seconds, double f, double decay) {
  Samples out = Silence(seconds);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSoundRate;
    const double v = std::sin(kTau * f * t) * Envelope(t, 0.003, decay) +
                     0.35 * std::sin(kTau * f * 2.76 * t) * Envelope(t, 0.002, decay * 0.4);
    out[i] = static_cast<float>(v);
  }
  return FadeOut(out);
}

// Noise through a one-pole low-pass at `cutoff` Hz, shaped by an envelope.
Samples NoiseBurst(double seconds, double cutoff, double attack, double decay, uint32_t seed) {
  Samples out = Silence(seconds);
  Noise noise{seed};
  const float a = static_cast<float>(1.0 - std::exp(-kTau * cutoff / kSoundRate));
  float y = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSoundRate;
    y += a * (noise.Next() - y);
    out[i] = y * Envelope(t, attack, decay);
  }
  return FadeOut(out);
}

void LowPass(Samples& s, double cutoff) {
  const float a = static_cast<float>(1.0 - std::exp(-kTau * cutoff / kSoundRate));
  float y = 0;
  for (float& v : s) v = y += a * (v - y);
}

// Removes the constant part and very low rumble (one-pole high-pass at `cutoff` Hz).
void HighPass(Samples& s, double cutoff) {
  const float a = static_cast<float>(std::exp(-kTau * cutoff / kSoundRate));
  float lastIn = 0, y = 0;
  for (float& v : s) {
    y = a * (y + v - lastIn);
    lastIn = v;
    v = y;
  }
}

// Adds `part` into `out` from `at` seconds on, scaled by gain; out grows as needed.
void Mix(Samples& out, const Samples& part, double at, float gain) {
  const size_t start = static_cast<size_t>(at * kSoundRate);
  if (out.size() < start + part.size()) out.resize(start + part.size(), 0.0f);
  for (size_t i = 0; i < part.size(); ++i) out[start + i] += part[i] * gain;
}

// No constant offset, the peak at kPeak, 5 ms fades at both ends: no click.
Samples Finish(Samples s) {
  HighPass(s, 20);
  const size_t fade = std::min(s.size() / 2, static_cast<size_t>(0.005 * kSoundRate));
  for (size_t i = 0; i < fade; ++i) {
    const float g = static_cast<float>(i) / static_cast<float>(fade);
    s[i] *= g;
    s[s.size() - 1 - i] *= g;
  }
  // The offset is taken out under a window that is 0 at both ends, which stay silent.
  double sum = 0, weights = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    sum += s[i];
    weights += std::sin(kTau / 2 * static_cast<double>(i) / static_cast<double>(s.size()));
  }
  for (size_t i = 0; i < s.size() && weights > 0; ++i) {
    const double w = std::sin(kTau / 2 * static_cast<double>(i) / static_cast<double>(s.size()));
    s[i] -= static_cast<float>(sum / weights * w);
  }
  float peak = 0;
  for (float v : s) peak = std::max(peak, std::fabs(v));
  if (peak > 0)
    for (float& v : s) v *= kPeak / peak;
  return s;
}

double Note(int semitonesFromA4) {
  return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// Humans: a short two-note horn, up a fourth.
Samples AckHuman() {
  Samples s;
  Mix(s, Tone(0.13, Note(-2), Note(-2), 6, 0.015, 0.09), 0, 1.0f);
  Mix(s, Tone(0.2, Note(3), Note(3), 6, 0.015, 0.08), 0.11, 1.0f);
  LowPass(s, 2500);
  return Finish(s);
}

// Orcs: a low growl, a rough saw gliding down with a throaty flutter.
Samples AckOrc() {
  Samples s = Tone(0.34, 125, 92, 10, 0.02, 0.16);
  Noise noise{7};
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kSoundRate;
    const float flutter = static_cast<float>(0.65 + 0.35 * std::sin(kTau * 28 * t));
    s[i] = s[i] * flutter + 0.08f * noise.Next() * Envelope(t, 0.02, 0.1);
  }
  LowPass(s, 900);
  return Finish(s);
}

// A blade: a bright click and a short metallic ring.
Samples BlowCut() {
  Samples s = NoiseBurst(0.16, 6000, 0.001, 0.012, 11);
  HighPass(s, 1500);
  Mix(s, Bell(0.16, 1870, 0.045), 0, 0.25f);
  Mix(s, Bell(0.16, 2950, 0.03), 0, 0.15f);
  return Finish(s);
}

// A club: a dull thud, a falling low sine under soft noise.
Samples BlowCrush() {
  Samples s = Tone(0.18, 140, 55, 1, 0.002, 0.05);
  Mix(s, NoiseBurst(0.18, 900, 0.001, 0.03, 13), 0, 0.6f);
  return Finish(s);
}

// A unit falls: a short falling cry and a soft thump.
Samples DeathUnit() {
  Samples s = Tone(0.32, 330, 150, 5, 0.01, 0.12);
  LowPass(s, 1400);
  Mix(s, Tone(0.12, 110, 50, 1, 0.002, 0.04), 0.24, 0.8f);
  Mix(s, NoiseBurst(0.12, 700, 0.001, 0.03, 17), 0.24, 0.4f);
  return Finish(s);
}

// A building crumbles: a rumble and falling stones over half a second.
Samples DeathBuilding() {
  Samples s = NoiseBurst(0.6, 400, 0.02, 0.25, 19);
  Mix(s, Tone(0.6, 70, 40, 1, 0.01, 0.25), 0, 0.7f);
  Noise timing{23};
  for (int k = 0; k < 9; ++k) {
    const double at = 0.03 + 0.055 * k + 0.02 * (timing.Next() + 1);
    Mix(s, NoiseBurst(0.06, 1800 - 120 * k, 0.001, 0.012, 29 + k), at, 0.5f - 0.03f * k);
  }
  return Finish(s);
}

// Work begins: two wooden knocks.
Samples BuildBegun() {
  Samples knock = Tone(0.07, 620, 540, 2, 0.001, 0.018);
  Mix(knock, NoiseBurst(0.07, 2500, 0.001, 0.008, 31), 0, 0.3f);
  Samples s;
  Mix(s, knock, 0, 1.0f);
  Mix(s, knock, 0.13, 0.8f);
  return Finish(s);
}

// A building stands: a rising chime, C E G.
Samples BuildDone() {
  Samples s;
  Mix(s, Bell(0.35, Note(3), 0.12), 0, 0.8f);
  Mix(s, Bell(0.35, Note(7), 0.12), 0.09, 0.8f);
  Mix(s, Bell(0.45, Note(10), 0.16), 0.18, 0.9f);
  return Finish(s);
}

// Ore delivered: two coins clink.
Samples Ore() {
  Samples s;
  Mix(s, Bell(0.15, 1568, 0.04), 0, 0.8f);
  Mix(s, Bell(0.18, 2093, 0.05), 0.07, 0.7f);
  return Finish(s);
}

// A unit trained: a soft rising call, E then A.
Samples Trained() {
  Samples s;
  Mix(s, Tone(0.12, Note(7), Note(7), 3, 0.01, 0.07), 0, 0.9f);
  Mix(s, Tone(0.2, Note(12), Note(12), 3, 0.01, 0.09), 0.1, 1.0f);
  LowPass(s, 3000);
  return Finish(s);
}

// A melody of (semitone from A4, start, length) notes, each a soft horn with a fifth below.
Samples Melody(const std::vector<std::array<double, 3>>& notes, double decayScale) {
  Samples s;
  for (const auto& [semitone, at, length] : notes) {
    const double f = Note(static_cast<int>(semitone));
    Mix(s, Tone(length, f, f, 5, 0.02, length * decayScale), at, 0.7f);
    Mix(s, Tone(length, f * 2 / 3, f * 2 / 3, 3, 0.03, length * decayScale), at, 0.35f);
  }
  LowPass(s, 2200);
  return s;
}

// Victory: a bright fanfare rising to the octave.
Samples Victory() {
  Samples s = Melody({{3, 0.0, 0.25},
                      {7, 0.22, 0.25},
                      {10, 0.44, 0.25},
                      {15, 0.66, 0.5},
                      {10, 1.1, 0.2},
                      {15, 1.28, 1.6}},
                     0.45);
  Mix(s, Bell(1.6, Note(15) * 2, 0.4), 1.28, 0.2f);
  return Finish(s);
}

// Defeat: a slow falling line in a minor key.
Samples Defeat() {
  Samples s = Melody(
      {{0, 0.0, 0.5}, {-4, 0.45, 0.5}, {-7, 0.9, 0.5}, {-9, 1.35, 0.5}, {-12, 1.8, 1.6}}, 0.4);
  LowPass(s, 1500);
  return Finish(s);
}

void Le16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Le32(std::vector<uint8_t>& out, uint32_t v) {
  Le16(out, v & 0xFFFF);
  Le16(out, v >> 16);
}

}  // namespace

std::vector<SoundClip> MakeSounds() {
  Samples (*const makers[kSoundKinds])() = {AckHuman,  AckOrc,        BlowCut,    BlowCrush,
                                            DeathUnit, DeathBuilding, BuildBegun, BuildDone,
                                            Ore,       Trained,       Victory,    Defeat};
  std::vector<SoundClip> out;
  for (int k = 0; k < kSoundKinds; ++k)
    out.push_back({kSoundFiles[static_cast<size_t>(k)], makers[k]()});
  return out;
}

std::vector<uint8_t> EncodeWav(const std::vector<float>& samples, int rate) {
  const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  for (char c : std::string("RIFF")) out.push_back(static_cast<uint8_t>(c));
  Le32(out, 36 + dataBytes);
  for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
  Le32(out, 16);
  Le16(out, 1);  // PCM
  Le16(out, 1);  // mono
  Le32(out, static_cast<uint32_t>(rate));
  Le32(out, static_cast<uint32_t>(rate) * 2);
  Le16(out, 2);
  Le16(out, 16);
  for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
  Le32(out, dataBytes);
  for (float v : samples) {
    const long q = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
    Le16(out, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(q))));
  }
  return out;
}

bool WriteSounds(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  bool ok = true;
  for (const SoundClip& clip : MakeSounds()) {
    const std::vector<uint8_t> bytes = EncodeWav(clip.samples, kSoundRate);
    std::ofstream out(folder / clip.file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ok = static_cast<bool>(out) && ok;
  }
  return ok;
}
