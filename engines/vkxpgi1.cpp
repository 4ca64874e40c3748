#include "engines/vkxpgi1.h"

#include "engines/vkxshap1.h"

PUBLICGOODRES PUBLICGOOD_WEIGHTED(const GAMETYP& GAME, const RULETYP& RULE,
                                  const wcore::Visitor* VISITOR) {
  wcore::Game g;
  wcore::Counts c;
  if (!WEIGHTEDWALK(GAME, RULE, INDEXTYP::PUBLICGOOD, VISITOR, g, c))
    return NOTDONE<PUBLICGOODRES>(STATUSTYP::REFUSED);
  PUBLICGOODRES r;
  for (int p = 1; p <= g.n; ++p) {
    r.MWC[GAME.MEM[p][0]][GAME.MEM[p][1]] = c.shap[p];
    r.SHARE[GAME.MEM[p][0]][GAME.MEM[p][1]] = c.piv[p];
  }
  r.MINWINS = c.wins;
  return r;
}
