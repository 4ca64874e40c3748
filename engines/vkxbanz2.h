// Banzhaf engine for unweighted chambers with box win sets.
#pragma once

#include "engines/isacore.h"
#include "types/vkxgame.h"

// Swing totals per chamber ([d][0]) and winning coalitions of the standard
// or ISA version of RULE. PROGRESS sees every count vector.
BANZHAFRES BANZHAF_UNWEIGHTED_ISBA(const GAMETYP& GAME, const RULETYP& RULE,
                                   ISAPROGRESS PROGRESS = nullptr, void* DATA = nullptr);
