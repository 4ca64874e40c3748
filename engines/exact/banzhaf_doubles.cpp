#include "engines/exact/banzhaf_doubles.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <new>

#include "engines/exact/method.h"
#include "engines/exact/modular.h"

namespace doubletable {
namespace {

constexpr double UNIT = std::numeric_limits<double>::epsilon() / 2;
// The largest error estimate kept, relative to its count. The estimate
// assumes every rounding adds up; on the differential test
// (tests/engines/wfloat_test.cpp) the errors stay below 1e-12 even with
// estimates of 1e-6.
constexpr double KEPT = 1e-10;
// The table is scaled down by 2^-RESCALE every RESCALE players added, the
// exponent kept aside, so that thousands of players do not overflow.
constexpr int RESCALE = 256;
constexpr double CELL_NS = 0.7;  // per cell and player or distinct weight

using Line = sizetable::Oriented;  // the table's subsets: losing ones or complements
using sizetable::ORIENT;

// Subsets of WEIGHTS by weight 0..R, times 2^E. The heaviest are added
// first, so that the lightest players, whose alternating sums cancel the
// most, suffer the fewest roundings after them; the subsets of the players
// added so far weigh no more than their total, so a player only adds to
// the cells up to it.
struct Table {
  std::vector<double> f;
  int64_t e = 0;
};

void fill(std::vector<int64_t> weights, int64_t r, Table& t) {
  std::sort(weights.begin(), weights.end(), std::greater<>());
  t.f.assign(static_cast<std::size_t>(r) + 1, 0.0);
  t.e = 0;
  double* f = t.f.data();
  f[0] = 1.0;
  int added = 0;
  int64_t top = 0;  // the heaviest subset so far, within R
  for (int64_t a : weights) {
    top = std::min(r, top + a);
    for (int64_t v = top; v >= a; --v) f[v] += f[v - a];
    COUNTAT(0.8 * (added + 1.0) / static_cast<double>(weights.size()));
    if (++added % RESCALE == 0) {
      const double down = std::ldexp(1.0, -RESCALE);
      for (int64_t v = 0; v <= top; ++v) f[v] *= down;
      t.e += RESCALE;
    }
  }
}

// The cells a table of WEIGHTS up to R adds to (fill's work).
double fillCells(std::vector<int64_t> weights, int64_t r) {
  std::sort(weights.begin(), weights.end(), std::greater<>());
  double cells = 0;
  int64_t top = 0;
  for (int64_t a : weights) {
    top = std::min(r, top + a);
    cells += static_cast<double>(std::max<int64_t>(top - a + 1, 0));  // none when A > R
  }
  return cells;
}

// A double-double, HI + LO: the prefix sums of the table in it keep the
// differences of far-apart sums exact to the table's own accuracy.
struct Twin {
  double hi = 0, lo = 0;
};

Twin plus(Twin a, Twin b) {
  const double s = a.hi + b.hi, v = s - a.hi;
  const double e = (a.hi - (s - v)) + (b.hi - v) + a.lo + b.lo;
  const double hi = s + e;
  return {hi, e - (hi - s)};
}
Twin negated(Twin a) { return {-a.hi, -a.lo}; }

double cumulative(const Table& t) {
  double s = 0;
  for (double x : t.f) s += x;
  return s;
}

// Winning sets among M players of the table (cumulative count CF of the
// range, scaled by 2^E), or the losing ones: whichever the table holds is
// its sum of positive terms, the other 2^M less it.
XNUM winning(const Line& o, int m, double cf, int64_t e, bool losing = false) {
  const XNUM c = XNUM::make(cf, e);
  return o.complement != losing ? c : XPOW2(m) - c;
}

}  // namespace

std::size_t BYTES(const sizetable::Threshold& t) {
  int64_t total = 0;
  for (int p = 1; p <= t.n; ++p) total += std::max<int64_t>(t.weight[p], 0);
  // The table and the low parts of its prefix sums; one table at a time.
  return (static_cast<std::size_t>(ORIENT(t.q, total).range) + 1) * 2 * sizeof(double) +
         static_cast<std::size_t>(t.n + t.mm + 2) * 3 * sizeof(XNUM);
}

double SECONDS(const sizetable::Threshold& t) {
  int64_t total = 0;
  std::vector<int64_t> w;
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0) {
      total += t.weight[p];
      w.push_back(t.weight[p]);
    }
  std::vector<int> holds(static_cast<std::size_t>(t.mm) + 1);
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0) holds[t.sub[p]] = 1;
  int tables = 1;
  for (int s = 1; s <= t.mm; ++s) tables += holds[s];
  if (tables == 2) tables = 1;  // one subgame holds every weighted player
  const int64_t r = ORIENT(t.q, total).range;
  // The tables, the prefix sums (four cells' work each), and per distinct
  // weight A its alternating sum over blocks of A cells.
  double work = fillCells(w, r) * tables + 4.0 * (static_cast<double>(r) + 1);
  std::sort(w.begin(), w.end());
  w.erase(std::unique(w.begin(), w.end()), w.end());
  for (int64_t a : w) work += 8.0 * (static_cast<double>(r / a) + 1);
  return work * CELL_NS * 1e-9;
}

bool BANZHAF(const sizetable::Threshold& t, Counts& c) try {
  std::vector<int> pos;
  std::vector<int> zeros(static_cast<std::size_t>(t.mm) + 1);
  int64_t total = 0;
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0) {
      pos.push_back(p);
      total += t.weight[p];
    } else {
      ++zeros[t.sub[p]];
    }
  if (t.q <= 0 || t.q > total) return false;
  const int m = static_cast<int>(pos.size()), z = t.n - m;
  std::stable_sort(pos.begin(), pos.end(), [&](int a, int b) { return t.weight[a] > t.weight[b]; });
  std::vector<int64_t> w;
  for (int p : pos) w.push_back(t.weight[p]);
  const Line o = ORIENT(t.q, total);
  const int64_t r = o.range;
  Table tb;
  fill(w, r, tb);
  const XNUM all = winning(o, m, cumulative(tb), tb.e);
  const XNUM free = XPOW2(z);
  c.all = all * free;
  c.losing = winning(o, m, cumulative(tb), tb.e, true) * free;
  c.with.assign(static_cast<std::size_t>(t.n) + 1, XNUM());
  c.swings.assign(static_cast<std::size_t>(t.n) + 1, XNUM());
  c.without.assign(static_cast<std::size_t>(t.mm) + 1, XNUM());
  const XNUM half = XNUM(0.5);
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] <= 0) c.with[p] = c.all * half;  // swings 0: it never changes a weight

  // The swings of a player of weight A: subsets of the others weighing
  // R + 1 - A .. R (either orientation), from g = f / (1 + x^A): g[v] is the
  // alternating sum f[v] - f[v - A] + f[v - 2A] - ..., so that their sum
  // over the window is the sum of f over blocks of A cells from R down,
  // alternately added and taken, each block a difference of prefix sums.
  // The table's roundings, some units of each cell, are all the error: at
  // most some units of the sum of the table.
  // The prefix sums f[0] + ... + f[v] replace the table: their high parts
  // in its cells, their low parts beside.
  const double grow = UNIT * (std::sqrt(static_cast<double>(m)) + 4.0);
  const double bound = grow * cumulative(tb);
  double* hi = tb.f.data();
  std::vector<double> lo(static_cast<std::size_t>(r) + 1);
  Twin run;
  for (int64_t v = 0; v <= r; ++v) {
    run = plus(run, Twin{hi[v], 0});
    hi[v] = run.hi;
    lo[v] = run.lo;
  }
  auto prefix = [&](int64_t v) { return v < 0 ? Twin{} : Twin{hi[v], lo[v]}; };
  std::vector<char> unsure(static_cast<std::size_t>(t.n) + 1);
  bool check = false;
  for (std::size_t i = 0; i < pos.size(); ++i) {
    const int p = pos[i];
    const int64_t a = w[i];
    if (i > 0 && a == w[i - 1]) {
      c.swings[p] = c.swings[pos[i - 1]];
      c.with[p] = c.with[pos[i - 1]];
      unsure[p] = unsure[pos[i - 1]];
      continue;
    }
    Twin sum;
    bool add = true;
    for (int64_t top = r; top >= 0; top -= a, add = !add) {
      const int64_t bottom = std::max<int64_t>(0, top - a + 1);
      const Twin block = plus(prefix(top), negated(prefix(bottom - 1)));
      sum = plus(sum, add ? block : negated(block));
    }
    double s = sum.hi + sum.lo;
    if (s <= bound) {  // cannot be told from zero: settled exactly below
      unsure[p] = 1;
      check = true;
      s = 0;
    } else if (bound > KEPT * s) {
      return false;
    }
    const XNUM sw = XNUM::make(s, tb.e);
    c.swings[p] = sw * free;
    c.with[p] = (all + sw) * half * free;
  }
  tb.f = {};
  lo = {};
  if (check) {
    // Residues modulo one prime: a swing count that is 0 modulo it (and
    // below any error estimate in doubles) is 0; any other is declined.
    const fastcount::MODP ring(fastcount::PRIME(0), t.n);
    fastcount::Totals exact(t.n, t.mm);
    sizetable::Threshold only = t;
    only.mm = 1;
    std::vector<int> one(static_cast<std::size_t>(t.n) + 1, 1);
    only.sub = one.data();
    sizetable::TOTALS(only, exact, ring);
    for (int p : pos) {
      if (!unsure[p]) continue;
      if (ring.sub(ring.add(exact.with[p], exact.with[p]), exact.all) != 0) return false;
      c.swings[p] = XNUM();
      c.with[p] = all * half * free;
    }
  }

  // Winning sets with no member of subgame s: those of the players outside
  // it, counted in a table of their own when s holds weighted players.
  for (int s = 1; s <= t.mm; ++s) {
    std::vector<int64_t> rest;
    for (int p : pos)
      if (t.sub[p] != s) rest.push_back(t.weight[p]);
    const XNUM freeRest = XPOW2(z - zeros[s]);
    if (rest.size() == pos.size()) {
      c.without[s] = all * freeRest;
      continue;
    }
    int64_t restTotal = 0;
    for (int64_t x : rest) restTotal += x;
    if (t.q > restTotal) {
      c.without[s] = XNUM();
      continue;
    }
    const Line ro = ORIENT(t.q, restTotal);
    Table rt;
    fill(rest, ro.range, rt);
    c.without[s] = winning(ro, static_cast<int>(rest.size()), cumulative(rt), rt.e) * freeRest;
    // The coalitions with a member of s are the difference: declined when
    // it is too small a part of the whole to keep its accuracy.
    const double part = XTODOUBLE((c.all - c.without[s]) / c.all);
    if (part < 1e-3) return false;
  }
  return true;
} catch (const std::bad_alloc&) {
  return false;
}

}  // namespace doubletable
