// The Banzhaf counts of one weighted threshold by formal power series: the
// subsets of the players by weight are the coefficients of
//   F(x) = prod_p (1 + x^w_p) = exp( sum_w c_w * sum_k (-1)^(k+1) x^(k w) / k ),
// c_w the players of weight w. The logarithm is a sum of sparse series,
// formed up to the table's range R (the losing weights, or the complements
// of the winning ones) in R * (1 + 1/2 + ... ) terms; one exponential of a
// series of length R, O(R log R), replaces the table's O(n R) additions.
// Each distinct weight's counts then come from F with that player divided
// out, summed over its window of weights: an alternating sum of blocks of
// F, read off its prefix sums in R / w steps, so all weights together take
// O(R log R) as well.
//
// Example: weights 2, 1, 1 and the quota 3. F = (1 + x^2)(1 + x)^2 =
// 1 + 2x + 2x^2 + 2x^3 + x^4 = exp(2x + 2x^3/3 - x^4 + ...). The total is 4,
// so the complements of the winning coalitions weigh at most R = 1: F up
// to x^1 is 1 + 2x, three winning coalitions. The player of weight 2 swings
// where the others' complement weighs R + 1 - 2 .. R = 0..1: in
// F / (1 + x^2) = 1 + 2x + x^2 that is 1 + 2 = 3 times; a player of weight 1
// in the window 1..1 of F / (1 + x) = 1 + x + x^2 + x^3, once.
//
// The arithmetic is modulo a prime (the series' 1/k need inverses, so the
// prime exceeds R): up to 63 players one prime just below 2^64, above
// every count of subsets by weight, so the residues are the counts; beyond,
// the primes of the modular passes (engines/exact/modular.h), joined. The
// exponential is FLINT's; a build without it (VKX_FLINT unset) has no such
// method and COST says so.
#pragma once

#include <cstdint>

#include "engines/exact/method.h"
#include "engines/exact/size_profile.h"
#include "engines/exact/size_weight_table.h"

namespace powerseries {

// The series can be had in this build.
bool AVAILABLE();

// What counting T (without sizes) takes in PASSES passes, before any work:
// one exponential per pass, and one more for each subgame that holds some
// but not all of the weighted players (the coalitions without its members).
COSTTYP COST(const sizetable::Threshold& T, int PASSES);

// Counts T without sizes into F, as sizetable::TOTALS does, in RING
// (fastcount::WRAP up to 63 players, else fastcount::MODP). Throws
// std::bad_alloc where memory cannot be had.
template <class RING>
void TOTALS(const sizetable::Threshold& T, fastcount::Totals& F, const RING& RG);

}  // namespace powerseries
