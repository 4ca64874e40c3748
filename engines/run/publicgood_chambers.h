// Public good engine for unweighted chambers with box win sets.
#pragma once

#include "engines/exact/chamber_program.h"
#include "types/vkxgame.h"

// Per chamber ([d][0]) the members counted over the minimal winning
// coalitions and their size-weighted shares, and the number of minimal
// winning coalitions, of the standard version, from TOTALS counted as
// ISAKIND::PUBLICGOOD; all also in extended range (X).
PUBLICGOODRES PUBLICGOOD_UNWEIGHTED_ISBA(const ISAGAME& GAME, const ISAXTOTALS& TOTALS);
