// The outputs of the command line besides the report: one CSV row per
// player and a JSON object, both with the numbers the report shows, at full
// double precision.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/report.h"

// One finished run as the command line hands it to its outputs.
struct CLIRUNTYP {
  const REPORTKINDTYP* KIND = nullptr;
  RUNTYP R;                          // game, rule, results and stamps, before the totals
  std::vector<std::string> NAMES;    // player names [1..N] from the data file ("" for none)
  std::vector<std::string> SYSTEMS;  // data files of vote systems 2..VS (multiple weights)
};

// A number in its shortest form that reads back as the same double; "" for
// NaN (a column the report leaves empty).
std::string NUMTEXT(double X);
// A CSV field, quoted when it holds a comma, a quote or a line end.
std::string CSVFIELD(const std::string& TEXT);
// TEXT for a message on standard error: control bytes shown as "\x1b", so
// that a file name or an argument cannot drive the terminal.
std::string SHOWNTEXT(std::string_view TEXT);

// "subgame,player,name,weight" and the report's index column titles, then
// one row per player of a weighted game (one per subgame, player "i" of
// weight 1, for an unweighted game, as in the report) and a last row
// ",,sum of all,," with the values of the report's "sum of all" line.
// Lines end in LF.
std::string CSVTEXT(const CLIRUNTYP& RUN);
// One JSON object: the index and version, the game, the rule, the column
// titles, one object per row as in the CSV, "sum of all", the number of
// winning (minimal winning) coalitions, the decision probability (not for
// the public good index) and the run's time stamps. Ends in LF.
std::string JSONTEXT(const CLIRUNTYP& RUN);
