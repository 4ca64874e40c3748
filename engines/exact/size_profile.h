// Counts by coalition size of one monotone rule, as the two fast methods
// (the dense table of engines/exact/size_weight_table.h and the diagram of
// engines/exact/decision_diagram.h) give them to the fast counting that chooses between them
// (engines/exact/fast_counts.h).
#pragma once

#include <cstdint>
#include <vector>

#include "types/vkxdecl.h"
#include "types/xnum.h"

namespace fastcount {

// Counts by coalition size k = 0..n of one monotone rule f over players
// 1..n (the empty coalition included).
// Sized for N players and MM subgames, all counts 0.
struct Profile {
  Profile() = default;
  Profile(int N, int MM)
      : all(static_cast<std::size_t>(N) + 1),
        with(static_cast<std::size_t>(N) + 1,
             std::vector<uint64_t>(static_cast<std::size_t>(N) + 1)),
        without(static_cast<std::size_t>(MM) + 1,
                std::vector<uint64_t>(static_cast<std::size_t>(N) + 1)) {}
  std::vector<uint64_t> all;                   // coalitions of size k in f
  std::vector<std::vector<uint64_t>> with;     // [p][k]: those containing player p
  std::vector<std::vector<uint64_t>> without;  // [s][k]: those with no member of subgame s
};

// The same counts without the sizes, as the Banzhaf index needs them: all
// sets of f, those containing player p, those with no member of subgame s,
// and whether the empty set is one of them.
struct Totals {
  Totals() = default;
  Totals(int N, int MM)
      : with(static_cast<std::size_t>(N) + 1), without(static_cast<std::size_t>(MM) + 1) {}
  uint64_t all = 0;
  std::vector<uint64_t> with, without;
  bool empty = false;
};

// Most players the 64-bit counts of a Profile hold exactly: C(63, k) and
// their sums stay below 2^63. Larger games fill a Profile with residues
// modulo a prime, one pass per prime (engines/exact/modular.h).
constexpr int PROFILEMAX = 63;

// C(N, K) for 0 <= N <= 64, exact; 0 when K < 0 or K > N.
uint64_t CHOOSE(int N, int K);
// C(N, K) for any N >= 0, to some 1e-16 relative (a product of min(K, N-K)
// ratios in long double); 0 when K < 0 or K > N.
XNUM XCHOOSE(int N, int K);

// weightedwalk::SHAPLEYVALUE and weightedwalk::SIZESHARE for counts by size in extended
// range (BYSIZE[K], K = 1..N): the swing weight (K-1)!(N-K)!/N! is
// 1 / (K C(N, K)), so each term is at most 1/N and the value a double.
double SHAPLEYVALUE(int N, const XNUM* SWINGSBYSIZE);
XNUM SIZESHARE(int N, const XNUM* BYSIZE);

}  // namespace fastcount
