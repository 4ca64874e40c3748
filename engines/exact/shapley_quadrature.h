// The Shapley-Shubik values of one weighted threshold in doubles, for games
// beyond the 64-bit counts, by quadrature of the multilinear extension
// instead of the table by size and weight once per prime (engines/exact/modular.h).
//
// With the other players joining a coalition independently with
// probability t, player i of weight a is a swing when their weight W(t)
// lies in q - a .. q - 1, and its value is the integral of that probability
// over t in [0, 1]: SS_i = integral of P(q - a <= W(t) <= q - 1) dt (the
// share (k-1)!(m-k)!/m! of a swing at size k is the integral of
// t^(k-1) (1-t)^(m-k)). The integrand is a polynomial of degree m - 1 in t
// (m players of positive weight), so Gauss-Legendre quadrature with
// ceil(m / 2) nodes is exact but for rounding. At each node the weights'
// distribution comes from one pass over the players (each a factor
// (1 - t + t x^a)), and each distinct weight's window from that
// distribution with the player divided out again: dividing by
// (1 + r x^a), r = t / (1 - t), takes the window's blocks of weights a,
// 2a, ... below it alternately, times r^j, each block a difference of
// running sums (so the work per distinct weight is the window's top / a,
// not the whole range). A node t > 1/2 is read
// from the distribution at 1 - t (the complements of the coalitions), so
// the divisions only meet ratios t / (1 - t) <= 1 and stay stable, and a
// node and its mirror share one pass. Nodes where a tail bound (Hoeffding:
// P(W - EW >= d) <= exp(-2 d^2 / sum of w^2)) shows every window
// negligible are skipped, which for many players skips most of them.
//
// Worked example: weights 2, 1, 1 and q = 3. Player 1 is a swing when one
// or both of the others join: P = 1 - (1-t)^2, integral 2/3; each other
// player when player 1 alone of the others joins: t (1-t), integral 1/6.
#pragma once

#include <cstddef>
#include <vector>

#include "engines/exact/size_weight_table.h"

namespace ssquadrature {

// The values of T (sizetable::Threshold, 0 < Q <= the total weight) into
// VALUE[1..n]: 0 for players of weight 0 and for those SWINGLESS[p] marks
// (no swings, as the exact counts tell; n + 1 entries), and within some
// 1e-12 relative for the others. False (VALUE unspecified) when an estimate of the error
// (every rounding, the skipped nodes' tail bounds) exceeds the accuracy
// kept, or memory cannot be had.
bool SHAPLEY(const sizetable::Threshold& T, const std::vector<char>& SWINGLESS,
             std::vector<double>& VALUE);

// Bytes and seconds SHAPLEY takes on T (before any work).
std::size_t BYTES(const sizetable::Threshold& T);
double SECONDS(const sizetable::Threshold& T);

// The K nodes X (ascending) and weights W of Gauss-Legendre quadrature on
// [0, 1]: Newton's method on the Legendre recurrence in long double, to
// some units in the last place of a double.
void GAUSSLEGENDRE(int K, std::vector<double>& X, std::vector<double>& W);

}  // namespace ssquadrature
