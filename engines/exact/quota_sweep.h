// The index of a weighted game at every quota at once, for the design of
// weights and quotas (api/design.h): how far the index is from target
// shares at each quota 1..W of weights w_1..w_n (total W), and the index at
// one quota.
//
// Player i of weight u swings at quota q when the others' weight lies in
// q - u .. q - 1, so the index at every quota comes from the distribution
// of the others' weight, once per distinct weight: the distribution of all
// players' weight with one player of weight u divided out again, and its
// running sums, read at each quota as a difference.
//   Banzhaf (normalised): the others' weight with each other player in
//     with probability 1/2 (the division by (1 + x^u)/2 is G(x) = 2F(x) -
//     G(x - u)); the swings at each quota divided by their sum over the
//     players. O(n W) steps, a line of W per distinct weight.
//   Shapley-Shubik: the others by size and weight (the count table), each
//     size c weighted by c!(n-1-c)!/n! into one running sum. O(n^2 W)
//     steps, 2 (n + 1) W numbers.
// In doubles: the design compares distances, not counts.
//
// Example: weights 2, 1, 1 (W = 4). Banzhaf at quota 3: player 1 swings
// with 1 or 2 of the others (3 of 4 sets), players 2 and 3 with player 1
// alone (1 each): 3/5, 1/5, 1/5.
#pragma once

#include <cstdint>
#include <vector>

#include "engines/exact/method.h"

namespace quotasweep {

enum class INDEX : uint8_t { BANZHAF, SHAPLEY };
enum class DISTANCE : uint8_t { SUMSQ, MAXABS };

// The distance between the index and TARGET (shares, [1..n]) at each quota
// q = 1..W into DIST[q] (DIST[0] unused, infinite); WEIGHT[1..n] >= 0, W >
// 0. SUMSQ: the sum of the squared differences; MAXABS: the largest
// difference. False where the memory cannot be had.
bool SWEEP(const std::vector<int64_t>& WEIGHT, const std::vector<double>& TARGET, INDEX I,
           DISTANCE D, std::vector<double>& DIST);
// The index at quota Q into VALUE[1..n].
bool VALUES(const std::vector<int64_t>& WEIGHT, int64_t Q, INDEX I, std::vector<double>& VALUE);
// What a sweep of WEIGHT takes.
COSTTYP COST(const std::vector<int64_t>& WEIGHT, INDEX I);

}  // namespace quotasweep
