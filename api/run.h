// The counting of a run: every index asked for, under every rule of the
// run (one per quota of a range), planned before it starts and refused
// at once when it would outrun the memory or the time; or sampled instead
// (--estimate). The one call every front end makes once the game is loaded.
#pragma once

#include <vector>

#include "api/rule.h"

// The whole of one run: the request's game as loaded, its version, the
// range of quotas, the indices, and after the count one set of runs per
// quota.
struct RUNSETTYP {
  LOADEDTYP LOADED;
  VERSION GAMEVERSION = VERSION::STANDARD;
  SWEEPTYP SWEEP;
  std::vector<const REPORTKINDTYP*> KINDS;
  std::vector<CLISETTYP> SETS;
};

// Loads and checks everything of A before any counting: the game, the
// indices for its version, the range of quotas and the first rule.
bool PREPARERUN(const REQUESTTYP& A, RUNSETTYP& RUN, FAILTYP& F);
// Counts (or samples) every index of RUN under each of its rules into
// RUN.SETS.
bool COUNTRUN(const REQUESTTYP& A, RUNSETTYP& RUN, FAILTYP& F);

// A time in the refusals' words: "about 5800 hours", "about 12 minutes".
std::string ABOUTTEXT(double SECONDS);
