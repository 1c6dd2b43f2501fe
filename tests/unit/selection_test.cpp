// Box selection, every unit of a kind in view, a side of one's own and control groups, as
// script lines through the command table.
#include "app/selection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "app/script.h"
#include "app/state_hash.h"
#include "test_files.h"

namespace {

// The test level in a 400 x 300 view (camera 0, 0: world y = 300 - view y), plus
// 4: a swordsman of side 0 at (300, 250), 5: an orc worker of side 1 at (350, 100).
// The level's own: 0 worker side 0 (200, 200), 1 worker side 1 (-200, -200), 2 and 3 mines.
struct Match {
  InDir inData{RTS_SOURCE_DIR "/data"};
  RecordingPlatform platform;
  HeadlessHost host{platform};
  explicit Match(const std::string& more = {}) {
    platform.fixedSeed = 5;
    Run("resize 400 300\npress 1\npress 2\nspawn 0 3 0 300 250 0\nspawn 1 0 1 350 100 0\n" + more);
  }
  void Run(const std::string& lines) {
    std::ostringstream out;
    host.Run(lines, out);
  }
  std::vector<int> Selected() {
    std::vector<int> out;
    for (size_t i = 0; i < host.world().Objects.size(); ++i)
      if (host.world().Objects[i].Selected) out.push_back(static_cast<int>(i));
    return out;
  }
  std::vector<std::vector<std::string>> Combos() {
    return {host.controls().ComboItems(1), host.controls().ComboItems(2),
            host.controls().ComboItems(3)};
  }
};

using V = std::vector<int>;

}  // namespace

TEST(BoxSelection, SelectsCentresInTheBoxReplacesOrAddsAndFillsTheCombosAsAClick) {
  Match m;
  m.Run("move 300 50\ndown left\ntick\n");  // a click on the swordsman alone
  const auto swordsman = m.Combos();
  m.Run("move 200 100\ndown left\ntick\n");  // and on the worker
  ASSERT_EQ(m.Selected(), V{0});
  ASSERT_NE(m.Combos(), swordsman);

  // Corners in any order; an edge through a centre counts.
  m.Run("box 400 120 150 0 new\n");
  EXPECT_EQ(m.Selected(), (V{0, 4}));
  EXPECT_EQ(m.Combos(), swordsman);    // the highest index fills them
  m.Run("box 320 170 400 230 add\n");  // the orc worker walked a little
  EXPECT_EQ(m.Selected(), (V{0, 4, 5}));
  // Dead objects are left out; an empty box drops the selection and keeps the combos.
  m.Run("set 5 Energy0 0\nbox 0 0 400 300 new\n");
  EXPECT_EQ(m.Selected(), (V{0, 2, 4}));
  m.Run("box 10 10 20 20 new\n");
  EXPECT_EQ(m.Selected(), V{});
  EXPECT_EQ(m.Combos(), swordsman);
  // The drag's own press, not yet handled by a frame, does not undo the box.
  m.Run("move 200 100\ndown left\nbox 150 0 400 120 new\ntick\n");
  EXPECT_EQ(m.Selected(), (V{0, 4}));
}

TEST(BoxSelection, ASideOfOnesOwnSelectsOnlyItsObjects) {
  Match any;
  any.Run("move 350 200\ndown left\ntick\n");
  EXPECT_EQ(any.Selected(), V{5});

  Match own("play-as 0\n");
  own.Run("move 350 200\ndown left\ntick\n");
  EXPECT_EQ(own.Selected(), V{});
  EXPECT_EQ(own.host.frontend().state().HoverIndex, 5);  // still hovered and read out
  own.Run("box 0 0 400 300 new\n");
  EXPECT_EQ(own.Selected(), (V{0, 4}));
  own.Run("same 350 200\n");  // the other side's worker: nothing changes
  EXPECT_EQ(own.Selected(), (V{0, 4}));
}

TEST(DoubleClick, SelectsTheTypeAndSideInView) {
  // 6, 7: workers of side 0 in view; 8: one out of view; 9: a side 1 worker of the same type.
  Match m(
      "spawn 0 0 0 50 50 0\nspawn 0 0 0 100 50 0\nspawn 0 0 0 1000 50 0\n"
      "spawn 0 0 1 150 50 0\n");
  m.Run("same 100 250\n");
  EXPECT_EQ(m.Selected(), (V{0, 6, 7}));
  m.Run("same 5 5\n");  // nothing there: the selection stays
  EXPECT_EQ(m.Selected(), (V{0, 6, 7}));
  // The double click's second press comes first as a click: the frame leaves the selection.
  m.Run("move 100 250\ndown left\nsame 100 250\ntick\n");
  EXPECT_EQ(m.Selected(), (V{0, 6, 7}));
}

TEST(ControlGroups, StoreRecallAddDropTheDeadAndCentre) {
  Match m;
  m.Run("box 400 120 150 0 new\ngroup store 1\nbox 340 190 350 210 new\ngroup store 2\n");
  m.Run("group recall 1\n");
  EXPECT_EQ(m.Selected(), (V{0, 4}));
  m.Run("group recall 3\n");  // an empty group keeps the selection
  EXPECT_EQ(m.Selected(), (V{0, 4}));
  m.Run("group add 2\ngroup recall 2\n");
  EXPECT_EQ(m.Selected(), (V{0, 4, 5}));
  m.Run("set 0 Energy0 0\ngroup recall 2\n");
  EXPECT_EQ(m.Selected(), (V{4, 5}));
  EXPECT_EQ(m.host.frontend().groups().Groups[1], (std::vector<int32_t>{4, 5}));
  // The mean of (300, 250) and (350, 100) in the middle of the 400 x 300 view.
  m.Run("group centre 2\n");
  EXPECT_EQ(m.host.frontend().state().CameraX, 200.0f - 325.0f);
  EXPECT_EQ(m.host.frontend().state().CameraY, 150.0f - 175.0f);
}

TEST(ControlGroups, CountInTheHashAndSnapshotsOnlyOnceUsed) {
  Match plain, emptyRecall, stored;
  emptyRecall.Run("box 0 0 400 300 new\ngroup recall 4\nbox 0 0 1 1 new\n");
  stored.Run("box 0 0 400 300 new\ngroup store 4\nbox 0 0 1 1 new\n");
  plain.Run("box 0 0 400 300 new\nbox 0 0 1 1 new\n");
  const std::string hash = HashText(StateHash(plain.host.frontend()));
  EXPECT_EQ(HashText(StateHash(emptyRecall.host.frontend())), hash);
  EXPECT_NE(HashText(StateHash(stored.host.frontend())), hash);

  const SessionSnapshot before = stored.host.Save();
  stored.Run("group store 4\n");
  EXPECT_EQ(HashText(StateHash(stored.host.frontend())), hash);
  stored.host.Restore(before);
  EXPECT_EQ(stored.host.frontend().groups().Groups[3], (std::vector<int32_t>{0, 2, 4, 5}));
}

TEST(ControlGroups, TheSameDigitTwiceWithin300MsCentres) {
  Match m("box 400 120 150 0 new\n");
  m.host.view().GroupKey(1, true, false, 0);  // Ctrl+1
  m.host.view().GroupKey(1, false, false, 1000);
  const float x = m.host.frontend().state().CameraX;
  m.host.view().GroupKey(1, false, false, 1301);  // too late
  EXPECT_EQ(m.host.frontend().state().CameraX, x);
  m.host.view().GroupKey(1, false, false, 1600);
  EXPECT_EQ(m.host.frontend().state().CameraX, 200.0f - 250.0f);
  m.host.view().GroupKey(2, false, true, 1700);  // Shift+2 adds the selection to group 2
  EXPECT_EQ(m.host.frontend().groups().Groups[1], (std::vector<int32_t>{0, 4}));
}
