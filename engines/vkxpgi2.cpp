#include "engines/vkxpgi2.h"

PUBLICGOODRES PUBLICGOOD_UNWEIGHTED_ISBA(const ISAGAME& GAME, const ISAXTOTALS& TOTALS) {
  PUBLICGOODRES r;
  for (int d = 1; d <= GAME.MM && d <= MAXCHAMB; ++d) {
    r.MWC[d][0] = XTODOUBLE(TOTALS.SHAP[d]);
    r.SHARE[d][0] = XTODOUBLE(TOTALS.PIV0[d]);
    r.X.SHAP[d] = TOTALS.SHAP[d];
    r.X.PIV[d] = TOTALS.PIV0[d];
  }
  r.MINWINS = XTODOUBLE(TOTALS.WINSETS);
  r.X.WINS = TOTALS.WINSETS;
  r.X.EXTENDED = true;
  return r;
}
