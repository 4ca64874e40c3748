// The fast weighted counting against the exhaustive cores on random games
// drawn to hit the corners, and its two methods against each other on games
// too large to walk.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engines/exact/fast_counts.h"

namespace {

using weightedwalk::Game;
using weightedwalk::MinimalCounts;
using weightedwalk::WinCounts;

struct Draw {
  std::mt19937_64 rng;
  int64_t pick(int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  }
  bool chance(int percent) { return pick(0, 99) < percent; }
};

// A random game of N players: weights of one of several magnitudes with
// many zeros; thresholds negative, at 0, inside, at the total and beyond;
// every overall threshold and the blocking rule.
Game randomGame(Draw& d, int n) {
  Game g;
  g.n = n;
  g.mm = static_cast<int>(d.pick(1, std::min(3, n)));
  g.thres = static_cast<int>(d.chance(5) ? 0 : d.pick(1, 3));
  g.vs = static_cast<int>(d.chance(50) ? 1 : d.pick(2, 4));
  for (int p = 1; p <= n; ++p)
    g.sub[p] = static_cast<int>(d.chance(70) ? 1 + (p - 1) * g.mm / n : d.pick(1, g.mm));
  const int64_t scale[] = {1, 3, 10, 100, 100000};
  for (int k = 0; k < g.vs; ++k) {
    const int64_t top = scale[d.pick(0, 4)];
    int64_t total[MAXCHAMB + 1] = {};
    for (int p = 1; p <= n; ++p) {
      g.w[k][p] = d.chance(20) ? 0 : d.pick(0, top);
      total[g.sub[p]] += g.w[k][p];
    }
    for (int t = 1; t <= g.thres; ++t)
      for (int s = 1; s <= g.mm; ++s) {
        const int64_t corner[] = {-1, 0, total[s], total[s] + 1, total[s] / 2 + 1};
        g.m[k][t][s] = d.chance(30) ? corner[d.pick(0, 4)] : d.pick(0, total[s]);
      }
  }
  g.overall = static_cast<int>(d.pick(0, 3));  // 3: no overall threshold either
  g.overt = static_cast<int>(d.chance(60) ? 0 : 1);
  int64_t votes = 0;
  for (int p = 1; p <= n; ++p) votes += g.w[0][p];
  g.t1 = g.overt == 0 ? d.pick(0, n + 1) : d.pick(-1, votes + 1);
  g.block = g.vs >= 2 && d.chance(40);
  if (g.block) {
    int64_t second = 0;
    for (int p = 1; p <= n; ++p) second += g.w[1][p];
    g.blockThres = d.chance(10) ? -1 : d.pick(0, second);
  }
  return g;
}

TEST(WeightedFast, RandomGamesMatchTheExhaustiveCores) {
  const uint64_t seed = 20260802;
  std::printf("weighted games from seed %llu\n", static_cast<unsigned long long>(seed));
  Draw d{std::mt19937_64(seed)};
  int dense = 0, diagram = 0;
  for (int round = 0; round < 1200; ++round) {
    const Game g = randomGame(d, static_cast<int>(d.pick(1, round % 10 == 0 ? 16 : 11)));
    const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round);
    auto r = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(fastcount::SHAPLEY_FAST(g, *r)) << id;
    (r->method == fastcount::Method::DENSE ? dense : diagram) += 1;
    auto want = std::make_unique<WinCounts>(), got = std::make_unique<WinCounts>();
    weightedwalk::SHAPLEY_CORE(g, *want);
    fastcount::SHAPLEY_COUNTS(*r, g, *got);
    ASSERT_EQ(want->wins, got->wins) << id;
    const uint64_t empty = weightedwalk::EMPTYWINS(g) ? 1 : 0;
    for (int p = 1; p <= g.n; ++p) {
      EXPECT_EQ(want->with[p], got->with[p]) << id << " player " << p;
      // Both finish from the same counts by size: equal to the last bit.
      EXPECT_EQ(want->value[p], got->value[p]) << id << " shapley " << p;
      // Every winning coalition with p not winning without it.
      EXPECT_EQ(r->swings[p], 2 * r->with[p] - r->wins - empty) << id << " player " << p;
    }
    for (int s = 1; s <= g.mm; ++s) EXPECT_EQ(want->sub[s], got->sub[s]) << id << " subgame " << s;

    ASSERT_TRUE(fastcount::PUBLICGOOD_FAST(g, *r)) << id;
    auto wantMin = std::make_unique<MinimalCounts>(), gotMin = std::make_unique<MinimalCounts>();
    weightedwalk::PUBLICGOOD_CORE(g, *wantMin);
    fastcount::PUBLICGOOD_COUNTS(*r, g, *gotMin);
    ASSERT_EQ(wantMin->minimal, gotMin->minimal) << id << " minimal";
    for (int p = 1; p <= g.n; ++p) {
      EXPECT_EQ(wantMin->with[p], gotMin->with[p]) << id << " minimal, player " << p;
      EXPECT_EQ(wantMin->share[p], gotMin->share[p]) << id << " minimal share " << p;
    }
  }
  // Both methods had their share of the games.
  EXPECT_GT(dense, 200);
  EXPECT_GT(diagram, 200);
}

TEST(WeightedFast, LeavesNegativeWeightsAndSpatialGamesToTheWalk) {
  Draw d{std::mt19937_64(3)};
  for (int round = 0; round < 50; ++round) {
    Game g = randomGame(d, 8);
    fastcount::Result r;
    g.w[d.pick(0, g.vs - 1)][d.pick(1, 8)] = -1;
    EXPECT_FALSE(fastcount::SHAPLEY_FAST(g, r));
    EXPECT_FALSE(fastcount::PUBLICGOOD_FAST(g, r));
    WinCounts want, got;
    weightedwalk::SHAPLEY_CORE(g, want);
    EXPECT_EQ(fastcount::SHAPLEY(g, got), fastcount::Method::EXHAUSTIVE);
    EXPECT_EQ(want.wins, got.wins);
  }
  Game g = randomGame(d, 5);
  POSTYP pos{};
  g.position = &pos;
  fastcount::Result r;
  EXPECT_FALSE(fastcount::SHAPLEY_FAST(g, r));
}

// Single-threshold games of up to 50 players, too many to walk: the dense
// table and the diagram count them independently and must agree on every
// count by size.
TEST(WeightedFast, DenseTableAndDiagramAgreeOnLargeGames) {
  Draw d{std::mt19937_64(11)};
  for (int round = 0; round < 40; ++round) {
    const int n = static_cast<int>(d.pick(20, 50));
    Game g;
    g.n = n;
    g.mm = static_cast<int>(d.pick(1, 3));
    g.thres = 1;
    int64_t total = 0;
    const int64_t top = round % 3 == 0 ? 1000 : 60;
    for (int p = 1; p <= n; ++p) {
      g.sub[p] = 1 + (p - 1) * g.mm / n;
      g.w[0][p] = g.sub[p] == 1 ? d.pick(0, top) : 0;
      total += g.w[0][p];
    }
    g.m[0][1][1] = d.pick(1, total);
    g.overall = static_cast<int>(d.pick(0, 2));
    g.t1 = d.pick(0, n);
    const std::string id = "round " + std::to_string(round);
    auto a = std::make_unique<fastcount::Result>(), b = std::make_unique<fastcount::Result>();
    for (bool pg : {false, true}) {
      auto count = pg ? fastcount::PUBLICGOOD_FAST : fastcount::SHAPLEY_FAST;
      ASSERT_TRUE(count(g, *a, fastcount::Choice::DENSE)) << id;
      ASSERT_TRUE(count(g, *b, fastcount::Choice::DIAGRAM)) << id;
      EXPECT_EQ(a->wins, b->wins) << id;
      EXPECT_EQ(a->minimal, b->minimal) << id;
      for (int p = 1; p <= n; ++p) {
        EXPECT_EQ(a->with[p], b->with[p]) << id << " player " << p;
        EXPECT_EQ(a->swings[p], b->swings[p]) << id << " player " << p;
        EXPECT_EQ(a->minimalWith[p], b->minimalWith[p]) << id << " player " << p;
        EXPECT_EQ(a->shap[p], b->shap[p]) << id << " shapley";
        EXPECT_EQ(a->minimalShare[p], b->minimalShare[p]) << id << " share";
      }
      for (int s = 1; s <= g.mm; ++s) EXPECT_EQ(a->sub[s], b->sub[s]) << id << " subgame " << s;
    }
  }
}

// One threshold: a few players with large weights go to the diagram (a few
// thousand nodes against a table of millions of cells), many players or
// small weights to the table; both count alike.
TEST(WeightedFast, OneThresholdGoesToTheSmallerMethod) {
  struct Row {
    int n;
    int64_t scale;
    fastcount::Method want;
  } rows[] = {{20, 500000, fastcount::Method::DIAGRAM},
              {22, 400000, fastcount::Method::DIAGRAM},
              {20, 10, fastcount::Method::DENSE},
              {50, 1000, fastcount::Method::DENSE}};
  for (const Row& r : rows) {
    Game g;
    g.n = r.n;
    g.mm = g.thres = 1;
    int64_t total = 0;
    for (int p = 1; p <= r.n; ++p) {
      g.sub[p] = 1;
      total += g.w[0][p] = r.scale + p * 7919 % r.scale;
    }
    g.m[0][1][1] = total / 2 + 1;
    auto best = std::make_unique<fastcount::Result>(),
         dense = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(fastcount::PUBLICGOOD_FAST(g, *best));
    ASSERT_TRUE(fastcount::PUBLICGOOD_FAST(g, *dense, fastcount::Choice::DENSE));
    EXPECT_EQ(best->method, r.want) << r.n << " players of " << r.scale;
    EXPECT_EQ(best->minimal, dense->minimal);
    for (int p = 1; p <= r.n; ++p) EXPECT_EQ(best->minimalWith[p], dense->minimalWith[p]);
  }
}

}  // namespace

// Storage sized by the game: a game held in room for exactly its players and
// subgames counts as the same game in the program's default room, and one
// beyond the walk's 64-bit coalition set is declined with a status.
TEST(WeightedFast, SizedGamesCountAlikeAndOversizedAreDeclined) {
  Draw d{std::mt19937_64(20261209)};
  for (int round = 0; round < 40; ++round) {
    const Game big = randomGame(d, static_cast<int>(d.pick(1, 12)));
    Game tight(big.n, big.mm);
    tight.n = big.n, tight.mm = big.mm, tight.thres = big.thres, tight.vs = big.vs;
    tight.overall = big.overall, tight.overt = big.overt, tight.t1 = big.t1;
    tight.block = big.block, tight.blockThres = big.blockThres;
    for (int p = 1; p <= big.n; ++p) tight.sub[p] = big.sub[p];
    for (int k = 0; k < weightedwalk::MAXSYS; ++k) {
      for (int p = 1; p <= big.n; ++p) tight.w[k][p] = big.w[k][p];
      for (int t = 0; t <= weightedwalk::MAXWINSET; ++t)
        for (int s = 1; s <= big.mm; ++s) tight.m[k][t][s] = big.m[k][t][s];
    }
    WinCounts a, b;
    fastcount::SHAPLEY(big, a);
    fastcount::SHAPLEY(tight, b);
    ASSERT_EQ(a.wins, b.wins) << round;
    for (int p = 1; p <= big.n; ++p) ASSERT_EQ(a.value[p], b.value[p]) << round;
  }
  for (int n : {64, 70, 120}) {
    Game g(n, 1);
    g.n = n, g.mm = g.thres = 1;
    for (int p = 1; p <= n; ++p) g.sub[p] = 1, g.w[0][p] = 1;
    g.m[0][1][1] = n / 2 + 1;
    WinCounts c;
    weightedwalk::MinimalCounts mc;
    EXPECT_FALSE(weightedwalk::SHAPLEY_CORE(g, c)) << n;
    EXPECT_FALSE(weightedwalk::PUBLICGOOD_CORE(g, mc)) << n;
    EXPECT_EQ(fastcount::SHAPLEY(g, c), fastcount::Method::NONE) << n;
    EXPECT_EQ(c.wins, 0) << n;
  }
}

#include <gmpxx.h>

namespace {

double ratio(const XNUM& x, const mpz_class& want) {
  if (want == 0) return x.zero() ? 1.0 : 0.0;
  long e = 0;
  const double m = mpz_get_d_2exp(&e, want.get_mpz_t());
  return XTODOUBLE(x / XNUM::make(m, e));
}

// Games of 51-200 players beyond the 64-bit counts, one weighted threshold:
// both methods against a plain dynamic program over sizes and weights in
// GMP integers, with player P taken out (its swings at size k + 1 are the
// sets of k others weighing from Q - a to Q - 1).
TEST(WeightedFast, WideCountsMatchBigIntegers) {
  Draw d{std::mt19937_64(20261210)};
  for (int n : {51, 64, 65, 97, 130, 200}) {
    Game g(n, 1);
    g.n = n, g.mm = g.thres = 1;
    int64_t total = 0;
    for (int p = 1; p <= n; ++p) g.sub[p] = 1, total += g.w[0][p] = d.chance(10) ? 0 : d.pick(1, 4);
    const int64_t q = g.m[0][1][1] = d.pick(total / 3, total);
    for (auto use : {fastcount::Choice::DENSE, fastcount::Choice::DIAGRAM}) {
      auto r = std::make_unique<fastcount::Result>();
      ASSERT_TRUE(fastcount::SHAPLEY_FAST(g, *r, use)) << n;
      auto b = std::make_unique<fastcount::Result>();
      ASSERT_TRUE(fastcount::BANZHAF_FAST(g, *b, use)) << n;
      EXPECT_EQ(r->wide, n > fastcount::PROFILEMAX);
      for (int p : {1, n / 2, n}) {
        const int64_t a = g.w[0][p];
        std::vector<std::vector<mpz_class>> c(n, std::vector<mpz_class>(total + 1));
        c[0][0] = 1;
        int k = 0;
        for (int j = 1; j <= n; ++j, ++k)
          if (j != p)
            for (int i = k; i >= 0; --i)
              for (int64_t v = total - g.w[0][j]; v >= 0; --v)
                if (c[i][v] != 0) c[i + 1][v + g.w[0][j]] += c[i][v];
        mpz_class wins = 0, with = 0, swings = 0, fact = 1, all = 1;
        mpq_class value = 0;
        mpz_ui_pow_ui(all.get_mpz_t(), 2, n);
        for (int i = 0; i < n; ++i) {
          mpz_class bySize = 0;
          for (int64_t v = 0; v <= total; ++v) {
            if (v >= q) wins += c[i][v];
            if (v + a >= q) with += c[i][v];
            if (v + a >= q && v < q) bySize += c[i][v];
          }
          swings += bySize;
          // (k-1)! (n-k)! / n! at k = i + 1
          mpz_class num, den;
          mpz_fac_ui(num.get_mpz_t(), i), mpz_fac_ui(den.get_mpz_t(), n - i - 1);
          mpz_fac_ui(fact.get_mpz_t(), n);
          value += mpq_class(bySize * num * den, fact);
        }
        wins += with;  // those without P, then those with it
        const std::string id = std::to_string(n) + " players, player " + std::to_string(p);
        EXPECT_NEAR(ratio(r->xwins, wins), 1.0, 1e-12) << id;
        EXPECT_NEAR(ratio(r->xwith[p], with), 1.0, 1e-12) << id;
        EXPECT_NEAR(ratio(r->xswings[p], swings), 1.0, 1e-12) << id;
        EXPECT_NEAR(r->shap[p], value.get_d(), 1e-12 * value.get_d()) << id;
        EXPECT_NEAR(ratio(b->xwins, wins), 1.0, 1e-12) << id << " banzhaf";
        EXPECT_NEAR(ratio(b->xswings[p], swings), 1.0, 1e-12) << id << " banzhaf";
      }
    }
  }
}

// Few coalitions lose in large games with low quotas: their count, formed
// before the counts are rounded, against big integers, for every method,
// with and without an overall threshold in members. Once 2^n - W is taken
// from a rounded W, it keeps no digit of the true count.
TEST(WeightedFast, LosingCoalitionsOfLowQuotasMatchBigIntegers) {
  Draw d{std::mt19937_64(20261210)};
  int floated = 0;
  for (int round = 0; round < 24; ++round) {
    const int n = static_cast<int>(d.pick(55, 200));
    Game g(n, 1);
    g.n = n, g.mm = g.thres = 1;
    int64_t total = 0;
    for (int p = 1; p <= n; ++p) g.sub[p] = 1, total += g.w[0][p] = d.chance(10) ? 0 : d.pick(1, 6);
    const int64_t q = g.m[0][1][1] = d.pick(1, std::max<int64_t>(1, total / 12));
    g.overall = round % 3 == 0 ? 3 : round % 3;  // none, AND, OR in members
    g.t1 = d.pick(1, 4);
    // Subsets by size and weight below Q; every subset of size k below T1
    // loses under AND, none under OR.
    std::vector<std::vector<mpz_class>> c(n + 1, std::vector<mpz_class>(q));
    c[0][0] = 1;
    for (int j = 1; j <= n; ++j)
      for (int k = j - 1; k >= 0; --k)
        for (int64_t v = q - 1 - g.w[0][j]; v >= 0; --v) c[k + 1][v + g.w[0][j]] += c[k][v];
    mpz_class losing = 0, size;
    for (int k = 0; k <= n; ++k) {
      mpz_bin_uiui(size.get_mpz_t(), n, k);
      for (int64_t v = 0; v < q; ++v) {
        if (g.overall == 2 && k >= g.t1) break;
        if (g.overall != 1 || k >= g.t1) losing += c[k][v];
      }
      if (g.overall == 1 && k < g.t1) losing += size;
    }
    const std::string id = std::to_string(n) + " players, round " + std::to_string(round);
    for (auto use :
         {fastcount::Choice::BEST, fastcount::Choice::DENSE, fastcount::Choice::DIAGRAM}) {
      auto b = std::make_unique<fastcount::Result>();
      ASSERT_TRUE(fastcount::BANZHAF_FAST(g, *b, use)) << id;
      floated += b->floating ? 1 : 0;
      EXPECT_NEAR(ratio(b->xlosing, losing), 1.0, 1e-12) << id << " " << static_cast<int>(use);
      if (use != fastcount::Choice::BEST) continue;
      auto r = std::make_unique<fastcount::Result>();
      ASSERT_TRUE(fastcount::SHAPLEY_FAST(g, *r, fastcount::Choice::DENSE)) << id;
      EXPECT_NEAR(ratio(r->xlosing, losing), 1.0, 1e-12) << id << " shapley";
    }
  }
  EXPECT_GT(floated, 0);  // the doubles' table had its share
}

// Players of weight 0 change no value: a small game with enough of them to
// pass 63 players counts (in passes modulo primes) as it does alone in
// 64-bit counts, for every rule but the blocking one (an outsider of weight 0
// is always the smallest) and the overall threshold in members.
TEST(WeightedFast, DummiesBeyondSixtyThreePlayersChangeNoValue) {
  Draw d{std::mt19937_64(20261211)};
  for (int round = 0; round < 30; ++round) {
    Game small = randomGame(d, static_cast<int>(d.pick(2, 12)));
    small.block = false;
    if (small.overt == 0) small.overall = 0;
    const int z = static_cast<int>(d.pick(64 - small.n, 90)), n = small.n + z;
    Game g(n, small.mm);
    g.n = n, g.mm = small.mm, g.thres = small.thres, g.vs = small.vs;
    g.overall = small.overall, g.overt = small.overt, g.t1 = small.t1;
    for (int p = 1; p <= n; ++p) g.sub[p] = p <= small.n ? small.sub[p] : 1;
    for (int k = 0; k < weightedwalk::MAXSYS; ++k) {
      for (int p = 1; p <= small.n; ++p) g.w[k][p] = small.w[k][p];
      for (int t = 0; t <= weightedwalk::MAXWINSET; ++t)
        for (int s = 1; s <= g.mm; ++s) g.m[k][t][s] = small.m[k][t][s];
    }
    const std::string id = "round " + std::to_string(round);
    auto a = std::make_unique<fastcount::Result>(), b = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(fastcount::SHAPLEY_FAST(small, *a)) << id;
    ASSERT_TRUE(fastcount::SHAPLEY_FAST(g, *b)) << id;
    const XNUM grown = XPOW2(z);
    // The empty coalition, when it wins, is counted in neither.
    const double empty = weightedwalk::EMPTYWINS(small) ? 1 : 0,
                 wins = static_cast<double>(a->wins) + empty;
    EXPECT_NEAR(XTODOUBLE((b->xwins + XNUM(empty)) / grown), wins, 1e-12 * wins) << id;
    for (int p = 1; p <= small.n; ++p) {
      EXPECT_NEAR(b->shap[p], a->shap[p], 1e-13) << id << " player " << p;
      EXPECT_NEAR(XTODOUBLE(b->xswings[p] / grown), static_cast<double>(a->swings[p]),
                  1e-12 * a->swings[p])
          << id << " player " << p;
    }
    for (int p = small.n + 1; p <= n; ++p) EXPECT_NEAR(b->shap[p], 0.0, 1e-15) << id;
    for (int s = 2; s <= g.mm; ++s)
      EXPECT_NEAR(XTODOUBLE(b->xsub[s] / grown), static_cast<double>(a->sub[s]), 1e-12 * a->sub[s]);
    ASSERT_TRUE(fastcount::PUBLICGOOD_FAST(small, *a)) << id;
    ASSERT_TRUE(fastcount::PUBLICGOOD_FAST(g, *b)) << id;
    EXPECT_NEAR(XTODOUBLE(b->xminimal), static_cast<double>(a->minimal), 1e-12 * a->minimal);
    for (int p = 1; p <= small.n; ++p)
      EXPECT_NEAR(b->minimalShare[p], a->minimalShare[p], 1e-12 * a->minimalShare[p]) << id;
  }
}

}  // namespace

namespace {

// The Banzhaf count without sizes, by either method, against the counts by
// size and the walk.
TEST(WeightedFast, BanzhafWithoutSizesMatchesTheCountsBySize) {
  Draw d{std::mt19937_64(20261212)};
  for (int round = 0; round < 400; ++round) {
    const Game g = randomGame(d, static_cast<int>(d.pick(1, 11)));
    const std::string id = "round " + std::to_string(round);
    auto want = std::make_unique<fastcount::Result>(), got = std::make_unique<fastcount::Result>();
    ASSERT_TRUE(fastcount::SHAPLEY_FAST(g, *want)) << id;
    for (auto use :
         {fastcount::Choice::BEST, fastcount::Choice::DENSE, fastcount::Choice::DIAGRAM}) {
      if (!fastcount::BANZHAF_FAST(g, *got, use)) {
        ASSERT_EQ(use, fastcount::Choice::DENSE) << id;  // the table takes one threshold only
        continue;
      }
      ASSERT_EQ(want->wins, got->wins) << id;
      for (int p = 1; p <= g.n; ++p) {
        ASSERT_EQ(want->with[p], got->with[p]) << id << " player " << p;
        ASSERT_EQ(want->swings[p], got->swings[p]) << id << " player " << p;
      }
      for (int s = 1; s <= g.mm; ++s)
        ASSERT_EQ(want->sub[s], got->sub[s]) << id << " subgame " << s;
    }
    WinCounts walk, fast;
    weightedwalk::SHAPLEY_CORE(g, walk);
    ASSERT_NE(fastcount::BANZHAF(g, fast), fastcount::Method::EXHAUSTIVE) << id;
    ASSERT_EQ(walk.wins, fast.wins) << id;
    for (int p = 1; p <= g.n; ++p) ASSERT_EQ(walk.with[p], fast.with[p]) << id;
    for (int s = 1; s <= g.mm; ++s) ASSERT_EQ(walk.sub[s], fast.sub[s]) << id;
  }
}

}  // namespace

namespace {

// The plan before the count: the method the count then uses, memory within
// the budget, and an honest refusal (false, no walk) when nothing fits.
TEST(WeightedFast, PlanTellsTheMethodAndKeepsTheBudget) {
  struct Row {
    int n;
    int64_t top;
    std::size_t budget;
    fastcount::Method want;
    // The indices the halves' subset sums count instead (DENSE): 1 Banzhaf,
    // 2 also Shapley-Shubik (by size, where the diagram is planned dearer).
    int halves = 0;
  } rows[] = {{51, 54, 0, fastcount::Method::DENSE},           // the table, own limits
              {51, 54, 1 << 20, fastcount::Method::DENSE},     // ... within a megabyte
              {51, 54, 1000, fastcount::Method::EXHAUSTIVE},   // nothing fits: the walk is left
              {20, 500000, 0, fastcount::Method::DIAGRAM, 2},  // few players, large weights
              {150, 30, 64 << 20, fastcount::Method::DENSE},   // beyond 63 players
              {150, 30, 4000, fastcount::Method::NONE},        // ... and beyond the walk
              {40, 1000000, 20 << 20, fastcount::Method::DIAGRAM, 1}};  // a table of GBs left out
  for (const Row& row : rows)
    for (auto index :
         {fastcount::Index::SHAPLEY, fastcount::Index::BANZHAF, fastcount::Index::PUBLICGOOD}) {
      Game g(row.n, 1);
      g.n = row.n, g.mm = g.thres = 1;
      int64_t total = 0;
      for (int p = 1; p <= row.n; ++p) g.sub[p] = 1, total += g.w[0][p] = 1 + p * 7919 % row.top;
      g.m[0][1][1] = total / 2 + 1;
      const std::string id = std::to_string(row.n) + " players, budget " +
                             std::to_string(row.budget) + ", index " +
                             std::to_string(static_cast<int>(index));
      const fastcount::Plan plan = fastcount::PLAN(g, index, row.budget);
      const bool halves = (index == fastcount::Index::BANZHAF && row.halves >= 1) ||
                          (index == fastcount::Index::SHAPLEY && row.halves >= 2);
      EXPECT_EQ(plan.method, halves ? fastcount::Method::DENSE : row.want) << id;
      EXPECT_GT(plan.walkSeconds, 0.0) << id;
      if (row.budget != 0 && plan.method != fastcount::Method::EXHAUSTIVE) {
        EXPECT_LE(plan.bytes, row.budget) << id;
      }
      auto r = std::make_unique<fastcount::Result>();
      const bool fast =
          plan.method == fastcount::Method::DENSE || plan.method == fastcount::Method::DIAGRAM;
      // A diagram that may outgrow the budget may fail, and says so.
      const bool done = fastcount::COUNT_FAST(g, index, *r, fastcount::Choice::BEST, row.budget);
      EXPECT_EQ(done, fast && (done || !plan.sure)) << id;
      if (done) {
        EXPECT_EQ(r->method, plan.method) << id;
      }
    }
}

}  // namespace

#include "engines/exact/modular.h"

namespace {

mpz_class big(uint64_t x) {
  mpz_class r;
  mpz_import(r.get_mpz_t(), 1, 1, sizeof x, 0, 0, &x);
  return r;
}

// Residues modulo the passes' primes join into the values below their
// product, and the primes are primes: random values of every size up to
// the product, against GMP.
TEST(WeightedFast, ResiduesJoinIntoTheirValues) {
  gmp_randclass rng(gmp_randinit_default);
  rng.seed(20261213);
  for (int passes : {1, 2, 5, 17}) {
    mpz_class product = 1;
    for (int i = 0; i < passes; ++i) {
      EXPECT_NE(mpz_probab_prime_p(big(fastcount::PRIME(i)).get_mpz_t(), 30), 0) << i;
      EXPECT_LT(fastcount::PRIME(i), uint64_t{1} << 62);
      EXPECT_TRUE(i == 0 || fastcount::PRIME(i) < fastcount::PRIME(i - 1)) << i;
      product *= big(fastcount::PRIME(i));
    }
    std::vector<mpz_class> values = {0, 1, product - 1};
    for (int k = 0; k < 40; ++k) {  // of every magnitude
      const mpz_class top = product >> (k % 7) * 60;
      values.push_back(rng.get_z_range(top < 2 ? product : top));
    }
    fastcount::JOIN join(values.size());
    for (int i = 0; i < passes; ++i) {
      std::vector<uint64_t> residues;
      for (const mpz_class& v : values) {
        const mpz_class r = v % big(fastcount::PRIME(i));
        residues.push_back(r.get_ui() | static_cast<uint64_t>(mpz_class(r >> 32).get_ui()) << 32);
      }
      join.add(residues, fastcount::PRIME(i));
    }
    for (std::size_t i = 0; i < values.size(); ++i)
      EXPECT_NEAR(ratio(join.value(i), values[i]), 1.0, 1e-14) << passes << " passes, value " << i;
  }
  EXPECT_EQ(fastcount::PASSES(63), 1);
  EXPECT_EQ(fastcount::PASSES(200), 4);
}

// Binomials and values in extended range agree with the 64-bit ones where
// both exist and with GMP beyond.
TEST(WeightedFast, WideBinomialsAndValues) {
  for (int n : {1, 10, 40, 64, 300, 2000})
    for (int k : {0, 1, n / 3, n / 2, n - 1, n}) {
      mpz_class c;
      mpz_bin_uiui(c.get_mpz_t(), n, k);
      EXPECT_NEAR(ratio(fastcount::XCHOOSE(n, k), c), 1.0, 1e-15) << n << " " << k;
    }
  EXPECT_TRUE(fastcount::XCHOOSE(5, 6).zero());
  Draw d{std::mt19937_64(9)};
  for (int n : {3, 20, 50, 63}) {
    std::vector<uint64_t> swings(static_cast<std::size_t>(n) + 1);
    std::vector<XNUM> wide(swings.size());
    for (int k = 1; k <= n; ++k) {
      swings[k] =
          d.chance(20) ? 0 : d.pick(0, static_cast<int64_t>(fastcount::CHOOSE(n - 1, k - 1)));
      wide[k] = XNUM(static_cast<double>(swings[k]));
    }
    const double want = weightedwalk::SHAPLEYVALUE(n, swings.data());
    EXPECT_NEAR(fastcount::SHAPLEYVALUE(n, wide.data()), want, 1e-14 * want) << n;
    EXPECT_NEAR(XTODOUBLE(fastcount::SIZESHARE(n, wide.data())),
                weightedwalk::SIZESHARE(n, swings.data()),
                1e-14 * weightedwalk::SIZESHARE(n, swings.data()))
        << n;
  }
}

// Beyond 63 players the table and the diagram still count independently:
// they agree on every index, in passes modulo primes.
TEST(WeightedFast, WideDenseTableAndDiagramAgree) {
  Draw d{std::mt19937_64(20261214)};
  for (int round = 0; round < 6; ++round) {
    const int n = static_cast<int>(d.pick(64, 110));
    Game g(n, 2);
    g.n = n, g.mm = 2, g.thres = 1;
    int64_t total = 0;
    for (int p = 1; p <= n; ++p) {
      g.sub[p] = p <= n / 3 ? 2 : 1;
      total += g.w[0][p] = g.sub[p] == 1 ? d.pick(0, 5) : 0;
    }
    g.m[0][1][1] = d.pick(1, total);
    g.overall = static_cast<int>(d.pick(0, 2));
    g.t1 = d.pick(0, n);
    for (auto index :
         {fastcount::Index::SHAPLEY, fastcount::Index::BANZHAF, fastcount::Index::PUBLICGOOD}) {
      auto a = std::make_unique<fastcount::Result>(), b = std::make_unique<fastcount::Result>();
      ASSERT_TRUE(fastcount::COUNT_FAST(g, index, *a, fastcount::Choice::DENSE, 0)) << round;
      ASSERT_TRUE(fastcount::COUNT_FAST(g, index, *b, fastcount::Choice::DIAGRAM, 0)) << round;
      ASSERT_TRUE(a->wide && b->wide);
      EXPECT_EQ(a->xwins, b->xwins) << round;
      EXPECT_EQ(a->xminimal, b->xminimal) << round;
      for (int p = 1; p <= n; ++p) {
        EXPECT_EQ(a->xswings[p], b->xswings[p]) << round << " player " << p;
        EXPECT_EQ(a->xminimalWith[p], b->xminimalWith[p]) << round << " player " << p;
        EXPECT_EQ(a->shap[p], b->shap[p]) << round << " player " << p;
      }
      EXPECT_EQ(a->xsub[2], b->xsub[2]) << round;
    }
  }
}

}  // namespace

namespace {

// Weights and quota times a prime count the same coalitions in a table that
// many times longer, whose rows are added on two cores (engines/exact/row_split.h):
// the counts agree to the last bit with the short table's, for both indices.
TEST(WeightedFast, ScaledWeightsCountAlikeInALongTable) {
  Draw d{std::mt19937_64(20261209)};
  for (int round = 0; round < 2; ++round) {
    Game g(40, 1), scaled(40, 1);
    g.n = scaled.n = 40, g.mm = scaled.mm = g.thres = scaled.thres = 1;
    int64_t total = 0;
    for (int p = 1; p <= g.n; ++p) {
      g.sub[p] = scaled.sub[p] = 1;
      total += g.w[0][p] = d.pick(1, 40);
      scaled.w[0][p] = 997 * g.w[0][p];
    }
    g.m[0][1][1] = d.pick(total / 3, total);
    scaled.m[0][1][1] = 997 * g.m[0][1][1];
    for (auto index : {fastcount::Index::SHAPLEY, fastcount::Index::PUBLICGOOD}) {
      auto a = std::make_unique<fastcount::Result>(), b = std::make_unique<fastcount::Result>();
      ASSERT_TRUE(fastcount::COUNT_FAST(g, index, *a, fastcount::Choice::DENSE, 0));
      ASSERT_TRUE(fastcount::COUNT_FAST(scaled, index, *b, fastcount::Choice::DENSE, 0));
      EXPECT_TRUE(a->wins == b->wins && a->swings == b->swings && a->shap == b->shap &&
                  a->minimalWith == b->minimalWith && a->minimalShare == b->minimalShare)
          << round;
    }
  }
}

}  // namespace
