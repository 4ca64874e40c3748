// Counting one weighted threshold by size with a dense table: the rule "the
// summed weight of the coalition reaches Q", every weight at least 0.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

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

// The counts of T by size (COUNT's F) from SIZED(players, with): the
// winning sets among the positive PLAYERS (by player number) by size 0..
// PLAYERS and, when WITH is given, per player (by position) those holding
// it, by size. The players of weight 0 join any set freely; each
// subgame's count without its members is SIZED of the others alone.
using SIZEDLINE = std::function<std::vector<uint64_t>(const std::vector<int>& players,
                                                      std::vector<std::vector<uint64_t>>* with)>;
template <class RING>
void PROFILEBY(const Threshold& T, fastcount::Profile& F, const RING& RG, const SIZEDLINE& SIZED);

// Cells (8 bytes each) of the count without sizes: one per weight in range.
std::size_t LINECELLS(const Threshold& T);

// Counts T without sizes into F, in RING: a line of the subsets by weight
// alone, O(N * Q) work instead of O(N^2 * Q).
template <class RING>
void TOTALS(const Threshold& T, fastcount::Totals& F, const RING& RG);

// The totals of T without sizes from LINE(players, with, RG): the winning
// sets among the positive PLAYERS (ascending by weight, so that equal
// weights are counted once) and, when WITH is given, per player those
// holding it. The players of weight 0 join any set freely; each subgame's
// count without it is a line of the others.
template <class RING, class LINE>
void TOTALSBY(const Threshold& T, fastcount::Totals& F, const RING& RG, const LINE& line) {
  F = fastcount::Totals(T.n, T.mm);
  F.empty = T.q <= 0;
  std::vector<int> pos, inSub(static_cast<std::size_t>(T.mm) + 1),
      zeros(static_cast<std::size_t>(T.mm) + 1);
  for (int p = 1; p <= T.n; ++p) {
    ++inSub[T.sub[p]];
    if (T.weight[p] > 0)
      pos.push_back(p);
    else
      ++zeros[T.sub[p]];
  }
  const int z = T.n - static_cast<int>(pos.size());
  if (T.q <= 0) {  // every set
    F.all = RG.pow2(T.n);
    for (int p = 1; p <= T.n; ++p) F.with[p] = RG.pow2(T.n - 1);
    for (int s = 1; s <= T.mm; ++s) F.without[s] = RG.pow2(T.n - inSub[s]);
    return;
  }
  std::stable_sort(pos.begin(), pos.end(), [&](int a, int b) { return T.weight[a] < T.weight[b]; });
  std::vector<uint64_t> with;
  const uint64_t all = line(pos, &with, RG);
  F.all = RG.mul(all, RG.pow2(z));
  for (int p = 1; p <= T.n; ++p)
    if (T.weight[p] <= 0) F.with[p] = RG.mul(all, RG.pow2(z - 1));
  for (std::size_t i = 0; i < pos.size(); ++i) F.with[pos[i]] = RG.mul(with[i], RG.pow2(z));
  for (int s = 1; s <= T.mm; ++s) {
    std::vector<int> rest;
    for (int p : pos)
      if (T.sub[p] != s) rest.push_back(p);
    const uint64_t others = rest.size() == pos.size() ? all : line(rest, nullptr, RG);
    F.without[s] = RG.mul(others, RG.pow2(z - zeros[s]));
  }
}

}  // namespace sizetable
