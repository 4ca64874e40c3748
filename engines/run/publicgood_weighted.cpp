#include "engines/run/publicgood_weighted.h"

PUBLICGOODRES PUBLICGOOD_WEIGHTED(const GAMETYP& GAME, const weightedwalk::Game& CORE,
                                  const weightedwalk::MinimalCounts& COUNTS) {
  PUBLICGOODRES r;
  for (int p = 1; p <= CORE.n; ++p) {
    r.MWC[GAME.MEM[p][0]][GAME.MEM[p][1]] = COUNTS.with[p];
    r.SHARE[GAME.MEM[p][0]][GAME.MEM[p][1]] = COUNTS.share[p];
  }
  r.MINWINS = COUNTS.minimal;
  return r;
}
