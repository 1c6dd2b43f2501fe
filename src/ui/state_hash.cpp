#include "ui/state_hash.h"

#include <cstring>

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

}  // namespace

uint64_t StateHash(Frontend& f) {
  Hasher h;
  const World& w = f.world();
  h.Int(static_cast<int64_t>(w.Objects.size()));
  for (const TObyekt& o : w.Objects) {
    h.Int(o.Rassa);
    h.Int(o.Kind);
    h.Int(o.Side);
    h.Int(static_cast<int64_t>(o.Energy.size()));
    for (float e : o.Energy) h.Float(e);
    h.Int(static_cast<int64_t>(o.Cargo.size()));
    for (float c : o.Cargo) h.Float(c);
    h.Float(o.X);
    h.Float(o.Y);
    h.Float(o.Angle);
    h.Float(o.Frame);
    h.Int(o.Action);
    h.Int(o.AttackIndex);
    h.Text(o.Thought1);
    h.Text(o.Thought2);
    h.Int(o.BuildProgress);
    h.Int(o.Selected);
  }
  for (const TSide& s : w.Sides) h.Float(s.Money);
  h.Int(w.Rng.Seed);
  h.Int(w.GroundTexture);
  h.Int(static_cast<int64_t>(w.Catalogue.size()));

  const FrontState& s = f.state();
  h.Int(static_cast<int64_t>(s.Frames));
  h.Int(s.MouseX);
  h.Int(s.MouseY);
  h.Int(s.ScrollTicks);
  h.Float(s.CameraX);
  h.Float(s.CameraY);
  h.Int(s.LeftClicked);
  h.Int(s.RightClicked);
  h.Int(s.ClickCommand);
  h.Int(s.HoverIndex);
  h.Int(s.ShowBars);

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
