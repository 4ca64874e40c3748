#include "commands/vkxmbanz.h"

#include <cmath>

#include "commands/vkxmcomm.h"
#include "common/mathe1.h"
#include "common/mathe2.h"
#include "frame/vkxunit.h"
#include "platform/console.h"

void BANZHAFVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V) {
  const double D = POT(2, static_cast<uint16_t>(R.N - 1));
  // Swings of the player, of one member of an unweighted subgame, or of all.
  double swings = REP.SUM;
  if (I > 0) swings = P > 0 ? R.SHAP[I][P] : RATIO(R.SHAP[I][0], R.NN[I]);
  V[0] = RATIO(swings, D);
  V[1] = RATIO(swings, REP.SUM);
  V[2] = std::nan("");
}

void BANZHAFOUT1(RUNTYP& R, REPORTTYP& REP) {
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  const double D = POT(2, static_cast<uint16_t>(R.N - 1));
  const double SUM = REP.SUM;
  REPORTHEAD(R, REP, "subgame  player  weight      NNBZ       NBZ");
  double v[3];
  auto row = [&](int i, int p) {
    BANZHAFVALUES(R, REP, i, p, v);
    REPORTLINE(REP, REPORTPLAYER(R, i, p) + FIXSTR(v[0], 10, 6) + FIXSTR(v[1], 10, 6));
  };
  for (int i = 1; i <= R.MM; ++i) {
    const double share = RATIO(R.SHAP[i][0], R.NN[i]);
    const bool tiny = RATIO(share, D) < 0.0001 || RATIO(share, SUM) < 0.0001;
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
                          FIXSTR(RATIO(R.SHAP[i][0], D), 10, 6) +
                          FIXSTR(RATIO(R.SHAP[i][0], SUM), 10, 6));
      if (tiny) {
        // Here the normalised value comes first.
        const double values[2] = {RATIO(R.SHAP[i][0], SUM), RATIO(R.SHAP[i][0], D)};
        REPORTEXTENDED(REP, values, 2);
      }
    }
  }
  BANZHAFVALUES(R, REP, 0, 0, v);
  REPORTLINE(REP, "sum of all:            " + FIXSTR(v[0], 10, 6) + FIXSTR(v[1], 10, 6));
  REPORTLINE(REP,
             "mean:                  " + FIXSTR(v[0] / R.N, 10, 6) + FIXSTR(v[1] / R.N, 10, 6));
  REPORTWINS(R, REP);
  REPORTEND(R, REP, true);
}

void BANZHAFOUT2(RUNTYP& R, REPORTTYP& REP) {
  const int p = REP.PREC;
  const double D = POT(2, static_cast<uint16_t>(R.N - 1));
  const double SUM = REP.SUM;
  auto line = [&](double normalised, double plain) {
    REPORTLINE(REP, FIXSTR(normalised, p + 2, p) + FIXSTR(plain, p + 3, p));
  };
  for (int i = 1; i <= R.MM; ++i) {
    if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED) {
      for (int j = 1; j <= R.NN[i]; ++j) line(RATIO(R.SHAP[i][j], SUM), RATIO(R.SHAP[i][j], D));
    } else {
      const double share = RATIO(R.SHAP[i][0], R.NN[i]);
      line(RATIO(share, SUM), RATIO(share, D));
    }
    line(RATIO(R.SHAP[i][0], SUM), RATIO(R.SHAP[i][0], D));
  }
  line(RATIO(SUM, SUM), RATIO(SUM, D));
  REPORTLINE(REP, "");
}

void BANZHAFOUT(RUNTYP& R, const SETTINGSTYP& S) {
  REPORTRUN(R, S, false, BANZHAFOUT1, BANZHAFOUT2);
}

const REPORTKINDTYP& BANZHAFKIND() {
  static const REPORTKINDTYP kind{INDEXTYP::BANZHAF,   false,        BANZHAFOUT1, BANZHAFOUT2, 2,
                                  {"NNBZ", "NBZ", ""}, BANZHAFVALUES};
  return kind;
}

std::string BANZHAFREPORT(const GAMETYP& GAME, const RULETYP& RULE, const BANZHAFRES& RES,
                          const plat::Stamp& TIME1, const plat::Stamp& TIME2) {
  return REPORTSTRING(RUNOF(GAME, RULE, RES, TIME1, TIME2), false, BANZHAFOUT1);
}

void MENUE_BANZHAF(SETTINGSTYP& S) {
  RUNTYP R;
  if (!RUNSTART(R, S, "banzhaf")) return;
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;

  if (S.INTERNAL == 1) {
    con::writeLn("version: standard(1), multiple weights(2), ISA(3),");
    int32_t answer = 1;
    READINTLN("ISA-WP(4) (1/2/3/4): ", answer);
    R.GAME = VERSIONOF(answer, false);
  } else if (weighted) {
    ASKVERSION12(R);
  }

  if (R.GAME == VERSION::STANDARD || R.GAME == VERSION::MULTIPLE) {
    ASKWINSETS(R, S);
    if (weighted) {
      // The overall rule is a setting: kept for later runs, and applied by
      // the multiple-weights version (the standard version always counts
      // T1 as a least number of members).
      R.T1 = 0;
      S.OVERALL = 0;
      READINTLN("overall threshold: no/AND/OR (0/1/2): ", S.OVERALL);
      if (S.OVERALL == 1 || S.OVERALL == 2) {
        READINTLN("number of players/votes (0/1): ", S.OVERT);
        if (S.OVERT == 1) {
          READTHRESHOLD16(S, "overall threshold (votes): ", R.T1, true);
        } else {
          S.OVERT = 0;
          READTHRESHOLD16(S, "overall threshold (number of players): ", R.T1, true);
        }
      }
      con::writeLn();
    }
  } else if (R.GAME == VERSION::ISA || R.GAME == VERSION::ISAWP) {
    ASKWINSETS(R, S);
    THRESHOLD_INPUT3(R, S);
  }

  STAMPSTART(R);
  if (!RUNINDEX(R, S, INDEXTYP::BANZHAF)) return;
  RUNFINISH(R, S, BANZHAFOUT);
}
