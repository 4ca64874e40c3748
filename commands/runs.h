// What the three index commands share: the variables of one run, the
// dialogue steps they have in common, the time stamps and the seam through
// which a report reaches the screen, the ".out" file and the ".ouu" file.
#pragma once

#include <cstdint>
#include <string>

#include "engines/compute.h"
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
  plat::Stamp TIME1{}, TIME2{};  // start and end of the engine run
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
};

using REPORTPROC = void (*)(RUNTYP& R, REPORTTYP& REP);

// One index's report as a front end without the console takes it: the text
// and the number block, whether the public good totals of PIV apply, and the
// index columns of a player row with their titles and values.
struct REPORTKINDTYP {
  INDEXTYP INDEX;
  bool PIVOTS;  // REPORTTOTALS also sums PIV
  REPORTPROC TEXT;
  REPORTPROC BLOCK;
  int COLUMNS;  // index columns of a player row, 2 or 3
  const char* TITLES[3];
  // The index columns of player P of subgame I as the report's row shows
  // them (P = 0: the row of an unweighted subgame), and with I = 0 those of
  // "sum of all", NaN where that line has no value. REP holds the totals.
  void (*VALUES)(const RUNTYP& R, const REPORTTYP& REP, int I, int P, double* V);
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
// COUNT values X as doubles V (infinite or zero beyond a double's range),
// for the front ends that take doubles (REPORTKINDTYP::VALUES).
void REPORTDOUBLES(const XNUM* X, double* V, int COUNT);

// Shows the report on the screen (TEXT), appends it to the ".out" file
// named after the data file or the settings' report name (with the file
// header when the file is new) and, when the settings ask for it, appends
// BLOCK to the ".ouu" file. A file that cannot be written is reported on
// the screen and left as it was.
void REPORTWRITE(RUNTYP& R, const SETTINGSTYP& S, REPORTTYP& REP, REPORTPROC TEXT,
                 REPORTPROC BLOCK);
// The totals of a run: the weighted subgames' totals (SHAP[i][0], and
// PIV[i][0] too when PIVOTS) and the overall sums into REP; the extended
// values of R.X from the doubles when the engine gave none.
void REPORTTOTALS(RUNTYP& R, REPORTTYP& REP, bool PIVOTS);
// The whole report of a run: REPORTTOTALS, then TEXT and BLOCK go out
// through REPORTWRITE.
void REPORTRUN(RUNTYP& R, const SETTINGSTYP& S, bool PIVOTS, REPORTPROC TEXT, REPORTPROC BLOCK);
// The report text of a run without the console, as the ".out" file
// receives it (each line ended by CR LF): REPORTTOTALS, then TEXT, whose
// number blocks take PREC decimals.
std::string REPORTSTRING(RUNTYP R, bool PIVOTS, REPORTPROC TEXT, int PREC = 4);
// The first line of a new ".out" file: "VKX 2.0", 48 blanks and the end date.
std::string REPORTHEADER(const RUNTYP& R);
// Appends PROC's lines to PATH, creating it when absent (and then writing
// HEADER first, when not empty). On any failure the file is left as it was
// and "...system error<code> on saving <PATH>" is shown. Returns the code.
int REPORTFILE(RUNTYP& R, REPORTTYP& REP, const std::string& PATH, const std::string& HEADER,
               REPORTPROC PROC);

// Dialogue steps 1 to 6: frame with TITLE, data file name (remembered in
// the settings, and in the settings' report name when reports follow the
// data file), load, size check, results cleared. False when the command has
// already ended (message and "press any key" shown).
bool RUNSTART(RUNTYP& R, SETTINGSTYP& S, const std::string& TITLE);
// The size check on its own: the game fits the tables and the engines.
bool GAMESIZEOK(const GAMETYP& GAME);
// The win sets of the loaded game (THRES, M and G of R).
void ASKWINSETS(RUNTYP& R, const SETTINGSTYP& S);
// The version as the command numbers its answer: with the internal list,
// Shapley's answer 5 (and 6) is the spatial version; 2 is multiple weights
// everywhere; 1, 3 and 4 are themselves; anything else has no engine.
VERSION VERSIONOF(int32_t ANSWER, bool SPATIALAT5);
// "version: standard(1), multiple weights(2) (1/2): " for weighted data:
// 1 stays standard, 2 becomes multiple weights, anything else none.
void ASKVERSION12(RUNTYP& R);
// Asks an overall threshold until it fits the engines' 16-bit range
// 0..65535; a refused entry is asked again with the old value as default.
// WEIGHTPROMPT: read as a weight (READWEIGHTLN), else with READINTLN.
void READTHRESHOLD16(const SETTINGSTYP& S, const std::string& PROMPT, int32_t& VALUE,
                     bool WEIGHTPROMPT);
// The two overall thresholds of the ISA versions and their subgame counts.
void THRESHOLD_INPUT3(RUNTYP& R, const SETTINGSTYP& S);
// The start and end stamps of a run (whole seconds are kept).
void STAMPSTART(RUNTYP& R);
void STAMPEND(RUNTYP& R);
// The engine of INDEX for the run's version and data, with its run
// dialogue: the further vote systems of the multiple-weights version, the
// run-mode questions, the coalitions drawn or listed, and the results taken
// into R. The standard weighted version always counts T1 as a least number
// of members; the multiple-weights Shapley and Banzhaf runs apply the
// settings' overall rule, raising "none" to AND for this and later runs.
// False with "...error on input file format" when no engine fits.
bool RUNINDEX(RUNTYP& R, SETTINGSTYP& S, INDEXTYP INDEX);
// The close of a run whose engine has finished: end stamp, the report by
// OUT, and back to the main screen.
void RUNFINISH(RUNTYP& R, SETTINGSTYP& S, void (*OUT)(RUNTYP& R, const SETTINGSTYP& S));
// "...error on input file format": no engine fits the version and the data.
void FORMATERROR();
