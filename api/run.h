// The counting of a run: every index asked for, under every rule of the
// run (one per quota of a range), planned before it starts and refused
// at once when it would outrun the memory or the time; or sampled instead
// (--estimate). The one call every front end makes once the game is loaded.
#pragma once

#include <vector>

#include "api/rule.h"
#include "engines/plan/planner.h"

// The plan of a whole run: one planner step per index family and rule
// (indices that share counts share a step; with --estimate a sampling step,
// or the exact count that takes its place under a second), the totals, the
// budget and the time limit it was made within, and whether it is refused
// (with the program's message). NOTES are lines for the user (a budget
// held to the process's limit, an index counted instead of sampled).
struct RUNPLANTYP {
  struct ENTRY {
    std::size_t SET = 0;  // the rule (quota) of the run
    std::vector<const REPORTKINDTYP*> KINDS;
    planner::STEPTYP STEP;
  };
  std::vector<ENTRY> STEPS;
  double SECONDS = 0;     // CPU seconds of every step
  std::size_t BYTES = 0;  // the largest step's peak
  std::size_t BUDGET = 0;
  double LIMIT = 0;  // seconds; 0: none (--exhaustive)
  bool ESTIMATE = false;
  double ERROR = 0;  // the error an estimate asks for
  bool REFUSED = false;
  std::string REASON;
  std::vector<std::string> NOTES;
};

// The whole of one run: the request's game as loaded, its version, the
// range of quotas, the indices, the rule of each quota and the plan, and
// after the count one set of runs per quota.
struct RUNSETTYP {
  LOADEDTYP LOADED;
  VERSION GAMEVERSION = VERSION::STANDARD;
  SWEEPTYP SWEEP;
  std::vector<const REPORTKINDTYP*> KINDS;
  std::vector<RULETYP> RULES;
  RUNPLANTYP PLAN;
  std::vector<CLISETTYP> SETS;
  // Lines for the user from the count (an estimate that missed the error
  // asked, an index without any event drawn).
  std::vector<std::string> NOTES;
};

// Loads and checks everything of A before any counting: the game, the
// indices for its version, the range of quotas and the first rule.
bool PREPARERUN(const REQUESTTYP& A, RUNSETTYP& RUN, FAILTYP& F);
// The plan of every index under every rule of RUN, before any counting,
// within the budget (the request's, held to the process's limits, or the
// memory available now) and the time limit (none with --exhaustive); false
// with F set (REFUSED) when the plan is refused. The plan is in RUN.PLAN
// either way.
bool PLANRUN(const REQUESTTYP& A, RUNSETTYP& RUN, FAILTYP& F);
// Counts (or samples) every index of RUN under each of its rules into
// RUN.SETS by the plan (planned first where PLANRUN was not called).
bool COUNTRUN(const REQUESTTYP& A, RUNSETTYP& RUN, FAILTYP& F);

// A time in the refusals' words: "about 5800 hours", "about 12 minutes".
std::string ABOUTTEXT(double SECONDS);
// A size in the plans' words: "2.1 GB", "45 MB", "12 KB".
std::string BYTESTEXT(std::size_t BYTES);
