// The minimal coalitions' program against the exhaustive walk on small
// games, and against the exact size table's counts (residues modulo primes)
// on games beyond 63 players, where it counts in doubles.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engines/exact/fast_counts.h"
#include "engines/exact/minimal_coalitions.h"

namespace {

struct Draw {
  std::mt19937_64 rng;
  int64_t pick(int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  }
};

// One threshold over N players: weights of a few magnitudes with zeros and
// repeats, quotas at the corners (0, 1, the total, beyond it) and inside.
weightedwalk::Game draw(Draw& d, int n, int64_t top) {
  weightedwalk::Game g(n, 1);
  g.n = n;
  g.mm = g.thres = 1;
  g.overall = 0;
  int64_t total = 0;
  const int64_t repeated = d.pick(0, top);
  for (int p = 1; p <= n; ++p) {
    const int64_t kind = d.pick(0, 9);
    g.sub[p] = 1;
    g.w[0][p] = kind == 0 ? 0 : kind <= 3 ? repeated : d.pick(0, top);
    total += g.w[0][p];
  }
  const int64_t corner[] = {0, 1, total, total + 1, total / 2 + 1};
  g.m[0][1][1] = d.pick(0, 3) == 0 ? corner[d.pick(0, 4)] : d.pick(0, total);
  return g;
}

double relative(const XNUM& a, const XNUM& b) {
  if (b.zero()) return a.zero() ? 0 : 1;
  return std::fabs(XTODOUBLE((a - b) / b));
}

TEST(MinimalCoalitions, MatchTheWalk) {
  Draw d{std::mt19937_64(27)};
  const int64_t tops[] = {1, 3, 10, 1000, 100000};
  int taken[3] = {0, 0, 0};  // by the overall threshold's kind
  for (int round = 0; round < 300; ++round) {
    const int n = static_cast<int>(d.pick(1, 20));
    const weightedwalk::Game g = draw(d, n, tops[round % 5]);
    const std::string id = "round " + std::to_string(round);
    weightedwalk::MinimalCounts want(n);
    ASSERT_TRUE(weightedwalk::PUBLICGOOD_CORE(g, want));
    // F stored at the summed levels (no budget), and grown again by
    // blocks (a budget too small to store it).
    for (const std::size_t budget : {std::size_t{0}, std::size_t{1}}) {
      minimalsets::Counts c;
      ASSERT_TRUE(minimalsets::COUNT(n, g.w[0].data(), g.m[0][1][1], c, true, budget)) << id;
      ASSERT_TRUE(c.exact);
      EXPECT_EQ(static_cast<double>(c.exactMinimal), want.minimal) << id << " budget " << budget;
      for (int p = 1; p <= n; ++p) {
        EXPECT_EQ(static_cast<double>(c.exactWith[p]), want.with[p]) << id << " player " << p;
        const double share = XTODOUBLE(c.share[p]);
        if (want.share[p] == 0)
          EXPECT_EQ(share, 0) << id << " player " << p;  // a dummy's share exactly 0
        else
          EXPECT_NEAR(share, want.share[p], 1e-13 * want.share[p]) << id << " player " << p;
      }
    }
    // The same game under an overall threshold in members, through the
    // planner's entry point.
    if (tops[round % 5] > 1000) continue;  // rows by members and weight: small weights
    weightedwalk::Game h = g;
    h.overall = static_cast<int>(d.pick(0, 2));
    h.t1 = d.pick(-1, n + 1);
    auto r = std::make_unique<fastcount::Result>();
    if (fastcount::COUNT_WITH(h, fastcount::Index::PUBLICGOOD, METHODTYP::MINIMALPROGRAM, *r, 0) <=
        0)
      continue;
    ++taken[h.overall];
    weightedwalk::MinimalCounts walked(n), got(n);
    weightedwalk::PUBLICGOOD_CORE(h, walked);
    fastcount::PUBLICGOOD_COUNTS(*r, h, got);
    EXPECT_EQ(got.minimal, walked.minimal) << id << " overall " << h.overall << " " << h.t1;
    for (int p = 1; p <= n; ++p) {
      EXPECT_EQ(got.with[p], walked.with[p]) << id << " overall " << h.overall << " " << h.t1;
      EXPECT_NEAR(got.share[p], walked.share[p], 1e-13 * walked.share[p]) << id;
    }
  }
  for (int overall = 0; overall < 3; ++overall) EXPECT_GT(taken[overall], 40) << overall;
}

// Beyond 63 players the public good counts go to the program (counted in
// doubles) where it is the cheapest; the size table counts the same games
// exactly, one pass per prime.
TEST(MinimalCoalitions, MatchTheExactTableBeyond63Players) {
  Draw d{std::mt19937_64(2027)};
  int counted = 0;
  for (int round = 0; round < 12; ++round) {
    const int n = static_cast<int>(d.pick(64, 130));
    const weightedwalk::Game g = draw(d, n, round % 2 == 0 ? 3 : 12);
    const std::string id = "round " + std::to_string(round);
    auto best = std::make_unique<fastcount::Result>(),
         table = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(fastcount::PUBLICGOOD_FAST(g, *best)) << id;
    ASSERT_TRUE(fastcount::PUBLICGOOD_FAST(g, *table, fastcount::Choice::DENSE)) << id;
    counted += best->counted == METHODTYP::MINIMALPROGRAM ? 1 : 0;
    EXPECT_LE(relative(best->xminimal, table->xminimal), 1e-14) << id;
    // The program with F grown again by blocks (no room to store it).
    minimalsets::Counts blocks;
    ASSERT_TRUE(minimalsets::COUNT(n, g.w[0].data(), g.m[0][1][1], blocks, true, 1)) << id;
    for (int p = 1; p <= n; ++p) {
      EXPECT_LE(relative(best->xminimalWith[p], table->xminimalWith[p]), 1e-14) << id << " " << p;
      EXPECT_LE(relative(best->xminimalShare[p], table->xminimalShare[p]), 1e-13) << id << " " << p;
      EXPECT_LE(relative(blocks.with[p], table->xminimalWith[p]), 1e-14) << id << " " << p;
      EXPECT_LE(relative(blocks.share[p], table->xminimalShare[p]), 1e-13) << id << " " << p;
    }
  }
  EXPECT_GE(counted, 8);
}

// Hundreds of players whose minimal winning coalitions span a hundred
// sizes and more: the shares' quadrature takes far fewer nodes than sizes
// there, and still gives the exact table's shares.
TEST(MinimalCoalitions, SharesOverWideSizeRangesMatchTheExactTable) {
  Draw d{std::mt19937_64(190)};
  for (int percent : {50, 80}) {
    const int n = 240;
    weightedwalk::Game g = draw(d, n, 20);
    int64_t total = 0;
    for (int p = 1; p <= n; ++p) total += g.w[0][p] = d.pick(1, 20);
    g.m[0][1][1] = (total * percent + 99) / 100;
    auto table = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(fastcount::PUBLICGOOD_FAST(g, *table, fastcount::Choice::DENSE)) << percent;
    minimalsets::Counts c;
    ASSERT_TRUE(minimalsets::COUNT(n, g.w[0].data(), g.m[0][1][1], c, true)) << percent;
    for (int p = 1; p <= n; ++p) {
      EXPECT_LE(relative(c.with[p], table->xminimalWith[p]), 1e-14) << percent << " " << p;
      EXPECT_LE(relative(c.share[p], table->xminimalShare[p]), 1e-13) << percent << " " << p;
    }
  }
}

}  // namespace

// Beyond a double's exponents (more than 1000 weighted players, rows in
// long doubles): equal weights make the minimal winning coalitions those of
// exactly k members, C(n, k) in all, C(n-1, k-1) with each player, the
// share that over k; players of weight 0 are dummies.
TEST(MinimalCoalitions, EqualWeightsGiveBinomialsBeyondDoubles) {
  const int n = 1100, zeros = 7;
  std::vector<int64_t> w(n + 1, 3);
  for (int p = 1; p <= zeros; ++p) w[static_cast<std::size_t>(p * 100)] = 0;
  const int m = n - zeros;
  for (int k : {2, 40, m / 2, m - 1}) {
    minimalsets::Counts c;
    ASSERT_TRUE(minimalsets::COUNT(n, w.data(), 3 * k, c, k <= 40)) << k;
    EXPECT_LE(relative(c.minimal, fastcount::XCHOOSE(m, k)), 1e-14) << k;
    const XNUM with = fastcount::XCHOOSE(m - 1, k - 1);
    for (int p = 1; p <= n; ++p) {
      if (w[static_cast<std::size_t>(p)] == 0) {
        EXPECT_TRUE(c.with[p].zero() && c.share[p].zero()) << k << " " << p;
        continue;
      }
      EXPECT_LE(relative(c.with[p], with), 1e-14) << k << " " << p;
      if (k <= 40) {
        EXPECT_LE(relative(c.share[p], with / XNUM(k)), 1e-14) << k << " " << p;
      }
    }
  }
}

// A stop asked for while the shares' runs go on (in two halves where the
// machine has two cores) ends the count with COUNTSTOPPED, the helper
// joined; the same count without the stop then runs to its end.
TEST(MinimalCoalitions, StopsDuringTheSharesWhenAsked) {
  const int n = 200;
  std::vector<int64_t> w(n + 1, 0);
  int64_t total = 0;
  for (int p = 1; p <= n; ++p) total += w[static_cast<std::size_t>(p)] = 1 + p % 97;
  std::atomic<bool> stop{false};
  CONTROLTYP control;
  control.STOP = &stop;
  control.DATA = &stop;
  control.PROGRESS = [](void* data, double done) {
    if (done > 0.5) static_cast<std::atomic<bool>*>(data)->store(true);
  };
  minimalsets::Counts c;
  {
    CONTROLSCOPE scope(&control);
    EXPECT_THROW(minimalsets::COUNT(n, w.data(), total / 2, c), COUNTSTOPPED);
  }
  ASSERT_TRUE(minimalsets::COUNT(n, w.data(), total / 2, c));
  for (int p = 1; p <= n; ++p) EXPECT_GT(XTODOUBLE(c.share[p]), 0) << p;
}
