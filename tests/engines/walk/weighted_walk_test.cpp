// The counting cores of the weighted engines against a plain brute force:
// every coalition as a bit mask, its sums recomputed from scratch, winning
// and minimality decided directly from the definitions.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "dialogue/prompts.h"
#include "engines/walk/weighted_walk.h"

namespace {

using weightedwalk::Game;
using weightedwalk::MinimalCounts;
using weightedwalk::WinCounts;

// The definitions, written out for one coalition given as a bit mask
// (bit p-1 = player p).
bool bruteWins(const Game& g, uint64_t mask) {
  bool sets = false;
  for (int t = 1; t <= g.thres && !sets; ++t) {
    bool all = true;
    for (int k = 0; k < g.vs; ++k)
      for (int s = 1; s <= g.mm; ++s) {
        int64_t sum = 0;
        for (int p = 1; p <= g.n; ++p)
          if ((mask >> (p - 1) & 1) && g.sub[p] == s) sum += g.w[k][p];
        if (sum < g.m[k][t][s]) all = false;
      }
    sets = all;
  }
  int64_t members = 0, votes = 0;
  for (int p = 1; p <= g.n; ++p)
    if (mask >> (p - 1) & 1) {
      ++members;
      votes += g.w[0][p];
    }
  const int64_t measure = g.overt == 0 ? members : votes;
  bool win = sets;
  if (g.overall == 1 && measure < g.t1) win = false;
  if (g.overall == 2 && measure >= g.t1) win = true;
  if (g.block) {
    int64_t outside = 0;
    for (int p = 1; p <= g.n; ++p)
      if (!(mask >> (p - 1) & 1)) outside += g.w[1][p];
    int64_t smallest = outside;
    for (int p = 1; p <= g.n; ++p)
      if (!(mask >> (p - 1) & 1) && g.w[1][p] < smallest) smallest = g.w[1][p];
    if (outside - smallest > g.blockThres) win = false;
  }
  return win;
}

double factorial(int k) { return std::tgamma(k + 1.0); }

WinCounts bruteShapley(const Game& g) {
  WinCounts c;
  for (uint64_t mask = 1; mask < (uint64_t{1} << g.n); ++mask) {
    if (!bruteWins(g, mask)) continue;
    const int k = __builtin_popcountll(mask);
    c.wins += 1;
    bool touched[MAXCHAMB + 1] = {};
    for (int p = 1; p <= g.n; ++p) {
      if (!(mask >> (p - 1) & 1)) continue;
      c.with[p] += 1;
      touched[g.sub[p]] = true;
      if (!bruteWins(g, mask & ~(uint64_t{1} << (p - 1))))
        c.value[p] += factorial(k - 1) * factorial(g.n - k) / factorial(g.n);
    }
    for (int s = 1; s <= g.mm; ++s) c.sub[s] += touched[s] ? 1 : 0;
  }
  return c;
}

std::vector<uint64_t> bruteMinimal(const Game& g) {
  std::vector<uint64_t> out;
  for (uint64_t mask = 1; mask < (uint64_t{1} << g.n); ++mask) {
    if (!bruteWins(g, mask)) continue;
    bool needed = true;
    for (int p = 1; p <= g.n; ++p)
      if ((mask >> (p - 1) & 1) && bruteWins(g, mask & ~(uint64_t{1} << (p - 1)))) needed = false;
    if (needed) out.push_back(mask);
  }
  return out;
}

uint64_t maskOf(const PERMTYP& perm, int n) {
  uint64_t m = 0;
  for (int p = 1; p <= n; ++p)
    if (perm[p]) m |= uint64_t{1} << (p - 1);
  return m;
}

struct Recorder {
  int n = 0;
  std::vector<uint64_t> every, listed;
  std::vector<double> counts;
};

weightedwalk::Visitor recording(Recorder& r) {
  weightedwalk::Visitor v;
  v.ctx = &r;
  v.every = [](void* ctx, const PERMTYP& perm) {
    auto& rec = *static_cast<Recorder*>(ctx);
    rec.every.push_back(maskOf(perm, rec.n));
  };
  v.listed = [](void* ctx, const PERMTYP& perm, double count) {
    auto& rec = *static_cast<Recorder*>(ctx);
    rec.listed.push_back(maskOf(perm, rec.n));
    rec.counts.push_back(count);
  };
  return v;
}

// A random game: n players spread over mm subgames, weights in
// [lo, hi], thresholds somewhere inside each subgame's reach.
Game randomGame(std::mt19937& rng, int n, int mm, int thres, int vs, int lo, int hi) {
  Game g;
  g.n = n;
  g.mm = mm;
  g.thres = thres;
  g.vs = vs;
  for (int p = 1; p <= n; ++p) g.sub[p] = 1 + (p - 1) * mm / n;
  std::uniform_int_distribution<int> weight(lo, hi);
  for (int k = 0; k < vs; ++k) {
    int64_t total[MAXCHAMB + 1] = {};
    for (int p = 1; p <= n; ++p) {
      g.w[k][p] = weight(rng);
      total[g.sub[p]] += g.w[k][p] > 0 ? g.w[k][p] : 0;
    }
    for (int t = 1; t <= thres; ++t)
      for (int s = 1; s <= mm; ++s)
        g.m[k][t][s] = std::uniform_int_distribution<int64_t>(0, total[s] + 1)(rng);
  }
  return g;
}

void expectSameShapley(const WinCounts& want, const WinCounts& got, const Game& g) {
  ASSERT_EQ(want.wins, got.wins);
  for (int p = 1; p <= g.n; ++p) {
    EXPECT_NEAR(want.value[p], got.value[p], 1e-12) << "player " << p;
    EXPECT_EQ(want.with[p], got.with[p]) << "player " << p;
  }
  for (int s = 1; s <= g.mm; ++s) EXPECT_EQ(want.sub[s], got.sub[s]) << "subgame " << s;
}

// The walk visits every non-empty coalition once, in binary counting order,
// and lists exactly the coalitions it counts, in that order.
TEST(WeightedCore, VisitsEveryCoalitionInBinaryOrder) {
  std::mt19937 rng(7);
  Game g = randomGame(rng, 9, 3, 2, 1, 0, 6);
  Recorder r;
  r.n = g.n;
  weightedwalk::Visitor v = recording(r);
  WinCounts c;
  weightedwalk::SHAPLEY_CORE(g, c, &v);
  ASSERT_EQ(r.every.size(), (1u << 9) - 1);
  for (std::size_t i = 0; i < r.every.size(); ++i) ASSERT_EQ(r.every[i], i + 1);
  std::vector<uint64_t> winners;
  for (uint64_t mask = 1; mask < (1u << 9); ++mask)
    if (bruteWins(g, mask)) winners.push_back(mask);
  EXPECT_EQ(r.listed, winners);
  for (std::size_t i = 0; i < r.counts.size(); ++i) EXPECT_EQ(r.counts[i], i + 1.0);
}

struct RandomCase {
  const char* name;
  int n, mm, thres, vs, lo, hi;
  int overall, overt;
  int64_t t1;
  bool block;
  int64_t blockThres;
};

const RandomCase randomCases[] = {
    {"one subgame", 8, 1, 1, 1, 0, 9, 1, 0, 0, false, 0},
    {"three subgames, two win sets", 10, 3, 2, 1, 0, 7, 1, 0, 0, false, 0},
    {"member threshold", 9, 2, 3, 1, 0, 5, 1, 0, 5, false, 0},
    {"negative weights", 9, 3, 2, 1, -4, 6, 1, 0, 2, false, 0},
    {"two systems", 10, 2, 2, 2, 0, 8, 1, 0, 0, false, 0},
    {"four systems", 8, 3, 3, 4, 0, 5, 1, 0, 3, false, 0},
    {"AND on votes", 9, 2, 1, 2, 0, 9, 1, 1, 20, false, 0},
    {"OR on members", 9, 3, 2, 2, 0, 9, 2, 0, 6, false, 0},
    {"OR on votes", 9, 3, 2, 3, 0, 9, 2, 1, 30, false, 0},
    {"no overall threshold", 8, 2, 1, 2, 0, 9, 0, 0, 99, false, 0},
    {"blocking", 10, 2, 2, 2, 1, 9, 1, 0, 0, true, 12},
    {"blocking at zero", 8, 1, 1, 2, 0, 9, 1, 0, 0, true, 0},
    {"blocking, negative weights", 9, 2, 2, 3, -5, 5, 2, 1, 4, true, 3},
};

TEST(WeightedCore, ShapleyAndMinimalWinningMatchBruteForce) {
  std::mt19937 rng(2026);
  for (const RandomCase& rc : randomCases) {
    for (int round = 0; round < 4; ++round) {
      SCOPED_TRACE(std::string(rc.name) + " round " + std::to_string(round));
      Game g = randomGame(rng, rc.n, rc.mm, rc.thres, rc.vs, rc.lo, rc.hi);
      g.overall = rc.overall;
      g.overt = rc.overt;
      g.t1 = rc.t1;
      g.block = rc.block;
      g.blockThres = rc.blockThres;
      ASSERT_TRUE(weightedwalk::FITS(g));

      WinCounts got;
      weightedwalk::SHAPLEY_CORE(g, got);
      expectSameShapley(bruteShapley(g), got, g);

      Recorder r;
      r.n = g.n;
      weightedwalk::Visitor v = recording(r);
      MinimalCounts pg;
      weightedwalk::PUBLICGOOD_CORE(g, pg, &v);
      const std::vector<uint64_t> minimal = bruteMinimal(g);
      EXPECT_EQ(r.listed, minimal);
      ASSERT_EQ(pg.minimal, static_cast<double>(minimal.size()));
      for (int p = 1; p <= g.n; ++p) {
        double count = 0, share = 0;
        for (uint64_t mask : minimal)
          if (mask >> (p - 1) & 1) {
            count += 1;
            share += 1.0 / __builtin_popcountll(mask);
          }
        EXPECT_EQ(count, pg.with[p]) << "player " << p;
        EXPECT_NEAR(share, pg.share[p], 1e-12) << "player " << p;
      }
    }
  }
}

TEST(WeightedCore, ShapleyValuesAddUpToOneWhenTheGrandCoalitionWins) {
  std::mt19937 rng(11);
  int checked = 0;
  for (int round = 0; round < 20; ++round) {
    Game g = randomGame(rng, 5 + round % 7, 1 + round % 3, 1 + round % 4, 1, 0, 9);
    g.t1 = round % g.n;
    WinCounts c;
    weightedwalk::SHAPLEY_CORE(g, c);
    if (!bruteWins(g, (uint64_t{1} << g.n) - 1)) continue;
    ++checked;
    double sum = 0;
    for (int p = 1; p <= g.n; ++p) sum += c.value[p];
    EXPECT_NEAR(sum, 1.0, 1e-12) << "round " << round;
  }
  EXPECT_GE(checked, 10);
}

TEST(WeightedCore, PlayersAlikeGetEqualValuesAndDummiesGetNothing) {
  // Players 1..3 of subgame 1 share one weight, player 4 there has weight 0;
  // subgame 2 decides with its own weights.
  Game g;
  g.n = 7;
  g.mm = 2;
  g.thres = 2;
  const int sub[] = {0, 1, 1, 1, 1, 2, 2, 2};
  const int64_t w[] = {0, 3, 3, 3, 0, 2, 5, 1};
  for (int p = 1; p <= 7; ++p) {
    g.sub[p] = sub[p];
    g.w[0][p] = w[p];
  }
  g.m[0][1][1] = 6;
  g.m[0][1][2] = 5;
  g.m[0][2][1] = 9;
  g.m[0][2][2] = 0;
  WinCounts c;
  MinimalCounts pg;
  weightedwalk::SHAPLEY_CORE(g, c);
  weightedwalk::PUBLICGOOD_CORE(g, pg);
  EXPECT_GT(c.value[1], 0.0);
  EXPECT_DOUBLE_EQ(c.value[1], c.value[2]);
  EXPECT_DOUBLE_EQ(c.value[1], c.value[3]);
  EXPECT_EQ(c.with[1], c.with[3]);
  EXPECT_EQ(c.value[4], 0.0);
  EXPECT_EQ(pg.with[4], 0.0);
  EXPECT_EQ(pg.with[1], pg.with[2]);
  // A member threshold can make the dummy needed after all: with T1 = 3 the
  // coalition {1, 2, 4} reaching 6 in subgame 1 needs all three members.
  g.thres = 1;
  g.m[0][1][2] = 0;
  g.t1 = 3;
  weightedwalk::PUBLICGOOD_CORE(g, pg);
  EXPECT_GT(pg.with[4], 0.0);
}

TEST(WeightedCore, AnIdenticalSecondSystemChangesNothing) {
  std::mt19937 rng(5);
  for (int round = 0; round < 6; ++round) {
    Game one = randomGame(rng, 9, 1 + round % 3, 1 + round % 3, 1, 0, 8);
    one.t1 = round;
    Game two = one;
    two.vs = 2 + round % 3;
    for (int k = 1; k < two.vs; ++k) {
      for (int p = 1; p <= two.n; ++p) two.w[k][p] = one.w[0][p];
      for (int t = 1; t <= two.thres; ++t)
        for (int s = 1; s <= two.mm; ++s) two.m[k][t][s] = one.m[0][t][s];
    }
    WinCounts a, b;
    MinimalCounts pa, pb;
    weightedwalk::SHAPLEY_CORE(one, a);
    weightedwalk::SHAPLEY_CORE(two, b);
    expectSameShapley(a, b, one);
    weightedwalk::PUBLICGOOD_CORE(one, pa);
    weightedwalk::PUBLICGOOD_CORE(two, pb);
    EXPECT_EQ(pa.minimal, pb.minimal);
    for (int p = 1; p <= one.n; ++p) EXPECT_EQ(pa.share[p], pb.share[p]);
  }
}

TEST(WeightedCore, SpatialWeightsCoalitionsBySimilarity) {
  // Four players of one subgame on a line at 0, 1, 2 and 4; quota 2 of
  // weights 1 each. Compare with similarities computed here.
  Game g;
  g.n = 4;
  g.mm = 1;
  g.thres = 1;
  for (int p = 1; p <= 4; ++p) {
    g.sub[p] = 1;
    g.w[0][p] = 1;
  }
  g.m[0][1][1] = 2;
  POSTYP pos{};
  const double x[] = {0, 0, 1, 2, 4};
  for (int p = 1; p <= 4; ++p) pos[1][p] = x[p];
  g.position = &pos;
  g.ntheme = 1;
  g.distmax = 4.0;
  WinCounts c;
  weightedwalk::SHAPLEY_CORE(g, c);

  double dist0 = 0, dist1 = 0, piv[5] = {}, shap[5] = {};
  for (uint64_t mask = 1; mask < 16; ++mask) {
    const int k = __builtin_popcountll(mask);
    double sum = 0;
    for (int a = 1; a <= 4; ++a)
      for (int b = a + 1; b <= 4; ++b)
        if ((mask >> (a - 1) & 1) && (mask >> (b - 1) & 1)) sum += std::fabs(x[a] - x[b]);
    const double sim = k == 1 ? 0.0 : 1.0 - sum / (k * (k - 1) / 2.0) / 4.0;
    if (k < 2) {
      dist0 += sim;
      continue;
    }
    dist1 += sim;
    for (int p = 1; p <= 4; ++p)
      if (mask >> (p - 1) & 1) {
        piv[p] += sim;
        if (k == 2) shap[p] += sim * factorial(1) * factorial(2) / factorial(4);
      }
  }
  EXPECT_NEAR(c.dist0, dist0, 1e-12);
  EXPECT_NEAR(c.dist1, dist1, 1e-12);
  EXPECT_EQ(c.wins, 11.0);
  for (int p = 1; p <= 4; ++p) {
    EXPECT_NEAR(c.with[p], piv[p], 1e-12);
    EXPECT_NEAR(c.value[p], shap[p], 1e-12);
  }
  EXPECT_NEAR(c.sub[1], dist1, 1e-12);
}

}  // namespace
