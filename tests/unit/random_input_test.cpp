#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "app/script.h"

namespace {

// Data folders are read relative to the working directory.
struct InDataDir {
  std::string previous;
  bool ok = false;
  InDataDir() {
    char buf[4096];
    if (getcwd(buf, sizeof buf)) previous = buf;
    ok = chdir(RTS_SOURCE_DIR "/data") == 0;
  }
  ~InDataDir() {
    if (!previous.empty() && chdir(previous.c_str()) != 0) std::abort();
  }
};

}  // namespace

// Random mouse moves, clicks, combo choices, check boxes, buttons and resizes on the
// running test level: nothing may crash, hang or leave a NaN behind.
TEST(RandomInput, HundredThousandFramesOfNoise) {
  InDataDir dir;
  ASSERT_TRUE(dir.ok);
  RecordingPlatform platform;
  platform.fixedSeed = 99;
  HeadlessHost host(platform);
  host.Press(1);
  host.Press(2);
  ASSERT_EQ(host.frontend().world().Objects.size(), 4u);

  const char* env = std::getenv("RTS_RANDOM_FRAMES");
  const long frames = env ? std::atol(env) : 100000;
  std::mt19937 rng(12345);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (long f = 0; f < frames; ++f) {
    int inputs = pick(0, 3);
    for (int k = 0; k < inputs; ++k) {
      switch (pick(0, 9)) {
        case 0:
        case 1:
        case 2:
          host.Move(pick(-20, 520), pick(-20, 480));
          break;
        case 3:
          host.Down(Frontend::Button::Left);
          break;
        case 4:
          host.Down(pick(0, 1) ? Frontend::Button::Right : Frontend::Button::Middle);
          break;
        case 5:
        case 6:
          host.Choose(pick(1, 3), pick(-1, 4));
          break;
        case 7:
          host.Check(pick(1, 2), pick(0, 1) == 1);
          break;
        case 8:
          if (pick(0, 99) == 0) host.Resize(pick(1, 800), pick(1, 600));
          break;
        default:
          host.Press(pick(1, 3));
          break;
      }
    }
    host.Tick();
  }
  const World& w = host.frontend().world();
  for (const TObyekt& o : w.Objects) {
    EXPECT_TRUE(std::isfinite(o.X) && std::isfinite(o.Y));
  }
  EXPECT_GE(host.frontend().state().Frames, static_cast<uint64_t>(frames));  // resizes add frames
}
