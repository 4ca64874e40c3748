#include "commands/shapley.h"

#include <cmath>

#include "commands/runs.h"
#include "common/numbers.h"
#include "console/console.h"
#include "data/gamefile.h"
#include "dialogue/prompts.h"
#include "frame/window.h"

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
  const XNUM ss = P > 0 ? XNUM(R.SHAP[I][P]) : RATIO(R.X.SHAP[I], nn);
  const XNUM ii = P > 0 ? XNUM(R.PIV[I][P]) : RATIO(R.X.PIV[I], nn);
  V[0] = ss;
  V[1] = ii;
  V[2] = ii * R.X.WINS;
  // A weighted player's winning coalitions are a whole number (the share
  // times the count only carries the rounding of the division); spatial
  // shares are weighted by similarity and stay as they are.
  if (P > 0 && R.GAME != VERSION::SPATIAL) V[2] = XNUM(std::nearbyint(XTODOUBLE(V[2])));
}

}  // namespace

void SHAPLEYVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V) {
  XNUM x[3];
  xvalues(R, REP, I, P, x);
  REPORTDOUBLES(x, V, 3);
}

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

void SHAPLEYOUT(RUNTYP& R, const SETTINGSTYP& S) {
  REPORTRUN(R, S, false, SHAPLEYOUT1, SHAPLEYOUT2);
}

const REPORTKINDTYP& SHAPLEYKIND() {
  static const REPORTKINDTYP kind{INDEXTYP::SHAPLEY, false, SHAPLEYOUT1,
                                  SHAPLEYOUT2,       3,     {"SS", "II", "winsets"},
                                  SHAPLEYVALUES};
  return kind;
}

std::string SHAPLEYREPORT(const GAMETYP& GAME, const RULETYP& RULE, const SHAPLEYRES& RES,
                          const plat::Stamp& TIME1, const plat::Stamp& TIME2) {
  return REPORTSTRING(RUNOF(GAME, RULE, RES, TIME1, TIME2), false, SHAPLEYOUT1);
}

void MENUE_SHAPLEY(SETTINGSTYP& S) {
  RUNTYP R;
  if (!RUNSTART(R, S, "shapley/inclusiveness")) return;
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;

  if (S.INTERNAL == 1) {
    con::writeLn("version: standard(1), multiple weights(2), ISA(3),");
    int32_t answer = 1;
    READINTLN("ISA-WP(4), spatial(5) (1/2/3/4/5): ", answer);
    R.GAME = VERSIONOF(answer, true);
  } else if (weighted) {
    ASKVERSION12(R);
  }
  con::writeLn(" ");

  if (R.GAME == VERSION::SPATIAL) {
    con::write("policy data file: ");
    R.NAME1 = NAMECUT(con::readLine());
    POSITIONLOAD(R.NAME1, R.NTHEME, R.N, R.POSITION, R.ERRORFLAG);
    if (R.ERRORFLAG != 0) {
      con::writeLn("...system error on loading " + R.NAME1);
      con::waitKey();
      return;
    }
  }

  if (R.GAME == VERSION::STANDARD || R.GAME == VERSION::MULTIPLE || R.GAME == VERSION::SPATIAL) {
    ASKWINSETS(R, S);
    if (weighted) {
      R.T1 = 0;
      READTHRESHOLD16(S, "overall threshold (number/weight of players): ", R.T1, true);
      con::writeLn();
    }
  } else if (R.GAME == VERSION::ISA || R.GAME == VERSION::ISAWP) {
    ASKWINSETS(R, S);
    THRESHOLD_INPUT3(R, S);
  }

  STAMPSTART(R);
  if (!RUNINDEX(R, S, INDEXTYP::SHAPLEY)) return;
  RUNFINISH(R, S, SHAPLEYOUT);
}
