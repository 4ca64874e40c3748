// Weighted Shapley-Shubik, inclusiveness and Banzhaf engines: the counting
// core's game of a described game and rule, and results from its counts
// (engines/vkxindex.h chooses the walk or the fast counting).
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

// Shapley-Shubik values and inclusiveness shares of the standard, spatial or
// multiple-weights version (the multiple-weights, "DOUB", version is
// RULE.GAME == MULTIPLE with the game's further vote systems), from the
// COUNTS of the Shapley core on CORE (WEIGHTEDCORE of the game and rule).
// In the spatial version both are shares of the coalitions' similarity.
SHAPLEYRES SHAPLEY_WEIGHTED(const GAMETYP& GAME, const wcore::Game& CORE,
                            const wcore::Counts& COUNTS);

// Swings of each player, counted exactly, of the standard or
// multiple-weights version, from the COUNTS of the Shapley core on CORE
// (without positions).
BANZHAFRES BANZHAF_WEIGHTED(const GAMETYP& GAME, const wcore::Game& CORE,
                            const wcore::Counts& COUNTS);

// A player's swings from the walk's counts: WITH winning coalitions contain
// it, so WINS - WITH win without it, and the empty coalition, which the
// walks never visit, is one more of those when it wins.
int64_t BANZHAFSWINGS(int64_t WITH, int64_t WINS, bool EMPTYWINS);
