// The outputs of the command line besides the report: one CSV row per
// player and a JSON object, both with the numbers the report shows, at full
// double precision.
#pragma once

#include <cstdint>
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
  std::string METHOD;                // the method that counted it, by its planner name
};

// A number in its shortest form that reads back as the same double; "" for
// NaN (a column the report leaves empty).
std::string NUMTEXT(double X);
// A CSV field, quoted when it holds a comma, a quote or a line end.
std::string CSVFIELD(const std::string& TEXT);
// TEXT for a message on standard error: control bytes shown as "\x1b", so
// that a file name or an argument cannot drive the terminal.
std::string SHOWNTEXT(std::string_view TEXT);

// The runs of one rule: one per index asked for, all of the same game and
// rule. QUOTA is the whole number a threshold given as a share or swept over
// a range stands for (HASQUOTA false: none was).
struct CLISETTYP {
  std::vector<CLIRUNTYP> RUNS;
  bool HASQUOTA = false;
  int64_t QUOTA = 0;
};

// The columns of the runs of SET after "subgame,player,name,weight": each
// index's column titles in turn, a title already taken prefixed with the
// index's name ("banzhaf_NBZ").
std::vector<std::string> CSVCOLUMNS(const CLISETTYP& SET);
// "subgame,player,name,weight" (led by "quota" when the sets have one), and
// for every index its columns and the method that counted it
// ("shapley_method"; empty in the "sum of all" row), then one row per player of a weighted game
// (one per subgame, player "i" of weight 1, for an unweighted game, as in
// the report) for each set in turn; with TOTALS each set ends in a row
// ",,sum of all,," with the values of the report's "sum of all" line.
// Lines end in LF.
std::string CSVTEXT(const std::vector<CLISETTYP>& SETS, bool TOTALS);
// The same table as fields: the column titles, then per row each field's
// text as the CSV writes it (before quoting) and the number it stands for
// (NaN for a name, a method, an empty field, the player "i" of a chamber,
// or a count beyond a double's range, whose scientific text is kept).
// TOTAL marks the "sum of all" rows. The packages and the page read this.
struct CSVCELLTYP {
  std::string TEXT;
  double VALUE = 0;
};
struct CSVTABLETYP {
  std::vector<std::string> COLUMNS;
  std::vector<std::vector<CSVCELLTYP>> ROWS;
  std::vector<bool> TOTAL;
};
CSVTABLETYP CSVTABLE(const std::vector<CLISETTYP>& SETS, bool TOTALS);
// One JSON object per set: the index, its "method" and the version, the game, the rule, the
// column titles, one object per row as in the CSV, "sum of all", the number
// of winning (minimal winning) coalitions, the decision probability (not for
// the public good index) and the run's time stamps; "quota" first when the
// set has one. A set of several indices is one object with "indices", their
// "methods" and every index's columns. ARRAY (a sweep): the objects in a JSON array.
// Ends in LF.
std::string JSONTEXT(const std::vector<CLISETTYP>& SETS, bool ARRAY);
// The reports of every set, one after another: each index's report text,
// once for indices that share one (banzhaf and coleman).
std::string REPORTTEXT(const std::vector<CLISETTYP>& SETS);

// One row of the player table for a picture: the player's name (or its
// number), its weight's share of its subgame's total (one member's share in
// an unweighted chamber), and the index columns' values.
struct CLIROWTYP {
  std::string LABEL;
  double SHARE = 0;
  double V[REPORTCOLUMNS] = {};
};
std::vector<CLIROWTYP> CLIROWS(const CLIRUNTYP& RUN);
// The column of RUN that a picture shows: the first whose values over all
// players add up to one (SS, NBZ, PGI), -1 for none (coleman).
int CLISHARECOLUMN(const CLIRUNTYP& RUN);
