#include "engines/exact/johnston_table.h"

#include <algorithm>
#include <functional>
#include <new>

#include "engines/exact/fast_counts.h"
#include "engines/exact/modular.h"
#include "engines/exact/size_profile.h"

namespace johnston {
namespace {

// Nanoseconds a step of the count takes, as measured (one core, 2.6 GHz):
// 60 random players of weights 1..300 at quota 60 % (600 million steps) in
// 0.24 s; a step is one addition or product of the table's 64-bit counts.
// A pass modulo a prime takes MODPFACTOR times as long (100 such players,
// two passes of 6.9 billion steps, in 18 s).
constexpr double JOHNSTONCELLNS = 0.4;
constexpr double MODPFACTOR = 3.3;

// The game as the count reads it: the positive weights in falling order,
// the players of weight 0, the quota and the table's range of weights.
struct Sorted {
  int n = 0, m = 0, zeros = 0;
  std::vector<int64_t> v;   // [1..m], falling
  std::vector<int> player;  // [1..m]: the player of v[j]
  int64_t q = 0, total = 0, range = -1;
  // The runs of equal weight: first and last place in v of each.
  std::vector<std::pair<int, int>> runs;
};

Sorted sortedOf(const sizetable::Threshold& t) {
  Sorted s;
  s.n = t.n;
  s.q = t.q;
  std::vector<int> order;
  for (int p = 1; p <= t.n; ++p) {
    if (t.weight[p] > 0)
      order.push_back(p);
    else
      ++s.zeros;
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return t.weight[a] > t.weight[b]; });
  s.m = static_cast<int>(order.size());
  s.v.assign(static_cast<std::size_t>(s.m) + 2, 0);
  s.player.assign(static_cast<std::size_t>(s.m) + 1, 0);
  for (int j = 1; j <= s.m; ++j) {
    s.player[j] = order[static_cast<std::size_t>(j) - 1];
    s.v[j] = t.weight[s.player[j]];
    s.total += s.v[j];
  }
  for (int j = 1; j <= s.m; ++j)
    if (j == 1 || s.v[j] != s.v[j - 1])
      s.runs.push_back({j, j});
    else
      s.runs.back().second = j;
  if (s.m > 0 && s.q >= 1 && s.q <= s.total) s.range = std::min(s.total, s.q + s.v[1] - 1);
  return s;
}

// The steps of the count on S (see the header).
double stepsOf(const Sorted& s) {
  if (s.range < 0) return 0;
  const double r = static_cast<double>(s.range) + 1;
  double steps = static_cast<double>(s.m) * s.m * r / 2;
  std::size_t heavyRuns = 0;
  for (int b = 1; b <= s.m; ++b) {
    while (heavyRuns < s.runs.size() && s.runs[heavyRuns].first <= b) ++heavyRuns;
    if (b == s.m || s.v[b] > s.v[b + 1]) steps += 2.0 * heavyRuns * b * r + 2 * r;
  }
  return steps;
}

// The residues of one pass: [0] the winning coalitions, [1] the vulnerable
// ones, then per run of equal weight K[c] for c = 0..m (K[0] = 0).
template <class RING>
void countPass(const Sorted& s, const RING& rg, std::vector<uint64_t>& out) {
  const int m = s.m;
  const int64_t r = s.range;
  const std::size_t width = static_cast<std::size_t>(r) + 1;
  const std::size_t row = static_cast<std::size_t>(m) + 1;
  out.assign(2 + s.runs.size() * row, 0);
  // The light line: subsets of the players not yet in the table, by weight.
  std::vector<uint64_t> line(width, 0), sums(width, 0), g(width, 0);
  line[0] = 1;
  for (int j = 1; j <= m; ++j)
    for (int64_t x = r; x >= s.v[j]; --x) line[x] = rg.add(line[x], line[x - s.v[j]]);
  // Winning: all 2^m less those below the quota (every count times 2 per
  // player of weight 0).
  uint64_t losing = 0;
  for (int64_t x = 0; x < s.q && x <= r; ++x) losing = rg.add(losing, line[x]);
  const uint64_t free = rg.pow2(s.zeros);
  out[0] = rg.mul(rg.sub(rg.pow2(m), losing), free);  // the empty set loses
  // The heavy table P[c][A] and the table with one player divided out.
  std::vector<uint64_t> p(row * width, 0), d(row * width, 0);
  p[0] = 1;
  auto at = [&](std::vector<uint64_t>& t, int c) {
    return t.data() + static_cast<std::size_t>(c) * width;
  };
  for (int b = 1; b <= m; ++b) {
    const int64_t vb = s.v[b];
    for (int c = b; c >= 1; --c) {
      uint64_t* to = at(p, c);
      const uint64_t* from = at(p, c - 1);
      for (int64_t x = r; x >= vb; --x) to[x] = rg.add(to[x], from[x - vb]);
    }
    for (int64_t x = vb; x <= r; ++x) line[x] = rg.sub(line[x], line[x - vb]);
    COUNTAT(static_cast<double>(b) / (m + 1));
    if (b < m && s.v[b + 1] == vb) continue;  // not a break
    // The window of the light sets' weight for each heavy weight A:
    // q + v_(b+1) <= A + B <= q + v_b - 1.
    uint64_t run = 0;
    for (std::size_t x = 0; x < width; ++x) sums[x] = run = rg.add(run, line[x]);
    const int64_t next = b < m ? s.v[b + 1] : 0;
    for (int64_t a = 0; a <= r; ++a) {
      const int64_t lo = std::max<int64_t>(0, s.q + next - a), hi = std::min(r, s.q + vb - 1 - a);
      g[static_cast<std::size_t>(a)] =
          hi < lo ? 0
                  : rg.sub(sums[static_cast<std::size_t>(hi)],
                           lo > 0 ? sums[static_cast<std::size_t>(lo - 1)] : 0);
    }
    for (int c = 1; c <= b; ++c) {
      const uint64_t* pc = at(p, c);
      uint64_t v = 0;
      for (std::size_t x = 0; x < width; ++x) v = rg.add(v, rg.mul(pc[x], g[x]));
      out[1] = rg.add(out[1], v);
    }
    for (std::size_t k = 0; k < s.runs.size() && s.runs[k].first <= b; ++k) {
      const int64_t u = s.v[s.runs[k].first];
      // D = P / (1 + y x^u): D[c] = P[c] - D[c-1] shifted by u.
      for (int c = 0; c < b; ++c) {
        uint64_t* dc = at(d, c);
        const uint64_t* pc = at(p, c);
        if (c == 0) {
          std::copy(pc, pc + width, dc);
          continue;
        }
        const uint64_t* below = at(d, c - 1);
        for (int64_t x = 0; x < u && x <= r; ++x) dc[x] = pc[x];
        for (int64_t x = u; x <= r; ++x) dc[x] = rg.sub(pc[x], below[x - u]);
      }
      uint64_t* k0 = out.data() + 2 + k * row;
      for (int c = 1; c <= b; ++c) {
        const uint64_t* dc = at(d, c - 1);
        uint64_t v = 0;
        for (int64_t x = 0; x + u <= r; ++x)
          v = rg.add(v, rg.mul(dc[x], g[static_cast<std::size_t>(x + u)]));
        k0[c] = rg.add(k0[c], v);
      }
    }
  }
  for (std::size_t i = 1; i < out.size(); ++i) out[i] = rg.mul(out[i], free);
}

}  // namespace

bool ONETHRESHOLD(const weightedwalk::Game& CORE, std::vector<int64_t>& WEIGHT, int64_t& Q) {
  const fastcount::SIZE size = fastcount::SIZERULE(CORE);
  const bool sized = (size == fastcount::SIZE::AND && CORE.t1 > 1) ||
                     (size == fastcount::SIZE::OR && CORE.t1 <= CORE.n);
  return !sized && fastcount::MONOTONE(CORE) && fastcount::ASTHRESHOLD(CORE, WEIGHT, Q);
}

COSTTYP COST(const sizetable::Threshold& T) {
  COSTTYP cost;
  const Sorted s = sortedOf(T);
  cost.APPLIES = true;
  cost.PASSES = fastcount::PASSES(T.n);
  const double width = static_cast<double>(std::max<int64_t>(s.range, 0)) + 1;
  const double cells = (2.0 * (s.m + 1) + 3) * width;
  cost.BYTES = static_cast<std::size_t>(std::min(cells * 8, 1e18)) +
               static_cast<std::size_t>(s.runs.size() + 2) * (s.m + 1) * 8 * (cost.PASSES + 1);
  cost.SECONDS =
      stepsOf(s) * JOHNSTONCELLNS * 1e-9 * cost.PASSES * (cost.PASSES > 1 ? MODPFACTOR : 1.0);
  return cost;
}

bool COUNT(const sizetable::Threshold& T, Result& R) {
  R = Result(T.n);
  const Sorted s = sortedOf(T);
  if (s.q <= 0) {  // everything wins, nobody is ever critical
    R.wins = XPOW2(T.n) - XNUM(1);
    return true;
  }
  if (s.range < 0) return true;  // nothing wins
  const std::size_t runs = s.runs.size(), row = static_cast<std::size_t>(s.m) + 1;
  std::vector<XNUM> value(2 + runs * row);
  try {
    std::vector<uint64_t> x;
    if (T.n <= fastcount::PROFILEMAX) {
      countPass(s, fastcount::WRAP{}, x);
      for (std::size_t i = 0; i < x.size(); ++i) value[i] = XNUM(static_cast<double>(x[i]));
    } else {
      fastcount::JOIN join(value.size());
      for (int i = 0, passes = fastcount::PASSES(T.n); i < passes; ++i) {
        const fastcount::MODP ring(fastcount::PRIME(i), T.n);
        countPass(s, ring, x);
        join.add(x, ring.modulus());
      }
      for (std::size_t i = 0; i < value.size(); ++i) value[i] = join.value(i);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  R.wins = value[0];
  R.vulnerable = value[1];
  for (std::size_t k = 0; k < runs; ++k) {
    XNUM score, critical;
    for (int c = 1; c <= s.m; ++c) {
      const XNUM& kc = value[2 + k * row + static_cast<std::size_t>(c)];
      score += kc / XNUM(static_cast<double>(c));
      critical += kc;
    }
    for (int j = s.runs[k].first; j <= s.runs[k].second; ++j) {
      R.score[static_cast<std::size_t>(s.player[j])] = score;
      R.critical[static_cast<std::size_t>(s.player[j])] = critical;
    }
  }
  return true;
}

}  // namespace johnston
