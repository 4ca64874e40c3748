// The minimal winning coalitions of one weighted threshold, "the
// coalition's weight reaches Q" (every weight at least 0), counted by a
// dynamic program over the weights instead of over the coalitions.
//
// The method. With the players ordered heaviest first, a coalition S is a
// minimal winning one exactly when its weight reaches Q and its weight less
// its last (lightest) member's does not. Read S as a path through the
// players in that order, carrying the weight s < Q of the members so far:
// a member taken at s with s + w >= Q closes the path (it is the lightest
// member, and S less it has s < Q); one with s + w < Q goes on. So
//   F(l, s)  = the subsets of the first l players weighing s < Q,
//   B(l, s)  = the ways to close a path from weight s with players l+1..,
//              B(l-1, s) = B(l, s) + [s + w_l >= Q ? 1 : B(l, s + w_l)],
// and the minimal winning coalitions holding player p are the paths through
// p: the sum over s < Q of F(p-1, s) times [s + w_p >= Q ? 1 : B(p, s + w_p)];
// all of them are B(0, 0). Every term is a sum of products of counts, none
// is a difference, so the counts hold in doubles to a few units in the last
// place (exactly in 64-bit integers up to 63 players). Players of equal
// weight share their counts (one sum per weight, F read at the last of
// them only); a player of weight 0 is in no minimal winning coalition. F
// is kept at those levels, each row over its live range, where memory
// allows: O(n Q) time in the rows' memory (1000 players of 100 weights:
// 100 short rows). Elsewhere it is kept at every c-th level only (c about
// the square root of the players) and grown again a block at a time as B
// runs back: half as much again of the time in O(sqrt(n) Q) memory.
//
// The Deegan-Packel shares, the sum of 1/|S| over the minimal winning S
// holding p, are the integral over y from 0 to 1 of the same count with
// every member weighted by y, divided by y: y^(k - 1) times a polynomial
// of degree K - k, K the largest size of a minimal winning coalition and k
// the fewest members that reach Q, integrated exactly by the Gauss-Jacobi
// rule for y^(k - 1) on ceil((K - k + 1) / 2) nodes. The terms stay
// positive, so the shares keep the counts' accuracy; they cost that many
// more runs of the program: O((K - k) n Q) in all.
//
// Three players of weights 3, 2, 1 and Q = 4: the paths from A (s = 3) close
// with B (5 >= 4) and with C (4 >= 4); the path B, C ends at 3 and does not
// close. The minimal winning coalitions are {A, B} and {A, C}: A is in two,
// B and C in one each; A's share is 1/2 + 1/2 = 1, B's and C's 1/2.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/exact/method.h"
#include "types/xnum.h"

namespace minimalsets {

// The counts of the rule on players 1..N: the minimal winning coalitions
// (never the empty one), those holding player p, and the sum of 1/size over
// those holding p. Up to 63 players the counts are also held exactly in 64
// bits (EXACT).
struct Counts {
  explicit Counts(int N = 0)
      : with(static_cast<std::size_t>(N) + 1),
        share(static_cast<std::size_t>(N) + 1),
        exactWith(static_cast<std::size_t>(N) + 1) {}
  XNUM minimal;
  std::vector<XNUM> with, share;
  bool exact = false;
  uint64_t exactMinimal = 0;
  std::vector<uint64_t> exactWith;
};

// The counts of "the weight of WEIGHT[1..N] reaches Q" into OUT, the shares
// only when SHARES (else left at 0). False, OUT untouched, when a weight is
// negative or the program's memory cannot be had. Hears CONTROL through
// COUNTAT (engines/exact/method.h): throws COUNTSTOPPED when asked to stop.
// Within BUDGET bytes (0: a quarter of the machine's memory) F is kept at
// every level that sums a player's paths instead of grown twice, the
// same counts in about two thirds of the time (COST plans it alike).
bool COUNT(int N, const int64_t* WEIGHT, int64_t Q, Counts& OUT, bool SHARES = true,
           std::size_t BUDGET = 0);

// What COUNT will take, from the measured rates below: the CPU seconds and
// the peak bytes; APPLIES false where the weights are negative or the bytes
// exceed BUDGET (0: no limit).
COSTTYP COST(int N, const int64_t* WEIGHT, int64_t Q, bool SHARES, std::size_t BUDGET = 0);

// The same counts under an overall threshold of T1 members (RULE 1: AND,
// a smaller coalition loses; 2: OR, a coalition that large wins), with the
// members carried beside the weight: O(T1 n Q) a run, shares on every
// player's coalitions of T1 members exact, the others by the nodes.
bool COUNTSIZED(int N, const int64_t* WEIGHT, int64_t Q, int RULE, int T1, Counts& OUT);
COSTTYP COSTSIZED(int N, const int64_t* WEIGHT, int64_t Q, int RULE, int T1,
                  std::size_t BUDGET = 0);

}  // namespace minimalsets
