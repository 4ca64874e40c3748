// The winning rule of a run from the --winset texts and the options beyond
// them: thresholds as whole numbers, shares of a subgame's total ("62%",
// "majority") or one range of quotas ("50%:75%:1%", "240:290:10") run quota
// by quota, with the win-set dialogue's checks and messages.
#pragma once

#include <cstdint>
#include <vector>

#include "api/load.h"
#include "api/output.h"

// The one threshold of the --winset texts given as a range, LO:HI[:STEP]:
// where it stands (vote system, win set, subgame) and the whole numbers it
// runs through, each once and rising.
struct SWEEPTYP {
  int SYSTEM = -1;
  std::size_t WINSET = 0;
  std::size_t SUBGAME = 0;
  std::vector<int64_t> QUOTAS;
  int64_t SHARETOTAL = 0;  // typed as shares (50%:75%): the total they are of; else 0
};

// Finds the range among the --winset texts of every vote system.
bool FINDSWEEP(const REQUESTTYP& A, const GAMETYP& GAME, SWEEPTYP& SWEEP, FAILTYP& F);
// The rule of one run at QUOTA (the swept threshold's value): the win sets
// of every vote system and the options beyond them. SET learns the whole
// number a share or the sweep stands for.
bool RULEOF(const REQUESTTYP& A, const GAMETYP& GAME, VERSION VERSION, const SWEEPTYP& SWEEP,
            int64_t QUOTA, RULETYP& RULE, CLISETTYP& SET, FAILTYP& F);
