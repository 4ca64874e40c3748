// The counting cores' game (engines/walk/weighted_walk.h) of a described game and rule:
// the one conversion every weighted index runs through.
#pragma once

#include "engines/walk/weighted_walk.h"
#include "types/vkxgame.h"

// The counting-core game of a weighted GAME under RULE: the first vote
// system, and in the multiple-weights version the further ones of the game
// with the blocking rule; the overall threshold T1 as the rule counts it;
// the positions in the spatial version. False when the game does not fit
// the tables: no players or subgames, more than the rows hold (50 players,
// or as many as they have grown to, the positions' rows too), more than 10
// win sets, a membership table that does not fit the subgames, or more than
// 10 policy dimensions.
bool WEIGHTEDCORE(const GAMETYP& GAME, const RULETYP& RULE, weightedwalk::Game& CORE);
