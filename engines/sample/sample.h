// The samplers: estimates of the weighted games' indices for games no
// exact method counts within the budget and the time, any number of
// players, any rule the walk reads.
//
//   sampler   Shapley-Shubik by random orders (the pivot of each), Banzhaf
//             by random coalitions (the swings of each player), the public
//             good and Deegan-Packel indices by coalitions drawn by size;
//             each value with its standard error, until every error is
//             below the one asked for or at the cap. Fixed seeds: a run
//             repeats.
//
// When to use: only when asked (--estimate); the planner counts exactly
// wherever a method fits.
#pragma once

#include "engines/sample/sampler.h"
