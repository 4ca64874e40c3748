// The table over two systems' weights (engines/exact/double_majority_table.h) against the
// exhaustive walk and the diagram on random double majorities.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include <sys/resource.h>

#include "engines/exact/fast_counts.h"

namespace {

using weightedwalk::Game;

// A double majority of N players: weights up to TOP (some 0), thresholds
// at the corners or inside, and at times an overall threshold in members
// (AND or OR) or an AND in primary votes.
Game doubleMajority(std::mt19937_64& rng, int n, int64_t top) {
  auto pick = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  };
  Game g(n, 1);
  g.n = n;
  g.mm = 1;
  g.vs = 2;
  g.thres = 1;
  int64_t totals[2] = {0, 0};
  for (int k = 0; k < 2; ++k) {
    int64_t& total = totals[k];
    for (int p = 1; p <= n; ++p) total += g.w[k][p] = pick(0, 9) == 0 ? 0 : pick(1, top);
    const int64_t corner[] = {0, 1, total, total / 2 + 1, pick(0, total)};
    g.m[k][1][1] = std::min(total, corner[pick(0, 4)]);
  }
  for (int p = 1; p <= n; ++p) g.sub[p] = 1;
  g.overall = static_cast<int>(pick(0, 2));
  g.overt = pick(0, 3) == 0 && g.overall == 1 ? 1 : 0;
  g.t1 = g.overt == 0 ? pick(0, n + 1) : pick(0, totals[0]);
  return g;
}

TEST(WeightedTwo, DoubleMajoritiesMatchTheWalkAndTheDiagram) {
  std::mt19937_64 rng(20261209);
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + round % 18;
    const int64_t top = round % 3 == 0 ? 3 : round % 3 == 1 ? 20 : 100;
    const Game g = doubleMajority(rng, n, top);
    const std::string id = "round " + std::to_string(round);
    auto r = std::make_unique<fastcount::Result>();
    auto d = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(
        fastcount::COUNT_FAST(g, fastcount::Index::SHAPLEY, *r, fastcount::Choice::DENSE, 0))
        << id;
    ASSERT_EQ(r->method, fastcount::Method::DENSE2) << id;
    // The diagram of large weights is slow to build: it checks the small ones.
    if (top < 100) {
      ASSERT_TRUE(
          fastcount::COUNT_FAST(g, fastcount::Index::SHAPLEY, *d, fastcount::Choice::DIAGRAM, 0))
          << id;
    } else {
      *d = *r;
    }
    weightedwalk::WinCounts want(n, 1), got(n, 1);
    weightedwalk::SHAPLEY_CORE(g, want);
    fastcount::SHAPLEY_COUNTS(*r, g, got);
    ASSERT_EQ(want.wins, got.wins) << id;
    EXPECT_EQ(want.sub[1], got.sub[1]) << id;
    for (int p = 1; p <= n; ++p) {
      EXPECT_EQ(want.with[p], got.with[p]) << id << " player " << p;
      EXPECT_EQ(want.value[p], got.value[p]) << id << " shapley " << p;
      EXPECT_EQ(d->swings[p], r->swings[p]) << id << " player " << p;
    }
    // Without sizes where the overall threshold allows it: the same counts.
    auto b = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(
        fastcount::COUNT_FAST(g, fastcount::Index::BANZHAF, *b, fastcount::Choice::DENSE, 0))
        << id;
    EXPECT_EQ(b->wins, r->wins) << id;
    EXPECT_EQ(b->sub[1], r->sub[1]) << id;
    for (int p = 1; p <= n; ++p) {
      EXPECT_EQ(b->with[p], r->with[p]) << id << " player " << p;
      EXPECT_EQ(b->swings[p], r->swings[p]) << id << " player " << p;
    }
  }
}

// Beyond the walk, against the diagram: in 64-bit counts and, past 63
// players, one pass per prime.
TEST(WeightedTwo, LargeDoubleMajoritiesMatchTheDiagram) {
  std::mt19937_64 rng(7);
  for (const int n : {30, 41, 66}) {
    for (const fastcount::Index index : {fastcount::Index::SHAPLEY, fastcount::Index::BANZHAF}) {
      const Game g = doubleMajority(rng, n, 3);
      auto r = std::make_unique<fastcount::Result>();
      auto d = std::make_unique<fastcount::Result>();
      ASSERT_TRUE(fastcount::COUNT_FAST(g, index, *r, fastcount::Choice::DENSE, 0)) << n;
      ASSERT_TRUE(fastcount::COUNT_FAST(g, index, *d, fastcount::Choice::DIAGRAM, 0)) << n;
      EXPECT_EQ(r->wins, d->wins) << n;
      EXPECT_TRUE(r->xwins == d->xwins) << n;
      for (int p = 1; p <= n; ++p) {
        EXPECT_EQ(r->swings[p], d->swings[p]) << n << " player " << p;
        EXPECT_TRUE(r->xswings[p] == d->xswings[p]) << n << " player " << p;
        EXPECT_EQ(r->shap[p], d->shap[p]) << n << " player " << p;
      }
    }
  }
}

// PLAN names the table where it fits and leaves a table of terabytes out.
TEST(WeightedTwo, PlanTellsTheTableOrLeavesIt) {
  std::mt19937_64 rng(3);
  Game g = doubleMajority(rng, 50, 100);
  for (int k = 0; k < 2; ++k) {
    int64_t total = 0;
    for (int p = 1; p <= 50; ++p) total += g.w[k][p] = 1 + p % 97;
    g.m[k][1][1] = total / 2 + 1;
  }
  g.overall = 0;
  const fastcount::Plan small = fastcount::PLAN(g, fastcount::Index::SHAPLEY);
  EXPECT_EQ(small.method, fastcount::Method::DENSE2);
  EXPECT_GT(small.bytes, std::size_t{1} << 20);
  for (int p = 1; p <= 50; ++p) g.w[1][p] *= 10007;
  g.m[1][1][1] *= 10007;
  EXPECT_NE(fastcount::PLAN(g, fastcount::Index::SHAPLEY).method, fastcount::Method::DENSE2);
}

// The plan against the count within the same budget, on double majorities
// whose table or diagram may or may not fit: a method planned for sure
// counts the game, a count that succeeds used the planned method, and one
// that fails was planned as the walk, as nothing, or as a diagram that may
// outgrow the budget. Small budgets put the bound of the diagram to the test.
TEST(WeightedTwo, PlanMatchesTheCountWithinItsBudget) {
  std::mt19937_64 rng(20261210);
  int sure = 0, refused = 0;
  for (int round = 0; round < 90; ++round) {
    const int n = 14 + round % 17;
    const int64_t top = round % 3 == 0 ? 100 : round % 3 == 1 ? 1000 : 1'000'000;
    Game g = doubleMajority(rng, n, top);
    g.overall = 0;  // a rule of the two thresholds alone
    const auto index = static_cast<fastcount::Index>(round % 3);
    const std::size_t budget = std::size_t{1} << (18 + round % 8);  // 256 KiB .. 32 MiB
    const fastcount::Plan plan = fastcount::PLAN(g, index, budget);
    auto r = std::make_unique<fastcount::Result>();
    const bool ok = fastcount::COUNT_FAST(g, index, *r, fastcount::Choice::BEST, budget);
    const std::string id = "round " + std::to_string(round);
    const bool fast = plan.method == fastcount::Method::DENSE ||
                      plan.method == fastcount::Method::DENSE2 ||
                      plan.method == fastcount::Method::DIAGRAM;
    if (fast && plan.sure) {
      ++sure;
      EXPECT_TRUE(ok) << id;
    }
    if (ok) {
      EXPECT_EQ(r->method, plan.method) << id;
      EXPECT_LE(plan.bytes, budget) << id;
    } else {
      ++refused;
      EXPECT_TRUE(!fast || (plan.method == fastcount::Method::DIAGRAM && !plan.sure)) << id;
    }
  }
  // Both outcomes occur.
  EXPECT_GT(sure, 10);
  EXPECT_GT(refused, 10);
}

// A diagram that outgrows its budget stops there: the pairs its second
// threshold reaches count against the budget before their nodes are made
// (once, 40 players of weights to 1000 and to 10^6 took 1.6 GB under a
// 16 MiB budget). The peak of this process may grow by the sums' bit sets
// (at most 256 MiB) and a few times the budget.
TEST(WeightedTwo, DiagramStopsAtItsBudget) {
  auto peak = [] {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_maxrss) * 1024;  // kilobytes on Linux
  };
  std::mt19937_64 rng(5);
  const int n = 40;
  Game g(n, 1);
  g.n = n;
  g.mm = g.thres = 1;
  g.vs = 2;
  g.overall = 0;
  int64_t total[2] = {0, 0};
  for (int p = 1; p <= n; ++p) {
    g.sub[p] = 1;
    total[0] += g.w[0][p] = std::uniform_int_distribution<int64_t>(1, 1000)(rng);
    total[1] += g.w[1][p] = std::uniform_int_distribution<int64_t>(1, 1'000'000)(rng);
  }
  for (int k = 0; k < 2; ++k) g.m[k][1][1] = total[k] / 2 + 1;
  const std::size_t budget = std::size_t{16} << 20;
  for (int index = 0; index < 3; ++index) {
    const double before = peak();
    auto r = std::make_unique<fastcount::Result>();
    EXPECT_FALSE(fastcount::COUNT_FAST(g, static_cast<fastcount::Index>(index), *r,
                                       fastcount::Choice::DIAGRAM, budget))
        << index;
    EXPECT_LT(peak() - before, 256.0 * (1 << 20) + 8.0 * budget) << index;
  }
}

}  // namespace
