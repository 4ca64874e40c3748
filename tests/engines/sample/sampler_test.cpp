// The sampling estimates against the exhaustive walk on seeded random games
// small enough to walk: the exact value within three standard errors nearly
// always, and every error below the requested one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "engines/sample/sampler.h"

namespace {

// Up to ten players in one or two subgames, one or two vote systems, some
// negative weights (which only the walk counts exactly), the overall
// threshold and sometimes the blocking rule.
weightedwalk::Game randomGame(std::mt19937_64& rng) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  weightedwalk::Game g;
  g.n = pick(3, 10);
  g.mm = pick(1, 2);
  g.thres = pick(1, 2);
  g.vs = pick(1, 2);
  for (int p = 1; p <= g.n; ++p) g.sub[p] = 1 + (p - 1) * g.mm / g.n;
  for (int k = 0; k < g.vs; ++k) {
    int64_t total[3] = {};
    for (int p = 1; p <= g.n; ++p)
      total[g.sub[p]] += g.w[k][p] = pick(0, 9) - (pick(0, 9) == 0) * 12;
    for (int t = 1; t <= g.thres; ++t)
      for (int s = 1; s <= g.mm; ++s) g.m[k][t][s] = pick(0, std::max<int64_t>(1, total[s]));
  }
  g.overall = pick(0, 2);
  g.t1 = pick(0, g.n / 2);
  g.block = g.vs == 2 && pick(0, 1) == 0;
  int second = 0;
  for (int p = 1; p <= g.n && g.block; ++p) second += static_cast<int>(g.w[1][p]);
  g.blockThres = pick(0, std::max(0, second / 2));
  return g;
}

TEST(WeightedEstimate, ExactValuesLieWithinThreeErrorsOfTheEstimates) {
  std::mt19937_64 rng(20261209);
  sampler::Options o;
  o.ERROR = 0.004;
  o.MAXSAMPLES = 20'000'000;
  int checked = 0, outside = 0, runs = 0;
  auto check = [&](const sampler::Run& run, const sampler::Values& got, int p, double want) {
    EXPECT_EQ(run.status, sampler::STATUS::DONE);
    EXPECT_LT(got.error[p], o.ERROR);
    ++checked;
    if (std::abs(got.value[p] - want) > 3 * got.error[p]) ++outside;
  };
  while (runs < 200) {
    const weightedwalk::Game g = randomGame(rng);
    weightedwalk::WinCounts wins(g.n, g.mm);
    weightedwalk::MinimalCounts minimal(g.n);
    ASSERT_TRUE(weightedwalk::SHAPLEY_CORE(g, wins) && weightedwalk::PUBLICGOOD_CORE(g, minimal));
    // Swings of p: winning coalitions with p less those without (and the
    // empty one), as the Banzhaf index counts them.
    std::vector<double> swings(g.n + 1);
    double swingSum = 0, withSum = 0;
    for (int p = 1; p <= g.n; ++p) {
      swings[p] = 2 * wins.with[p] - wins.wins - weightedwalk::EMPTYWINS(g);
      swingSum += swings[p];
      withSum += minimal.with[p];
    }
    // The normalised indices need some swing and some minimal winning
    // coalition, well away from a sum of zero.
    if (swingSum < std::ldexp(0.5, g.n - 1) || minimal.minimal < 1) continue;
    ++runs;
    o.SEED = static_cast<uint64_t>(runs);
    const auto orders = sampler::SHAPLEY(g, o);
    const auto sh = sampler::SHAPLEY(g, o, sampler::SHAPLEYMETHOD::MULTILINEAR);
    const auto bz = sampler::BANZHAF(g, o);
    const auto pg = sampler::PUBLICGOOD(g, o);
    for (int p = 1; p <= g.n; ++p) {
      check(sh, sh.shapley, p, wins.value[p]);
      check(orders, orders.shapley, p, wins.value[p]);
      check(bz, bz.raw, p, swings[p] / std::ldexp(1.0, g.n - 1));
      check(bz, bz.normalised, p, swings[p] / swingSum);
      check(pg, pg.publicGood, p, minimal.with[p] / withSum);
      check(pg, pg.deeganPackel, p, minimal.share[p] / minimal.minimal);
    }
  }
  EXPECT_LE(outside, checked / 100) << outside << " of " << checked;
}

// Beyond the walk's 64 players: 70 equal players and a majority of 36,
// where every index gives every player 1/70 (raw Banzhaf: the chance that
// 35 of the other 69 join, C(69,35)/2^69).
TEST(WeightedEstimate, EqualPlayersBeyondTheWalkGetEqualShares) {
  weightedwalk::Game g(70, 1);
  g.n = 70;
  g.mm = g.thres = 1;
  g.overall = 0;
  for (int p = 1; p <= g.n; ++p) g.sub[p] = g.w[0][p] = 1;
  g.m[0][1][1] = 36;
  sampler::Options o;
  o.ERROR = 0.002;
  const double raw =
      std::exp(std::lgamma(70.0) - 2 * std::lgamma(36.0) + std::log(35.0) - 69 * std::log(2.0));
  const auto sh = sampler::SHAPLEY(g, o);
  const auto bz = sampler::BANZHAF(g, o);
  const auto pg = sampler::PUBLICGOOD(g, o);
  for (const auto* v : {&sh.shapley, &bz.normalised, &pg.publicGood, &pg.deeganPackel, &bz.raw})
    for (int p = 1; p <= g.n; ++p) {
      const double want = v == &bz.raw ? raw : 1.0 / 70;
      EXPECT_NEAR(v->value[p], want, 5 * v->error[p]) << p;
      EXPECT_LT(v->error[p], o.ERROR) << p;
    }
  EXPECT_TRUE(sh.status == sampler::STATUS::DONE && bz.status == sampler::STATUS::DONE &&
              pg.status == sampler::STATUS::DONE);
}

// One weighted sum has its own branch-free sampling loop: it must draw the
// same coalitions and give the same values, to the last bit, as the general
// loop, reached here by a second vote system that every coalition meets.
TEST(WeightedEstimate, OneSumSamplesAsTheGeneralRule) {
  std::mt19937_64 rng(99);
  sampler::Options o;
  o.MAXSAMPLES = 50'000;
  for (int run = 0; run < 40; ++run) {
    weightedwalk::Game g = randomGame(rng);
    g.mm = 1, g.vs = 1, g.block = false;
    std::fill(g.sub.begin(), g.sub.end(), 1);
    weightedwalk::Game two = g;
    two.vs = 2;
    for (int p = 1; p <= g.n; ++p) two.w[1][p] = 0;
    for (int t = 1; t <= g.thres; ++t) two.m[1][t][1] = 0;
    const auto a = sampler::BANZHAF(g, o), b = sampler::BANZHAF(two, o);
    // Bit for bit: a value without any swing drawn is NaN in both.
    auto same = [](const std::vector<double>& x, const std::vector<double>& y) {
      return x.size() == y.size() &&
             std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) == 0;
    };
    EXPECT_TRUE(same(a.raw.value, b.raw.value) && same(a.normalised.error, b.normalised.error))
        << run;
  }
}

// The error of a share holds at every count: the exact binomial
// probability that the true share lies within the stated error of the
// sampled one is at least the 68.27 % of one standard error, for shares
// from rare to common and from one sample to many (the plain standard
// error falls far below it at small counts: a share never seen is not
// known to 0).
TEST(WeightedEstimate, ShareErrorsCoverAtEveryCount) {
  for (int n : {1, 2, 5, 20, 100, 1000})
    for (double p : {1e-4, 1e-3, 0.01, 0.05, 0.2, 0.5, 0.7, 0.99, 0.999}) {
      double covered = 0;
      for (int k = 0; k <= n; ++k) {
        const double logPmf = std::lgamma(n + 1.0) - std::lgamma(k + 1.0) -
                              std::lgamma(n - k + 1.0) + k * std::log(p) + (n - k) * std::log1p(-p);
        if (std::abs(static_cast<double>(k) / n - p) <= sampler::PROPORTIONERROR(k, n))
          covered += std::exp(logPmf);
      }
      EXPECT_GE(covered, 0.6827) << n << " samples, share " << p;
    }
}

// A light player among heavy ones swings rarely (its exact Banzhaf value
// about 0.001-0.005): with samples enough for about two of its swings, the
// exact values of that player lie within three errors of the estimates in
// nearly every one of 200 seeded runs, also where none of its swings was
// drawn.
TEST(WeightedEstimate, RareSwingsGetAnHonestError) {
  std::mt19937_64 rng(4711);
  weightedwalk::Game g;
  g.n = 14;
  g.mm = g.thres = g.vs = 1;
  g.overall = 0;
  int64_t total = 0;
  for (int p = 1; p <= g.n; ++p) {
    g.sub[p] = 1;
    total += g.w[0][p] = p == g.n ? 3 : std::uniform_int_distribution<int>(100, 130)(rng);
  }
  // The first quota above half the weight where the light player's raw
  // Banzhaf value is rare.
  weightedwalk::WinCounts wins(g.n, 1);
  double raw = 0;
  for (g.m[0][1][1] = total / 2; g.m[0][1][1] < total; ++g.m[0][1][1]) {
    wins = weightedwalk::WinCounts(g.n, 1);
    ASSERT_TRUE(weightedwalk::SHAPLEY_CORE(g, wins));
    raw = (2 * wins.with[g.n] - wins.wins - weightedwalk::EMPTYWINS(g)) / std::ldexp(1.0, g.n - 1);
    if (raw > 0.001 && raw < 0.005) break;
  }
  ASSERT_TRUE(raw > 0.001 && raw < 0.005) << raw;
  sampler::Options o;
  o.SAMPLES = static_cast<uint64_t>(2 / raw);
  int inside = 0, unseen = 0;
  const int runs = 200;
  for (int run = 1; run <= runs; ++run) {
    o.SEED = static_cast<uint64_t>(run);
    const auto bz = sampler::BANZHAF(g, o);
    const auto sh = sampler::SHAPLEY(g, o);
    unseen += bz.raw.value[g.n] == 0;
    inside += std::abs(bz.raw.value[g.n] - raw) <= 3 * bz.raw.error[g.n] &&
              std::abs(sh.shapley.value[g.n] - wins.value[g.n]) <= 3 * sh.shapley.error[g.n];
  }
  EXPECT_GT(unseen, 0);  // the case the error must hold in
  EXPECT_GE(inside, runs * 95 / 100) << inside << " of " << runs;
}

// No event at all: nothing wins (the quota above every weight), so no
// swing and no minimal winning coalition is ever drawn. The normalised
// indices have no value (NaN, none) and the run says it missed; the raw
// Banzhaf and Shapley-Shubik values are 0 with the error of a share never
// seen, not 0 +- 0.
TEST(WeightedEstimate, NoEventGivesNoValue) {
  weightedwalk::Game g;
  g.n = 8;
  g.mm = g.thres = g.vs = 1;
  g.overall = 0;
  for (int p = 1; p <= g.n; ++p) g.sub[p] = 1, g.w[0][p] = p;
  g.m[0][1][1] = 100;
  sampler::Options o;
  o.SAMPLES = 5000;
  const auto bz = sampler::BANZHAF(g, o);
  const auto pg = sampler::PUBLICGOOD(g, o);
  const auto sh = sampler::SHAPLEY(g, o);
  EXPECT_TRUE(bz.normalised.none && pg.publicGood.none && pg.deeganPackel.none);
  EXPECT_FALSE(bz.raw.none || sh.shapley.none);
  for (const auto* run :
       {static_cast<const sampler::Run*>(&bz), static_cast<const sampler::Run*>(&pg)}) {
    EXPECT_EQ(run->status, sampler::STATUS::MISSED);
    EXPECT_TRUE(std::isinf(run->largest));
  }
  for (int p = 1; p <= g.n; ++p) {
    EXPECT_TRUE(std::isnan(bz.normalised.value[p]) && std::isnan(bz.normalised.error[p]));
    EXPECT_TRUE(std::isnan(pg.publicGood.value[p]) && std::isnan(pg.deeganPackel.value[p]));
    for (const auto* v : {&bz.raw, &sh.shapley}) {
      EXPECT_EQ(v->value[p], 0);
      EXPECT_DOUBLE_EQ(v->error[p], sampler::PROPORTIONERROR(0, 5000));
      EXPECT_GT(v->error[p], 1.0 / 5000);
    }
  }
}

}  // namespace
