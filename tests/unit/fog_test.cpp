// The fog of war: what a side sees now, has seen and remembers, and that the match is the same
// with it or without.
#include "app/fog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/script.h"
#include "app/state_hash.h"
#include "render/thought_labels.h"
#include "test_world.h"
#include "util/cp1251.h"

namespace {

// A world of race 0's three types; the worker sees 100, the base and the deposit by default.
struct FogWorld {
  World w;
  FogWorld() {
    BasicTypes types;
    types.Worker.Sight = 100;
    w.Catalogue.push_back({{types.Worker, types.Base, types.Deposit}});
  }
  std::vector<SpriteChoice> Shown() const {
    std::vector<SpriteChoice> shown(w.Objects.size());
    for (size_t i = 0; i < shown.size(); ++i) {
      shown[i].Draw = true;
      shown[i].Row = static_cast<int32_t>(i) + 1;  // tells the choices apart
    }
    return shown;
  }
};

uint8_t ShadeAt(const FogPicture& p, float x, float y) {
  const auto c = static_cast<size_t>((x - p.X0) / p.Cell);
  const auto r = static_cast<size_t>((y - p.Y0) / p.Cell);
  return (*p.Shade)[r * static_cast<size_t>(p.Columns) + c];
}

TEST(Fog, ASideSeesAroundItsUnitsRemembersGroundAndBuildingsAndNothingElse) {
  FogWorld f;
  Spawn(f.w, kWorkerKind, 0, 0, 0);      // 0: the side's scout
  Spawn(f.w, kWorkerKind, 1, 60, 0);     // 1: an enemy in sight
  Spawn(f.w, kWorkerKind, 1, 250, 0);    // 2: an enemy out of sight
  Spawn(f.w, kBaseKind, 1, 250, 10);     // 3: an enemy base out of sight
  Spawn(f.w, kDepositKind, 555, 0, 90);  // 4: a deposit in sight
  Fog fog;
  EXPECT_FALSE(fog.on());
  EXPECT_TRUE(fog.Shows(f.w, 2));  // without a side everything shows
  fog.Reset(0);
  fog.Update(f.w, f.Shown());
  EXPECT_TRUE(fog.Lit(0, 0));
  EXPECT_TRUE(fog.Lit(90, 0));
  EXPECT_FALSE(fog.Lit(120, 0));
  EXPECT_FALSE(fog.Seen(250, 0));
  EXPECT_TRUE(fog.Shows(f.w, 0) && fog.Shows(f.w, 1) && fog.Shows(f.w, 4));
  EXPECT_FALSE(fog.Shows(f.w, 2) || fog.Shows(f.w, 3));
  std::vector<SpriteChoice> drawn = fog.Filter(f.w, f.Shown());
  EXPECT_TRUE(drawn[1].Draw);
  EXPECT_FALSE(drawn[2].Draw);
  EXPECT_FALSE(drawn[3].Draw);  // a building never seen is not known
  // F3 writes no thoughts of what the fog hides.
  f.w.Objects[1].Thought1 = f.w.Objects[2].Thought1 = "idti 1,1";
  std::vector<uint8_t> hidden(f.w.Objects.size(), 0);
  hidden[2] = 1;
  EXPECT_EQ(LayoutThoughtLabels(f.w, 6, 12).size(), 2u);
  EXPECT_EQ(LayoutThoughtLabels(f.w, 6, 12, &hidden).size(), 1u);

  // The scout walks to the base and back: the ground it saw stays seen, dimmed; the base is
  // drawn as it last looked; the enemy unit beside it is not drawn at all.
  f.w.Objects[0].X = 200;
  fog.Update(f.w, f.Shown());
  EXPECT_TRUE(fog.Shows(f.w, 3));
  std::vector<SpriteChoice> looked = f.Shown();
  looked[3].Row = 77;
  fog.Update(f.w, looked);
  f.w.Objects[0].X = 0;
  fog.Update(f.w, f.Shown());
  EXPECT_TRUE(fog.Seen(250, 0));
  EXPECT_FALSE(fog.Lit(250, 0));
  drawn = fog.Filter(f.w, f.Shown());
  EXPECT_TRUE(drawn[3].Draw);
  EXPECT_EQ(drawn[3].Row, 77);
  EXPECT_FALSE(drawn[2].Draw);
  const FogPicture p = fog.Picture();
  ASSERT_NE(p.Shade, nullptr);
  EXPECT_EQ(ShadeAt(p, 0, 0), 0);          // in sight
  EXPECT_EQ(ShadeAt(p, 250, 0), 150);      // seen before: dimmed
  EXPECT_EQ(ShadeAt(p, -250, -250), 255);  // never seen: black

  // Dead units light nothing; a new match (fewer objects) starts the fog again.
  f.w.Objects[0].Energy[0] = 0;
  fog.Update(f.w, f.Shown());
  EXPECT_FALSE(fog.Lit(0, 0));
  World fresh = f.w;
  fresh.Objects.resize(1);
  EXPECT_TRUE(fog.Behind(fresh));
}

// A player with a side sees the fog; the state hash is the same with the fog drawn or not,
// while the read-out tells nothing of an enemy out of sight under the cursor.
TEST(Fog, TheMatchIsTheSameWithTheFogAndTheReadOutHidesWhatItHides) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(RTS_SOURCE_DIR "/data");
  const std::string script =
      "seed 5 5\nplay-as 0\npress 1\npress 2\ntick 200\nmove 100 100\ntick 400\n";
  std::string hashes[2];
  std::vector<std::string> lines[2];
  for (int fogged = 0; fogged < 2; ++fogged) {
    RecordingPlatform platform;
    HeadlessHost host(platform);
    host.frontend().SetFogShown(fogged == 1);
    std::ostringstream out;
    host.Run(script, out);
    // The cursor on side 1's worker, far from side 0's sight.
    Frontend& fr = host.frontend();
    const TObyekt& enemy = fr.world().Objects[1];
    const int x = static_cast<int>(enemy.X + fr.state().CameraX);
    const int y = host.controls().ViewHeight() - static_cast<int>(enemy.Y + fr.state().CameraY);
    host.Run("move " + std::to_string(x) + " " + std::to_string(y) + "\ntick", out);
    EXPECT_EQ(fr.state().HoverIndex >= 0, true);
    EXPECT_EQ(fr.fog().on(), fogged == 1);
    if (fogged == 1) {
      EXPECT_FALSE(fr.fog().Shows(fr.world(), fr.state().HoverIndex));
    }
    hashes[fogged] = HashText(StateHash(fr));
    lines[fogged] = host.controls().ListLines();
  }
  std::filesystem::current_path(previous);
  EXPECT_EQ(hashes[0], hashes[1]);
  ASSERT_GE(lines[0].size(), 7u);
  EXPECT_EQ(lines[0][6].rfind(ToCp1251("Это "), 0), 0u);
  EXPECT_EQ(lines[1][4], ToCp1251("Под курсором: -1"));
  EXPECT_EQ(lines[1][6], ToCp1251("Наведите курсор на юнит,"));
}

// Whose sight the window shows: a player's own side; an observer's or the viewer's choice.
TEST(Fog, APlayerSeesItsSideAndAnObserverOrTheViewerTheSideItChooses) {
  RecordingPlatform platform;
  HeadlessHost host(platform);
  Frontend& f = host.frontend();
  f.player().PlayAs = 1;
  f.ChooseSight(0);
  EXPECT_EQ(f.FogSide(), -1);  // headless draws no fog unless asked
  f.SetFogShown(true);
  EXPECT_TRUE(f.OwnSight());
  EXPECT_EQ(f.FogSide(), 1);
  f.SetViewer(true);  // a replay: the recording's side does not decide
  EXPECT_FALSE(f.OwnSight());
  EXPECT_EQ(f.FogSide(), 0);
  f.SetViewer(false);
  f.SetLocal(Frontend::kWatching);
  EXPECT_FALSE(f.OwnSight());
  EXPECT_EQ(f.FogSide(), 0);
  f.ChooseSight(-1);
  EXPECT_EQ(f.FogSide(), -1);
}

}  // namespace
