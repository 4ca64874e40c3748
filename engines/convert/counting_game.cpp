#include "engines/convert/counting_game.h"

#include <algorithm>

#include "common/similarity.h"

bool WEIGHTEDCORE(const GAMETYP& GAME, const RULETYP& RULE, weightedwalk::Game& CORE) {
  const int n = GAME.N, mm = GAME.MM;
  const bool multiple = RULE.GAME == VERSION::MULTIPLE;
  const bool spatial = RULE.GAME == VERSION::SPATIAL;
  // The player rows as they have grown, the positions' as well.
  auto holds = [&](const auto& row, int count) {
    return count >= 0 && static_cast<std::size_t>(count) < row.size() &&
           (!spatial || static_cast<std::size_t>(n) < GAME.POSITION[1].size());
  };
  if (n < 1 || !holds(GAME.MEM, n) || mm < 1 || mm > MAXCHAMB) return false;
  if (RULE.THRES > weightedwalk::MAXWINSET) return false;
  for (int s = 1; s <= mm; ++s) {
    if (!holds(GAME.GEW[s], GAME.NN[s])) return false;
    for (int k = 1; multiple && k < GAME.VS && k < MAXSYSTEMS; ++k)
      if (!holds(GAME.GEWX[k][s], GAME.NN[s])) return false;
  }
  if (spatial && GAME.NTHEME > MAXCHAMB) return false;

  CORE = weightedwalk::Game(n, mm);
  CORE.n = n;
  CORE.mm = mm;
  CORE.thres = RULE.THRES < 0 ? 0 : RULE.THRES;
  CORE.vs = multiple ? std::clamp<int32_t>(GAME.VS, 1, weightedwalk::MAXSYS) : 1;
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
