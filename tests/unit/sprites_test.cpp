#include "game/sprites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// One race, one type: walk 4 frames (texture 0), work 2 frames (texture 1), dying 3 frames,
// walk loaded 1 frame.
World SpriteWorld() {
  World world;
  TOpisan& type = world.Catalogue.emplace_back().Types.emplace_back();
  type.Textures = {11, 22};
  type.Animations = {{0, {1, 2, 3, 4}}, {1, {5, 6}}, {0, {7, 8, 9}}, {0, {10}}};
  type.SheetWidth = 128;
  type.SheetHeight = 256;
  type.FrameWidth = 16;
  type.FrameHeight = 16;
  type.Energies = {{"hp", 100, 0}};
  TObyekt& object = world.Objects.emplace_back();
  object.Energy = {100};
  object.Angle = 0;
  return world;
}

struct Column {
  int32_t column;
  bool mirrored;
};

Column ColumnOf(float angle) {
  Column c{};
  c.column = DirectionColumn(angle, c.mirrored);
  return c;
}

}  // namespace

TEST(DirectionColumn, HeadingTable) {
  const struct {
    float angle;
    int32_t column;
    bool mirrored;
  } cases[] = {
      {90, 1, true},     {89.6f, 1, false}, {89, 2, false},    {89.5f, 1, false},
      {0, 3, false},     {360, 3, false},   {180, 3, true},    {270, 5, true},
      {315, 4, false},   {45, 2, false},    {134.5f, 1, true},  // d 44.5 rounds to 44
      {135.5f, 2, true},                                        // d 45.5 rounds to 46
      {314.5f, 5, true},                                        // d 224.5 rounds to 224
  };
  for (const auto& c : cases) {
    const Column got = ColumnOf(c.angle);
    EXPECT_EQ(got.column, c.column) << c.angle;
    EXPECT_EQ(got.mirrored, c.mirrored) << c.angle;
  }
}

TEST(DirectionColumn, HeadingsOutsideTheCircleStayInTheSheet) {
  for (float angle :
       {-1000.0f, -400.0f, 500.0f, 1000.0f, 1e9f, std::numeric_limits<float>::quiet_NaN(),
        std::numeric_limits<float>::infinity()}) {
    const Column got = ColumnOf(angle);
    EXPECT_GE(got.column, 1) << angle;
    EXPECT_LE(got.column, 5) << angle;
  }
  // Within one turn outside the range the plain rule still holds.
  EXPECT_EQ(ColumnOf(400).column, 3);  // d 310
  EXPECT_FALSE(ColumnOf(400).mirrored);
}

TEST(AdvanceAnimation, LoopsAtTheEnd) {
  World world = SpriteWorld();
  TObyekt& o = world.Objects[0];
  o.Frame = 3.0f;  // equal to n - 1: kept
  SpriteChoice c = AdvanceAnimation(world, 0, kActionWalk);
  ASSERT_TRUE(c.Draw);
  EXPECT_EQ(c.Row, 4);
  EXPECT_EQ(c.Texture, 11u);
  EXPECT_EQ(c.Type, &world.Catalogue[0].Types[0]);
  EXPECT_FLOAT_EQ(o.Frame, 3.1f);
  c = AdvanceAnimation(world, 0, kActionWalk);  // 3.1 is past the end: back to 0
  EXPECT_EQ(c.Row, 1);
  EXPECT_FLOAT_EQ(o.Frame, 0.1f);
}

TEST(AdvanceAnimation, PlaysOneRowPerTenFrames) {
  World world = SpriteWorld();
  std::vector<int32_t> rows;
  for (int i = 0; i < 40; ++i) rows.push_back(AdvanceAnimation(world, 0, kActionWalk).Row);
  // Positions round halves to even: 0.5 shows frame 0, 1.5 and 2.5 show frame 2.
  EXPECT_EQ(rows[5], 1);
  EXPECT_EQ(rows[6], 2);
  EXPECT_EQ(rows[15], 3);
  EXPECT_EQ(rows[25], 3);
  EXPECT_EQ(rows[30], 4);
  EXPECT_EQ(rows[31], 1);  // 3.1 wrapped to 0
}

TEST(AdvanceAnimation, IdleIsFrozenOnTheFirstFrame) {
  World world = SpriteWorld();
  TObyekt& o = world.Objects[0];
  o.Frame = 2.7f;
  for (int i = 0; i < 5; ++i) {
    const SpriteChoice c = AdvanceAnimation(world, 0, kActionIdle);
    EXPECT_EQ(c.Row, 1);
    EXPECT_FLOAT_EQ(o.Frame, 0.1f);
  }
  const SpriteChoice work = AdvanceAnimation(world, 0, -2);  // animation 1, first frame
  EXPECT_EQ(work.Row, 5);
  EXPECT_EQ(work.Texture, 22u);
}

TEST(AdvanceAnimation, DyingIsHeldAtTheLastFrame) {
  World world = SpriteWorld();
  TObyekt& o = world.Objects[0];
  o.Energy = {-20};
  o.Frame = 7.3f;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(AdvanceAnimation(world, 0, SelectorOf(o)).Row, 9);
    EXPECT_FLOAT_EQ(o.Frame, 2.1f);
  }
  o.Frame = 0.4f;  // plays from the first frame
  EXPECT_EQ(AdvanceAnimation(world, 0, kActionDying).Row, 7);
  // A looping animation past its end starts again instead.
  o.Frame = 7.3f;
  EXPECT_EQ(AdvanceAnimation(world, 0, kActionWork).Row, 5);
}

TEST(AdvanceAnimation, HiddenIsNeitherDrawnNorAdvanced) {
  World world = SpriteWorld();
  TObyekt& o = world.Objects[0];
  o.Frame = 1.3f;
  o.Selected = true;
  EXPECT_FALSE(AdvanceAnimation(world, 0, kActionHidden).Draw);
  EXPECT_EQ(o.Frame, 1.3f);
}

TEST(AdvanceAnimation, BadDataIsSkippedButCountersRun) {
  World world = SpriteWorld();
  TObyekt& o = world.Objects[0];

  o.Frame = 1.0f;
  EXPECT_FALSE(AdvanceAnimation(world, 0, 7).Draw);  // no animation 7
  EXPECT_FLOAT_EQ(o.Frame, 1.1f);
  EXPECT_FALSE(AdvanceAnimation(world, 0, -9).Draw);  // animation 8: still frozen
  EXPECT_FLOAT_EQ(o.Frame, 0.1f);
  EXPECT_FALSE(AdvanceAnimation(world, 0, std::numeric_limits<int32_t>::min()).Draw);

  world.Catalogue[0].Types[0].Animations[1].TextureIndex = 5;
  o.Frame = 0;
  EXPECT_FALSE(AdvanceAnimation(world, 0, kActionWork).Draw);
  EXPECT_FLOAT_EQ(o.Frame, 0.1f);

  world.Catalogue[0].Types[0].Animations[3].Frames.clear();
  o.Frame = 0;
  EXPECT_FALSE(AdvanceAnimation(world, 0, kActionWalkLoaded).Draw);
  EXPECT_FLOAT_EQ(o.Frame, 0.1f);

  o.Energy.clear();
  o.Frame = 0;
  EXPECT_FALSE(AdvanceAnimation(world, 0, kActionWalk).Draw);
  EXPECT_FLOAT_EQ(o.Frame, 0.1f);
  o.Energy = {100};

  o.Rassa = 3;  // no such race
  EXPECT_FALSE(AdvanceAnimation(world, 0, kActionWalk).Draw);
  EXPECT_FLOAT_EQ(o.Frame, 0.2f);

  EXPECT_FALSE(AdvanceAnimation(world, 5, kActionWalk).Draw);  // no such object
}

TEST(AdvanceAnimations, FollowsEachObjectsSelector) {
  World world = SpriteWorld();
  world.Objects.push_back(world.Objects[0]);
  world.Objects.push_back(world.Objects[0]);
  world.Objects[0].Action = kActionWalk;
  world.Objects[1].Action = kActionHidden;
  world.Objects[1].Frame = 0.5f;
  world.Objects[2].Action = kActionWalk;
  world.Objects[2].Energy = {0};  // dead: dying animation held at its last frame
  world.Objects[2].Frame = 3.0f;
  AdvanceAnimations(world);
  EXPECT_FLOAT_EQ(world.Objects[0].Frame, 0.1f);
  EXPECT_EQ(world.Objects[1].Frame, 0.5f);
  EXPECT_FLOAT_EQ(world.Objects[2].Frame, 2.1f);
}
