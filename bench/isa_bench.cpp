// Count-vector engines on a three-chamber body of 435, 100 and 1 members:
// win set 1 needs a majority of each chamber including the single member,
// win set 2 two thirds of both large chambers without it.
#include <benchmark/benchmark.h>

#include "engines/exact/chamber_program.h"
#include "engines/walk/vector_walk.h"

namespace {

ISAGAME congress(int thres) {
  ISAGAME g;
  g.N = 536;
  g.MM = 3;
  g.NN[1] = 435;
  g.NN[2] = 100;
  g.NN[3] = 1;
  const int lows[3][3] = {{218, 51, 1}, {290, 67, 0}, {436, 101, 2}};
  g.THRES = thres;
  for (int w = 1; w <= 3; ++w)
    for (int d = 1; d <= 3; ++d) {
      g.G[w][d][1] = lows[w - 1][d - 1];
      g.G[w][d][2] = g.NN[d];
    }
  g.T1 = g.T2 = 0;
  g.T1ANZ = g.T2ANZ = 1;
  return g;
}

void report(benchmark::State& state, const ISATOTALS& t) {
  state.counters["winsets"] = t.WINSETS;
  state.counters["shap1"] = t.SHAP[1];
  state.counters["shap2"] = t.SHAP[2];
  state.counters["shap3"] = t.SHAP[3];
}

void BM_IsaShapley(benchmark::State& state) {
  ISAGAME g = congress(2);
  ISATOTALS t;
  for (auto _ : state) benchmark::DoNotOptimize(t = ISA_SHAPLEY(g));
  report(state, t);
}

// The third box lies beyond every chamber, so it admits no vector.
void BM_IsaWorkingPlanUnreachableThird(benchmark::State& state) {
  ISAGAME g = congress(3);
  ISATOTALS t;
  for (auto _ : state) benchmark::DoNotOptimize(t = ISA_SHAPLEY_WORKINGPLAN(g));
  report(state, t);
}

// The third box repeats the first: every vector of it is visited again.
void BM_IsaWorkingPlanRepeatedThird(benchmark::State& state) {
  ISAGAME g = congress(3);
  g.G[3] = g.G[1];
  ISATOTALS t;
  for (auto _ : state) benchmark::DoNotOptimize(t = ISA_SHAPLEY_WORKINGPLAN(g));
  report(state, t);
}

void BM_IsaBanzhaf(benchmark::State& state) {
  ISAGAME g = congress(2);
  ISATOTALS t;
  for (auto _ : state) benchmark::DoNotOptimize(t = ISA_BANZHAF(g));
  report(state, t);
}

void BM_IsaPublicGood(benchmark::State& state) {
  ISAGAME g = congress(2);
  ISATOTALS t;
  for (auto _ : state) benchmark::DoNotOptimize(t = ISA_PUBLICGOOD(g));
  report(state, t);
}

// The same game counted by the fast core (engines/exact/chamber_program.h).
void BM_IsaFast(benchmark::State& state, ISAKIND kind) {
  ISAGAME g = congress(2);
  ISATOTALS t;
  for (auto _ : state) benchmark::DoNotOptimize(t = ISA_TODOUBLE(ISA_FAST(kind, g)));
  report(state, t);
}

}  // namespace

BENCHMARK_CAPTURE(BM_IsaFast, Shapley, ISAKIND::SHAPLEY)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IsaFast, Banzhaf, ISAKIND::BANZHAF)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IsaFast, PublicGood, ISAKIND::PUBLICGOOD)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsaShapley)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsaWorkingPlanUnreachableThird)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsaWorkingPlanRepeatedThird)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsaBanzhaf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsaPublicGood)->Unit(benchmark::kMillisecond);
