// Long scripted matches whose state hashes were recorded once: any change of behaviour,
// however small, changes them. Run with RTS_PIN_PRINT=1 to print the values afresh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/script.h"
#include "app/state_hash.h"
#include "test_files.h"
#include "util/cp1251.h"

namespace fs = std::filesystem;

namespace {

// Our own generator, so the scripts do not depend on the library's distributions.
struct Lcg {
  uint32_t s;
  int Next(int n) {
    s = s * 1664525u + 1013904223u;
    return static_cast<int>((s >> 8) % static_cast<uint32_t>(n));
  }
};

// Runs each line as it is made, so that clicks can aim at objects where they stand now.
struct Session {
  RecordingPlatform platform;
  HeadlessHost host{platform};
  std::string script;
  std::ostringstream out;

  Session() { platform.fixedSeed = 1; }
  void Run(const std::string& line) {
    script += line + "\n";
    std::istringstream in(line + "\n");
    std::ostringstream err;
    ASSERT_EQ(RunScript(in, host, out, err), 0) << line << ": " << err.str();
  }
  // View pixels (y from the top) of object n's centre.
  std::string At(size_t n) {
    Frontend& f = host.frontend();
    const TObyekt& o = host.frontend().world().Objects[n];
    const int x = static_cast<int>(o.X + f.state().CameraX);
    const int y = host.controls().ViewHeight() - static_cast<int>(o.Y + f.state().CameraY);
    return "move " + std::to_string(x) + " " + std::to_string(y);
  }
};

std::string PlayMatch(uint32_t variant, int blocks, std::string* script = nullptr);

// A whole match: load, level, then blocks of clicks on objects, combo choices, orders,
// check boxes, resizes, field and money edits, and runs of frames.
std::string PlayMatch(uint32_t variant, int blocks, std::string* script) {
  Session s;
  Lcg rng{variant * 7919u + 3u};
  s.Run("seed " + std::to_string(100 + variant) + " " + std::to_string(200 + variant));
  s.Run("resize 520 460");
  s.Run("tick 2");
  s.Run("press 2");
  s.Run("press 1");
  s.Run("tick");
  s.Run("press 2");
  s.Run("check 1 on");
  for (int b = 0; b < blocks; ++b) {
    const size_t count = s.host.frontend().world().Objects.size();
    switch (rng.Next(12)) {
      case 0:
      case 1:  // select an object, then order it to a point
        s.Run(s.At(static_cast<size_t>(rng.Next(static_cast<int>(count)))));
        s.Run("down left");
        s.Run("tick");
        s.Run("move " + std::to_string(rng.Next(520)) + " " + std::to_string(rng.Next(460)));
        s.Run("down right");
        break;
      case 2:  // attack mode on another object
        s.Run("choose 1 " + std::to_string(rng.Next(3) - 1));
        s.Run(s.At(static_cast<size_t>(rng.Next(static_cast<int>(count)))));
        s.Run("down right");
        break;
      case 3:  // build mode at a point
        s.Run("choose 2 " + std::to_string(rng.Next(3) - 1));
        s.Run("move " + std::to_string(rng.Next(520)) + " " + std::to_string(rng.Next(460)));
        s.Run("down right");
        break;
      case 4:  // follow: a right click on an object in move mode
        s.Run(s.At(static_cast<size_t>(rng.Next(static_cast<int>(count)))));
        s.Run("down right");
        break;
      case 5:
        s.Run("choose 3 " + std::to_string(rng.Next(2) - 1));
        s.Run("down " + std::string(rng.Next(2) ? "middle" : "right"));
        break;
      case 6:
        s.Run("check " + std::to_string(1 + rng.Next(2)) + (rng.Next(2) ? " on" : " off"));
        break;
      case 7:
        s.Run("resize " + std::to_string(200 + rng.Next(500)) + " " +
              std::to_string(150 + rng.Next(400)));
        break;
      case 8:  // edge scrolling
        s.Run("move " + std::to_string(rng.Next(3) * 260) + " " +
              std::to_string(rng.Next(3) * 230));
        break;
      case 9:
        s.Run("money " + std::to_string(rng.Next(2)) + " " + std::to_string(rng.Next(300)) + ".5");
        break;
      case 10: {
        const std::string n = std::to_string(rng.Next(static_cast<int>(count)));
        const char* const fields[] = {"Angle 359.5",   "Cargo0 0.3",          "Energy0 5",
                                      "AttackIndex 0", "BuildProgress 7",     "Selected 1",
                                      "Frame 2.25",    "Thought2 idti 10,10", "Action 3"};
        s.Run("set " + n + " " + fields[rng.Next(9)]);
        break;
      }
      default:
        s.Run("down left");
        break;
    }
    s.Run("tick " + std::to_string(1 + rng.Next(120)));
    if (b % 10 == 9) s.Run("hash");
  }
  s.Run("dump");
  if (script) *script = s.script;
  // The dump is folded into one more hash so that its text is pinned too.
  std::string text = s.out.str();
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : text) h = (h ^ c) * 0x100000001b3ull;
  std::string hashes;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() == 16) hashes += line + " ";
  }
  return hashes + "out:" + HashText(h) +
         " frames:" + std::to_string(s.host.frontend().state().Frames) +
         " objects:" + std::to_string(s.host.frontend().world().Objects.size());
}

void Pin(const char* name, uint32_t variant, int blocks, const std::string& pinned) {
  const std::string got = PlayMatch(variant, blocks);
  if (std::getenv("RTS_PIN_PRINT")) std::cout << name << ": " << got << "\n";
  EXPECT_EQ(got, pinned) << name;
}

// A copy of the shipped data with other numbers: cheap fast workers, small loads, a small base.
fs::path WriteOwnData() {
  const fs::path dir = fs::temp_directory_path() / ("hash_pin_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::copy(RTS_SOURCE_DIR "/data", dir, fs::copy_options::recursive);
  auto rewrite = [&](const char* file, const char* from, const char* to) {
    std::ifstream in(dir / file, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    const std::string f = ToCp1251(from);
    const size_t at = text.find(f);
    ASSERT_NE(at, std::string::npos) << file << ": " << from;
    text.replace(at, f.size(), ToCp1251(to));
    std::ofstream(dir / file, std::ios::binary) << text;
  };
  rewrite("ludi/krestyanin.txt", "руда 40", "руда 7");
  rewrite("ludi/krestyanin.txt", "золото 50", "золото 15");
  rewrite("ludi/krestyanin.txt", "10 256", "14 256");
  rewrite("ludi/ratusha.txt", "золото 480", "золото 90");
  rewrite("ludi/rudnik.txt", "8000", "300");
  return dir;
}

}  // namespace

TEST(HashPin, ShippedDataMatches) {
  InDir in(RTS_SOURCE_DIR "/data");
  Pin("shipped 1", 1, 400,
      "4777f8530990578d dd4ddfd40a3fb66f a120c0cb12b0c91d 1893611d58731da8 "
      "c4cd0491580374c3 333c786c08a8ac9e 85122a315fe93100 8d5d4937291eefda "
      "3d0be72e401b4c7a 7cee64a911174e45 dfb526aaa044f7d8 8d79967d04666a5b "
      "eb82a758eff442ef 58fb50220a616b24 4cc0b5dab7bca364 4d74ea071cf43b5a "
      "fed1ce5c5a6ba7f8 52e9781ec67c9dba 2aedbe6f3090c140 a7def3eaa3f22ec5 "
      "841e60b6a85b76f4 712438238273dcc4 15985682ad9c268a b91497df083bb03b "
      "f06d239e87ffd469 fa66c6500fa645c2 3366e7a1156c69f6 5c02a929e1c471f6 "
      "86ac4e9909fdb32f 5c5a9384382b102a de4b3c483a3fb791 bbabc71b87eb2918 "
      "a698e28eb488f5db f5df6248a6789214 82dc32f9464b5f9a 1146d45951a70bc8 "
      "c7060b5a7dae9e9b 62591d6b45a16cf4 1cb9a4fc6bf50e2f ac541a0b2651bed4 "
      "out:76430d7dd03e032b frames:23963 objects:40");
  Pin("shipped 2", 2, 400,
      "f576400f898696be 60e46d37dade8c3e 96893c63ef5cbbad 94819fa644bef330 "
      "9051ca44714f7419 2a96a20ff33e308e 01c2534a8fdbb0ef 98b4cadcb9b596d7 "
      "b14049089964be21 c8cbc3caf656f3da d7a81630f85bf30f f3f08b6299f45cc0 "
      "f29d41ce2ecde965 622c3d57b25343a9 6f57c6ca673a8871 231f31e7c286e2ab "
      "a4485789146b9391 53001236be845149 4dffadf7d9d22b98 5091dcb92819013f "
      "4eca2ab5077dfaf7 d2c77bf4a4d6a561 9f65ad4e74109abb d7e9a8a7052c3357 "
      "1c01ea38a9438b82 000b4009349025d9 622e3eb5e7833cd9 f327be3adfe68d20 "
      "d0f4bb0ee84c3e0c 1021a81866b4c93a 9584fad91921f9b7 4e5043fcc5788c90 "
      "3b5e96bc5c94337c da256da7796c5574 a50f5cd19d7c3f90 138507bc4836639e "
      "5d960fac976df36e 5795f210bd3ce5c3 cd5c916a0485d71a 179549d7d4a44ecd "
      "out:2567cab27155fc75 frames:25012 objects:15");
}

TEST(HashPin, OwnDataMatches) {
  const fs::path dir = WriteOwnData();
  {
    InDir in(dir);
    Pin("own 3", 3, 500,
        "c3cd7f4a5e0e7c73 65d39017525a723f 1ea28b907945a45d e534a2de03bd8ca6 "
        "3c69b628aeefa13d a13c7c1bf6dfd0fe e6c0fb2a3308bc29 daaed26b5c37e894 "
        "7039a7673a792731 a2e054119612ffef 3861405398dd3d3d 9a7cb7be31037a06 "
        "951c9a1e3daeeda7 7815ec45e0fa4683 08f4173b98ac1ec0 69825e20e1d35ee8 "
        "66263ab687081c1c d11ee90499d7987e ab06327ae6091a15 6b82cf4691e0ad57 "
        "65361baa8e9189cd 7716851399c504af d8b97f2892c015e6 1f8eab7c18c17515 "
        "f773d5116ecf72f2 a301a108e855c93e aefe7243a19f9d06 7a8e0c72a6015c6a "
        "0ac002bba40710d1 08aafe01b08c3081 8a1173cbca719357 15e778aeaf134951 "
        "1b21a4a9c7883e51 6228847bd020344f d1fbfbb9d807f13c 22feddce6643d0ec "
        "bb9cc8e4bdb9ab4a 7e9db2d99c54c80d 59dce1d67de0766a 7b31a917ad78b691 "
        "aa4ef0fd17d79c62 aa56aee24c4b4629 2beb778d9b8aecf0 4ca992afd447e4ae "
        "ec03cd1f8dc89075 6eff14cee673251c 8ba7340f10423f6a 7d20eca8f8705b19 "
        "1074d9b7a2af37ec 7fd1cda42ca01ece out:f3c48d1e36cc768c frames:30571 "
        "objects:20");
  }
  fs::remove_all(dir);
}

// Runs lines [from, to) of a script; what it prints.
std::string RunLines(HeadlessHost& host, const Script& script, size_t from, size_t to) {
  std::ostringstream out, err;
  EXPECT_EQ(RunScript(Script(script.begin() + static_cast<ptrdiff_t>(from),
                             script.begin() + static_cast<ptrdiff_t>(to)),
                      host, out, err),
            0)
      << err.str();
  return out.str();
}

// A snapshot restored into a fresh session, or into the same session later on (a rewind),
// goes on exactly as the session it was taken from.
TEST(HashPin, SnapshotsResumeInSync) {
  InDir in(RTS_SOURCE_DIR "/data");
  for (uint32_t variant : {1u, 2u, 4u}) {
    std::string text;
    PlayMatch(variant, 150, &text);
    std::istringstream lines(text);
    const Script script = ReadScript(lines);
    const size_t n = script.size();
    for (size_t cut : {n / 7, n / 2, n - n / 9}) {
      RecordingPlatform pa, pb;
      pa.fixedSeed = pb.fixedSeed = 1;
      HeadlessHost a(pa), b(pb);
      RunLines(a, script, 0, cut);
      const SessionSnapshot snapshot = a.Save();
      const std::string straight = RunLines(a, script, cut, n);
      const std::string end = HashText(StateHash(a.frontend()));

      b.Restore(snapshot);
      EXPECT_EQ(RunLines(b, script, cut, n), straight) << variant << " at " << cut;
      EXPECT_EQ(HashText(StateHash(b.frontend())), end);

      a.Restore(snapshot);
      EXPECT_EQ(RunLines(a, script, cut, n), straight) << variant << " rewound to " << cut;
      EXPECT_EQ(HashText(StateHash(a.frontend())), end);
    }
  }
}
