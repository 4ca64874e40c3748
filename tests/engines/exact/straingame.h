// Weighted games of one threshold drawn to strain a count in doubles beyond
// 63 players: by MIX, uniform weights up to TOP, a few huge weights (HUGE)
// among tiny ones, powers of two, or equal weights beside players of weight
// 0 or 1 (dummies, with and without weight); one or two subgames, the
// quota PERCENT of subgame 1's total.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engines/walk/weighted_walk.h"

namespace strain {

struct Shape {
  int64_t top = 30;
  int64_t hugeLo = 1000, hugeHi = 5000;
};

// PICK(lo, hi): a uniform draw in [lo, hi].
template <class PICK>
weightedwalk::Game GAME(PICK& pick, int n, int mix, int percent, const Shape& s) {
  weightedwalk::Game g(n, 2);
  g.n = n;
  g.mm = static_cast<int>(pick(1, 2));
  g.thres = 1;
  int64_t total = 0;  // of subgame 1, the one the quota binds
  for (int p = 1; p <= n; ++p) {
    g.sub[p] = p <= n / 3 ? g.mm : 1;
    int64_t w = pick(1, s.top);
    if (mix == 1) w = p <= 3 ? pick(s.hugeLo, s.hugeHi) : pick(0, 3);
    if (mix == 2) w = int64_t{1} << pick(0, 4);
    if (mix == 3) w = p <= n / 2 ? 40 : pick(0, 1);  // the tiny ones may be dummies
    g.w[0][p] = w;
    total += g.sub[p] == 1 ? w : 0;
  }
  g.m[0][1][1] = std::max<int64_t>(1, total * percent / 100);
  return g;
}

}  // namespace strain
