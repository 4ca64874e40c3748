#include "commands/runs.h"

#include <algorithm>
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
#include "engines/run/shapley_weighted.h"
#include "frame/window.h"
#include "platform/clock.h"

namespace {

// The screen copy of a report: its lines on the console, a key after a row.
void showLine(const std::string& line) { con::writeLn(line); }
void waitKey() { con::readPress(); }

}  // namespace

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
  REP.SHOWLINE = showLine;
  REP.WAITKEY = waitKey;
  REP.TEXTFILE = nullptr;
  REP.PREC = S.PREC;
  TEXT(R, REP);

  const std::string base = S.OUTPUTFILE ? R.NAME : S.NAMEOUT;
  REPORTFILE(R, REP, base + ".out", REPORTHEADER(R), TEXT);
  if (S.OUTPUTTAB == 1) REPORTFILE(R, REP, base + ".ouu", "", BLOCK);
}

void REPORTRUN(RUNTYP& R, const SETTINGSTYP& S, const REPORTKINDTYP& KIND) {
  REPORTTYP REP;
  REPORTTOTALS(R, REP, KIND.PIVOTS);
  REPORTWRITE(R, S, REP, KIND.TEXT, KIND.BLOCK);
}

bool RUNSTART(RUNTYP& R, SETTINGSTYP& S, const std::string& TITLE, const char* COMMAND) {
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
    // The screens show 50 players; the command line counts weighted games
    // of up to MAXPLAYERS.
    int64_t players = 0;
    for (int i = 1; i <= std::min<int>(R.MM, MAXCHAMB); ++i) players += R.NN[i];
    if (R.DATASTRUCTURE == DATASTRUCT::WEIGHTED && R.MM >= 1 && R.MM <= MAXCHAMB &&
        players > MAXACTOR && players <= MAXPLAYERS)
      con::writeLn(std::string("   the command line takes it: vkx ") + COMMAND + " " + R.NAME +
                   " --winset T");
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

// The end of an engine that did not count: a game the tables cannot hold
// is refused with its message and a key wait, one without an engine with
// "...error on input file format"; the command then ends without a report.
bool counted(STATUSTYP status) {
  if (status == STATUSTYP::DONE) return true;
  if (status == STATUSTYP::NOENGINE)
    FORMATERROR();
  else
    wrun::REFUSE();
  return false;
}

// The count-vector engines with their run dialogue.
bool runUnweighted(RUNTYP& R, const REPORTKINDTYP& kind) {
  ISAKIND chambers = kind.CHAMBERS;
  if (chambers == ISAKIND::SHAPLEY && R.GAME == VERSION::ISAWP) chambers = ISAKIND::WORKINGPLAN;
  STATUSTYP status = STATUSTYP::DONE;
  ISA_SCREEN_RUN(chambers, [&](ISAPROGRESS progress, void* data) {
    HOOKSTYP hooks;
    hooks.PROGRESS = progress;
    hooks.DATA = data;
    hooks.WALK = progress != nullptr;  // screen control shows every vector
    status = kind.RUN(R, R, R, hooks);
  });
  return counted(status);
}

// The weighted engines with their run dialogue. Shapley and Banzhaf share
// the Shapley engine's questions and listing; the public good engine lists
// minimal winning coalitions. False when the dialogue or the engine ended
// the run without results: a further data file that cannot be loaded or
// does not fit, win sets that do not pair up, a game that is refused.
bool runWeighted(RUNTYP& R, SETTINGSTYP& S, const REPORTKINDTYP& kind) {
  const bool shapleyWalk = !kind.MINIMAL;
  const bool multiple = R.GAME == VERSION::MULTIPLE;
  R.OVERALL = OVERALLRULE::AND;
  R.OVERT = OVERALLUNIT::MEMBERS;
  R.BLOCK = false;
  weightedwalk::Game core;
  // An oversized game is refused before anything else is asked: its
  // dialogue could not be held in the tables.
  if (!WEIGHTEDCORE(R, R, core)) {
    wrun::REFUSE();
    return false;
  }
  if (multiple) {
    R.NAME1 = shapleyWalk ? "default" : "";
    if (!wrun::ASKSYSTEMS(R, R, S, shapleyWalk)) return false;
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
  weightedwalk::Visitor storage;
  HOOKSTYP hooks;
  hooks.VISITOR = wrun::VISITOR(run, storage);
  hooks.WALK = hooks.VISITOR != nullptr;  // screen control and listings show every coalition
  const STATUSTYP status = kind.RUN(R, R, R, hooks);
  wrun::FINISH(run);
  return counted(status);
}

}  // namespace

bool RUNINDEX(RUNTYP& R, SETTINGSTYP& S, const REPORTKINDTYP& KIND) {
  if (!HASENGINE(KIND.INDEX, R.DATASTRUCTURE, R.GAME)) {
    FORMATERROR();
    return false;
  }
  return R.DATASTRUCTURE == DATASTRUCT::WEIGHTED ? runWeighted(R, S, KIND) : runUnweighted(R, KIND);
}

void RUNFINISH(RUNTYP& R, SETTINGSTYP& S, const REPORTKINDTYP& KIND) {
  STAMPEND(R);
  REPORTRUN(R, S, KIND);
  MAINGROUND(S);
}

void FORMATERROR() { con::writeLn("...error on input file format"); }
