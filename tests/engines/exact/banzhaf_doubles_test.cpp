// The Banzhaf counts in doubles beyond 63 players against the exact counts
// (one pass per prime, Choice::DENSE) on games drawn to strain the
// division: a few huge weights among many tiny ones, equal weights,
// players of weight 0 and dummies, quotas from low to high.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "engines/exact/fast_counts.h"
#include "straingame.h"

namespace {

double rel(const XNUM& got, const XNUM& want) {
  if (want.zero()) return got.zero() ? 0.0 : 1.0;
  return std::fabs(XTODOUBLE((got - want) / want));
}

TEST(WeightedFloat, BanzhafInDoublesMatchesTheExactCounts) {
  const uint64_t seed = 20261209;
  std::mt19937_64 rng(seed);
  auto pick = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  };
  int floated = 0, zeros = 0;
  for (int round = 0; round < 40; ++round) {
    const int n = static_cast<int>(round % 8 == 0 ? pick(400, 1000) : pick(64, 200));
    const int percent[] = {50, 10, 70, 95, 51};
    // uniform, huge among tiny, few values, dummies
    const weightedwalk::Game g = strain::GAME(pick, n, round % 4, percent[round % 5], {});
    const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round);
    auto fast = std::make_unique<fastcount::Result>(),
         exact = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(fastcount::BANZHAF_FAST(g, *fast)) << id;
    ASSERT_TRUE(fastcount::BANZHAF_FAST(g, *exact, fastcount::Choice::DENSE)) << id;
    ASSERT_TRUE(fast->wide && !exact->floating) << id;
    floated += fast->floating ? 1 : 0;
    EXPECT_LE(rel(fast->xwins, exact->xwins), 1e-12) << id;
    for (int p = 1; p <= n; ++p) {
      EXPECT_LE(rel(fast->xwith[p], exact->xwith[p]), 1e-12) << id << " player " << p;
      EXPECT_LE(rel(fast->xswings[p], exact->xswings[p]), 1e-12) << id << " player " << p;
      if (exact->xswings[p].zero()) {
        ++zeros;
        EXPECT_TRUE(fast->xswings[p].zero()) << id << " player " << p;
      }
    }
    for (int s = 1; s <= g.mm; ++s) EXPECT_LE(rel(fast->xsub[s], exact->xsub[s]), 1e-12) << id;
  }
  // Most games stay in doubles, and the dummies among them are met.
  EXPECT_GE(floated, 36);
  EXPECT_GT(zeros, 0);
}

}  // namespace
