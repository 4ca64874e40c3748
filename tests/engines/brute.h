// Brute force for the differential tests of the indices beyond the counting
// walk (Johnston, unions, the coalition check): a coalition as a bit mask
// (bit p-1 = player p) decided from the rule's definitions, with its sums
// recomputed from scratch, and random games of every kind of rule.
#pragma once

#include <cstdint>
#include <random>

#include "engines/walk/weighted_walk.h"

namespace brute {

inline bool in(uint64_t mask, int p) { return (mask >> (p - 1) & 1) != 0; }

inline bool WINS(const weightedwalk::Game& g, uint64_t mask) {
  bool sets = false;
  for (int t = 1; t <= g.thres && !sets; ++t) {
    bool all = true;
    for (int k = 0; k < g.vs; ++k)
      for (int s = 1; s <= g.mm; ++s) {
        int64_t sum = 0;
        for (int p = 1; p <= g.n; ++p)
          if (in(mask, p) && g.sub[p] == s) sum += g.w[k][p];
        if (sum < g.m[k][t][s]) all = false;
      }
    sets = all;
  }
  int64_t members = 0, votes = 0, outside = 0, smallest = INT64_MAX;
  for (int p = 1; p <= g.n; ++p) {
    if (in(mask, p)) {
      ++members;
      votes += g.w[0][p];
    } else if (g.block) {
      outside += g.w[1][p];
      smallest = std::min(smallest, g.w[1][p]);
    }
  }
  const int64_t measure = g.overt == 0 ? members : votes;
  bool win = sets;
  if (g.overall == 1 && measure < g.t1) win = false;
  if (g.overall == 2 && measure >= g.t1) win = true;
  if (g.block && outside - std::min(outside, smallest) > g.blockThres) win = false;
  return win;
}

// A random game of N players: KIND 0 one weighted threshold (weights 0..9,
// ties and players of weight 0 among them, sometimes two subgames with the
// second unbound), 1 two or three win sets over two subgames, 2 two vote
// systems, 3 an overall threshold in members or votes (and or or), 4 the
// blocking minority, 5 a negative weight.
inline weightedwalk::Game GAME(std::mt19937_64& rng, int n, int kind) {
  auto pick = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  };
  weightedwalk::Game g;
  g.n = n;
  g.mm = kind == 1 || (kind == 0 && pick(0, 2) == 0) ? 2 : 1;
  g.thres = kind == 1 ? static_cast<int>(pick(2, 3)) : 1;
  g.vs = kind == 2 || kind == 4 ? 2 : 1;
  g.overall = 0;
  for (int p = 1; p <= n; ++p) g.sub[p] = g.mm == 2 && p > n / 2 ? 2 : 1;
  for (int k = 0; k < g.vs; ++k) {
    int64_t total[3] = {};
    for (int p = 1; p <= n; ++p) {
      g.w[k][p] = pick(0, 9);
      total[g.sub[p]] += g.w[k][p];
    }
    for (int t = 1; t <= g.thres; ++t)
      for (int s = 1; s <= g.mm; ++s)
        g.m[k][t][s] = kind == 0 && s == 2 ? 0 : pick(1, std::max<int64_t>(1, total[s]));
  }
  if (kind == 3) {
    g.overall = static_cast<int>(pick(1, 2));
    g.overt = static_cast<int>(pick(0, 1));
    g.t1 = g.overt == 0 ? pick(1, n) : pick(1, 40);
  }
  if (kind == 4) {
    g.block = true;
    g.blockThres = pick(5, 30);
  }
  if (kind == 5) g.w[0][static_cast<int>(pick(1, n))] = -pick(1, 5);
  return g;
}

}  // namespace brute
