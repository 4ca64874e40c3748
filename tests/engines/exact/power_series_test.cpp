// The Banzhaf counts by power series against the exhaustive walk on random
// games up to 20 players (one threshold, with overall thresholds in members
// or votes), and against the exact table, one pass per prime, on large
// games drawn to strain it: equal weights, players of weight 0, a few huge
// weights among tiny ones, two subgames.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "../brute.h"
#include "engines/exact/fast_counts.h"
#include "engines/exact/power_series.h"
#include "straingame.h"

namespace {

using fastcount::Result;

int countWith(const weightedwalk::Game& g, METHODTYP method, Result& r) {
  return fastcount::COUNT_WITH(g, fastcount::Index::BANZHAF, method, r, 0);
}

TEST(PowerSeries, BanzhafMatchesTheWalkAndTheTable) {
  if (!powerseries::AVAILABLE()) GTEST_SKIP() << "built without FLINT";
  const uint64_t seed = 20261210;
  std::mt19937_64 rng(seed);
  int counted = 0;
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + round % 20;
    const weightedwalk::Game g = brute::GAME(rng, n, round % 2 == 0 ? 0 : 3);
    const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round);
    auto series = std::make_unique<Result>(), table = std::make_unique<Result>();
    if (countWith(g, METHODTYP::POWERSERIES, *series) != 1) continue;
    ++counted;
    ASSERT_EQ(countWith(g, METHODTYP::WEIGHTTABLE, *table), 1) << id;
    EXPECT_EQ(series->counted, METHODTYP::POWERSERIES) << id;
    weightedwalk::WinCounts walk(n, g.mm);
    ASSERT_TRUE(weightedwalk::SHAPLEY_CORE(g, walk)) << id;
    EXPECT_EQ(static_cast<double>(series->wins), walk.wins) << id;
    for (int p = 1; p <= n; ++p) {
      EXPECT_EQ(static_cast<double>(series->with[p]), walk.with[p]) << id << " player " << p;
      EXPECT_EQ(series->swings[p], table->swings[p]) << id << " player " << p;
    }
    for (int s = 1; s <= g.mm; ++s)
      EXPECT_EQ(static_cast<double>(series->sub[s]), walk.sub[s]) << id << " subgame " << s;
  }
  EXPECT_GT(counted, 150);
}

TEST(PowerSeries, BanzhafMatchesTheExactTableOnLargeGames) {
  if (!powerseries::AVAILABLE()) GTEST_SKIP() << "built without FLINT";
  const uint64_t seed = 20261211;
  std::mt19937_64 rng(seed);
  auto pick = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  };
  for (int round = 0; round < 24; ++round) {
    // Both sides of the 64-bit counts: one prime, or the passes joined.
    const int n = static_cast<int>(round % 2 == 0 ? pick(21, 63) : pick(64, 300));
    const int percent[] = {50, 10, 70, 95, 51, 99};
    const weightedwalk::Game g =
        strain::GAME(pick, n, round % 4, percent[round % 6], {300, 2000, 9000});
    const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round);
    auto series = std::make_unique<Result>(), table = std::make_unique<Result>();
    ASSERT_EQ(countWith(g, METHODTYP::POWERSERIES, *series), 1) << id;
    ASSERT_EQ(countWith(g, METHODTYP::WEIGHTTABLE, *table), 1) << id;
    EXPECT_EQ(series->wins, table->wins) << id;
    EXPECT_TRUE(series->xwins == table->xwins) << id;
    for (int p = 1; p <= n; ++p) {
      EXPECT_EQ(series->swings[p], table->swings[p]) << id << " player " << p;
      EXPECT_EQ(series->with[p], table->with[p]) << id << " player " << p;
      EXPECT_TRUE(series->xswings[p] == table->xswings[p]) << id << " player " << p;
      EXPECT_TRUE(series->xwith[p] == table->xwith[p]) << id << " player " << p;
    }
    for (int s = 1; s <= g.mm; ++s) EXPECT_TRUE(series->xsub[s] == table->xsub[s]) << id;
  }
}

}  // namespace
