#include "engines/sample/sampler.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <numeric>
#include <random>

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

constexpr uint64_t MINSAMPLES = 1000;  // before the errors are trusted
constexpr int BATCH = 256;             // samples between the stopping tests

// The sampling loop: SAMPLE draws one more, ERRORMAX gives the largest
// standard error so far.
template <typename SAMPLE, typename ERRORMAX>
void sampled(Run& run, const Options& o, SAMPLE&& sample, ERRORMAX&& errorMax) {
  const auto start = std::chrono::steady_clock::now();
  auto seconds = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  for (;;) {
    for (int i = 0; i < BATCH && run.samples < o.MAXSAMPLES; ++i, ++run.samples) sample();
    run.seconds = seconds();
    if (run.samples >= MINSAMPLES && errorMax() < o.ERROR) {
      run.status = STATUS::DONE;
      return;
    }
    if (run.samples >= o.MAXSAMPLES) {
      run.status = STATUS::SAMPLECAP;
      return;
    }
    if (run.seconds >= o.MAXSECONDS) {
      run.status = STATUS::TIMECAP;
      return;
    }
  }
}

// The standard error of a mean from N samples with sum S and sum of squares
// SQ. Not below 1/N: a value met in none of the samples is known no better
// than that.
double meanError(double n, double s, double sq) {
  if (n < 2) return INFINITY;
  const double var = std::max(0.0, (sq - s * s / n) / (n - 1));
  return std::sqrt(var / n + 1 / (n * n));
}

bool estimable(const weightedwalk::Game& g) {
  return weightedwalk::FITS(g) && g.position == nullptr;
}

Values sized(int n) {
  return {std::vector<double>(static_cast<std::size_t>(n) + 1),
          std::vector<double>(static_cast<std::size_t>(n) + 1)};
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

}  // namespace

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
  const int n = G.n;
  const std::size_t row = static_cast<std::size_t>(n) + 1;
  Coalition c(G);
  Rng rng(O.SEED);

  if (METHOD == SHAPLEYMETHOD::ORDERS) {
    std::vector<double> swings(row);
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    auto sample = [&] {
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
    };
    auto errorMax = [&] {
      const double m = static_cast<double>(e.samples);
      double worst = 0;
      for (int p = 1; p <= n; ++p) {
        e.shapley.value[p] = swings[p] / m;
        e.shapley.error[p] = meanError(m, swings[p], swings[p]);
        worst = std::max(worst, e.shapley.error[p]);
      }
      return worst;
    };
    sampled(e, O, sample, errorMax);
    errorMax();
    return e;
  }

  // The multilinear extension in STRATA equal slices of q, the samples
  // dealt to the slices in turn; per slice and player the swings.
  constexpr int STRATA = 32;
  std::vector<double> swings(STRATA * row);
  std::vector<double> drawn(STRATA);
  auto sample = [&] {
    const int s = static_cast<int>(e.samples % STRATA);
    drawIndependent(c, rng, (s + unit(rng)) / STRATA);
    drawn[s] += 1;
    const bool win = c.wins();
    double* x = swings.data() + s * row;
    for (int p = 1; p <= n; ++p) {
      // p swings the coalition of the others: winning with p, losing without
      const bool other = c.winsToggled(p);
      if (c.in[p] ? win && !other : other && !win) x[p] += 1;
    }
  };
  auto errorMax = [&] {
    double worst = 0;
    for (int p = 1; p <= n; ++p) {
      double v = 0, var = 0;
      for (int s = 0; s < STRATA; ++s) {
        const double k = swings[s * row + p], m = drawn[s];
        if (m < 1) continue;
        v += k / m;
        const double err = meanError(m, k, k);
        var += err * err;
      }
      e.shapley.value[p] = v / STRATA;
      e.shapley.error[p] = std::sqrt(var) / STRATA;
      worst = std::max(worst, e.shapley.error[p]);
    }
    return worst;
  };
  sampled(e, O, sample, errorMax);
  errorMax();
  return e;
}

BanzhafEstimate BANZHAF(const weightedwalk::Game& G, const Options& O) {
  BanzhafEstimate e;
  e.raw = sized(G.n);
  e.normalised = sized(G.n);
  if (!estimable(G)) return e;
  const int n = G.n;
  const std::size_t row = static_cast<std::size_t>(n) + 1;
  Coalition c(G);
  Rng rng(O.SEED);
  // Per player the sums of its swing X (1, or -1 where p's joining turns a
  // winning coalition into a losing one), of X squared and of X times the
  // sample's total Y; and the sums of Y and Y squared.
  std::vector<double> sx(row), sxx(row), sxy(row), x(row);
  double sy = 0, syy = 0;
  // One weighted sum (Coalition::single): the same coalitions drawn from the
  // same bits, but each player's verdict computed without branches on its
  // membership, which are unpredictable and cost the most.
  std::vector<int64_t> member(row), weight(row);
  for (int p = 1; p <= n; ++p) weight[p] = c.r.primary(p);
  auto draw = [&] {
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
  };
  auto sample = [&] {
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
  };
  auto errorMax = [&] {
    const double m = static_cast<double>(e.samples);
    double worst = 0;
    for (int p = 1; p <= n; ++p) {
      e.raw.value[p] = sx[p] / m;
      e.raw.error[p] = meanError(m, sx[p], sxx[p]);
      // The ratio of two means, its error by the delta method: the error of
      // the mean of X - rY, over the mean of Y.
      const double r = sy != 0 ? sx[p] / sy : 0;
      e.normalised.value[p] = r;
      const double zz = sxx[p] - 2 * r * sxy[p] + r * r * syy;
      e.normalised.error[p] = sy != 0 ? meanError(m, 0, zz) * m / std::abs(sy) : INFINITY;
      worst = std::max({worst, e.raw.error[p], e.normalised.error[p]});
    }
    return worst;
  };
  sampled(e, O, sample, errorMax);
  errorMax();
  return e;
}

PublicGoodEstimate PUBLICGOOD(const weightedwalk::Game& G, const Options& O) {
  PublicGoodEstimate e;
  e.publicGood = sized(G.n);
  e.deeganPackel = sized(G.n);
  if (!estimable(G)) return e;
  const int n = G.n;
  const std::size_t row = static_cast<std::size_t>(n) + 1;
  Coalition c(G);
  Rng rng(O.SEED);

  // Size k holds C(n,k) coalitions; WEIGHT[k] is that over the largest
  // binomial (the indices are ratios, so the scale drops out).
  std::vector<double> weight(row);
  auto logChoose = [&](int k) {
    return std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0);
  };
  for (int k = 1; k <= n; ++k) weight[k] = std::exp(logChoose(k) - logChoose(n / 2));
  // Per size: samples, minimal winning ones, and those containing p.
  std::vector<double> drawn(row), minimal(row), with(row * row);
  std::vector<int> players(static_cast<std::size_t>(n));
  std::iota(players.begin(), players.end(), 1);
  constexpr double MINPER = 20;  // samples of every size before the choosing

  // The next size: the one whose next sample lowers the error of the
  // number of minimal winning coalitions most, with their share in it
  // smoothed so that a size without any so far keeps being visited.
  auto nextSize = [&] {
    int best = 1;
    double gain = -1;
    for (int k = 1; k <= n; ++k) {
      if (drawn[k] < MINPER) return k;
      const double f = (minimal[k] + 0.5) / (drawn[k] + 1);
      const double g = weight[k] * weight[k] * f * (1 - f) / (drawn[k] * (drawn[k] + 1));
      if (g > gain) gain = g, best = k;
    }
    return best;
  };
  auto sample = [&] {
    const int k = nextSize();
    for (int i = 0; i < k; ++i)
      std::swap(players[i], players[i + below(rng, static_cast<uint64_t>(n - i))]);
    for (int i = 0; i < k; ++i) c.join(players[i]);
    c.prepare();
    drawn[k] += 1;
    bool isMinimal = c.wins();
    for (int i = 0; i < k && isMinimal; ++i) isMinimal = !c.winsToggled(players[i]);
    if (isMinimal) {
      minimal[k] += 1;
      for (int i = 0; i < k; ++i) with[k * row + players[i]] += 1;
    }
    for (int i = 0; i < k; ++i) c.leave(players[i]);
  };

  // Both indices are ratios A/B of sums over the sizes of weighted means;
  // per size the sample of X (membership in a minimal winning coalition,
  // over k for Deegan-Packel) and M (minimal winning, times k for the public
  // good index) are indicators with X = 1 only where M = 1, so that the
  // variance of X - rM in size k follows from the two counts.
  auto ratio = [&](Values& out, int p, bool perMember) {
    double a = 0, b = 0;
    for (int k = 1; k <= n; ++k) {
      if (drawn[k] < 1) continue;
      const double fx = with[k * row + p] / drawn[k], fm = minimal[k] / drawn[k];
      a += weight[k] * fx / (perMember ? 1 : k);
      b += weight[k] * fm * (perMember ? k : 1);
    }
    const double r = b > 0 ? a / b : 0;
    double var = 0;
    for (int k = 1; k <= n; ++k) {
      if (drawn[k] < 2) continue;
      const double fx = with[k * row + p] / drawn[k], fm = minimal[k] / drawn[k];
      const double cx = perMember ? 1 : 1.0 / k, cm = perMember ? r * k : r;
      const double mean = cx * fx - cm * fm;
      const double sq = cx * cx * fx - 2 * cx * cm * fx + cm * cm * fm;
      const double z = std::max(0.0, sq - mean * mean) * drawn[k] / (drawn[k] - 1);
      var += weight[k] * weight[k] * (z + cx * cx / drawn[k]) / drawn[k];
    }
    out.value[p] = r;
    out.error[p] = b > 0 ? std::sqrt(var) / b : INFINITY;
    return out.error[p];
  };
  auto errorMax = [&] {
    double worst = 0;
    for (int p = 1; p <= n; ++p)
      worst = std::max({worst, ratio(e.publicGood, p, true), ratio(e.deeganPackel, p, false)});
    return worst;
  };
  sampled(e, O, sample, errorMax);
  errorMax();
  return e;
}

}  // namespace sampler
