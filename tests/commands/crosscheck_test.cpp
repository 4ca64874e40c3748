// The weighted Banzhaf and public good engines, called with a game and a
// rule and nothing else (no console, no settings), checked on random games
// against counts made here coalition by coalition.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>

#include "commands/vkxmcomm.h"
#include "engines/vkxindex.h"
#include "engines/vkxshap1.h"

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
    wcore::Game core;
    ASSERT_TRUE(WEIGHTEDCORE(R, R, core));
    ASSERT_EQ(wcore::EMPTYWINS(core), wins(R, 0)) << "game " << game;
    const BANZHAFRES one = BANZHAF(R, R);
    GAMETYP twice = R;
    RULETYP both = R;
    twice.VS = 2;
    twice.GEWX[1] = R.GEW;
    both.GAME = VERSION::MULTIPLE;
    both.MX[1] = R.M;
    const BANZHAFRES two = BANZHAF(twice, both);

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

}  // namespace
