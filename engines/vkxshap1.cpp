#include "engines/vkxshap1.h"

#include <algorithm>

#include "common/mathe2.h"

bool WEIGHTEDCORE(const GAMETYP& GAME, const RULETYP& RULE, wcore::Game& CORE) {
  const int n = GAME.N, mm = GAME.MM;
  if (n < 1 || n > MAXACTOR || mm < 1 || mm > MAXCHAMB) return false;
  if (RULE.THRES > wcore::MAXWINSET) return false;
  for (int s = 1; s <= mm; ++s)
    if (GAME.NN[s] < 0 || GAME.NN[s] > MAXACTOR) return false;
  const bool multiple = RULE.GAME == VERSION::MULTIPLE;
  const bool spatial = RULE.GAME == VERSION::SPATIAL;
  if (spatial && GAME.NTHEME > MAXCHAMB) return false;

  CORE = wcore::Game{};
  CORE.n = n;
  CORE.mm = mm;
  CORE.thres = RULE.THRES < 0 ? 0 : RULE.THRES;
  CORE.vs = multiple ? std::clamp<int32_t>(GAME.VS, 1, wcore::MAXSYS) : 1;
  for (int p = 1; p <= n; ++p) {
    const int s = GAME.MEM[p][0], j = GAME.MEM[p][1];
    if (s < 1 || s > mm || j < 1 || j > GAME.NN[s]) return false;
    CORE.sub[p] = s;
    CORE.w[0][p] = GAME.GEW[s][j];
    for (int k = 1; k < CORE.vs; ++k) CORE.w[k][p] = GAME.GEWX[k][s][j];
  }
  for (int t = 1; t <= CORE.thres; ++t)
    for (int s = 1; s <= mm; ++s) {
      CORE.m[0][t][s] = RULE.M[s][t];
      for (int k = 1; k < CORE.vs; ++k) CORE.m[k][t][s] = RULE.MX[k][s][t];
    }
  CORE.overall = static_cast<int>(RULE.OVERALL);
  CORE.overt = static_cast<int>(RULE.OVERT);
  CORE.t1 = static_cast<uint16_t>(RULE.T1);
  CORE.block = multiple && RULE.BLOCK && CORE.vs > 1;
  CORE.blockThres = RULE.BLOCKTHRES;
  if (spatial) {
    CORE.position = &GAME.POSITION;
    CORE.ntheme = GAME.NTHEME;
    CORE.distmax = DIST_MAX(GAME.POSITION, GAME.N, GAME.NTHEME);
  }
  return true;
}

SHAPLEYRES SHAPLEY_WEIGHTED(const GAMETYP& GAME, const wcore::Game& CORE,
                            const wcore::Counts& COUNTS) {
  const wcore::Game& g = CORE;
  const wcore::Counts& c = COUNTS;
  SHAPLEYRES r;
  for (int p = 1; p <= g.n; ++p) {
    r.SS[GAME.MEM[p][0]][GAME.MEM[p][1]] = c.shap[p];
    r.II[GAME.MEM[p][0]][GAME.MEM[p][1]] = c.piv[p];
  }
  for (int s = 1; s <= g.mm; ++s) r.II[s][0] = c.sub[s];
  r.WINS = c.wins;
  if (r.WINS == 0) return r;
  // Inclusiveness as shares of the winning coalitions; in the spatial
  // version, shares of similarity, where a zero similarity sum leaves its
  // entries as they are rather than dividing by it.
  const bool spatial = g.position != nullptr;
  const double all = c.dist0 + c.dist1;
  for (int s = 1; s <= g.mm; ++s)
    for (int j = 0; j <= GAME.NN[s]; ++j) {
      if (!spatial) {
        r.II[s][j] /= r.WINS;
        continue;
      }
      if (c.dist1 != 0) r.II[s][j] /= c.dist1;
      if (all != 0) r.SS[s][j] /= all;
    }
  return r;
}

int64_t BANZHAFSWINGS(int64_t WITH, int64_t WINS, bool EMPTYWINS) {
  return 2 * WITH - WINS - (EMPTYWINS ? 1 : 0);
}

BANZHAFRES BANZHAF_WEIGHTED(const GAMETYP& GAME, const wcore::Game& CORE,
                            const wcore::Counts& COUNTS) {
  const wcore::Game& g = CORE;
  const wcore::Counts& c = COUNTS;
  BANZHAFRES r;
  // At most 2^50 coalitions: every count is a whole number a double holds
  // exactly, so the swings are exact and a game without any is 0.
  const bool empty = wcore::EMPTYWINS(g);
  const auto wins = static_cast<int64_t>(c.wins);
  for (int p = 1; p <= g.n; ++p)
    r.SWINGS[GAME.MEM[p][0]][GAME.MEM[p][1]] =
        static_cast<double>(BANZHAFSWINGS(static_cast<int64_t>(c.piv[p]), wins, empty));
  r.WINS = c.wins;
  return r;
}
