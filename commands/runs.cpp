#include "commands/runs.h"

#include <cerrno>

#include "common/numbers.h"
#include "console/console.h"
#include "data/gamefile.h"
#include "data/winsets.h"
#include "dialogue/datafiles.h"
#include "dialogue/isadialog.h"
#include "dialogue/prompts.h"
#include "dialogue/winsetinput.h"
#include "dialogue/wrundialog.h"
#include "engines/shapley_weighted.h"
#include "frame/window.h"
#include "platform/clock.h"

void REPORTLINE(REPORTTYP& REP, const std::string& TEXT) {
  if (REP.SCREEN)
    con::writeLn(TEXT);
  else if (REP.TEXTFILE)
    REP.TEXTFILE->writeLine(TEXT);
  else if (REP.TEXT)
    *REP.TEXT += TEXT + "\r\n";
}

void REPORTWAIT(REPORTTYP& REP) {
  if (!REP.SCREEN) return;
  con::readPress();
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

int REPORTFILE(RUNTYP& R, REPORTTYP& REP, const std::string& PATH, const std::string& HEADER,
               REPORTPROC PROC) {
  plat::TextOut out;
  bool created = false;
  int code = out.append(PATH);
  // Only a file that is not there is created: any other refusal (a locked or
  // unreadable file, a folder of that name) must not cost the reports it
  // already holds.
  if (code == ENOENT) {
    code = out.create(PATH);
    created = code == 0;
  }
  if (code == 0) {
    REP.SCREEN = false;
    REP.TEXTFILE = &out;
    if (created && !HEADER.empty()) {
      out.writeLine(HEADER);
      out.writeLine("\r");
    }
    PROC(R, REP);
    REP.TEXTFILE = nullptr;
    // A full disk must not leave half a report behind: on a failure the file
    // goes back to what it was before this run (a file made by this run goes
    // away).
    code = out.commit();
  }
  if (code != 0) con::writeLn("...system error" + std::to_string(code) + " on saving " + PATH);
  return code;
}

void REPORTWRITE(RUNTYP& R, const SETTINGSTYP& S, REPORTTYP& REP, REPORTPROC TEXT,
                 REPORTPROC BLOCK) {
  REP.SCREEN = true;
  REP.TEXTFILE = nullptr;
  REP.PREC = S.PREC;
  TEXT(R, REP);

  const std::string base = S.OUTPUTFILE ? R.NAME : S.NAMEOUT;
  REPORTFILE(R, REP, base + ".out", REPORTHEADER(R), TEXT);
  if (S.OUTPUTTAB == 1) REPORTFILE(R, REP, base + ".ouu", "", BLOCK);
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

void REPORTRUN(RUNTYP& R, const SETTINGSTYP& S, bool PIVOTS, REPORTPROC TEXT, REPORTPROC BLOCK) {
  REPORTTYP REP;
  REPORTTOTALS(R, REP, PIVOTS);
  REPORTWRITE(R, S, REP, TEXT, BLOCK);
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
  R.SHAP = RES.SS;
  R.PIV = RES.II;
  R.WINSETS = RES.WINS;
  R.X = RES.X;
}

void TAKE(RUNTYP& R, const BANZHAFRES& RES) {
  if (RES.STATUS != STATUSTYP::DONE) return;
  R.SHAP = RES.SWINGS;
  R.WINSETS = RES.WINS;
  R.X = RES.X;
}

void TAKE(RUNTYP& R, const PUBLICGOODRES& RES) {
  if (RES.STATUS != STATUSTYP::DONE) return;
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

bool GAMESIZEOK(const GAMETYP& GAME) {
  if (GAME.MM < 1 || GAME.MM > MAXCHAMB) return false;
  const bool weighted = GAME.DATASTRUCTURE == DATASTRUCT::WEIGHTED;
  int64_t total = 0;
  for (int s = 1; s <= GAME.MM; ++s) {
    const int64_t nn = GAME.NN[s];
    if (weighted) {
      if (nn < 0 || nn > MAXACTOR) return false;
    } else if (nn < 1) {
      return false;
    }
    total += nn;
  }
  if (weighted) return total >= 1 && total <= MAXACTOR;
  return total <= 65535;
}

bool RUNSTART(RUNTYP& R, SETTINGSTYP& S, const std::string& TITLE) {
  COMMANDFRAME(S, TITLE);
  con::write("primary data file: ");
  S.NAME = NAMECUT(con::readLine());
  if (S.OUTPUTFILE) S.NAMEOUT = S.NAME;
  DATAWARNINGS warn;
  R.ERRORFLAG = GAMELOAD(S.NAME, R, &warn);
  con::writeLn();
  if (R.ERRORFLAG == 0) DATAWARNWRITE(R.NAME + ".inp", warn);
  if (R.ERRORFLAG != 0) {
    con::writeLn("...system error on loading " + R.NAME + ".inp");
    MAINGROUND(S);
    return false;
  }
  // Nothing may index the tables before the game is known to fit them.
  if (!GAMESIZEOK(R)) {
    con::writeLn("...number of players/subgames not allowed");
    MAINGROUND(S);
    return false;
  }
  for (int i = 1; i <= R.MM; ++i) {
    R.SHAP[i] = {};
    R.PIV[i] = {};
  }
  R.WINSETS = 0.0;
  R.X = {};
  R.GAME = VERSION::STANDARD;
  return true;
}

void ASKWINSETS(RUNTYP& R, const SETTINGSTYP& S) {
  THRESHOLD_INPUT(S, R.THRES, R.M, R.G, CODEOF(R.DATASTRUCTURE), R.MM, R.NN, R.GEW);
}

VERSION VERSIONOF(int32_t ANSWER, bool SPATIALAT5) {
  switch (ANSWER) {
    case 1:
      return VERSION::STANDARD;
    case 2:
      return VERSION::MULTIPLE;
    case 3:
      return VERSION::ISA;
    case 4:
      return VERSION::ISAWP;
    case 5:
      return SPATIALAT5 ? VERSION::SPATIAL : VERSION::MULTIPLE;
    case 6:
      return VERSION::SPATIAL;
    default:
      return VERSION::NONE;
  }
}

void ASKVERSION12(RUNTYP& R) {
  int32_t answer = 1;
  READINTLN("version: standard(1), multiple weights(2) (1/2): ", answer);
  R.GAME = answer == 1 || answer == 2 ? VERSIONOF(answer, false) : VERSION::NONE;
}

void READTHRESHOLD16(const SETTINGSTYP& S, const std::string& PROMPT, int32_t& VALUE,
                     bool WEIGHTPROMPT) {
  const int32_t previous = VALUE;
  for (;;) {
    if (WEIGHTPROMPT)
      READWEIGHTLN(S, PROMPT, VALUE);
    else
      READINTLN(PROMPT, VALUE);
    if (VALUE >= 0 && VALUE <= 65535) return;
    VALUE = previous;
  }
}

void THRESHOLD_INPUT3(RUNTYP& R, const SETTINGSTYP& S) {
  R.T1 = 0;
  R.T1ANZ = 0;
  R.T2 = 0;
  R.T2ANZ = 0;
  con::write("datastructure: ");
  if (R.DATASTRUCTURE == DATASTRUCT::UNWEIGHTED) con::write("unweighted");
  if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED) con::write("weighted");
  con::writeLn();
  READTHRESHOLD16(S, "overall threshold 1: ", R.T1, false);
  READTHRESHOLD16(S, "number of subgames for threshold 1: ", R.T1ANZ, false);
  READTHRESHOLD16(S, "overall threshold 2: ", R.T2, false);
  READTHRESHOLD16(S, "number of subgames for threshold 2: ", R.T2ANZ, false);
  con::writeLn();
}

void STAMPSTART(RUNTYP& R) { R.TIME1 = plat::now(); }

void STAMPEND(RUNTYP& R) { R.TIME2 = plat::now(); }

namespace {

// The count-vector engines with their run dialogue.
void runUnweighted(RUNTYP& R, INDEXTYP index) {
  ISAKIND kind = ISAKIND::SHAPLEY;
  if (index == INDEXTYP::BANZHAF) kind = ISAKIND::BANZHAF;
  if (index == INDEXTYP::PUBLICGOOD) kind = ISAKIND::PUBLICGOOD;
  if (index == INDEXTYP::SHAPLEY && R.GAME == VERSION::ISAWP) kind = ISAKIND::WORKINGPLAN;
  ISA_SCREEN_RUN(kind, [&](ISAPROGRESS progress, void* data) {
    HOOKSTYP hooks;
    hooks.PROGRESS = progress;
    hooks.DATA = data;
    hooks.WALK = progress != nullptr;  // screen control shows every vector
    if (index == INDEXTYP::SHAPLEY) TAKE(R, SHAPLEY(R, R, hooks));
    if (index == INDEXTYP::BANZHAF) TAKE(R, BANZHAF(R, R, hooks));
    if (index == INDEXTYP::PUBLICGOOD) TAKE(R, PUBLICGOOD(R, R, hooks));
  });
}

// The weighted engines with their run dialogue. Shapley and Banzhaf share
// the Shapley engine's questions and listing; the public good engine lists
// minimal winning coalitions.
void runWeighted(RUNTYP& R, SETTINGSTYP& S, INDEXTYP index) {
  const bool shapleyWalk = index != INDEXTYP::PUBLICGOOD;
  const bool multiple = R.GAME == VERSION::MULTIPLE;
  R.OVERALL = OVERALLRULE::AND;
  R.OVERT = OVERALLUNIT::MEMBERS;
  R.BLOCK = false;
  wcore::Game core;
  // An oversized game is refused before anything else is asked: its
  // dialogue could not be held in the tables.
  if (!WEIGHTEDCORE(R, R, core)) {
    wrun::REFUSE();
    return;
  }
  if (multiple) {
    R.NAME1 = shapleyWalk ? "default" : "";
    if (!wrun::ASKSYSTEMS(R, R, S, shapleyWalk)) return;
    if (shapleyWalk) {
      const std::string t1 = std::to_string(R.T1);
      if (S.OVERALL == 1) con::writeLn("...using AND overall threshold " + t1);
      // A run without an overall threshold leaves AND behind for later runs.
      if (S.OVERALL == 0) S.OVERALL = 1;
      if (S.OVERALL == 2) con::writeLn("...using OR overall threshold " + t1);
      R.OVERALL = OVERALLOF(S.OVERALL);
      R.OVERT = S.OVERT == 1 ? OVERALLUNIT::VOTES : OVERALLUNIT::MEMBERS;
    }
  }

  wrun::Run run;
  const std::string ouu = S.NAMEOUT + ".ouu";
  if (shapleyWalk)
    wrun::START(run, R.N, R.MEM, "report winning coalitions (y/n): ", "winning coalitions", ouu);
  else
    wrun::START(run, R.N, R.MEM,
                "report minimal winning coalitions (y/n): ", "minimal winning coalitions", ouu);
  if (multiple && shapleyWalk) {
    run.pause = true;
    run.pauseText = "    " + std::to_string(S.OVERALL) + " " + std::to_string(S.OVERT);
  }
  if (multiple || !shapleyWalk) con::writeLn();
  wcore::Visitor storage;
  HOOKSTYP hooks;
  hooks.VISITOR = wrun::VISITOR(run, storage);
  hooks.WALK = hooks.VISITOR != nullptr;  // screen control and listings show every coalition
  if (index == INDEXTYP::SHAPLEY) TAKE(R, SHAPLEY(R, R, hooks));
  if (index == INDEXTYP::BANZHAF) TAKE(R, BANZHAF(R, R, hooks));
  if (index == INDEXTYP::PUBLICGOOD) TAKE(R, PUBLICGOOD(R, R, hooks));
  wrun::FINISH(run);
}

}  // namespace

bool RUNINDEX(RUNTYP& R, SETTINGSTYP& S, INDEXTYP INDEX) {
  if (!HASENGINE(INDEX, R.DATASTRUCTURE, R.GAME)) {
    FORMATERROR();
    return false;
  }
  if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED)
    runWeighted(R, S, INDEX);
  else
    runUnweighted(R, INDEX);
  return true;
}

void RUNFINISH(RUNTYP& R, SETTINGSTYP& S, void (*OUT)(RUNTYP& R, const SETTINGSTYP& S)) {
  STAMPEND(R);
  OUT(R, S);
  MAINGROUND(S);
}

void FORMATERROR() { con::writeLn("...error on input file format"); }
