#include "engines/run/shapley_chambers.h"

SHAPLEYRES SHAPLEY_UNWEIGHTED_ISBA(const ISAGAME& GAME, const ISAXTOTALS& TOTALS) {
  SHAPLEYRES r;
  r.X = ISA_XTOTALS(GAME, TOTALS);
  for (int d = 1; d <= GAME.MM && d <= MAXCHAMB; ++d) {
    r.SS[d][0] = XTODOUBLE(r.X.SHAP[d]);
    r.II[d][0] = XTODOUBLE(r.X.PIV[d]);
    r.II[d][1] = XTODOUBLE(TOTALS.PIV1[d]);
  }
  r.WINS = XTODOUBLE(r.X.WINS);
  return r;
}

SHAPLEYRES SHAPLEY_UNWEIGHTED_ISBA_WORKINGPLAN(const ISAGAME& GAME, const ISAXTOTALS& TOTALS) {
  return SHAPLEY_UNWEIGHTED_ISBA(GAME, TOTALS);
}
