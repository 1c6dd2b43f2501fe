#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <typeinfo>

#include "app/dump.h"
#include "app/front_fields.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "game/object_fields.h"

namespace {

template <typename R, size_t N>
void ExpectEveryMemberOnce(const std::array<Field<R>, N>& table) {
  // A member added to the record and not to its table fails here.
  EXPECT_EQ(MemberCount<R>(), N);
  std::set<std::string_view> names;
  for (size_t a = 0; a < N; ++a) {
    EXPECT_TRUE(names.insert(table[a].Name).second) << table[a].Name;
    EXPECT_TRUE(!(table[a].Uses & kHashed) || (table[a].Uses & kDumped)) << table[a].Name;
    for (size_t b = a + 1; b < N; ++b) {
      EXPECT_FALSE(table[a].Member == table[b].Member) << table[a].Name << " " << table[b].Name;
    }
  }
}

// The same for a table of any members: distinct names, distinct members (by address in one
// record), one entry per member, and everything hashed also dumped.
template <typename R, typename... M>
void ExpectEveryMemberOnce(const std::tuple<FieldOf<R, M>...>& table) {
  EXPECT_EQ(MemberCount<R>(), sizeof...(M)) << typeid(R).name();
  const R record{};
  std::set<std::string_view> names;
  std::set<const void*> members;
  const auto check = [&](const auto& f) {
    EXPECT_TRUE(names.insert(f.Name).second) << f.Name;
    EXPECT_TRUE(members.insert(&(record.*f.Member)).second) << f.Name;
    EXPECT_TRUE(!(f.Uses & kHashed) || (f.Uses & kDumped)) << f.Name;
  };
  std::apply([&](const auto&... f) { (check(f), ...); }, table);
}

}  // namespace

TEST(FieldTables, ListEveryMemberOnce) {
  ExpectEveryMemberOnce(kObjectFields);
  ExpectEveryMemberOnce(kFrontFields);
  ExpectEveryMemberOnce(kPlayerFields);
  ExpectEveryMemberOnce(kViewFields);
  ExpectEveryMemberOnce(kButtonFields);
  ExpectEveryMemberOnce(kComboFields);
  ExpectEveryMemberOnce(kControlFields);
  ExpectEveryMemberOnce(kSideFields);
  ExpectEveryMemberOnce(kRandomFields);
  ExpectEveryMemberOnce(kGroundFields);
  ExpectEveryMemberOnce(kMissionFields);
  ExpectEveryMemberOnce(kWorldFields);
  ExpectEveryMemberOnce(kRassaFields);
  ExpectEveryMemberOnce(kOpisanFields);
  ExpectEveryMemberOnce(kKadriFields);
  ExpectEveryMemberOnce(kEnergiaFields);
  ExpectEveryMemberOnce(kUdarFields);
  ExpectEveryMemberOnce(kDobichaFields);
  ExpectEveryMemberOnce(kCenaFields);
  ExpectEveryMemberOnce(kKolvoFields);
  ExpectEveryMemberOnce(kUpgradeFields);
}

// What the hash takes beyond the objects shows in the dump: button 3, the generator's seed,
// the player's inputs; a change of any of them changes both.
TEST(FieldTables, DumpHoldsWhatTheHashTakes) {
  RecordingPlatform platform;
  HeadlessHost host(platform);
  Frontend& f = host.frontend();
  const auto both = [&] { return std::make_pair(StateHash(f), DumpState(f, {})); };
  const auto before = both();
  EXPECT_EQ(before.second["Button3"]["Enabled"], host.controls().ButtonEnabled(3));
  EXPECT_FALSE(before.second.contains("PlayAs"));
  const auto changed = [&](const char* what) {
    const auto now = both();
    EXPECT_NE(now.first, before.first) << what;
    EXPECT_NE(now.second, before.second) << what;
  };
  f.world().Rng.Seed = 77;
  changed("seed");
  EXPECT_EQ(DumpState(f, {})["Seed"], 77);
  f.world().Rng.Seed = before.second["Seed"].get<uint32_t>();
  const std::string caption = host.controls().ButtonCaption(3);
  host.controls().SetButtonCaption(3, "x");
  changed("button 3");
  EXPECT_EQ(DumpState(f, {})["Button3"]["Caption"], "x");
  host.controls().SetButtonCaption(3, caption);
  f.player().ArrowUp = true;
  changed("arrow");
  const nlohmann::json d = DumpState(f, {});
  EXPECT_EQ(d["ArrowUp"], true);
  EXPECT_EQ(d["PlayAs"], -1);
  f.player().ArrowUp = false;
  EXPECT_EQ(both(), before);
}

TEST(FieldTables, CountMembersOfPlainRecords) {
  struct Three {
    int a = 0;
    std::string b;
    std::vector<float> c;
  };
  EXPECT_EQ(MemberCount<Three>(), 3u);
  EXPECT_EQ(MemberCount<TSide>(), 1u);
}

// Every settable field is set by the script and read back from the dump; every hashed field
// changes the hash.
TEST(FieldTables, SetDumpAndHashUseTheTable) {
  RecordingPlatform platform;
  HeadlessHost host(platform);
  World& w = host.frontend().world();
  w.Catalogue.push_back({{TOpisan{}}});
  ASSERT_TRUE(SpawnObject(w, 0, 0, 0, 0, 0, 0));
  std::string script;
  for (const Field<TObyekt>& f : kObjectFields) {
    if (!(f.Uses & kSettable)) continue;
    const bool list = std::holds_alternative<std::vector<float> TObyekt::*>(f.Member);
    const bool text = std::holds_alternative<std::string TObyekt::*>(f.Member);
    const bool flag = std::holds_alternative<bool TObyekt::*>(f.Member);
    script += "hash\nset 0 " + std::string(f.Name) + (list ? "0" : "") +
              (text   ? " a b"
               : flag ? " 1"
                      : " 3") +
              "\n";
  }
  script += "hash\ndump\n";
  std::istringstream in(script);
  std::ostringstream out, err;
  ASSERT_EQ(RunScript(in, host, out, err), 0) << err.str();
  std::istringstream lines(out.str());
  std::set<std::string> hashes;
  std::string line, last;
  while (std::getline(lines, line)) {
    if (line.size() == 16) {
      EXPECT_TRUE(hashes.insert(line).second) << "unchanged after a set";
    }
    last = line;
  }
  const nlohmann::json o = nlohmann::json::parse(last)["Objects"][0];
  for (const Field<TObyekt>& f : kObjectFields) {
    ASSERT_TRUE(o.contains(f.Name)) << f.Name;
    if (!(f.Uses & kSettable)) continue;
    if (std::holds_alternative<std::string TObyekt::*>(f.Member)) {
      EXPECT_EQ(o[f.Name], "a b");
    } else if (std::holds_alternative<std::vector<float> TObyekt::*>(f.Member)) {
      EXPECT_EQ(o[f.Name], nlohmann::json::array({3}));
    } else if (std::holds_alternative<bool TObyekt::*>(f.Member)) {
      EXPECT_EQ(o[f.Name], true);
    } else {
      EXPECT_EQ(o[f.Name], 3) << f.Name;
    }
  }
}
