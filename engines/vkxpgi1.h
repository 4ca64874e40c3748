// Weighted public good engine: minimal winning coalitions.
#pragma once

#include "engines/wcore.h"
#include "types/vkxgame.h"

// Per player the minimal winning coalitions that contain it and their
// size-weighted shares, and the number of minimal winning coalitions, of
// the standard or multiple-weights version of RULE.
PUBLICGOODRES PUBLICGOOD_WEIGHTED(const GAMETYP& GAME, const RULETYP& RULE,
                                  const wcore::Visitor* VISITOR = nullptr);
