// The one place that decides how a game is counted. Given the game, the
// rule, the index family and the front end's policy (memory budget, time
// limit, whether the walk may run or must run), it returns a plan as data
// before anything is counted: the method by name, its passes, bytes and
// seconds, the methods that follow it where it runs out of memory, and
// every candidate it weighed with why it was not taken. The counting
// (engines/run/compute.h) executes the plan as given and decides nothing;
// the command line, the menus and the library API all plan here.
//
// The candidates and their costs come from the methods' own units (each
// unit's cost function, engines/exact/method.h); the planner only orders
// them and applies the policy:
//   - the walk over every coalition when the front end needs every
//     coalition (screen control, listings);
//   - else the fast methods in the order their unit gives (the first is
//     the one planned, the others its fallbacks where it outgrows the
//     memory), then the walk where it may run (the interactive program
//     always completes; the command line walks when the walk is planned
//     under QUICKWALK seconds or --exhaustive asks for it);
//   - a plan whose first method would take beyond the time limit, or that
//     has no method at all, is refused with the time and memory it would
//     take.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engines/exact/fast_counts.h"
#include "engines/exact/method.h"
#include "engines/walk/vector_walk.h"
#include "engines/walk/weighted_walk.h"
#include "types/vkxgame.h"

namespace planner {

// What the front end allows.
struct POLICYTYP {
  // Bytes the counting may take; 0: the methods' own limits (and never
  // more than the machine can give).
  std::size_t BUDGET = 0;
  // CPU seconds a plan may take; 0: no limit (the interactive program).
  double SECONDS = 0;
  // The walk may follow the fast methods whatever it takes (the
  // interactive program; --exhaustive), or only when planned under
  // QUICKWALK seconds.
  bool WALKS = true;
  // Every coalition must be visited (screen control, listings).
  bool WALK = false;
  // Players the walk takes at the most.
  int WALKPLAYERS = MAXACTOR;
};

// A walk planned under QUICKWALK seconds runs without being asked for.
constexpr double QUICKWALK = 60;
// Count vectors up to which a quiet run still walks a count-vector game
// whose counts doubles hold: some 10 ms of the walk.
constexpr double QUIETVECTORS = 1 << 18;

// One candidate weighed for a step: the method, what it would take, and
// why it was not planned (empty for the one planned).
struct CANDIDATETYP {
  METHODTYP METHOD = METHODTYP::NONE;
  COSTTYP COST;
  std::string WHY;
};

// The plan of one count: an index family of one game under one rule.
struct STEPTYP {
  INDEXTYP INDEX = INDEXTYP::SHAPLEY;
  int PLAYERS = 0;
  METHODTYP METHOD = METHODTYP::NONE;  // planned; NONE when refused
  int PASSES = 1;
  std::size_t BYTES = 0;
  double SECONDS = 0;  // CPU seconds
  bool SURE = true;    // the figures are not an upper bound the count may exceed
  // The methods tried in turn: METHOD, then those that follow it where it
  // outgrows the memory.
  std::vector<METHODTYP> ORDER;
  std::vector<CANDIDATETYP> CANDIDATES;
  double WALKSECONDS = 0;  // the walk, for the refusals' words
  std::size_t BUDGET = 0;  // the budget the fast methods count within
  // Refused by the policy: nothing counts the game within it. METHOD then
  // names what would count it and SECONDS and BYTES what that would take.
  bool REFUSED = false;
  std::string REASON;
};

// The plan of INDEX of a weighted game (the counting game CORE, as
// WEIGHTEDCORE makes it).
STEPTYP PLANWEIGHTED(const weightedwalk::Game& CORE, INDEXTYP INDEX, const POLICYTYP& POLICY);
// The plan of a count of PLAYERS players by the fast methods OPTIONS (in
// the order they are tried) and the walk at its cost WALK, under POLICY:
// PLANWEIGHTED with a family's own methods, and the plan of an index with
// a count of its own (report/johnston.h). UNCOVERED: why no fast method
// applies, where OPTIONS is empty.
STEPTYP PLANOPTIONS(int PLAYERS, INDEXTYP INDEX, const std::vector<fastcount::Option>& OPTIONS,
                    const COSTTYP& WALK, const char* UNCOVERED, const POLICYTYP& POLICY);
// The plan of INDEX of unweighted chambers: the count vectors walked while
// that is quick and doubles hold the counts, else the dynamic program over
// the chambers.
STEPTYP PLANCHAMBERS(const ISAGAME& GAME, INDEXTYP INDEX, const POLICYTYP& POLICY);
// The plan of INDEX of GAME under RULE, either kind; REFUSED with no method
// where the game does not fit the tables.
STEPTYP PLANGAME(const GAMETYP& GAME, const RULETYP& RULE, INDEXTYP INDEX, const POLICYTYP& POLICY);

// Seconds the walk over every coalition of CORE takes for INDEX, as
// measured.
double WALKSECONDS(const weightedwalk::Game& CORE, INDEXTYP INDEX);

}  // namespace planner
