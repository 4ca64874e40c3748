// The minimal coalitions' program (engines/exact/minimal_coalitions.h) on
// the wide games beside a plain O(n Q) program in doubles measured in the
// same run: players heaviest first, a table of the heavier players' sums,
// each player in turn fixed as the lightest member of the minimal winning
// coalitions it closes (their total, without each player's count). Two
// figures per game: the program's counts alone (PGI and MBP: counts), and
// with the Deegan-Packel shares (shares: one more run per Gauss-Jacobi
// node). Counters: base_s (the baseline's CPU seconds; it counts the
// minimal winning coalitions, not each player's), each_s (a plain program
// for each player's count, F kept for every player: n rows of Q doubles,
// skipped beyond EACH_LIMIT bytes) and each_ratio (the program's CPU time
// over it), cpu_s and wall_s
// (the program's CPU and elapsed seconds: the shares' runs may take two
// cores), ratio (the program's CPU time over the baseline's), plan_s (the
// cost function's seconds) and plan_ratio (elapsed over planned). Figures,
// never pass/fail; a count planned beyond PLAN_LIMIT seconds is skipped
// with its plan.
//
// Games (bench/games.h): 190 Pareto players at 50, 70 and 85 % (weights
// totalling 5,000,000, and the same scaled to 10,000), the
// IMF-like board, 1000 and 2000 holders of weights 1..100, and 200 and 400
// players of weights 1..100 at 50 %.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engines/exact/minimal_coalitions.h"
#include "games.h"

namespace {

using namespace benchgames;

constexpr double PLAN_LIMIT = 120.0;  // seconds: beyond, the figure says so

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The plain program: the minimal winning coalitions by their lightest
// member, O(n Q) additions in doubles.
double plain(const Weighted& d) {
  std::vector<int64_t> w(d.w.begin() + 1, d.w.end());
  std::sort(w.begin(), w.end(), std::greater<>());
  const int64_t q = d.q;
  std::vector<double> t(static_cast<std::size_t>(q), 0);
  t[0] = 1;
  double all = 0;
  for (int64_t x : w) {
    double closing = 0;
    for (int64_t s = std::max<int64_t>(0, q - x); s < q; ++s) closing += t[s];
    all += closing;
    for (int64_t s = q - 1; s >= x; --s) t[s] += t[s - x];
  }
  return all;
}

// The plain program for every player's count: F(l), the heavier players'
// sums before rank l, kept for every rank (n rows of Q doubles), then B
// backward, B(l)[s] the ways to close a coalition of weight s with ranks l
// and after; rank l's count is F(l) against B(l+1) shifted by its weight.
// Null where the rows would pass EACH_LIMIT bytes.
constexpr double EACH_LIMIT = 8e9;
std::unique_ptr<std::vector<double>> plainEach(const Weighted& d) {
  std::vector<int64_t> w(d.w.begin() + 1, d.w.end());
  std::sort(w.begin(), w.end(), std::greater<>());
  const std::size_t n = w.size(), q = static_cast<std::size_t>(d.q);
  if (static_cast<double>(n) * static_cast<double>(q) * sizeof(double) > EACH_LIMIT) return nullptr;
  std::vector<double> f(n * q, 0.0);
  f[0] = 1;
  for (std::size_t l = 0; l + 1 < n; ++l) {
    const double* a = &f[l * q];
    double* v = &f[(l + 1) * q];
    const std::size_t x = static_cast<std::size_t>(w[l]);
    for (std::size_t s = 0; s < q; ++s) v[s] = a[s] + (s >= x ? a[s - x] : 0.0);
  }
  auto out = std::make_unique<std::vector<double>>(n, 0.0);
  std::vector<double> b(q, 0.0);
  for (std::size_t l = n; l-- > 0;) {
    const std::size_t x = static_cast<std::size_t>(w[l]);
    const double* a = &f[l * q];
    double c = 0;
    for (std::size_t s = 0; s < q; ++s) {
      const double closing = s + x >= q ? 1.0 : b[s + x];
      c += a[s] * closing;
      b[s] += closing;  // b[s + x] is read before it is written: s + x > s
    }
    (*out)[l] = c;
  }
  return out;
}

Weighted uniform200() { return uniform(200, 100, 200); }
Weighted uniform400() { return uniform(400, 100, 400); }

void program(benchmark::State& state, Weighted (*make)(), bool shares) {
  const Weighted d = make();
  const int n = static_cast<int>(d.w.size()) - 1;
  const COSTTYP cost = minimalsets::COST(n, d.w.data(), d.q, shares);
  if (cost.SECONDS > PLAN_LIMIT) {
    state.SkipWithError(("planned at " + std::to_string(cost.SECONDS) + " s").c_str());
    for (auto _ : state) {
    }
    return;
  }
  double base = 0, each = 0, mine = 0, wall = 0, agree = 0;
  minimalsets::Counts c;
  bool eachRan = true;
  int runs = 0;
  for (auto _ : state) {
    double t0 = cpuSeconds();
    benchmark::DoNotOptimize(plain(d));
    base += cpuSeconds() - t0;
    t0 = cpuSeconds();
    const auto counted = plainEach(d);
    each += cpuSeconds() - t0;
    eachRan = counted != nullptr;
    t0 = cpuSeconds();
    const auto w0 = std::chrono::steady_clock::now();
    minimalsets::COUNT(n, d.w.data(), d.q, c, shares);
    benchmark::DoNotOptimize(c.minimal);
    mine += cpuSeconds() - t0;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
    ++runs;
    if (eachRan) {  // the memberships, both ways
      double theirs = 0;
      XNUM ours;
      for (double v : *counted) theirs += v;
      for (const XNUM& v : c.with) ours += v;
      agree = std::fabs(XTODOUBLE(ours) / theirs - 1);
    }
  }
  state.counters["cpu_s"] = mine / runs;
  state.counters["wall_s"] = wall / runs;
  state.counters["base_s"] = base / runs;
  state.counters["ratio"] = mine / base;
  if (eachRan) {
    state.counters["each_s"] = each / runs;
    state.counters["each_ratio"] = mine / each;
    state.counters["each_rel_diff"] = agree;
  }
  state.counters["plan_s"] = cost.SECONDS;
  state.counters["plan_ratio"] = wall / runs / cost.SECONDS;
  state.counters["plan_MB"] = static_cast<double>(cost.BYTES) / 1e6;
}

#define MINIMAL(NAME, MAKE)                             \
  BENCHMARK_CAPTURE(program, NAME##Counts, MAKE, false) \
      ->Unit(benchmark::kMillisecond)                   \
      ->Iterations(1);                                  \
  BENCHMARK_CAPTURE(program, NAME##Shares, MAKE, true)->Unit(benchmark::kMillisecond)->Iterations(1)

MINIMAL(Pareto190At50, pareto50);
MINIMAL(Pareto190At70, pareto70);
MINIMAL(Pareto190At85, pareto85);
MINIMAL(Pareto190SmallAt50, paretoSmall50);
MINIMAL(Pareto190SmallAt70, paretoSmall70);
MINIMAL(Pareto190SmallAt85, paretoSmall85);
MINIMAL(ImfBoard, imfBoard);
MINIMAL(Uniform200, uniform200);
MINIMAL(Uniform400, uniform400);
MINIMAL(Thousand, thousand);
MINIMAL(TwoThousand, twoThousand);

}  // namespace
