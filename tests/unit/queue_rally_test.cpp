// Orders around the rules' right click: a queued order waits in Thought2, a rally point sends a
// base's new units on. Both are inputs of their own, so they record and replay.
#include <gtest/gtest.h>

#include <sstream>

#include "app/command_panel.h"
#include "app/order_marks.h"
#include "app/script.h"
#include "app/state_hash.h"
#include "game/rally.h"
#include "util/cp1251.h"

namespace {

enum Kind { kWorker = 0, kBase = 1 };

TOpisan Type(const char* name, float radius, bool moves) {
  TOpisan t;
  t.Name = ToCp1251(name);
  t.Radius = radius;
  t.Energies.push_back({ToCp1251("Жизнь"), 100, 0});
  if (moves) t.Speeds.push_back(1);
  return t;
}

// Side 2 plays nobody's computer: the frames under test are the player's alone.
class Orders : public ::testing::Test {
 protected:
  Orders() : host(platform) {
    platform.fixedSeed = 3;
    Prepare(host);
  }
  // The catalogue, side 2's money, the level running, and world 0, 0 in the middle of a
  // 600 x 447 view: no point used is near an edge.
  static void Prepare(HeadlessHost& h) {
    TOpisan worker = Type("Рабочий", 5, true);
    worker.Attacks = {{ToCp1251("Удар"), "", 1, "", 0}};
    worker.PriceResources = {{"", 3, 0}};
    TOpisan base = Type("База", 30, false);
    base.Buildables = {ToCp1251("Рабочий")};
    base.PriceResources = {{"", 3, 0}};
    h.frontend().world().Catalogue.push_back({{worker, base}});
    h.frontend().world().Sides[2].Money = 100;
    h.controls().SetButtonEnabled(1, false);
    h.controls().SetButtonEnabled(2, false);
    std::ostringstream out;
    h.Run("resize 600 447\nlook 0 0", out);
  }
  World& world() { return host.frontend().world(); }
  TObyekt& obj(int i) { return world().Objects.at(static_cast<size_t>(i)); }
  int Spawn(int kind, float x, float y) {
    EXPECT_TRUE(SpawnObject(world(), 0, kind, 2, x, y, 90));
    return static_cast<int>(world().Objects.size()) - 1;
  }
  // View pixels, y from the top, of a world point.
  std::string View(int x, int y) {
    const FrontState& s = host.frontend().state();
    return std::to_string(x + static_cast<int>(s.CameraX)) + " " +
           std::to_string(447 - y - static_cast<int>(s.CameraY));
  }
  // The cursor over a world point, then the line and a frame.
  void At(int x, int y, const std::string& line) {
    Run("move " + View(x, y) + "\n" + line + "\ntick");
  }
  void Run(const std::string& lines) {
    script += lines + "\n";
    std::ostringstream out;
    host.Run(lines, out);
  }

  RecordingPlatform platform;
  HeadlessHost host;
  std::string script;
};

TEST_F(Orders, AQueuedOrderWaitsForTheCurrentOneAndIsTakenUpAfter) {
  const int w = Spawn(kWorker, 0, 0);
  const int enemy = Spawn(kWorker, 0, 150);
  obj(enemy).Side = 3;
  At(0, 0, "down left");
  ASSERT_TRUE(obj(w).Selected);
  At(0, 40, "down right");
  At(60, 40, "queue");
  EXPECT_EQ(obj(w).Thought1, "idti 0,40");
  EXPECT_EQ(obj(w).Thought2, "idti 60,40");
  // The marker runs from the current target to the queued one.
  const std::vector<OrderMark> marks = OrderMarks(world(), {w}, host.frontend().Slot(0).Queued);
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_EQ(marks[0].Kind, OrderMarkKind::Queued);
  EXPECT_EQ(marks[0].X0, 0.0f);
  EXPECT_EQ(marks[0].Y0, 40.0f);
  EXPECT_EQ(marks[0].X1, 60.0f);
  EXPECT_EQ(marks[0].Y1, 40.0f);
  // Shift again replaces the queued order, nothing deeper: the rules' two slots.
  At(80, 40, "queue");
  EXPECT_EQ(obj(w).Thought1, "idti 0,40");
  EXPECT_EQ(obj(w).Thought2, "idti 80,40");

  // Arrived, the unit takes the queued order up and walks on; the mark goes with it.
  for (int i = 0; i < 200 && obj(w).Thought1 != "idti 80,40"; ++i) Run("tick");
  EXPECT_EQ(obj(w).Thought1, "idti 80,40");
  EXPECT_TRUE(obj(w).Thought2.empty());
  EXPECT_LT(std::abs(obj(w).Y - 40), 6.0f);
  Run("tick");
  EXPECT_TRUE(OrderMarks(world(), {w}, host.frontend().Slot(0).Queued).empty());

  // A queued attack leaves the walk as it is; a plain right click after clears the slot.
  Run("choose 1 0");
  At(0, 150, "queue");
  EXPECT_EQ(obj(w).Thought1, "idti 80,40");
  EXPECT_EQ(obj(w).Thought2, "atakovat " + std::to_string(enemy));
  At(100, 100, "down right");
  EXPECT_EQ(obj(w).Thought1, "idti 100,100");
  EXPECT_TRUE(obj(w).Thought2.empty());
  // Over the enemy a right click follows it; a blind one (what the fog hides) walks there.
  At(static_cast<int>(obj(enemy).X), static_cast<int>(obj(enemy).Y), "down right\nblind");
  EXPECT_EQ(obj(w).Thought1.rfind("idti ", 0), 0u) << obj(w).Thought1;
  EXPECT_EQ(host.frontend().state().ClickCommand, 0);
  At(static_cast<int>(obj(enemy).X), static_cast<int>(obj(enemy).Y), "down right");
  EXPECT_EQ(obj(w).Thought1, "idtiza " + std::to_string(enemy));

  // The recording of it all plays back to the same state.
  RecordingPlatform other;
  other.fixedSeed = 3;
  HeadlessHost replay(other);
  Prepare(replay);
  SpawnObject(replay.frontend().world(), 0, kWorker, 2, 0, 0, 90);
  SpawnObject(replay.frontend().world(), 0, kWorker, 3, 0, 150, 90);
  std::ostringstream out;
  replay.Run(script, out);
  EXPECT_EQ(HashText(StateHash(replay.frontend())), HashText(StateHash(host.frontend())));
}

TEST_F(Orders, ARallyPointSendsTheBasesNewUnitsThereAndIsPartOfTheMatch) {
  const int base = Spawn(kBase, 0, 0);
  const int w = Spawn(kWorker, 100, 0);
  const std::string before = HashText(StateHash(host.frontend()));
  std::ostringstream dump;
  host.Run("dump", dump);
  EXPECT_EQ(dump.str().find("Rallies"), std::string::npos);  // absent until set

  // The base and a worker selected: the base takes the point, the worker the order.
  At(0, 0, "down left");
  Run("box " + View(-10, 10) + " " + View(120, -10) + " add");
  ASSERT_TRUE(obj(base).Selected && obj(w).Selected);
  EXPECT_TRUE(host.frontend().WouldRally());
  At(-100, 50, "rally");
  ASSERT_NE(FindRally(world(), base), nullptr);
  EXPECT_EQ(FindRally(world(), base)->X, -100);
  EXPECT_EQ(FindRally(world(), base)->Y, 50);
  EXPECT_TRUE(obj(base).Thought1.empty());
  EXPECT_EQ(obj(w).Thought1, "idti -100,50");
  EXPECT_NE(HashText(StateHash(host.frontend())), before);
  std::ostringstream set;
  host.Run("dump", set);
  EXPECT_NE(set.str().find("\"Rallies\":[{\"Object\":0,\"X\":-100,\"Y\":50}]"), std::string::npos)
      << set.str();
  const std::vector<OrderMark> marks = OrderMarks(world(), {base}, {});
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_EQ(marks[0].Kind, OrderMarkKind::Rally);

  // In the build mode the click trains as before; the new worker walks to the point.
  At(0, 0, "down left");
  Run("choose 2 0");
  EXPECT_FALSE(host.frontend().WouldRally());
  At(-100, 50, "down right");
  const size_t count = world().Objects.size();
  for (int i = 0; i < 20 && world().Objects.size() == count; ++i) Run("tick");
  ASSERT_EQ(world().Objects.size(), count + 1);
  EXPECT_EQ(world().Objects.back().Thought1, "idti -100,50");

  // A building that is not selected keeps its point when another's is moved.
  const int other = Spawn(kBase, 300, 300);
  SetRally(world(), other, 1, 2);
  SetRally(world(), base, 5, 6);
  ASSERT_EQ(world().Rallies.size(), 2u);
  EXPECT_EQ(world().Rallies[0].Object, base);
  EXPECT_EQ(FindRally(world(), other)->X, 1);
}

TEST_F(Orders, WithASideOfOnesOwnOnlyOwnBasesTakeARallyPoint) {
  const int base = Spawn(kBase, 0, 0);
  Run("play-as 1");
  obj(base).Selected = true;  // as another player's selection would leave it
  EXPECT_FALSE(SetsRally(world(), obj(base), 1));
  EXPECT_TRUE(SetsRally(world(), obj(base), 2));
  EXPECT_TRUE(SetsRally(world(), obj(base), -1));
  At(50, 50, "rally");
  EXPECT_EQ(FindRally(world(), base), nullptr);
  EXPECT_EQ(obj(base).Thought1, "idti 50,50");  // the rules' click
}

}  // namespace
