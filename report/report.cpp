#include "report/report.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"

void REPORTLINE(REPORTTYP& REP, const std::string& TEXT) {
  if (REP.SCREEN) {
    if (REP.SHOWLINE) REP.SHOWLINE(TEXT);
  } else if (REP.TEXTFILE)
    REP.TEXTFILE->writeLine(TEXT);
  else if (REP.TEXT)
    *REP.TEXT += TEXT + "\r\n";
}
void REPORTWAIT(REPORTTYP& REP) {
  if (REP.SCREEN && REP.WAITKEY) REP.WAITKEY();
}
void REPORTEXTENDED(REPORTTYP& REP, const XNUM* VALUES, int COUNT) {
  if (COUNT < 1) return;
  REPORTLINE(REP, "  (extended: " + XSCISTR(VALUES[0], 26) + (COUNT == 1 ? ")" : ""));
  for (int i = 1; i < COUNT; ++i)
    REPORTLINE(REP, std::string(13, ' ') + XSCISTR(VALUES[i], 26) + ")");
}
void REPORTGAME(RUNTYP& R, REPORTTYP& REP) {
  REPORTLINE(REP, "primary data file: " + R.NAME);
  for (int32_t i = 1; i <= R.THRES && i <= 10; ++i) {
    std::string line = "win set     " + std::to_string(i) + ": ";
    for (int j = 1; j <= R.MM; ++j) {
      line += '[';
      line += std::to_string(R.G[i][j][1]);
      line += ',';
      line += std::to_string(R.G[i][j][2]);
      line += "] ";
      if (j < R.MM) line += "* ";
    }
    REPORTLINE(REP, line);
  }
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  const bool multiple = R.GAME == VERSION::MULTIPLE;
  if ((R.GAME == VERSION::STANDARD || multiple) && weighted && R.T1 != 0)
    REPORTLINE(REP, "overall threshold: " + std::to_string(R.T1));
  if (multiple && weighted) REPORTLINE(REP, "note: results based on multiple weights");
  if (R.GAME == VERSION::ISA || R.GAME == VERSION::ISAWP) {
    REPORTLINE(REP, "overall threshold 1:      " + std::to_string(R.T1));
    REPORTLINE(REP, "number of subgames for 1: " + std::to_string(R.T1ANZ));
    REPORTLINE(REP, "overall threshold 2:      " + std::to_string(R.T2));
    REPORTLINE(REP, "number of subgames for 2: " + std::to_string(R.T2ANZ));
  }
  if (R.GAME == VERSION::SPATIAL) {
    REPORTLINE(REP, "coalitions weighted by similarity");
    REPORTLINE(REP, "policy data file: " + R.NAME1);
    REPORTLINE(REP, "number of dimensions: " + std::to_string(R.NTHEME));
  }
}
void REPORTHEAD(RUNTYP& R, REPORTTYP& REP, const std::string& COLUMNS) {
  REPORTGAME(R, REP);
  REPORTLINE(REP, "");
  REPORTLINE(REP, COLUMNS);
  REPORTLINE(REP, std::string(COLUMNS.size(), '-'));
}
std::string REPORTPLAYER(const RUNTYP& R, int I, int P) {
  if (P == 0) return INTSTR(I, 7) + "       i" + "       1";
  return INTSTR(I, 7) + INTSTR(P, 8) + INTSTR(R.GEW[I][P], 8);
}
void REPORTWINS(RUNTYP& R, REPORTTYP& REP) {
  REPORTLINE(REP, " ");
  // In extended range: a chamber of thousands of members has more
  // coalitions than a double holds (2^N with it).
  REPORTLINE(REP, "winning coalitions:    " + XFIXSTR(R.X.WINS, 10, 0));
  REPORTLINE(REP, "decision probability:  " + XFIXSTR(R.X.WINS / XPOW2(R.N), 10, 6));
}
void REPORTEND(RUNTYP& R, REPORTTYP& REP, bool SPACED) {
  REPORTLINE(REP, " ");
  REPORTLINE(REP, REPORTTIMES(R, SPACED));
  REPORTLINE(REP, "");
  REPORTLINE(REP, "");
}
std::string REPORTTIMES(const RUNTYP& R, bool SPACED) {
  auto stamp = [](const plat::Stamp& t) {
    return std::to_string(t.day) + "/" + std::to_string(t.month) + "/" + std::to_string(t.year) +
           " " + INTSTR(t.hour, 2) + ":" + INTSTR(t.minute, 2) + ":" + INTSTR(t.second, 2);
  };
  return (SPACED ? "time 1: " : "time1: ") + stamp(R.TIME1) + "    " +
         (SPACED ? "time 2: " : "time2: ") + stamp(R.TIME2);
}
double RATIO(double A, double B) { return B == 0.0 ? 0.0 : A / B; }
XNUM RATIO(const XNUM& A, const XNUM& B) { return B.zero() ? XNUM() : A / B; }
void REPORTDOUBLES(const XNUM* X, double* V, int COUNT) {
  for (int c = 0; c < COUNT; ++c) V[c] = XTODOUBLE(X[c]);
}
void REPORTTOTALS(RUNTYP& R, REPORTTYP& REP, bool PIVOTS) {
  for (int i = 1; i <= R.MM; ++i) {
    // The engines leave an unweighted subgame's total in entry 0 already;
    // a weighted subgame's total is the sum of its players.
    if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED) {
      for (int p = 1; p <= R.NN[i]; ++p) {
        R.SHAP[i][0] += R.SHAP[i][p];
        if (PIVOTS) R.PIV[i][0] += R.PIV[i][p];
      }
    }
  }
  if (!R.X.EXTENDED) {
    R.X.WINS = XNUM(R.WINSETS);
    for (int i = 1; i <= R.MM; ++i) {
      R.X.SHAP[i] = XNUM(R.SHAP[i][0]);
      R.X.PIV[i] = XNUM(R.PIV[i][0]);
    }
  }
  // Summed in subgame order: where doubles suffice, the doubles' sums.
  for (int i = 1; i <= R.MM; ++i) {
    REP.SUM += R.X.SHAP[i];
    if (PIVOTS) REP.PIVOT += R.X.PIV[i];
  }
}
std::string REPORTHEADER(const RUNTYP& R) {
  return "VKX 2.0" + std::string(48, ' ') + std::to_string(R.TIME2.day) + "/" +
         std::to_string(R.TIME2.month) + "/" + std::to_string(R.TIME2.year);
}
std::string REPORTSTRING(RUNTYP R, bool PIVOTS, REPORTPROC TEXT, int PREC) {
  REPORTTYP REP;
  REP.PREC = PREC;
  REPORTTOTALS(R, REP, PIVOTS);
  std::string text;
  REP.SCREEN = false;
  REP.TEXT = &text;
  TEXT(R, REP);
  return text;
}
void TAKE(RUNTYP& R, const SHAPLEYRES& RES) {
  if (RES.STATUS != STATUSTYP::DONE) return;
  R.METHOD = RES.METHOD;
  R.SHAP = RES.SS;
  R.PIV = RES.II;
  R.WINSETS = RES.WINS;
  R.X = RES.X;
}
void TAKE(RUNTYP& R, const BANZHAFRES& RES) {
  if (RES.STATUS != STATUSTYP::DONE) return;
  R.METHOD = RES.METHOD;
  R.SHAP = RES.SWINGS;
  R.WINSETS = RES.WINS;
  R.X = RES.X;
}
void TAKE(RUNTYP& R, const PUBLICGOODRES& RES) {
  if (RES.STATUS != STATUSTYP::DONE) return;
  R.METHOD = RES.METHOD;
  R.SHAP = RES.MWC;
  R.PIV = RES.SHARE;
  R.WINSETS = RES.MINWINS;
  R.X = RES.X;
}
template <typename RES>
RUNTYP RUNOF(const GAMETYP& GAME, const RULETYP& RULE, const RES& RESULT, const plat::Stamp& TIME1,
             const plat::Stamp& TIME2) {
  RUNTYP R;
  static_cast<GAMETYP&>(R) = GAME;
  static_cast<RULETYP&>(R) = RULE;
  TAKE(R, RESULT);
  R.TIME1 = TIME1;
  R.TIME2 = TIME2;
  return R;
}
template RUNTYP RUNOF(const GAMETYP&, const RULETYP&, const SHAPLEYRES&, const plat::Stamp&,
                      const plat::Stamp&);
template RUNTYP RUNOF(const GAMETYP&, const RULETYP&, const BANZHAFRES&, const plat::Stamp&,
                      const plat::Stamp&);
template RUNTYP RUNOF(const GAMETYP&, const RULETYP&, const PUBLICGOODRES&, const plat::Stamp&,
                      const plat::Stamp&);

XNUM XSHAPOF(const RUNTYP& R, int I, int P) {
  const std::size_t at = XPLAYER(R.NN, I, P);
  return at < R.X.SHAPP.size() ? R.X.SHAPP[at] : XNUM(R.SHAP[I][P]);
}
XNUM XPIVOF(const RUNTYP& R, int I, int P) {
  const std::size_t at = XPLAYER(R.NN, I, P);
  return at < R.X.PIVP.size() ? R.X.PIVP[at] : XNUM(R.PIV[I][P]);
}

bool GAMESIZEOK(const GAMETYP& GAME, int PLAYERS) {
  if (GAME.MM < 1 || GAME.MM > MAXCHAMB) return false;
  const bool weighted = GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  int64_t total = 0;
  for (int s = 1; s <= GAME.MM; ++s) {
    const int64_t nn = GAME.NN[s];
    if (weighted) {
      if (nn < 0 || nn > PLAYERS) return false;
    } else if (nn < 1) {
      return false;
    }
    total += nn;
  }
  if (weighted) return total >= 1 && total <= PLAYERS;
  return total <= 65535;
}

RUNTYP RUNKIND(const REPORTKINDTYP& KIND, const GAMETYP& GAME, const RULETYP& RULE,
               const HOOKSTYP& HOOKS, STATUSTYP& STATUS) {
  RUNTYP R;
  static_cast<GAMETYP&>(R) = GAME;
  static_cast<RULETYP&>(R) = RULE;
  R.TIME1 = plat::now();
  STATUS = KIND.RUN(R, GAME, RULE, HOOKS);
  R.TIME2 = plat::now();
  return R;
}

namespace {

// The index columns of a row in extended range.
void tableCells(const RUNTYP& R, const REPORTTYP& REP, const REPORTKINDTYP& kind, int i, int p,
                XNUM* x) {
  if (kind.XVALUES) return kind.XVALUES(R, REP, i, p, x);
  double v[REPORTCOLUMNS];
  for (double& c : v) c = std::nan("");
  kind.VALUES(R, REP, i, p, v);
  for (int c = 0; c < REPORTCOLUMNS; ++c) x[c] = XNUM(v[c]);
}

}  // namespace

void REPORTTABLETEXT(RUNTYP& R, REPORTTYP& REP, const REPORTKINDTYP& KIND) {
  // Every row's cells first: a column is as wide as its widest number
  // (scores and counts run to many digits), at least 10.
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  std::vector<std::pair<int, int>> rows;
  for (int i = 1; i <= R.MM; ++i)
    for (int p = weighted ? 1 : 0; p <= (weighted ? R.NN[i] : 0); ++p) rows.push_back({i, p});
  rows.push_back({0, 0});
  std::vector<std::vector<std::string>> cells;
  std::size_t width[REPORTCOLUMNS] = {};
  XNUM x[REPORTCOLUMNS];
  for (const auto& [i, p] : rows) {
    tableCells(R, REP, KIND, i, p, x);
    std::vector<std::string> row;
    for (int c = 0; c < KIND.COLUMNS; ++c) {
      const std::string text = std::isnan(XTODOUBLE(x[c])) ? "" : XFIXSTR(x[c], 1, 6);
      width[c] = std::max({width[c], text.size() + 2, std::size_t{10}});
      row.push_back(text);
    }
    cells.push_back(row);
  }
  auto line = [&](const std::vector<std::string>& row) {
    std::string text;
    for (int c = 0; c < KIND.COLUMNS; ++c)
      text += std::string(width[c] - row[static_cast<std::size_t>(c)].size(), ' ') +
              row[static_cast<std::size_t>(c)];
    return text;
  };
  std::vector<std::string> titles;
  for (int c = 0; c < KIND.COLUMNS; ++c) titles.push_back(KIND.TITLES[c]);
  REPORTHEAD(R, REP, "subgame  player  weight" + line(titles));
  for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
    REPORTLINE(REP, REPORTPLAYER(R, rows[r].first, rows[r].second) + line(cells[r]));
    REPORTWAIT(REP);
  }
  const std::string sums = line(cells.back());
  if (sums.find_first_not_of(' ') != std::string::npos)
    REPORTLINE(REP, "sum of all:            " + sums);
  REPORTWINS(R, REP);
  REPORTEND(R, REP, true);
}

void REPORTTABLEBLOCK(RUNTYP& R, REPORTTYP& REP, const REPORTKINDTYP& KIND) {
  const int p = REP.PREC;
  XNUM x[REPORTCOLUMNS];
  const bool weighted = R.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  for (int i = 1; i <= R.MM; ++i)
    for (int j = weighted ? 1 : 0; j <= (weighted ? R.NN[i] : 0); ++j) {
      tableCells(R, REP, KIND, i, j, x);
      std::string line;
      // A blank before each value: a score runs to many digits.
      for (int c = 0; c < KIND.COLUMNS; ++c) {
        line += ' ';
        line += XFIXSTR(x[c], p + 2, p);
      }
      REPORTLINE(REP, line);
    }
  REPORTLINE(REP, "");
}
