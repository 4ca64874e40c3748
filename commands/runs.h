// What the three index commands share: the dialogue steps they have in
// common and the seam through which a report reaches the screen, the ".out"
// file and the ".ouu" file.
#pragma once

#include <cstdint>
#include <string>

#include "report/report.h"

// Shows the report on the screen (TEXT), appends it to the ".out" file
// named after the data file or the settings' report name (with the file
// header when the file is new) and, when the settings ask for it, appends
// BLOCK to the ".ouu" file. A file that cannot be written is reported on
// the screen and left as it was.
void REPORTWRITE(RUNTYP& R, const SETTINGSTYP& S, REPORTTYP& REP, REPORTPROC TEXT,
                 REPORTPROC BLOCK);
// The totals of a run: the weighted subgames' totals (SHAP[i][0], and
// PIV[i][0] too when PIVOTS) and the overall sums into REP; the extended
// The whole report of a run of KIND: REPORTTOTALS, then its text and its
// number block go out through REPORTWRITE.
void REPORTRUN(RUNTYP& R, const SETTINGSTYP& S, const REPORTKINDTYP& KIND);
// The report text of a run without the console, as the ".out" file
// receives it (each line ended by CR LF): REPORTTOTALS, then TEXT, whose
// Appends PROC's lines to PATH, creating it when absent (and then writing
// HEADER first, when not empty). On any failure the file is left as it was
// and "...system error<code> on saving <PATH>" is shown. Returns the code.
int REPORTFILE(RUNTYP& R, REPORTTYP& REP, const std::string& PATH, const std::string& HEADER,
               REPORTPROC PROC);

// Dialogue steps 1 to 6: frame with TITLE, data file name (remembered in
// the settings, and in the settings' report name when reports follow the
// data file), load, size check, results cleared. False when the command has
// already ended (message and "press any key" shown). COMMAND: the command
// line's name of the index, offered for a weighted game beyond the screens.
bool RUNSTART(RUNTYP& R, SETTINGSTYP& S, const std::string& TITLE, const char* COMMAND);
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
// The engine of KIND for the run's version and data, with its run
// dialogue: the further vote systems of the multiple-weights version, the
// run-mode questions, the coalitions drawn or listed, and the results taken
// into R. The standard weighted version always counts T1 as a least number
// of members; the multiple-weights Shapley and Banzhaf runs apply the
// settings' overall rule, raising "none" to AND for this and later runs.
// False with "...error on input file format" when no engine fits, and when
// the dialogue or the engine ended the run without results (a further data
// file that cannot be loaded, win sets that do not pair up, a refused game:
// the message and its key wait shown): the command then writes no report.
bool RUNINDEX(RUNTYP& R, SETTINGSTYP& S, const REPORTKINDTYP& KIND);
// The close of a run whose engine has finished: end stamp, the report of
// KIND (REPORTRUN), and back to the main screen.
void RUNFINISH(RUNTYP& R, SETTINGSTYP& S, const REPORTKINDTYP& KIND);
// "...error on input file format": no engine fits the version and the data.
void FORMATERROR();
