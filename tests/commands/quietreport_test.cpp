// Quiet runs take their counts from the fast cores, runs with hooks from the
// walk: on random games drawn to hit the corners, the report texts and the
// number blocks of both (at every precision) are the same to the last
// character. Count-vector games of more vectors than a quiet run walks are
// the exception: the walk's sums of a million rounded terms drift in the
// 13th digit, which its widest fields show, while the fast core stays
// within a few units of the last place; there the numbers must agree to
// 1e-12 or one unit of their last printed digit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "commands/banzhaf.h"
#include "commands/publicgood.h"
#include "commands/runs.h"
#include "commands/shapley.h"
#include "engines/run/compute.h"

namespace {

struct Draw {
  std::mt19937_64 rng;
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool chance(int percent) { return pick(0, 99) < percent; }
};

// A weighted game of up to 14 players in 1-3 subgames with 1-3 win sets:
// weights with zeros and of several magnitudes, thresholds at 0, inside,
// at the total and beyond; the standard or the multiple-weights version
// with every overall rule and the blocking rule.
void weightedGame(Draw& d, GAMETYP& g, RULETYP& r) {
  g.DATASTRUCTURE = DATASTRUCT::WEIGHTED;
  g.MM = static_cast<uint16_t>(d.pick(1, 3));
  r.GAME = d.chance(50) ? VERSION::STANDARD : VERSION::MULTIPLE;
  g.VS = r.GAME == VERSION::MULTIPLE ? d.pick(2, 4) : 1;
  r.THRES = d.pick(1, 3);
  const int top[] = {1, 9, 100, 100000};
  for (int s = 1; s <= g.MM; ++s) {
    g.NN[s] = d.pick(s == 1 ? 1 : 0, 14 / g.MM);
    for (int j = 1; j <= g.NN[s]; ++j) {
      ++g.N;
      g.MEM[g.N][0] = s;
      g.MEM[g.N][1] = j;
    }
  }
  for (int k = 0; k < g.VS; ++k) {
    GEWTYP& w = k == 0 ? g.GEW : g.GEWX[k];
    GEWTYP& m = k == 0 ? r.M : r.MX[k];
    const int most = top[d.pick(0, 3)];
    for (int s = 1; s <= g.MM; ++s) {
      int total = 0;
      for (int j = 1; j <= g.NN[s]; ++j) total += w[s][j] = d.chance(15) ? 0 : d.pick(1, most);
      for (int t = 1; t <= r.THRES; ++t) {
        const int corner[] = {0, total, total + 1, total / 2 + 1};
        m[s][t] = d.chance(25) ? corner[d.pick(0, 3)] : d.pick(0, total);
        if (k == 0) {
          r.G[t][s][1] = m[s][t];
          r.G[t][s][2] = total;
        }
      }
    }
  }
  r.OVERALL = static_cast<OVERALLRULE>(d.pick(0, 2));
  r.OVERT = d.chance(60) ? OVERALLUNIT::MEMBERS : OVERALLUNIT::VOTES;
  r.T1 = d.pick(0, r.OVERT == OVERALLUNIT::MEMBERS ? g.N + 1 : 200);
  r.BLOCK = r.GAME == VERSION::MULTIPLE && d.chance(40);
  r.BLOCKTHRES = d.pick(0, 300);
}

// A count-vector game of 1-4 chambers with 1-4 boxes whose bounds hit the
// corners, in the standard, ISA or working-plan version. LARGE: more count
// vectors than a quiet run walks, so that the fast core counts it.
void unweightedGame(Draw& d, GAMETYP& g, RULETYP& r, bool large) {
  g.DATASTRUCTURE = DATASTRUCT::UNWEIGHTED;
  g.MM = static_cast<uint16_t>(large ? 3 : d.pick(1, 4));
  for (int s = 1; s <= g.MM; ++s) g.N += g.NN[s] = large ? d.pick(75, 90) : d.pick(1, 12);
  const int v = d.pick(0, 2);
  r.GAME = v == 0 ? VERSION::STANDARD : v == 1 ? VERSION::ISA : VERSION::ISAWP;
  r.THRES = large ? d.pick(1, 2) : d.pick(1, 4);
  for (int t = 1; t <= r.THRES; ++t)
    for (int s = 1; s <= g.MM; ++s) {
      const int most = large ? g.NN[s] / 6 : g.NN[s] + (d.chance(10) ? 1 : 0);
      r.G[t][s][1] = d.chance(15) ? 0 : d.pick(0, most);
      r.G[t][s][2] = d.chance(70) ? g.NN[s] : d.pick(r.G[t][s][1], g.NN[s]);
      r.M[s][t] = r.G[t][s][1];
    }
  if (r.GAME != VERSION::STANDARD) {
    r.T1 = d.chance(30) ? 0 : d.pick(0, g.N + 1);
    r.T2 = d.chance(30) ? 0 : d.pick(0, g.N + 1);
    r.T1ANZ = d.pick(0, g.MM + 1);
    r.T2ANZ = d.pick(0, g.MM + 1);
  }
}

// A report procedure's text at precision PREC.
std::string text(RUNTYP R, bool pivots, REPORTPROC proc, int prec) {
  REPORTTYP rep;
  REPORTTOTALS(R, rep, pivots);
  std::string out;
  rep.SCREEN = false;
  rep.TEXT = &out;
  rep.PREC = prec;
  proc(R, rep);
  return out;
}

// The same words, numbers within 1e-12 or one unit of their last digit.
void expectClose(const std::string& want, const std::string& got, const std::string& id) {
  std::istringstream a(want), b(got);
  std::string x, y;
  while (a >> x) {
    ASSERT_TRUE(b >> y) << id << "\n" << got;
    if (x == y) continue;
    if (x.back() == ')' && y.back() == ')') {
      x.pop_back();
      y.pop_back();
    }
    char *endx = nullptr, *endy = nullptr;
    const double u = std::strtod(x.c_str(), &endx), v = std::strtod(y.c_str(), &endy);
    ASSERT_TRUE(*endx == 0 && *endy == 0) << id << ": " << x << " / " << y;
    const std::size_t dot = x.find('.'), e = x.find('E');
    const double unit = dot == std::string::npos || e != std::string::npos
                            ? 0
                            : std::pow(10.0, -static_cast<double>(x.size() - dot - 1));
    EXPECT_LE(std::fabs(u - v), 1e-12 * std::fabs(u) + unit) << id << ": " << x << " / " << y;
  }
  EXPECT_FALSE(b >> y) << id;
}

template <typename RES>
void expectSameReports(const GAMETYP& g, const RULETYP& r, const RES& quiet, const RES& walked,
                       bool pivots, REPORTPROC out1, REPORTPROC out2, int prec, bool exact,
                       const std::string& id) {
  ASSERT_EQ(quiet.STATUS, walked.STATUS) << id;
  const plat::Stamp t{};
  const RUNTYP a = RUNOF(g, r, quiet, t, t), b = RUNOF(g, r, walked, t, t);
  for (REPORTPROC proc : {out1, out2}) {
    const std::string fast = text(a, pivots, proc, prec), walk = text(b, pivots, proc, prec);
    if (exact)
      ASSERT_EQ(fast, walk) << id << " precision " << prec;
    else
      expectClose(walk, fast, id + " precision " + std::to_string(prec));
  }
}

TEST(QuietReports, FastCountingWritesTheWalksReports) {
  const uint64_t seed = 20260812;
  std::printf("report games from seed %llu\n", static_cast<unsigned long long>(seed));
  Draw d{std::mt19937_64(seed)};
  HOOKSTYP walk;
  walk.WALK = true;
  int large = 0;
  for (int round = 0; round < 700; ++round) {
    GAMETYP g;
    RULETYP r;
    const bool weighted = round % 7 < 5;
    if (weighted)
      weightedGame(d, g, r);
    else
      unweightedGame(d, g, r, round % 35 == 6);
    const bool exact = weighted || ISA_VECTORS(ISA_GAME(g, r)) <= ISAQUIETWALK;
    large += exact ? 0 : 1;
    const std::string id = "seed " + std::to_string(seed) + " round " + std::to_string(round);
    const int prec = d.pick(1, 12);
    expectSameReports(g, r, SHAPLEY(g, r), SHAPLEY(g, r, walk), false, SHAPLEYOUT1, SHAPLEYOUT2,
                      prec, exact, id + " shapley");
    expectSameReports(g, r, BANZHAF(g, r), BANZHAF(g, r, walk), false, BANZHAFOUT1, BANZHAFOUT2,
                      prec, exact, id + " banzhaf");
    expectSameReports(g, r, PUBLICGOOD(g, r), PUBLICGOOD(g, r, walk), true, PUBLICGOODOUT1,
                      PUBLICGOODOUT2, prec, exact, id + " public good");
  }
  EXPECT_GE(large, 10);  // the fast core counted games the walk took a while for
}

// Hooks that need not see every coalition (a progress display) leave the
// run to the fast cores; those that must (screen control) see every one.
TEST(QuietReports, ProgressHooksSeeOnlyTheWalksThatRemain) {
  GAMETYP g;
  RULETYP r;
  g.DATASTRUCTURE = DATASTRUCT::WEIGHTED;
  g.MM = 1;
  g.N = 12;
  g.NN[1] = 12;
  for (int j = 1; j <= 12; ++j) {
    g.GEW[1][j] = j;
    g.MEM[j][0] = 1;
    g.MEM[j][1] = j;
  }
  r.THRES = 1;
  r.M[1][1] = 40;
  long seen = 0;
  weightedwalk::Visitor count;
  count.ctx = &seen;
  count.every = [](void* ctx, const PERMTYP&) { ++*static_cast<long*>(ctx); };
  HOOKSTYP hooks;
  hooks.VISITOR = &count;
  const SHAPLEYRES fast = SHAPLEY(g, r, hooks);
  EXPECT_EQ(seen, 0);
  hooks.WALK = true;
  const SHAPLEYRES walked = SHAPLEY(g, r, hooks);
  EXPECT_EQ(seen, 4095);
  EXPECT_EQ(fast.WINS, walked.WINS);
  g.GEW[1][3] = -1;  // not monotone: the walk remains, and the hooks see it
  SHAPLEY(g, r, HOOKSTYP{&count, nullptr, nullptr, false});
  EXPECT_EQ(seen, 2 * 4095);
}

}  // namespace
