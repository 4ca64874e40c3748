// The Banzhaf counts (and, by size, the Shapley-Shubik ones) of one
// weighted threshold for few players with large weights, by halves: the
// players are split in two halves, each half's subset sums are listed in
// ascending order (with the members of each subset as a bit mask), and the
// winning coalitions are the pairs of one sum from each half that reach the
// quota. For a sum a of the first half the sums b of the second with a + b
// >= Q are a tail of its list, whose start moves down as a grows: one sweep
// over both lists counts every pair. The coalitions holding a player p of
// the first half are the pairs whose first sum holds p: each sum's tail
// length added to the players of its mask (per byte of the mask, into a
// table of 256 entries a byte, so a sum costs four additions, not one per
// member). The second half's players the same way with the halves' roles
// swapped.
//
// Work about 2^(m/2) per half and step (m players of positive weight),
// independent of Q: where the weights are large (50 players near 10^7,
// Q = 2.5 * 10^8) it replaces the table's m Q additions. The counts are
// exact in 64 bits (at most 63 players: every count is below 2^63).
//
// Example: weights 2, 1, 1 and the quota 3. The halves {2} and {1, 1}
// list the sums 0, 2 and 0, 1, 1, 2. The sum 0 reaches 3 with none of the
// second half's, the sum 2 with the tail 1, 1, 2: three winning
// coalitions, all three holding the player of weight 2. The second half's
// sums 1 (twice) each pair with the first half's 2, the sum 2 with 2 as
// well: each player of weight 1 is in two of them (its own 1, and the 2).
#pragma once

#include <cstddef>

#include "engines/exact/method.h"
#include "engines/exact/size_profile.h"
#include "engines/exact/size_weight_table.h"

namespace halves {

// The halves can be had in this build (not in the web page's: VKX_HALVES
// unset, where COST declines every game and the counts are never made).
bool AVAILABLE();

// Most players of positive weight the halves take: two lists of 2^31 sums
// are beyond any memory the planner gives.
constexpr int HALVESMAX = 62;

// What counting T (by size where SIZES) takes, before any work: one count
// of the halves, and one more for each subgame that holds some but not all
// of the weighted players (the coalitions without its members). Applies up
// to PROFILEMAX players (exact 64-bit counts) and HALVESMAX weighted ones.
COSTTYP COST(const sizetable::Threshold& T, bool SIZES);

// Counts T without sizes into F, as sizetable::TOTALS does, in RING
// (fastcount::WRAP; fastcount::MODP gets the exact counts reduced).
// Throws std::bad_alloc where memory cannot be had.
template <class RING>
void TOTALS(const sizetable::Threshold& T, fastcount::Totals& F, const RING& RG);

// Counts T by size into F, as sizetable::COUNT does without the minimal
// sets. The sweep carries the sizes: beside the tail of the second half's
// sums that reach Q, its sums counted by size, and beside the first
// half's sums still to come, theirs; a pair's size is the sum of its two.
template <class RING>
void COUNT(const sizetable::Threshold& T, fastcount::Profile& F, const RING& RG);

}  // namespace halves
