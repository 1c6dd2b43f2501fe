#include "app/dump.h"

#include <cmath>

#include "app/state_hash.h"
#include "util/cp1251.h"
#include "util/fields.h"
#include "util/numtext.h"

using nlohmann::json;

namespace {

// Floats as the shortest text that reads back to the same single; NaN and infinities as text.
json F(float v) {
  if (std::isnan(v) || std::isinf(v)) return FloatToShortest(v);
  return json::parse(FloatToShortest(v));
}

json S(const std::string& cp1251) {
  return ToUtf8(cp1251);
}

// Every dumped field under its own name (list items in order); texts in UTF-8.
class DumpSink : public FieldSink {
 public:
  explicit DumpSink(json& root) : open_{&root} {}
  uint8_t Wanted() const override { return kDumped; }
  void Bool(std::string_view name, bool v) override { Put(name, v); }
  void Int(std::string_view name, int64_t v) override { Put(name, v); }
  void Unsigned(std::string_view name, uint64_t v) override { Put(name, v); }
  void Float(std::string_view name, float v) override { Put(name, F(v)); }
  void Text(std::string_view name, const std::string& v) override { Put(name, S(v)); }
  bool BeginList(std::string_view name, size_t, bool, uint8_t) override {
    open_.push_back(&Put(name, json::array()));
    return true;
  }
  void EndList() override { open_.pop_back(); }
  void BeginRecord(std::string_view name, uint8_t uses) override {
    if (!(uses & kInline)) open_.push_back(&Put(name, json::object()));
  }
  void EndRecord(uint8_t uses) override {
    if (!(uses & kInline)) open_.pop_back();
  }

 private:
  json& Put(std::string_view name, json v) {
    json& into = *open_.back();
    if (into.is_array()) {
      into.push_back(std::move(v));
      return into.back();
    }
    json& at = into[std::string(name)];
    at = std::move(v);
    return at;
  }

  std::vector<json*> open_;  // the innermost open object or array last
};

}  // namespace

json DumpState(Frontend& f, const std::vector<ShownMessage>& messages) {
  json j = json::object();
  DumpSink sink(j);
  const std::string hash = HashText(StateHash(f));
  // The keys are sorted, so the hash's walk order gives the same text.
  WalkState(f, sink);
  j["Hash"] = hash;
  j["Messages"] = json::array();
  for (const ShownMessage& m : messages) {
    j["Messages"].push_back({{"Caption", S(m.Caption)}, {"Text", S(m.Text)}});
  }
  return j;
}
