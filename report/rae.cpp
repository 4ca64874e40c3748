#include "report/rae.h"

#include <cmath>

namespace {

// RAE of player P of subgame I (P = 0: one member of an unweighted
// subgame); I = 0, "sum of all", has none.
void xvalues(const RUNTYP& R, const REPORTTYP&, int I, int P, XNUM* V) {
  for (int c = 0; c < REPORTCOLUMNS; ++c) V[c] = XNUM(std::nan(""));
  if (I <= 0) return;
  const XNUM swings = P > 0 ? XSHAPOF(R, I, P) : RATIO(R.X.SHAP[I], XNUM(R.NN[I]));
  V[0] = XNUM(0.5) + swings / XPOW2(R.N);
}

}  // namespace

const REPORTKINDTYP& RAEKIND() {
  static const REPORTKINDTYP kind{
      .INDEX = INDEXTYP::BANZHAF,
      .PIVOTS = false,
      .TEXT = REPORTTABLE<RAEKIND>,
      .BLOCK = REPORTBLOCK<RAEKIND>,
      .COLUMNS = 1,
      .TITLES = {"RAE"},
      .VALUES = REPORTVALUES<xvalues>,
      .XVALUES = xvalues,
      .NAME = "rae",
      .HELP = "Rae's index: the probability that the outcome agrees with the player's vote",
      .RUN = RUNENGINE<BANZHAFRES, BANZHAF>,
      .CHAMBERS = ISAKIND::BANZHAF,
      .ABOUT =
          "RAE, Rae's index: the chance that the outcome agrees with the player's vote, "
          "1/2 + NNBZ/2 (Rae 1969)"};
  return kind;
}
