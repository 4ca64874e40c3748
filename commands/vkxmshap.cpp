#include "commands/vkxmshap.h"

#include <cmath>

#include "commands/vkxmcomm.h"
#include "common/mathe1.h"
#include "common/mathe2.h"
#include "data/vkxdos.h"
#include "frame/vkxunit.h"
#include "platform/console.h"

void SHAPLEYVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V) {
  if (I == 0) {
    V[0] = REP.SUM;
    V[1] = V[2] = std::nan("");
    return;
  }
  // An unweighted subgame's row shows one member's share of its totals.
  const double ss = P > 0 ? R.SHAP[I][P] : RATIO(R.SHAP[I][0], R.NN[I]);
  const double ii = P > 0 ? R.PIV[I][P] : RATIO(R.PIV[I][0], R.NN[I]);
  V[0] = ss;
  V[1] = ii;
  V[2] = ii * R.WINSETS;
}

void SHAPLEYOUT1(RUNTYP& R, REPORTTYP& REP) {
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  REPORTHEAD(R, REP, "subgame  player  weight        SS        II                   winsets");
  double v[3];
  auto row = [&](int i, int p) {
    SHAPLEYVALUES(R, REP, i, p, v);
    REPORTLINE(
        REP, REPORTPLAYER(R, i, p) + FIXSTR(v[0], 10, 6) + FIXSTR(v[1], 10, 6) + SCISTR(v[2], 26));
  };
  for (int i = 1; i <= R.MM; ++i) {
    if (weighted) {
      for (int p = 1; p <= R.NN[i]; ++p) {
        row(i, p);
        REPORTWAIT(REP);
      }
    } else {
      row(i, 0);
      if (v[0] < 0.0001) REPORTEXTENDED(REP, v, 1);
      REPORTWAIT(REP);
    }
    if (!weighted || R.GAME == VERSION::STANDARD) {
      REPORTLINE(REP, "subgame        " + INTSTR(i, 2) + ":     " + FIXSTR(R.SHAP[i][0], 10, 6));
      if (RATIO(R.SHAP[i][0], R.NN[i]) < 0.0001) REPORTEXTENDED(REP, &R.SHAP[i][0], 1);
    }
  }
  REPORTLINE(REP, "sum of all:            " + FIXSTR(REP.SUM, 10, 6) + std::string(10, ' '));
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
  REPORTLINE(REP, FIXSTR(REP.SUM, p + 2, p));
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
