#include "app/state_hash.h"

#include <cstring>
#include <type_traits>
#include <variant>

#include "app/front_fields.h"
#include "game/object_fields.h"

namespace {

// FNV-1a over the bytes fed to it; floats by their bit patterns.
class Hasher {
 public:
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      h_ ^= p[i];
      h_ *= 0x100000001b3ull;
    }
  }
  void Int(int64_t v) { Bytes(&v, sizeof v); }
  void Float(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    Int(bits);
  }
  void Text(const std::string& s) {
    Int(static_cast<int64_t>(s.size()));
    Bytes(s.data(), s.size());
  }
  uint64_t value() const { return h_; }

 private:
  uint64_t h_ = 0xcbf29ce484222325ull;
};

// Every hashed field of a record: integers and flags widened, lists with their length first.
template <typename R, size_t N>
void HashFields(Hasher& h, const R& record, const std::array<Field<R>, N>& table) {
  for (const Field<R>& field : table) {
    if (!(field.Uses & kHashed)) continue;
    std::visit(
        [&](auto member) {
          const auto& value = record.*member;
          using V = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<V, float>) {
            h.Float(value);
          } else if constexpr (std::is_same_v<V, std::string>) {
            h.Text(value);
          } else if constexpr (std::is_same_v<V, std::vector<float>>) {
            h.Int(static_cast<int64_t>(value.size()));
            for (float v : value) h.Float(v);
          } else {
            h.Int(static_cast<int64_t>(value));
          }
        },
        field.Member);
  }
}

}  // namespace

uint64_t StateHash(Frontend& f) {
  Hasher h;
  const World& w = f.world();
  h.Int(static_cast<int64_t>(w.Objects.size()));
  for (const TObyekt& o : w.Objects) HashFields(h, o, kObjectFields);
  for (const TSide& s : w.Sides) h.Float(s.Money);
  h.Int(w.Rng.Seed);
  h.Int(w.GroundTexture);
  h.Int(static_cast<int64_t>(w.Catalogue.size()));

  HashFields(h, f.state(), kFrontFields);
  // The player's inputs count once used, so sessions without them keep their hashes.
  const PlayerInput& p = f.player();
  if (p != PlayerInput{}) {
    h.Int(p.PlayAs);
    for (bool held : {p.ArrowLeft, p.ArrowRight, p.ArrowUp, p.ArrowDown}) h.Int(held);
  }

  Controls& c = f.controls();
  for (int n = 1; n <= 3; ++n) {
    h.Int(c.ButtonEnabled(n));
    h.Text(c.ButtonCaption(n));
  }
  for (int n = 1; n <= 2; ++n) h.Int(c.Checked(n));
  for (int k = 1; k <= 3; ++k) {
    for (const std::string& item : c.ComboItems(k)) h.Text(item);
    h.Int(c.ComboIndex(k));
  }
  h.Int(c.ViewWidth());
  h.Int(c.ViewHeight());
  return h.value();
}

std::string HashText(uint64_t hash) {
  static const char* const kDigits = "0123456789abcdef";
  std::string out(16, '0');
  for (int i = 15; i >= 0; --i) {
    out[static_cast<size_t>(i)] = kDigits[hash & 15];
    hash >>= 4;
  }
  return out;
}
