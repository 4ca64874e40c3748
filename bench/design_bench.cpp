// Johnston's index and the values with a priori unions, each against the
// walk over every coalition measured in the same run ("vs_walk": the
// method's CPU time over the walk's), on games the walk finishes:
//   - Johnston: 22 players of weights 1..30 at quota 50 % and 70 %, the
//     table (engines/exact/johnston_table) against its walk
//     (engines/walk/johnston_walk);
//   - unions: 20 players of weights 1..30 in 5 unions of 4 at quota 50 %,
//     the generating functions (engines/exact/union_values) against a walk
//     over every coalition that weighs those made of whole other unions and
//     fellow members (Owen's weights);
// and on games beyond the walk, against the plain Banzhaf or Shapley-Shubik
// count of the same game ("vs_plain"): Johnston of the Electoral College
// (51 players, 270 of 538), the Owen values of 50 players in 10 unions and
// of 500 players in 20 unions (weights 1..100, quota 50 %).
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engines/exact/fast_counts.h"
#include "engines/exact/johnston_table.h"
#include "engines/exact/union_values.h"
#include "engines/walk/johnston_walk.h"
#include "games.h"

namespace {

using weightedwalk::Game;

Game gameOf(const std::vector<int64_t>& w, int64_t q) {
  const int n = static_cast<int>(w.size()) - 1;
  Game g(n, 1);
  g.n = n;
  g.mm = 1;
  g.thres = 1;
  for (int p = 1; p <= n; ++p) {
    g.sub[p] = 1;
    g.w[0][p] = w[p];
  }
  g.m[0][1][1] = q;
  return g;
}

Game random(int n, int64_t top, int percent, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<int64_t> w(static_cast<std::size_t>(n) + 1, 0);
  int64_t total = 0;
  for (int p = 1; p <= n; ++p) total += w[p] = std::uniform_int_distribution<int64_t>(1, top)(rng);
  return gameOf(w, total * percent / 100 + 1);
}

Game electoralCollege() {
  const benchgames::Weighted ec = benchgames::electoralCollege();
  return gameOf(ec.w, ec.q);
}

// CPU seconds of the process: the machine may be shared, so the ratios
// compare CPU time, not wall time.
double cpu() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// CPU seconds of F, once (the baselines are run once per game).
template <class F>
double once(const F& f) {
  const double start = cpu();
  f();
  return cpu() - start;
}

// The method's CPU seconds per iteration of STATE's loop, timing F.
template <class F>
double timed(benchmark::State& state, const F& f) {
  const double start = cpu();
  for (auto _ : state) f();
  return (cpu() - start) / static_cast<double>(state.iterations());
}

sizetable::Threshold thresholdOf(const Game& g) {
  return sizetable::Threshold{g.n, 1, g.sub.data(), g.w[0].data(), g.m[0][1][1]};
}

void BM_JohnstonTableVsWalk(benchmark::State& state, int percent) {
  const Game g = random(22, 30, percent, 1978);
  weightedwalk::JohnstonCounts walked;
  const double walk = once([&] { weightedwalk::JOHNSTON_CORE(g, walked); });
  johnston::Result r;
  const double table = timed(state, [&] {
    johnston::COUNT(thresholdOf(g), r);
    benchmark::DoNotOptimize(r);
  });
  state.counters["walk_s"] = walk;
  state.counters["vs_walk"] = table / walk;
  state.counters["plan_s"] = johnston::COST(thresholdOf(g)).SECONDS;
}

void BM_JohnstonElectoralCollege(benchmark::State& state) {
  const Game g = electoralCollege();
  auto plain = std::make_unique<fastcount::Result>();
  const double banzhaf = once([&] { fastcount::BANZHAF_FAST(g, *plain); });
  johnston::Result r;
  const double table = timed(state, [&] {
    johnston::COUNT(thresholdOf(g), r);
    benchmark::DoNotOptimize(r);
  });
  state.counters["banzhaf_s"] = banzhaf;
  state.counters["vs_plain"] = table / banzhaf;
  state.counters["plan_s"] = johnston::COST(thresholdOf(g)).SECONDS;
}

// Unions of SIZE consecutive players.
std::vector<int> unionsOf(int n, int size) {
  std::vector<int> u(static_cast<std::size_t>(n) + 1, 0);
  for (int p = 1; p <= n; ++p) u[p] = (p - 1) / size;
  return u;
}

// The Owen values by the walk over every coalition: each coalition S and
// each player i outside it where the unions other than i's are whole in S,
// weighted r!(m-r-1)!/m! t!(u-t-1)!/u!.
std::vector<double> owenByWalk(const Game& g, const std::vector<int>& u, int m) {
  const int n = g.n;
  std::vector<int> size(static_cast<std::size_t>(m), 0);
  for (int p = 1; p <= n; ++p) ++size[u[p]];
  auto beta = [](int k, int d) {  // k! (d-k)! / (d+1)!
    return std::exp(std::lgamma(k + 1.0) + std::lgamma(d - k + 1.0) - std::lgamma(d + 2.0));
  };
  std::vector<double> v(static_cast<std::size_t>(n) + 1, 0.0);
  std::vector<int> in(static_cast<std::size_t>(m));
  for (uint64_t s = 0; s < (uint64_t{1} << n); ++s) {
    int64_t weight = 0;
    std::fill(in.begin(), in.end(), 0);
    for (int p = 1; p <= n; ++p)
      if (s >> (p - 1) & 1) {
        weight += g.w[0][p];
        ++in[u[p]];
      }
    int whole = 0, partial = 0, partialUnion = -1;
    for (int k = 0; k < m; ++k) {
      if (in[k] == size[k])
        ++whole;
      else if (in[k] > 0) {
        ++partial;
        partialUnion = k;
      }
    }
    if (partial > 1) continue;
    for (int p = 1; p <= n; ++p) {
      if (s >> (p - 1) & 1) continue;
      const int k = u[p];
      if (partial == 1 && partialUnion != k) continue;
      if (weight >= g.m[0][1][1] || weight + g.w[0][p] < g.m[0][1][1]) continue;
      v[p] += beta(whole, m - 1) * beta(in[k], size[k] - 1);
    }
  }
  return v;
}

void BM_UnionsVsWalk(benchmark::State& state) {
  const Game g = random(20, 30, 50, 2015);
  const std::vector<int> u = unionsOf(20, 4);
  std::vector<double> walked;
  const double walk = once([&] { walked = owenByWalk(g, u, 5); });
  unions::RESULTTYP r;
  const unions::THRESHOLDTYP t{20, g.w[0].data(), g.m[0][1][1], u, 5};
  const double functions = timed(state, [&] {
    unions::COUNT(t, unions::KIND::OWEN, r);
    benchmark::DoNotOptimize(r);
  });
  double gap = 0;
  for (int p = 1; p <= 20; ++p) gap = std::max(gap, std::fabs(r.player[p] - walked[p]));
  state.counters["walk_s"] = walk;
  state.counters["vs_walk"] = functions / walk;
  state.counters["max_gap"] = gap;
}

void BM_UnionsLarge(benchmark::State& state, int n, int m, unions::KIND kind) {
  const Game g = random(n, 100, 50, 1977);
  const std::vector<int> u = unionsOf(n, (n + m - 1) / m);
  auto plain = std::make_unique<fastcount::Result>();
  const double shapley = once([&] { fastcount::SHAPLEY_FAST(g, *plain); });
  unions::RESULTTYP r;
  const unions::THRESHOLDTYP t{n, g.w[0].data(), g.m[0][1][1], u, m};
  const double functions = timed(state, [&] {
    unions::COUNT(t, kind, r);
    benchmark::DoNotOptimize(r);
  });
  state.counters["shapley_s"] = shapley;
  state.counters["vs_plain"] = functions / shapley;
  state.counters["plan_s"] = unions::COST(t, kind).SECONDS;
}

BENCHMARK_CAPTURE(BM_JohnstonTableVsWalk, Quota50, 50)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_JohnstonTableVsWalk, Quota70, 70)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JohnstonElectoralCollege)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnionsVsWalk)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UnionsLarge, Owen50In10, 50, 10, unions::KIND::OWEN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UnionsLarge, BanzhafOwen50In10, 50, 10, unions::KIND::BANZHAFOWEN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UnionsLarge, Owen500In20, 500, 20, unions::KIND::OWEN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UnionsLarge, BanzhafOwen500In20, 500, 20, unions::KIND::BANZHAFOWEN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
