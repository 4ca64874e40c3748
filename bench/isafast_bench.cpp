// The fast count-vector core: eight party groups of 100 as chambers under a
// simple majority of all 800 (the walk would visit 101^8 vectors), and one
// chamber of 65535 members; ten chambers of 150 with ten nested boxes, past
// the 1000 members up to which the core counts in doubles. The three-chamber congress is in
// isa_bench.cpp, beside the walk.
#include <benchmark/benchmark.h>

#include "engines/exact/chamber_program.h"

namespace {

ISAGAME eightGroups() {
  ISAGAME g;
  g.MM = 8;
  g.N = 800;
  for (int d = 1; d <= 8; ++d) {
    g.NN[d] = 100;
    g.G[1][d][1] = 0;
    g.G[1][d][2] = 100;
  }
  g.THRES = 1;
  g.T1 = 401;
  g.T1ANZ = 8;
  g.T2ANZ = 8;
  return g;
}

ISAGAME oneChamber() {
  ISAGAME g;
  g.MM = 1;
  g.N = 65535;
  g.NN[1] = 65535;
  g.THRES = 1;
  g.G[1][1][1] = 32768;
  g.G[1][1][2] = 65535;
  g.T1ANZ = g.T2ANZ = 1;
  return g;
}

// Box w asks for a majority plus w in each of the chambers 1..w.
ISAGAME tenChambers() {
  ISAGAME g;
  g.MM = 10;
  g.N = 1500;
  g.THRES = 10;
  for (int d = 1; d <= 10; ++d) {
    g.NN[d] = 150;
    for (int w = 1; w <= 10; ++w) {
      g.G[w][d][1] = d <= w ? 75 + w : 0;
      g.G[w][d][2] = 150;
    }
  }
  g.T1ANZ = g.T2ANZ = 10;
  return g;
}

void run(benchmark::State& state, ISAGAME (*game)(), ISAKIND kind) {
  const ISAGAME g = game();
  ISAXTOTALS t;
  for (auto _ : state) {
    t = ISA_FAST(kind, g);
    benchmark::DoNotOptimize(t);
  }
  XNUM shap;
  for (int d = 1; d <= g.MM; ++d) shap += t.SHAP[d];
  state.counters["log10_winsets"] = static_cast<double>(XLOG10(t.WINSETS));
  state.counters["log10_shap_sum"] = static_cast<double>(XLOG10(shap));
}

}  // namespace

BENCHMARK_CAPTURE(run, EightGroupsShapley, eightGroups, ISAKIND::SHAPLEY)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, EightGroupsBanzhaf, eightGroups, ISAKIND::BANZHAF)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, EightGroupsPublicGood, eightGroups, ISAKIND::PUBLICGOOD)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, EightGroupsWorkingPlan, eightGroups, ISAKIND::WORKINGPLAN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, OneChamberShapley, oneChamber, ISAKIND::SHAPLEY)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, OneChamberPublicGood, oneChamber, ISAKIND::PUBLICGOOD)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, TenChambersShapley, tenChambers, ISAKIND::SHAPLEY)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(run, TenChambersPublicGood, tenChambers, ISAKIND::PUBLICGOOD)
    ->Unit(benchmark::kMillisecond);
