// What the three index commands share: the variables of one run, the
// dialogue steps they have in common, the time stamps and the seam through
// which a report reaches the screen, the ".out" file and the ".ouu" file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/files.h"
#include "types/vkxdecl.h"

// All data of one run of an index command. A command creates one when it
// starts and drops it when it returns; its local routines (dialogue steps
// and report) read and write it directly.
struct RUNTYP {
  int32_t ERRORFLAG = 0;      // code of the last load, 0 = success
  int32_t DATASTRUCTURE = 0;  // 1 weighted, 0 unweighted
  uint16_t N = 0;             // players of the whole game
  uint16_t MM = 0;            // subgames
  NNTYP NN{};
  GEWTYP GEW{};
  MEMTYP MEM{};
  int32_t THRES = 0;  // number of win sets
  GEWTYP M{};         // thresholds [subgame][win set]
  GTYP G{};           // win sets as boxes
  int32_t GAME = 1;   // 1 standard, 3 ISA, 4 ISA-WP, 5 multiple weights, 6 spatial
  int32_t T1 = 0, T2 = 0, T1ANZ = 0, T2ANZ = 0;
  SHAPTYP SHAP{};
  SHAPTYP PIV{};
  double WINSETS = 0.0;
  std::string NAME1;  // positions file, or the further weight files
  uint16_t NTHEME = 0;
  POSTYP POSITION{};
  uint16_t H1 = 0, M1 = 0, S1 = 0, H2 = 0, M2 = 0, S2 = 0, HUN = 0;
  uint16_t YEAR1 = 0, MONTH1 = 0, DAY1 = 0, YEAR2 = 0, MONTH2 = 0, DAY2 = 0, DAYNAME = 0;
};

// The report routines' own state: the totals they print and where the text
// currently goes (FLAG "screen" or "file" of the report layout).
struct REPORTTYP {
  double SUM = 0.0;    // sum of the subgame totals
  double PIVOT = 0.0;  // public good: sum of the PIV totals
  bool SCREEN = true;  // true: the screen copy, which pauses after rows
  plat::TextOut* TEXTFILE = nullptr;
};

using REPORTPROC = void (*)(RUNTYP& R, REPORTTYP& REP);

// One line of report text to the current destination.
void REPORTLINE(REPORTTYP& REP, const std::string& TEXT);
// After a player row: on the screen, waits for a key and reads it.
void REPORTWAIT(REPORTTYP& REP);
// The extended lines of tiny values: "  (extended: " and the first value in
// the 26-column scientific form, each further value on a line of its own
// indented by 13 blanks; every line but a lone first one ends in ")".
void REPORTEXTENDED(REPORTTYP& REP, const double* VALUES, int COUNT);
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

// Shows the report on the screen (TEXT), appends it to the ".out" file
// named after NAME or NAMEOUT (with the file header when the file is new)
// and, when OUTPUTTAB is 1, appends BLOCK to the ".ouu" file. A file that
// cannot be written is reported on the screen and left as it was.
void REPORTWRITE(RUNTYP& R, REPORTTYP& REP, REPORTPROC TEXT, REPORTPROC BLOCK);
// The whole report of a run: the weighted subgames' totals (SHAP[i][0], and
// PIV[i][0] too when PIVOTS) and the overall sums are formed, then TEXT and
// BLOCK go out through REPORTWRITE.
void REPORTRUN(RUNTYP& R, bool PIVOTS, REPORTPROC TEXT, REPORTPROC BLOCK);
// Appends PROC's lines to PATH, creating it when absent (and then writing
// HEADER first, when not empty). On any failure the file is left as it was
// and "...system error<code> on saving <PATH>" is shown. Returns the code.
int REPORTFILE(RUNTYP& R, REPORTTYP& REP, const std::string& PATH, const std::string& HEADER,
               REPORTPROC PROC);

// Dialogue steps 1 to 6: frame with TITLE, data file name, load, size check,
// results cleared. False when the command has already ended (message and
// "press any key" shown).
bool RUNSTART(RUNTYP& R, const std::string& TITLE);
// The size check on its own: the game fits the tables and the engines.
bool GAMESIZEOK(const RUNTYP& R);
// The win sets of the loaded game (THRES, M and G of R).
void ASKWINSETS(RUNTYP& R);
// "version: standard(1), multiple weights(2) (1/2): " for weighted data:
// 1 stays, 2 becomes 5, anything else 0.
void ASKVERSION12(RUNTYP& R);
// Asks an overall threshold until it fits the engines' 16-bit range
// 0..65535; a refused entry is asked again with the old value as default.
// WEIGHTPROMPT: read as a weight (READWEIGHTLN), else with READINTLN.
void READTHRESHOLD16(const std::string& PROMPT, int32_t& VALUE, bool WEIGHTPROMPT);
// The two overall thresholds of the ISA versions and their subgame counts.
void THRESHOLD_INPUT3(RUNTYP& R);
// The start and end stamps of a run (whole seconds are kept).
void STAMPSTART(RUNTYP& R);
void STAMPEND(RUNTYP& R);
// The common signature of the unweighted engines.
using UNWEIGHTEDPROC = void (*)(uint16_t N, uint16_t MM, const NNTYP& NN, int32_t THRES,
                                const GTYP& G, uint16_t T1, uint16_t T2, uint16_t T1ANZ,
                                uint16_t T2ANZ, SHAPTYP& SHAP, SHAPTYP& PIV, double& WINSETS);
// An unweighted engine on the run's win sets. ISA passes the run's two
// overall thresholds and their subgame counts; the standard game has none,
// which the engines take as thresholds 0 needed by 1 subgame each.
void RUNUNWEIGHTED(RUNTYP& R, UNWEIGHTEDPROC ENGINE, bool ISA);
// The weighted Shapley engine on the run's game, with T1 as the overall
// threshold; SPATIAL 1 weighs coalitions by the similarity of positions.
void RUNSHAPLEYWEIGHTED(RUNTYP& R, uint8_t SPATIAL);
// The multiple-weights Shapley engine; it asks for the further weight files,
// whose names pass through NAME1.
void RUNSHAPLEYDOUB(RUNTYP& R);
// The close of a run whose engine has finished: end stamp, the report by
// OUT, and back to the main screen.
void RUNFINISH(RUNTYP& R, void (*OUT)(RUNTYP& R));
// "...error on input file format": no engine fits the version and the data.
void FORMATERROR();
