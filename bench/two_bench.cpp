// Double majorities of 50 and 100 players (a coalition wins when it holds
// half the votes and half the population), each index by the fast counting
// (fastcount::COUNT_FAST as planned by fastcount::PLAN) beside a plain dynamic
// program over both weight systems in the same run, the baseline the
// figures are given against. The plain program counts the players outside
// a coalition: it wins exactly when they weigh at most R1 = total votes -
// quota and R2 = total population - quota, so
//   - Banzhaf, O(n R1 R2): the subsets of all players by (votes, population)
//     up to (R1, R2), each player taken out again by dividing its factor
//     (1 + x^a y^b) out; its swings are the subsets without it within the
//     box less those that stay within it with the player added;
//   - Shapley-Shubik, O(n^2 R1 R2): the same by size, the swings of each
//     size weighted by (n-j-1)! j! / n! for j players outside.
// The public good index has no such plain program (minimality in two
// systems is not decided by one lightest member); its figure is given
// against the plain Shapley-Shubik program, the plain count by size.
// The baseline counts in doubles; the fast counting is exact, within a
// budget of 4 GiB (which replaces the methods' own limits, as the command
// line's --memory does). A fast run whose plan exceeds 150 s or names no
// fast method, or a baseline beyond 4 GiB, is skipped with the figure that
// says why; "vs_plain" is the fast run's time over the plain
// program's (measured once in the same run where no plain benchmark ran
// before it), "plan_ratio" the measured time over the plan's seconds.
// Games (fixed seeds):
//   a. 50 players, votes 1..100 and population 1..100;
//   b. 50 players, votes 1..1000 and population 1..10^6;
//   c. 100 players, votes 1..100 and population 1..100000.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engines/exact/fast_counts.h"

namespace {

using weightedwalk::Game;

struct Double {
  std::vector<int64_t> a, b;  // votes and population, [0] unused
  int64_t q1 = 0, q2 = 0;     // half of each, rounded up
};

Double make(int n, int64_t top1, int64_t top2, uint64_t seed) {
  std::mt19937_64 rng(seed);
  Double d;
  d.a.push_back(0);
  d.b.push_back(0);
  int64_t t1 = 0, t2 = 0;
  for (int p = 1; p <= n; ++p) {
    t1 += d.a.emplace_back(std::uniform_int_distribution<int64_t>(1, top1)(rng));
    t2 += d.b.emplace_back(std::uniform_int_distribution<int64_t>(1, top2)(rng));
  }
  d.q1 = (t1 + 1) / 2;
  d.q2 = (t2 + 1) / 2;
  return d;
}

Double gameA() { return make(50, 100, 100, 501); }
Double gameB() { return make(50, 1000, 1'000'000, 502); }
Double gameC() { return make(100, 100, 100'000, 1003); }

Game gameOf(const Double& d) {
  const int n = static_cast<int>(d.a.size()) - 1;
  Game g(n, 1);
  g.n = n;
  g.mm = g.thres = 1;
  g.vs = 2;
  for (int p = 1; p <= n; ++p) g.sub[p] = 1, g.w[0][p] = d.a[p], g.w[1][p] = d.b[p];
  g.m[0][1][1] = d.q1;
  g.m[1][1][1] = d.q2;
  return g;
}

// The box the players outside a winning coalition stay within.
struct Box {
  explicit Box(const Double& d) : n(static_cast<int>(d.a.size()) - 1) {
    for (int p = 1; p <= n; ++p) r1 += d.a[p], r2 += d.b[p];
    r1 -= d.q1;
    r2 -= d.q2;
    w = static_cast<std::size_t>(r2) + 1;
    cells = (static_cast<double>(r1) + 1) * static_cast<double>(w);
  }
  int n;
  int64_t r1 = 0, r2 = 0;
  std::size_t w = 0;
  double cells = 0;
  std::size_t at(int64_t u, int64_t v) const { return static_cast<std::size_t>(u) * w + v; }
};

// Adds a player of weights (A, B) to the subsets of table C.
void join(std::vector<double>& c, const double* from, const Box& x, int64_t a, int64_t b) {
  for (int64_t u = x.r1; u >= a; --u)
    for (int64_t v = x.r2; v >= b; --v) c[x.at(u, v)] += from[x.at(u - a, v - b)];
}

// Subsets within (U, V) of table T.
double within(const double* t, const Box& x, int64_t u, int64_t v) {
  double s = 0;
  for (int64_t i = 0; i <= u; ++i)
    for (int64_t j = 0; j <= v; ++j) s += t[x.at(i, j)];
  return s;
}

// The plain Banzhaf program: swings of each player.
std::vector<double> plainBanzhaf(const Double& d) {
  const Box x(d);
  const int n = x.n;
  const auto size = static_cast<std::size_t>(x.cells);
  std::vector<double> c(size, 0.0), without(size), out(static_cast<std::size_t>(n) + 1);
  c[0] = 1;
  for (int p = 1; p <= n; ++p) join(c, c.data(), x, d.a[p], d.b[p]);
  for (int p = 1; p <= n; ++p) {
    const int64_t a = d.a[p], b = d.b[p];
    for (int64_t u = 0; u <= x.r1; ++u)
      for (int64_t v = 0; v <= x.r2; ++v)
        without[x.at(u, v)] =
            c[x.at(u, v)] - (u >= a && v >= b ? without[x.at(u - a, v - b)] : 0.0);
    const double stays = a <= x.r1 && b <= x.r2 ? within(without.data(), x, x.r1 - a, x.r2 - b) : 0;
    out[static_cast<std::size_t>(p)] = within(without.data(), x, x.r1, x.r2) - stays;
  }
  return out;
}

// The plain Shapley-Shubik program: values of each player.
std::vector<double> plainShapley(const Double& d) {
  const Box x(d);
  const int n = x.n;
  const auto size = static_cast<std::size_t>(x.cells);
  const auto n1 = static_cast<std::size_t>(n) + 1;
  std::vector<double> c(n1 * size, 0.0), last(size), now(size), out(n1), weight(n1);
  auto layer = [&](int k) { return c.data() + static_cast<std::size_t>(k) * size; };
  c[0] = 1;
  for (int p = 1; p <= n; ++p)
    for (int k = p; k >= 1; --k) {
      // Layer k gains layer k - 1 shifted by the player.
      double* to = layer(k);
      const double* from = layer(k - 1);
      for (int64_t u = x.r1; u >= d.a[p]; --u)
        for (int64_t v = x.r2; v >= d.b[p]; --v)
          to[x.at(u, v)] += from[x.at(u - d.a[p], v - d.b[p])];
    }
  // (n-j-1)! j! / n! for a swing with j players outside.
  for (int j = 0; j < n; ++j)
    weight[j] = std::exp(std::lgamma(j + 1.0) + std::lgamma(n - j + 0.0) - std::lgamma(n + 1.0));
  for (int p = 1; p <= n; ++p) {
    const int64_t a = d.a[p], b = d.b[p];
    double s = 0;
    for (int j = 0; j < n; ++j) {
      const double* cj = layer(j);
      for (int64_t u = 0; u <= x.r1; ++u)
        for (int64_t v = 0; v <= x.r2; ++v)
          now[x.at(u, v)] =
              cj[x.at(u, v)] - (j > 0 && u >= a && v >= b ? last[x.at(u - a, v - b)] : 0.0);
      const double stays = a <= x.r1 && b <= x.r2 ? within(now.data(), x, x.r1 - a, x.r2 - b) : 0;
      s += (within(now.data(), x, x.r1, x.r2) - stays) * weight[j];
      std::swap(now, last);
    }
    out[static_cast<std::size_t>(p)] = s;
  }
  return out;
}

constexpr double PLAN_LIMIT = 150.0;                   // seconds
constexpr double BASELINE_BYTES = 4.0 * (1ull << 30);  // the baseline's tables
constexpr std::size_t BUDGET = std::size_t{4} << 30;   // the fast counting's

double baselineBytes(const Double& d, bool shapley) {
  const Box x(d);
  return x.cells * 8 * (shapley ? x.n + 3.0 : 2.0);
}

// Seconds of the plain programs, by game and program, as measured in this run.
std::map<std::pair<Double (*)(), bool>, double>& measured() {
  static std::map<std::pair<Double (*)(), bool>, double> seconds;
  return seconds;
}

void plain(benchmark::State& state, Double (*game)(), bool shapley) {
  const Double d = game();
  const double bytes = baselineBytes(d, shapley);
  state.counters["bytes"] = bytes;
  if (bytes > BASELINE_BYTES) {
    const std::string why =
        "the baseline's tables take " + std::to_string(bytes / (1ull << 30)) + " GiB";
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
    return;
  }
  std::vector<double> v;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    v = shapley ? plainShapley(d) : plainBanzhaf(d);
    benchmark::DoNotOptimize(v);
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  measured()[{game, shapley}] = took.count() / static_cast<double>(state.iterations());
}

// The plain program's seconds for GAME, measured now when no plain
// benchmark ran before; 0 when it exceeds the memory it may take.
double baseline(Double (*game)(), bool shapley) {
  auto it = measured().find({game, shapley});
  if (it != measured().end()) return it->second;
  const Double d = game();
  if (baselineBytes(d, shapley) > BASELINE_BYTES) return 0;
  const auto start = std::chrono::steady_clock::now();
  benchmark::DoNotOptimize(shapley ? plainShapley(d) : plainBanzhaf(d));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return measured()[{game, shapley}] = took.count();
}

void fast(benchmark::State& state, Double (*game)(), fastcount::Index index) {
  const Game g = gameOf(game());
  const fastcount::Plan plan = fastcount::PLAN(g, index, BUDGET);
  state.counters["plan_s"] = plan.seconds;
  state.counters["plan_bytes"] = static_cast<double>(plan.bytes);
  state.counters["method"] = static_cast<double>(plan.method);
  const char* names[] = {"the walk", "a table", "a diagram", "nothing", "the table of two systems"};
  if (plan.seconds > PLAN_LIMIT || plan.method == fastcount::Method::NONE ||
      plan.method == fastcount::Method::EXHAUSTIVE) {
    const double seconds =
        plan.method == fastcount::Method::EXHAUSTIVE ? plan.walkSeconds : plan.seconds;
    const std::string why = "plan: " + std::string(names[static_cast<int>(plan.method)]) +
                            (seconds > 0 ? ", " + std::to_string(seconds / 3600) + " hours" : "");
    state.SkipWithError(why.c_str());
    for (auto _ : state) {
    }
    return;
  }
  const double plainSeconds = baseline(game, index != fastcount::Index::BANZHAF);
  auto r = std::make_unique<fastcount::Result>();
  bool ok = false;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    ok = fastcount::COUNT_FAST(g, index, *r, fastcount::Choice::BEST, BUDGET);
    benchmark::DoNotOptimize(*r);
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const double seconds = took.count() / static_cast<double>(state.iterations());
  if (!ok) {
    const std::string why = "the count outgrew the budget after " + std::to_string(seconds) +
                            " s (plan: " + names[static_cast<int>(plan.method)] + ", " +
                            std::to_string(plan.seconds) + " s" +
                            (plan.sure ? ")" : ", may outgrow it)");
    state.SkipWithError(why.c_str());
  }
  state.counters["passes"] = plan.passes;
  state.counters["plan_ratio"] = plan.seconds > 0 ? seconds / plan.seconds : 0;
  if (plainSeconds > 0) state.counters["vs_plain"] = seconds / plainSeconds;
}

using fastcount::Index;

#define TWO(NAME, GAME)                                                                        \
  BENCHMARK_CAPTURE(plain, NAME##Banzhaf, GAME, false)->Unit(benchmark::kMillisecond);         \
  BENCHMARK_CAPTURE(fast, NAME##Banzhaf, GAME, Index::BANZHAF)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(plain, NAME##Shapley, GAME, true)->Unit(benchmark::kMillisecond);          \
  BENCHMARK_CAPTURE(fast, NAME##Shapley, GAME, Index::SHAPLEY)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(fast, NAME##PublicGood, GAME, Index::PUBLICGOOD)                           \
      ->Unit(benchmark::kMillisecond)                                                          \
      ->Iterations(1)

TWO(TwoFifty100, gameA);
TWO(TwoFiftyMillion, gameB);
TWO(TwoHundred, gameC);

}  // namespace
