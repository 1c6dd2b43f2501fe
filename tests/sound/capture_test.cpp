// The mix as OpenAL Soft writes it with its wave-file driver while a scripted match runs at the
// timer's pace: each event's sound at its frame, on its side; silence when muted; the same
// state hashes with and without sound. Each capture runs in a child process, since OpenAL Soft
// reads its configuration once per process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/script.h"
#include "app/state_hash.h"
#include "sound/sound_player.h"
#include "sound/wav.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kFrames = 520;

// Side 2 and 3 are left alone by the computer; side 0 has a base, side 1 one worker whose
// death decides the match. The view is 640 x 480 around the world's origin.
constexpr const char* kLevel =
    ")казна\n2 1000\n)камера\n0 0\n)объекты\n"
    "ludi Крестьянин 2 -200 0\n"    // 0: ordered at 20, begins a building at 240 (left)
    "orki Батрак 3 250 0\n"         // 1: falls to a swordsman spawned at 80 (right)
    "ludi Крестьянин 2 200 -150\n"  // 2: finishes a town hall at 160 (right)
    "orki Батрак 3 180 150\n"       // 3: delivers ore from 300 (right)
    "orki Стойбище 3 230 150\n"     // 4: its camp
    "ludi Ратуша 2 -250 -150\n"     // 5: trains a worker at 380 (left)
    "ludi Ратуша 0 0 200\n"         // 6: side 0's base
    "orki Батрак 1 0 -200\n";       // 7: side 1's last worker, dead at 460

// Script lines given after the frame of that number.
const std::map<uint64_t, std::string> kInputs = {
    {20, "box 100 220 140 260 new\nmove 160 240\ndown right\n"},
    {80, "set 1 Energy0 1\nspawn 0 3 2 250 18 0\n"},
    {160, "set 2 BuildProgress 479\nset 2 Thought1 stroyka 1,270,-150\n"},
    {240, "set 0 Thought1 stroyka 1,-250,150\n"},
    {300, "set 3 Cargo0 40\nset 3 Thought1 idtiza 4\n"},
    {380, "set 5 BuildProgress 49\nset 5 Thought1 stroyka 0,-250,-90\n"},
    {460, "set 7 Energy0 0\n"},
};

struct Capture {
  std::string hash;
  std::vector<SoundPlayer::Started> started;
};

fs::path Scratch() {
  const fs::path dir = fs::temp_directory_path() / ("rts_sound_" + std::to_string(getpid()));
  fs::create_directories(dir);
  return dir;
}

// The match, heard by the player when given; paced: at 10 ms a frame as the timer runs it.
std::string PlayMatch(SoundPlayer* player, bool paced) {
  const fs::path level = Scratch() / "level.txt";
  std::ofstream(level) << kLevel;
  RecordingPlatform platform;
  platform.fixedSeed = 9;
  HeadlessHost host(platform);
  if (player != nullptr) host.wiring().listener = player;
  std::ostringstream out;
  host.Run("resize 640 480\npress 1\nlevel " + level.string() + "\npress 2\n", out);
  const auto start = std::chrono::steady_clock::now();
  for (uint64_t frame = 1; frame <= kFrames; ++frame) {
    if (paced) std::this_thread::sleep_until(start + std::chrono::milliseconds(10 * frame));
    host.Tick();
    if (auto it = kInputs.find(frame); it != kInputs.end()) host.Run(it->second, out);
  }
  return HashText(StateHash(host.frontend()));
}

// Plays the match with sound in a child process writing the mix to `wav`.
Capture CaptureInChild(const fs::path& wav, bool muted) {
  const fs::path conf = Scratch() / "alsoft.conf";
  std::ofstream(conf) << "[general]\ndrivers = wave\nchannels = stereo\nfrequency = 44100\n"
                         "sample-type = int16\ndither = false\n[wave]\nfile = "
                      << wav.string() << "\n";
  const fs::path log = Scratch() / "started.txt";
  fs::remove(log);
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);
    int status = 1;
    {
      SoundOptions options;
      options.muted = muted;
      SoundPlayer player(options, std::cerr);
      player.KeepLog(true);
      if (player.deviceOpen()) {
        const std::string hash = PlayMatch(&player, true);
        std::ofstream out(log);
        out << hash << "\n";
        for (const auto& s : player.started())
          out << static_cast<int>(s.Kind) << " " << s.Frame << " " << s.Ms << " " << s.Pan << "\n";
        status = out ? 0 : 1;
      }
    }  // the device closes: the file's header is complete
    std::_Exit(status);
  }
  int status = -1;
  waitpid(pid, &status, 0);
  Capture run;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the capture failed";
  std::ifstream in(log);
  in >> run.hash;
  for (int kind = 0; in >> kind;) {
    SoundPlayer::Started s{static_cast<SoundKind>(kind), 0, 0, 0, 1};
    in >> s.Frame >> s.Ms >> s.Pan;
    run.started.push_back(s);
  }
  return run;
}

// A stretch of sound after at least 150 ms of silence in the mix: where it begins and how loud each
// side is over its first 150 ms.
struct Segment {
  double StartMs = 0;
  double Left = 0;
  double Right = 0;
};

std::vector<Segment> Segments(const Wav& wav) {
  constexpr size_t kWindow = 220;  // 5 ms at 44.1 kHz
  const size_t frames = wav.Samples.size() / 2;
  std::vector<Segment> out;
  size_t quiet = 1000;
  for (size_t w = 0; w * kWindow < frames; ++w) {
    double l = 0, r = 0;
    for (size_t i = w * kWindow; i < std::min(frames, (w + 1) * kWindow); ++i) {
      l += std::pow(wav.Samples[2 * i], 2);
      r += std::pow(wav.Samples[2 * i + 1], 2);
    }
    const bool loud = std::sqrt(std::max(l, r) / kWindow) > 150;
    if (loud && quiet >= 30) out.push_back({w * kWindow * 1000.0 / wav.Rate, 0, 0});
    quiet = loud ? 0 : quiet + 1;
    if (!out.empty() && w * kWindow * 1000.0 / wav.Rate < out.back().StartMs + 150) {
      out.back().Left += l;
      out.back().Right += r;
    }
  }
  return out;
}

Wav ReadWav(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Wav wav;
  std::string error;
  EXPECT_TRUE(ParseWav(bytes, wav, error)) << path << ": " << error;
  EXPECT_EQ(wav.Channels, 2);
  return wav;
}

class SoundCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    fs::current_path(RTS_SOURCE_DIR "/data");
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(Scratch());
  }
  fs::path previous_;
};

}  // namespace

TEST_F(SoundCapture, EachEventIsHeardAtItsFrameOnItsSide) {
  const std::string silentHash = PlayMatch(nullptr, false);
  const fs::path wavPath = Scratch() / "mix.wav";
  const Capture run = CaptureInChild(wavPath, false);
  EXPECT_EQ(run.hash, silentHash) << "sound changed the match";

  // What started, in order, with its frame: (kind, first frame, last frame). The resize before
  // the level ran frame 1, so the inputs after frame k act in frame k + 2.
  using K = SoundKind;
  const std::vector<std::tuple<K, uint64_t, uint64_t>> expected = {
      {K::AckHuman, 22, 22},   {K::BlowCut, 82, 86},     {K::BlowCrush, 82, 86},
      {K::DeathUnit, 82, 110}, {K::BuildDone, 162, 162}, {K::BuildBegun, 242, 242},
      {K::Ore, 302, 315},      {K::Trained, 382, 382},   {K::Victory, 462, 462}};
  ASSERT_EQ(run.started.size(), expected.size());
  std::vector<std::vector<SoundPlayer::Started>> groups;
  for (const auto& s : run.started) {
    bool found = false;
    for (const auto& [kind, first, last] : expected) {
      if (kind == s.Kind) {
        found = true;
        EXPECT_GE(s.Frame, first) << static_cast<int>(kind);
        EXPECT_LE(s.Frame, last) << static_cast<int>(kind);
      }
    }
    EXPECT_TRUE(found) << static_cast<int>(s.Kind);
    // Starts less than 300 ms apart sound as one.
    if (groups.empty() || s.Ms - groups.back().front().Ms >= 300) groups.emplace_back();
    groups.back().push_back(s);
  }

  const Wav wav = ReadWav(wavPath);
  ASSERT_EQ(wav.Rate, 44100);
  const std::vector<Segment> segments = Segments(wav);
  ASSERT_EQ(segments.size(), groups.size());
  for (size_t g = 0; g < groups.size(); ++g) {
    // Times from the first sound on: the device's own start and latency drop out.
    const double want = static_cast<double>(groups[g].front().Ms - groups[0].front().Ms);
    const double got = segments[g].StartMs - segments[0].StartMs;
    EXPECT_NEAR(got, want, 60) << "group " << g;
    const float pan = groups[g].front().Pan;
    const double left = segments[g].Left, right = segments[g].Right;
    if (pan < -0.2f) {
      EXPECT_GT(left, 2 * right) << "group " << g << " pan " << pan;
    }
    if (pan > 0.2f) {
      EXPECT_GT(right, 2 * left) << "group " << g << " pan " << pan;
    }
    if (std::fabs(pan) <= 0.2f) {
      EXPECT_GT(left, right / 1.5) << "group " << g;
      EXPECT_GT(right, left / 1.5) << "group " << g;
    }
  }
}

TEST_F(SoundCapture, AMutedRunWritesSilenceAndTheSameMatch) {
  const std::string silentHash = PlayMatch(nullptr, false);
  const fs::path wavPath = Scratch() / "muted.wav";
  const Capture run = CaptureInChild(wavPath, true);
  EXPECT_EQ(run.hash, silentHash);
  EXPECT_TRUE(run.started.empty());
  const Wav wav = ReadWav(wavPath);
  EXPECT_GT(wav.Samples.size(), 2u * 44100 * 4) << "the mix runs as long as the match";
  int peak = 0;
  for (int16_t s : wav.Samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_EQ(peak, 0);
}

// Without a device the player stays silent, says so once and changes nothing.
TEST_F(SoundCapture, NoDeviceRunsSilentlyWithOneLine) {
  const std::string silentHash = PlayMatch(nullptr, false);
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("ALSOFT_DRIVERS", "no_such_driver", 1);
    std::ostringstream err;
    SoundOptions options;
    SoundPlayer player(options, err);
    const bool ok = !player.deviceOpen() &&
                    err.str() == "rtsdemo: no audio device: the game runs without sound\n" &&
                    PlayMatch(&player, false) == silentHash;
    player.ToggleMute();
    player.Louder();
    std::_Exit(ok ? 0 : 1);
  }
  int status = -1;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
