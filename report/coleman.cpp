#include "report/coleman.h"

#include <cmath>

#include "report/banzhaf.h"

void COLEMANVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V) {
  (void)REP;
  const double nan = std::nan("");
  V[0] = V[1] = V[2] = nan;
  if (I <= 0 || P <= 0) return;
  const double swings = R.SHAP[I][P];
  const double wins = R.WINSETS;
  V[0] = RATIO(swings, wins);
  V[1] = RATIO(swings, std::ldexp(1.0, R.N) - wins);
}

const REPORTKINDTYP& COLEMANKIND() {
  static const REPORTKINDTYP kind{
      .INDEX = INDEXTYP::BANZHAF,
      .PIVOTS = false,
      .TEXT = BANZHAFOUT1,
      .BLOCK = BANZHAFOUT2,
      .COLUMNS = 2,
      .TITLES = {"PREVENT", "INITIATE", ""},
      .VALUES = COLEMANVALUES,
      .NAME = "coleman",
      .HELP = "Coleman's power to prevent and to initiate action (weighted, standard)",
      .RUN = RUNENGINE<BANZHAFRES, BANZHAF>,
      .CHAMBERS = ISAKIND::BANZHAF,
      .FITS = COLEMANFITS,
      .UNFIT = "...coleman: weighted data of the standard version only"};
  return kind;
}

bool COLEMANFITS(const RUNTYP& R) {
  return R.DATASTRUCTURE == DATASTRUCT::WEIGHTED && R.GAME == VERSION::STANDARD;
}
