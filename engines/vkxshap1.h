// Weighted Shapley-Shubik, inclusiveness and Banzhaf engines: a described
// game and rule in, results out. The run-mode dialogue that draws or lists
// the coalitions passes its hooks in VISITOR (engines/wrun.h).
#pragma once

#include <cstdint>

#include "engines/wcore.h"
#include "types/vkxgame.h"

// The counting-core game of a weighted GAME under RULE: the first vote
// system, and in the multiple-weights version the further ones of the game
// with the blocking rule; the overall threshold T1 as the rule counts it;
// the positions in the spatial version. False when the game does not fit
// the tables: no players or subgames, more than the tables hold, more than
// 10 win sets, a membership table that does not fit the subgames, or more
// than 10 policy dimensions.
bool WEIGHTEDCORE(const GAMETYP& GAME, const RULETYP& RULE, wcore::Game& CORE);

// The walk of the counting core over GAME under RULE for INDEX: winning
// coalitions for Shapley-Shubik (weighted by similarity in the spatial
// version) and Banzhaf, minimal winning coalitions for the public good.
// False when the game does not fit (WEIGHTEDCORE).
bool WEIGHTEDWALK(const GAMETYP& GAME, const RULETYP& RULE, INDEXTYP INDEX,
                  const wcore::Visitor* VISITOR, wcore::Game& CORE, wcore::Counts& COUNTS);

// Shapley-Shubik values and inclusiveness shares of the standard, spatial or
// multiple-weights version of RULE (the multiple-weights, "DOUB", version is
// RULE.GAME == MULTIPLE with the game's further vote systems). In the spatial version both are
// shares of the coalitions' similarity.
SHAPLEYRES SHAPLEY_WEIGHTED(const GAMETYP& GAME, const RULETYP& RULE,
                            const wcore::Visitor* VISITOR = nullptr);

// Swings of each player, counted exactly, of the standard or
// multiple-weights version of RULE (positions are not used).
BANZHAFRES BANZHAF_WEIGHTED(const GAMETYP& GAME, const RULETYP& RULE,
                            const wcore::Visitor* VISITOR = nullptr);

// A player's swings from the walk's counts: WITH winning coalitions contain
// it, so WINS - WITH win without it, and the empty coalition, which the
// walks never visit, is one more of those when it wins.
int64_t BANZHAFSWINGS(int64_t WITH, int64_t WINS, bool EMPTYWINS);
