#include "commands/vkxmbanz.h"

#include "commands/vkxmcomm.h"
#include "common/mathe1.h"
#include "common/mathe2.h"
#include "engines/vkxbanz2.h"
#include "frame/vkxunit.h"
#include "platform/console.h"

void BANZHAFSWINGS(RUNTYP& R, bool EMPTYWINS) {
  // PIV x WINSETS coalitions win with the player, the rest of WINSETS
  // without it; every coalition that wins with the player but not without
  // is one swing. Written this way it needs no power of 2 below N = 2. The
  // engines never visit the empty coalition: where it wins, it is one more
  // winning coalition without each player.
  const double empty = EMPTYWINS ? 1.0 : 0.0;
  for (int i = 1; i <= R.MM; ++i)
    for (int p = 1; p <= R.NN[i]; ++p) R.SHAP[i][p] = 2.0 * (R.PIV[i][p] - 0.5) * R.WINSETS - empty;
}

bool EMPTYWINS(const RUNTYP& R) {
  if (R.T1 > 0) return false;
  for (int t = 1; t <= R.THRES; ++t) {
    bool all = true;
    for (int s = 1; s <= R.MM; ++s) all = all && R.M[s][t] <= 0;
    if (all) return true;
  }
  return false;
}

void BANZHAFOUT1(RUNTYP& R, REPORTTYP& REP) {
  const bool weighted = R.DATASTRUCTURE == 1;
  const double D = POT(2, static_cast<uint16_t>(R.N - 1));
  const double SUM = REP.SUM;
  REPORTHEAD(R, REP, "subgame  player  weight      NNBZ       NBZ");
  for (int i = 1; i <= R.MM; ++i) {
    const double share = RATIO(R.SHAP[i][0], R.NN[i]);
    const bool tiny = RATIO(share, D) < 0.0001 || RATIO(share, SUM) < 0.0001;
    if (weighted) {
      for (int p = 1; p <= R.NN[i]; ++p) {
        REPORTLINE(REP, REPORTPLAYER(R, i, p) + FIXSTR(RATIO(R.SHAP[i][p], D), 10, 6) +
                            FIXSTR(RATIO(R.SHAP[i][p], SUM), 10, 6));
        REPORTWAIT(REP);
      }
    } else {
      REPORTLINE(REP, REPORTPLAYER(R, i, 0) + FIXSTR(RATIO(share, D), 10, 6) +
                          FIXSTR(RATIO(share, SUM), 10, 6));
      if (tiny) {
        const double values[2] = {RATIO(share, D), RATIO(share, SUM)};
        REPORTEXTENDED(REP, values, 2);
      }
      REPORTWAIT(REP);
    }
    if (R.GAME == 1 || R.GAME == 3 || R.GAME == 4) {
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
  REPORTLINE(REP, "sum of all:            " + FIXSTR(RATIO(SUM, D), 10, 6) +
                      FIXSTR(RATIO(SUM, SUM), 10, 6));
  REPORTLINE(REP, "mean:                  " + FIXSTR(RATIO(SUM, D) / R.N, 10, 6) +
                      FIXSTR(RATIO(SUM, SUM) / R.N, 10, 6));
  REPORTWINS(R, REP);
  REPORTEND(R, REP, true);
}

void BANZHAFOUT2(RUNTYP& R, REPORTTYP& REP) {
  const int p = PREC;
  const double D = POT(2, static_cast<uint16_t>(R.N - 1));
  const double SUM = REP.SUM;
  auto line = [&](double normalised, double plain) {
    REPORTLINE(REP, FIXSTR(normalised, p + 2, p) + FIXSTR(plain, p + 3, p));
  };
  for (int i = 1; i <= R.MM; ++i) {
    if (R.DATASTRUCTURE == 1) {
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

void BANZHAFOUT(RUNTYP& R) { REPORTRUN(R, false, BANZHAFOUT1, BANZHAFOUT2); }

void MENUE_BANZHAF() {
  RUNTYP R;
  if (!RUNSTART(R, "banzhaf")) return;
  const bool weighted = R.DATASTRUCTURE == 1;

  if (INTERNAL == 1) {
    con::writeLn("version: standard(1), multiple weights(2), ISA(3),");
    READINTLN("ISA-WP(4) (1/2/3/4): ", R.GAME);
    if (R.GAME == 2) R.GAME = 5;
  } else if (weighted) {
    ASKVERSION12(R);
  }

  if (R.GAME == 1 || R.GAME == 5) {
    ASKWINSETS(R);
    if (weighted) {
      R.T1 = 0;
      OVERALL = 0;
      READINTLN("overall threshold: no/AND/OR (0/1/2): ", OVERALL);
      if (OVERALL == 1 || OVERALL == 2) {
        READINTLN("number of players/votes (0/1): ", OVERT);
        if (OVERT == 1) {
          READTHRESHOLD16("overall threshold (votes): ", R.T1, true);
        } else {
          OVERT = 0;
          READTHRESHOLD16("overall threshold (number of players): ", R.T1, true);
        }
      }
      con::writeLn();
    }
  } else if (R.GAME == 3 || R.GAME == 4) {
    ASKWINSETS(R);
    THRESHOLD_INPUT3(R);
  }

  STAMPSTART(R);
  if (R.DATASTRUCTURE == 0 && R.GAME == 1) {
    RUNUNWEIGHTED(R, BANZHAF_UNWEIGHTED_ISBA, false);
  } else if (weighted && R.GAME == 1) {
    RUNSHAPLEYWEIGHTED(R, 0);
    BANZHAFSWINGS(R, EMPTYWINS(R));
  } else if (weighted && R.GAME == 5) {
    RUNSHAPLEYDOUB(R);
    BANZHAFSWINGS(R);
  } else if (R.DATASTRUCTURE == 0 && R.GAME == 3) {
    RUNUNWEIGHTED(R, BANZHAF_UNWEIGHTED_ISBA, true);
  } else {
    FORMATERROR();
    return;
  }
  RUNFINISH(R, BANZHAFOUT);
}
