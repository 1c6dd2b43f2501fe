#include "net/field_list.h"

#include <cstdio>
#include <filesystem>

#include "app/front_fields.h"
#include "game/catalogue_fields.h"
#include "game/object_fields.h"
#include "util/cp1251.h"
#include "util/echo_text.h"
#include "util/numtext.h"

namespace {

// Names every value it is given by its path from the root.
class ListSink : public FieldSink {
 public:
  ListSink(FieldList& out, uint8_t wanted) : out_(out), wanted_(wanted) {}
  uint8_t Wanted() const override { return wanted_; }
  void Bool(std::string_view name, bool v) override { Put(name, v ? "true" : "false"); }
  void Int(std::string_view name, int64_t v) override { Put(name, IntToStr(v)); }
  void Unsigned(std::string_view name, uint64_t v) override { Put(name, std::to_string(v)); }
  void Float(std::string_view name, float v) override { Put(name, FloatToShortest(v)); }
  void Text(std::string_view name, const std::string& v) override { Put(name, v); }
  bool BeginList(std::string_view name, size_t size, bool, uint8_t uses) override {
    const std::string path = Path(name);
    out_.emplace_back(path + ".size", std::to_string(size));
    open_.push_back({path, true, 0});
    return !(uses & kLengthOnly) || wanted_ != kHashed;
  }
  void EndList() override { open_.pop_back(); }
  void BeginRecord(std::string_view name, uint8_t) override {
    open_.push_back({Path(name), false, 0});
  }
  void EndRecord(uint8_t) override { open_.pop_back(); }

 private:
  struct Open {
    std::string path;
    bool list;
    size_t next;
  };
  std::string Path(std::string_view name) {
    if (open_.empty()) return std::string(name);
    Open& top = open_.back();
    if (top.list) return top.path + "[" + std::to_string(top.next++) + "]";
    return top.path.empty() ? std::string(name) : top.path + "." + std::string(name);
  }
  void Put(std::string_view name, std::string value) {
    out_.emplace_back(Path(name), std::move(value));
  }

  FieldList& out_;
  uint8_t wanted_;
  std::vector<Open> open_;
};

}  // namespace

FieldList ListState(const SessionSnapshot& s) {
  FieldList list;
  ListSink sink(list, kHashed);
  WalkFields(s.TheWorld, kWorldFields, sink);
  // The window's widgets are the local player's; the others' come with their parts.
  const auto widgets = [&s](size_t p) -> const ControlValues& {
    return p == s.Front.Local ? s.Widgets : s.Front.Players[p].Widgets;
  };
  const PlayerState& first = s.Front.Players[0];
  WalkFields(first.State, kFrontFields, sink);
  WalkFields(first.Player, kPlayerFields, sink);
  WalkFields(first.Groups, kGroupFields, sink);
  WalkFields(widgets(0), kControlFields, sink);
  for (size_t p = 1; p < s.Front.Players.size(); ++p)
    WalkPlayer(s.Front.Players[p], widgets(p), PlayerName(p), sink);
  return list;
}

FieldList ListDataSet(const World& world, const std::string& levelText,
                      const std::vector<std::pair<std::string, uint64_t>>& scripts) {
  FieldList list;
  ListSink sink(list, kDumped);
  WalkValue(world.Catalogue, "Catalogue", kDumped, sink);
  size_t line = 0, start = 0;
  while (start < levelText.size()) {
    size_t end = levelText.find('\n', start);
    if (end == std::string::npos) end = levelText.size();
    list.emplace_back("Level line " + std::to_string(++line), levelText.substr(start, end - start));
    start = end + 1;
  }
  for (size_t side = 0; side < scripts.size(); ++side) {
    const auto& [name, hash] = scripts[side];
    if (name.empty()) continue;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    list.emplace_back("AI script of side " + std::to_string(side),
                      std::filesystem::path(name).filename().string() + " " + hex);
  }
  return list;
}

std::string WriteFieldList(const FieldList& list) {
  std::string out;
  for (const auto& [path, value] : list) {
    out += path;
    out += '\t';
    for (char c : value) {
      if (c == '\n')
        out += "\\n";
      else if (c == '\t')
        out += "\\t";
      else if (c == '\\')
        out += "\\\\";
      else
        out += c;
    }
    out += '\n';
  }
  return out;
}

FieldList ReadFieldList(const std::string& text) {
  FieldList list;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const size_t tab = text.find('\t', start);
    if (end == std::string::npos || tab == std::string::npos || tab > end) break;
    std::string value;
    for (size_t i = tab + 1; i < end; ++i) {
      if (text[i] == '\\' && i + 1 < end) {
        const char c = text[++i];
        value += c == 'n' ? '\n' : c == 't' ? '\t' : c;
      } else {
        value += text[i];
      }
    }
    list.emplace_back(text.substr(start, tab - start), std::move(value));
    start = end + 1;
  }
  return list;
}

std::optional<std::string> FirstDifference(const FieldList& mine, const FieldList& theirs) {
  // Texts are Windows-1251: shown cut and escaped as data is in messages.
  const size_t n = std::min(mine.size(), theirs.size());
  for (size_t i = 0; i < n; ++i) {
    if (mine[i] == theirs[i]) continue;
    if (mine[i].first != theirs[i].first)
      return EchoText(mine[i].first) + " vs " + EchoText(theirs[i].first);
    return mine[i].first + " " + EchoText(ToUtf8(mine[i].second)) + " vs " +
           EchoText(ToUtf8(theirs[i].second));
  }
  if (mine.size() == theirs.size()) return std::nullopt;
  return mine.size() > n ? EchoText(mine[n].first) + " missing on the other side"
                         : EchoText(theirs[n].first) + " missing here";
}

uint64_t ListHash(const FieldList& list) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (char c : WriteFieldList(list)) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ull;
  }
  return h;
}
