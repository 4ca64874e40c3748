// Johnston's index: the power of a player is its share of the winning
// coalitions' criticality, each winning coalition's critical members (those
// without whom it loses) sharing one between them.
//
//   JS_i = the sum, over the winning coalitions S in which i is critical,
//          of 1 / (the number of critical members of S): Johnston's score;
//   JI_i = JS_i / (the sum of all scores), the index (the sum of all scores
//          is the number of winning coalitions with a critical member).
//
// Johnston, R. J. (1978), "On the measurement of power: some reactions to
// Laver", Environment and Planning A 10, 907-914.
//
// Counted by its own method, not from the Banzhaf counts (a swing's weight
// depends on the whole coalition): one weighted threshold by the table over
// sizes and weights (engines/exact/johnston_table.h), any other rule of a
// weighted game by the walk over every coalition
// (engines/walk/johnston_walk.h) up to its 30 players. Weighted data only.
//
// Example: weights 2, 1, 1, quota 3: the winning coalitions {1,2} and
// {1,3} have two critical members each, {1,2,3} one (player 1): JS = 2,
// 1/2, 1/2 and JI = 2/3, 1/6, 1/6.
#pragma once

#include "report/report.h"

const REPORTKINDTYP& JOHNSTONKIND();
