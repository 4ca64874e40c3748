// Public good engine for unweighted chambers with box win sets.
#pragma once

#include "engines/isacore.h"
#include "types/vkxgame.h"

// Per chamber ([d][0]) the members counted over the minimal winning
// coalitions and their size-weighted shares, and the number of minimal
// winning coalitions, of the standard version of RULE.
PUBLICGOODRES PUBLICGOOD_UNWEIGHTED_ISBA(const GAMETYP& GAME, const RULETYP& RULE,
                                         ISAPROGRESS PROGRESS = nullptr, void* DATA = nullptr);
