// The weighted Banzhaf and public good engines, called with a game and a
// rule and nothing else (no console, no settings), checked on random games
// against counts made here coalition by coalition.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>

#include "commands/banzhaf.h"
#include "commands/publicgood.h"
#include "commands/runs.h"
#include "commands/shapley.h"
#include "data/gamefile.h"
#include "engines/run/compute.h"
#include "engines/run/shapley_weighted.h"
#include "testkit.h"

namespace {

RUNTYP randomGame(std::mt19937& rng) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  RUNTYP R;
  R.DATASTRUCTURE = DATASTRUCT::WEIGHTED;
  R.MM = static_cast<uint16_t>(pick(1, 3));
  int n = 0;
  for (int s = 1; s <= R.MM; ++s) {
    R.NN[s] = pick(s == 1 ? 1 : 0, 4);
    for (int j = 1; j <= R.NN[s]; ++j) {
      ++n;
      R.GEW[s][j] = pick(0, 9);
      R.MEM[n][0] = s;
      R.MEM[n][1] = j;
    }
  }
  R.N = static_cast<uint16_t>(n);
  R.THRES = pick(1, 3);
  for (int t = 1; t <= R.THRES; ++t)
    for (int s = 1; s <= R.MM; ++s) {
      int cum = 0;
      for (int j = 1; j <= R.NN[s]; ++j) cum += R.GEW[s][j];
      R.M[s][t] = pick(0, cum);
    }
  R.T1 = pick(0, n);
  return R;
}

bool wins(const RUNTYP& R, uint32_t mask) {
  if (std::popcount(mask) < R.T1) return false;
  for (int t = 1; t <= R.THRES; ++t) {
    bool all = true;
    for (int s = 1; s <= R.MM; ++s) {
      int64_t sum = 0;
      for (int p = 1; p <= R.N; ++p)
        if (mask & (1u << (p - 1)) && R.MEM[p][0] == s) sum += R.GEW[s][R.MEM[p][1]];
      all = all && sum >= R.M[s][t];
    }
    if (all) return true;
  }
  return false;
}

// The multiple-weights version of a game with its own weights and
// thresholds again as the second vote system.
void twice(GAMETYP& game, RULETYP& rule) {
  rule.GAME = VERSION::MULTIPLE;
  game.VS = 2;
  game.GEWX[1] = game.GEW;
  rule.MX[1] = rule.M;
}

// Both weighted versions: the multiple-weights version with the same
// weights and thresholds again as its second vote system must agree.
TEST(CrossCheck, BanzhafSwingsOfBothWeightedVersionsEqualDirectCounts) {
  std::mt19937 rng(20261207);
  for (int game = 0; game < 150; ++game) {
    RUNTYP R = randomGame(rng);
    if (game % 10 == 0) {  // every tenth game: a win set the empty coalition meets
      for (int s = 1; s <= R.MM; ++s) R.M[s][1] = 0;
      R.T1 = 0;
    }
    // Games whose empty coalition wins (thresholds 0) are kept: the walks
    // never visit that coalition, and the swings must still count right.
    weightedwalk::Game core;
    ASSERT_TRUE(WEIGHTEDCORE(R, R, core));
    ASSERT_EQ(weightedwalk::EMPTYWINS(core), wins(R, 0)) << "game " << game;
    const BANZHAFRES one = BANZHAF(R, R);
    RUNTYP both = R;
    twice(both, both);
    const BANZHAFRES two = BANZHAF(both, both);

    double winsets = 0;
    double swings[51] = {};
    for (uint32_t mask = 1; mask < (1u << R.N); ++mask) {
      if (!wins(R, mask)) continue;
      winsets += 1;
      for (int p = 1; p <= R.N; ++p)
        if (mask & (1u << (p - 1)) && !wins(R, mask & ~(1u << (p - 1)))) swings[p] += 1;
    }
    ASSERT_EQ(one.WINS, winsets) << "game " << game;
    ASSERT_EQ(two.WINS, winsets) << "game " << game;
    for (int p = 1; p <= R.N; ++p) {
      ASSERT_EQ(one.SWINGS[R.MEM[p][0]][R.MEM[p][1]], swings[p])
          << "game " << game << " player " << p;
      ASSERT_EQ(two.SWINGS[R.MEM[p][0]][R.MEM[p][1]], swings[p])
          << "game " << game << " player " << p;
    }
  }
}

TEST(CrossCheck, PublicGoodCountsEqualMinimalWinningCoalitions) {
  std::mt19937 rng(7122026);
  for (int game = 0; game < 150; ++game) {
    RUNTYP R = randomGame(rng);
    TAKE(R, PUBLICGOOD(R, R));

    double minimal = 0;
    double in[51] = {}, reciprocal[51] = {};
    for (uint32_t mask = 1; mask < (1u << R.N); ++mask) {
      if (!wins(R, mask)) continue;
      bool isMinimal = true;
      for (int p = 1; p <= R.N; ++p)
        if (mask & (1u << (p - 1)) && wins(R, mask & ~(1u << (p - 1)))) isMinimal = false;
      if (!isMinimal) continue;
      minimal += 1;
      for (int p = 1; p <= R.N; ++p)
        if (mask & (1u << (p - 1))) {
          in[p] += 1;
          reciprocal[p] += 1.0 / std::popcount(mask);
        }
    }
    ASSERT_EQ(R.WINSETS, minimal) << "game " << game;
    for (int p = 1; p <= R.N; ++p) {
      ASSERT_EQ(R.SHAP[R.MEM[p][0]][R.MEM[p][1]], in[p]) << "game " << game << " player " << p;
      ASSERT_NEAR(R.PIV[R.MEM[p][0]][R.MEM[p][1]], reciprocal[p], 1e-9)
          << "game " << game << " player " << p;
    }
  }
}

// A game loaded from a file and a rule built here, computed and reported
// without the console or the settings, give the very text the dialogue
// writes to the ".out" file (the example game: weights 5, 3, 2 and 1, 1;
// win sets [6, 1] and [8, 0]; at least 2 members).
TEST(CrossCheck, ReportsWithoutTheDialogueEqualTheDialogueReports) {
  const std::string winsets = "2\r6\r1\r8\r0\r";
  struct Case {
    const char* label;
    void (*command)(SETTINGSTYP&);
    std::string keys;  // after the data file name
    const REPORTKINDTYP& kind;
    bool multiple;
  } cases[] = {
      {"shapley", MENUE_SHAPLEY, "1\r" + winsets + "2\rn\r", SHAPLEYKIND(), false},
      {"banzhaf", MENUE_BANZHAF, "1\r" + winsets + "1\r0\r2\rn\r", BANZHAFKIND(), false},
      {"banzhaf, multiple weights", MENUE_BANZHAF,
       "2\r" + winsets + "1\r0\r2\r2\rex\r" + winsets + "n\r", BANZHAFKIND(), true},
      {"public good", MENUE_PUBLICGOOD, "1\r" + winsets + "2\rn\r", PUBLICGOODKIND(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    testkit::TempDir dir;
    testkit::writeFile("ex.inp", testkit::EXAMPLE_DATA_FILE);
    testkit::runUntilWait(c.command, "ex\r" + c.keys + "12345");
    const std::string file = testkit::readFile("ex.out");

    GAMETYP game;
    ASSERT_EQ(GAMELOAD("ex", game), 0);
    RULETYP rule;
    rule.THRES = 2;
    const int32_t m[3][3] = {{}, {0, 6, 8}, {0, 1, 0}}, top[3] = {0, 10, 2};  // [subgame][set]
    for (int t = 1; t <= 2; ++t)
      for (int s = 1; s <= 2; ++s) {
        rule.M[s][t] = rule.G[t][s][1] = m[s][t];
        rule.G[t][s][2] = top[s];
      }
    rule.T1 = 2;
    if (c.multiple) twice(game, rule);
    STATUSTYP status;  // stamped by the test clock the dialogue ran on
    const std::string text =
        REPORTSTRING(RUNKIND(c.kind, game, rule, {}, status), c.kind.PIVOTS, c.kind.TEXT);
    ASSERT_NE(file.find("primary data file: ex"), std::string::npos) << file;
    EXPECT_EQ(file.substr(file.find("primary data file: ex")), text);
  }
}

}  // namespace
