// The planner against what its plans then take: each game's plan under the
// command line's policy (a budget of 6 GiB, the time limit of ten minutes
// lifted, as --exhaustive lifts it) beside the count it plans, run in a
// child process so that its CPU time and its peak resident memory are its
// own. Counters: plan_s and cpu_s (the planned and the measured CPU
// seconds), plan_MB and rss_MB (the planned peak and the measured growth of
// the resident set over the child's start), and their ratios, measured
// over planned: the planner holds where both lie between 1/3 and 3.
// Figures, never pass/fail. A count planned beyond PLAN_LIMIT seconds is
// skipped with the plan that says why.
//
// Games (bench/games.h and below): the Electoral College; 190 Pareto
// players at 50, 70 and 85 %; the IMF-like board; 1000 and 2000 holders;
// 50 players of weights to 10^6 and near 10^7; 200 and 400 players of
// weights 1..100; a double majority of 50 players (votes and population
// 1..100); spatial and negative-weight games of 22 and 24 players (the
// walk).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "engines/exact/fast_counts.h"
#include "engines/exact/spatial_table.h"
#include "engines/plan/planner.h"
#include "games.h"

namespace {

using namespace benchgames;
using weightedwalk::Game;

constexpr double PLAN_LIMIT = 120.0;
constexpr std::size_t BUDGET = std::size_t{6} << 30;

Game doubleMajority() {
  std::mt19937_64 rng(501);
  Game g(50, 1);
  g.n = 50;
  g.mm = g.thres = 1;
  g.vs = 2;
  int64_t t[2] = {0, 0};
  for (int p = 1; p <= 50; ++p) {
    g.sub[p] = 1;
    t[0] += g.w[0][p] = std::uniform_int_distribution<int64_t>(1, 100)(rng);
    t[1] += g.w[1][p] = std::uniform_int_distribution<int64_t>(1, 100)(rng);
  }
  g.m[0][1][1] = (t[0] + 1) / 2;
  g.m[1][1][1] = (t[1] + 1) / 2;
  return g;
}

// N players of weights 1..100, one of them negative: only the walk counts it.
Game negative(int n) {
  Game g = gameOf(uniform(n, 100, static_cast<uint64_t>(n)));
  g.w[0][1] = -3;
  return g;
}

POSTYP positions;  // of the spatial games, set before the first plan

Game spatial(int n) {
  Game g = gameOf(uniform(n, 100, static_cast<uint64_t>(n) + 7));
  std::mt19937_64 rng(11);
  for (int p = 1; p <= n; ++p)
    for (int d = 1; d <= 2; ++d)
      positions[d][p] = std::uniform_real_distribution<double>(0, 100)(rng);
  g.position = &positions;
  g.ntheme = 2;
  g.distmax = 100 * std::sqrt(2.0);
  return g;
}

// The resident set of this process now, in bytes.
double residentBytes() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  long pages = 0, resident = 0;
  if (f != nullptr) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGE_SIZE));
}

// Counts G by STEP in a child; the child's CPU seconds (less those of a
// child that counts nothing: the fork and the exit) and the growth of its
// peak resident set over its start.
bool measured(const Game& g, INDEXTYP index, const planner::STEPTYP& step, double& cpu,
              double& bytes) {
  int pipe[2];
  if (::pipe(pipe) != 0) return false;
  const pid_t child = fork();
  if (child == 0) {
    ::close(pipe[0]);
    const double start = residentBytes();
    bool ok = step.ORDER.empty();
    for (const METHODTYP m : step.ORDER) {
      if (m == METHODTYP::WALK) {
        if (index == INDEXTYP::PUBLICGOOD) {
          weightedwalk::MinimalCounts c(g.n);
          ok = weightedwalk::PUBLICGOOD_CORE(g, c);
        } else {
          weightedwalk::WinCounts c(g.n, g.mm);
          ok = weightedwalk::SHAPLEY_CORE(g, c);
        }
        break;
      }
      if (m == METHODTYP::SPATIALTABLE) {
        weightedwalk::WinCounts c(g.n, g.mm);
        ok = spatialtable::COUNT(g, c, step.BUDGET) > 0;
        break;
      }
      auto r = std::make_unique<fastcount::Result>();
      if (fastcount::COUNT_WITH(g, index, m, *r, step.BUDGET) > 0) {
        ok = true;
        break;
      }
    }
    const double sizes[2] = {ok ? 1.0 : 0.0, start};
    if (::write(pipe[1], sizes, sizeof sizes) != sizeof sizes) _exit(2);
    _exit(0);
  }
  ::close(pipe[1]);
  double sizes[2] = {0, 0};
  const bool read = ::read(pipe[0], sizes, sizeof sizes) == sizeof sizes;
  ::close(pipe[0]);
  int status = 0;
  struct rusage use {};
  if (wait4(child, &status, 0, &use) != child || !read || sizes[0] == 0) return false;
  cpu = static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
        1e-6 * static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec);
  if (!step.ORDER.empty()) {
    static const double idle = [&] {
      double seconds = 0, unused = 0;
      double least = 1;
      for (int i = 0; i < 5; ++i)
        if (measured(g, index, planner::STEPTYP(), seconds, unused))
          least = std::min(least, seconds);
      return least;
    }();
    cpu = std::max(0.0, cpu - idle);
  }
  bytes = std::max(0.0, static_cast<double>(use.ru_maxrss) * 1024.0 - sizes[1]);
  return true;
}

void planned(benchmark::State& state, Game (*make)(), INDEXTYP index) {
  const Game g = make();
  planner::POLICYTYP policy;
  policy.BUDGET = BUDGET;
  policy.WALKS = true;
  policy.WALKPLAYERS = weightedwalk::WALKMAX;
  const planner::STEPTYP step = planner::PLANWEIGHTED(g, index, policy);
  state.counters["plan_s"] = step.SECONDS;
  state.counters["plan_MB"] = static_cast<double>(step.BYTES) / 1e6;
  state.SetLabel(METHODNAME(step.METHOD));
  if (step.REFUSED || step.SECONDS > PLAN_LIMIT) {
    const std::string why =
        std::string(METHODNAME(step.METHOD)) + " planned at " + std::to_string(step.SECONDS) + " s";
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
    return;
  }
  double cpu = 0, bytes = 0;
  bool ok = true;
  for (auto _ : state) {
    ok = measured(g, index, step, cpu, bytes);
    state.SetIterationTime(cpu);
  }
  if (!ok) {
    state.SkipWithError("the count failed");
    return;
  }
  state.counters["cpu_s"] = cpu;
  state.counters["rss_MB"] = bytes / 1e6;
  state.counters["time_ratio"] = step.SECONDS > 0 ? cpu / step.SECONDS : 0;
  // Peaks below a few megabytes are the allocator's and the process's,
  // not the method's: the ratio is given from 4 MB on.
  state.counters["memory_ratio"] =
      step.BYTES >= (4u << 20) ? bytes / static_cast<double>(step.BYTES) : 0;
}

Game electoral() { return gameOf(electoralCollege()); }
Game pareto50g() { return gameOf(pareto50()); }
Game pareto70g() { return gameOf(pareto70()); }
Game pareto85g() { return gameOf(pareto85()); }
Game imf() { return gameOf(imfBoard()); }
Game thousandg() { return gameOf(thousand()); }
Game twoThousandg() { return gameOf(twoThousand()); }
Game milliong() { return gameOf(million()); }
Game heavyg() { return gameOf(heavy()); }
Game two100() { return gameOf(uniform(200, 100, 200)); }
Game four100() { return gameOf(uniform(400, 100, 400)); }
Game negative24() { return negative(24); }
Game spatial22() { return spatial(22); }

#define PLANNED(NAME, MAKE)                                                \
  BENCHMARK_CAPTURE(planned, NAME##Shapley, MAKE, INDEXTYP::SHAPLEY)       \
      ->UseManualTime()                                                    \
      ->Iterations(1)                                                      \
      ->Unit(benchmark::kMillisecond);                                     \
  BENCHMARK_CAPTURE(planned, NAME##Banzhaf, MAKE, INDEXTYP::BANZHAF)       \
      ->UseManualTime()                                                    \
      ->Iterations(1)                                                      \
      ->Unit(benchmark::kMillisecond);                                     \
  BENCHMARK_CAPTURE(planned, NAME##PublicGood, MAKE, INDEXTYP::PUBLICGOOD) \
      ->UseManualTime()                                                    \
      ->Iterations(1)                                                      \
      ->Unit(benchmark::kMillisecond)

PLANNED(ElectoralCollege, electoral);
PLANNED(Pareto190At50, pareto50g);
PLANNED(Pareto190At70, pareto70g);
PLANNED(Pareto190At85, pareto85g);
PLANNED(ImfBoard, imf);
PLANNED(Thousand, thousandg);
PLANNED(TwoThousand, twoThousandg);
PLANNED(TwoHundred, two100);
PLANNED(FourHundred, four100);
PLANNED(FiftyMillion, milliong);
PLANNED(FiftyNearTenMillion, heavyg);
PLANNED(DoubleMajority50, doubleMajority);
PLANNED(NegativeWeight24, negative24);
BENCHMARK_CAPTURE(planned, Spatial22Shapley, spatial22, INDEXTYP::SHAPLEY)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
