#include "engines/vkxbanz2.h"

BANZHAFRES BANZHAF_UNWEIGHTED_ISBA(const ISAGAME& GAME, const ISAXTOTALS& TOTALS) {
  BANZHAFRES r;
  for (int d = 1; d <= GAME.MM && d <= MAXCHAMB; ++d) {
    r.SWINGS[d][0] = XTODOUBLE(TOTALS.SHAP[d]);
    r.X.SHAP[d] = TOTALS.SHAP[d];
  }
  r.WINS = XTODOUBLE(TOTALS.WINSETS);
  r.X.WINS = TOTALS.WINSETS;
  r.X.EXTENDED = true;
  return r;
}
