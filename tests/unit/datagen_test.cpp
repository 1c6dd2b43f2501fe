#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sound/sound_kinds.h"
#include "test_files.h"
#include "util/cp1251.h"

namespace fs = std::filesystem;

namespace {

// Relative path -> bytes of every file under a folder.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) out[fs::relative(e.path(), root).generic_string()] = ReadAll(e.path());
  return out;
}

// Lines of a CR LF text file, the line ends checked on the way.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find("\r\n", at);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos) break;
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

uint32_t Le32(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
         static_cast<uint8_t>(b[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

const fs::path kData = fs::path(RTS_SOURCE_DIR) / "data";

}  // namespace

TEST(Datagen, OutputMatchesShippedDataByteForByte) {
  fs::path out = fs::temp_directory_path() / ("datagen_test_" + std::to_string(getpid()));
  fs::remove_all(out);
  std::string cmd = std::string("\"") + DATAGEN_PATH + "\" \"" + out.string() + "\"";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  auto made = Tree(out), shipped = Tree(kData);
  fs::remove_all(out);
  ASSERT_FALSE(shipped.empty());
  for (const auto& [name, bytes] : shipped) {
    auto it = made.find(name);
    ASSERT_NE(it, made.end()) << name << " is not generated";
    EXPECT_TRUE(it->second == bytes) << name << " differs from the generator's output";
  }
  EXPECT_EQ(made.size(), shipped.size());
  // The sounds too: every kind's file is made and shipped.
  for (const char* file : kSoundFiles) {
    const std::string name = std::string(kSoundFolder) + "/" + file;
    EXPECT_EQ(made.count(name), 1u) << name;
    EXPECT_EQ(shipped.count(name), 1u) << name;
  }
}

// The shipped data meet what the loader and the rules expect of them.
TEST(Datagen, ShippedDataFollowTheFormat) {
  for (const char* race : {"ludi", "orki"}) {
    fs::path dir = kData / race;
    std::vector<std::string> files = Lines(ReadAll(dir / (std::string(race) + ".txt")));
    ASSERT_GE(files.size(), 3u);
    std::vector<std::string> names;
    for (const std::string& file : files) {
      ASSERT_FALSE(file.empty());
      ASSERT_TRUE(fs::exists(dir / file)) << file;
      std::string section, sub;
      std::vector<std::string> sprites;
      std::vector<std::vector<std::string>> rows;
      std::vector<std::string> params;
      int energies = 0;
      for (const std::string& raw : Lines(ReadAll(dir / file))) {
        std::string line = ToUtf8(raw);
        if (line[0] == ')') {
          section = line.substr(1);
          continue;
        }
        if (line[0] == ']') {
          sub = line.substr(1);
          continue;
        }
        std::vector<std::string> w = Words(line);
        if (section == "название") names.push_back(w.at(0));
        if (section == "спрайты") sprites.push_back(line);
        if (section == "индексы") rows.push_back(w);
        if (section == "параметры") params = w;
        if (section == "энергия") {
          EXPECT_EQ(w.size(), 3u) << line;
          ++energies;
        }
        if (section == "удар") {
          EXPECT_EQ(w.size(), 5u) << line;
        }
        if (section == "добыча" || (section == "цена" && sub == "ресурсы")) {
          EXPECT_EQ(w.size(), 3u) << line;
        }
      }
      ASSERT_EQ(params.size(), 5u) << file;
      EXPECT_EQ(energies, 1) << file;
      ASSERT_EQ(rows.size(), 4u) << file;
      int sheetW = std::stoi(params[1]), sheetH = std::stoi(params[2]);
      int frameW = std::stoi(params[3]), frameH = std::stoi(params[4]);
      EXPECT_LE(5 * frameW, sheetW);
      ASSERT_EQ(sprites.size(), 1u);
      std::string path = sprites[0];
      ASSERT_EQ(path.rfind(".\\", 0), 0u) << path;
      for (char& c : path)
        if (c == '\\') c = '/';
      std::string bmp = ReadAll(kData / path);
      ASSERT_GE(bmp.size(), 54u) << path;
      EXPECT_EQ(Le32(bmp, 18), static_cast<uint32_t>(sheetW));
      EXPECT_EQ(Le32(bmp, 22), static_cast<uint32_t>(sheetH));
      EXPECT_EQ(bmp.size(), 54u + static_cast<size_t>(sheetW) * sheetH * 3);
      for (const auto& row : rows) {
        EXPECT_EQ(row[0], "0");
        for (size_t k = 1; k < row.size(); ++k) EXPECT_LE(std::stoi(row[k]) * frameH, sheetH);
      }
    }
    ASSERT_GE(names.size(), 3u);
  }
  std::string ground = ReadAll(kData / "maps/summer2.bmp");
  ASSERT_EQ(ground.size(), 54u + 512 * 256 * 3);
}

// Help and bad arguments print the usage and write nothing, not even a folder named "--help".
TEST(Datagen, HelpAndBadArgumentsWriteNothing) {
  const fs::path dir = fs::temp_directory_path() / ("datagen_args_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::pair<const char*, int> runs[] = {{"--help", 0},
                                              {"-h", 0},
                                              {"", 2},
                                              {"--bogus", 2},
                                              {"-x out", 2},
                                              {"out extra", 2},
                                              {"--icons", 2},
                                              {"--icons out", 2},
                                              {"--icons out 0", 2},
                                              {"--icons out 16 big", 2},
                                              {"--icons --help 16", 2}};
  for (const auto& [args, status] : runs) {
    const std::string cmd =
        "cd '" + dir.string() + "' && '" + DATAGEN_PATH + "' " + args + " > out.txt 2> err.txt";
    const int raw = std::system(cmd.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, status) << args;
    const std::string usage = ReadAll(dir / (status == 0 ? "out.txt" : "err.txt"));
    EXPECT_NE(usage.find("usage: datagen OUTDIR"), std::string::npos) << args << ": " << usage;
    fs::remove(dir / "out.txt");
    fs::remove(dir / "err.txt");
    EXPECT_TRUE(fs::is_empty(dir)) << args;
  }
  fs::remove_all(dir);
}
