// DrawBatches: draws that may share a pixel keep their order, each batch holds one kind, and
// draws apart share batches.
#include "render/draw_batches.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "util/random.h"

namespace {

struct Draw {
  uint64_t Kind;
  int32_t X0, Y0, X1, Y1;
  int32_t Batch = -1;
};

// Whether two draws may share a pixel: their cells, clamped into the grid, meet.
bool Meet(const Draw& a, const Draw& b, int32_t cols, int32_t rows) {
  const auto cx = [&](int32_t x) { return std::clamp(x, 0, cols - 1); };
  const auto cy = [&](int32_t y) { return std::clamp(y, 0, rows - 1); };
  return cx(a.X0) <= cx(b.X1) && cx(b.X0) <= cx(a.X1) && cy(a.Y0) <= cy(b.Y1) &&
         cy(b.Y0) <= cy(a.Y1);
}

TEST(DrawBatchesTest, DrawsThatMeetKeepTheirOrderAndABatchHoldsOneKind) {
  constexpr int32_t kCols = 20;
  constexpr int32_t kRows = 16;
  Random r{3};
  DrawBatches batches;
  for (int round = 0; round < 20; ++round) {
    batches.Reset(kCols, kRows);  // a new frame forgets the last
    std::vector<Draw> draws;
    for (int k = 0; k < 300; ++k) {
      Draw d;
      d.Kind = r.Next(3) == 0 ? (uint64_t{1} << 32) : r.Next(2);
      d.X0 = static_cast<int32_t>(r.Next(kCols + 4)) - 2;  // some beyond the grid
      d.Y0 = static_cast<int32_t>(r.Next(kRows + 4)) - 2;
      d.X1 = d.X0 + static_cast<int32_t>(r.Next(4));
      d.Y1 = d.Y0 + static_cast<int32_t>(r.Next(3));
      d.Batch = batches.Add(d.Kind, d.X0, d.Y0, d.X1, d.Y1);
      draws.push_back(d);
    }
    // Each batch's place in the drawing order.
    std::vector<int32_t> place(static_cast<size_t>(batches.Count()));
    for (size_t k = 0; k < batches.Order().size(); ++k)
      place[static_cast<size_t>(batches.Order()[k])] = static_cast<int32_t>(k);
    for (size_t j = 0; j < draws.size(); ++j) {
      ASSERT_EQ(batches.Kind(draws[j].Batch), draws[j].Kind);
      for (size_t i = 0; i < j; ++i) {
        if (!Meet(draws[i], draws[j], kCols, kRows)) continue;
        // In the same batch (of one kind) or in a later one: i is drawn first either way.
        ASSERT_LE(place[static_cast<size_t>(draws[i].Batch)],
                  place[static_cast<size_t>(draws[j].Batch)])
            << "draws " << i << " and " << j;
      }
    }
    EXPECT_LT(batches.Count(), 150);  // far fewer batches than draws
  }
}

TEST(DrawBatchesTest, DrawsApartJoinTheFirstBatchOfTheirKind) {
  DrawBatches batches;
  batches.Reset(16, 16);
  EXPECT_EQ(batches.Add(7, 0, 0, 1, 1), 0);
  EXPECT_EQ(batches.Add(8, 5, 5, 6, 6), 1);
  EXPECT_EQ(batches.Add(7, 10, 10, 11, 11), 0);  // meets neither: back to the first batch
  EXPECT_EQ(batches.Add(7, 6, 6, 6, 6), 2);      // over the draw of kind 8: after it
  EXPECT_EQ(batches.Add(8, 0, 1, 0, 1), 1);      // over kind 7 of batch 0 only
  EXPECT_EQ(batches.Add(8, 6, 6, 7, 7), 3);      // over batch 2
  EXPECT_EQ(batches.Add(7, 15, 15, 15, 15), 0);
  EXPECT_EQ(batches.Add(7, -9, 1, -9, 1), 2);  // beyond the left edge: the edge column
  EXPECT_EQ(batches.Count(), 4);
  EXPECT_EQ(batches.Kind(2), 7u);
  EXPECT_EQ(batches.Kind(3), 8u);
}

// A chain of draws that meet opens levels; a draw that meets only the start of a chain goes
// right after it, not after the whole chain.
TEST(DrawBatchesTest, ADrawGoesRightAfterWhatItMeets) {
  DrawBatches batches;
  batches.Reset(16, 16);
  EXPECT_EQ(batches.Add(7, 0, 0, 0, 0), 0);
  EXPECT_EQ(batches.Add(8, 0, 0, 0, 0), 1);  // level 0: its kind comes after 7
  EXPECT_EQ(batches.Add(7, 0, 0, 0, 0), 2);  // level 1
  EXPECT_EQ(batches.Add(8, 0, 0, 0, 0), 3);
  EXPECT_EQ(batches.Add(7, 5, 5, 5, 5), 0);
  EXPECT_EQ(batches.Add(9, 5, 5, 5, 5), 4);  // level 0, after both kinds there
  EXPECT_EQ(batches.Add(7, 5, 5, 5, 5), 2);  // level 1, before the chain's batch of kind 8
  const DrawBatches::Cells apart[] = {{10, 10, 10, 10}, {0, 0, 0, 0}};
  EXPECT_EQ(batches.Add(9, apart, 2), 5);  // over both cells: after batch 3
  EXPECT_EQ(batches.Order(), (std::vector<int32_t>{0, 1, 4, 2, 3, 5}));
}

}  // namespace
