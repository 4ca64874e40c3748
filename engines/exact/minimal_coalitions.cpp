#include "engines/exact/minimal_coalitions.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <new>
#include <numeric>
#include <system_error>
#include <thread>
#include <type_traits>

#include "engines/exact/gauss_jacobi.h"
#include "engines/exact/shapley_quadrature.h"
#include "platform/process.h"

namespace minimalsets {

namespace {

// The program counts weights of 0 and more only.
bool negative(int n, const int64_t* weight) {
  for (int p = 1; p <= n; ++p)
    if (weight[p] < 0) return true;
  return false;
}

// The rule as the program reads it: the players of positive weight,
// heaviest first, with the weights and the quota divided by the weights'
// greatest common divisor (the quota rounded up: the same coalitions win).
struct Rule {
  std::vector<int> player;  // by rank, heaviest first
  std::vector<int64_t> w;   // by rank
  int64_t q = 0;
  int block = 1;  // F is kept at every BLOCK-th level
  // F is kept at every level where a player's paths are summed (the last
  // of each weight), each row over its live range, instead of BLOCK-wise.
  bool stored = false;
  bool summed(int l) const {
    return l + 1 == static_cast<int>(w.size()) ||
           w[static_cast<std::size_t>(l) + 1] != w[static_cast<std::size_t>(l)];
  }
  int largest = 0;   // the most members a minimal winning coalition can have
  int smallest = 0;  // the fewest members of a winning coalition
  // The shares' quadrature nodes and weights (set where shares are wanted).
  std::vector<double> y, weight;
  // LO[l]: Q less the weight of ranks l.. (0 at the least). From a weight
  // below it the ranks from l on cannot reach Q, so F(l) and B(l) matter
  // from LO[l] on only: the rows shrink as the light players come.
  std::vector<int64_t> lo;
};

// False where nothing is to count: no weighted player, the empty coalition
// wins (Q <= 0: no minimal winning coalition has a member), or no coalition
// does.
bool ruleOf(int n, const int64_t* weight, int64_t q, Rule& r) {
  int64_t total = 0, unit = 0;
  for (int p = 1; p <= n; ++p)
    if (weight[p] > 0) {
      r.player.push_back(p);
      total += weight[p];
      unit = std::gcd(unit, weight[p]);
    }
  if (q <= 0 || q > total) return false;
  std::stable_sort(r.player.begin(), r.player.end(),
                   [&](int a, int b) { return weight[a] > weight[b]; });
  for (int p : r.player) r.w.push_back(weight[p] / unit);
  r.q = (q + unit - 1) / unit;
  const int m = static_cast<int>(r.player.size());
  r.block = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(m)))));
  r.lo.assign(static_cast<std::size_t>(m) + 1, r.q);
  int64_t suffix = 0;
  for (int l = m - 1; l >= 0; --l) {
    suffix += r.w[static_cast<std::size_t>(l)];
    r.lo[static_cast<std::size_t>(l)] = std::max<int64_t>(0, r.q - suffix);
  }
  // A minimal winning coalition less its lightest member loses, so it has
  // no more members than the lightest weights that stay below Q, plus one.
  int64_t light = 0;
  r.largest = 1;
  for (int i = m - 1; i > 0 && light + r.w[static_cast<std::size_t>(i)] < r.q; --i) {
    light += r.w[static_cast<std::size_t>(i)];
    ++r.largest;
  }
  // A winning coalition has at least as many members as the heaviest
  // players that reach Q.
  int64_t heavy = 0;
  while (heavy < r.q) heavy += r.w[static_cast<std::size_t>(r.smallest++)];
  return true;
}

// One row of the program over the weights 0..Q-1: the counts V[s] times
// 2^E for s in LO..TOP (none where TOP < LO); the cells outside hold
// anything. Rows in doubles are scaled down now and then, so that the
// counts of thousands of players stay in range; 64-bit rows are exact and
// never scaled.
template <class T>
struct Row {
  std::unique_ptr<T[]> cells;  // left uninitialised: only LO..TOP is read
  T* v = nullptr;
  int64_t e = 0;
  int64_t lo = 0, top = 0;
  void allocate(int64_t q) {
    cells.reset(new T[static_cast<std::size_t>(q)]);
    v = cells.get();
  }
  // Cells for the weights FROM..TO only (at least one), V still indexed by
  // the weight.
  void allocate(int64_t from, int64_t to) {
    cells.reset(new T[static_cast<std::size_t>(std::max<int64_t>(1, to - from + 1))]);
    v = cells.get() - from;
  }
};

// The cells of F(l) that a run writes: its live range, the subsets of
// ranks before l that may still reach Q, from LO[l] to their weight (below
// Q), and down to just above F(l-1)'s top (grow fills the cells above
// F(l-1)'s top from it, some below LO[l] where the two ranges do not meet).
struct Live {
  int64_t from = 0, to = 0;
};
std::vector<Live> liveRows(const Rule& r) {
  const std::size_t m = r.w.size();
  std::vector<Live> out(m);
  int64_t heavier = 0;
  for (std::size_t l = 0; l < m; ++l) {
    const int64_t to = std::min(r.q - 1, heavier);
    out[l] = {l == 0 ? 0 : std::min(r.lo[l], out[l - 1].to + 1), to};
    heavier += r.w[l];
  }
  return out;
}

template <class T>
void rescale(Row<T>& r) {
  if constexpr (std::is_floating_point_v<T>) {
    T most = 0;
    for (int64_t s = r.lo; s <= r.top; ++s) most = std::max(most, r.v[s]);
    if (most == 0) return;
    const int k = std::ilogb(most);
    if (k < 256) return;
    const T f = std::ldexp(T(1), -k);
    for (int64_t s = r.lo; s <= r.top; ++s) r.v[s] *= f;
    r.e += k;
  }
}

// F(l) into NEXT from F(l-1) in PREV (the same row or another): the subsets
// with the player of weight W (times Y) added, from LO on.
template <class T>
void grow(const Row<T>& prev, Row<T>& next, int64_t w, T y, int64_t q, int64_t lo) {
  const int64_t top = std::min(q - 1, prev.top + w);
  const T* a = prev.v;
  T* v = next.v;
  if (prev.top < prev.lo) {
    next.lo = lo;
    next.top = lo - 1;
    return;
  }
  // Above PREV's top only the subsets with the player; within PREV's
  // range both (descending: in place, each cell read before it is
  // written); below PREV's LO + W only those without.
  for (int64_t s = top; s > prev.top; --s) v[s] = s - w >= prev.lo ? T(y * a[s - w]) : T(0);
  const int64_t mid = std::max(lo, prev.lo + w);
  if constexpr (std::is_same_v<T, uint64_t>) {
#pragma GCC ivdep
    for (int64_t s = prev.top; s >= mid; --s) v[s] = a[s] + a[s - w];
  } else {
#pragma GCC ivdep
    for (int64_t s = prev.top; s >= mid; --s) v[s] = a[s] + y * a[s - w];
  }
  if (v != a)
    for (int64_t s = std::min(prev.top, mid - 1); s >= lo; --s) v[s] = a[s];
  next.e = prev.e;
  next.lo = lo;
  next.top = top;
}

// SOURCE's counts into the row TO, whose cells are allocated already.
template <class T>
void copyRow(const Row<T>& from, Row<T>& to) {
  if (from.top >= from.lo) std::copy(from.v + from.lo, from.v + from.top + 1, to.v + from.lo);
  to.e = from.e;
  to.lo = from.lo;
  to.top = from.top;
}

// The paths through the player of weight W: F(p-1) (the weights of the
// heavier members) against B(p) (the ways to close after it), times Y; as
// an extended-range number, or exactly in 64 bits. With SUM false they are
// not wanted (a player of the same weight has them). Either way B(p)
// becomes B(p-1): the player taken at s closes the path (s + W >= Q: one
// way, 2^-E in B's scale) or carries it on. One sweep over both rows.
template <class T>
struct Through {
  XNUM x;
  uint64_t exact = 0;
};
template <class T>
Through<T> through(const Row<T>& f, Row<T>& b, int64_t w, T y, int64_t q, int64_t lo, bool sum) {
  const int64_t open = std::max<int64_t>(0, q - w);
  const T* fv = f.v;
  T* bv = b.v;
  T closing = 0, going = 0;
  if (sum)
    for (int64_t s = std::max(f.lo, open); s <= f.top; ++s) closing += fv[s];
  // F(p-1) and B(p) from LO on (F's LO is LO; below it B(p) is 0).
  const int64_t both = sum ? std::min(f.top, open - 1) : lo - 1;
  T one = 1;
  if constexpr (std::is_floating_point_v<T>) one = y * std::ldexp(T(1), static_cast<int>(-b.e));
  if constexpr (std::is_same_v<T, uint64_t>) {
    for (int64_t s = lo; s <= both; ++s) {
      going += fv[s] * bv[s + w];
      bv[s] += bv[s + w];
    }
#pragma GCC ivdep
    for (int64_t s = std::max(lo, both + 1); s < open; ++s) bv[s] += bv[s + w];
  } else {
    // Four partial sums, so that the additions need not wait for each other.
    T part[4] = {0, 0, 0, 0};
    int64_t s = lo;
    for (; s + 3 <= both; s += 4)
      for (int i = 0; i < 4; ++i) {
        part[i] += fv[s + i] * bv[s + i + w];
        bv[s + i] += y * bv[s + i + w];
      }
    for (; s <= both; ++s) {
      part[0] += fv[s] * bv[s + w];
      bv[s] += y * bv[s + w];
    }
    going = (part[0] + part[1]) + (part[2] + part[3]);
#pragma GCC ivdep
    for (int64_t s = std::max(lo, both + 1); s < open; ++s) bv[s] += y * bv[s + w];
  }
  for (int64_t s = std::max(lo, open); s < q; ++s) bv[s] += one;
  b.lo = lo;
  Through<T> t;
  if (!sum) return t;
  if constexpr (std::is_same_v<T, uint64_t>) {
    t.exact = closing + going;
    t.x = XNUM(static_cast<double>(t.exact));
  } else {
    t.x = XNUM::fromLong(y * closing, f.e) + XNUM::fromLong(y * going, f.e + b.e);
  }
  return t;
}

// The rows of the program, allocated once for all its runs: F at every
// BLOCK-th level, F within one block, and B.
// Where F is STORED, the rows of the summed levels over their live
// ranges instead (the others' left empty), F's working row and B.
template <class T>
struct Work {
  explicit Work(const Rule& r) {
    const int m = static_cast<int>(r.w.size()), c = r.block;
    b.allocate(r.q);
    f.allocate(r.q);
    if (r.stored) {
      const std::vector<Live> live = liveRows(r);
      kept.resize(static_cast<std::size_t>(m));
      for (int l = 0; l < m; ++l)
        if (r.summed(l))
          kept[static_cast<std::size_t>(l)].allocate(live[static_cast<std::size_t>(l)].from,
                                                     live[static_cast<std::size_t>(l)].to);
      return;
    }
    kept.resize(static_cast<std::size_t>((m + c - 1) / c));
    rows.resize(static_cast<std::size_t>(c));
    for (Row<T>& row : kept) row.allocate(r.q);
    for (Row<T>& row : rows) row.allocate(r.q);
  }
  std::vector<Row<T>> kept, rows;
  Row<T> f, b;
};

// One run of the program with every member weighted by Y: the paths
// through each rank into AT[rank], all of them into ALL. DONE and SHARE
// place the run's progress among the count's (COUNTAT).
template <class T>
void run(const Rule& r, T y, Work<T>& work, std::vector<Through<T>>& at, Through<T>& all,
         double done, double share) {
  const int m = static_cast<int>(r.w.size()), c = r.stored ? 1 : r.block;
  const int64_t q = r.q;
  const int blocks = (m + c - 1) / c;
  // F forward: where STORED, each summed level grown into its own row
  // (from the working row or the level before's), the others in the
  // working row; else in the working row, every C-th level kept.
  auto home = [&](int l) -> Row<T>& {
    return r.stored && r.summed(l) ? work.kept[static_cast<std::size_t>(l)] : work.f;
  };
  Row<T>* f = r.stored ? &home(0) : &work.f;
  f->v[0] = 1;
  f->e = f->lo = f->top = 0;
  for (int l = 0; l < m; ++l) {  // F(l) before rank l joins
    if (l % 16 == 0) COUNTAT(done + share * 0.5 * l / m);
    const int64_t w = r.w[static_cast<std::size_t>(l)], lo = r.lo[static_cast<std::size_t>(l) + 1];
    if (r.stored) {
      if (l + 1 == m) break;  // F(m) is not read
      Row<T>& next = home(l + 1);
      grow(*f, next, w, y, q, lo);
      if (l % 128 == 127) rescale(next);
      f = &next;
      continue;
    }
    if (l % c == 0) copyRow(*f, work.kept[static_cast<std::size_t>(l / c)]);
    grow(*f, *f, w, y, q, lo);
    if (l % 128 == 127) rescale(*f);
  }
  Row<T>& b = work.b;
  std::fill(b.v, b.v + q, T(0));
  b.e = 0;
  b.lo = q;
  b.top = q - 1;
  at.assign(static_cast<std::size_t>(m), {});
  for (int k = blocks - 1; k >= 0; --k) {
    if (!r.stored || k % 16 == 0) COUNTAT(done + share * (0.5 + 0.5 * (blocks - 1 - k) / blocks));
    const int from = k * c, to = std::min(m, from + c);
    // F of the block's levels: the stored row, or the block grown again
    // from its kept row.
    auto rowOf = [&](int l) -> const Row<T>& {
      return r.stored ? work.kept[static_cast<std::size_t>(l)]
                      : work.rows[static_cast<std::size_t>(l - from)];
    };
    if (!r.stored) {
      copyRow(work.kept[static_cast<std::size_t>(k)], work.rows[0]);
      for (int l = from + 1; l < to; ++l) {
        Row<T>& next = work.rows[static_cast<std::size_t>(l - from)];
        grow(work.rows[static_cast<std::size_t>(l - from - 1)], next,
             r.w[static_cast<std::size_t>(l - 1)], y, q, r.lo[static_cast<std::size_t>(l)]);
        if (l % 128 == 127) rescale(next);
      }
    }
    for (int l = to - 1; l >= from; --l) {
      const int64_t w = r.w[static_cast<std::size_t>(l)];
      // Players of one weight are next to each other and count the same.
      const bool same = l + 1 < m && r.w[static_cast<std::size_t>(l + 1)] == w;
      const Through<T> t = through(rowOf(l), b, w, y, q, r.lo[static_cast<std::size_t>(l)], !same);
      at[static_cast<std::size_t>(l)] = same ? at[static_cast<std::size_t>(l + 1)] : t;
      if (l % 128 == 0) rescale(b);
    }
  }
  if constexpr (std::is_same_v<T, uint64_t>) {
    all.exact = b.v[0];
    all.x = XNUM(static_cast<double>(all.exact));
  } else {
    all.x = XNUM::fromLong(b.v[0], b.e);
  }
}

// The nodes of the shares: every minimal winning coalition has SMALLEST to
// LARGEST members, so each player's integrand is a sum with nonnegative
// counts of y^(s - 1), SMALLEST <= s <= LARGEST. The Gauss-Jacobi rule for
// y^(SMALLEST - 1) with the fewest nodes that integrate each such power to
// NODES_TOLERANCE relative gives every share to the same bound:
// ceil((LARGEST - SMALLEST + 1) / 2) nodes at most, where the rule is
// exact, and far fewer where SMALLEST is large. The bound counts the nodes
// as the runs take them, rounded to doubles (a node's rounding moves
// y^(s-1) by some s units in the last place), on which the exact rule
// itself reaches 3e-15 (sizes 24 to 710).
constexpr double NODES_TOLERANCE = 1e-14;
void nodes(Rule& r) {
  if (!quadrule::GAUSSJACOBIFOR(r.smallest, r.largest, NODES_TOLERANCE, r.y, r.weight))
    ssquadrature::GAUSSLEGENDRE((r.largest + 1) / 2, r.y, r.weight);  // more runs, the same shares
}
int nodesFor(const Rule& r) { return static_cast<int>(r.y.size()); }

// Whether a row's counts may span more than a double's exponents: a row
// of l players holds counts from 1 to 2^l, and the ones that matter to a
// player may be the smallest. Beyond WIDE players the rows are long
// doubles (15 bits of exponent), at some twice the time.
constexpr int WIDE = 1000;
bool wide(const Rule& r) { return static_cast<int>(r.w.size()) > WIDE; }

// The counts by a run at y = 1 in T.
template <class T>
void counts(const Rule& r, Counts& out, int runs) {
  std::vector<Through<T>> at;
  Through<T> all;
  Work<T> work(r);
  run<T>(r, T(1), work, at, all, 0, 1.0 / runs);
  out.minimal = all.x;
  for (std::size_t i = 0; i < r.player.size(); ++i) out.with[r.player[i]] = at[i].x;
}

// Whether the shares' runs go to two halves of the nodes, the second on a
// helper thread: where the machine has a second core and there are two
// nodes or more. Each half has rows of its own.
bool halves(const Rule& r) { return plat::CORES() > 1 && nodesFor(r) > 1; }

// The shares: the runs at the Gauss-Jacobi nodes, each count divided by
// its node and weighted by the node's weight. Every other node goes to the
// helper where there is one (the rows are bound by memory, which a second
// core adds to). The even nodes' terms and the odd nodes' are summed apart
// and then added, on one core as on two, so that the shares do not depend
// on the cores. The helper hears
// a request to stop as the count does, and reports no progress of its own.
template <class T>
void shares(const Rule& r, Counts& out, int runs) {
  const std::vector<double>&y = r.y, &weight = r.weight;
  const std::size_t k = y.size(), m = r.player.size();
  std::vector<XNUM> sum[2] = {std::vector<XNUM>(m), std::vector<XNUM>(m)};
  auto half = [&](std::size_t first, std::size_t step) {
    std::vector<Through<T>> at;
    Through<T> all;
    Work<T> work(r);
    for (std::size_t j = first; j < k; j += step) {
      run<T>(r, static_cast<T>(y[j]), work, at, all, static_cast<double>(j + 1) / runs, 1.0 / runs);
      const XNUM factor(weight[j] / y[j]);
      for (std::size_t i = 0; i < m; ++i) sum[j % 2][i] += factor * at[i].x;
    }
  };
  bool helped = false;
#ifndef VKX_ONE_THREAD  // a build without threads has no helper
  if (halves(r)) {
    const CONTROLTYP* outer = COUNTCONTROL;
    CONTROLTYP quiet;
    if (outer != nullptr) quiet.STOP = outer->STOP;
    std::exception_ptr failed;
    std::thread helper;
    try {
      helper = std::thread([&] {
        CONTROLSCOPE scope(outer != nullptr ? &quiet : nullptr);
        try {
          half(1, 2);
        } catch (...) {
          failed = std::current_exception();
        }
      });
      helped = true;
    } catch (const std::system_error&) {  // no thread to be had: one after the other
    }
    if (helped) {
      try {
        half(0, 2);
      } catch (...) {
        helper.join();
        throw;
      }
      helper.join();
      if (failed) std::rethrow_exception(failed);
    }
  }
#endif
  if (!helped) half(0, 1);
  for (std::size_t i = 0; i < m; ++i) {
    const int p = r.player[i];
    // A player in no minimal winning coalition keeps its share of 0.
    if (!out.with[p].zero()) out.share[p] += sum[0][i] + sum[1][i];
  }
}

// Measured on one core of the development machine (2.6 GHz, CPU time,
// bench/minimal_bench.cpp): a cell of the program in doubles or 64-bit
// integers about CELL_NS while the rows stay within CACHED bytes (1000
// players of weights 1..100 at 50 %: 3.3e7 cells counted a run, 212 runs
// in 3.3 to 4.3 s; 400 players: 4.6e8 cells in all in 0.24 to 0.3 s),
// CELL_FAR_NS beyond (190 Pareto-weighted players at 50 to 85 %, rows of
// 20 to 34 MB: 1.8e9 to 3e9 cells in 1.7 to 2.5 s); in long doubles about
// CELL_LONG_NS (2000 players of weights 1..100: 2.8e8 cells in 1.0 s).
// The cells counted leave out each run's per-player sums and the rows'
// rescaling, which the rates take in.
constexpr double CELL_NS = 0.45, CELL_FAR_NS = 0.9, CELL_LONG_NS = 3.7;
constexpr double CACHED = 16e6;
// With F stored, a cell in cached rows about STORED_CACHED of CELL_NS (the
// rows are read, not grown again in cache: 1000 holders' shares 0.75 s on
// two cores against 1.32 s planned at CELL_NS; 400 players 0.05 s against
// 0.09 s); in rows bound by memory CELL_FAR_NS holds (190 Pareto members
// and the IMF-like board: 0.7 to 1.0 of the plan).
constexpr double STORED_CACHED = 0.6;
// The shares' runs split between two cores, of one core's time: 0.52 in
// cached rows (1000 holders: 2.0 s against 3.3 to 3.9 s), 0.6 to 0.7 in
// rows bound by memory (190 Pareto members at 50 to 85 %: 8.8 to 23 s
// against 13.7 to 37 s).
constexpr double TWO_CORES = 0.6;
// The program under an overall threshold in members (COUNTSIZED): a cell
// with its branches about CELL_SIZED_NS.
constexpr double CELL_SIZED_NS = 3.0;

// The bytes of the counts of N players.
std::size_t countBytes(int n) { return (static_cast<std::size_t>(n) + 1) * 3 * sizeof(XNUM); }

// The rows of a count: the cells one run counts, the bytes of one Work
// and the peak bytes of the count (a Work per core the shares take, and
// the counts beside them, COUNTS bytes).
struct Shape {
  double cells = 0, work = 0, bytes = 0;
};
Shape shapeOf(const Rule& r, bool shares, std::size_t counts) {
  const int m = static_cast<int>(r.player.size());
  const double q = static_cast<double>(r.q);
  const double cell = wide(r) ? sizeof(long double) : sizeof(double);
  // F grows over its live range (from LO[l] to the heavier players'
  // weight) once where stored, else again by blocks; B runs from LO[l]
  // to Q, and the paths' sums beside it.
  const std::vector<Live> live = liveRows(r);
  Shape out;
  double kept = 0;
  for (int l = 0; l < m; ++l) {
    const Live& at = live[static_cast<std::size_t>(l)];
    const double lo = static_cast<double>(at.from);
    const double grown = std::max(
        0.0, std::min(static_cast<double>(at.to) + r.w[static_cast<std::size_t>(l)], q) - lo);
    out.cells += (r.stored ? 1 : 2) * grown + q - lo;
    if (r.summed(l)) kept += std::max<double>(1, static_cast<double>(at.to - at.from + 1));
  }
  const double rows = r.stored ? kept + 2 * q : ((m + r.block - 1) / r.block + r.block + 2.0) * q;
  out.work = rows * cell;
  out.bytes = out.work * (shares && halves(r) ? 2 : 1) + static_cast<double>(counts) * 2.0;
  return out;
}

// F stored at the summed levels for the shares' runs where the count's
// rows then fit in BUDGET (0: a quarter of the machine's memory, 2 GiB
// where that is not known) and storing pays: each run then grows F once
// instead of twice, but the stored rows' memory is new to the count, and
// its first touch (the kernel clears each page) costs about TOUCH_NS a
// byte, while F's second growth by blocks, in rows bound by memory, costs
// about REGROW_FAR_NS a cell. 190 Pareto members at 50 % and the IMF-like
// board (28 and 22 runs): 2.3 and 2.1 GB more stored than by blocks, some
// 4.4 s more system time on two cores against 2 to 4 s more user time by
// blocks, the same elapsed time within this machine's noise (6.4 to 8.8
// s) in a third of the memory. Rows within CACHED bytes are stored (their
// memory is mostly the heap's again). Not for the counts' one run: the
// stored rows' first touch costs more than F's second growth (190 Pareto
// members at 85 %: 1.6 s stored against 0.8 s).
constexpr double TOUCH_NS = 1.9, REGROW_FAR_NS = 0.4;
void chooseRows(Rule& r, bool shares, std::size_t budget, std::size_t counts) {
  r.stored = false;
  if (!shares) return;
  std::size_t room = budget;
  if (room == 0) {
    const std::size_t physical = plat::PHYSICALMEMORY();
    room = physical != 0 ? physical / 4 : std::size_t{2} << 30;
  }
  const Shape blocks = shapeOf(r, shares, counts);
  r.stored = true;
  const Shape stored = shapeOf(r, shares, counts);
  const double runs = halves(r) ? (nodesFor(r) + 1) / 2 : nodesFor(r);
  const bool far = stored.work > CACHED;
  const double saved = (blocks.cells - stored.cells) * runs * (far ? REGROW_FAR_NS : CELL_NS);
  const double touched = far ? std::max(0.0, stored.work - blocks.work) * TOUCH_NS : 0.0;
  r.stored = stored.bytes <= static_cast<double>(room) && saved > touched;
}

}  // namespace

bool COUNT(int N, const int64_t* WEIGHT, int64_t Q, Counts& OUT, bool SHARES, std::size_t BUDGET) {
  if (negative(N, WEIGHT)) return false;
  Counts out(N);
  Rule r;
  if (!ruleOf(N, WEIGHT, Q, r)) {
    out.exact = N <= 63;
    OUT = std::move(out);
    return true;
  }
  const int m = static_cast<int>(r.player.size());
  if (SHARES) nodes(r);
  const int runs = 1 + (SHARES ? nodesFor(r) : 0);
  chooseRows(r, SHARES, BUDGET, countBytes(N));
  try {
    if (N <= 63) {
      std::vector<Through<uint64_t>> at;
      Through<uint64_t> all;
      Work<uint64_t> work(r);
      run<uint64_t>(r, 1, work, at, all, 0, 1.0 / runs);
      out.exact = true;
      out.exactMinimal = all.exact;
      out.minimal = all.x;
      for (int i = 0; i < m; ++i) {
        out.exactWith[r.player[i]] = at[static_cast<std::size_t>(i)].exact;
        out.with[r.player[i]] = at[static_cast<std::size_t>(i)].x;
      }
    } else if (wide(r)) {
      counts<long double>(r, out, runs);
    } else {
      counts<double>(r, out, runs);
    }
    if (SHARES && wide(r))
      shares<long double>(r, out, runs);
    else if (SHARES)
      shares<double>(r, out, runs);
  } catch (const std::bad_alloc&) {
    return false;
  }
  OUT = std::move(out);
  return true;
}

COSTTYP COST(int N, const int64_t* WEIGHT, int64_t Q, bool SHARES, std::size_t BUDGET) {
  COSTTYP c;
  if (negative(N, WEIGHT)) {
    c.WHY = "a weight is negative";
    return c;
  }
  c.APPLIES = true;
  Rule r;
  const std::size_t counts = countBytes(N);
  if (!ruleOf(N, WEIGHT, Q, r)) {
    c.BYTES = counts;
    return c;
  }
  if (SHARES) nodes(r);
  chooseRows(r, SHARES, BUDGET, counts);
  const Shape shape = shapeOf(r, SHARES, counts);
  // The shares' runs in two halves take about TWO_CORES of one core's time.
  const double runs = 1 + (SHARES ? nodesFor(r) * (SHARES && halves(r) ? TWO_CORES : 1.0) : 0.0);
  const double rate = wide(r)               ? CELL_LONG_NS
                      : shape.work > CACHED ? CELL_FAR_NS
                      : r.stored            ? CELL_NS * STORED_CACHED
                                            : CELL_NS;
  c.SECONDS = shape.cells * runs * rate * 1e-9;
  c.BYTES =
      shape.bytes > 1e18 ? static_cast<std::size_t>(1e18) : static_cast<std::size_t>(shape.bytes);
  if (BUDGET != 0 && c.BYTES > BUDGET) {
    c.APPLIES = false;
    c.WHY = "its rows exceed the memory";
  }
  return c;
}

namespace {

// The same paths under an overall threshold of T1 members, carrying the
// members so far (k) beside the weight (s), one layer of weights per k.
// The minimal winning coalitions fall into two kinds, each a path closed
// at its lightest member:
//   AND (T1 members or more): those of more than T1 members whose weight
//     less the lightest's stays below Q (as without the threshold), and
//     those of exactly T1 members that reach Q (any member less loses by
//     its size); the weight is then carried up to Q, Q meaning "Q or
//     more";
//   OR (T1 members win): those of fewer than T1 members as without the
//     threshold, and those of exactly T1 members whose weight less the
//     lightest's stays below Q (each member less loses on both counts).
// Players of weight 0 join the paths of exactly T1 members, as the last.
struct Kind {
  bool exact;     // exactly T1 members (else: the weight-minimal ones)
  int64_t width;  // weights 0..WIDTH-1
  int layers;     // members 0..LAYERS-1 before the closing one
  bool zeros;     // players of weight 0 take part
};

struct Sized {
  Kind kind;
  int64_t q = 0;
  int t1 = 0, and_ = 1;
  // Whether a path at (s, k) closes with a member of weight W, and where
  // it goes on (false: it ends there).
  bool closes(int64_t s, int k, int64_t w) const {
    if (kind.exact) return k + 1 == t1 && (and_ ? std::min(s + w, q) >= q : s < q);
    return s + w >= q && (and_ ? k + 1 > t1 : k + 1 < t1);
  }
  bool goes(int64_t s, int k, int64_t w, int64_t& s2, int& k2) const {
    k2 = k + 1;
    if (kind.exact) {
      s2 = and_ ? std::min(s + w, q) : s + w;
      return k2 < t1 && (and_ || s2 < q);
    }
    s2 = s + w;
    k2 = std::min(k2, kind.layers - 1);
    return s2 < q && (and_ || k + 1 < t1 - 1);
  }
};

template <class T>
using Layers = std::vector<T>;  // [k * width + s]

// One run at Y: the paths through each rank of PLAYER (weights W) into AT.
template <class T>
void sizedRun(const Sized& z, const std::vector<int64_t>& w, T y, std::vector<XNUM>& at,
              std::vector<uint64_t>& exact, T& total) {
  const int m = static_cast<int>(w.size()), layers = z.kind.layers;
  const int64_t width = z.kind.width;
  const std::size_t cells = static_cast<std::size_t>(layers) * static_cast<std::size_t>(width);
  // F at every level (the rows are small where this kind is counted), B once.
  std::vector<Layers<T>> f(static_cast<std::size_t>(m) + 1, Layers<T>(cells, T(0)));
  f[0][0] = 1;
  for (int l = 0; l < m; ++l) {
    COUNTAT(0.5 * l / m);
    Layers<T>& next = f[static_cast<std::size_t>(l) + 1];
    const Layers<T>& prev = f[static_cast<std::size_t>(l)];
    next = prev;
    for (int k = 0; k < layers; ++k)
      for (int64_t s = 0; s < width; ++s) {
        const T x = prev[static_cast<std::size_t>(k * width + s)];
        int64_t s2;
        int k2;
        if (x != 0 && z.goes(s, k, w[static_cast<std::size_t>(l)], s2, k2))
          next[static_cast<std::size_t>(k2 * width + s2)] += y * x;
      }
  }
  Layers<T> b(cells, T(0)), nb;
  at.assign(static_cast<std::size_t>(m), XNUM());
  exact.assign(static_cast<std::size_t>(m), 0);
  for (int l = m - 1; l >= 0; --l) {
    COUNTAT(0.5 + 0.5 * (m - 1 - l) / m);
    const int64_t wl = w[static_cast<std::size_t>(l)];
    const Layers<T>& fl = f[static_cast<std::size_t>(l)];
    nb = b;
    T sum = 0;
    for (int k = 0; k < layers; ++k)
      for (int64_t s = 0; s < width; ++s) {
        T ways = z.closes(s, k, wl) ? T(1) : T(0);
        int64_t s2;
        int k2;
        if (z.goes(s, k, wl, s2, k2)) ways += b[static_cast<std::size_t>(k2 * width + s2)];
        ways *= y;
        nb[static_cast<std::size_t>(k * width + s)] += ways;
        sum += fl[static_cast<std::size_t>(k * width + s)] * ways;
      }
    b.swap(nb);
    if constexpr (std::is_same_v<T, uint64_t>) {
      exact[static_cast<std::size_t>(l)] = sum;
      at[static_cast<std::size_t>(l)] = XNUM(static_cast<double>(sum));
    } else {
      at[static_cast<std::size_t>(l)] = XNUM::fromLong(sum, 0);
    }
  }
  total = b[0];
}

// The players taking part in KIND, heaviest first (weight 0 last).
std::vector<int> sizedPlayers(int n, const int64_t* weight, bool zeros) {
  std::vector<int> player;
  for (int p = 1; p <= n; ++p)
    if (weight[p] > 0 || (zeros && weight[p] == 0)) player.push_back(p);
  std::stable_sort(player.begin(), player.end(),
                   [&](int a, int b) { return weight[a] > weight[b]; });
  return player;
}

std::vector<Sized> kindsOf(int n, int64_t q, int rule, int t1) {
  std::vector<Sized> out;
  if (t1 < 1 || t1 > n) return out;
  const int64_t wq = std::max<int64_t>(q, 0);
  if (rule == 1) {
    if (q >= 1) out.push_back({{false, wq, t1 + 2, false}, q, t1, 1});
    out.push_back({{true, wq + 1, t1, true}, wq, t1, 1});
  } else if (q >= 1) {
    if (t1 >= 2) out.push_back({{false, wq, t1, false}, q, t1, 0});
    out.push_back({{true, wq, t1, true}, q, t1, 0});
  }
  return out;
}

}  // namespace

bool COUNTSIZED(int N, const int64_t* WEIGHT, int64_t Q, int RULE, int T1, Counts& OUT) {
  if (negative(N, WEIGHT)) return false;
  // A threshold every coalition meets (AND) or none reaches (OR).
  if ((RULE == 1 && T1 <= 0) || (RULE == 2 && T1 > N)) return COUNT(N, WEIGHT, Q, OUT);
  Counts out(N);
  out.exact = N <= 63;
  const double largest = N;  // a bound on the members: the nodes below
  try {
    for (const Sized& z : kindsOf(N, Q, RULE, T1)) {
      const std::vector<int> player = sizedPlayers(N, WEIGHT, z.kind.zeros);
      std::vector<int64_t> w;
      for (int p : player) w.push_back(WEIGHT[p]);
      std::vector<XNUM> at;
      std::vector<uint64_t> exact;
      if (N <= 63) {
        uint64_t total = 0;
        sizedRun<uint64_t>(z, w, 1, at, exact, total);
        for (std::size_t i = 0; i < player.size(); ++i) out.exactWith[player[i]] += exact[i];
        out.exactMinimal += total;
        out.minimal += XNUM(static_cast<double>(total));
      } else {
        long double total = 0;
        sizedRun<long double>(z, w, 1, at, exact, total);
        out.minimal += XNUM::fromLong(total, 0);
      }
      for (std::size_t i = 0; i < player.size(); ++i) out.with[player[i]] += at[i];
      // Exactly T1 members: a share of 1/T1 each; the others by the nodes.
      if (z.kind.exact) {
        for (std::size_t i = 0; i < player.size(); ++i)
          out.share[player[i]] += at[i] * XNUM(1.0 / T1);
        continue;
      }
      std::vector<double> y, weight;
      ssquadrature::GAUSSLEGENDRE(static_cast<int>(largest + 1) / 2, y, weight);
      for (std::size_t k = 0; k < y.size(); ++k) {
        long double total = 0;
        sizedRun<long double>(z, w, y[k], at, exact, total);
        for (std::size_t i = 0; i < player.size(); ++i)
          out.share[player[i]] += XNUM(weight[k] / y[k]) * at[i];
      }
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int p = 1; p <= N; ++p)
    if (out.with[p].zero()) out.share[p] = XNUM();  // exactly 0
  OUT = std::move(out);
  return true;
}

COSTTYP COSTSIZED(int N, const int64_t* WEIGHT, int64_t Q, int RULE, int T1, std::size_t BUDGET) {
  COSTTYP c;
  if (negative(N, WEIGHT)) {
    c.WHY = "a weight is negative";
    return c;
  }
  c.APPLIES = true;
  double cells = 0, bytes = 0;
  for (const Sized& z : kindsOf(N, Q, RULE, T1)) {
    const double m = static_cast<double>(sizedPlayers(N, WEIGHT, z.kind.zeros).size());
    const double row = static_cast<double>(z.kind.layers) * static_cast<double>(z.kind.width);
    const double runs = 1 + (z.kind.exact ? 0 : (N + 1) / 2);
    // Each run passes every row twice (F and B) with a few branches a cell.
    cells += 2 * runs * m * row;
    bytes = std::max(bytes, (m + 3) * row * sizeof(long double));
  }
  c.SECONDS = cells * CELL_SIZED_NS * 1e-9;
  c.BYTES = bytes > 1e18 ? static_cast<std::size_t>(1e18) : static_cast<std::size_t>(bytes);
  if (BUDGET != 0 && c.BYTES > BUDGET) {
    c.APPLIES = false;
    c.WHY = "its rows exceed the memory";
  }
  return c;
}

}  // namespace minimalsets
