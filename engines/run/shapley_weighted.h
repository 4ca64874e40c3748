// Weighted Shapley-Shubik, inclusiveness and Banzhaf engines: results from
// the counts of the winning coalitions (engines/run/compute.h chooses the walk
// or the fast counting; engines/convert/counting_game.h makes the counting game).
#pragma once

#include <cstdint>

#include "engines/convert/counting_game.h"
#include "engines/walk/weighted_walk.h"
#include "types/vkxgame.h"

// Shapley-Shubik values and inclusiveness shares of the standard, spatial or
// multiple-weights version (the multiple-weights, "DOUB", version is
// RULE.GAME == MULTIPLE with the game's further vote systems), from the
// COUNTS of the Shapley core on CORE (WEIGHTEDCORE of the game and rule).
// In the spatial version both are shares of the coalitions' similarity.
SHAPLEYRES SHAPLEY_WEIGHTED(const GAMETYP& GAME, const weightedwalk::Game& CORE,
                            const weightedwalk::WinCounts& COUNTS);

// Swings of each player, counted exactly, of the standard or
// multiple-weights version, from the COUNTS of the Shapley core on CORE
// (without positions).
BANZHAFRES BANZHAF_WEIGHTED(const GAMETYP& GAME, const weightedwalk::Game& CORE,
                            const weightedwalk::WinCounts& COUNTS);

// A player's swings from the walk's counts: WITH winning coalitions contain
// it, so WINS - WITH win without it, and the empty coalition, which the
// walks never visit, is one more of those when it wins.
int64_t BANZHAFSWINGS(int64_t WITH, int64_t WINS, bool EMPTYWINS);
