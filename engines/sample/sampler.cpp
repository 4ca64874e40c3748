#include "engines/sample/sampler.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <type_traits>

namespace sampler {
namespace {

using weightedwalk::Rule;

// One coalition of any number of players with its sums, joined and left one
// player at a time; the winning test of the walk on it, also with one player
// toggled (joining when outside, leaving when inside).
class Coalition {
 public:
  explicit Coalition(const weightedwalk::Game& g)
      : r(g),
        in(static_cast<std::size_t>(r.n) + 1),
        sums(static_cast<std::size_t>(r.cells())),
        byWeight(static_cast<std::size_t>(r.n)) {
    std::iota(byWeight.begin(), byWeight.end(), 1);
    if (r.block) {
      std::stable_sort(byWeight.begin(), byWeight.end(),
                       [&](int a, int b) { return r.second(a) < r.second(b); });
      for (int p = 1; p <= r.n; ++p) outside += r.second(p);
    }
    single = r.cells() == 1 && !r.block;
    for (int t = 1; t <= r.thres; ++t) lowest = std::min(lowest, r.need[t - 1]);
  }

  const Rule r;
  std::vector<char> in;  // in[p]: p a member
  int members = 0;
  // One subgame of one vote system without blocking: a coalition wins by its
  // sum reaching the lowest of the win sets' thresholds (and the overall one).
  bool single = false;
  int64_t lowest = INT64_MAX;

  void join(int p) { change(p, +1); }
  void leave(int p) { change(p, -1); }

  // Before the tests on the current coalition: its two least outsiders by
  // system-1 weight, for the blocking rule. FROM skips the first FROM
  // players by weight, who must all be members (orders only grow).
  void prepare(int from = 0) {
    first = second = -1;
    if (!r.block) return;
    for (int i = from; i < r.n && second < 0; ++i)
      if (!in[byWeight[i]]) (first < 0 ? first : second) = i;
  }
  int firstOutsider() const { return first < 0 ? r.n : first; }

  bool wins() const { return verdict(members, votes, outside, least(first)); }

  // Whether the coalition with P toggled wins (after prepare).
  bool winsToggled(int p) {
    const int64_t d = in[p] ? -1 : +1;
    if (single) {  // one sum, its weight the votes: no shifting back and forth
      const int64_t wp = r.primary(p);
      return r.DECIDE(sums[0] + d * wp >= lowest, members + d, votes + d * wp, false);
    }
    shift(p, d);
    int64_t lo = INT64_MAX;
    if (r.block) {
      const int64_t w1 = r.second(p);
      lo = d < 0 ? std::min(least(first), w1)
                 : least(first >= 0 && byWeight[first] == p ? second : first);
    }
    const int64_t w0 = r.primary(p);
    const bool win = verdict(members + static_cast<int>(d), votes + d * w0,
                             r.block ? outside - d * r.second(p) : 0, lo);
    shift(p, -d);
    return win;
  }

 private:
  std::vector<int64_t> sums;  // as Rule reads them
  std::vector<int> byWeight;  // players by system-1 weight, ascending
  int64_t votes = 0, outside = 0;
  int first = -1, second = -1;  // the least outsiders, ranks in byWeight

  int64_t least(int rank) const { return rank < 0 ? INT64_MAX : r.second(byWeight[rank]); }

  bool verdict(int64_t count, int64_t primary, int64_t out, int64_t lo) const {
    return r.DECIDE(r.MEETS(sums.data()), count, primary, r.block && r.BLOCKED(out, lo));
  }

  void shift(int p, int64_t d) {
    int64_t* x = sums.data() + static_cast<std::size_t>(r.sub[p] - 1) * r.vs;
    const int64_t* wp = r.weights(p);
    for (int k = 0; k < r.vs; ++k) x[k] += d * wp[k];
  }

  void change(int p, int d) {
    in[p] = d > 0;
    members += d;
    shift(p, d);
    votes += d * r.primary(p);
    if (r.block) outside -= d * r.second(p);
  }
};

using Rng = std::mt19937_64;

// Uniform in 0..m-1, and in [0,1): written out so that a seed gives the same
// samples with every standard library.
uint64_t below(Rng& rng, uint64_t m) {
  return static_cast<uint64_t>((static_cast<unsigned __int128>(rng()) * m) >> 64);
}
double unit(Rng& rng) { return static_cast<double>(rng() >> 11) * 0x1p-53; }

// Measured rates (one core of the 2-core development machine, CPU time
// user+sys under the load of other builds, Electoral College weights copied
// to 51, 204 and 1020 players, quotas 50 % and 80 %, --estimate runs of
// fixed samples; checked against whole runs of 120 and 1000 players with
// weights up to 10^7, where the plan came within 1.5x of the CPU time
// measured before these were raised from 9, 2 and 12 ns): a random order
// costs about ORDER_NS per player, a random coalition BANZHAF_NS per player
// (one weighted sum: the branch-free loop) or GENERAL_NS (any other rule),
// a coalition drawn by size PUBLICGOOD_NS per member plus SIZE_NS for the
// choice of its size per possible size; each further sum of the rule (a
// subgame or a vote system) adds CELL_NS per player and sample.
constexpr double ORDER_NS = 13.0, BANZHAF_NS = 2.8, GENERAL_NS = 16.0;
constexpr double PUBLICGOOD_NS = 14.0, SIZE_NS = 1.0, CELL_NS = 2.0;
// The pilot: up to PILOTMAX samples, fewer where they would take beyond
// PILOTSECONDS, never fewer than PILOTMIN.
constexpr uint64_t PILOTMIN = 1000, PILOTMAX = 20'000;
constexpr double PILOTSECONDS = 0.25;
// Samples beyond the pilot's count of what the error asks: the pilot's
// errors are themselves estimates.
constexpr double MARGIN = 1.2;
// Samples of every possible size before the public good sampler chooses.
constexpr double MINPER = 20;

bool estimable(const weightedwalk::Game& g) {
  return weightedwalk::FITS(g) && g.position == nullptr;
}

Values sized(int n) {
  return {std::vector<double>(static_cast<std::size_t>(n) + 1, std::nan("")),
          std::vector<double>(static_cast<std::size_t>(n) + 1, std::nan("")), false};
}

// The nanoseconds the further sums of the rule add per player and sample.
double cellNanos(const Rule& r) { return CELL_NS * (r.cells() - 1 + (r.block ? 1 : 0)); }

// The standard error of a mean from N samples with sum S and sum of
// squares SQ (0 below two samples).
double standardError(double n, double s, double sq) {
  if (n < 2) return 0;
  const double var = std::max(0.0, (sq - s * s / n) / (n - 1));
  return std::sqrt(var / n);
}

// Coalition members drawn independently, each with probability Q (bits of
// whole random words when Q is 1/2).
void drawIndependent(Coalition& c, Rng& rng, double q) {
  const int n = c.r.n;
  uint64_t bits = 0;
  for (int p = 1; p <= n; ++p) {
    bool want;
    if (q == 0.5) {
      if ((p - 1) % 64 == 0) bits = rng();
      want = bits & 1;
      bits >>= 1;
    } else {
      want = unit(rng) < q;
    }
    if (want != static_cast<bool>(c.in[p])) want ? c.join(p) : c.leave(p);
  }
  c.prepare();
}

// Shapley-Shubik by random orders: per player the orders it is the swing
// of.
class Orders {
 public:
  Orders(const weightedwalk::Game& g, uint64_t seed)
      : n(g.n), c(g), rng(seed), swings(row()), order(static_cast<std::size_t>(n)) {
    std::iota(order.begin(), order.end(), 1);
  }
  void sample() {
    for (int i = n - 1; i > 0; --i)
      std::swap(order[i], order[below(rng, static_cast<uint64_t>(i) + 1)]);
    c.prepare();
    bool before = c.wins();
    for (int p : order) {
      c.join(p);
      c.prepare(c.firstOutsider());
      const bool now = c.wins();
      if (now && !before) swings[p] += 1;
      before = now;
    }
    for (int p : order) c.leave(p);
  }
  double finish(double m, Values& out) const {
    double worst = 0;
    for (int p = 1; p <= n && m > 0; ++p) {
      out.value[p] = swings[p] / m;
      out.error[p] = PROPORTIONERROR(swings[p], m);
      worst = std::max(worst, out.error[p]);
    }
    return m > 0 ? worst : INFINITY;
  }
  double nanos() const { return n * (ORDER_NS + cellNanos(c.r)); }
  std::size_t bytes() const { return row() * (sizeof(double) + sizeof(int) + 2 * sizeof(int64_t)); }

 private:
  int n;
  Coalition c;
  Rng rng;
  std::vector<double> swings;
  std::vector<int> order;
  std::size_t row() const { return static_cast<std::size_t>(n) + 1; }
};

// Shapley-Shubik by the multilinear extension in STRATA equal slices of q,
// the samples dealt to the slices in turn; per slice and player the swings.
class Multilinear {
 public:
  static constexpr int STRATA = 32;
  Multilinear(const weightedwalk::Game& g, uint64_t seed)
      : n(g.n), c(g), rng(seed), swings(STRATA * row()), drawn(STRATA) {}
  void sample() {
    const int s = static_cast<int>(count++ % STRATA);
    drawIndependent(c, rng, (s + unit(rng)) / STRATA);
    drawn[s] += 1;
    const bool win = c.wins();
    double* x = swings.data() + s * row();
    for (int p = 1; p <= n; ++p) {
      // p swings the coalition of the others: winning with p, losing without
      const bool other = c.winsToggled(p);
      if (c.in[p] ? win && !other : other && !win) x[p] += 1;
    }
  }
  double finish(double, Values& out) const {
    double worst = 0;
    for (int p = 1; p <= n; ++p) {
      double v = 0, var = 0;
      for (int s = 0; s < STRATA; ++s) {
        const double k = swings[s * row() + p], m = drawn[s];
        const double err = m < 1 ? 1.0 : PROPORTIONERROR(k, m);
        if (m >= 1) v += k / m;
        var += err * err;
      }
      out.value[p] = v / STRATA;
      out.error[p] = std::sqrt(var) / STRATA;
      worst = std::max(worst, out.error[p]);
    }
    return worst;
  }
  double nanos() const { return n * (GENERAL_NS + cellNanos(c.r)); }
  std::size_t bytes() const { return STRATA * row() * sizeof(double); }

 private:
  int n;
  Coalition c;
  Rng rng;
  std::vector<double> swings, drawn;
  uint64_t count = 0;
  std::size_t row() const { return static_cast<std::size_t>(n) + 1; }
};

// Banzhaf by random coalitions. Per player the sums of its swing X (1, or
// -1 where p's joining turns a winning coalition into a losing one), of X
// squared (the samples where it swings either way) and of X times the
// sample's total Y; and the sums of Y and Y squared.
class Coalitions {
 public:
  Coalitions(const weightedwalk::Game& g, uint64_t seed)
      : n(g.n),
        c(g),
        rng(seed),
        sx(row()),
        sxx(row()),
        sxy(row()),
        x(row()),
        member(row()),
        weight(row()) {
    for (int p = 1; p <= n; ++p) weight[p] = c.r.primary(p);
  }
  void sample() {
    double y = 0;
    if (c.single) {
      y = draw();
    } else {
      drawIndependent(c, rng, 0.5);
      const bool win = c.wins();
      for (int p = 1; p <= n; ++p) {
        const bool other = c.winsToggled(p);
        x[p] = c.in[p] ? win - other : other - win;
        y += x[p];
      }
    }
    for (int p = 1; p <= n; ++p) {
      sx[p] += x[p];
      sxx[p] += x[p] * x[p];
      sxy[p] += x[p] * y;
    }
    sy += y;
    syy += y * y;
  }
  double finish(double m, Values& raw, Values& normalised) const {
    double worst = 0;
    normalised.none = sy == 0;
    for (int p = 1; p <= n && m > 0; ++p) {
      // The mean of X: its standard error, or where that is smaller (a
      // swing rarely seen) the interval of the share of samples with a
      // swing, whose variance bounds that of X.
      const double se = standardError(m, sx[p], sxx[p]);
      const double h = std::max(se, PROPORTIONERROR(sxx[p], m));
      raw.value[p] = sx[p] / m;
      raw.error[p] = h;
      worst = std::max(worst, h);
      if (normalised.none) continue;
      // The ratio of two means by the delta method: the error of the mean
      // of X - rY over the mean of Y, with the numerator's small-count
      // excess added.
      const double r = sx[p] / sy, ybar = sy / m;
      const double zz = sxx[p] - 2 * r * sxy[p] + r * r * syy;
      const double delta = m > 1 ? std::sqrt(std::max(0.0, zz) / (m - 1) / m) : 0;
      const double excess = std::max(0.0, h * h - se * se);
      normalised.value[p] = r;
      normalised.error[p] = std::sqrt(delta * delta + excess) / std::abs(ybar);
      worst = std::max(worst, normalised.error[p]);
    }
    return m > 0 && !normalised.none ? worst : INFINITY;
  }
  double nanos() const { return n * (c.single ? BANZHAF_NS : GENERAL_NS + cellNanos(c.r)); }
  std::size_t bytes() const { return 6 * row() * sizeof(double); }

 private:
  int n;
  Coalition c;
  Rng rng;
  std::vector<double> sx, sxx, sxy, x;
  double sy = 0, syy = 0;
  std::vector<int64_t> member, weight;
  std::size_t row() const { return static_cast<std::size_t>(n) + 1; }

  // One weighted sum (Coalition::single): the same coalitions drawn from
  // the same bits, but each player's verdict computed without branches on
  // its membership, which are unpredictable and cost the most.
  double draw() {
    uint64_t bits = 0;
    int64_t sum = 0, members = 0;
    for (int p = 1; p <= n; ++p) {
      if ((p - 1) % 64 == 0) bits = rng();
      member[p] = static_cast<int64_t>(bits & 1);
      bits >>= 1;
      sum += member[p] * weight[p];
      members += member[p];
    }
    const Rule& r = c.r;
    const double win = r.DECIDE(sum >= c.lowest, members, sum, false);
    double y = 0;
    for (int p = 1; p <= n; ++p) {
      const int64_t d = 1 - 2 * member[p], s = sum + d * weight[p];
      const double other = r.DECIDE(s >= c.lowest, members + d, s, false);
      x[p] = static_cast<double>(d) * (other - win);
      y += x[p];
    }
    return y;
  }
};

// The sizes 1..n that can hold a minimal winning coalition of a rule
// without negative weights: some coalition of the size wins (tested on the
// largest sums any coalition of the size can have, each sum on its own) and
// not every coalition one smaller wins (tested on the smallest sums). With
// a negative weight every size.
std::vector<char> minimalSizes(const Rule& r) {
  const auto n1 = static_cast<std::size_t>(r.n) + 1;
  std::vector<char> possible(n1, 1);
  possible[0] = 0;
  for (int64_t w : r.w)
    if (w < 0) return possible;
  // Per sum (subgame s, system v) its players' weights, largest first, as
  // running totals; the same of the primary weights of all players.
  const int cells = r.cells();
  std::vector<std::vector<int64_t>> top(static_cast<std::size_t>(cells) + 1);
  for (int p = 1; p <= r.n; ++p)
    for (int v = 0; v < r.vs; ++v)
      top[static_cast<std::size_t>((r.sub[p] - 1) * r.vs + v)].push_back(r.weights(p)[v]);
  for (int p = 1; p <= r.n; ++p) top[static_cast<std::size_t>(cells)].push_back(r.primary(p));
  for (auto& t : top) {
    std::sort(t.begin(), t.end(), std::greater<>());
    t.insert(t.begin(), 0);
    for (std::size_t i = 1; i < t.size(); ++i) t[i] += t[i - 1];
  }
  auto largest = [&](std::size_t cell, int k) {  // of k members among all n
    const auto& t = top[cell];
    return t[std::min<std::size_t>(static_cast<std::size_t>(k), t.size() - 1)];
  };
  auto smallest = [&](std::size_t cell, int k) {
    const auto& t = top[cell];
    const int own = static_cast<int>(t.size()) - 1;   // players the sum has
    const int forced = std::max(0, k - (r.n - own));  // of them in every k-coalition
    return t.back() - t[static_cast<std::size_t>(own - forced)];
  };
  std::vector<int64_t> sums(static_cast<std::size_t>(cells));
  auto verdict = [&](int k, bool most) {
    for (int i = 0; i < cells; ++i)
      sums[static_cast<std::size_t>(i)] =
          most ? largest(static_cast<std::size_t>(i), k) : smallest(static_cast<std::size_t>(i), k);
    const auto all = static_cast<std::size_t>(cells);
    return r.DECIDE(r.MEETS(sums.data()), k, most ? largest(all, k) : smallest(all, k), false);
  };
  for (int k = 1; k <= r.n; ++k)
    possible[static_cast<std::size_t>(k)] = verdict(k, true) && (r.block || !verdict(k - 1, false));
  return possible;
}

// Serfling's bound on the share of the K-subsets of N values (their mean
// MU, all within [A, B]) whose sum reaches NEED (UPPER) or stays below it.
double serfling(int k, int n, double mu, double a, double b, double need, bool upper) {
  if (b <= a) return (upper ? k * a >= need : k * a < need) ? 1 : 0;
  const double eps = upper ? need / k - mu : mu - need / k;
  if (eps <= 0) return 1;
  const double f = 1 - (k - 1.0) / n;
  return std::exp(-2.0 * k * eps * eps / (f * (b - a) * (b - a)));
}

// Per size 1..n a bound on the share of its coalitions that are minimal
// winning, for a rule without negative weights (1 otherwise): a minimal
// winning coalition wins, and a win set is met only where each of its sums
// reaches its threshold, so the share is at most, over the win sets, the
// smallest of their sums' tail bounds (and the overall threshold's where
// it can win alone). With one sum and nothing else in the rule a minimal
// winning coalition also loses without its lightest member, so its sum
// stays below the quota plus the largest weight.
std::vector<double> minimalBounds(const Rule& r) {
  const auto n1 = static_cast<std::size_t>(r.n) + 1;
  std::vector<double> bound(n1, 1.0);
  for (int64_t w : r.w)
    if (w < 0) return bound;
  // Per sum, and for the votes: the mean, least and largest value over all
  // players (0 for a player outside the sum's subgame).
  const int cells = r.cells();
  struct SPREAD {
    double mu = 0, a = 0, b = 0;
  };
  std::vector<SPREAD> spread(static_cast<std::size_t>(cells) + 1);
  for (int i = 0; i <= cells; ++i) {
    SPREAD& s = spread[static_cast<std::size_t>(i)];
    s.a = INFINITY;
    s.b = -INFINITY;
    for (int p = 1; p <= r.n; ++p) {
      const double v = i == cells ? static_cast<double>(r.primary(p))
                       : (r.sub[p] - 1) * r.vs <= i && i < r.sub[p] * r.vs
                           ? static_cast<double>(r.weights(p)[i - (r.sub[p] - 1) * r.vs])
                           : 0.0;
      s.mu += v / r.n;
      s.a = std::min(s.a, v);
      s.b = std::max(s.b, v);
    }
  }
  const bool lone =
      cells == 1 && !r.block && r.thres >= 1 && (r.overall != 1 || r.t1 <= 0) && r.overall != 2;
  double lowest = INFINITY;
  for (int t = 1; t <= r.thres; ++t)
    lowest = std::min(lowest, static_cast<double>(r.need[static_cast<std::size_t>(t - 1) * cells]));
  for (int k = 1; k <= r.n; ++k) {
    double sets = 0;
    for (int t = 1; t <= r.thres; ++t) {
      double least = 1;
      for (int i = 0; i < cells; ++i) {
        const SPREAD& s = spread[static_cast<std::size_t>(i)];
        const double need =
            static_cast<double>(r.need[static_cast<std::size_t>(t - 1) * cells + i]);
        least = std::min(least, serfling(k, r.n, s.mu, s.a, s.b, need, true));
      }
      sets += least;
    }
    double b = std::min(1.0, sets);
    if (r.overall == 2 && (r.overt == 0 || r.overt == 1)) {
      const SPREAD& v = spread[static_cast<std::size_t>(cells)];
      b += r.overt == 0 ? (k >= r.t1 ? 1.0 : 0.0)
                        : serfling(k, r.n, v.mu, v.a, v.b, static_cast<double>(r.t1), true);
    }
    if (lone) {
      const SPREAD& s = spread[0];
      b = std::min(b, serfling(k, r.n, s.mu, s.a, s.b, lowest + s.b, false));
    }
    bound[static_cast<std::size_t>(k)] = std::min(1.0, b);
  }
  return bound;
}

// The public good indices by coalitions drawn by size: per size the
// samples, the minimal winning ones, and those containing each player (a
// size's row made when its first minimal winning coalition is drawn).
class BySize {
 public:
  BySize(const weightedwalk::Game& g, uint64_t seed)
      : n(g.n),
        c(g),
        rng(seed),
        weight(row()),
        drawn(row()),
        minimal(row()),
        with(row()),
        players(static_cast<std::size_t>(n)) {
    // Size k holds C(n,k) coalitions; WEIGHT[k] is that over the largest
    // binomial (the indices are ratios, so the scale drops out).
    auto logChoose = [&](int k) {
      return std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0);
    };
    const std::vector<char> possible = minimalSizes(c.r);
    share = minimalBounds(c.r);
    for (int k = 1; k <= n; ++k)
      if (possible[static_cast<std::size_t>(k)] && share[static_cast<std::size_t>(k)] > 0) {
        sizes.push_back(k);
        weight[k] = std::exp(logChoose(k) - logChoose(n / 2));
      }
    std::iota(players.begin(), players.end(), 1);
  }
  std::size_t possibleSizes() const { return sizes.size(); }
  void sample() {
    if (sizes.empty()) return;
    const int k = nextSize();
    members += k;
    ++count;
    for (int i = 0; i < k; ++i)
      std::swap(players[i], players[i + below(rng, static_cast<uint64_t>(n - i))]);
    for (int i = 0; i < k; ++i) c.join(players[i]);
    c.prepare();
    drawn[k] += 1;
    bool isMinimal = c.wins();
    for (int i = 0; i < k && isMinimal; ++i) isMinimal = !c.winsToggled(players[i]);
    if (isMinimal) {
      minimal[k] += 1;
      if (with[k].empty()) with[k].assign(row(), 0);
      for (int i = 0; i < k; ++i) with[k][players[i]] += 1;
    }
    for (int i = 0; i < k; ++i) c.leave(players[i]);
  }
  double finish(double, Values& publicGood, Values& deeganPackel) const {
    bool any = false;
    for (int k : sizes) any = any || minimal[k] > 0;
    publicGood.none = deeganPackel.none = !any;
    if (!any) return INFINITY;
    double worst = 0;
    for (int p = 1; p <= n; ++p)
      worst = std::max({worst, ratio(publicGood, p, true), ratio(deeganPackel, p, false)});
    return worst;
  }
  // A member's tests and the choice among the possible sizes.
  double nanos() const {
    const double average = count > 0 ? static_cast<double>(members) / count : n / 2.0;
    return average * (PUBLICGOOD_NS + cellNanos(c.r)) + SIZE_NS * sizes.size();
  }
  // The rows of the sizes met so far, twice over, and a few more.
  std::size_t bytes() const {
    std::size_t rows = 0;
    for (const auto& w : with) rows += !w.empty();
    return (std::min(sizes.size(), 2 * rows + 4) + 4) * row() * sizeof(double);
  }

 private:
  int n;
  Coalition c;
  Rng rng;
  std::vector<int> sizes;  // those that can hold a minimal winning coalition
  std::vector<double> weight, drawn, minimal;
  std::vector<double> share;  // per size a bound on its share of minimal winning coalitions
  std::vector<std::vector<double>> with;
  std::vector<int> players;
  uint64_t members = 0, count = 0;
  std::size_t row() const { return static_cast<std::size_t>(n) + 1; }

  // The next size: the one whose next sample lowers the error of the
  // number of minimal winning coalitions most, with their share in it
  // smoothed so that a size without any so far keeps being visited.
  int nextSize() const {
    int best = sizes[0];
    double gain = -1;
    for (int k : sizes) {
      if (drawn[k] < MINPER) return k;
      const double f = std::min((minimal[k] + 0.5) / (drawn[k] + 1), share[k]);
      const double g = weight[k] * weight[k] * f * (1 - f) / (drawn[k] * (drawn[k] + 1));
      if (g > gain) gain = g, best = k;
    }
    return best;
  }

  // Both indices are ratios A/B of sums over the sizes of weighted means;
  // per size the sample of X (membership in a minimal winning coalition,
  // over k for Deegan-Packel) and M (minimal winning, times k for the
  // public good index) are indicators with X = 1 only where M = 1, so that
  // the variance of X - rM in size k follows from the two counts. Where a
  // count is small, its interval's excess over its standard error is added.
  double ratio(Values& out, int p, bool perMember) const {
    double a = 0, b = 0;
    for (int k : sizes) {
      if (drawn[k] < 1 || minimal[k] == 0) continue;
      a += weight[k] * with[k][p] / drawn[k] / (perMember ? 1 : k);
      b += weight[k] * minimal[k] / drawn[k] * (perMember ? k : 1);
    }
    const double r = a / b;
    double var = 0;
    for (int k : sizes) {
      const double m = drawn[k];
      const double x = minimal[k] > 0 ? with[k][p] : 0, mk = minimal[k];
      const double cx = perMember ? 1 : 1.0 / k, cm = perMember ? r * k : r;
      const double w2 = weight[k] * weight[k];
      if (m < 1) {  // nothing known of this size but its bound
        var += w2 * share[k] * share[k] * (cx * cx + cm * cm);
        continue;
      }
      const double fx = x / m, fm = mk / m;
      if (m >= 2) {
        const double mean = cx * fx - cm * fm;
        const double sq = cx * cx * fx - 2 * cx * cm * fx + cm * cm * fm;
        var += w2 * std::max(0.0, sq - mean * mean) / (m - 1);
      }
      // Neither share exceeds the size's bound.
      const double hx = std::min(PROPORTIONERROR(x, m), std::max(0.0, share[k] - fx));
      const double hm = std::min(PROPORTIONERROR(mk, m), std::max(0.0, share[k] - fm));
      const double ex = std::max(0.0, hx * hx - fx * (1 - fx) / m);
      const double em = std::max(0.0, hm * hm - fm * (1 - fm) / m);
      var += w2 * (cx * cx * ex + cm * cm * em);
    }
    out.value[p] = r;
    out.error[p] = std::sqrt(var) / b;
    return out.error[p];
  }
};

// Draws SAMPLES from EST into RUN (its status STOPPED where asked to
// stop), with progress between batches of some million player steps.
template <typename EST>
void drive(EST& est, Run& run, const Options& o, uint64_t samples, int n) {
  const auto start = std::chrono::steady_clock::now();
  const uint64_t batch =
      std::max<uint64_t>(1, (uint64_t{1} << 22) / (static_cast<uint64_t>(n) + 1));
  run.status = STATUS::DONE;
  while (run.samples < samples) {
    if (o.STOP != nullptr && o.STOP->load(std::memory_order_relaxed)) {
      run.status = STATUS::STOPPED;
      break;
    }
    const uint64_t end = std::min(samples, run.samples + batch);
    for (; run.samples < end; ++run.samples) est.sample();
    if (o.PROGRESS != nullptr)
      o.PROGRESS(o.DATA, static_cast<double>(run.samples) / static_cast<double>(samples));
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

template <typename EST>
uint64_t pilotOf(const EST& est) {
  const double fit = PILOTSECONDS / (est.nanos() * 1e-9);
  uint64_t pilot = std::clamp(static_cast<uint64_t>(fit), PILOTMIN, PILOTMAX);
  if constexpr (std::is_same_v<EST, BySize>)
    pilot =
        std::max<uint64_t>(pilot, static_cast<uint64_t>(MINPER) * est.possibleSizes() + PILOTMIN);
  return pilot;
}

// The plan: the pilot drawn, its largest error scaled to the one asked for.
template <typename EST, typename FINISH>
Plan planOf(const weightedwalk::Game& g, const Options& o, bool draw, FINISH&& finish) {
  Plan plan;
  plan.applies = estimable(g);
  if (!plan.applies) return plan;
  EST est(g, o.SEED);
  plan.pilot = std::min(pilotOf(est), std::max<uint64_t>(1, o.MAXSAMPLES));
  plan.pilotSeconds = static_cast<double>(plan.pilot) * est.nanos() * 1e-9;
  plan.samples = plan.pilot;
  plan.seconds = plan.pilotSeconds;
  plan.bytes = est.bytes();
  if (!draw) return plan;
  for (uint64_t i = 0; i < plan.pilot; ++i) est.sample();
  const double worst = finish(est, static_cast<double>(plan.pilot));
  plan.pilotLargest = worst;
  const double need = std::isfinite(worst) ? static_cast<double>(plan.pilot) * MARGIN *
                                                 (worst / o.ERROR) * (worst / o.ERROR)
                                           : INFINITY;
  const double budget = static_cast<double>(std::max(o.MAXSAMPLES, plan.pilot));
  plan.capped = need > budget;
  plan.samples = std::max(plan.pilot, static_cast<uint64_t>(std::ceil(std::min(need, budget))));
  // The run draws the pilot's samples again among its own, after the plan
  // drew them once.
  plan.seconds = static_cast<double>(plan.samples + plan.pilot) * est.nanos() * 1e-9;
  plan.bytes = est.bytes();
  return plan;
}

Plan planIndex(const weightedwalk::Game& g, INDEXTYP index, const Options& o, bool draw) {
  const int n = std::max(g.n, 0);
  switch (index) {
    case INDEXTYP::SHAPLEY:
      return planOf<Orders>(g, o, draw, [&](const Orders& e, double m) {
        Values v = sized(n);
        return e.finish(m, v);
      });
    case INDEXTYP::BANZHAF:
      return planOf<Coalitions>(g, o, draw, [&](const Coalitions& e, double m) {
        Values a = sized(n), b = sized(n);
        return e.finish(m, a, b);
      });
    case INDEXTYP::PUBLICGOOD:
      break;
  }
  return planOf<BySize>(g, o, draw, [&](const BySize& e, double m) {
    Values a = sized(n), b = sized(n);
    return e.finish(m, a, b);
  });
}

// The samples of a run: those asked for, or those planned.
uint64_t samplesOf(const weightedwalk::Game& g, INDEXTYP index, const Options& o) {
  return o.SAMPLES > 0 ? o.SAMPLES : planIndex(g, index, o, true).samples;
}

// The run's status from its largest error.
void settle(Run& run, double largest, const Options& o) {
  run.largest = largest;
  if (run.status != STATUS::STOPPED)
    run.status = largest <= o.ERROR ? STATUS::DONE : STATUS::MISSED;
}

}  // namespace

double PROPORTIONERROR(double K, double N) {
  if (!(N > 0)) return 1;
  const double p = K / N, q = 1 - p;
  // The ends of the interval at z = 1 (Newcombe's form with continuity
  // correction); the one at 0 or 1 is that bound itself.
  const double hi =
      K >= N ? 1
             : (2 * N * p + 2 + std::sqrt(std::max(0.0, 3 - 1 / N + 4 * p * (N * q - 1)))) /
                   (2 * (N + 1));
  const double lo = K <= 0
                        ? 0
                        : (2 * N * p - std::sqrt(std::max(0.0, -1 - 1 / N + 4 * p * (N * q + 1)))) /
                              (2 * (N + 1));
  return std::max(p - std::max(lo, 0.0), std::min(hi, 1.0) - p);
}

Plan PILOT(const weightedwalk::Game& G, INDEXTYP INDEX) { return planIndex(G, INDEX, {}, false); }

Plan PLAN(const weightedwalk::Game& G, INDEXTYP INDEX, const Options& O) {
  return planIndex(G, INDEX, O, true);
}

bool WINS(const weightedwalk::Game& G, const std::vector<int>& MEMBERS) {
  Coalition c(G);
  for (int p : MEMBERS)
    if (!c.in[p]) c.join(p);
  c.prepare();
  return c.wins();
}

ShapleyEstimate SHAPLEY(const weightedwalk::Game& G, const Options& O, SHAPLEYMETHOD METHOD) {
  ShapleyEstimate e;
  e.shapley = sized(G.n);
  if (!estimable(G)) return e;
  if (METHOD == SHAPLEYMETHOD::ORDERS) {
    Orders est(G, O.SEED);
    drive(est, e, O, samplesOf(G, INDEXTYP::SHAPLEY, O), G.n);
    settle(e, est.finish(static_cast<double>(e.samples), e.shapley), O);
    return e;
  }
  uint64_t samples = O.SAMPLES;
  if (samples == 0) {
    const Plan plan = planOf<Multilinear>(G, O, true, [&](const Multilinear& m, double count) {
      Values v = sized(G.n);
      return m.finish(count, v);
    });
    samples = plan.samples;
  }
  Multilinear est(G, O.SEED);
  drive(est, e, O, samples, G.n);
  settle(e, est.finish(static_cast<double>(e.samples), e.shapley), O);
  return e;
}

BanzhafEstimate BANZHAF(const weightedwalk::Game& G, const Options& O) {
  BanzhafEstimate e;
  e.raw = sized(G.n);
  e.normalised = sized(G.n);
  if (!estimable(G)) return e;
  Coalitions est(G, O.SEED);
  drive(est, e, O, samplesOf(G, INDEXTYP::BANZHAF, O), G.n);
  settle(e, est.finish(static_cast<double>(e.samples), e.raw, e.normalised), O);
  return e;
}

PublicGoodEstimate PUBLICGOOD(const weightedwalk::Game& G, const Options& O) {
  PublicGoodEstimate e;
  e.publicGood = sized(G.n);
  e.deeganPackel = sized(G.n);
  if (!estimable(G)) return e;
  BySize est(G, O.SEED);
  drive(est, e, O, samplesOf(G, INDEXTYP::PUBLICGOOD, O), G.n);
  settle(e, est.finish(static_cast<double>(e.samples), e.publicGood, e.deeganPackel), O);
  return e;
}

}  // namespace sampler
