// The exact fast methods: the walk's counts (engines/walk) without visiting
// every coalition. Each unit gives its count and, beside it, its cost on a
// game (engines/exact/method.h) from measured rates, so that the planner
// (engines/plan) can choose among them before any work.
//
//   method                      cost                                 serves
//   size_weight_table           O(m^2 Q) cells by size and weight;   one weighted threshold (with
//   an
//                               8 bytes a cell, Q the smaller of     overall threshold in members):
//                               quota and total less quota           Shapley-Shubik, public good
//   size_weight_table (lines)   O(m Q): by weight alone              Banzhaf (no sizes needed)
//   banzhaf_doubles             O(m Q) in doubles, one pass          Banzhaf beyond 63 players
//   shapley_quadrature          O(m Q) per node, m/2 nodes           Shapley-Shubik beyond 63
//   players double_majority_table       O(m Q1 Q2) by size and two weights   a double majority of
//   one subgame decision_diagram            nodes of the rule's diagram (one     any monotone rule:
//   several win
//                               level per player)                    sets, systems, blocking
//   chamber_program             O(sum of chamber sizes squared)      unweighted chambers
//   modular                     one pass per prime where counts      every method above beyond 63
//                               exceed 64 bits (n / 62 passes)       players, exact
//
// m is the number of players of positive weight. Where to look:
//   fast_counts    the rule split into its size part and the rest
//                  (SIZERULE, ASTHRESHOLD), each method's options and
//                  costs for a game (OPTIONS) and the count by one named
//                  method (COUNT_WITH); the counts as the walk gives them.
//   size_profile   counts by coalition size, per player (what the tables
//                  and the diagram give); row_split: a table's long rows on
//                  two cores.
//
// When to use which: the planner takes them in the order OPTIONS gives
// (the doubles' table or the quadrature where the 64-bit counts end, the
// table unless the diagram is far smaller, the diagram) within the budget;
// the walk where none applies or fits. The spatial version has its own
// table, spatial_table (O(n^3 C), C the smaller of quota and total less
// quota: one weighted threshold, the walk's similarity-weighted counts in
// doubles), the planner's candidate for it alone. Not covered here:
// negative weights (the walk).
#pragma once

#include "engines/exact/banzhaf_doubles.h"
#include "engines/exact/chamber_program.h"
#include "engines/exact/decision_diagram.h"
#include "engines/exact/double_majority_table.h"
#include "engines/exact/fast_counts.h"
#include "engines/exact/method.h"
#include "engines/exact/modular.h"
#include "engines/exact/shapley_quadrature.h"
#include "engines/exact/size_weight_table.h"
#include "engines/exact/spatial_table.h"
