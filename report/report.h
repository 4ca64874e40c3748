// The record of one run and the report text every front end writes from
// it: the game, the rule, the results and the stamps, and the lines of the
// report to a file, a string or (through hooks the dialogue sets) the
// screen. Nothing here reaches the console.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engines/run/compute.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "types/vkxdecl.h"
#include "types/vkxgame.h"

// All data of one run of an index command: the game as loaded (and, for
// the multiple-weights version, its further vote systems), the winning rule
// as entered, the results as the reports read them and the run's time
// stamps. A command creates one when it starts and drops it when it
// returns; its dialogue steps and report read and write it directly, and it
// hands itself to the engines as the game and the rule.
// Index columns of a player row at the most.
constexpr int REPORTCOLUMNS = 4;

struct RUNTYP : GAMETYP, RULETYP {
  int32_t ERRORFLAG = 0;  // code of the last load, 0 = success
  // The results of the run in the reports' terms: SHAP the index per
  // [subgame][player] (Shapley-Shubik value, swings, or minimal winning
  // coalitions containing the player), PIV its companion (inclusiveness
  // share, or the size-weighted share of the public good), WINSETS the
  // number of winning (minimal winning) coalitions. Entry [s][0] holds the
  // subgame's total.
  SHAPTYP SHAP{};
  SHAPTYP PIV{};
  double WINSETS = 0.0;
  // WINSETS and the subgame totals [s][0] in extended range: the engine's
  // own when it gives them, else REPORTTOTALS takes the doubles.
  XTOTALTYP X{};
  plat::Stamp TIME1{}, TIME2{};        // start and end of the engine run
  METHODTYP METHOD = METHODTYP::NONE;  // the method that counted the results
  // A sampled estimate (the command line's --estimate) in place of counts:
  // per player, at XPLAYER(s, p), the estimated values and then their
  // standard errors (report/estimate.h); the samples drawn, the seconds,
  // the error asked for and whether every error fell below it. Empty for a
  // count.
  std::vector<std::array<double, REPORTCOLUMNS>> SAMPLED;
  uint64_t SAMPLES = 0;
  double SAMPLESECONDS = 0, SAMPLEERROR = 0;
  bool SAMPLEREACHED = false;
};

// The results of an engine in the report's tables; a run the engine did not
// do leaves them as they are.
void TAKE(RUNTYP& R, const SHAPLEYRES& RES);
void TAKE(RUNTYP& R, const BANZHAFRES& RES);
void TAKE(RUNTYP& R, const PUBLICGOODRES& RES);
// A run made of a game, a rule, an engine's result and stamps, as a front
// end without the dialogue builds it for a report.
template <typename RES>
RUNTYP RUNOF(const GAMETYP& GAME, const RULETYP& RULE, const RES& RESULT, const plat::Stamp& TIME1,
             const plat::Stamp& TIME2);

// The report routines' own state: the totals they print and where the text
// currently goes: the screen copy (which pauses after rows), a file, or a
// string.
struct REPORTTYP {
  // Sums of the subgame totals, in extended range like them.
  XNUM SUM{};          // of SHAP
  XNUM PIVOT{};        // public good: of PIV
  int PREC = 4;        // decimals of the number block
  bool SCREEN = true;  // true: the screen copy, which pauses after rows
  plat::TextOut* TEXTFILE = nullptr;
  std::string* TEXT = nullptr;  // lines ended by CR LF, when neither of the above
  // The screen copy as the dialogue shows it: a line written, a key waited
  // for after a player row. Null: nothing reaches the screen.
  void (*SHOWLINE)(const std::string& LINE) = nullptr;
  void (*WAITKEY)() = nullptr;
};

using REPORTPROC = void (*)(RUNTYP& R, REPORTTYP& REP);

// What a sampled estimate of an index shows (the command line's
// --estimate): the number of estimated values (0: the index is not
// estimated), the column titles of the values followed by those of their
// errors, the report's column heads, and what was drawn.
struct SAMPLEDTYP {
  int VALUES = 0;
  const char* TITLES[REPORTCOLUMNS] = {"", "", "", ""};
  const char* COLUMNS = "";
  const char* DRAWN = "";
};

// One index's report as a front end without the console takes it: the text
// and the number block, whether the public good totals of PIV apply, and the
// index columns of a player row with their titles and values.
struct REPORTKINDTYP {
  INDEXTYP INDEX;
  bool PIVOTS;  // REPORTTOTALS also sums PIV
  REPORTPROC TEXT;
  REPORTPROC BLOCK;
  int COLUMNS;  // index columns of a player row, 2 to REPORTCOLUMNS
  const char* TITLES[REPORTCOLUMNS];
  // The index columns of player P of subgame I as the report's row shows
  // them (P = 0: the row of an unweighted subgame), and with I = 0 those of
  // "sum of all", NaN where that line has no value. REP holds the totals.
  void (*VALUES)(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V);
  // The same in extended range, where the unit has them (null: VALUES),
  // for counts and values beyond a double's range.
  void (*XVALUES)(const RUNTYP& R, const REPORTTYP& REP, int I, int P, XNUM* V) = nullptr;
  const char* NAME = "";  // the command line's name of the index and its JSON "index"
  const char* HELP = "";  // what the index is, in one line of the command line's help
  // Counts the index of GAME under RULE with its engine (engines/run/compute.h)
  // and takes the results into R; the engine's status.
  STATUSTYP(*RUN)
  (RUNTYP& R, const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) = nullptr;
  // The count-vector engine's kind for unweighted chambers (the ISA-WP
  // version turns the Shapley kind into its working plan).
  ISAKIND CHAMBERS = ISAKIND::SHAPLEY;
  // The weighted walk lists minimal winning coalitions, not winning ones.
  bool MINIMAL = false;
  // Whether a finished run has what the index needs (null: every run), and
  // the reason shown where it has not.
  bool (*FITS)(const RUNTYP& R) = nullptr;
  const char* UNFIT = "";
  // Its sampled estimate.
  SAMPLEDTYP SAMPLED{};
  // An index with a count of its own (not its family's): the plan of that
  // count, in place of the family's (null: the family's plan and count,
  // shared with the family's other indices).
  planner::STEPTYP (*PLAN)(const GAMETYP& GAME, const RULETYP& RULE,
                           const planner::POLICYTYP& POLICY) = nullptr;
  // The index in the literature's words for the help texts: the names it
  // goes by, its definition in one line and a reference ("" for none).
  const char* ABOUT = "";
};

// One line of report text to the current destination.
void REPORTLINE(REPORTTYP& REP, const std::string& TEXT);
// After a player row: on the screen, waits for a key and reads it.
void REPORTWAIT(REPORTTYP& REP);
// The extended lines of tiny values: "  (extended: " and the first value in
// the 26-column scientific form, each further value on a line of its own
// indented by 13 blanks; every line but a lone first one ends in ")".
// The values are in extended range: one below a double's range gets its
// own digits, not zero.
void REPORTEXTENDED(REPORTTYP& REP, const XNUM* VALUES, int COUNT);
// The lines that describe the game: data file, win sets, the overall
// thresholds that apply to the version, the spatial note.
void REPORTGAME(RUNTYP& R, REPORTTYP& REP);
// The head of a report text: the game, an empty line, the column titles
// COLUMNS and a rule of dashes as long as they are.
void REPORTHEAD(RUNTYP& R, REPORTTYP& REP, const std::string& COLUMNS);
// The first columns of a player row: subgame, player and weight; P = 0 is
// the row of an unweighted subgame, shown as player "i" of weight 1.
std::string REPORTPLAYER(const RUNTYP& R, int I, int P);
// " ", the number of winning coalitions and the decision probability.
void REPORTWINS(RUNTYP& R, REPORTTYP& REP);
// The foot of a report text: " ", the time stamps and two empty lines.
// SPACED selects the labels "time 1: " and "time 2: " of the banzhaf and
// public good reports instead of the shapley report's "time1: " and "time2: ".
void REPORTEND(RUNTYP& R, REPORTTYP& REP, bool SPACED = false);
// "time1: d/m/y hh:mm:ss    time2: ..." with blank-padded time fields.
std::string REPORTTIMES(const RUNTYP& R, bool SPACED = false);
// A / B, or 0 when B is 0 (a game without swings or minimal winning
// coalitions shows zeros, not "NAN").
double RATIO(double A, double B);
// The same of extended-range values.
XNUM RATIO(const XNUM& A, const XNUM& B);
// Entry [I][P] of R's first table (SHAP) and second table (PIV) in
// extended range: the engine's own per player where it gave them (games of
// more than 50 players), else the double.
XNUM XSHAPOF(const RUNTYP& R, int I, int P);
XNUM XPIVOF(const RUNTYP& R, int I, int P);
// COUNT values X as doubles V (infinite or zero beyond a double's range),
// for the front ends that take doubles (REPORTKINDTYP::VALUES).
void REPORTDOUBLES(const XNUM* X, double* V, int COUNT);
// values of R.X from the doubles when the engine gave none.
void REPORTTOTALS(RUNTYP& R, REPORTTYP& REP, bool PIVOTS);
// number blocks take PREC decimals.
std::string REPORTSTRING(RUNTYP R, bool PIVOTS, REPORTPROC TEXT, int PREC = 4);
// The first line of a new ".out" file: "VKX 2.0", 48 blanks and the end date.
std::string REPORTHEADER(const RUNTYP& R);
// The size check on its own: the game fits the tables and the engines, with
// at most PLAYERS weighted players (the interactive program's 50, or up to
// MAXPLAYERS where the rows have grown to hold them).
bool GAMESIZEOK(const GAMETYP& GAME, int PLAYERS = MAXACTOR);

// REPORTKINDTYP::RUN of the engine ENGINE.
template <typename RES, RES (*ENGINE)(const GAMETYP&, const RULETYP&, const HOOKSTYP&)>
STATUSTYP RUNENGINE(RUNTYP& R, const GAMETYP& GAME, const RULETYP& RULE, const HOOKSTYP& HOOKS) {
  const RES res = ENGINE(GAME, RULE, HOOKS);
  TAKE(R, res);
  return res.STATUS;
}

// REPORTKINDTYP::VALUES of a unit's extended-range values XVALUES, as
// doubles (see REPORTDOUBLES).
template <void (*XVALUES)(const RUNTYP&, const REPORTTYP&, int, int, XNUM*)>
void REPORTVALUES(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V) {
  XNUM x[REPORTCOLUMNS];
  XVALUES(R, REP, I, P, x);
  REPORTDOUBLES(x, V, REPORTCOLUMNS);
}

// Whether indices A and B take their values from one count (an index
// family's indices: banzhaf, coleman and rae from the Banzhaf counts).
inline bool SAMECOUNT(const REPORTKINDTYP& A, const REPORTKINDTYP& B) {
  return A.INDEX == B.INDEX && A.RUN == B.RUN && A.PLAN == B.PLAN;
}

// The report text and the number block of an index unit that needs no
// text of its own: one row per player with the unit's columns (10.6, and
// PREC decimals in the block), "sum of all" where the unit gives one, the
// winning coalitions and the time stamps. KIND is the unit's descriptor.
void REPORTTABLETEXT(RUNTYP& R, REPORTTYP& REP, const REPORTKINDTYP& KIND);
void REPORTTABLEBLOCK(RUNTYP& R, REPORTTYP& REP, const REPORTKINDTYP& KIND);
template <const REPORTKINDTYP& (*KIND)()>
void REPORTTABLE(RUNTYP& R, REPORTTYP& REP) {
  REPORTTABLETEXT(R, REP, KIND());
}
template <const REPORTKINDTYP& (*KIND)()>
void REPORTBLOCK(RUNTYP& R, REPORTTYP& REP) {
  REPORTTABLEBLOCK(R, REP, KIND());
}

// A run of KIND without the dialogue: GAME and RULE, counted with HOOKS
// between two stamps; STATUS the engine's.
RUNTYP RUNKIND(const REPORTKINDTYP& KIND, const GAMETYP& GAME, const RULETYP& RULE,
               const HOOKSTYP& HOOKS, STATUSTYP& STATUS);
