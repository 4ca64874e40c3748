// The exhaustive walks: the reference every faster method is checked
// against.
//
//   weighted_walk  every non-empty coalition of a weighted game, one by one
//                  (binary counting order, player 1 the lowest digit), its
//                  sums carried along; counts winning coalitions, swings
//                  and minimal winning coalitions. Any rule: several win
//                  sets, vote systems, overall thresholds, the blocking
//                  minority, negative weights, the spatial similarity of
//                  each coalition. Cost 2^n coalitions (about 30 ns each, a
//                  spatial one more with its pairs of members); up to 63
//                  players, 50 where a visitor sees every coalition.
//   vector_walk    every member-count vector of unweighted chambers in the
//                  boxes of the win sets, the coalitions behind each
//                  counted by binomials. Cost the vectors of the boxes
//                  (product of the chambers' sizes at the most); chambers
//                  of any size, sums in doubles.
//
// When to use which: the walks are what screen control and listings need
// (every coalition shown), what counts a rule no fast method covers (a
// negative weight, the spatial version), and the reference in every
// differential test. For counts alone the planner (engines/plan) prefers
// the exact fast methods (engines/exact), which give the walk's counts to
// the last bit.
#pragma once

#include "engines/walk/vector_walk.h"
#include "engines/walk/weighted_walk.h"
