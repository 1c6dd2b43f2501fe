// Runs the shipped test level headless for many frames, checking the world as it goes:
//   soak [FRAMES] [SEED] [CHECK_EVERY]
// Prints frames per second and peak memory; exits 1 on the first broken invariant.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/script.h"
#include "game/order_language.h"

namespace {

bool Finite(float v) {
  return std::isfinite(v);
}

// True for an order the system's writers produce: empty, or a verb with its numbers.
bool InGrammar(const std::string& order) {
  return order.empty() || ParseOrder(order).has_value();
}

// Fixed memory allowance; AddressSanitizer's shadow and freed-memory quarantine (256 MB)
// come on top of it in the sanitizer build.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kBaseKb = 800 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr long kBaseKb = 800 * 1024;
#else
constexpr long kBaseKb = 200 * 1024;
#endif
#else
constexpr long kBaseKb = 200 * 1024;
#endif

long PeakKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

int Fail(uint64_t frame, const std::string& what) {
  std::fprintf(stderr, "soak: frame %llu: %s\n", static_cast<unsigned long long>(frame),
               what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  uint64_t frames = argc > 1 ? std::stoull(argv[1]) : 1000000;
  uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::stoul(argv[2])) : 1;
  uint64_t every = argc > 3 ? std::stoull(argv[3]) : 100;
  if (chdir(RTS_SOURCE_DIR "/data") != 0) return Fail(0, "no data folder");

  RecordingPlatform platform;
  platform.fixedSeed = seed;
  HeadlessHost host(platform);
  host.Press(1);
  host.Press(2);
  World& w = host.frontend().world();
  if (w.Objects.size() != 4) return Fail(0, "the test level did not start");

  // Ore bookkeeping in doubles: deposits only lose ore to miners, units only gain it by
  // mining and only lose it by delivering.
  auto isDeposit = [&](const TObyekt& o) { return o.Side == kNeutralSide; };
  std::vector<float> lastCargo;
  double taken = 0, delivered = 0;
  auto account = [&] {
    for (size_t i = 0; i < w.Objects.size(); ++i) {
      float now = CargoOf(w.Objects[i]);
      float before = i < lastCargo.size() ? lastCargo[i] : 0.0f;
      if (isDeposit(w.Objects[i])) {
        if (now < before) taken += before - now;
      } else if (now < before) {
        delivered += before - now;
      }
    }
    lastCargo.resize(w.Objects.size());
    for (size_t i = 0; i < w.Objects.size(); ++i) lastCargo[i] = CargoOf(w.Objects[i]);
  };
  account();

  auto start = std::chrono::steady_clock::now();
  for (uint64_t f = 1; f <= frames; ++f) {
    host.Tick();
    account();
    if (f % every != 0 && f != frames) continue;
    for (size_t i = 0; i < w.Objects.size(); ++i) {
      const TObyekt& o = w.Objects[i];
      std::string id = "object " + std::to_string(i);
      if (!Finite(o.X) || !Finite(o.Y) || !Finite(o.Angle)) return Fail(f, id + " position");
      for (float e : o.Energy)
        if (!Finite(e)) return Fail(f, id + " energy");
      for (float c : o.Cargo)
        if (!Finite(c)) return Fail(f, id + " cargo");
      if (!InGrammar(o.Thought1) || !InGrammar(o.Thought2)) {
        return Fail(f, id + " order '" + o.Thought1 + "' / '" + o.Thought2 + "'");
      }
    }
    for (const TSide& s : w.Sides)
      if (!Finite(s.Money)) return Fail(f, "money");
    double carried = 0;
    for (const TObyekt& o : w.Objects)
      if (!isDeposit(o)) carried += CargoOf(o);
    // Single-precision steps of 0.1 drift a little; allow a small relative error.
    if (std::fabs(taken - (carried + delivered)) > 1e-3 * (taken + 1) + 1) {
      return Fail(f, "ore not conserved: taken " + std::to_string(taken) + ", carried " +
                         std::to_string(carried) + ", delivered " + std::to_string(delivered));
    }
    // Memory grows with objects only: a generous bound per object over a fixed base.
    if (PeakKb() > kBaseKb + static_cast<long>(w.Objects.size()) * 64) {
      return Fail(f, "memory " + std::to_string(PeakKb()) + " kB for " +
                         std::to_string(w.Objects.size()) + " objects");
    }
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  size_t alive = 0;
  for (const TObyekt& o : w.Objects) alive += IsAlive(o);
  std::printf(
      "soak: %llu frames in %.1f s (%.0f frames/s), %zu objects (%zu alive), ore taken %.1f "
      "delivered %.1f, money %.1f / %.1f, peak memory %ld kB\n",
      static_cast<unsigned long long>(frames), seconds, frames / seconds, w.Objects.size(), alive,
      taken, delivered, w.Sides[0].Money, w.Sides[1].Money, PeakKb());
  return 0;
}
