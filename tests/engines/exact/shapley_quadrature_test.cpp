// The Shapley-Shubik values by quadrature beyond 63 players against the
// exact counts (one pass per prime, Choice::DENSE) on games drawn to strain
// the quadrature: a few huge weights among many tiny ones, equal weights,
// players of weight 0 and dummies of positive weight, quotas from low to
// high, one or two subgames; and the quadrature's nodes on polynomials.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engines/exact/fast_counts.h"
#include "engines/exact/shapley_quadrature.h"
#include "straingame.h"

namespace {

double rel(double got, double want) {
  if (want == 0) return got == 0 ? 0.0 : 1.0;
  return std::fabs((got - want) / want);
}

TEST(WeightedQuadrature, ShapleyByQuadratureMatchesTheExactCounts) {
  const uint64_t seed = 20261210;
  std::mt19937_64 rng(seed);
  auto pick = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  };
  int floated = 0, quadrature = 0, zeros = 0;
  for (int round = 0; round < 24; ++round) {
    const bool large = round % 8 == 7;
    const int n = static_cast<int>(large ? pick(300, 400) : pick(64, 160));
    const int percent[] = {50, 10, 70, 95, 51, 2};
    // uniform, huge among tiny, few values, dummies
    const weightedwalk::Game g =
        strain::GAME(pick, n, round % 4, percent[round % 6], {large ? 6 : 30, 300, 1500});
    const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round);
    auto fast = std::make_unique<fastcount::Result>(),
         exact = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(fastcount::SHAPLEY_FAST(g, *fast)) << id;
    ASSERT_TRUE(fastcount::SHAPLEY_FAST(g, *exact, fastcount::Choice::DENSE)) << id;
    ASSERT_TRUE(fast->wide && !exact->floating) << id;
    // The run floats only where the plan said so.
    if (fast->floating) {
      EXPECT_TRUE(fastcount::PLAN(g, fastcount::Index::SHAPLEY).floating) << id;
    }
    floated += fast->floating ? 1 : 0;
    EXPECT_LE(rel(XTODOUBLE(fast->xwins / exact->xwins), 1.0), 1e-12) << id;
    // The quadrature itself as well, where the plan leaves a small game to
    // the exact table: the threshold of subgame 1, the swingless players
    // from the exact counts.
    std::vector<int64_t> weight(static_cast<std::size_t>(n) + 1);
    std::vector<char> swingless(weight.size());
    for (int p = 1; p <= n; ++p) {
      weight[p] = g.sub[p] == 1 ? g.w[0][p] : 0;
      swingless[p] = exact->xswings[p].zero();
    }
    const sizetable::Threshold t{n, g.mm, g.sub.data(), weight.data(), g.m[0][1][1]};
    std::vector<double> value;
    const bool direct = ssquadrature::SHAPLEY(t, swingless, value);
    quadrature += direct ? 1 : 0;
    for (int p = 1; p <= n; ++p) {
      EXPECT_LE(rel(fast->shap[p], exact->shap[p]), 1e-12) << id << " player " << p;
      if (direct) {
        EXPECT_LE(rel(value[p], exact->shap[p]), 1e-12) << id << " player " << p;
      }
      EXPECT_EQ(fast->xswings[p].zero(), exact->xswings[p].zero()) << id << " player " << p;
      if (exact->shap[p] == 0) ++zeros;
    }
  }
  // Most games are counted by quadrature, and the dummies among them met.
  EXPECT_GE(floated, 16);
  EXPECT_GE(quadrature, 22);
  EXPECT_GT(zeros, 0);
}

// Small games with their known values (the quadrature takes any number of
// players): weights, quota, the players without swings, the values.
TEST(WeightedQuadrature, SmallGamesHaveTheirKnownValues) {
  struct Row {
    std::vector<int64_t> weight;  // [0] unused
    int64_t q;
    std::vector<int> swingless;
    std::vector<double> value;
  };
  const Row rows[] = {
      {{0, 2, 1, 1}, 3, {}, {2.0 / 3, 1.0 / 6, 1.0 / 6}},
      {{0, 50, 49, 1}, 51, {}, {2.0 / 3, 1.0 / 6, 1.0 / 6}},
      {{0, 7}, 1, {}, {1}},
      {{0, 3, 2, 2}, 4, {}, {1.0 / 3, 1.0 / 3, 1.0 / 3}},
      {{0, 4, 0, 1, 1, 1, 1}, 5, {}, {0.8, 0, 0.05, 0.05, 0.05, 0.05}},
      {{0, 3, 3, 1}, 6, {3}, {0.5, 0.5, 0}},                // a dummy of positive weight
      {{0, 5, 3, 2}, 10, {}, {1.0 / 3, 1.0 / 3, 1.0 / 3}},  // unanimity
      {{0, 5, 3, 2}, 1, {}, {1.0 / 3, 1.0 / 3, 1.0 / 3}},   // any one
      {{0, 1, 1, 1, 1, 1, 1, 1}, 4, {}, std::vector<double>(7, 1.0 / 7)},
  };
  for (const Row& row : rows) {
    const int n = static_cast<int>(row.weight.size()) - 1;
    const std::vector<int> sub(row.weight.size(), 1);
    std::vector<char> swingless(row.weight.size());
    for (int p : row.swingless) swingless[p] = 1;
    const sizetable::Threshold t{n, 1, sub.data(), row.weight.data(), row.q};
    std::vector<double> value;
    ASSERT_TRUE(ssquadrature::SHAPLEY(t, swingless, value)) << n << " players, quota " << row.q;
    for (int p = 1; p <= n; ++p)
      EXPECT_NEAR(value[p], row.value[p - 1], 1e-14)
          << n << " players, quota " << row.q << " player " << p;
  }
  // A quota beyond the total, or no swingless entry per player, is declined.
  const std::vector<int64_t> weight{0, 2, 1};
  const std::vector<int> sub(3, 1);
  std::vector<double> value;
  EXPECT_FALSE(
      ssquadrature::SHAPLEY({2, 1, sub.data(), weight.data(), 4}, std::vector<char>(3), value));
  EXPECT_FALSE(
      ssquadrature::SHAPLEY({2, 1, sub.data(), weight.data(), 2}, std::vector<char>(2), value));
}

// K nodes integrate t^j exactly for j < 2K; their weights are positive and
// the nodes mirrored about 1/2.
TEST(WeightedQuadrature, GaussLegendreIntegratesPolynomialsOfDegreeBelowTwiceTheNodes) {
  for (int k : {1, 2, 5, 64, 501, 2000}) {
    std::vector<double> x, w;
    ssquadrature::GAUSSLEGENDRE(k, x, w);
    ASSERT_EQ(x.size(), static_cast<std::size_t>(k));
    for (int i = 0; i < k; ++i) {
      EXPECT_GT(w[i], 0) << k << " node " << i;
      EXPECT_NEAR(x[i] + x[k - 1 - i], 1.0, 1e-15) << k << " node " << i;
      if (i > 0) {
        EXPECT_LT(x[i - 1], x[i]) << k << " node " << i;
      }
    }
    // (t - 1/2)^j about the middle, where the sum does not cancel: 0 for
    // odd j, 2^-j / (j + 1) for even j (up to degree 20: beyond, the ends'
    // nodes in doubles round more than the check's tolerance).
    for (int j : {0, 1, 2, 7, 20, 2 * k - 2, 2 * k - 1}) {
      if (j < 0 || j > 20 || j > 2 * k - 1) continue;
      long double s = 0;
      for (int i = 0; i < k; ++i) s += w[i] * std::pow(static_cast<long double>(x[i]) - 0.5L, j);
      const double want = j % 2 ? 0.0 : std::ldexp(1.0, -j) / (j + 1);
      EXPECT_NEAR(static_cast<double>(s), want, 1e-14 * std::ldexp(1.0, -j))
          << k << " nodes, degree " << j;
    }
  }
}

}  // namespace
