#include "engines/run/banzhaf_chambers.h"

BANZHAFRES BANZHAF_UNWEIGHTED_ISBA(const ISAGAME& GAME, const ISAXTOTALS& TOTALS) {
  BANZHAFRES r;
  r.X = ISA_XTOTALS(GAME, TOTALS);
  for (int d = 1; d <= GAME.MM && d <= MAXCHAMB; ++d) r.SWINGS[d][0] = XTODOUBLE(r.X.SHAP[d]);
  r.WINS = XTODOUBLE(r.X.WINS);
  return r;
}
