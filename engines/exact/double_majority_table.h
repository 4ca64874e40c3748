// Counting a double majority with a dense table: the rule "the coalition's
// weight reaches Q1 in the primary system and Q2 in the second", over the
// players of one subgame, counted by size (or without sizes, as the Banzhaf
// index needs) for the fast counting of engines/exact/fast_counts.h.
//
// A coalition wins exactly when the players outside it weigh at most
// R1 = TOTAL1 - Q1 and R2 = TOTAL2 - Q2, so the table holds the subsets by
// size with their two weights capped at R1 and R2, cumulatively: CF[k][u][v]
// is the number of subsets of k players weighing at most u and v. Adding a
// player of weights (A, B) is CF[k][u][v] += CF[k-1][u-A][v-B]; taking it
// out again (the subsets without it, dividing the generating polynomial by
// 1 + x y^A z^B) is the alternating sum CF[k] - CF[k-1] shifted by (A, B) +
// ..., so the counts of every player cost only n^2 look-ups each after one
// build of the table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/exact/size_profile.h"
#include "engines/walk/weighted_walk.h"

namespace doublemajority {

// The rule in the form the table counts: the weights that bind (0 in a
// system whose threshold does not) and the most the players outside a
// winning coalition may weigh in each system.
struct Shape {
  int n = 0;
  std::vector<int64_t> a, b;  // [p], p = 1..n
  int64_t r1 = 0, r2 = 0;
};

// Whether the rule of G, apart from its overall threshold in members, is
// such a double majority: two vote systems, one subgame, no blocking, one
// win set that can be met (each system's threshold binding or not), and at
// most an AND threshold in primary votes. Fills S; the weights must not be
// negative (the fast counting checks that first).
bool SHAPE(const weightedwalk::Game& G, Shape& S);

// Cells (8 bytes each) of the table: by size, or without sizes.
double CELLS(const Shape& S, bool BYSIZE);
// Players that enter the table without sizes (those weighing something).
int PLAYERS(const Shape& S);

// The winning coalitions by size into F (sized for S.n players and one
// subgame), in RING (fastcount::WRAP or fastcount::MODP).
template <class RING>
void COUNT(const Shape& S, fastcount::Profile& F, const RING& RG);

// The same without sizes.
template <class RING>
void TOTALS(const Shape& S, fastcount::Totals& F, const RING& RG);

}  // namespace doublemajority
