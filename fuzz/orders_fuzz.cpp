// Random order strings and fields on a small world, then a few frames of the simulation.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz_world.h"
#include "game/contacts.h"
#include "game/opponent.h"
#include "game/orders.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  uint8_t Byte() { return pos < size ? data[pos++] : 0; }
  std::string Text() {
    size_t len = Byte() % 24;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  World w = SmallPlayableWorld();
  w.Sides[0].Money = static_cast<float>(in.Byte());
  w.Sides[1].Money = static_cast<float>(in.Byte()) - 100;
  int count = 2 + in.Byte() % 8;
  for (int i = 0; i < count; ++i) {
    int rassa = in.Byte() % 2;
    int kind = in.Byte() % 3;
    int side = in.Byte() % 5;
    SpawnObject(w, rassa, kind, side == 4 ? kNeutralSide : side, static_cast<float>(in.Byte() % 64),
                static_cast<float>(in.Byte() % 64), static_cast<float>(in.Byte()) * 2);
  }
  for (TObyekt& o : w.Objects) {
    o.Thought1 = in.Text();
    o.Thought2 = in.Text();
    o.AttackIndex = static_cast<int8_t>(in.Byte());
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
  for (const TObyekt& o : w.Objects) {
    if (std::isnan(o.X) || std::isnan(o.Y)) __builtin_trap();
  }
  return 0;
}
