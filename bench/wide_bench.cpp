// Games beyond the 50-player tables, each index by the fast counting beside
// a plain dynamic program over the weights in the same run, the baseline
// the figures are given against:
//   - Banzhaf, O(n q): the subsets of all players by weight below the quota,
//     each player taken out again by dividing its factor (1 + x^w) out, and
//     its swings read off between q - w and q - 1;
//   - Shapley-Shubik, O(n^2 q): the same by size and weight, the swings of
//     each size weighted by k! (n-k-1)! / n!.
// The baseline counts in doubles (as such programs do); the fast counting
// is exact, but for the games beyond 63 players on one threshold, which it
// counts in doubles too: the Banzhaf counts in one table (engines/exact/banzhaf_doubles.h)
// and the Shapley-Shubik values by quadrature (engines/exact/shapley_quadrature.h). Beside
// them the exact count they replace (the table by size, one pass per
// prime: Choice::DENSE), and the quadrature alone on the games of 63
// players or fewer, which the program keeps on their exact paths. A run whose plan
// (fastcount::PLAN) exceeds 150 s, or a baseline beyond 4 GB, is skipped with the figure that says
// why. Games:
//   1. the Electoral College after the 2020 apportionment: 51 players, 270
//      of 538 (the weights of ../shared/bench/us-electoral-college-2020.inp);
//   2. 190 players with Pareto(1.2) weights (fixed seed) scaled to a total
//      of 5,000,000, quotas 50, 70 and 85 %;
//   3. 1000 players, weights 1..100 (fixed seed), quota 50 %;
//   4. 50 players, weights 1..10^6 (fixed seed), quota 50 %;
//   5. 50 players, weights 9..11 million (fixed seed), quota 50 %.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engines/exact/banzhaf_doubles.h"
#include "engines/exact/fast_counts.h"
#include "engines/exact/modular.h"
#include "engines/exact/shapley_quadrature.h"
#include "games.h"

namespace {

using weightedwalk::Game;
using namespace benchgames;

// The plain Shapley-Shubik program: values of each player.
std::vector<double> plainShapley(const Weighted& g) {
  const int n = static_cast<int>(g.w.size()) - 1;
  const auto q = static_cast<std::size_t>(g.q);
  const auto n1 = static_cast<std::size_t>(n) + 1;
  // without: the sizes k - 1 and k of the table with one player taken out.
  std::vector<double> c(n1 * q, 0.0), without(2 * q), out(n1), weight(n1);
  c[0] = 1;
  for (int p = 1; p <= n; ++p)
    for (int k = p; k >= 1; --k)
      for (std::size_t v = q; v-- > static_cast<std::size_t>(g.w[p]);)
        c[k * q + v] += c[(k - 1) * q + v - g.w[p]];
  // k! (n-k-1)! / n! for a swing joining k others.
  for (int k = 0; k < n; ++k)
    weight[k] = std::exp(std::lgamma(k + 1.0) + std::lgamma(n - k + 0.0) - std::lgamma(n + 1.0));
  for (int p = 1; p <= n; ++p) {
    const auto a = static_cast<std::size_t>(g.w[p]);
    double s = 0;
    for (int k = 0; k < n; ++k) {
      double swings = 0;
      for (std::size_t v = 0; v < q; ++v) {
        const double below = k > 0 && v >= a ? without[((k - 1) & 1) * q + v - a] : 0.0;
        const double x = without[(k & 1) * q + v] = c[k * q + v] - below;
        if (v + a >= q) swings += x;
      }
      s += swings * weight[k];
    }
    out[static_cast<std::size_t>(p)] = s;
  }
  return out;
}

constexpr double PLAN_LIMIT = 150.0;                   // seconds
constexpr double EXACT_LIMIT = 50.0;                   // the exact count it replaces
constexpr double BASELINE_BYTES = 8.0 * (1ull << 30);  // the baseline's tables

void plain(benchmark::State& state, Weighted (*make)(), bool shapley) {
  const Weighted g = make();
  const double cells =
      static_cast<double>(g.q) * (shapley ? static_cast<double>(g.w.size()) + 2.0 : 2.0);
  if (cells * 8 > BASELINE_BYTES) {
    state.SkipWithError("the baseline's tables exceed 8 GB");
    for (auto _ : state) {
    }
    return;
  }
  std::vector<double> v;
  for (auto _ : state) {
    v = shapley ? plainShapley(g) : plainBanzhaf(g);
    benchmark::DoNotOptimize(v);
  }
  state.counters["bytes"] = cells * 8;
}

// BUDGET: 0 for the methods' own limits, else the bytes a command line's
// --memory would give.
void fast(benchmark::State& state, Weighted (*make)(), fastcount::Index index, std::size_t budget) {
  const Game g = gameOf(make());
  const fastcount::Plan plan = fastcount::PLAN(g, index, budget);
  state.counters["plan_s"] = plan.seconds;
  state.counters["plan_bytes"] = static_cast<double>(plan.bytes);
  state.counters["method"] = static_cast<double>(plan.method);
  if (plan.seconds > PLAN_LIMIT || plan.method == fastcount::Method::NONE) {
    const std::string why = "plan: method " + std::to_string(static_cast<int>(plan.method)) + ", " +
                            std::to_string(plan.seconds) + " s, " +
                            std::to_string(plan.bytes >> 20) + " MiB";
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
    return;
  }
  auto r = std::make_unique<fastcount::Result>();
  bool ok = false;
  for (auto _ : state) {
    ok = fastcount::COUNT_FAST(g, index, *r, fastcount::Choice::BEST, budget);
    benchmark::DoNotOptimize(*r);
  }
  if (!ok) state.SkipWithError("no fast method covers the game");
  state.counters["passes"] = plan.passes;
}

// The exact Shapley-Shubik counts by size that the quadrature replaces
// beyond 63 players (skipped where the exact count is estimated beyond
// EXACT_LIMIT: the plan gives the quadrature's figures, so the table's are
// estimated from its cells here).
void exact(benchmark::State& state, Weighted (*make)()) {
  const Weighted d = make();
  const Game g = gameOf(d);
  int64_t total = 0;
  for (std::size_t p = 1; p < d.w.size(); ++p) total += d.w[p];
  const double n = static_cast<double>(g.n),
               passes = g.n > fastcount::PROFILEMAX ? fastcount::PASSES(g.n) : 1;
  // About an eighth of a nanosecond per size, weight cell and player (the
  // 190 Pareto players at 70 % take some 28 s on one core; the 1000
  // players, estimated at 51 s, take twice that and are left out).
  const double seconds =
      0.12 * n * n * static_cast<double>(std::min(d.q, total - d.q + 1)) * passes * 1e-9;
  state.counters["plan_s"] = seconds;
  if (g.n <= fastcount::PROFILEMAX || seconds > EXACT_LIMIT) {
    const std::string why = g.n <= fastcount::PROFILEMAX
                                ? std::string("the fast counting is exact here")
                                : "exact count estimated at " + std::to_string(seconds) + " s";
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
    return;
  }
  auto r = std::make_unique<fastcount::Result>();
  for (auto _ : state) {
    fastcount::COUNT_FAST(g, fastcount::Index::SHAPLEY, *r, fastcount::Choice::DENSE, 0);
    benchmark::DoNotOptimize(*r);
  }
}

// The quadrature alone (with the Banzhaf counts in doubles for the
// players without swings, as the fast counting takes them).
void quadrature(benchmark::State& state, Weighted (*make)()) {
  const Weighted d = make();
  const Game g = gameOf(d);
  const std::vector<int> sub(d.w.size(), 1);
  const sizetable::Threshold t{g.n, 1, sub.data(), d.w.data(), d.q};
  state.counters["plan_s"] = doubletable::SECONDS(t) + ssquadrature::SECONDS(t);
  if (static_cast<double>(std::max(doubletable::BYTES(t), ssquadrature::BYTES(t))) >
      BASELINE_BYTES) {
    state.SkipWithError("the quadrature's sums exceed 4 GB");
    for (auto _ : state) {
    }
    return;
  }
  std::vector<double> value;
  bool ok = false;
  for (auto _ : state) {
    auto c = std::make_unique<doubletable::Counts>();
    ok = doubletable::BANZHAF(t, *c);
    std::vector<char> swingless(d.w.size());
    for (std::size_t p = 1; ok && p < d.w.size(); ++p) swingless[p] = c->swings[p].zero();
    ok = ok && ssquadrature::SHAPLEY(t, swingless, value);
    benchmark::DoNotOptimize(value);
  }
  if (!ok) state.SkipWithError("declined: the error estimate exceeds the accuracy kept");
}

using fastcount::Index;

#define WIDE(NAME, MAKE, BUDGET)                                                               \
  BENCHMARK_CAPTURE(plain, NAME##Banzhaf, MAKE, false)->Unit(benchmark::kMillisecond);         \
  BENCHMARK_CAPTURE(fast, NAME##Banzhaf, MAKE, Index::BANZHAF, BUDGET)                         \
      ->Unit(benchmark::kMillisecond);                                                         \
  BENCHMARK_CAPTURE(plain, NAME##Shapley, MAKE, true)->Unit(benchmark::kMillisecond);          \
  BENCHMARK_CAPTURE(fast, NAME##Shapley, MAKE, Index::SHAPLEY, BUDGET)                         \
      ->Unit(benchmark::kMillisecond);                                                         \
  BENCHMARK_CAPTURE(exact, NAME##Shapley, MAKE)->Unit(benchmark::kMillisecond)->Iterations(1); \
  BENCHMARK_CAPTURE(quadrature, NAME##Shapley, MAKE)->Unit(benchmark::kMillisecond);           \
  BENCHMARK_CAPTURE(fast, NAME##PublicGood, MAKE, Index::PUBLICGOOD, BUDGET)                   \
      ->Unit(benchmark::kMillisecond)

WIDE(ElectoralCollege, electoralCollege, 0);
WIDE(Pareto190At50, pareto50, 0);
WIDE(Pareto190At70, pareto70, 0);
WIDE(Pareto190At85, pareto85, 0);
WIDE(Thousand, thousand, 0);
WIDE(FiftyMillion, million, 0);
// The table of 50 players near ten million exceeds the methods' own limit
// of 2 GiB: counted within 6 GiB, as a command line's budget on a machine
// of 8 GB allows.
WIDE(FiftyNearTenMillion, heavy, std::size_t{6} << 30);

}  // namespace
