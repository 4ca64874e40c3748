// Counting one weighted threshold by size with a dense table: the rule "the
// summed weight of the coalition reaches Q", every weight at least 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engines/exact/size_profile.h"

namespace sizetable {

// The rule on players 1..N (SUB[p] their subgames 1..MM, WEIGHT[p] >= 0).
struct Threshold {
  int n = 0, mm = 0;
  const int* sub = nullptr;
  const int64_t* weight = nullptr;
  int64_t q = 0;
};

// Which subsets a table over the weights holds: those of weight up to Q - 1
// (the losing ones) or, when smaller, the complements of the winning ones
// (up to TOTAL - Q); RANGE is that bound.
struct Oriented {
  bool complement = false;
  int64_t range = 0;
};
Oriented ORIENT(int64_t Q, int64_t TOTAL);

// Table cells (8 bytes each) that counting T needs; the table is the cost in
// memory and time.
std::size_t CELLS(const Threshold& T);

// Counts T by size into F and, when MINIMAL is given, its minimal sets
// (their number and those containing each player, by size) into MINIMAL:
// the empty set alone when Q <= 0. The counts are residues in RING
// (engines/exact/modular.h: fastcount::WRAP or fastcount::MODP).
template <class RING>
void COUNT(const Threshold& T, fastcount::Profile& F, fastcount::Profile* MINIMAL, const RING& RG);

// Cells (8 bytes each) of the count without sizes: one per weight in range.
std::size_t LINECELLS(const Threshold& T);

// Counts T without sizes into F, in RING: a line of the subsets by weight
// alone, O(N * Q) work instead of O(N^2 * Q).
template <class RING>
void TOTALS(const Threshold& T, fastcount::Totals& F, const RING& RG);

}  // namespace sizetable
