#include "engines/vkxpgi1.h"

PUBLICGOODRES PUBLICGOOD_WEIGHTED(const GAMETYP& GAME, const wcore::Game& CORE,
                                  const wcore::Counts& COUNTS) {
  PUBLICGOODRES r;
  for (int p = 1; p <= CORE.n; ++p) {
    r.MWC[GAME.MEM[p][0]][GAME.MEM[p][1]] = COUNTS.shap[p];
    r.SHARE[GAME.MEM[p][0]][GAME.MEM[p][1]] = COUNTS.piv[p];
  }
  r.MINWINS = COUNTS.wins;
  return r;
}
