// Fast weighted counting at the program's limits, with the exhaustive core
// on the one game it finishes (the council of 27):
//   1. 50 players, weights 1..50, quota 638;
//   2. the council of 27 under the triple majority (votes 255, member
//      states 14, population 306979 thousand);
//   3. three subgames of 20, 20 and 10 players, weights 1..100, two win
//      sets, at least 26 members;
//   4. 50 players, weights 1..100000 (and 1..1000000), quota 62 % of the
//      total;
//   5. a federation of the 50 US states under four vote systems: electoral
//      votes (268 of 535), one vote per state (26), population of the 2020
//      census in thousands (62 %: 205070 of 330758) and House seats (218 of
//      435); at least 300 electoral votes overall (AND, in votes), and the
//      blocking rule on the states: more than 7 states outside, less the
//      smallest, block. Also with the population as the second system, so
//      that it blocks: more than 35 % of the people outside, less the
//      smallest state outside.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "engines/exact/fast_counts.h"

namespace {

using weightedwalk::Game;

Game oneSubgame(int n) {
  Game g;
  g.n = n;
  g.mm = 1;
  g.thres = 1;
  for (int p = 1; p <= n; ++p) g.sub[p] = 1;
  return g;
}

Game fiftyPlayers() {
  Game g = oneSubgame(50);
  for (int p = 1; p <= 50; ++p) g.w[0][p] = p;
  g.m[0][1][1] = 638;
  return g;
}

Game council() {
  const int64_t votes[] = {29, 29, 29, 29, 27, 27, 14, 13, 12, 12, 12, 12, 12, 10,
                           10, 10, 7,  7,  7,  7,  7,  4,  4,  4,  4,  4,  3};
  const int64_t pop[] = {82315, 63392, 60853, 59131, 44475, 38126, 21565, 16358, 11171,
                         10599, 10585, 10287, 10066, 9113,  8299,  7679,  5447,  5394,
                         5277,  4315,  3385,  2281,  2010,  1342,  778,   476,   408};
  Game g = oneSubgame(27);
  g.vs = 3;
  for (int p = 1; p <= 27; ++p) {
    g.w[0][p] = votes[p - 1];
    g.w[1][p] = 1;
    g.w[2][p] = pop[p - 1];
  }
  g.m[0][1][1] = 255;
  g.m[1][1][1] = 14;
  g.m[2][1][1] = 306979;
  return g;
}

// The council with the population as the second system and the blocking
// rule on it: more than 35 % of the people outside, less the smallest
// member state outside, block.
Game councilPopulationBlocks() {
  Game g = council();
  for (int p = 1; p <= 27; ++p) std::swap(g.w[1][p], g.w[2][p]);
  std::swap(g.m[1][1][1], g.m[2][1][1]);
  g.block = true;
  g.blockThres = 173294;
  return g;
}

Game threeSubgames() {
  Game g;
  g.n = 50;
  g.mm = 3;
  g.thres = 2;
  g.overall = 1;
  g.t1 = 26;
  std::mt19937 rng(3);
  int64_t total[4] = {};
  for (int p = 1; p <= 50; ++p) {
    g.sub[p] = p <= 20 ? 1 : p <= 40 ? 2 : 3;
    g.w[0][p] = std::uniform_int_distribution<int>(1, 100)(rng);
    total[g.sub[p]] += g.w[0][p];
  }
  // Win set 1: a majority in every subgame; win set 2: two thirds in the
  // first two subgames.
  for (int s = 1; s <= 3; ++s) g.m[0][1][s] = total[s] / 2 + 1;
  g.m[0][2][1] = 2 * total[1] / 3;
  g.m[0][2][2] = 2 * total[2] / 3;
  return g;
}

Game randomWeights(int64_t top) {
  Game g = oneSubgame(50);
  std::mt19937_64 rng(4);
  int64_t total = 0;
  for (int p = 1; p <= 50; ++p)
    total += g.w[0][p] = std::uniform_int_distribution<int64_t>(1, top)(rng);
  g.m[0][1][1] = (total * 62 + 99) / 100;
  return g;
}

Game states() {
  const int64_t pop[] = {5024, 733,   7152,  3012, 39538, 5774, 3606, 990,   21538, 10712,
                         1455, 1839,  12813, 6786, 3190,  2938, 4506, 4658,  1362,  6177,
                         7030, 10077, 5706,  2961, 6154,  1084, 1962, 3105,  1377,  9289,
                         2118, 20201, 10439, 779,  11799, 3959, 4237, 13003, 1097,  5118,
                         887,  6911,  29146, 3272, 643,   8631, 7705, 1794,  5894,  577};
  const int64_t seats[] = {7,  1, 9, 4,  52, 8, 5, 1, 28, 14, 2, 2,  17, 9, 4,  4,  6,
                           6,  2, 8, 9,  13, 8, 4, 8, 2,  3,  4, 2,  12, 3, 26, 14, 1,
                           15, 5, 6, 17, 2,  7, 1, 9, 38, 4,  1, 11, 10, 2, 8,  1};
  Game g = oneSubgame(50);
  g.vs = 4;
  for (int p = 1; p <= 50; ++p) {
    g.w[0][p] = seats[p - 1] + 2;
    g.w[1][p] = 1;
    g.w[2][p] = pop[p - 1];
    g.w[3][p] = seats[p - 1];
  }
  g.m[0][1][1] = 268;
  g.m[1][1][1] = 26;
  g.m[2][1][1] = 205070;
  g.m[3][1][1] = 218;
  g.overall = 1;
  g.overt = 1;
  g.t1 = 300;
  g.block = true;
  g.blockThres = 7;
  return g;
}

// Electoral votes and population alone: a double majority without the
// rules that cut the coalitions down, so the whole population diagram is
// counted.
Game statesDoubleMajority() {
  Game g = states();
  g.vs = 2;
  for (int p = 1; p <= 50; ++p) g.w[1][p] = g.w[2][p];
  g.m[1][1][1] = g.m[2][1][1];
  g.overall = 0;
  g.block = false;
  return g;
}

Game statesPopulationBlocks() {
  Game g = states();
  for (int p = 1; p <= 50; ++p) std::swap(g.w[1][p], g.w[2][p]);
  std::swap(g.m[1][1][1], g.m[2][1][1]);
  g.blockThres = 115765;
  return g;
}

void fast(benchmark::State& state, Game (*game)(), bool pg) {
  const Game g = game();
  auto r = std::make_unique<fastcount::Result>();
  bool ok = false;
  for (auto _ : state) {
    ok = pg ? fastcount::PUBLICGOOD_FAST(g, *r) : fastcount::SHAPLEY_FAST(g, *r);
    benchmark::DoNotOptimize(*r);
  }
  if (!ok) state.SkipWithError("no fast method covers the game");
  state.counters["method"] = static_cast<double>(r->method);
  state.counters["wins"] = static_cast<double>(pg ? r->minimal : r->wins);
  double shap = 0;
  for (int p = 1; p <= g.n; ++p) shap += r->shap[p];
  if (!pg) state.counters["shapley_sum"] = shap;
}

void exhaustive(benchmark::State& state, Game (*game)(), bool pg) {
  const Game g = game();
  auto c = std::make_unique<weightedwalk::WinCounts>();
  auto m = std::make_unique<weightedwalk::MinimalCounts>();
  for (auto _ : state) {
    if (pg)
      weightedwalk::PUBLICGOOD_CORE(g, *m);
    else
      weightedwalk::SHAPLEY_CORE(g, *c);
    benchmark::DoNotOptimize(*c);
    benchmark::DoNotOptimize(*m);
  }
  state.counters["wins"] = pg ? m->minimal : c->wins;
}

Game weights100000() { return randomWeights(100000); }
Game weights1000000() { return randomWeights(1000000); }

}  // namespace

BENCHMARK_CAPTURE(fast, FiftyPlayersShapley, fiftyPlayers, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, FiftyPlayersPublicGood, fiftyPlayers, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, CouncilShapley, council, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, CouncilPublicGood, council, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exhaustive, CouncilShapley, council, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(exhaustive, CouncilPublicGood, council, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(fast, CouncilPopulationBlocksShapley, councilPopulationBlocks, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, ThreeSubgamesShapley, threeSubgames, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, ThreeSubgamesPublicGood, threeSubgames, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, Weights100000Shapley, weights100000, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(fast, Weights100000PublicGood, weights100000, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(fast, Weights1000000Shapley, weights1000000, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(fast, Weights1000000PublicGood, weights1000000, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(fast, StatesShapley, states, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, StatesPublicGood, states, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, StatesDoubleMajorityShapley, statesDoubleMajority, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, StatesDoubleMajorityPublicGood, statesDoubleMajority, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fast, StatesPopulationBlocksShapley, statesPopulationBlocks, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(fast, StatesPopulationBlocksPublicGood, statesPopulationBlocks, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
