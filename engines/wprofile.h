// Counts by coalition size of one monotone rule, as the two fast methods
// (the dense table of engines/wdense.h and the diagram of engines/wdd.h)
// give them to the fast counting that chooses between them (engines/wfast.h).
#pragma once

#include <cstdint>

#include "types/vkxdecl.h"

namespace wfast {

// Counts by coalition size k = 0..n of one monotone rule f over players
// 1..n (the empty coalition included).
struct Profile {
  uint64_t all[MAXACTOR + 1] = {};                    // coalitions of size k in f
  uint64_t with[MAXACTOR + 1][MAXACTOR + 1] = {};     // [p][k]: those containing player p
  uint64_t without[MAXCHAMB + 1][MAXACTOR + 1] = {};  // [s][k]: those with no member of subgame s
};

// C(N, K) for 0 <= N <= 64, exact; 0 when K < 0 or K > N.
uint64_t CHOOSE(int N, int K);

}  // namespace wfast
