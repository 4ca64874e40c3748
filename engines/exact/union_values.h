// Power with a priori unions: the players fall into unions (blocs) that
// vote together before the unions bargain among themselves.
//
// Owen's value of player i in union U_k (u members, m unions):
//   OW_i = sum over the sets R of other unions and T of other members of
//          U_k of r!(m-r-1)!/m! * t!(u-t-1)!/u! * [i turns Q + T from
//          losing to winning], Q the members of the unions of R;
// the share of the orders of the players that keep each union together in
// which i turns the coalition before it into a winning one. The
// Banzhaf-Owen value weighs every R by 1/2^(m-1) and every T by 1/2^(u-1).
// The unions' own values are those of the quotient game, the unions as
// players of their members' summed weight: the Shapley-Shubik value for
// Owen (the sum of each union's Owen values), the absolute Banzhaf index
// for Banzhaf-Owen.
//
// For one weighted threshold they are counted by generating functions
// over the unions' and the members' weights (the method of Rodriguez-Veiga,
// Novoa-Flores and Casas-Mendez, 2015, "Computation of the Owen value and
// the Banzhaf-Owen value by generating functions"), without walking the
// orders or the coalitions: the Owen weights are Beta integrals,
// r!(m-r-1)!/m! = integral over t in [0, 1] of t^r (1-t)^(m-1-r), so the
// sum over R is the integral of the distribution of the other unions'
// weight when each joins with probability t, a polynomial of degree m - 1
// in t integrated exactly by Gauss-Legendre quadrature with m/2 nodes (and
// the same inside the union with u/2 nodes); the Banzhaf-Owen weights are
// the one node t = 1/2. At each node the product of (1 - t + t x^W) over
// all unions is formed once and each union divided out again (stable for
// t <= 1/2; a node above 1/2 is its mirror's distribution read backwards).
// Player i of weight w in union k is then a swing where the other unions'
// weight x and its fellow members' weight y meet q - w <= x + y <= q - 1:
// OW_i = sum over x of a_k(x) times the members' window sum, from running
// sums. Cost: O(m^2/2 * W) for the unions (W the total weight) and
// O(u^2/2 * W_k) within each union, plus O(W) per player.
//
// Any other rule (several win sets or vote systems, overall thresholds,
// the blocking minority) is counted by enumerating R and T directly
// (ENUMERATE), while they are few.
//
// Worked example: weights 2, 1, 1, quota 3, unions {1} and {2, 3}. The
// orders that keep {2, 3} together are 1 2 3, 1 3 2, 2 3 1 and 3 2 1; the
// player who turns the coalition into a winning one is 2, 3, 1 and 1: OW =
// 1/2, 1/4, 1/4. The quotient game (two unions of weight 2, quota 3) gives
// each union 1/2, the sum of its members' values.
#pragma once

#include <cstdint>
#include <vector>

#include "engines/exact/method.h"
#include "engines/walk/weighted_walk.h"

namespace unions {

// The Owen values or the Banzhaf-Owen values.
enum class KIND : uint8_t { OWEN, BANZHAFOWEN };

// A weighted threshold with unions: players 1..n of weights WEIGHT[p] >= 0
// (n + 1 entries), the quota Q, and UNIONOF[p] the union of player p,
// 0..m-1 (every union with a member).
struct THRESHOLDTYP {
  int n = 0;
  const int64_t* weight = nullptr;
  int64_t q = 0;
  std::vector<int> unionOf;
  int m = 0;
};

struct RESULTTYP {
  std::vector<double> player;    // [1..n]
  std::vector<double> quotient;  // [0..m-1]: the unions in the quotient game
};

// What COUNT takes on T: bytes and CPU seconds (UNIONNS a step).
COSTTYP COST(const THRESHOLDTYP& T, KIND K);
// The values of T into R; false where the memory cannot be had.
bool COUNT(const THRESHOLDTYP& T, KIND K, RESULTTYP& R);

// The same for any weighted game G (every rule the walk takes) by
// enumerating the sets of other unions (in Gray code order) and of fellow
// members: UNIONOF and M as above. ENUMERATECOST: what it takes, from
// 2^(m-1) (1 + u 2^(u-1)) steps per union; it declines (false) beyond
// ENUMERATEMAX seconds.
COSTTYP ENUMERATECOST(const std::vector<int>& UNIONOF, int M);
constexpr double ENUMERATEMAX = 1e6;
bool ENUMERATE(const weightedwalk::Game& G, const std::vector<int>& UNIONOF, int M, KIND K,
               RESULTTYP& R);

}  // namespace unions
