// One coalition held against the rule of a weighted game (vkx check GAME
// --winset ... --yes NAME,...): whether it wins, each threshold's total
// against its quota (every win set, vote system and subgame, the overall
// threshold and the blocking minority), its critical members (without
// whom it loses) and, for a losing coalition, a smallest set of absent
// players whose joining makes it win; with its report, CSV and JSON.
#pragma once

#include <string>
#include <vector>

#include "api/run.h"
#include "engines/walk/weighted_walk.h"

struct CHECKTYP {
  LOADEDTYP LOADED;
  RULETYP RULE;
  CLISETTYP SET;         // the quota a share stands for
  std::vector<int> YES;  // the coalition's players (game-wide numbers), as typed
  bool WINS = false;
  // One threshold of a win set: its vote system (1: the primary game) and
  // subgame, the coalition's total there and the quota.
  struct LINE {
    int WINSET = 0, SYSTEM = 0, SUBGAME = 0;
    int64_t TOTAL = 0, QUOTA = 0;
    bool REACHED = false;
  };
  std::vector<LINE> THRESHOLDS;
  // The overall threshold where the rule has one: "and" (a coalition below
  // it loses) or "or" (a coalition reaching it wins), in "members" or
  // "votes" (of the primary system).
  bool OVERALL = false;
  std::string OVERALLRULE, OVERALLUNIT;
  int64_t OVERALLTOTAL = 0, OVERALLQUOTA = 0;
  // The blocking minority: the second system's votes outside the
  // coalition less the least of them, against the blocking threshold.
  bool BLOCKING = false, BLOCKED = false;
  int64_t OUTSIDE = 0, BLOCKTHRESHOLD = 0;
  std::vector<int> CRITICAL;
  // A losing coalition: a smallest set of absent players that makes it win
  // (JOINABLE false: not even all of them do); SMALLEST false where the
  // search stopped at its limit and JOIN is the heaviest players' set that
  // wins, not proven the smallest.
  std::vector<int> JOIN;
  bool JOINABLE = true, SMALLEST = true;
};

// Most coalitions the search for the smallest joining set tries.
constexpr double CHECKSEARCHMAX = 2e8;

// Loads the game and rule of A (a weighted game, one quota), the coalition
// YES (names or numbers, comma-separated) and checks it into C; false with
// F set for a request that does not fit.
bool CHECKRUN(const REQUESTTYP& A, const std::string& YES, CHECKTYP& C, FAILTYP& F);

// The check itself, of the coalition C.YES in the counting game CORE (the
// game and rule as engines/convert/counting_game.h makes them), into C.
void CHECKCOALITION(const weightedwalk::Game& CORE, CHECKTYP& C);

std::string CHECKREPORT(const CHECKTYP& C);
// One row per fact: "item,winset,system,subgame,player,name,total,quota,result"
// with the items coalition, threshold, overall, blocking, member (result
// "critical" or empty) and join.
std::string CHECKCSV(const CHECKTYP& C);
std::string CHECKJSON(const CHECKTYP& C);
