// The games of the wide benchmarks, made the same way in every run (fixed
// seeds), shared by every benchmark that measures a method on them:
//   - the Electoral College after the 2020 apportionment: 51 players, 270
//     of 538;
//   - 190 players with Pareto(1.2) weights scaled to a total of 5,000,000,
//     quotas 50, 70 and 85 %; the same weights scaled to a total of 10,000
//     (quotas near 5,000: a table a thousandth as long);
//   - an IMF-like board: 190 members with Pareto(1.2) weights scaled to a
//     total of 5,000,000 and capped at 400,000 (as the largest member's
//     share caps it), quota 3,100,000 (62 %);
//   - 1000 players, weights 1..100, quota 50 %; 2000 players likewise;
//   - 50 players, weights 1..10^6, quota 50 %;
//   - 50 players, weights 9..11 million, quota 50 %.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "engines/walk/weighted_walk.h"

namespace benchgames {

struct Weighted {
  std::vector<int64_t> w;  // w[0] unused
  int64_t q = 0;
};

inline Weighted electoralCollege() {
  const int64_t votes[] = {54, 40, 30, 28, 19, 19, 17, 16, 16, 15, 14, 13, 12, 11, 11, 11, 11,
                           10, 10, 10, 10, 10, 9,  9,  8,  8,  8,  7,  7,  6,  6,  6,  6,  6,
                           6,  5,  5,  4,  4,  4,  4,  4,  4,  4,  3,  3,  3,  3,  3,  3,  3};
  Weighted g;
  g.w.push_back(0);
  for (int64_t v : votes) g.w.push_back(v);
  g.q = 270;
  return g;
}

inline int64_t quota(const Weighted& g, int percent) {
  int64_t total = 0;
  for (std::size_t p = 1; p < g.w.size(); ++p) total += g.w[p];
  return (total * percent + 99) / 100;
}

inline Weighted pareto(int percent, int64_t cap = 0, double total = 5'000'000) {
  std::mt19937_64 rng(20260190);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::vector<double> x(190);
  double sum = 0;
  for (double& v : x) sum += v = std::pow(1.0 - u(rng), -1.0 / 1.2);
  Weighted g;
  g.w.push_back(0);
  for (double v : x) {
    const int64_t w = std::max<int64_t>(1, std::llround(v / sum * total));
    g.w.push_back(cap > 0 ? std::min(w, cap) : w);
  }
  g.q = quota(g, percent);
  return g;
}

inline Weighted uniform(int n, int64_t top, uint64_t seed, int64_t bottom = 1) {
  std::mt19937_64 rng(seed);
  Weighted g;
  g.w.push_back(0);
  for (int p = 1; p <= n; ++p)
    g.w.push_back(std::uniform_int_distribution<int64_t>(bottom, top)(rng));
  g.q = quota(g, 50);
  return g;
}

inline Weighted pareto50() { return pareto(50); }
inline Weighted pareto70() { return pareto(70); }
inline Weighted pareto85() { return pareto(85); }
inline Weighted paretoSmall50() { return pareto(50, 0, 10'000); }
inline Weighted paretoSmall70() { return pareto(70, 0, 10'000); }
inline Weighted paretoSmall85() { return pareto(85, 0, 10'000); }
inline Weighted thousand() { return uniform(1000, 100, 1000); }
inline Weighted twoThousand() { return uniform(2000, 100, 2000); }
inline Weighted imfBoard() {
  Weighted g = pareto(50, 400'000);
  g.q = 3'100'000;
  return g;
}
inline Weighted million() { return uniform(50, 1'000'000, 50); }
inline Weighted heavy() { return uniform(50, 11'000'000, 5, 9'000'000); }

// The plain O(n q) Banzhaf program, the baseline of the benchmarks: the
// table of subsets by weight, then each player's swings from the table
// with it divided out again.
inline std::vector<double> plainBanzhaf(const Weighted& g) {
  const int n = static_cast<int>(g.w.size()) - 1;
  const auto q = static_cast<std::size_t>(g.q);
  std::vector<double> c(q, 0.0), out(static_cast<std::size_t>(n) + 1), without(q);
  c[0] = 1;
  for (int p = 1; p <= n; ++p)
    for (std::size_t v = q; v-- > static_cast<std::size_t>(g.w[p]);) c[v] += c[v - g.w[p]];
  for (int p = 1; p <= n; ++p) {
    const auto a = static_cast<std::size_t>(g.w[p]);
    double s = 0;
    for (std::size_t v = 0; v < q; ++v) {
      without[v] = c[v] - (v >= a ? without[v - a] : 0.0);
      if (v + a >= q) s += without[v];
    }
    out[static_cast<std::size_t>(p)] = s;
  }
  return out;
}

inline weightedwalk::Game gameOf(const Weighted& d) {
  const int n = static_cast<int>(d.w.size()) - 1;
  weightedwalk::Game g(n, 1);
  g.n = n;
  g.mm = g.thres = 1;
  for (int p = 1; p <= n; ++p) g.sub[p] = 1, g.w[0][p] = d.w[p];
  g.m[0][1][1] = d.q;
  return g;
}

}  // namespace benchgames
