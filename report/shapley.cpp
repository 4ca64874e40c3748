#include "report/shapley.h"

#include <cmath>

#include "common/numbers.h"
#include "report/report.h"

namespace {

// SHAPLEYVALUES in extended range: the coalitions with a member of a large
// chamber exceed a double, and its members' values may fall below one.
void xvalues(const RUNTYP& R, const REPORTTYP& REP, int I, int P, XNUM* V) {
  if (I == 0) {
    V[0] = REP.SUM;
    V[1] = V[2] = XNUM(std::nan(""));
    return;
  }
  // An unweighted subgame's row shows one member's share of its totals.
  const XNUM nn(R.NN[I]);
  const XNUM ss = P > 0 ? XSHAPOF(R, I, P) : RATIO(R.X.SHAP[I], nn);
  const XNUM ii = P > 0 ? XPIVOF(R, I, P) : RATIO(R.X.PIV[I], nn);
  V[0] = ss;
  V[1] = ii;
  V[2] = ii * R.X.WINS;
  // A weighted player's winning coalitions are a whole number (the share
  // times the count only carries the rounding of the division); spatial
  // shares are weighted by similarity and stay as they are. Beyond a
  // double's range the count has no digits after the point to round.
  const double whole = XTODOUBLE(V[2]);
  if (P > 0 && R.GAME != VERSION::SPATIAL && std::isfinite(whole))
    V[2] = XNUM(std::nearbyint(whole));
}

}  // namespace

void SHAPLEYOUT1(RUNTYP& R, REPORTTYP& REP) {
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  REPORTHEAD(R, REP, "subgame  player  weight        SS        II                   winsets");
  XNUM v[3];
  auto row = [&](int i, int p) {
    xvalues(R, REP, i, p, v);
    REPORTLINE(REP, REPORTPLAYER(R, i, p) + XFIXSTR(v[0], 10, 6) + XFIXSTR(v[1], 10, 6) +
                        XSCISTR(v[2], 26));
  };
  for (int i = 1; i <= R.MM; ++i) {
    if (weighted) {
      for (int p = 1; p <= R.NN[i]; ++p) {
        row(i, p);
        REPORTWAIT(REP);
      }
    } else {
      row(i, 0);
      if (XTODOUBLE(v[0]) < 0.0001) REPORTEXTENDED(REP, v, 1);
      REPORTWAIT(REP);
    }
    if (!weighted || R.GAME == VERSION::STANDARD) {
      REPORTLINE(REP, "subgame        " + INTSTR(i, 2) + ":     " + XFIXSTR(R.X.SHAP[i], 10, 6));
      if (XTODOUBLE(RATIO(R.X.SHAP[i], XNUM(R.NN[i]))) < 0.0001)
        REPORTEXTENDED(REP, &R.X.SHAP[i], 1);
    }
  }
  REPORTLINE(REP, "sum of all:            " + XFIXSTR(REP.SUM, 10, 6) + std::string(10, ' '));
  REPORTWINS(R, REP);
  REPORTEND(R, REP);
}

void SHAPLEYOUT2(RUNTYP& R, REPORTTYP& REP) {
  const int p = REP.PREC;
  for (int i = 1; i <= R.MM; ++i) {
    if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED) {
      for (int j = 1; j <= R.NN[i]; ++j)
        REPORTLINE(REP, FIXSTR(R.SHAP[i][j], p + 2, p) + FIXSTR(R.PIV[i][j], p + 3, p));
    } else {
      REPORTLINE(REP, FIXSTR(RATIO(R.SHAP[i][0], R.NN[i]), p + 2, p) +
                          FIXSTR(RATIO(R.PIV[i][0], R.NN[i]), p + 3, p));
    }
    REPORTLINE(REP, FIXSTR(R.SHAP[i][0], p + 2, p));
  }
  REPORTLINE(REP, XFIXSTR(REP.SUM, p + 2, p));
  REPORTLINE(REP, "");
}

const REPORTKINDTYP& SHAPLEYKIND() {
  static const REPORTKINDTYP kind{
      .INDEX = INDEXTYP::SHAPLEY,
      .PIVOTS = false,
      .TEXT = SHAPLEYOUT1,
      .BLOCK = SHAPLEYOUT2,
      .COLUMNS = 3,
      .TITLES = {"SS", "II", "winsets"},
      .VALUES = REPORTVALUES<xvalues>,
      .XVALUES = xvalues,
      .NAME = "shapley",
      .HELP = "Shapley-Shubik and inclusiveness indices",
      .RUN = RUNENGINE<SHAPLEYRES, SHAPLEY>,
      .CHAMBERS = ISAKIND::SHAPLEY,
      .SAMPLED = {1, {"SS", "SS_error", "", ""}, "        SS     error", "random orders"},
      .ABOUT =
          "SS, the Shapley-Shubik index: the share of the orders of the players in which the "
          "player's joining turns the coalition before it into a winning one (Shapley and Shubik "
          "1954)"};
  return kind;
}
