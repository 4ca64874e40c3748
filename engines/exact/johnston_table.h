// The Johnston index of one weighted threshold by a table over sizes and
// weights, without visiting the coalitions.
//
// In a winning coalition S of weight W = w(S) >= q, member i is critical
// (S loses without it) exactly when w_i > W - q: the critical members are
// the members heavier than the slack s = W - q. Johnston's score of i is
// the sum, over the winning coalitions in which i is critical, of one over
// the number of critical members there; the scores add up to the number of
// winning coalitions with a critical member (the vulnerable ones).
//
// With the positive weights sorted downwards, v_1 >= ... >= v_m, a slack s
// splits the players at the break b with v_b > s >= v_(b+1) (v_(m+1) = 0):
// the heavy players 1..b are critical whenever they are members, the light
// ones never. Every slack 0 <= s < v_1 has one break, and the breaks are
// the places where the weight drops. So for each break b the coalitions
// with a critical member are the pairs (H, L), H a set of heavy players of
// c >= 1 members and weight A, L a set of light players of weight B, with
// q + v_(b+1) <= A + B <= q + v_b - 1; each member of H has c critical
// members. The heavy sets are counted by size and weight in a table that
// grows one player per break (the players in weight order), the light sets
// by weight alone in a line that shrinks by one player (dividing its
// generating polynomial by 1 + x^v); the window over B is a difference of
// the line's running sums, g(A). For player i of weight u (one per distinct
// weight: equal weights have equal scores) the heavy sets containing it are
// those of the table with one player of weight u divided out again,
// D = P / (1 + y x^u), shifted by u: K_i[c] = sum over A of D[c-1][A] g(A+u)
// coalitions of c critical members, and the score is the sum of K_i[c] / c.
// Players of weight 0 (and those of subgames the threshold does not bind)
// are never critical and join any coalition freely (a factor 2 each).
//
// Cost: the table has m + 1 sizes by R + 1 weights, R = the smaller of the
// total and q + v_1 - 1 (no vulnerable coalition weighs more). Growing it
// takes m^2 R / 2 steps; each break takes 2 b R per distinct weight among
// its heavy players: O(d^2 m R) for d distinct weights, some 20 million
// steps for the Electoral College (51 players, 538 votes, 28 weights). The
// counts are exact: modulo 2^64 up to 63 players (where they stay below
// 2^63, and the division is exact in wrap-around arithmetic), beyond that
// once per prime and joined (engines/exact/modular.h).
//
// Worked example: weights 2, 1, 1 and q = 3. The winning coalitions are
// {1,2}, {1,3} (both members critical: 1/2 each) and {1,2,3} (player 1
// alone critical: 1). Scores 2, 1/2, 1/2; 3 vulnerable coalitions; the
// Johnston index 2/3, 1/6, 1/6.
#pragma once

#include <cstddef>
#include <vector>

#include "engines/exact/method.h"
#include "engines/exact/size_weight_table.h"
#include "engines/walk/weighted_walk.h"
#include "types/xnum.h"

namespace johnston {

// The counts of one game, indexed by player 1..n.
struct Result {
  explicit Result(int N = 0)
      : score(static_cast<std::size_t>(N) + 1), critical(static_cast<std::size_t>(N) + 1) {}
  XNUM wins;                   // winning coalitions, never counting the empty one
  XNUM vulnerable;             // winning coalitions with a critical member: the scores' sum
  std::vector<XNUM> score;     // Johnston's score
  std::vector<XNUM> critical;  // coalitions in which the player is critical (its swings)
};

// The rule of CORE as one weighted threshold with nothing beside it (no
// overall threshold that tells coalitions apart, every weight at least 0):
// the weights and the quota the table counts (and the unions' generating
// functions, engines/exact/union_values.h); false for any other rule.
bool ONETHRESHOLD(const weightedwalk::Game& CORE, std::vector<int64_t>& WEIGHT, int64_t& Q);

// What COUNT takes on T (weights >= 0): the table's bytes and the CPU
// seconds at the rate measured (JOHNSTONCELLNS).
COSTTYP COST(const sizetable::Threshold& T);

// Counts T into R; false where the memory cannot be had. Reports its share
// and stops through COUNTCONTROL (engines/exact/method.h).
bool COUNT(const sizetable::Threshold& T, Result& R);

}  // namespace johnston
