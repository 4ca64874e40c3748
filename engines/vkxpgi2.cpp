#include "engines/vkxpgi2.h"

PUBLICGOODRES PUBLICGOOD_UNWEIGHTED_ISBA(const GAMETYP& GAME, const RULETYP& RULE,
                                         ISAPROGRESS PROGRESS, void* DATA) {
  const ISAGAME g = ISA_GAME(GAME, RULE);
  const ISATOTALS t = ISA_PUBLICGOOD(g, PROGRESS, DATA);
  PUBLICGOODRES r;
  for (int d = 1; d <= g.MM && d <= MAXCHAMB; ++d) {
    r.MWC[d][0] = t.SHAP[d];
    r.SHARE[d][0] = t.PIV0[d];
  }
  r.MINWINS = t.WINSETS;
  return r;
}
