#include "engines/vkxbanz2.h"

BANZHAFRES BANZHAF_UNWEIGHTED_ISBA(const GAMETYP& GAME, const RULETYP& RULE, ISAPROGRESS PROGRESS,
                                   void* DATA) {
  const ISAGAME g = ISA_GAME(GAME, RULE);
  const ISATOTALS t = ISA_BANZHAF(g, PROGRESS, DATA);
  BANZHAFRES r;
  for (int d = 1; d <= g.MM && d <= MAXCHAMB; ++d) r.SWINGS[d][0] = t.SHAP[d];
  r.WINS = t.WINSETS;
  return r;
}
