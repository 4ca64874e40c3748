// Shared vocabulary of the program: the fixed-size game tables, the settings
// record and the whole-text integer conversion.
//
// Glossary of the program's abbreviations (several are German):
//   GEW, GEWTYP    weights (Gewicht), [subgame][player]; GEWX further systems
//   NN, NNTYP      number of players per subgame; N all players, MM subgames
//   MEM, MEMTYP    membership: player 1..N -> subgame and number in it
//   SHAP, PIV      result tables: an index and its companion (historically
//                  Shapley values and pivot counts), [subgame][player]
//   WINSETS        number of winning (or minimal winning) coalitions
//   THRES, M, G    number of win sets, their thresholds [subgame][set], and
//                  the same win sets as boxes [set][subgame][lower/upper]
//   INTERVALL      one [lower, upper] bound; QUADER a box (cuboid) of them
//   GTYP, POINT    the win-set boxes 1..10; a point (count vector) in them
//   PERMTYP        a coalition as membership flags; PERMTYP1 a player list
//   POSTYP         policy positions [theme][player]; NTHEME themes
//   T1, T2         overall thresholds; T1ANZ, T2ANZ the number (Anzahl) of
//                  leading subgames each counts over (ISA versions)
//   OVERALL, OVERT the overall rule (none/AND/OR) and what it counts
//   ART196         the blocking minority of the second vote system, named
//                  after the treaty article it models
//   ISA, ISBA      the versions of unweighted chambers with box win sets,
//                  counted on count vectors; ISA-WP: for working plans
//   DOUB           multiple weights: two to four vote systems at once
//   MENUE, WRITELI menu (Menü); write a label with its key letter lit
//   KOAL, AKTEUR   coalition, actor (player) in the distance routines
//
// Where the program's units live now (the files are named by what they hold;
// the routines keep their names):
//   VKX            shell/menus (start, menu loop), data/settings ("vkx.ini")
//   VKXUNIT        frame/window: menu bar, submenus, command box
//   VKXDOS         data/gamefile (".inp", ".pos"); dialogue/datafiles (the
//                  load warnings and the save message on the screen)
//   VKXNAMES       data/names (player names from the data file comments)
//   VKXTHRES       data/winsets (checks, boxes); dialogue/winsetinput
//   VKXMEDIT       dialogue/editor (the data editor command)
//   MATHE1         common/numbers (binomials, number formats)
//   MATHE2         dialogue/prompts (READINT...), dialogue/boxes
//                  (READQUADLN1, WRITEQUADLN), common/similarity (POINTQUAD,
//                  DIST, DIST_MAX, DIST_KOAL)
//   VKXSHAP1       engines/run/shapley_weighted; VKXSHAP2 engines/run/shapley_chambers
//   VKXBANZ2       engines/run/banzhaf_chambers (1 = weighted data, 2 = chambers)
//   VKXPGI1, 2     engines/run/publicgood_weighted, engines/run/publicgood_chambers
//   VKXINDEX       engines/plan/planner (which method counts which game);
//                  engines/run/compute (the count by the plan)
//   WRUN, ISARUN   dialogue/wrundialog, dialogue/isadialog (run questions,
//                  coalitions drawn); engines/convert/vote_systems (SYSTEMFITS, LISTLINE)
//   VKXMCOMM       commands/runs (the run dialogue); report/report (the text)
//   VKXMSHAP, VKXMBANZ, VKXMPGI
//                  commands/shapley, commands/banzhaf, commands/publicgood;
//                  each index's report unit in report/
//   VKXMOPTI       shell/options; VKXMPRIN shell/print
//   VKXCLI         cli/args (arguments), cli/files (output files), cli/cli;
//                  api/ (loading, the rule, the run, CSV, JSON, pictures)
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#ifdef VKX_CHECKS
#include <cassert>
#define VKX_INDEX_CHECK(i, n) assert((i) < (n))
#else
#define VKX_INDEX_CHECK(i, n) ((void)0)
#endif

constexpr int MAXCHAMB = 10;  // most subgames
constexpr int MAXACTOR = 50;  // most players in a subgame and in a weighted game
// Most players of an unweighted game in all: its subgames are counts only,
// and the total is carried in 16 bits.
constexpr int MAXPLAYERS = 65535;

// A plain fixed-size table. Tables are indexed from 1 like the data they
// hold; element 0 exists and carries a total where a table needs one. The
// struct wrapper lets a whole table be copied and passed by value.
template <typename T, std::size_t SIZE>
struct TABLE {
  T v[SIZE];
  T& operator[](std::size_t i) {
    VKX_INDEX_CHECK(i, SIZE);
    return v[i];
  }
  const T& operator[](std::size_t i) const {
    VKX_INDEX_CHECK(i, SIZE);
    return v[i];
  }
  bool operator==(const TABLE&) const = default;
};

// A table along the players: SIZE entries like a TABLE, but it can grow
// for the command line's games of any size (ROWS). The interactive program
// keeps every row at its described size.
template <typename T, std::size_t SIZE>
struct ROW {
  std::vector<T> v = std::vector<T>(SIZE);
  T& operator[](std::size_t i) {
    VKX_INDEX_CHECK(i, v.size());
    return v[i];
  }
  const T& operator[](std::size_t i) const {
    VKX_INDEX_CHECK(i, v.size());
    return v[i];
  }
  std::size_t size() const { return v.size(); }
  // Room for entries 0..N (never less than SIZE); new entries are 0.
  void fit(std::size_t n) { v.resize(std::max(SIZE, n + 1)); }
  bool operator==(const ROW&) const = default;
};

using GEWTYP1 = int32_t;                                         // one weight
using GEWTYP = TABLE<ROW<int32_t, MAXACTOR + 1>, MAXCHAMB + 1>;  // [subgame][player]
using NNTYP = TABLE<int32_t, MAXCHAMB + 1>;                      // players per subgame
using MEMTYP = ROW<TABLE<int32_t, 2>, MAXACTOR + 1>;             // [player][0]=subgame, [1]=number
using SHAPTYP = TABLE<ROW<double, MAXACTOR + 1>, MAXCHAMB + 1>;  // results [subgame][player]
using INTERVALL = TABLE<int32_t, 3>;                             // [1] lower, [2] upper bound
using QUADER = TABLE<INTERVALL, MAXCHAMB + 1>;                   // one box, dimensions 1..10
using GTYP = TABLE<QUADER, 11>;                                  // win sets 1..10
using POINT = TABLE<int32_t, MAXCHAMB + 1>;                      // coordinates 1..10
using PERMTYP = TABLE<bool, MAXACTOR + 1>;                       // coalition flags 1..50
using PERMTYP1 = TABLE<uint8_t, MAXACTOR + 1>;                   // ordered player list
using POSTYP = TABLE<ROW<double, MAXACTOR + 1>, MAXCHAMB + 1>;   // [theme][player]

// The settings of a session: read from "vkx.ini" at start, changed by
// file/path, by the data commands (the remembered data name) and by the
// banzhaf dialogue (the overall rule), and kept from one command to the
// next. The shell owns the one record of a session and hands it to the
// commands; everything below them gets it by const reference.
struct SETTINGSTYP {
  std::string NAME;                 // current data file name, without extension
  std::string NAMEOUT = "default";  // report name when reports do not follow the data file
  bool OUTPUTFILE = true;           // true: reports are named after the data file
  uint8_t OUTPUTTAB = 0;            // 1: reports also append a number block to ".ouu"
  uint8_t PREC = 4;                 // decimals of the number blocks
  std::string VKXPATH;              // folder of the help file, with trailing "/"
  uint8_t INTERNAL = 0;             // 1: extended game versions are offered
  std::string WEIGHTS = "integer";  // "integer" or "longinteger"
  // The overall rule as last answered in the banzhaf dialogue (0 none, 1 AND,
  // 2 OR, any other answer none) and what it counts (0 players, 1 votes).
  // The multiple-weights Shapley run raises 0 to 1 for itself and later runs.
  int32_t OVERALL = 1;
  int32_t OVERT = 0;
  // Colours of the screen frame.
  uint8_t BACKCOL1 = 1;  // work area background
  uint8_t BACKCOL2 = 8;  // menu bar, submenu boxes, bottom line
  uint8_t TEXTCOL = 15;  // text colour

  // Weights and thresholds are entered with the wide number prompt.
  bool LONGWEIGHTS() const { return WEIGHTS == "longinteger"; }
};

// Key codes as the console hands them to the program.
constexpr int KEYEXTENDED = 0;  // an extended key: its scan code follows
constexpr int KEYBACKSPACE = 8;
constexpr int KEYENTER = 13;
constexpr int KEYESC = 27;

// Whole-text integer conversion: optional leading blanks and tabs, optional
// sign, optional base prefix ("$", "x", "X", "0x", "0X" hex, "%" binary,
// "&" octal), then only digits of that base up to the end of the text.
// Returns 0 on success, else the 1-based position of the offending
// character (VALUE is then 0). Values outside the signed 32-bit range fail.
int VALINT(std::string_view TEXT, int32_t& VALUE);
// Unsigned 16-bit variant: a "-" sign fails, and so does a value above 65535.
int VALWORD(std::string_view TEXT, uint16_t& VALUE);

// A data file name as the user typed it, completed: everything from the
// first "." on is cut, and an empty name becomes "default".
std::string NAMECUT(std::string_view TEXT);

// Removes trailing blanks (spaces only).
std::string TRIMRIGHT(std::string_view TEXT);
