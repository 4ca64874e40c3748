#include "report/coleman.h"

#include <cmath>

#include "common/numbers.h"
#include "report/banzhaf.h"
#include "report/report.h"

void COLEMANVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V) {
  (void)REP;
  const double nan = std::nan("");
  V[0] = V[1] = V[2] = nan;
  if (I <= 0 || P <= 0) return;
  // In extended range: 2^N and the counts exceed a double beyond some
  // 1000 players.
  const XNUM swings = XSHAPOF(R, I, P);
  const XNUM wins = R.X.EXTENDED ? R.X.WINS : XNUM(R.WINSETS);
  V[0] = XTODOUBLE(RATIO(swings, wins));
  V[1] = XTODOUBLE(RATIO(swings, XPOW2(static_cast<uint16_t>(R.N)) - wins));
}

const REPORTKINDTYP& COLEMANKIND() {
  static const REPORTKINDTYP kind{
      .INDEX = INDEXTYP::BANZHAF,
      .PIVOTS = false,
      .TEXT = BANZHAFOUT1,
      .BLOCK = BANZHAFOUT2,
      .COLUMNS = 2,
      .TITLES = {"PREVENT", "INITIATE"},
      .VALUES = COLEMANVALUES,
      .NAME = "coleman",
      .HELP = "Coleman's power to prevent and to initiate action (weighted, standard)",
      .RUN = RUNENGINE<BANZHAFRES, BANZHAF>,
      .CHAMBERS = ISAKIND::BANZHAF,
      .FITS = COLEMANFITS,
      .UNFIT = "...coleman: weighted data of the standard version only",
      .ABOUT =
          "PREVENT and INITIATE, Coleman's powers to prevent and to initiate action: the player's "
          "swings over the winning, resp. the losing coalitions (Coleman 1971)"};
  return kind;
}

bool COLEMANFITS(const RUNTYP& R) {
  return R.DATASTRUCTURE == DATASTRUCT::WEIGHTED && R.GAME == VERSION::STANDARD;
}
