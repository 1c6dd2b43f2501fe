#include "app/match_stats.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/match_state.h"
#include "app/script.h"
#include "test_files.h"
#include "util/numtext.h"

namespace {

size_t Lines(const std::string& text) {
  size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

}  // namespace

// A match's figures add up: every object made after the start is finished once, a side's kills
// are the other's losses, the series has a sample a second, and copies go on apart.
TEST(MatchStats, AMatchsFiguresAddUpAndCopiesGoOnApart) {
  InDir data(RTS_SOURCE_DIR "/data");
  RecordingPlatform platform;
  platform.fixedSeed = 11;
  HeadlessHost host(platform);
  std::ostringstream out;
  host.Run("press 1\npress 2\n", out);
  const size_t atStart = host.world().Objects.size();
  host.Run("tick 6000\nstats\n", out);
  const MatchStats& stats = host.match().observer()->figures().Stats;
  ASSERT_EQ(host.match().winner(), -1);  // still going: the series has every second
  EXPECT_EQ(stats.samples(), 61u);
  EXPECT_EQ(Lines(out.str()), 1 + 2 * stats.samples());
  int32_t finished = 0;
  int32_t lost = 0;
  for (const TypeTotals& t : stats.types()) {
    finished += t.Finished[0] + t.Finished[1];
    lost += t.Lost[0];
  }
  EXPECT_EQ(static_cast<size_t>(finished), host.world().Objects.size() - atStart);
  const std::array<StatsSample, 2>& last = stats.sample(stats.samples() - 1);
  EXPECT_EQ(last[1].Kills, lost);
  EXPECT_EQ(last[0].Losses, lost);
  EXPECT_GT(last[0].Delivered, 0);
  EXPECT_GT(last[0].Workers, 1);
  // An observer's strip: both sides' army and what they made.
  int32_t made0 = 0;
  for (const TypeTotals& t : stats.types()) made0 += t.Finished[0];
  const std::string strip = ObserverStrip(host.match());
  EXPECT_EQ(strip.find("army " + std::to_string(RoundHalfEven(last[0].Army)) + " / "), 0u) << strip;
  EXPECT_NE(strip.find(", made " + std::to_string(made0) + " / "), std::string::npos) << strip;

  MatchStats copy = stats;
  World empty;
  copy.Frame(empty, 6100);
  EXPECT_EQ(copy.samples(), 62u);
  EXPECT_EQ(copy.sample(61)[0].Workers, 0);
  host.Run("tick 100\n", out);
  const MatchStats& later = host.match().observer()->figures().Stats;
  ASSERT_EQ(later.samples(), 62u);
  EXPECT_GT(later.sample(61)[0].Workers, 0);  // not the copy's sample
  EXPECT_EQ(copy.sample(61)[0].Workers, 0);
}
