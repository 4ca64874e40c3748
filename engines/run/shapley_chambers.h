// Shapley-Shubik engines for unweighted chambers with box win sets, counted
// on member-count vectors: the totals of a count (engines/run/compute.h chooses
// the walk or the fast core) in, results out, no dialogue.
#pragma once

#include "engines/exact/chamber_program.h"
#include "types/vkxgame.h"

// Shapley-Shubik and inclusiveness totals per chamber ([d][0] of SS and II,
// and [d][1] of II: the share of winning coalitions with a member of d) of
// the standard or ISA version, from TOTALS counted as ISAKIND::SHAPLEY.
// The count and the [d][0] totals also in extended range (X).
SHAPLEYRES SHAPLEY_UNWEIGHTED_ISBA(const ISAGAME& GAME, const ISAXTOTALS& TOTALS);
// The same under the working-plan rule, from TOTALS counted as
// ISAKIND::WORKINGPLAN: the overall thresholds bind only the first two win
// sets (II[d][1] stays 0).
SHAPLEYRES SHAPLEY_UNWEIGHTED_ISBA_WORKINGPLAN(const ISAGAME& GAME, const ISAXTOTALS& TOTALS);
