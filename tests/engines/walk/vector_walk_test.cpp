#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>
#include <vector>

#include "common/numbers.h"
#include "dialogue/isadialog.h"
#include "engines/walk/vector_walk.h"
#include "testkit.h"

namespace {

// A game from chamber sizes and box lower bounds; upper bounds are the
// chamber sizes, as the win-set dialogue makes them.
ISAGAME makeGame(std::vector<int> nn, std::vector<std::vector<int>> lows, int t1 = 0, int t2 = 0,
                 int anz1 = 1, int anz2 = 1) {
  ISAGAME g;
  g.MM = static_cast<uint16_t>(nn.size());
  int n = 0;
  for (std::size_t d = 0; d < nn.size(); ++d) {
    g.NN[d + 1] = nn[d];
    n += nn[d];
  }
  g.N = static_cast<uint16_t>(n);
  g.THRES = static_cast<int32_t>(lows.size());
  for (std::size_t w = 0; w < lows.size(); ++w)
    for (std::size_t d = 0; d < nn.size(); ++d) {
      g.G[w + 1][d + 1][1] = lows[w][d];
      g.G[w + 1][d + 1][2] = nn[d];
    }
  g.T1 = static_cast<uint16_t>(t1);
  g.T2 = static_cast<uint16_t>(t2);
  g.T1ANZ = static_cast<uint16_t>(anz1);
  g.T2ANZ = static_cast<uint16_t>(anz2);
  return g;
}

void expectNear(double expected, double actual, const std::string& what) {
  EXPECT_NEAR(expected, actual, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

// ---- Brute force over every coalition, written from the definitions -------

struct Reference {
  std::vector<double> shapley, swings, inWinning, anyMember, mwcMembers, mwcShare;
  double winning = 0, minimal = 0;
  bool grandWins = false, emptyWins = false;
};

Reference bruteForce(const ISAGAME& g, bool workingPlan) {
  int mm = g.MM;
  std::vector<int> chamberOf;
  for (int d = 1; d <= mm; ++d)
    for (int j = 0; j < g.NN[d]; ++j) chamberOf.push_back(d);
  const int n = static_cast<int>(chamberOf.size());
  const uint32_t all = 1u << n;

  auto inBox = [&](int w, const std::vector<int>& c) {
    for (int d = 1; d <= mm; ++d)
      if (c[d] < g.G[w][d][1] || c[d] > g.G[w][d][2]) return false;
    return true;
  };
  std::vector<char> win(all);
  std::vector<int> c(mm + 1);
  for (uint32_t s = 0; s < all; ++s) {
    std::fill(c.begin(), c.end(), 0);
    int sum1 = 0, sum2 = 0;
    for (int i = 0; i < n; ++i)
      if (s >> i & 1) {
        ++c[chamberOf[i]];
        sum1 += chamberOf[i] <= g.T1ANZ;
        sum2 += chamberOf[i] <= g.T2ANZ;
      }
    bool w = false;
    if (workingPlan) {
      w = (inBox(1, c) && sum1 >= g.T1) || (g.THRES >= 2 && inBox(2, c) && sum2 >= g.T2);
      for (int b = 3; b <= g.THRES; ++b) w = w || inBox(b, c);
    } else {
      for (int b = 1; b <= g.THRES; ++b) w = w || inBox(b, c);
      w = w && sum1 >= g.T1 && sum2 >= g.T2;
    }
    win[s] = w;
  }

  std::vector<double> fact(n + 1, 1.0);
  for (int k = 1; k <= n; ++k) fact[k] = fact[k - 1] * k;
  Reference r;
  for (auto* v : {&r.shapley, &r.swings, &r.inWinning, &r.anyMember, &r.mwcMembers, &r.mwcShare})
    v->assign(mm + 1, 0.0);
  r.grandWins = win[all - 1];
  r.emptyWins = win[0];
  for (uint32_t s = 0; s < all; ++s) {
    if (!win[s]) continue;
    int k = __builtin_popcount(s);
    r.winning += 1;
    bool minimal = true;
    std::vector<bool> touched(mm + 1, false);
    for (int i = 0; i < n; ++i) {
      if (!(s >> i & 1)) continue;
      int d = chamberOf[i];
      r.inWinning[d] += 1;
      touched[d] = true;
      if (!win[s & ~(1u << i)]) {
        r.swings[d] += 1;
        r.shapley[d] += fact[k - 1] * fact[n - k] / fact[n];
      } else {
        minimal = false;
      }
    }
    for (int d = 1; d <= mm; ++d) r.anyMember[d] += touched[d];
    if (!minimal) continue;
    r.minimal += 1;
    for (int i = 0; i < n; ++i)
      if (s >> i & 1) {
        r.mwcMembers[chamberOf[i]] += 1;
        r.mwcShare[chamberOf[i]] += 1.0 / k;
      }
  }
  return r;
}

// ---- Worked games -----------------------------------------------------------

TEST(IsaEngines, ThreeOfFiveInEveryEngine) {
  ISAGAME g = makeGame({5}, {{3}});
  struct Case {
    const char* name;
    ISATOTALS t;
    double winsets, shap, piv0, piv1;
  } cases[] = {
      {"shapley", ISA_SHAPLEY(g), 16, 1.0, 3.4375, 1.0},
      {"working plan", ISA_SHAPLEY_WORKINGPLAN(g), 16, 1.0, 3.4375, 0.0},
      {"banzhaf", ISA_BANZHAF(g), 16, 30, 3.4375, 0.0},
      {"public good", ISA_PUBLICGOOD(g), 10, 30, 10, 0.0},
  };
  for (const Case& c : cases) {
    expectNear(c.winsets, c.t.WINSETS, std::string(c.name) + " winsets");
    expectNear(c.shap, c.t.SHAP[1], std::string(c.name) + " shap");
    expectNear(c.piv0, c.t.PIV0[1], std::string(c.name) + " piv0");
    expectNear(c.piv1, c.t.PIV1[1], std::string(c.name) + " piv1");
  }
}

TEST(IsaEngines, PublicGoodDropsVectorsWithSuperfluousMembers) {
  // Two of three in chamber 1 wins whatever chamber 2 does: a chamber-2
  // member is never needed, so only the three pairs of chamber 1 are minimal.
  ISATOTALS t = ISA_PUBLICGOOD(makeGame({3, 2}, {{2, 0}}));
  expectNear(3, t.WINSETS, "minimal winning");
  expectNear(6, t.SHAP[1], "members chamber 1");
  expectNear(0, t.SHAP[2], "members chamber 2");
  expectNear(3, t.PIV0[1], "shares chamber 1");
  expectNear(0, t.PIV0[2], "shares chamber 2");
}

TEST(IsaEngines, OverlappingBoxesCountEachVectorOnce) {
  // Box B lies inside box A; a repeated box adds nothing either.
  std::vector<int> a = {2, 1}, b = {3, 2};
  ISAGAME single = makeGame({4, 3}, {a}, 3, 0, 2, 1);
  for (auto lows : {std::vector<std::vector<int>>{a, b}, {b, a}, {a, a}, {b, a, b}}) {
    ISAGAME g = makeGame({4, 3}, lows, 3, 0, 2, 1);
    for (ISAKIND k : {ISAKIND::SHAPLEY, ISAKIND::BANZHAF, ISAKIND::PUBLICGOOD}) {
      ISATOTALS u = ISA_SUMS(k, single), t = ISA_SUMS(k, g);
      expectNear(u.WINSETS, t.WINSETS, "winsets");
      for (int d = 1; d <= 2; ++d) {
        expectNear(u.SHAP[d], t.SHAP[d], "shap");
        expectNear(u.PIV0[d], t.PIV0[d], "piv0");
        expectNear(u.PIV1[d], t.PIV1[d], "piv1");
      }
    }
  }
}

TEST(IsaEngines, WorkingPlanThresholdsBindOnlyTheirOwnBox) {
  // One chamber of five; T1 and T2 count it. Winning coalitions by size:
  // C(5,k) = 1, 5, 10, 10, 5, 1.
  struct Case {
    const char* name;
    std::vector<std::vector<int>> lows;
    int t1, t2;
    double winsets;
  } cases[] = {
      {"box 1 below T1 loses", {{2}, {5}, {5}}, 3, 0, 16},
      {"box 3 ignores T1", {{2}, {5}, {2}}, 3, 0, 26},
      {"box 2 below T2 loses", {{5}, {1}, {5}}, 0, 4, 6},
      {"box 2 and 3 once", {{5}, {2}, {2}}, 0, 2, 26},
      {"T1, T2 bind no other box", {{1}, {1}, {3}}, 5, 5, 16},
      {"missing boxes are empty", {{3}}, 0, 0, 16},
      {"missing box 3 is empty", {{3}, {4}}, 0, 5, 16},
  };
  for (const Case& c : cases) {
    ISAGAME g = makeGame({5}, c.lows, c.t1, c.t2);
    // Boxes that were not entered hold a box that would let everything win.
    for (int w = g.THRES + 1; w <= 3; ++w) g.G[w][1][2] = 5;
    ISATOTALS t = ISA_SHAPLEY_WORKINGPLAN(g);
    expectNear(c.winsets, t.WINSETS, c.name);
    expectNear(1.0, t.SHAP[1], c.name);
  }
}

TEST(IsaEngines, NoWinningCoalitionLeavesEverythingZero) {
  ISAGAME g = makeGame({3, 2}, {{1, 1}}, 6, 0, 2, 1);  // six members needed of five
  for (ISAKIND k :
       {ISAKIND::SHAPLEY, ISAKIND::WORKINGPLAN, ISAKIND::BANZHAF, ISAKIND::PUBLICGOOD}) {
    ISATOTALS t = ISA_SUMS(k, g);
    ISA_SCALE(k, g, t);
    EXPECT_EQ(t.WINSETS, 0.0);
    for (int d = 1; d <= 2; ++d) {
      EXPECT_EQ(t.SHAP[d], 0.0);
      EXPECT_EQ(t.PIV0[d], 0.0);  // no division by zero
      EXPECT_EQ(t.PIV1[d], 0.0);
    }
  }
}

TEST(IsaEngines, GamesOutsideThePreconditionsEndAndStaySane) {
  struct Case {
    const char* name;
    ISAGAME g;
    double winsets;
  } cases[] = {
      {"negative lower bound acts as 0", makeGame({5}, {{-3}}), 32},
      {"lower bound above the chamber", makeGame({5}, {{6}, {3}}), 16},
      {"no chambers", makeGame({}, {{}}), 0},
      {"no win sets", makeGame({5}, {}), 0},
      {"negative chamber", makeGame({5, -1}, {{3, 0}}), 0},
  };
  for (Case& c : cases) expectNear(c.winsets, ISA_SHAPLEY(c.g).WINSETS, c.name);
  // A player count that disagrees with the chambers still ends.
  ISAGAME bad = makeGame({4, 3}, {{2, 2}});
  for (uint16_t n : {0, 3, 9, 65535}) {
    bad.N = n;
    expectNear(ISA_BANZHAF(makeGame({4, 3}, {{2, 2}})).WINSETS, ISA_SHAPLEY(bad).WINSETS, "N");
  }
  // The public good engine removes nobody from an empty chamber, even when a
  // negative lower bound would take minus one member.
  ISATOTALS t = ISA_PUBLICGOOD(makeGame({3, 2}, {{2, -1}}));
  expectNear(3, t.WINSETS, "negative bound, public good");
}

// ---- Random games against the brute force ----------------------------------

TEST(IsaEngines, RandomGamesMatchEveryCoalitionCounted) {
  std::mt19937 rng(20260712);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 250; ++round) {
    std::vector<int> nn(pick(1, 3));
    int n = 0;
    for (int& x : nn) n += x = pick(1, 6);
    std::vector<std::vector<int>> lows(pick(1, 3));
    for (auto& box : lows)
      for (int x : nn) box.push_back(pick(0, 5) == 0 ? -1 : pick(0, x));
    int mm = static_cast<int>(nn.size());
    ISAGAME g = makeGame(nn, lows, pick(0, 4) == 0 ? 0 : pick(0, n),
                         pick(0, 2) == 0 ? 0 : pick(0, n), pick(0, mm + 1), pick(0, mm + 1));
    const std::string id = "round " + std::to_string(round);

    Reference ref = bruteForce(g, false);
    ISATOTALS s = ISA_SHAPLEY(g), b = ISA_BANZHAF(g), p = ISA_PUBLICGOOD(g);
    expectNear(ref.winning, s.WINSETS, id + " shapley winsets");
    expectNear(ref.winning, b.WINSETS, id + " banzhaf winsets");
    expectNear(ref.minimal, p.WINSETS, id + " public good winsets");
    double total = 0;
    for (int d = 1; d <= mm; ++d) {
      const std::string at = id + " chamber " + std::to_string(d);
      double w = ref.winning == 0 ? 1 : ref.winning;
      expectNear(ref.shapley[d], s.SHAP[d], at + " shapley");
      expectNear(ref.inWinning[d] / w, s.PIV0[d], at + " mean members");
      expectNear(ref.anyMember[d] / w, s.PIV1[d], at + " share with a member");
      expectNear(ref.swings[d], b.SHAP[d], at + " swings");
      expectNear(ref.inWinning[d] / w, b.PIV0[d], at + " banzhaf mean members");
      expectNear(ref.mwcMembers[d], p.SHAP[d], at + " minimal members");
      expectNear(ref.mwcShare[d], p.PIV0[d], at + " minimal shares");
      total += s.SHAP[d];
    }
    expectNear(ref.grandWins - ref.emptyWins, total, id + " shapley total");

    Reference wp = bruteForce(g, true);
    ISATOTALS t = ISA_SHAPLEY_WORKINGPLAN(g);
    expectNear(wp.winning, t.WINSETS, id + " working plan winsets");
    total = 0;
    for (int d = 1; d <= mm; ++d) {
      double w = wp.winning == 0 ? 1 : wp.winning;
      expectNear(wp.shapley[d], t.SHAP[d], id + " working plan shapley");
      expectNear(wp.inWinning[d] / w, t.PIV0[d], id + " working plan mean members");
      total += t.SHAP[d];
    }
    expectNear(wp.grandWins - wp.emptyWins, total, id + " working plan total");
  }
}

// ---- Large chambers --------------------------------------------------------

TEST(IsaEngines, LargeChambersComputeExactly) {
  ISAGAME congress = makeGame({435, 100, 1}, {{218, 51, 1}, {290, 67, 0}});
  ISATOTALS s = ISA_SHAPLEY(congress);
  double total = s.SHAP[1] + s.SHAP[2] + s.SHAP[3];
  expectNear(1.0, total, "shapley total");
  EXPECT_GT(s.SHAP[3], s.SHAP[2] / 100);  // the single member outweighs one of the hundred
  congress.THRES = 3;                     // a third box equal to the first
  congress.G[3] = congress.G[1];
  ISATOTALS w = ISA_SHAPLEY_WORKINGPLAN(congress);
  expectNear(1.0, w.SHAP[1] + w.SHAP[2] + w.SHAP[3], "working plan total");

  // One chamber of 435 with a simple majority: half of all coalitions win,
  // and every member swings in the C(434, 217) coalitions of 218 holding it.
  ISAGAME house = makeGame({435}, {{218}});
  expectNear(std::ldexp(1.0, 434), ISA_SHAPLEY(house).WINSETS, "winsets");
  double swing = 1;
  for (int i = 1; i <= 217; ++i) swing = swing * (434 - i + 1) / i;
  expectNear(435 * swing, ISA_BANZHAF(house).SHAP[1], "swings");
  expectNear(1.0, ISA_SHAPLEY(makeGame({1000}, {{501}})).SHAP[1], "1000 members");

  // A box holding one count only: its coalitions are exactly the binomial
  // coefficient the program uses everywhere else.
  for (auto [n, k] : {std::pair{435, 218}, {1000, 333}, {5000, 17}, {60000, 59990}, {9, 0}}) {
    ISAGAME one = makeGame({n}, {{k}});
    one.G[1][1][2] = k;
    EXPECT_EQ(NCRL(n, k), ISA_BANZHAF(one).WINSETS) << n << " " << k;
  }
}

// ---- Screen dialogue ---------------------------------------------------------

TEST(IsaScreen, PromptsBeforeCounting) {
  struct Case {
    const char* name;
    ISAKIND kind;
    std::vector<std::string> rows;
  } cases[] = {
      {"shapley", ISAKIND::SHAPLEY, {"screen control (y/n):"}},
      {"working plan",
       ISAKIND::WORKINGPLAN,
       {"procedure for working plans of the ISBA",
        "overall thresholds are only for the first two win sets !!",
        "you shall define at least 3 win sets", "", "screen control (y/n):"}},
  };
  for (const Case& c : cases) {
    testkit::start();
    bool counted = false;
    EXPECT_THROW(ISA_SCREEN_RUN(c.kind, [&](ISAPROGRESS, void*) { counted = true; }),
                 testkit::KeysExhausted)
        << c.name;
    for (std::size_t y = 0; y < c.rows.size(); ++y)
      EXPECT_EQ(testkit::row(static_cast<int>(y) + 1), c.rows[y]) << c.name;
    EXPECT_FALSE(counted) << c.name;
  }
}

TEST(IsaScreen, OnlyLowerCaseYShowsTheProgressLine) {
  struct Case {
    ISAKIND kind;
    const char* keys;
    const char* processing;
    const char* progress;  // the last vector drawn, or nothing
    int endRow;            // cursor row after the run: the closing line ends follow
  } cases[] = {
      {ISAKIND::SHAPLEY, "y\r", "...processing", "3. 3 2", 4},
      {ISAKIND::SHAPLEY, "Y\r", "...processing", "", 3},
      {ISAKIND::SHAPLEY, "\r", "...processing", "", 3},
      {ISAKIND::SHAPLEY, "yes\r", "...processing", "3. 3 2", 4},
      {ISAKIND::BANZHAF, "y\r", "...processing", "3. 3 2", 5},
      {ISAKIND::BANZHAF, "n\r", "...processing", "", 4},
      {ISAKIND::PUBLICGOOD, "y\r", "...processing public good", "3.  3 2", 4},
      {ISAKIND::WORKINGPLAN, "y\r", "...processing", "3. 3 2", 4},
  };
  for (const Case& c : cases) {
    testkit::start(c.keys);
    ISAGAME g = makeGame({3, 2}, {{2, 1}, {1, 2}, {3, 0}});
    const ISATOTALS run = ISA_SCREEN_RUN(c.kind, g);
    const std::string id = std::string(c.keys) + " " + c.processing;
    EXPECT_EQ(testkit::row(1), c.processing) << id;
    EXPECT_EQ(testkit::row(2), c.progress) << id;
    EXPECT_EQ(con::whereY(), c.endRow) << id;
    EXPECT_EQ(testkit::keysLeft(), 0u) << id;

    ISATOTALS t = c.kind == ISAKIND::SHAPLEY       ? ISA_SHAPLEY(g)
                  : c.kind == ISAKIND::WORKINGPLAN ? ISA_SHAPLEY_WORKINGPLAN(g)
                  : c.kind == ISAKIND::BANZHAF     ? ISA_BANZHAF(g)
                                                   : ISA_PUBLICGOOD(g);
    EXPECT_EQ(run.WINSETS, t.WINSETS) << id;
    for (int d = 1; d <= 2; ++d) {
      EXPECT_EQ(run.SHAP[d], t.SHAP[d]) << id;
      EXPECT_EQ(run.PIV0[d], t.PIV0[d]) << id;
      // Only the first Shapley engine counts the chambers' presence.
      EXPECT_EQ(run.PIV1[d], c.kind == ISAKIND::SHAPLEY ? t.PIV1[d] : 0.0) << id;
    }
  }
}

}  // namespace
