#include "engines/vkxpgi1.h"

#include "engines/vkxshap1.h"

PUBLICGOODRES PUBLICGOOD_WEIGHTED(const GAMETYP& GAME, const RULETYP& RULE,
                                  const wcore::Visitor* VISITOR) {
  PUBLICGOODRES r;
  wcore::Game g;
  if (!WEIGHTEDCORE(GAME, RULE, g)) {
    r.STATUS = STATUSTYP::REFUSED;
    return r;
  }
  g.position = nullptr;
  wcore::Counts c;
  wcore::PUBLICGOOD_CORE(g, c, VISITOR);
  for (int p = 1; p <= g.n; ++p) {
    r.MWC[GAME.MEM[p][0]][GAME.MEM[p][1]] = c.shap[p];
    r.SHARE[GAME.MEM[p][0]][GAME.MEM[p][1]] = c.piv[p];
  }
  r.MINWINS = c.wins;
  return r;
}
