// The numbers the Banzhaf and public good commands derive from the weighted
// engines, checked on random games against counts made here coalition by
// coalition.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>

#include "commands/vkxmbanz.h"
#include "commands/vkxmcomm.h"
#include "engines/vkxpgi1.h"
#include "engines/vkxshap1.h"
#include "testkit.h"

namespace {

RUNTYP randomGame(std::mt19937& rng) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  RUNTYP R;
  R.DATASTRUCTURE = 1;
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

TEST(CrossCheck, BanzhafSwingsFromTheShapleyEngineEqualDirectCounts) {
  std::mt19937 rng(20261207);
  for (int game = 0; game < 150; ++game) {
    RUNTYP R = randomGame(rng);
    if (game % 10 == 0) {  // every tenth game: a win set the empty coalition meets
      for (int s = 1; s <= R.MM; ++s) R.M[s][1] = 0;
      R.T1 = 0;
    }
    // Games whose empty coalition wins (thresholds 0) are kept: the engines
    // never visit that coalition, and the conversion must still count right.
    testkit::start("n\r");
    SHAPLEY_WEIGHTED(R.N, R.MM, R.NN, R.GEW, R.MEM, R.THRES, R.M, static_cast<uint16_t>(R.T1),
                     R.SHAP, R.PIV, R.WINSETS, 0, R.POSITION, R.NTHEME);
    ASSERT_EQ(EMPTYWINS(R), wins(R, 0)) << "game " << game;
    BANZHAFSWINGS(R, EMPTYWINS(R));

    double winsets = 0;
    double swings[51] = {};
    for (uint32_t mask = 1; mask < (1u << R.N); ++mask) {
      if (!wins(R, mask)) continue;
      winsets += 1;
      for (int p = 1; p <= R.N; ++p)
        if (mask & (1u << (p - 1)) && !wins(R, mask & ~(1u << (p - 1)))) swings[p] += 1;
    }
    ASSERT_EQ(R.WINSETS, winsets) << "game " << game;
    for (int p = 1; p <= R.N; ++p)
      ASSERT_NEAR(R.SHAP[R.MEM[p][0]][R.MEM[p][1]], swings[p], 1e-9)
          << "game " << game << " player " << p;
  }
}

TEST(CrossCheck, PublicGoodCountsEqualMinimalWinningCoalitions) {
  std::mt19937 rng(7122026);
  for (int game = 0; game < 150; ++game) {
    RUNTYP R = randomGame(rng);
    testkit::start("n\r");
    PUBLICGOOD_WEIGHTED(R.N, R.MM, R.NN, R.GEW, R.MEM, R.THRES, R.M, static_cast<uint16_t>(R.T1),
                        R.SHAP, R.PIV, R.WINSETS);

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
