// Counting cores of the weighted engines in quiet mode on 24 players
// (16,777,215 coalitions per run): one subgame with one win set, and three
// subgames with two win sets and an overall member threshold; each with one
// vote system and with two.
#include <benchmark/benchmark.h>
#include <type_traits>

#include "engines/walk/weighted_walk.h"

namespace {

constexpr int PLAYERS = 24;

// One subgame; weights 1..7 repeating, a simple majority of the votes.
weightedwalk::Game oneSubgame(int systems) {
  weightedwalk::Game g;
  g.n = PLAYERS;
  g.mm = 1;
  g.thres = 1;
  g.vs = systems;
  for (int k = 0; k < systems; ++k) {
    int64_t total = 0;
    for (int p = 1; p <= PLAYERS; ++p) {
      g.sub[p] = 1;
      g.w[k][p] = 1 + (p * (k + 3)) % 7;
      total += g.w[k][p];
    }
    g.m[k][1][1] = total / 2 + 1;
  }
  return g;
}

// Three subgames of eight; win set 1 a majority in each subgame, win set 2
// two thirds of subgames 1 and 2 alone; at least 10 members overall.
weightedwalk::Game threeSubgames(int systems) {
  weightedwalk::Game g;
  g.n = PLAYERS;
  g.mm = 3;
  g.thres = 2;
  g.vs = systems;
  g.overall = 1;
  g.overt = 0;
  g.t1 = 10;
  for (int k = 0; k < systems; ++k) {
    int64_t total[4] = {};
    for (int p = 1; p <= PLAYERS; ++p) {
      g.sub[p] = 1 + (p - 1) / 8;
      g.w[k][p] = 1 + (p * (k + 5)) % 9;
      total[g.sub[p]] += g.w[k][p];
    }
    for (int s = 1; s <= 3; ++s) g.m[k][1][s] = total[s] / 2 + 1;
    g.m[k][2][1] = 2 * total[1] / 3;
    g.m[k][2][2] = 2 * total[2] / 3;
    g.m[k][2][3] = 0;
  }
  return g;
}

template <typename COUNTS,
          bool (*CORE)(const weightedwalk::Game&, COUNTS&, const weightedwalk::Visitor*)>
void walk(benchmark::State& state, const weightedwalk::Game& g) {
  COUNTS c;
  for (auto _ : state) {
    CORE(g, c, nullptr);
    benchmark::DoNotOptimize(c);
  }
  state.counters["coalitions"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * ((1 << PLAYERS) - 1), benchmark::Counter::kIsRate);
  if constexpr (std::is_same_v<COUNTS, weightedwalk::WinCounts>)
    state.counters["wins"] = c.wins;
  else
    state.counters["wins"] = c.minimal;
}

void BM_ShapleyOneSubgame(benchmark::State& s) {
  walk<weightedwalk::WinCounts, weightedwalk::SHAPLEY_CORE>(s, oneSubgame(1));
}
void BM_ShapleyThreeSubgames(benchmark::State& s) {
  walk<weightedwalk::WinCounts, weightedwalk::SHAPLEY_CORE>(s, threeSubgames(1));
}
void BM_PublicGoodOneSubgame(benchmark::State& s) {
  walk<weightedwalk::MinimalCounts, weightedwalk::PUBLICGOOD_CORE>(s, oneSubgame(1));
}
void BM_PublicGoodThreeSubgames(benchmark::State& s) {
  walk<weightedwalk::MinimalCounts, weightedwalk::PUBLICGOOD_CORE>(s, threeSubgames(1));
}
void BM_ShapleyTwoSystemsOneSubgame(benchmark::State& s) {
  walk<weightedwalk::WinCounts, weightedwalk::SHAPLEY_CORE>(s, oneSubgame(2));
}
void BM_ShapleyTwoSystemsThreeSubgames(benchmark::State& s) {
  walk<weightedwalk::WinCounts, weightedwalk::SHAPLEY_CORE>(s, threeSubgames(2));
}
void BM_PublicGoodTwoSystemsOneSubgame(benchmark::State& s) {
  walk<weightedwalk::MinimalCounts, weightedwalk::PUBLICGOOD_CORE>(s, oneSubgame(2));
}
void BM_PublicGoodTwoSystemsThreeSubgames(benchmark::State& s) {
  walk<weightedwalk::MinimalCounts, weightedwalk::PUBLICGOOD_CORE>(s, threeSubgames(2));
}

BENCHMARK(BM_ShapleyOneSubgame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapleyThreeSubgames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublicGoodOneSubgame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublicGoodThreeSubgames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapleyTwoSystemsOneSubgame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapleyTwoSystemsThreeSubgames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublicGoodTwoSystemsOneSubgame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublicGoodTwoSystemsThreeSubgames)->Unit(benchmark::kMillisecond);

}  // namespace
