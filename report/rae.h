// Rae's index: the probability that the outcome agrees with the player's
// vote when every coalition is equally likely (each player votes yes with
// probability 1/2, independently): the coalitions that win with the player
// in them and those that lose with it outside, over all 2^n.
//
//   RAE_i = 1/2 + s_i / 2^n = 1/2 + NNBZ_i / 2,
//
// s_i the player's swings, NNBZ_i its absolute Banzhaf index (the Penrose
// measure): so it comes from the Banzhaf counts, and is offered wherever
// the Banzhaf index is (an unweighted chamber's row: each of its members).
//
// Rae, D. W. (1969), "Decision-rules and individual values in
// constitutional choice", American Political Science Review 63, 40-56.
//
// Example: weights 2, 1, 1, quota 3 (n = 3): player 1 swings in 3 of the 8
// coalitions, the others in 1: RAE = 1/2 + 3/8 = 7/8, 5/8, 5/8.
#pragma once

#include "report/report.h"

const REPORTKINDTYP& RAEKIND();
