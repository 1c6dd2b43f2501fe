#include "app/state_hash.h"

#include <cstring>

#include "app/front_fields.h"
#include "game/object_fields.h"

namespace {

// FNV-1a over every hashed field; integers and flags widened to 64 bits, floats by their bit
// patterns, texts and lists with their length first (lists of a fixed size without it).
class HashSink : public FieldSink {
 public:
  uint8_t Wanted() const override { return kHashed; }
  void Bool(std::string_view, bool v) override { Word(v); }
  void Int(std::string_view, int64_t v) override { Word(v); }
  void Unsigned(std::string_view, uint64_t v) override { Word(static_cast<int64_t>(v)); }
  void Float(std::string_view, float v) override {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    Word(bits);
  }
  void Text(std::string_view, const std::string& s) override {
    Word(static_cast<int64_t>(s.size()));
    Bytes(s.data(), s.size());
  }
  bool BeginList(std::string_view, size_t size, bool fixed, uint8_t uses) override {
    if (!fixed && !(uses & kUncounted)) Word(static_cast<int64_t>(size));
    return !(uses & kLengthOnly);
  }
  void EndList() override {}
  void BeginRecord(std::string_view, uint8_t) override {}
  void EndRecord(uint8_t) override {}
  uint64_t value() const { return h_; }

 private:
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      h_ ^= p[i];
      h_ *= 0x100000001b3ull;
    }
  }
  void Word(int64_t v) { Bytes(&v, sizeof v); }

  uint64_t h_ = 0xcbf29ce484222325ull;
};

}  // namespace

void WalkState(Frontend& f, FieldSink& sink) {
  f.ActAs(0, [&] {
    WalkFields(f.world(), kWorldFields, sink);
    WalkFields(f.state(), kFrontFields, sink);
    // The player's inputs count once used, so sessions without them keep their hashes.
    if (f.player() != PlayerInput{}) WalkFields(f.player(), kPlayerFields, sink);
    if (f.groups() != ControlGroups{}) WalkFields(f.groups(), kGroupFields, sink);
    if (f.view() != ViewInput{}) WalkFields(f.view(), kViewFields, sink);
    WalkFields(ReadControls(f.controls()), kControlFields, sink);
    for (size_t p = 1; p < f.players(); ++p)
      WalkPlayer(f.Slot(p), ReadControls(f.ControlsOf(p)), PlayerName(p), sink);
  });
}

uint64_t StateHash(Frontend& f) {
  HashSink h;
  WalkState(f, h);
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
