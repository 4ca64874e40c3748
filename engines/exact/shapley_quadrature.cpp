#include "engines/exact/shapley_quadrature.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <numbers>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "platform/process.h"
#include "types/xnum.h"

namespace ssquadrature {
namespace {

constexpr double UNIT = std::numeric_limits<double>::epsilon() / 2;
constexpr double LONG_UNIT = std::numeric_limits<long double>::epsilon() / 2;
// The largest error estimate kept, relative to its value. As in the
// Banzhaf counts in doubles (engines/exact/banzhaf_doubles.cpp) the estimate sums the
// magnitudes of every block the division meets and so runs far above the
// errors met: on the differential test (tests/engines/wquad_test.cpp) they
// stay below 1e-12.
constexpr double KEPT = 1e-10;
// A node is counted for a weight where its tail bound reaches NEGLIGIBLE
// times the value found so far (GUESS before any is found); the skipped
// nodes' bounds, summed with their weights, must stay below REST times it.
constexpr double NEGLIGIBLE = 1e-17, REST = 1e-14, GUESS = 1e-7;
// The table's counts are scaled down by a power of two once they may
// exceed 2^RESCALE, the exponent kept aside, so that thousands of players
// do not overflow; cells below 2^-FLUSH of the largest are set to 0 then,
// so that the tails do not sink into subnormal numbers (slow, and below
// any value that matters).
constexpr int RESCALE = 600, FLUSH = 900;
constexpr double CELL_NS = 0.8;     // per cell and player or distinct weight
constexpr double NEWTON_NS = 12.0;  // per step of the recurrence, 5 steps a root
constexpr double BOUND_NS = 20.0;   // per node and distinct weight, 3 rounds
constexpr double TWO_CORES = 0.55;  // of one core's time, the pairs of nodes split

// The players of positive weight, lightest first, and what the bounds need.
struct Players {
  std::vector<int64_t> w, distinct;
  int64_t total = 0;
  double squares = 0;  // sum of w^2
};

Players players(const sizetable::Threshold& t) {
  Players s;
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0) {
      s.w.push_back(t.weight[p]);
      s.total += t.weight[p];
      s.squares += static_cast<double>(t.weight[p]) * static_cast<double>(t.weight[p]);
    }
  std::sort(s.w.begin(), s.w.end());
  s.distinct = s.w;
  s.distinct.erase(std::unique(s.distinct.begin(), s.distinct.end()), s.distinct.end());
  return s;
}

// The logarithm of Hoeffding's bound on P(Q - A <= W(T) <= Q - 1) for the
// players other than one of weight A (0 where it does not bind).
double tail(const Players& s, int64_t q, double t, int64_t a) {
  const double mean = t * static_cast<double>(s.total - a);
  const double lo = static_cast<double>(q - a), hi = static_cast<double>(q - 1);
  const double d = mean > hi ? mean - hi : lo > mean ? lo - mean : 0.0;
  if (d <= 0) return 0.0;
  const double spread = s.squares - static_cast<double>(a) * static_cast<double>(a);
  if (spread <= 0) return -std::numeric_limits<double>::infinity();  // W is 0
  return -2.0 * d * d / spread;
}

// The pairs of nodes at T and 1 - T that the count visits, and the widest
// range of weights they need: an estimate from the bound at NEGLIGIBLE
// times GUESS, with the nodes spread as cos(theta) on [0, pi].
struct Span {
  double pairs = 0;
  int64_t top = 0;
};

Span span(const Players& s, int64_t q, int k) {
  const double total = static_cast<double>(s.total);
  const double heaviest = static_cast<double>(s.w.back());
  const double d = std::sqrt(s.squares * -std::log(NEGLIGIBLE * GUESS) / 2);
  const double lo = std::clamp((static_cast<double>(q) - heaviest - d) / total, 0.0, 1.0);
  const double hi =
      std::clamp((static_cast<double>(q) - 1 + d) / std::max(total - heaviest, 1.0), 0.0, 1.0);
  auto nodes = [&](double a, double b) {
    if (b <= a) return 0.0;
    return k / std::numbers::pi * (std::acos(1 - 2 * b) - std::acos(1 - 2 * a)) + 1;
  };
  const double low = nodes(lo, std::min(hi, 0.5)), high = nodes(std::max(lo, 0.5), hi);
  Span o;
  o.pairs = std::min(std::max(low, high), (k + 1) / 2.0);
  o.top = std::max(low > 0 ? q - 1 : 0, high > 0 ? s.total - q : 0);
  return o;
}

// (1 + R)^-E as an extended-range number, in long double: E times the
// logarithm would lose some E units in the last place in doubles.
XNUM shrink(double r, int e) {
  const long double x = -static_cast<long double>(e) * std::log1p(static_cast<long double>(r));
  const long double whole = std::floor(x / std::log(2.0L));
  const long double rest = std::exp(x - whole * std::log(2.0L));
  return XNUM::make(static_cast<double>(rest), static_cast<int64_t>(whole));
}

}  // namespace

void GAUSSLEGENDRE(int k, std::vector<double>& x, std::vector<double>& w) {
  x.assign(static_cast<std::size_t>(std::max(k, 0)), 0.0);
  w.assign(x.size(), 0.0);
  const long double pi = std::numbers::pi_v<long double>;
  // The recurrence j P_j = (2j - 1) z P_(j-1) - (j - 1) P_(j-2) with its
  // ratios kept: a division per step would cost several products.
  std::vector<long double> up(static_cast<std::size_t>(std::max(k, 1)) + 1), back(up.size());
  for (int j = 2; j <= k; ++j) {
    up[static_cast<std::size_t>(j)] = (2.0L * j - 1) / j;
    back[static_cast<std::size_t>(j)] = (j - 1.0L) / j;
  }
  for (int i = 0; i < (k + 1) / 2; ++i) {
    // The root cos(theta) of P_k, i-th from 1, kept as y = 1 - cos(theta)
    // so that the nodes near 0 on [0, 1] keep their relative accuracy.
    const long double theta = pi * (i + 0.75L) / (k + 0.5L), half = std::sin(theta / 2);
    long double y = 2 * half * half, slope = 1;
    // Newton's steps shrink quadratically: one more after a step of 1e-12
    // reaches the long double's last place.
    bool last = false;
    for (int step = 0; step < 60; ++step) {
      const long double z = 1 - y;
      long double before = 1, p = z;  // P_(j-1), P_j at z
      for (int j = 2; j <= k; ++j) {
        const long double next =
            up[static_cast<std::size_t>(j)] * z * p - back[static_cast<std::size_t>(j)] * before;
        before = p;
        p = next;
      }
      // P_k'(z) = k (P_(k-1) - z P_k) / (1 - z^2), with 1 - z^2 = y (2 - y).
      slope = k * (before - z * p) / (y * (2 - y));
      const long double move = p / slope;
      y += move;
      if (last) break;
      last = std::fabs(move) <= 1e-12L * y;
    }
    const long double weight = 1 / (y * (2 - y) * slope * slope);  // half of 2 / ...
    const std::size_t lo = static_cast<std::size_t>(i), hi = static_cast<std::size_t>(k - 1 - i);
    x[lo] = static_cast<double>(y / 2);
    x[hi] = static_cast<double>(1 - y / 2);
    w[lo] = w[hi] = static_cast<double>(weight);
  }
}

std::size_t BYTES(const sizetable::Threshold& t) {
  const Players s = players(t);
  if (s.w.empty()) return 0;
  const int k = (static_cast<int>(s.w.size()) + 1) / 2;
  const std::size_t range = static_cast<std::size_t>(std::max(t.q, s.total - t.q + 1)) + 1;
  const std::size_t halves = plat::CORES() > 1 ? 2 : 1;
  return halves * ((range + 2 * static_cast<std::size_t>(s.w.back())) * sizeof(double) +
                   range * 2 * sizeof(long double)) +
         static_cast<std::size_t>(k) * 3 * sizeof(double) +
         (s.w.size() * 2 + s.distinct.size() * 6 + static_cast<std::size_t>(t.n) + 1) * 8;
}

double SECONDS(const sizetable::Threshold& t) {
  const Players s = players(t);
  if (s.w.empty() || t.q <= 0 || t.q > s.total) return 0;
  const int k = (static_cast<int>(s.w.size()) + 1) / 2;
  const Span o = span(s, t.q, k);
  double cells = 0;
  int64_t reach = 0;
  for (std::size_t i = 0; i < s.w.size(); i += 2) {  // two players a sweep
    reach = std::min(o.top, reach + s.w[i] + (i + 1 < s.w.size() ? s.w[i + 1] : 0));
    cells += static_cast<double>(reach + 1);
  }
  // The sums below and above each weight (in long double, some cells'
  // worth each), then per distinct weight and window its blocks.
  cells += 4.0 * static_cast<double>(o.top + 1);
  for (int64_t a : s.distinct) cells += 6.0 * static_cast<double>(o.top / a + 1);
  const double kk = k;
  const double halves = plat::CORES() > 1 && o.pairs > 1 ? TWO_CORES : 1.0;
  return (o.pairs * cells * CELL_NS * halves + kk * kk / 2 * 5 * NEWTON_NS +
          kk * static_cast<double>(s.distinct.size()) * 3 * BOUND_NS) *
         1e-9;
}

bool SHAPLEY(const sizetable::Threshold& t, const std::vector<char>& swingless,
             std::vector<double>& value) try {
  value.assign(static_cast<std::size_t>(t.n) + 1, 0.0);
  const Players s = players(t);
  const int64_t q = t.q, total = s.total;
  if (s.w.empty() || q <= 0 || q > total || swingless.size() <= static_cast<std::size_t>(t.n))
    return false;
  const int m = static_cast<int>(s.w.size()), k = (m + 1) / 2;
  const std::vector<int64_t>& da = s.distinct;
  const std::size_t nd = da.size();
  auto index = [&](int64_t a) {
    return static_cast<std::size_t>(std::lower_bound(da.begin(), da.end(), a) - da.begin());
  };
  // The weights some player with swings holds: the others' values are 0.
  std::vector<char> live(nd);
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0 && !swingless[static_cast<std::size_t>(p)]) live[index(t.weight[p])] = 1;

  std::vector<double> x, om;
  GAUSSLEGENDRE(k, x, om);
  std::vector<double> sum(nd), err(nd), rest(nd);
  // The pairs of nodes of a round go to two halves, every other pair, the
  // second on a helper thread where the machine has a second core (the
  // sweeps are bound by memory, which a second core adds to). Each half
  // keeps its own sums, added in a fixed order, so that the values do not
  // depend on the cores.
  const bool two = plat::CORES() > 1;
  struct Half {
    std::vector<double> store, sum, err;
    std::vector<long double> below, above;
    bool failed = false;
  } halves[2];
  std::vector<char> done(static_cast<std::size_t>(k)), pick(done.size());
  const double grow = UNIT * (std::sqrt(2.0 * m) + 4.0);

  // Node J (u <= 1/2) with the window of the players' own weights when A,
  // its mirror 1 - u with the complements' window when B: the distribution
  // is counted at u (in powers of r = u / (1 - u), times (1 + r)^-(m-1)
  // for the others' probabilities), and the coalitions weighing Q - a ..
  // Q - 1 at 1 - u are the complements of those weighing TOTAL - Q + 1 - a
  // .. TOTAL - Q at u.
  auto visit = [&](Half& h, Half& room, std::size_t j, bool wantA, bool wantB) {
    std::vector<double>& store = room.store;
    std::vector<long double>&below = room.below, &above = room.above;
    const double u = x[j], r = u / (1 - u);
    const int64_t top = std::max(wantA ? q - 1 : 0, wantB ? total - q : 0);
    const std::size_t cells = static_cast<std::size_t>(top) + 1;
    // Two players a <= b in one sweep, (1 + r x^a)(1 + r x^b) at once: the
    // sweep is bound by memory, not by its products. Zeros below weight 0
    // (PAD of them) spare the sweep its edges.
    const std::size_t pad = static_cast<std::size_t>(2 * s.w.back());
    store.assign(pad + cells, 0.0);
    double* c = store.data() + pad;
    c[0] = 1;
    int64_t e = 0, reach = 0;
    double peak = 1;
    const double rr = r * r;
    for (std::size_t i = 0; i < s.w.size(); i += 2) {
      const int64_t a = s.w[i];
      if (i + 1 < s.w.size()) {
        const int64_t b = s.w[i + 1];
        reach = std::min(top, reach + a + b);
        for (int64_t v = reach; v >= a; --v) c[v] += r * (c[v - a] + c[v - b]) + rr * c[v - a - b];
        peak *= (1 + r) * (1 + r);
      } else {
        reach = std::min(top, reach + a);
        for (int64_t v = reach; v >= a; --v) c[v] += r * c[v - a];
        peak *= 1 + r;
      }
      if (peak > std::ldexp(1.0, RESCALE)) {
        const double most = *std::max_element(c, c + reach + 1);
        const int shift = std::ilogb(most);
        const double down = std::ldexp(1.0, -shift), floor = std::ldexp(1.0, -FLUSH);
        for (int64_t v = 0; v <= reach; ++v) {
          c[v] *= down;
          if (c[v] < floor) c[v] = 0;
        }
        e += shift;
        peak = most * down;
      }
    }
    // Each cell flushed lost at most 2^-FLUSH of the largest, which no
    // later player lifts above the largest's growth.
    const double flushed = std::ldexp(peak, -FLUSH + 1) * static_cast<double>(cells);
    const XNUM scale = shrink(r, m - 1) * XNUM::make(1.0, e);
    auto add = [&](std::size_t d, std::size_t node, double s, double bound) {
      h.sum[d] += om[node] * XTODOUBLE(XNUM::make(s, 0) * scale);
      h.err[d] += om[node] * XTODOUBLE(XNUM::make(bound, 0) * scale);
    };
    // Sums of f below and above each weight in long double, so that a
    // block of weights is a difference of the two sums with the smaller
    // minuend: its rounding is then some units of the block's own
    // neighbourhood, not of the whole distribution.
    below.resize(cells);
    above.resize(cells);
    long double run = 0;
    for (std::size_t v = 0; v < cells; ++v) below[v] = run += c[v];
    run = 0;
    for (std::size_t v = cells; v-- > 0;) above[v] = run += c[v];
    auto block = [&](int64_t lo, int64_t hi, long double& minuend) {
      const long double under = below[static_cast<std::size_t>(hi)],
                        over = above[static_cast<std::size_t>(lo)];
      if (under <= over) {
        minuend = under;
        return static_cast<double>(under - (lo > 0 ? below[static_cast<std::size_t>(lo - 1)] : 0));
      }
      minuend = over;
      return static_cast<double>(over - (hi < top ? above[static_cast<std::size_t>(hi + 1)] : 0));
    };
    for (std::size_t d = 0; d < nd; ++d) {
      if (!live[d]) continue;
      const int64_t a = da[d];
      // The window of g = f / (1 + r x^a) = f (1 - r x^a + r^2 x^2a - ...):
      // the blocks of f a, 2a, ... below it, alternately, times r^j; BOUND
      // the same without the signs (the magnitudes the rounding meets).
      // The blocks stop where all those below, however signed, are far
      // below a unit of the sum: their mass is at most r^j times the sum
      // of f below, kept as an error (with r < 1 off the middle this
      // spares most blocks of the light players).
      auto window = [&](int64_t lo, int64_t hi, std::size_t node) {
        double s = 0, bound = 0, power = 1, cancel = 0, cut = 0;
        long double minuend = 0;
        for (int64_t j = 0; hi >= 0; ++j, hi -= a, lo -= a, power *= r) {
          const double mass = power * static_cast<double>(below[static_cast<std::size_t>(hi)]);
          if (j > 0 && mass <= 1e-3 * UNIT * bound) {
            cut = mass;
            break;
          }
          const double part = power * block(std::max<int64_t>(lo, 0), hi, minuend);
          s += j % 2 ? -part : part;
          bound += std::fabs(part);
          cancel += power * static_cast<double>(minuend);
        }
        const double rounding = cancel * LONG_UNIT * static_cast<double>(a + 1);
        add(d, node, s, bound * grow + rounding + cut + flushed * static_cast<double>(a));
      };
      if (wantA) window(q - a, q - 1, j);
      if (wantB) window(total - q + 1 - a, total - q, static_cast<std::size_t>(k) - 1 - j);
    }
  };

  std::vector<double> guess(nd, GUESS);
  for (int round = 0;; ++round) {
    // The nodes some weight's bound does not show negligible.
    for (std::size_t i = 0; i < done.size(); ++i) {
      pick[i] = 0;
      if (done[i]) continue;
      for (std::size_t d = 0; d < nd && !pick[i]; ++d)
        if (live[d] && tail(s, q, x[i], da[d]) >= std::log(NEGLIGIBLE * guess[d])) pick[i] = 1;
    }
    struct Job {
      std::size_t j;
      bool a, b;
    };
    std::vector<Job> jobs;
    const std::size_t pairs = (done.size() + 1) / 2;
    for (std::size_t j = 0; j < pairs; ++j) {
      const std::size_t mirror = done.size() - 1 - j;
      const bool wantA = pick[j], wantB = mirror != j && pick[mirror];
      if (!wantA && !wantB) continue;
      jobs.push_back({j, wantA, wantB});
      done[j] = done[j] || wantA;
      done[mirror] = done[mirror] || wantB;
    }
    bool helped = false;
    auto half = [&](int i) {
      Half& h = halves[i];
      try {
        h.sum.assign(nd, 0.0);
        h.err.assign(nd, 0.0);
        for (std::size_t next = static_cast<std::size_t>(i); next < jobs.size(); next += 2)
          visit(h, halves[helped ? i : 0], jobs[next].j, jobs[next].a, jobs[next].b);
      } catch (const std::bad_alloc&) {
        h.failed = true;
      } catch (const std::length_error&) {
        h.failed = true;
      }
    };
    if (two && jobs.size() > 1) {
      try {
        helped = true;
        std::thread helper(half, 1);
        half(0);
        helper.join();
      } catch (const std::system_error&) {  // no thread to be had: one after the other
        helped = false;
      }
    }
    if (!helped) {
      half(0);
      half(1);
    }
    if (halves[0].failed || halves[1].failed) return false;
    for (std::size_t d = 0; d < nd; ++d) {
      sum[d] += halves[0].sum[d] + halves[1].sum[d];
      err[d] += halves[0].err[d] + halves[1].err[d];
    }
    // What the nodes left out may add, at most.
    std::fill(rest.begin(), rest.end(), 0.0);
    bool left = false;
    for (std::size_t i = 0; i < done.size(); ++i) {
      if (done[i]) continue;
      left = true;
      for (std::size_t d = 0; d < nd; ++d)
        if (live[d]) rest[d] += om[i] * std::exp(tail(s, q, x[i], da[d]));
    }
    bool enough = true;
    for (std::size_t d = 0; d < nd; ++d) {
      if (!live[d] || (sum[d] > 0 && rest[d] <= REST * sum[d])) continue;
      enough = false;
      // A value below the guess: guess again from it, lower when none was
      // found, and after a few rounds take every node with any chance.
      guess[d] = round >= 3   ? 0.0
                 : sum[d] > 0 ? std::min(guess[d], sum[d]) * 1e-3
                              : guess[d] * 1e-30;
    }
    if (enough || !left) break;
  }
  for (std::size_t d = 0; d < nd; ++d) {
    if (!live[d]) continue;
    // The nodes: long double roots and weights, the doubles' rounding of
    // each node moves the integrand by some units per player.
    const double bound = err[d] + rest[d] + sum[d] * UNIT * (m + 8.0);
    if (!(sum[d] > 0) || bound > KEPT * sum[d]) return false;
  }
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0 && !swingless[static_cast<std::size_t>(p)])
      value[static_cast<std::size_t>(p)] = sum[index(t.weight[p])];
  return true;
} catch (const std::bad_alloc&) {
  return false;
} catch (const std::length_error&) {  // a range beyond any vector
  return false;
}

}  // namespace ssquadrature
