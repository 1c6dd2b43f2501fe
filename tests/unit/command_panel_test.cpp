// The command panel driven through whole frames of the headless front end. Panel objects
// belong to sides 2 and 3 and are kept apart, so contacts and the computer opponent leave
// them alone in the frame under test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/script.h"
#include "game/order_language.h"
#include "util/cp1251.h"

namespace {

std::string W(const char* utf8) {
  return ToCp1251(utf8);
}

enum Kind { kWorker = 0, kBase = 1, kOre = 2, kTower = 3, kTower2 = 4, kPeasant = 5 };

TOpisan Type(const char* name, float radius, bool moves) {
  TOpisan t;
  t.Name = W(name);
  t.Radius = radius;
  t.Energies.push_back({W("Жизнь"), 100, 0});
  if (moves) t.Speeds.push_back(1);
  return t;
}

World& BuildCatalogue(World& w) {
  TOpisan worker = Type("Рабочий", 10, true);
  worker.Attacks = {
      {W("Удар"), "", 2.5f, "", 0}, {W("Пинок"), "", 10, "", 0}, {W("Тык"), "", 0.1f, "", 0}};
  worker.Buildables = {W("База"), W("Нет такого"), W("Башня")};
  worker.Upgrades = {{W("Броня"), {}, {}}};
  worker.Mining = {{W("Руда"), 10, 0}};
  TOpisan base = Type("База", 30, false);
  base.Buildables = {W("Рабочий"), W("Башня")};
  TOpisan ore = Type("Руда", 20, false);
  ore.IsResource = true;
  ore.ResourceAmount = 12.5f;
  TOpisan tower = Type("Башня", 15, false);
  tower.Attacks = {{W("Выстрел"), "", 4, "", 0}};
  tower.Upgrades = {{W("Дальность"), {}, {}}, {W("Точность"), {}, {}}};
  TOpisan peasant = Type("Крестьянин", 10, true);  // no mining: empty cargo
  w.Catalogue.push_back({{worker, base, ore, tower, tower, peasant}});
  return w;
}

class Panel : public ::testing::Test {
 protected:
  Panel() : host(platform) {
    platform.fixedSeed = 7;
    BuildCatalogue(world());
    controls().SetButtonEnabled(1, false);
    controls().SetButtonEnabled(2, false);
  }

  World& world() { return host.frontend().world(); }
  Controls& controls() { return host.frontend().controls(); }
  FrontState& state() { return host.frontend().state(); }
  TObyekt& obj(int i) { return world().Objects.at(static_cast<size_t>(i)); }

  int Spawn(int kind, int side, float x, float y) {
    EXPECT_TRUE(SpawnObject(world(), 0, kind, side, x, y, 0));
    return static_cast<int>(world().Objects.size()) - 1;
  }
  // Cursor over a world point (camera at 0); the view is 447 pixels high.
  void Point(int x, int y) { host.Move(x, 447 - y); }
  void Click(Frontend::Button b) {
    host.Down(b);
    host.Tick();
  }
  void LeftAt(int x, int y) {
    Point(x, y);
    Click(Frontend::Button::Left);
  }
  void RightAt(int x, int y) {
    Point(x, y);
    Click(Frontend::Button::Right);
  }
  std::vector<std::string> Lines() { return controls().ListLines(); }
  bool HasLine(const std::string& line) {
    auto lines = Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  RecordingPlatform platform;
  HeadlessHost host;
};

TEST_F(Panel, OverlappingObjectsAllHoveredAndSelected) {
  int far = Spawn(kWorker, 2, 100, 100);
  int base = Spawn(kBase, 2, 200, 200);
  int tower = Spawn(kTower, 2, 205, 200);
  int dead = Spawn(kBase, 2, 200, 200);
  obj(dead).Energy[0] = 0;
  obj(dead).Selected = true;
  int broken = Spawn(kBase, 2, 200, 200);
  obj(broken).Kind = 99;  // bad data: no type
  obj(far).Selected = true;
  controls().ComboAdd(1, "x");
  controls().SetComboIndex(1, 0);

  Point(202, 200);
  host.Tick();
  EXPECT_EQ(state().HoverIndex, tower);
  EXPECT_TRUE(HasLine(W("Под курсором: ") + "2"));
  EXPECT_TRUE(HasLine(W("Это Башня")));
  EXPECT_FALSE(obj(base).Selected);

  Click(Frontend::Button::Left);
  EXPECT_FALSE(obj(far).Selected);
  EXPECT_TRUE(obj(base).Selected);
  EXPECT_TRUE(obj(tower).Selected);
  EXPECT_FALSE(obj(dead).Selected);
  EXPECT_FALSE(obj(broken).Selected);
  EXPECT_EQ(controls().ComboItems(1), std::vector<std::string>{W("Выстрел (сила 4)")});
  EXPECT_TRUE(controls().ComboItems(2).empty());
  EXPECT_EQ(controls().ComboItems(3), (std::vector<std::string>{W("Дальность"), W("Точность")}));
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(controls().ComboIndex(k), -1);
  EXPECT_EQ(controls().ComboText(1), W("Тип атаки"));
  EXPECT_EQ(controls().ComboText(2), W("Тип объекта"));
  EXPECT_EQ(controls().ComboText(3), W("Тип апгрейда"));
}

TEST_F(Panel, AttackStrengthsInTheCombo) {
  Spawn(kWorker, 2, 200, 200);
  LeftAt(200, 200);
  EXPECT_EQ(controls().ComboItems(1),
            (std::vector<std::string>{W("Удар (сила 2.5)"), W("Пинок (сила 10)"),
                                      W("Тык (сила 0.100000001490116)")}));
  EXPECT_EQ(controls().ComboItems(2),
            (std::vector<std::string>{W("База"), W("Нет такого"), W("Башня")}));
  EXPECT_EQ(controls().ComboItems(3), std::vector<std::string>{W("Броня")});
}

TEST_F(Panel, LeftClickOnEmptyGroundDropsSelectionOnly) {
  int a = Spawn(kWorker, 2, 200, 200);
  LeftAt(200, 200);
  ASSERT_TRUE(obj(a).Selected);
  controls().SetComboIndex(2, 2);
  controls().SetComboText(3, "typed");
  LeftAt(300, 300);
  EXPECT_FALSE(obj(a).Selected);
  EXPECT_EQ(controls().ComboItems(1).size(), 3u);
  EXPECT_EQ(controls().ComboIndex(2), 2);
  EXPECT_EQ(controls().ComboText(3), "typed");
  EXPECT_EQ(state().HoverIndex, -1);
  EXPECT_EQ(state().ClickCommand, 3);
}

TEST_F(Panel, MoveOrderRoundsHalvesToEven) {
  int a = Spawn(kWorker, 2, 300, 300);
  int dead = Spawn(kWorker, 2, 350, 300);
  obj(a).Selected = true;
  obj(a).Thought2 = "next";
  obj(dead).Energy[0] = 0;
  obj(dead).Selected = true;
  host.Move(100, 447 - 100);
  state().CameraX = 87.5f;  // world point 12.5, 13.5
  state().CameraY = 86.5f;
  Click(Frontend::Button::Right);
  EXPECT_EQ(obj(a).Thought1, "idti 12,14");
  EXPECT_EQ(obj(a).Thought2, "");
  EXPECT_EQ(obj(dead).Thought1, "idti 12,14");  // dead but selected: ordered too
  EXPECT_EQ(state().ClickCommand, 0);
}

TEST_F(Panel, RightClickOnAnotherObjectFollowsIt) {
  int a = Spawn(kWorker, 2, 100, 100);
  int target = Spawn(kBase, 3, 300, 300);
  obj(a).Selected = true;
  obj(a).Thought2 = "next";
  RightAt(300, 300);
  EXPECT_EQ(obj(a).Thought1, "idtiza " + std::to_string(target));
  EXPECT_EQ(obj(a).Thought2, "");
  EXPECT_EQ(state().ClickCommand, 0);
  EXPECT_TRUE(HasLine(W("Команда при клике: ") + "0"));
}

TEST_F(Panel, RightClickOnTheSelectedObjectItself) {
  int a = Spawn(kWorker, 2, 100, 100);
  obj(a).Selected = true;
  obj(a).Thought1 = "keep";
  obj(a).Thought2 = "next";
  RightAt(100, 100);
  EXPECT_EQ(obj(a).Thought1, "keep");
  EXPECT_EQ(obj(a).Thought2, "");
  EXPECT_EQ(state().ClickCommand, 0);
}

TEST_F(Panel, RightClickWithNothingSelectedKeepsFollowMode) {
  Spawn(kBase, 3, 300, 300);
  int a = Spawn(kWorker, 2, 100, 100);
  RightAt(300, 300);
  EXPECT_EQ(state().ClickCommand, 2);
  obj(a).Selected = true;
  RightAt(200, 200);  // empty ground, still mode 2: no follow order
  EXPECT_EQ(obj(a).Thought1, "");
  EXPECT_EQ(state().ClickCommand, 0);
}

TEST_F(Panel, AttackGoesToTheFirstSelectedOnly) {
  int a = Spawn(kWorker, 2, 100, 100);
  int b = Spawn(kWorker, 2, 100, 200);
  int enemy = Spawn(kBase, 3, 300, 300);
  for (const char* item : {"a", "b", "c"}) controls().ComboAdd(1, item);
  host.Choose(1, 2);
  host.Tick();
  EXPECT_EQ(state().ClickCommand, 1);
  RightAt(300, 300);  // nothing selected yet: the mode waits
  EXPECT_EQ(state().ClickCommand, 1);
  EXPECT_EQ(controls().ComboIndex(1), 2);

  obj(a).Selected = true;
  obj(b).Selected = true;
  obj(b).Thought2 = "next";
  RightAt(301, 302);
  EXPECT_EQ(obj(a).Thought1, "atakovat " + std::to_string(enemy));
  EXPECT_EQ(obj(a).AttackIndex, 2);
  EXPECT_EQ(obj(b).Thought1, "idti 301,302");
  EXPECT_EQ(obj(b).Thought2, "");
  EXPECT_EQ(obj(b).AttackIndex, 0);
  EXPECT_EQ(controls().ComboIndex(1), -1);
  EXPECT_EQ(state().ClickCommand, 0);
}

TEST_F(Panel, AttackOnEmptyGround) {
  // Dead objects are skipped by the simulation, so the unchanged Thought1 is the panel's.
  int a = Spawn(kWorker, 2, 100, 100);
  obj(a).Energy[0] = 0;
  obj(a).Selected = true;
  obj(a).Thought1 = "idti 5,5";
  obj(a).Thought2 = "next";
  obj(a).AttackIndex = 7;
  for (const char* item : {"a", "b"}) controls().ComboAdd(1, item);
  host.Choose(1, 1);
  RightAt(250, 250);
  EXPECT_EQ(obj(a).Thought1, "idti 5,5");
  EXPECT_EQ(obj(a).Thought2, "");
  EXPECT_EQ(obj(a).AttackIndex, 1);
  EXPECT_EQ(state().ClickCommand, 0);
}

TEST_F(Panel, AttackIndexIsMinusOneAfterARefill) {
  int a = Spawn(kWorker, 2, 100, 100);
  LeftAt(100, 100);
  host.Choose(1, 0);
  host.Tick();
  ASSERT_EQ(state().ClickCommand, 1);
  LeftAt(100, 100);  // refill: nothing chosen, mode stays 1
  ASSERT_EQ(state().ClickCommand, 1);
  ASSERT_TRUE(obj(a).Selected);
  RightAt(250, 250);
  EXPECT_EQ(obj(a).AttackIndex, -1);
  EXPECT_EQ(state().ClickCommand, 0);
}

TEST_F(Panel, BuildingBuildsBesideItself) {
  int base = Spawn(kBase, 2, 200.25f, 150.75f);
  LeftAt(200, 150);
  host.Choose(2, 1);  // "Башня": types 3 and 4 bear it, the last wins
  obj(base).BuildProgress = 17;
  obj(base).Thought1 = "old";
  Point(300, 300);
  world().Rng.Seed = 12345;
  Random r{12345};
  const IntPoint site = BuildSiteNear(r, obj(base));
  Click(Frontend::Button::Right);
  EXPECT_EQ(obj(base).Thought1, "");
  EXPECT_EQ(obj(base).Thought2, BuildOrder(4, site.X, site.Y));
  EXPECT_EQ(obj(base).BuildProgress, 0);
  EXPECT_EQ(world().Rng.Seed, r.Seed);
  EXPECT_EQ(controls().ComboIndex(2), -1);
  EXPECT_EQ(state().ClickCommand, 0);
}

TEST_F(Panel, BuildSiteOffsetsStayInRange) {
  int base = Spawn(kBase, 2, 200, 150);
  LeftAt(200, 150);
  for (uint32_t seed = 0; seed < 200; ++seed) {
    host.Choose(2, 0);
    world().Rng.Seed = seed * 2654435761u;
    RightAt(300, 300);
    const std::string& t = obj(base).Thought2;
    ASSERT_EQ(t.rfind("stroyka 0,", 0), 0u) << t;
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(t.c_str() + 10, "%d,%d", &x, &y), 2) << t;
    EXPECT_GE(x - 200, -49);
    EXPECT_LE(x - 200, 24);
    EXPECT_GE(y - 150, -49);
    EXPECT_LE(y - 150, 24);
  }
}

TEST_F(Panel, WorkerBuildsAtTheCursor) {
  int a = Spawn(kWorker, 2, 100, 100);
  LeftAt(100, 100);
  host.Choose(2, 0);  // "База"
  obj(a).BuildProgress = 5;
  RightAt(250, 260);
  EXPECT_EQ(obj(a).Thought1, "idti 250,260");
  EXPECT_EQ(obj(a).Thought2, "stroyka 1,250,260");
  EXPECT_EQ(obj(a).BuildProgress, 0);
  EXPECT_EQ(state().ClickCommand, 0);

  host.Choose(2, 1);  // a name no type bears
  obj(a).Thought1 = "t1";
  obj(a).Thought2 = "t2";
  RightAt(250, 260);
  EXPECT_EQ(obj(a).Thought1, "t1");
  EXPECT_EQ(obj(a).Thought2, "t2");
  EXPECT_EQ(controls().ComboIndex(2), -1);
  EXPECT_EQ(state().ClickCommand, 0);
}

TEST_F(Panel, BuildIndexOutsideTheBuildersOwnList) {
  int base = Spawn(kBase, 2, 300, 100);  // two buildables
  int a = Spawn(kWorker, 2, 100, 100);   // three
  LeftAt(100, 100);
  obj(base).Selected = true;
  host.Choose(2, 2);
  RightAt(200, 300);
  EXPECT_EQ(obj(base).Thought2, "");  // no match; the mode falls back to 0
  EXPECT_EQ(obj(a).Thought1, "idti 200,300");
  EXPECT_EQ(obj(a).Thought2, "");
}

TEST_F(Panel, UpgradeModeIsInert) {
  int a = Spawn(kWorker, 2, 100, 100);
  int other = Spawn(kBase, 3, 300, 300);
  LeftAt(100, 100);
  host.Choose(3, 0);
  obj(a).Thought1 = "wait";  // an unknown verb stays as it is
  obj(a).Thought2 = "next";
  RightAt(200, 200);
  RightAt(300, 300);
  EXPECT_EQ(obj(a).Thought1, "wait");
  EXPECT_EQ(obj(a).Thought2, "next");
  EXPECT_EQ(obj(other).Thought1, "");
  EXPECT_EQ(state().ClickCommand, 4);
  EXPECT_TRUE(HasLine(W("Команда при клике: ") + "4"));
}

TEST_F(Panel, ReadoutOfHoveredObjects) {
  world().Sides[0].Money = 12.5f;
  world().Sides[1].Money = 13.5f;
  world().Sides[2].Money = -0.5f;
  int ore = Spawn(kOre, 555, 300, 300);
  int peasant = Spawn(kPeasant, 2, 100, 100);
  Point(300, 300);
  host.Tick();
  std::vector<std::string> expected = {W("Первая расса: $12"),
                                       W("Вторая расса: $14"),
                                       W("Третья расса: $0"),
                                       W("Команда при клике: 0"),
                                       W("Под курсором: ") + std::to_string(ore),
                                       " ",
                                       W("Это Руда"),
                                       W("Мысль 1: "),
                                       W("Мысль 2: "),
                                       W("Ресурс: 12")};
  EXPECT_EQ(Lines(), expected);

  obj(ore).Cargo[0] = 13.5f;
  host.Tick();
  EXPECT_EQ(Lines().back(), W("Ресурс: 14"));

  obj(peasant).Thought1 = "idti 1,2";
  Point(100, 100);
  host.Tick();
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[6], W("Это Крестьянин"));
  EXPECT_EQ(lines[7], W("Мысль 1: idti 1,2"));
  EXPECT_EQ(lines[8], W("Мысль 2: "));

  Point(200, 200);
  host.Tick();
  lines = Lines();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[4], W("Под курсором: -1"));
  EXPECT_EQ(lines[6], W("Наведите курсор на юнит,"));
  EXPECT_EQ(lines[7], W("чтобы узнать его мысли"));
}

TEST_F(Panel, NothingBeforeTheLevelRuns) {
  controls().SetButtonEnabled(2, true);
  int a = Spawn(kWorker, 2, 100, 100);
  LeftAt(100, 100);
  EXPECT_FALSE(obj(a).Selected);
  EXPECT_EQ(state().HoverIndex, -1);
}

}  // namespace
