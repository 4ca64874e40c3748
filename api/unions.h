// Power with a priori unions (--unions "A,B;C;D,E" on shapley and
// banzhaf): the Owen value or the Banzhaf-Owen value of every player and
// the unions' own values in the quotient game (engines/exact/union_values.h),
// of a weighted game under one rule, with its report, CSV and JSON.
#pragma once

#include <string>
#include <vector>

#include "api/run.h"
#include "engines/exact/union_values.h"

struct UNIONRUNTYP {
  LOADEDTYP LOADED;
  RULETYP RULE;
  CLISETTYP SET;  // the quota a share stands for
  unions::KIND KIND = unions::KIND::OWEN;
  std::vector<int> UNIONOF;  // [p] the union of player p, 0..M-1, in the order typed
  int M = 0;
  unions::RESULTTYP VALUES;
  std::string METHOD;  // "union_functions" or "union_enumeration"
  plat::Stamp TIME1{}, TIME2{};
};

// The unions of TEXT in the game of L: UNIONOF[p] and M, the unions typed
// first, then each player not named alone; false with a usage error for a
// player named twice or a name no player has.
bool UNIONSOF(const std::string& TEXT, const LOADEDTYP& L, std::vector<int>& UNIONOF, int& M,
              FAILTYP& F);
// Loads the game of A (one index, shapley or banzhaf, one rule of a
// weighted game), reads its unions and counts; false with F set where the
// game or the request does not fit, or the count would take too long.
bool UNIONSRUN(const REQUESTTYP& A, UNIONRUNTYP& U, FAILTYP& F);

// The outputs: the report (players by union, then the unions), one CSV row
// per player with its union's value beside its own, and a JSON object with
// "players" and "unions".
std::string UNIONSREPORT(const UNIONRUNTYP& U);
std::string UNIONSCSV(const UNIONRUNTYP& U);
std::string UNIONSJSON(const UNIONRUNTYP& U);
