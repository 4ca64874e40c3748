#include "engines/run/publicgood_chambers.h"

PUBLICGOODRES PUBLICGOOD_UNWEIGHTED_ISBA(const ISAGAME& GAME, const ISAXTOTALS& TOTALS) {
  PUBLICGOODRES r;
  r.X = ISA_XTOTALS(GAME, TOTALS);
  for (int d = 1; d <= GAME.MM && d <= MAXCHAMB; ++d) {
    r.MWC[d][0] = XTODOUBLE(r.X.SHAP[d]);
    r.SHARE[d][0] = XTODOUBLE(r.X.PIV[d]);
  }
  r.MINWINS = XTODOUBLE(r.X.WINS);
  return r;
}
