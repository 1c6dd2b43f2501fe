// The ladder's schedule, lines and table, and the rating fit on results whose answer is known.
#include "app/ladder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "app/ladder_rating.h"

namespace {

double Counted(double games) {
  return games + kPriorGames / 3;
}

TEST(LadderRating, TwoPlayersGiveTheClosedForm) {
  // Two players fill the model: the fit gives the observed shares, and the variance of the
  // log odds is 1/wins + 1/losses (the prior's games included).
  const Ratings r = FitRatings(2, {{0, 1, 15, 5, 2}});
  const double a = Counted(15), b = Counted(5), d = Counted(2);
  EXPECT_NEAR(r.Strength[0] - r.Strength[1], std::log(a / b), 1e-9);
  EXPECT_NEAR(r.Strength[0] + r.Strength[1], 0, 1e-12);
  EXPECT_NEAR(r.DrawFactor, d / std::sqrt(a * b), 1e-9);
  const double error = 0.5 * std::sqrt(1 / a + 1 / b);
  EXPECT_NEAR(r.Error[0], error, 1e-9);
  EXPECT_NEAR(r.Error[1], error, 1e-9);
  // Which player comes first in the pair changes nothing.
  const Ratings swapped = FitRatings(2, {{1, 0, 5, 15, 2}});
  EXPECT_NEAR(swapped.Strength[0], r.Strength[0], 1e-9);
  EXPECT_NEAR(swapped.Error[1], r.Error[1], 1e-9);
  EXPECT_NEAR(EloPoints(std::log(10.0)), 400, 1e-9);
}

TEST(LadderRating, SymmetryAndSeparationStayFinite) {
  // A cycle in which each beats the next as often: all equal.
  const Ratings cycle = FitRatings(3, {{0, 1, 6, 2, 1}, {1, 2, 6, 2, 1}, {2, 0, 6, 2, 1}});
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(cycle.Strength[i], 0, 1e-9);
    EXPECT_NEAR(cycle.Error[i], cycle.Error[0], 1e-9);
    EXPECT_GT(cycle.Error[i], 0);
  }
  // Every game won by the stronger, none drawn: finite, ordered, the middle one at 0.
  const Ratings order = FitRatings(3, {{0, 1, 10, 0, 0}, {1, 2, 10, 0, 0}, {0, 2, 10, 0, 0}});
  EXPECT_TRUE(std::isfinite(order.Strength[0]) && std::isfinite(order.DrawFactor));
  EXPECT_GT(order.Strength[0], order.Strength[1] + 1);
  EXPECT_NEAR(order.Strength[1], 0, 1e-9);
  EXPECT_NEAR(order.Strength[2], -order.Strength[0], 1e-9);
  EXPECT_GT(order.DrawFactor, 0);
  // Every game drawn: equal strengths and a large but finite draw factor.
  const Ratings drawn = FitRatings(3, {{0, 1, 0, 0, 8}, {1, 2, 0, 0, 8}, {0, 2, 0, 0, 8}});
  EXPECT_NEAR(drawn.Strength[0], 0, 1e-9);
  EXPECT_TRUE(std::isfinite(drawn.DrawFactor));
  EXPECT_GT(drawn.DrawFactor, 10);
}

MatchResult Result(uint64_t k, std::optional<int> winner) {
  MatchResult r;
  r.Match = k;
  r.Seed = static_cast<uint32_t>(5 + k / 2);
  r.Winner = winner;
  r.End = winner ? MatchEnd::Win : MatchEnd::Stalemate;
  r.Matches = 8;
  r.FrameLimit = 1000;
  return r;
}

TEST(Ladder, LinesReadBackAndTheTableCountsBothSides) {
  const LadderInfo info{{"a.lua", "b.lua"}, {0x12, 0xabc}, 4, 1000, 5};
  // Even matches have a on side 0, odd ones b: a wins 5, loses 2 and draws 1.
  const std::optional<int> winners[] = {0, 0, 0, 1, 0, 1, std::nullopt, 0};
  std::vector<MatchResult> results;
  for (uint64_t k = 0; k < 8; ++k) results.push_back(Result(k, winners[k]));

  const std::string line = LadderJson(results[3], info).dump();
  EXPECT_NE(line.find("\"ai\":[\"b.lua\",\"a.lua\"],\"ladder\":[\"a.lua\",\"b.lua\"],"
                      "\"scripts\":[\"0000000000000012\",\"0000000000000abc\"],\"games\":4}"),
            std::string::npos)
      << line;
  LadderInfo back;
  std::string problem;
  ASSERT_TRUE(LadderFromJson(line, back, problem)) << problem;
  EXPECT_EQ(back.Names, info.Names);
  EXPECT_EQ(back.Hashes, info.Hashes);
  EXPECT_EQ(back.Seed, 5u);
  // The sides must be the pair the match number schedules; a batch line is no ladder line.
  std::string swapped = line;
  swapped.replace(swapped.find("[\"b.lua\",\"a.lua\"]"), 17, "[\"a.lua\",\"b.lua\"]");
  EXPECT_FALSE(LadderFromJson(swapped, back, problem));
  EXPECT_FALSE(LadderFromJson(MatchJson(results[3]).dump(), back, problem));
  EXPECT_EQ(problem, "not a line of a ladder");

  std::ostringstream table;
  PrintLadder(results, info, table);
  const std::string text = table.str();
  EXPECT_NE(text.find("ladder: 2 AI scripts, 8 matches of at most 1000 frames, seeds 5 to 8"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("draws: 1 (0 at the frame limit, 1 stalemates"), std::string::npos);
  // 5 wins, 2 losses, 1 draw of 8, with Wilson intervals.
  EXPECT_NE(text.find("a.lua - b.lua      8       5   30.6 to  86.3 %       2    7.1 to  59.1 %"
                      "       1    2.2 to  47.1 %\n"),
            std::string::npos)
      << text;
  // a first, with 5.5 of 8 points.
  EXPECT_LT(text.find("\na.lua "), text.find("\nb.lua "));
  EXPECT_NE(text.find("8   68.8 %\n"), std::string::npos) << text;
}

}  // namespace
