#include "engines/vkxshap2.h"

namespace {

SHAPLEYRES shapleyOf(const ISAGAME& g, const ISATOTALS& t) {
  SHAPLEYRES r;
  for (int d = 1; d <= g.MM && d <= MAXCHAMB; ++d) {
    r.SS[d][0] = t.SHAP[d];
    r.II[d][0] = t.PIV0[d];
    r.II[d][1] = t.PIV1[d];
  }
  r.WINS = t.WINSETS;
  return r;
}

}  // namespace

SHAPLEYRES SHAPLEY_UNWEIGHTED_ISBA(const GAMETYP& GAME, const RULETYP& RULE, ISAPROGRESS PROGRESS,
                                   void* DATA) {
  const ISAGAME g = ISA_GAME(GAME, RULE);
  return shapleyOf(g, ISA_SHAPLEY(g, PROGRESS, DATA));
}

SHAPLEYRES SHAPLEY_UNWEIGHTED_ISBA_WORKINGPLAN(const GAMETYP& GAME, const RULETYP& RULE,
                                               ISAPROGRESS PROGRESS, void* DATA) {
  const ISAGAME g = ISA_GAME(GAME, RULE);
  return shapleyOf(g, ISA_SHAPLEY_WORKINGPLAN(g, PROGRESS, DATA));
}
