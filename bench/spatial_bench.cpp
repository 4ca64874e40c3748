// The spatial version by its table (engines/exact/spatial_table) against
// the walk over every coalition, in the same run: games of 20, 25, 30, 50
// and 100 players of weights 1..100 at half the total, positions random
// on two dimensions. The walk is measured on the 20-player game (some
// seconds) and, beyond, taken as that measurement times the coalitions and
// the pairs of members per coalition (its cost grows as 2^n n^2: at 25
// players it is some 50 s, at 30 about half an hour). Counters, all CPU
// time of this process: table_s (the table's count), plan_s (its cost
// function's seconds) and plan_ratio (measured over planned), walk_s (the
// walk, measured or scaled) and walk_ratio (the walk over the table: how
// many times faster the table is), table_MB (planned peak memory).
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <random>

#include "common/similarity.h"
#include "engines/exact/spatial_table.h"
#include "games.h"

namespace {

using benchgames::gameOf;
using benchgames::uniform;
using weightedwalk::Game;

double cpuNow() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// N players of weights 1..100, a majority of the votes, positions on POS.
Game spatial(int n, POSTYP& pos) {
  Game g = gameOf(uniform(n, 100, static_cast<uint64_t>(n) + 2027));
  std::mt19937_64 rng(static_cast<uint64_t>(n));
  for (int d = 1; d <= 2; ++d) {
    pos[d].fit(static_cast<std::size_t>(n));
    for (int p = 1; p <= n; ++p) pos[d][p] = std::uniform_real_distribution<double>(0, 100)(rng);
  }
  g.position = &pos;
  g.ntheme = 2;
  g.distmax = DIST_MAX(pos, static_cast<uint16_t>(n), 2);
  return g;
}

// The walk's CPU seconds per coalition and pair of members, measured once
// on 20 players.
constexpr int WALKED = 20;
double walkSeconds20() {
  static const double seconds = [] {
    POSTYP pos{};
    const Game g = spatial(WALKED, pos);
    weightedwalk::WinCounts c;
    const double start = cpuNow();
    weightedwalk::SHAPLEY_CORE(g, c);
    return cpuNow() - start;
  }();
  return seconds;
}
double walkSeconds(int n) {
  // A coalition costs about a step and its members' pairs (n (n-1) / 8 on
  // average); 30 ns a step, 25 ns a pair (engines/plan/planner.cpp).
  const auto perCoalition = [](int m) { return 30.0 + 25.0 * m * (m - 1) / 8.0; };
  return walkSeconds20() * std::ldexp(1.0, n - WALKED) * perCoalition(n) / perCoalition(WALKED);
}

void table(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  POSTYP pos{};
  const Game g = spatial(n, pos);
  const COSTTYP cost = spatialtable::COST(g);
  double cpu = 0;
  int runs = 0;
  for (auto _ : state) {
    weightedwalk::WinCounts c;
    const double start = cpuNow();
    benchmark::DoNotOptimize(spatialtable::COUNT(g, c));
    cpu += cpuNow() - start;
    ++runs;
  }
  const double seconds = cpu / runs, walk = walkSeconds(n);
  state.counters["table_s"] = seconds;
  state.counters["plan_s"] = cost.SECONDS;
  state.counters["plan_ratio"] = seconds / cost.SECONDS;
  state.counters["table_MB"] = static_cast<double>(cost.BYTES) / 1e6;
  state.counters["walk_s"] = walk;
  state.counters["walk_ratio"] = walk / seconds;
  state.SetLabel(n == WALKED ? "walk measured" : "walk scaled from 20 players");
}

}  // namespace

BENCHMARK(table)->Arg(20)->Arg(25)->Arg(30)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);
