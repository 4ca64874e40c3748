// The fast count-vector core against the walk over every count vector
// (random games of small chambers) and against exact rational arithmetic
// (chambers of thousands of members, where the walk's doubles overflow).
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "engines/exact/chamber_program.h"

namespace {

constexpr ISAKIND KINDS[] = {ISAKIND::SHAPLEY, ISAKIND::WORKINGPLAN, ISAKIND::BANZHAF,
                             ISAKIND::PUBLICGOOD};

void expectClose(double want, double got, double rel, const std::string& what) {
  EXPECT_NEAR(want, got, rel * std::max(1.0, std::fabs(want))) << what;
}

TEST(IsaFast, RandomGamesMatchTheWalk) {
  const unsigned seed = 20260801;
  std::printf("count-vector games from seed %u\n", seed);
  std::mt19937 rng(seed);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 600; ++round) {
    ISAGAME g;
    g.MM = static_cast<uint16_t>(pick(1, round % 7 == 0 ? 6 : 4));
    int total = 0;
    for (int d = 1; d <= g.MM; ++d) total += g.NN[d] = pick(0, g.MM > 3 ? 5 : 12);
    g.N = static_cast<uint16_t>(total + (pick(0, 9) == 0 ? pick(1, 3) : 0));
    g.THRES = pick(0, 9) == 0 ? pick(-1, 12) : pick(1, 4);
    // Bounds hit the corners: below 0, at 0, inside, at and beyond the size,
    // upper below lower.
    for (int w = 1; w <= 10; ++w)
      for (int d = 1; d <= g.MM; ++d) {
        const int n = g.NN[d];
        g.G[w][d][1] = pick(0, 6) == 0 ? pick(-2, 0) : pick(0, n + 1);
        g.G[w][d][2] = pick(0, 2) == 0 ? n : pick(g.G[w][d][1] - 1, n + 1);
      }
    g.T1 = static_cast<uint16_t>(pick(0, 3) == 0 ? 0 : pick(0, total + 1));
    g.T2 = static_cast<uint16_t>(pick(0, 3) == 0 ? 0 : pick(0, total + 1));
    g.T1ANZ = static_cast<uint16_t>(pick(0, g.MM + 1));
    g.T2ANZ = static_cast<uint16_t>(pick(0, g.MM + 1));
    for (ISAKIND kind : KINDS) {
      const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round) +
                             " kind " + std::to_string(static_cast<int>(kind));
      ISATOTALS want = ISA_SUMS(kind, g);
      ISA_SCALE(kind, g, want);
      const ISATOTALS got = ISA_TODOUBLE(ISA_FAST(kind, g));
      expectClose(want.WINSETS, got.WINSETS, 1e-12, id + " winsets");
      for (int d = 0; d <= MAXCHAMB; ++d) {
        const std::string at = id + " chamber " + std::to_string(d);
        expectClose(want.SHAP[d], got.SHAP[d], 1e-12, at + " shap");
        expectClose(want.PIV0[d], got.PIV0[d], 1e-12, at + " piv0");
        expectClose(want.PIV1[d], got.PIV1[d], 1e-12, at + " piv1");
      }
    }
  }
}

// ---- Exact reference in rationals -------------------------------------------

struct Exact {
  mpq_class winsets, shap[MAXCHAMB + 1], piv0[MAXCHAMB + 1], piv1[MAXCHAMB + 1];
};

bool exactWins(ISAKIND kind, const ISAGAME& g, const std::vector<int>& p) {
  long c1 = 0, c2 = 0;
  for (int d = 1; d <= g.MM; ++d) {
    c1 += d <= g.T1ANZ ? p[d] : 0;
    c2 += d <= g.T2ANZ ? p[d] : 0;
  }
  for (int w = 1; w <= g.THRES; ++w) {
    bool in = true;
    for (int d = 1; d <= g.MM; ++d) in = in && g.G[w][d][1] <= p[d] && p[d] <= g.G[w][d][2];
    const bool ok1 = c1 >= g.T1, ok2 = c2 >= g.T2;
    if (in && (kind != ISAKIND::WORKINGPLAN ? ok1 && ok2 : w == 1 ? ok1 : w == 2 ? ok2 : true))
      return true;
  }
  return false;
}

mpz_class binomial(long n, long k) {
  mpz_class r;
  mpz_bin_uiui(r.get_mpz_t(), static_cast<unsigned long>(n), static_cast<unsigned long>(k));
  return r;
}

// Every count vector of the game with its coalitions counted exactly and
// every Shapley weight an exact fraction, then the final scaling.
Exact exactTotals(ISAKIND kind, const ISAGAME& g) {
  Exact x;
  const int mm = g.MM;
  std::vector<int> p(static_cast<std::size_t>(mm) + 1, 0);
  for (;;) {
    long k = 0;
    for (int d = 1; d <= mm; ++d) k += p[d];
    auto without = [&](int d) {
      --p[d];
      const bool w = exactWins(kind, g, p);
      ++p[d];
      return w;
    };
    if (exactWins(kind, g, p)) {
      bool minimal = true;
      for (int d = 1; d <= mm; ++d) minimal = minimal && (p[d] == 0 || !without(d));
      mpz_class z = 1;
      for (int d = 1; d <= mm; ++d) z *= binomial(g.NN[d], p[d]);
      if (kind != ISAKIND::PUBLICGOOD || minimal) x.winsets += z;
      for (int d = 1; d <= mm; ++d) {
        if (p[d] == 0) continue;
        const mpq_class zi = mpq_class(z * p[d], g.NN[d]);  // holding one given member of d
        if (kind == ISAKIND::PUBLICGOOD) {
          if (!minimal) continue;
          x.shap[d] += zi;
          x.piv0[d] += zi / k;
          continue;
        }
        if (kind == ISAKIND::SHAPLEY) x.piv1[d] += z;
        x.piv0[d] += zi;
        if (without(d)) continue;
        x.shap[d] += kind == ISAKIND::BANZHAF ? zi : mpq_class(zi / (binomial(g.N, k) * k));
      }
    }
    int d = 1;
    while (d <= mm && p[d] == g.NN[d]) p[d++] = 0;
    if (d > mm) break;
    ++p[d];
  }
  for (int d = 1; d <= mm; ++d) {
    x.shap[d] *= g.NN[d];
    if (kind == ISAKIND::PUBLICGOOD) {
      x.piv0[d] *= g.NN[d];
    } else if (x.winsets != 0) {
      x.piv0[d] = x.piv0[d] * g.NN[d] / x.winsets;
      x.piv1[d] /= x.winsets;
    }
  }
  return x;
}

// |got - want| <= 1e-12 |want|, WANT exact and GOT in extended range.
void expectExact(const mpq_class& want, const XNUM& got, const std::string& what) {
  mpf_class w(0, 256), g(got.m, 256);
  w = want;
  if (got.e >= 0)
    mpf_mul_2exp(g.get_mpf_t(), g.get_mpf_t(), static_cast<mp_bitcnt_t>(got.e));
  else
    mpf_div_2exp(g.get_mpf_t(), g.get_mpf_t(), static_cast<mp_bitcnt_t>(-got.e));
  const mpf_class diff = abs(g - w), bound = abs(w) * 1e-12;
  EXPECT_LE(cmp(diff, bound), 0) << what << ": got " << XSCISTR(got);
}

// A game of chambers NN with BOXES (each the lower and upper bound of every
// chamber in turn) and overall thresholds T1, T2 over the first ANZ1, ANZ2
// chambers.
ISAGAME isaGame(const std::vector<int>& nn, const std::vector<std::vector<int>>& boxes, int t1,
                int t2, int anz1, int anz2) {
  ISAGAME g;
  g.MM = static_cast<uint16_t>(nn.size());
  for (int d = 1; d <= g.MM; ++d) g.N = static_cast<uint16_t>(g.N + (g.NN[d] = nn[d - 1]));
  g.THRES = static_cast<int32_t>(boxes.size());
  for (int w = 1; w <= g.THRES; ++w)
    for (int d = 1; d <= g.MM; ++d) {
      g.G[w][d][1] = boxes[w - 1][2 * d - 2];
      g.G[w][d][2] = boxes[w - 1][2 * d - 1];
    }
  g.T1 = static_cast<uint16_t>(t1);
  g.T2 = static_cast<uint16_t>(t2);
  g.T1ANZ = static_cast<uint16_t>(anz1);
  g.T2ANZ = static_cast<uint16_t>(anz2);
  return g;
}

TEST(IsaFast, LargeChambersMatchExactRationals) {
  const struct {
    const char* name;
    ISAGAME g;
  } cases[] = {
      {"5000, simple majority", isaGame({5000}, {{2501, 5000}}, 0, 0, 1, 1)},
      {"3000, band and threshold", isaGame({3000}, {{1200, 2400}, {2800, 2900}}, 1900, 0, 1, 1)},
      {"2000 and 3", isaGame({2000, 3}, {{1001, 2000, 2, 3}, {1334, 2000, 0, 3}}, 0, 1002, 1, 2)},
      {"4000, 2 and 1",
       isaGame({4000, 2, 1}, {{2001, 3500, 1, 2, 0, 1}, {2500, 4000, 0, 0, 1, 1}}, 2003, 1, 3, 2)},
  };
  for (const auto& [name, g] : cases) {
    for (ISAKIND kind : KINDS) {
      const std::string id = std::string(name) + " kind " + std::to_string(static_cast<int>(kind));
      const Exact want = exactTotals(kind, g);
      const ISAXTOTALS got = ISA_FAST(kind, g);
      expectExact(want.winsets, got.WINSETS, id + " winsets");
      for (int d = 1; d <= g.MM; ++d) {
        const std::string at = id + " chamber " + std::to_string(d);
        expectExact(want.shap[d], got.SHAP[d], at + " shap");
        expectExact(want.piv0[d], got.PIV0[d], at + " piv0");
        expectExact(want.piv1[d], got.PIV1[d], at + " piv1");
      }
    }
  }
}

// The largest chamber the program takes: finite totals, the Shapley values
// of its members adding up to one.
TEST(IsaFast, TheLargestChamberGivesFiniteTotals) {
  const ISAGAME g = isaGame({65535}, {{32768, 65535}}, 0, 0, 1, 1);
  const ISAXTOTALS s = ISA_FAST(ISAKIND::SHAPLEY, g);
  EXPECT_NEAR(XTODOUBLE(s.SHAP[1]), 1.0, 1e-12);
  EXPECT_NEAR(XTODOUBLE(s.PIV1[1]), 1.0, 1e-12);
  EXPECT_EQ(s.WINSETS.e, 65535);  // 2^65534 exactly
  EXPECT_EQ(s.WINSETS.m, 0.5);
  const ISAXTOTALS b = ISA_FAST(ISAKIND::BANZHAF, g);
  // Each member swings in the C(65534, 32767) coalitions of 32768 holding it.
  const double want = (std::lgamma(65535.0) - 2 * std::lgamma(32768.0)) / std::log(10.0);
  EXPECT_NEAR(static_cast<double>(XLOG10(b.SHAP[1] / XNUM(65535.0))), want, 1e-9);
}

}  // namespace
