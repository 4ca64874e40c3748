// The Banzhaf counts by power series (engines/exact/power_series.h) and by
// the halves' subset sums (engines/exact/subset_halves.h) on the wide
// games, each beside the plain O(n q) program over the weights in the same
// run (plainBanzhaf, bench/games.h): CPU seconds of each, their ratio, and
// the method's planned seconds and bytes against the measured seconds. A
// game whose method is planned beyond SERIES_LIMIT seconds or the
// machine's memory is skipped with the figures that say why.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "engines/exact/fast_counts.h"
#include "engines/exact/modular.h"
#include "engines/exact/power_series.h"
#include "engines/exact/subset_halves.h"
#include "games.h"

namespace {

using namespace benchgames;

constexpr double SERIES_LIMIT = 60.0;                  // seconds
constexpr double SERIES_BYTES = 4.0 * (1ull << 30);    // the series' memory
constexpr double BASELINE_BYTES = 8.0 * (1ull << 30);  // the plain table

double cpu() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void line(benchmark::State& state, METHODTYP method, Weighted (*make)()) {
  const Weighted d = make();
  const weightedwalk::Game g = gameOf(d);
  const std::vector<int> sub(d.w.size(), 1);
  const sizetable::Threshold t{g.n, 1, sub.data(), d.w.data(), d.q};
  const COSTTYP cost =
      method == METHODTYP::SUBSETHALVES
          ? halves::COST(t, false)
          : powerseries::COST(t, g.n > fastcount::PROFILEMAX ? fastcount::PASSES(g.n) : 1);
  state.counters["plan_s"] = cost.SECONDS;
  state.counters["plan_bytes"] = static_cast<double>(cost.BYTES);
  state.counters["passes"] = cost.PASSES;
  if (!cost.APPLIES || cost.SECONDS > SERIES_LIMIT ||
      static_cast<double>(cost.BYTES) > SERIES_BYTES) {
    const std::string why = !cost.APPLIES ? std::string(cost.WHY)
                                          : "planned " + std::to_string(cost.SECONDS) + " s, " +
                                                std::to_string(cost.BYTES >> 20) + " MiB";
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
    return;
  }
  double methodCpu = 0, plainCpu = 0;
  bool ok = false;
  auto r = std::make_unique<fastcount::Result>();
  for (auto _ : state) {
    const double t0 = cpu();
    ok = fastcount::COUNT_WITH(g, fastcount::Index::BANZHAF, method, *r, 0) == 1;
    benchmark::DoNotOptimize(*r);
    const double t1 = cpu();
    if (static_cast<double>(d.q) * 16 <= BASELINE_BYTES) {
      std::vector<double> v = plainBanzhaf(d);
      benchmark::DoNotOptimize(v);
    }
    methodCpu += t1 - t0;
    plainCpu += cpu() - t1;
  }
  if (!ok) state.SkipWithError("the method did not count the game");
  const auto runs = static_cast<double>(state.iterations());
  state.counters["method_s"] = methodCpu / runs;
  state.counters["plain_s"] = plainCpu / runs;
  state.counters["to_plain"] = plainCpu > 0 ? methodCpu / plainCpu : 0.0;
  state.counters["to_plan"] = cost.SECONDS > 0 ? methodCpu / runs / cost.SECONDS : 0.0;
}

void series(benchmark::State& state, Weighted (*make)()) {
  line(state, METHODTYP::POWERSERIES, make);
}
void halves(benchmark::State& state, Weighted (*make)()) {
  line(state, METHODTYP::SUBSETHALVES, make);
}

#define SERIES(NAME, MAKE)                                                             \
  BENCHMARK_CAPTURE(series, NAME, MAKE)->Unit(benchmark::kMillisecond)->Iterations(1); \
  BENCHMARK_CAPTURE(halves, NAME, MAKE)->Unit(benchmark::kMillisecond)->Iterations(1)

SERIES(ElectoralCollege, electoralCollege);
SERIES(ImfBoard, imfBoard);
SERIES(Pareto190At50, pareto50);
SERIES(Pareto190At70, pareto70);
SERIES(Pareto190At85, pareto85);
SERIES(Thousand, thousand);
SERIES(FiftyMillion, million);
SERIES(FiftyNearTenMillion, heavy);

}  // namespace
