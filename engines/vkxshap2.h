// Shapley-Shubik engines for unweighted chambers with box win sets, counted
// on member-count vectors: a described game and rule in, results out, no
// dialogue.
#pragma once

#include "engines/isacore.h"
#include "types/vkxgame.h"

// Shapley-Shubik and inclusiveness totals per chamber ([d][0] of SS and II,
// and [d][1] of II: the share of winning coalitions with a member of d) of
// the standard or ISA version of RULE. PROGRESS sees every count vector.
SHAPLEYRES SHAPLEY_UNWEIGHTED_ISBA(const GAMETYP& GAME, const RULETYP& RULE,
                                   ISAPROGRESS PROGRESS = nullptr, void* DATA = nullptr);
// The same under the working-plan rule: the overall thresholds bind only
// the first two win sets (II[d][1] stays 0).
SHAPLEYRES SHAPLEY_UNWEIGHTED_ISBA_WORKINGPLAN(const GAMETYP& GAME, const RULETYP& RULE,
                                               ISAPROGRESS PROGRESS = nullptr,
                                               void* DATA = nullptr);
