// The key table: every action has a key and every key its help; the viewer's and the network's
// keys come first where they hold.
#include "app/keys.h"

#include <gtest/gtest.h>

#include <set>

TEST(KeyTable, EveryActionHasAKeyAndEveryRowItsHelp) {
  std::set<KeyAction> bound;
  for (const KeyRow& row : kKeyRows) {
    EXPECT_TRUE(row.Key && *row.Key) << static_cast<int>(row.Action);
    EXPECT_TRUE(row.English && *row.English) << row.Key;
    // A key that does nothing, or a help line with a key, is a slip in the table.
    EXPECT_EQ(row.Code == kNoKey, row.Action == KeyAction::None) << row.Key;
    if (row.Code != kNoKey) bound.insert(row.Action);
  }
  for (int a = 1; a <= static_cast<int>(KeyAction::Last); ++a)
    EXPECT_TRUE(bound.count(static_cast<KeyAction>(a))) << "action " << a << " has no key";

  // The help lists every line once, its keys merged.
  const std::string text = KeysSummary();
  for (const KeyHelp& k : KeyHelpLines()) {
    EXPECT_NE(text.find(k.Key), std::string::npos) << k.Key;
    EXPECT_NE(text.find(k.English), std::string::npos) << k.English;
  }
  EXPECT_NE(text.find("  P, Pause             pause or resume the match\n"), std::string::npos);
  EXPECT_NE(text.find("  Arrows               move the camera"), std::string::npos);
  EXPECT_EQ(text.find("Arrows, Arrows"), std::string::npos);
}

TEST(KeyTable, TheViewersAndTheNetworksKeysComeFirstWhereTheyHold) {
  auto action = [](int32_t code, uint8_t mods, bool replaying, bool network) {
    const KeyRow* row = FindKey(code, mods, replaying, network);
    return row ? row->Action : KeyAction::None;
  };
  EXPECT_EQ(action(kKeyHome, kNoMods, false, false), KeyAction::Home);
  EXPECT_EQ(action(kKeyHome, kNoMods, true, false), KeyAction::ToStart);
  EXPECT_EQ(action(kKeyLeft, kShift, true, false), KeyAction::SecondBack);
  EXPECT_EQ(action(kKeyLeft, kCtrl, true, false), KeyAction::TenBack);
  // Outside the viewer the modifiers do not matter to the camera.
  EXPECT_EQ(action(kKeyLeft, kShift, false, false), KeyAction::Left);
  EXPECT_EQ(action(kKeyLeft, kNoMods, true, false), KeyAction::Left);
  EXPECT_EQ(action('P', kShift | kCtrl, false, true), KeyAction::Pause);
  EXPECT_EQ(action('M', kNoMods, false, false), KeyAction::Sound);
  EXPECT_EQ(action('M', kShift, false, false), KeyAction::Louder);
  EXPECT_EQ(action('M', kCtrl, false, false), KeyAction::Softer);
  EXPECT_EQ(action('S', kCtrl, false, false), KeyAction::SaveMatch);
  EXPECT_EQ(action(kKeyReturn, kNoMods, false, true), KeyAction::Chat);
  EXPECT_EQ(action(kKeyReturn, kNoMods, false, false), KeyAction::None);
  EXPECT_EQ(action('N', kNoMods, false, false), KeyAction::None);
  EXPECT_EQ(action(kKeyF5, kNoMods, true, false), KeyAction::TakeOver0);
  EXPECT_EQ(action(kKeyF7, kNoMods, true, false), KeyAction::TakeOverBoth);
  // The command card's letters are the card's.
  EXPECT_EQ(action('S', kNoMods, false, false), KeyAction::None);
  EXPECT_EQ(action(kNoKey, kNoMods, false, false), KeyAction::None);
}
