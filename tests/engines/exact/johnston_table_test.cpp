// Johnston's table against the walk on random weighted thresholds (ties,
// players of weight 0, a second subgame the threshold does not bind, low
// and high quotas), its worked example, and beyond 63 players, where it
// counts once per prime: padding a game with players of weight 0 doubles
// every count per player added, and equal weights have a closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "../brute.h"
#include "engines/exact/fast_counts.h"
#include "engines/exact/johnston_table.h"
#include "engines/walk/johnston_walk.h"

namespace {

double rel(const XNUM& got, double want) {
  const double g = XTODOUBLE(got);
  return want == 0 ? std::fabs(g) : std::fabs(g - want) / want;
}

johnston::Result table(const std::vector<int64_t>& w, int64_t q, const std::vector<int>& sub) {
  johnston::Result r;
  const int n = static_cast<int>(w.size()) - 1;
  EXPECT_TRUE(johnston::COUNT(sizetable::Threshold{n, 2, sub.data(), w.data(), q}, r));
  return r;
}

TEST(JohnstonTable, MatchesTheWalkOnOneThreshold) {
  std::mt19937_64 rng(1978);
  for (int round = 0; round < 120; ++round) {
    const int n = 1 + round % 14;
    weightedwalk::Game g = brute::GAME(rng, n, 0);
    if (round % 5 == 0) g.m[0][1][1] = 0;  // everything wins
    std::vector<int64_t> weight;
    int64_t q = 0;
    ASSERT_TRUE(fastcount::ASTHRESHOLD(g, weight, q));
    const johnston::Result r = table(weight, q, g.sub);
    weightedwalk::JohnstonCounts w;
    ASSERT_TRUE(weightedwalk::JOHNSTON_CORE(g, w));
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(XTODOUBLE(r.wins), static_cast<double>(w.wins));
    EXPECT_EQ(XTODOUBLE(r.vulnerable), static_cast<double>(w.vulnerable));
    for (int p = 1; p <= n; ++p) {
      EXPECT_LE(rel(r.score[p], weightedwalk::JOHNSTONSCORE(w.bySize[p])), 1e-13) << p;
      EXPECT_EQ(XTODOUBLE(r.critical[p]), static_cast<double>(w.critical[p])) << p;
    }
  }
}

TEST(JohnstonTable, WorkedExampleAndCountsBeyondSixtyThreePlayers) {
  const johnston::Result small = table({0, 2, 1, 1}, 3, {0, 1, 1, 1});
  EXPECT_EQ(XTODOUBLE(small.score[1]), 2.0);
  EXPECT_EQ(XTODOUBLE(small.score[2]), 0.5);
  EXPECT_EQ(XTODOUBLE(small.vulnerable), 3.0);
  // A game of 12 players, then the same with 60 players of weight 0 more:
  // each count doubles 60 times (counted modulo primes, joined).
  const std::vector<int64_t> w{0, 9, 7, 7, 5, 4, 4, 4, 3, 2, 2, 1, 1};
  std::vector<int64_t> padded = w;
  padded.resize(w.size() + 60, 0);
  const std::vector<int> sub(padded.size(), 1);
  const johnston::Result a = table(w, 30, sub), b = table(padded, 30, sub);
  const double scale = std::ldexp(1.0, 60);
  EXPECT_LE(rel(b.wins, XTODOUBLE(a.wins) * scale), 1e-14);
  EXPECT_LE(rel(b.vulnerable, XTODOUBLE(a.vulnerable) * scale), 1e-14);
  for (std::size_t p = 1; p < w.size(); ++p)
    EXPECT_LE(rel(b.score[p], XTODOUBLE(a.score[p]) * scale), 1e-14) << p;
  for (std::size_t p = w.size(); p < padded.size(); ++p) EXPECT_TRUE(b.score[p].zero());
  // 90 equal votes, 50 to win: only coalitions of exactly 50 have critical
  // members, all 50 of them: each player scores C(89, 49) / 50.
  const std::vector<int64_t> equal(91, 1);
  const johnston::Result e = table(equal, 50, std::vector<int>(91, 1));
  const double want = std::exp(std::lgamma(90.0) - std::lgamma(50.0) - std::lgamma(41.0)) / 50;
  for (int p = 1; p <= 90; ++p) EXPECT_LE(rel(e.score[p], want), 1e-11) << p;
  EXPECT_GT(johnston::COST(sizetable::Threshold{90, 1, nullptr, equal.data(), 50}).PASSES, 1);
}

}  // namespace
