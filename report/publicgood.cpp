#include "report/publicgood.h"

#include "common/numbers.h"
#include "report/report.h"

namespace {

// PGI, MBP and DPI of one row: the player's (or one representative
// player's) minimal winning coalitions over all counted memberships, over
// their number W, and its reciprocal-size sum over W. In extended range:
// the counts of a chamber of thousands exceed a double.
struct PGIROW {
  XNUM pgi, mbp, dpi;
};

PGIROW pgiRow(const XNUM& shap, const XNUM& piv, const XNUM& SUM, const XNUM& W) {
  return {RATIO(shap, SUM), RATIO(shap, W), RATIO(piv, W)};
}

std::string fixed3(const PGIROW& v) {
  return XFIXSTR(v.pgi, 10, 6) + XFIXSTR(v.mbp, 10, 6) + XFIXSTR(v.dpi, 10, 6);
}

void extended(REPORTTYP& REP, const PGIROW& v) {
  const XNUM values[3] = {v.pgi, v.mbp, v.dpi};
  REPORTEXTENDED(REP, values, 3);
}

// The row of player P of subgame I (P = 0: one member of an unweighted
// subgame; I = 0: "sum of all").
PGIROW rowOf(const RUNTYP& R, const REPORTTYP& REP, int I, int P) {
  const XNUM& W = R.X.WINS;
  if (I > 0 && P > 0) return pgiRow(XSHAPOF(R, I, P), XPIVOF(R, I, P), REP.SUM, W);
  if (I > 0) {
    const XNUM nn(R.NN[I]);
    return pgiRow(RATIO(R.X.SHAP[I], nn), RATIO(R.X.PIV[I], nn), REP.SUM, W);
  }
  return pgiRow(REP.SUM, REP.PIVOT, REP.SUM, W);
}

void xvalues(const RUNTYP& R, const REPORTTYP& REP, int I, int P, XNUM* V) {
  const PGIROW v = rowOf(R, REP, I, P);
  V[0] = v.pgi;
  V[1] = v.mbp;
  V[2] = v.dpi;
}

}  // namespace

void PUBLICGOODOUT1(RUNTYP& R, REPORTTYP& REP) {
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  REPORTHEAD(R, REP, "subgame  player  weight       PGI       MBP       DPI");
  for (int i = 1; i <= R.MM; ++i) {
    const PGIROW one = rowOf(R, REP, i, 0);
    const bool tiny = XTODOUBLE(one.pgi) < 0.0001 || XTODOUBLE(one.mbp) < 0.0001;
    if (weighted) {
      for (int p = 1; p <= R.NN[i]; ++p) {
        REPORTLINE(REP, REPORTPLAYER(R, i, p) + fixed3(rowOf(R, REP, i, p)));
        REPORTWAIT(REP);
      }
    } else {
      REPORTLINE(REP, REPORTPLAYER(R, i, 0) + fixed3(one));
      if (tiny) extended(REP, one);
      REPORTWAIT(REP);
    }
    const PGIROW total = pgiRow(R.X.SHAP[i], R.X.PIV[i], REP.SUM, R.X.WINS);
    REPORTLINE(REP, "sum of subgame " + INTSTR(i, 2) + ":     " + fixed3(total));
    if (tiny) extended(REP, total);
  }
  const PGIROW all = rowOf(R, REP, 0, 0);
  REPORTLINE(REP, "sum of all:            " + fixed3(all));
  const XNUM n(R.N);
  REPORTLINE(REP, "mean:                  " + fixed3({all.pgi / n, all.mbp / n, all.dpi / n}));
  REPORTLINE(REP, " ");
  REPORTLINE(REP, "minimal winning coalitions: " + XFIXSTR(R.X.WINS, 15, 0));
  REPORTEND(R, REP, true);
}

void PUBLICGOODOUT2(RUNTYP& R, REPORTTYP& REP) {
  const int p = REP.PREC;
  auto line = [&](const PGIROW& v) {
    REPORTLINE(REP, XFIXSTR(v.pgi, p + 2, p) + XFIXSTR(v.mbp, p + 3, p) + XFIXSTR(v.dpi, p + 3, p));
  };
  for (int i = 1; i <= R.MM; ++i) {
    if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED) {
      for (int j = 1; j <= R.NN[i]; ++j) line(rowOf(R, REP, i, j));
    } else {
      line(rowOf(R, REP, i, 0));
    }
    line(pgiRow(R.X.SHAP[i], R.X.PIV[i], REP.SUM, R.X.WINS));
  }
  line(rowOf(R, REP, 0, 0));
  REPORTLINE(REP, "");
}

const REPORTKINDTYP& PUBLICGOODKIND() {
  static const REPORTKINDTYP kind{
      .INDEX = INDEXTYP::PUBLICGOOD,
      .PIVOTS = true,
      .TEXT = PUBLICGOODOUT1,
      .BLOCK = PUBLICGOODOUT2,
      .COLUMNS = 3,
      .TITLES = {"PGI", "MBP", "DPI"},
      .VALUES = REPORTVALUES<xvalues>,
      .XVALUES = xvalues,
      .NAME = "publicgood",
      .HELP = "public good index, MBP and Deegan-Packel index",
      .RUN = RUNENGINE<PUBLICGOODRES, PUBLICGOOD>,
      .CHAMBERS = ISAKIND::PUBLICGOOD,
      .MINIMAL = true,
      .SAMPLED = {2,
                  {"PGI", "DPI", "PGI_error", "DPI_error"},
                  "       PGI       DPI   PGI err   DPI err",
                  "coalitions sampled by size"},
      .ABOUT =
          "PGI, the Holler index (public good index): the player's share of the memberships of "
          "minimal winning coalitions; DPI, the Deegan-Packel index: each minimal winning "
          "coalition shared equally by its members (Holler 1982, Deegan and Packel 1978)"};
  return kind;
}
