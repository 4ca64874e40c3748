#include "commands/vkxmpgi.h"

#include "commands/vkxmcomm.h"
#include "common/mathe1.h"
#include "common/mathe2.h"
#include "frame/vkxunit.h"
#include "platform/console.h"

namespace {

// PGI, MBP and DPI of one row: the player's (or one representative
// player's) minimal winning coalitions over all counted memberships, over
// their number W, and its reciprocal-size sum over W.
struct PGIROW {
  double pgi, mbp, dpi;
};

PGIROW pgiRow(double shap, double piv, double SUM, double W) {
  return {RATIO(shap, SUM), RATIO(shap, W), RATIO(piv, W)};
}

std::string fixed3(const PGIROW& v) {
  return FIXSTR(v.pgi, 10, 6) + FIXSTR(v.mbp, 10, 6) + FIXSTR(v.dpi, 10, 6);
}

void extended(REPORTTYP& REP, const PGIROW& v) {
  const double values[3] = {v.pgi, v.mbp, v.dpi};
  REPORTEXTENDED(REP, values, 3);
}

}  // namespace

void PUBLICGOODVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V) {
  const double W = R.WINSETS;
  PGIROW v = pgiRow(REP.SUM, REP.PIVOT, REP.SUM, W);
  if (I > 0 && P > 0) v = pgiRow(R.SHAP[I][P], R.PIV[I][P], REP.SUM, W);
  if (I > 0 && P == 0)
    v = pgiRow(RATIO(R.SHAP[I][0], R.NN[I]), RATIO(R.PIV[I][0], R.NN[I]), REP.SUM, W);
  V[0] = v.pgi;
  V[1] = v.mbp;
  V[2] = v.dpi;
}

void PUBLICGOODOUT1(RUNTYP& R, REPORTTYP& REP) {
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  const double W = R.WINSETS;
  const double SUM = REP.SUM;
  REPORTHEAD(R, REP, "subgame  player  weight       PGI       MBP       DPI");
  auto values = [&](int i, int p) {
    double v[3];
    PUBLICGOODVALUES(R, REP, i, p, v);
    return PGIROW{v[0], v[1], v[2]};
  };
  for (int i = 1; i <= R.MM; ++i) {
    const PGIROW one = values(i, 0);
    const bool tiny = one.pgi < 0.0001 || one.mbp < 0.0001;
    if (weighted) {
      for (int p = 1; p <= R.NN[i]; ++p) {
        REPORTLINE(REP, REPORTPLAYER(R, i, p) + fixed3(values(i, p)));
        REPORTWAIT(REP);
      }
    } else {
      REPORTLINE(REP, REPORTPLAYER(R, i, 0) + fixed3(one));
      if (tiny) extended(REP, one);
      REPORTWAIT(REP);
    }
    const PGIROW total = pgiRow(R.SHAP[i][0], R.PIV[i][0], SUM, W);
    REPORTLINE(REP, "sum of subgame " + INTSTR(i, 2) + ":     " + fixed3(total));
    if (tiny) extended(REP, total);
  }
  const PGIROW all = values(0, 0);
  REPORTLINE(REP, "sum of all:            " + fixed3(all));
  REPORTLINE(REP,
             "mean:                  " + fixed3({all.pgi / R.N, all.mbp / R.N, all.dpi / R.N}));
  REPORTLINE(REP, " ");
  REPORTLINE(REP, "minimal winning coalitions: " + FIXSTR(W, 15, 0));
  REPORTEND(R, REP, true);
}

void PUBLICGOODOUT2(RUNTYP& R, REPORTTYP& REP) {
  const int p = REP.PREC;
  const double W = R.WINSETS;
  const double SUM = REP.SUM;
  auto line = [&](const PGIROW& v) {
    REPORTLINE(REP, FIXSTR(v.pgi, p + 2, p) + FIXSTR(v.mbp, p + 3, p) + FIXSTR(v.dpi, p + 3, p));
  };
  for (int i = 1; i <= R.MM; ++i) {
    if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED) {
      for (int j = 1; j <= R.NN[i]; ++j) line(pgiRow(R.SHAP[i][j], R.PIV[i][j], SUM, W));
    } else {
      line(pgiRow(RATIO(R.SHAP[i][0], R.NN[i]), RATIO(R.PIV[i][0], R.NN[i]), SUM, W));
    }
    line(pgiRow(R.SHAP[i][0], R.PIV[i][0], SUM, W));
  }
  line(pgiRow(SUM, REP.PIVOT, SUM, W));
  REPORTLINE(REP, "");
}

void PUBLICGOODOUT(RUNTYP& R, const SETTINGSTYP& S) {
  REPORTRUN(R, S, true, PUBLICGOODOUT1, PUBLICGOODOUT2);
}

const REPORTKINDTYP& PUBLICGOODKIND() {
  static const REPORTKINDTYP kind{INDEXTYP::PUBLICGOOD, true, PUBLICGOODOUT1,
                                  PUBLICGOODOUT2,       3,    {"PGI", "MBP", "DPI"},
                                  PUBLICGOODVALUES};
  return kind;
}

std::string PUBLICGOODREPORT(const GAMETYP& GAME, const RULETYP& RULE, const PUBLICGOODRES& RES,
                             const plat::Stamp& TIME1, const plat::Stamp& TIME2) {
  return REPORTSTRING(RUNOF(GAME, RULE, RES, TIME1, TIME2), true, PUBLICGOODOUT1);
}

void MENUE_PUBLICGOOD(SETTINGSTYP& S) {
  RUNTYP R;
  if (!RUNSTART(R, S, "public good index")) return;
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;

  if (S.INTERNAL == 1) {
    // The extended versions have no public good engine; the answer is kept
    // on the line so the threshold dialogue follows right after it.
    con::write("no options!");
  } else if (weighted) {
    ASKVERSION12(R);
  }

  if (R.GAME == VERSION::STANDARD || R.GAME == VERSION::MULTIPLE) {
    ASKWINSETS(R, S);
    if (weighted) {
      R.T1 = 0;
      READTHRESHOLD16(S, "overall threshold (number of players): ", R.T1, true);
      if (R.T1 > R.N) R.T1 = R.N;
      con::writeLn();
    }
  }

  STAMPSTART(R);
  if (!RUNINDEX(R, S, INDEXTYP::PUBLICGOOD)) return;
  RUNFINISH(R, S, PUBLICGOODOUT);
}
