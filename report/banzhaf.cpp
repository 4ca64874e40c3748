#include "report/banzhaf.h"

#include <cmath>

#include "common/numbers.h"
#include "report/report.h"

namespace {

// The divisors of the Banzhaf values, 2^(N-1) and the sum of all swings,
// in extended range: both exceed a double in a chamber of thousands.
XNUM potOf(const RUNTYP& R) { return XPOW2(static_cast<uint16_t>(R.N - 1)); }

// BANZHAFVALUES in extended range.
void xvalues(const RUNTYP& R, const REPORTTYP& REP, int I, int P, XNUM* V) {
  // Swings of the player, of one member of an unweighted subgame, or of all.
  XNUM swings = REP.SUM;
  if (I > 0) swings = P > 0 ? XSHAPOF(R, I, P) : RATIO(R.X.SHAP[I], XNUM(R.NN[I]));
  V[0] = RATIO(swings, potOf(R));
  V[1] = RATIO(swings, REP.SUM);
  V[2] = XNUM(std::nan(""));
}

}  // namespace

void BANZHAFOUT1(RUNTYP& R, REPORTTYP& REP) {
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  const XNUM D = potOf(R);
  const XNUM SUM = REP.SUM;
  REPORTHEAD(R, REP, "subgame  player  weight      NNBZ       NBZ");
  XNUM v[3];
  auto fixed2 = [](const XNUM& a, const XNUM& b) { return XFIXSTR(a, 10, 6) + XFIXSTR(b, 10, 6); };
  auto row = [&](int i, int p) {
    xvalues(R, REP, i, p, v);
    REPORTLINE(REP, REPORTPLAYER(R, i, p) + fixed2(v[0], v[1]));
  };
  for (int i = 1; i <= R.MM; ++i) {
    const XNUM share = RATIO(R.X.SHAP[i], XNUM(R.NN[i]));
    const bool tiny = XTODOUBLE(RATIO(share, D)) < 0.0001 || XTODOUBLE(RATIO(share, SUM)) < 0.0001;
    if (weighted) {
      for (int p = 1; p <= R.NN[i]; ++p) {
        row(i, p);
        REPORTWAIT(REP);
      }
    } else {
      row(i, 0);
      if (tiny) REPORTEXTENDED(REP, v, 2);
      REPORTWAIT(REP);
    }
    if (R.GAME == VERSION::STANDARD || R.GAME == VERSION::ISA || R.GAME == VERSION::ISAWP) {
      REPORTLINE(REP, "sum of subgame " + INTSTR(i, 2) + ":     " +
                          fixed2(RATIO(R.X.SHAP[i], D), RATIO(R.X.SHAP[i], SUM)));
      if (tiny) {
        // Here the normalised value comes first.
        const XNUM values[2] = {RATIO(R.X.SHAP[i], SUM), RATIO(R.X.SHAP[i], D)};
        REPORTEXTENDED(REP, values, 2);
      }
    }
  }
  xvalues(R, REP, 0, 0, v);
  REPORTLINE(REP, "sum of all:            " + fixed2(v[0], v[1]));
  const XNUM n(R.N);
  REPORTLINE(REP, "mean:                  " + fixed2(v[0] / n, v[1] / n));
  REPORTWINS(R, REP);
  REPORTEND(R, REP, true);
}

void BANZHAFOUT2(RUNTYP& R, REPORTTYP& REP) {
  const int p = REP.PREC;
  const XNUM D = potOf(R);
  const XNUM SUM = REP.SUM;
  auto line = [&](const XNUM& swings) {
    REPORTLINE(REP, XFIXSTR(RATIO(swings, SUM), p + 2, p) + XFIXSTR(RATIO(swings, D), p + 3, p));
  };
  for (int i = 1; i <= R.MM; ++i) {
    if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED) {
      for (int j = 1; j <= R.NN[i]; ++j) line(XSHAPOF(R, i, j));
    } else {
      line(RATIO(R.X.SHAP[i], XNUM(R.NN[i])));
    }
    line(R.X.SHAP[i]);
  }
  line(SUM);
  REPORTLINE(REP, "");
}

const REPORTKINDTYP& BANZHAFKIND() {
  static const REPORTKINDTYP kind{
      .INDEX = INDEXTYP::BANZHAF,
      .PIVOTS = false,
      .TEXT = BANZHAFOUT1,
      .BLOCK = BANZHAFOUT2,
      .COLUMNS = 2,
      .TITLES = {"NNBZ", "NBZ"},
      .VALUES = REPORTVALUES<xvalues>,
      .XVALUES = xvalues,
      .NAME = "banzhaf",
      .HELP = "Banzhaf index, not normalised and normalised",
      .RUN = RUNENGINE<BANZHAFRES, BANZHAF>,
      .CHAMBERS = ISAKIND::BANZHAF,
      .SAMPLED = {2,
                  {"NNBZ", "NBZ", "NNBZ_error", "NBZ_error"},
                  "      NNBZ       NBZ  NNBZ err   NBZ err",
                  "random coalitions"},
      .ABOUT =
          "NNBZ, the Penrose measure (absolute Banzhaf index): the share of the coalitions of the "
          "others that the player turns from losing to winning; NBZ, the Banzhaf index: the same "
          "normalised to sum 1 (Penrose 1946, Banzhaf 1965)"};
  return kind;
}
