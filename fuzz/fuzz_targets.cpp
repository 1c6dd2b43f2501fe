// The logic of the fuzz targets; see fuzz_targets.h.
#include "fuzz_targets.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/script.h"
#include "game/contacts.h"
#include "game/data_check.h"
#include "game/loader.h"
#include "game/opponent.h"
#include "game/order_language.h"
#include "game/orders.h"
#include "util/cp1251.h"

namespace {

std::string CheckWorld(const World& w) {
  for (size_t i = 0; i < w.Objects.size(); ++i) {
    const TObyekt& o = w.Objects[i];
    if (!std::isfinite(o.X) || !std::isfinite(o.Y) || !std::isfinite(o.Angle))
      return "object " + std::to_string(i) + " has a non-finite position or angle";
  }
  for (const TSide& s : w.Sides) {
    if (std::isnan(s.Money)) return "money is NaN";
  }
  return {};
}

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  uint8_t Byte() { return pos < size ? data[pos++] : 0; }
  std::string Text() {
    const uint8_t head = Byte();
    // One input in eight is an order as the writers make it, with small numbers.
    if (head >= 224) {
      Order order{static_cast<Verb>(head % kVerbWords.size()), {}};
      for (int32_t& n : order.Numbers) n = static_cast<int8_t>(Byte());
      return OrderText(order);
    }
    size_t len = head % 24;
    std::string s;
    for (size_t i = 0; i < len; ++i) {
      // Mostly order-like characters, sometimes any byte.
      static const char kAlphabet[] = "idtzaokvrysbch -,0123456789";
      uint8_t b = Byte();
      s.push_back(b < 200 ? kAlphabet[b % (sizeof kAlphabet - 1)] : static_cast<char>(b));
    }
    return s;
  }
};

// The shipped data set loaded once (the small world's catalogue when it is missing or bad).
const World& ScriptCatalogue() {
  static const World loaded = [] {
    World w;
#ifdef RTS_SOURCE_DIR
    char previous[4096];
    if (getcwd(previous, sizeof previous) != nullptr && chdir(RTS_SOURCE_DIR "/data") == 0) {
      SilentPlatform platform(1);
      CountingUploader uploader;
      LoadContext context{platform, uploader};
      try {
        LoadGameData(w, context);
      } catch (...) {
        w.Catalogue.clear();
      }
      if (chdir(previous) != 0) std::abort();
    }
#endif
    if (w.Catalogue.empty() || !ValidateCatalogue(w).empty()) w = SmallPlayableWorld();
    w.Objects.clear();
    return w;
  }();
  return loaded;
}

struct SafeLines {
  std::string text;
  bool extreme = false;  // a set, money or spawn line gave a value beyond a million
};

bool Extreme(const std::vector<std::string>& words) {
  if (words[0] != "set" && words[0] != "money" && words[0] != "spawn") return false;
  for (size_t i = 1; i < words.size(); ++i) {
    double v = 0;
    const std::string& w = words[i];
    const char* begin = w.data() + (!w.empty() && w[0] == '-' ? 1 : 0);
    auto [end, ec] = std::from_chars(begin, w.data() + w.size(), v);
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && std::fabs(v) > 1e6))
      return true;
  }
  return false;
}

// Script lines the harness keeps: no files written, bounded ticks and spawns. Positions and
// money the script sets far out of the play field may overflow the float arithmetic of the
// rules; such runs are checked for faults but not for finite values.
SafeLines SafeScript(const std::string& text) {
  SafeLines safe;
  std::istringstream in(text);
  std::ostringstream out;
  std::string line;
  int64_t ticks = 200;
  int spawns = 64;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::vector<std::string> w;
    std::string word;
    while (words >> word) w.push_back(word);
    if (!w.empty()) {
      if (w[0] == "screenshot" || (w[0] == "dump" && w.size() > 1)) continue;
      if (w[0] == "spawn" && --spawns < 0) continue;
      if (Extreme(w)) safe.extreme = true;
      if (w[0] == "tick") {
        int64_t n = 1;
        if (w.size() == 2) {
          auto [end, ec] = std::from_chars(w[1].data(), w[1].data() + w[1].size(), n);
          if (ec != std::errc() || end != w[1].data() + w[1].size()) n = 0;  // a script error
        }
        if (n > ticks) continue;
        ticks -= std::max<int64_t>(n, 0);
      }
    }
    out << line << '\n';
  }
  safe.text = out.str();
  return safe;
}

}  // namespace

std::string FuzzBmp(const uint8_t* data, size_t size) {
  BmpFailure failure = BmpFailure::None;
  auto image = DecodeBMP(std::span<const uint8_t>(data, size), failure);
  if (image && image->Pixels.size() != static_cast<size_t>(image->Width) * image->Height * 4)
    return "decoded pixels do not match the size";
  if (!image && failure == BmpFailure::None) return "failure without a reason";
  return {};
}

std::string FuzzTypeFile(const uint8_t* data, size_t size) {
  SilentPlatform platform(1);
  CountingUploader uploader;
  LoadContext context{platform, uploader};
  World world;
  world.Catalogue.emplace_back();
  try {
    LoadTypeText(world, std::string_view(reinterpret_cast<const char*>(data), size), 0, context);
  } catch (const LoadError&) {
  } catch (const ProgramExit&) {
  }
  ValidateCatalogue(world);
  return {};
}

std::string FuzzRaceList(const uint8_t* data, size_t size) {
  static const std::string dir = ScratchDir() + "/race/";
  static const bool made = [] {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    return true;
  }();
  (void)made;
  constexpr int kParts = 8;
  size_t start = 0;
  int part = 0;
  for (size_t i = 0; i <= size && part < kParts; ++i) {
    if (i == size || data[i] == 0xFF) {
      // Appended: GCC 12 at -O3 warns falsely (-Wrestrict) on "t" + text.
      std::string name = part == 0
                             ? std::string("list.txt")
                             : std::string("t").append(std::to_string(part - 1)).append(".txt");
      WriteFile(dir + name, data + start, i - start);
      start = i + 1;
      ++part;
    }
  }
  for (; part < kParts; ++part)
    std::remove((dir + "t" + std::to_string(part - 1) + ".txt").c_str());
  SilentPlatform platform(1);
  CountingUploader uploader;
  LoadContext context{platform, uploader};
  World world;
  try {
    LoadRaceList(world, "list.txt", dir, context);
  } catch (const LoadError&) {
  } catch (const ProgramExit&) {
  }
  ValidateCatalogue(world);
  return {};
}

std::string FuzzOrders(const uint8_t* data, size_t size) {
  Reader in{data, size};
  World w = SmallPlayableWorld();
  w.Sides[0].Money = static_cast<float>(in.Byte());
  w.Sides[1].Money = static_cast<float>(in.Byte()) - 100;
  int count = 2 + in.Byte() % 8;
  for (int i = 0; i < count; ++i) {
    int rassa = in.Byte() % 2;
    int kind = in.Byte() % 4;
    int side = in.Byte() % 5;
    SpawnObject(w, rassa, kind, side == 4 ? kNeutralSide : side, static_cast<float>(in.Byte() % 64),
                static_cast<float>(in.Byte() % 64), static_cast<float>(in.Byte()) * 2);
  }
  for (TObyekt& o : w.Objects) {
    o.Thought1 = in.Text();
    o.Thought2 = in.Text();
    o.AttackIndex = static_cast<int8_t>(in.Byte());
    o.Action = static_cast<int8_t>(in.Byte()) % 6 - 1;
    if (in.Byte() % 8 == 0) o.Cargo.clear();
    if (in.Byte() % 8 == 0) o.Energy.clear();
  }
  int frames = 1 + in.Byte() % 16;
  for (int f = 0; f < frames; ++f) {
    ContactPass(w);
    ExecuteOrders(w);
    RunComputerSide(w, 0);
    RunComputerSide(w, 1);
  }
  return CheckWorld(w);
}

std::string FuzzScript(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  const uint8_t options = data[0];
  RecordingPlatform platform;
  platform.fixedSeed = 7;
  platform.answerAtOnce = false;  // recorded, not printed
  HeadlessHost host(platform);
  if (options & 1) {
    // As if the first button had loaded the data set.
    const World& loaded = ScriptCatalogue();
    host.frontend().world().Catalogue = loaded.Catalogue;
    host.frontend().world().GroundTexture = loaded.GroundTexture;
    host.controls().SetButtonEnabled(1, false);
  }
  SafeLines lines = SafeScript(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  std::istringstream script(lines.text);
  std::ostringstream out;
  std::ostringstream err;
  int status = 0;
  try {
    status = RunScript(script, host, out, err);
  } catch (const ProgramExit&) {
  }
  if (status != 0 && status != 2 && status != 3) return "exit status " + std::to_string(status);
  return lines.extreme ? std::string() : CheckWorld(host.frontend().world());
}

namespace {

struct ShippedFile {
  size_t row;
  std::string text;
};

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The shipped type files in load order, and a folder holding a 2 x 2 bitmap under every
// sprite name they use (the cells' pixels do not matter without OpenGL).
struct ShippedSet {
  std::vector<ShippedFile> files;
  std::string folder;
};

const ShippedSet& Shipped() {
  static const ShippedSet set = [] {
    ShippedSet s;
    s.folder = ScratchDir() + "/level";
    std::vector<uint8_t> bitmap(54 + 12, 0);
    bitmap[0] = 'B';
    bitmap[1] = 'M';
    bitmap[18] = 2;
    bitmap[22] = 2;
    bitmap[28] = 24;
    auto writeBitmap = [&](const std::string& dataPath) {
      std::string native = dataPath;
      std::replace(native.begin(), native.end(), '\\', '/');
      std::filesystem::path path = std::filesystem::path(s.folder) / native;
      std::error_code error;
      std::filesystem::create_directories(path.parent_path(), error);
      WriteFile(path.string(), bitmap.data(), bitmap.size());
    };
    writeBitmap(".\\maps\\summer2.bmp");
#ifdef RTS_SOURCE_DIR
    const std::filesystem::path root = RTS_SOURCE_DIR "/data";
    const std::string sprites = ToCp1251(")спрайты");
    size_t row = 0;
    for (const char* race : {"ludi", "orki"}) {
      std::string list = ReadBytes(root / race / (std::string(race) + ".txt"));
      std::istringstream lines(list);
      std::string name;
      while (std::getline(lines, name)) {
        if (!name.empty() && name.back() == '\r') name.pop_back();
        if (name.empty()) continue;
        std::string text = ReadBytes(root / race / name);
        // Every line of the sprite section names a bitmap.
        std::istringstream body(text);
        std::string line;
        bool inSprites = false;
        while (std::getline(body, line)) {
          if (!line.empty() && line.back() == '\r') line.pop_back();
          if (line.empty()) continue;
          if (line[0] == ')')
            inSprites = line == sprites;
          else if (inSprites)
            writeBitmap(line);
        }
        s.files.push_back({row, text});
      }
      ++row;
    }
#endif
    return s;
  }();
  return set;
}

// Runs in the given folder and returns to the previous one.
struct InFolder {
  char previous[4096] = {};
  bool ok = false;
  explicit InFolder(const std::string& folder) {
    ok = getcwd(previous, sizeof previous) != nullptr && chdir(folder.c_str()) == 0;
  }
  ~InFolder() {
    if (ok && chdir(previous) != 0) std::abort();
  }
};

}  // namespace

std::string FuzzLevel(const uint8_t* data, size_t size) {
  const ShippedSet& set = Shipped();
  if (set.files.empty() || size < 2) return {};
  const size_t changed = data[0] % set.files.size();
  const bool replace = (data[1] & 1) != 0;
  const std::string input(reinterpret_cast<const char*>(data) + 2, size - 2);

  RecordingPlatform platform;
  platform.fixedSeed = 3;
  platform.answerAtOnce = false;  // recorded, not printed
  HeadlessHost host(platform);
  World& world = host.frontend().world();
  {
    InFolder folder(set.folder);
    if (!folder.ok) return "no scratch folder";
    CountingUploader uploader;
    LoadContext context{platform, uploader};
    try {
      for (size_t f = 0; f < set.files.size(); ++f) {
        const ShippedFile& file = set.files[f];
        while (world.Catalogue.size() <= file.row) world.Catalogue.emplace_back();
        std::string text = f != changed ? file.text : replace ? input : file.text + "\r\n" + input;
        LoadTypeText(world, text, file.row, context);
      }
      LoadGround(world, context);
    } catch (const LoadError&) {
      return {};  // the program shows the message and stays unloaded
    } catch (const ProgramExit&) {
      return {};  // a sprite that cannot be loaded ends the program
    }
  }
  if (!ValidateCatalogue(world).empty()) return {};
  host.controls().SetButtonEnabled(1, false);
  host.Press(2);
  // A short game with the player's clicks: select, choose every combo entry, order.
  const uint8_t* p = data + 2;
  const uint8_t* end = data + size;
  auto next = [&]() -> int { return p < end ? *p++ : 0; };
  for (int frame = 0; frame < 120; ++frame) {
    if (frame % 10 == 3) {
      host.Move(next() * 2, next() * 2);
      host.Down(frame % 20 == 3 ? Frontend::Button::Left : Frontend::Button::Right);
    }
    if (frame % 10 == 5) host.Choose(1 + next() % 3, next() % 6 - 1);
    if (frame == 60) host.Press(3);
    host.Tick();
  }
  return CheckWorld(world);
}
