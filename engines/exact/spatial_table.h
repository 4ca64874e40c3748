// The spatial version counted by size and weight instead of coalition by
// coalition: the walk's similarity-weighted counts (weightedwalk::WinCounts:
// value, with, sub, dist0, dist1 and wins) of a game whose rule is one
// weighted threshold, in time polynomial in the players.
//
// Method. The similarity of a coalition S of k >= 2 members is
//   sim(S) = 1 - c_k D(S),   c_k = 2 / (k (k-1)),   D(S) = sum of e_ij over the pairs of S,
// with e_ij the distance of i and j over the largest distance (0 for k < 2).
// So over any family of coalitions of size k, the sum of the similarities
// is (their number) - c_k (the sum of D over them), and the sum of D is the
// sum over pairs {i,j} of e_ij times the number of them containing both i
// and j: pivotal coalitions counted by size with each pair forced in. The
// tables carry that sum directly: a cell (size k, weight w) holds the
// number of subsets T of the players counted so far with k members and
// weight w (P), the sum of D(T) over them (F), and for each player x still
// to come the sum over them of the distances from x to T's members (R_x).
// Adding a player y of weight a is one pass per table:
//   P[k][w] += P[k-1][w-a]
//   F[k][w] += F[k-1][w-a] + R_y[k-1][w-a]          (y's pairs with T)
//   R_x[k][w] += R_x[k-1][w-a] + e_xy P[k-1][w-a]
// Every value is a sum of non-negative terms: no subtraction, so doubles
// keep a few units in the last place (the counts themselves are exact
// integers up to 2^53). For player p the tables over all the others give,
// with T = S - p, the coalitions S that contain p: S wins when
// w(T) >= q - w_p, p is a swing when also w(T) < q, and
// D(S) = D(T) + (the distances from p to T), that is F + R_p. The tables
// without each player come from a divide and conquer over the players: a
// node's tables hold everything outside it and are passed to each half
// with the other half added, so each ordered pair of players meets once
// (n (n-1) passes of R, as many of P and F as the tree's depth calls for);
// the nodes of whole subgames give the coalitions without any member of
// the subgame (the walk's sub). Weights are kept up to the quota, the
// heavier ones in the last cell ("q or more"), or, when the total less the
// quota is smaller, the tables are kept by the weight of the players left
// out of T instead.
//
// Complexity: O(n^3 C) time for n players and C + 1 weight cells (C the
// smaller of the quota and the total less the quota), O(n^2 C) memory at
// the most (n R tables along the deepest path, rows growing to n); the
// walk takes O(2^n n^2). 30 players of weights 1..100 take some 10 ms,
// 50 players some 0.1 s (bench/spatial_bench).
//
// Worked example: weights 3, 2, 1, quota 4, positions 0, 3 and 4 on one
// line (largest distance 4: e12 = 0.75, e13 = 1, e23 = 0.25). Player 3's
// tables over the others {1, 2}: T = {} (size 0, weight 0), {1} (1, 3),
// {2} (1, 2), {1,2} (2, 5); F is 0.75 at {1,2}; R_3 is 1 at {1}, 0.25 at
// {2}, 1.25 at {1,2}. S = T + 3 wins when w(T) >= 4 - 1 = 3: T = {1} gives
// S of size 2, 1 - c_2 (0 + 1) = 0; T = {1,2} gives size 3,
// 1 - c_3 (0.75 + 1.25) = 1/3. So with[3] = 1/3, as the walk finds from
// sim({1,3}) = 0 and sim({1,2,3}) = 1 - (0.75 + 1 + 0.25) / 3 = 1/3.
// Player 3 is a swing where also w(T) < 4: T = {1} alone, in {1,3} of
// similarity 0, so value[3] = 0.
//
// Covered: the rules fastcount::ASTHRESHOLD turns into one weighted
// threshold (one vote system, win sets binding one subgame, an overall
// threshold in votes), with an overall threshold in members (AND or OR)
// on top, weights of 0 or more, up to MAXPLAYERS players. Not covered, and
// left to the walk: several vote systems, the blocking minority, win sets
// binding different subgames, negative weights.
#pragma once

#include <cstddef>

#include "engines/exact/method.h"
#include "engines/walk/weighted_walk.h"

namespace spatialtable {

// Players up to which the counts (2^n coalitions) stay within a double.
constexpr int MAXPLAYERS = 1000;

// What counting G takes within BUDGET bytes (0: no limit of its own),
// before any work: APPLIES false with WHY where it does not count G.
COSTTYP COST(const weightedwalk::Game& G, std::size_t BUDGET = 0);

// Counts G (a spatial game: G.position set) into C, the walk's counts to
// a few 1e-14 of the similarity of all coalitions (2e-14 the largest
// difference on the differential test's 400 games): 1 counted, 0 not (it
// does not apply, or its tables exceed BUDGET or cannot be had), -1
// stopped by CONTROL (which may be null; it hears of each player done).
int COUNT(const weightedwalk::Game& G, weightedwalk::WinCounts& C, std::size_t BUDGET = 0,
          const CONTROLTYP* CONTROL = nullptr);

}  // namespace spatialtable
