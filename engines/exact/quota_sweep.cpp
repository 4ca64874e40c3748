#include "engines/exact/quota_sweep.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <new>

namespace quotasweep {
namespace {

// Nanoseconds a step takes, as measured (one core, 2.6 GHz): the Council
// of 27 by Banzhaf on a total weight of 274353 (22 million steps a sweep)
// in 32 ms a sweep; by Shapley-Shubik on 19049 (28 million steps) in 16 ms.
constexpr double BANZHAFNS = 1.5, SHAPLEYNS = 0.6;

// The running sums H[x] (x = 0..W) from whose differences each player's
// value at every quota comes: H(q - 1) - H(q - u - 1) for weight u. One
// call per distinct weight U. For Banzhaf the value is not yet normalised.
class SUMS {
 public:
  SUMS(const std::vector<int64_t>& w, INDEX index)
      : index_(index), n_(static_cast<int>(w.size()) - 1) {
    for (int p = 1; p <= n_; ++p) total_ += w[p];
    const std::size_t width = static_cast<std::size_t>(total_) + 1;
    if (index_ == INDEX::BANZHAF) {
      f_.assign(width, 0.0);
      f_[0] = 1;
      int64_t top = 0;
      for (int p = 1; p <= n_; ++p) {
        const int64_t u = w[p];
        top += u;
        if (u == 0) continue;
        for (int64_t x = top; x >= u; --x) f_[x] = (f_[x] + f_[x - u]) / 2;
        for (int64_t x = std::min(u - 1, top); x >= 0; --x) f_[x] /= 2;
      }
      return;
    }
    // The tables are kept from sweep to sweep (thread_local below): the
    // design sweeps hundreds of times, and fresh pages for tables of
    // megabytes each time cost the system more than the counting.
    table_.assign(static_cast<std::size_t>(n_ + 1) * width, 0.0);
    table_[0] = 1;
    int64_t top = 0;
    for (int p = 1; p <= n_; ++p) {
      const int64_t u = w[p];
      top += u;
      for (int c = p; c >= 1; --c) {
        double* to = row(c);
        const double* from = row(c - 1);
        for (int64_t x = top; x >= u; --x) to[x] += from[x - u];
      }
    }
  }

  int64_t total() const { return total_; }

  // H for the players of weight U.
  void RUNNING(int64_t u, std::vector<double>& h) {
    const std::size_t width = static_cast<std::size_t>(total_) + 1;
    h.assign(width + 1, 0.0);  // h[x + 1] = the sum up to x
    if (index_ == INDEX::BANZHAF) {
      // The division by (1 + x^u) / 2: G(x) = 2 F(x) - G(x - u).
      std::vector<double>& g = g_;
      g.assign(width, 0.0);
      const std::size_t lag = static_cast<std::size_t>(u);
      for (std::size_t x = 0; x < width; ++x)
        g[x] = u == 0 ? f_[x] : 2 * f_[x] - (x >= lag ? g[x - lag] : 0.0);
      for (std::size_t x = 0; x < width; ++x) h[x + 1] = h[x] + g[x];
      return;
    }
    // The others by size: D[c] = T[c] - D[c-1] shifted by u; size c of the
    // n - 1 others weighs c! (n-1-c)! / n!.
    std::vector<double>& d = d_;
    d.assign(static_cast<std::size_t>(n_) * width, 0.0);
    std::vector<double> line(width, 0.0);
    for (int c = 0; c < n_; ++c) {
      double* dc = d.data() + static_cast<std::size_t>(c) * width;
      const double* tc = row(c);
      const double* below = c > 0 ? d.data() + static_cast<std::size_t>(c - 1) * width : nullptr;
      const double share =
          std::exp(std::lgamma(c + 1.0) + std::lgamma(n_ - c + 0.0) - std::lgamma(n_ + 1.0));
      for (std::size_t x = 0; x < width; ++x) {
        dc[x] = tc[x] - (below != nullptr && x >= static_cast<std::size_t>(u) ? below[x - u] : 0.0);
        line[x] += share * dc[x];
      }
    }
    for (std::size_t x = 0; x < width; ++x) h[x + 1] = h[x] + line[x];
  }

 private:
  double* row(int c) { return table_.data() + static_cast<std::size_t>(c) * (total_ + 1); }
  INDEX index_;
  int n_;
  int64_t total_ = 0;
  std::vector<double> f_;
  static inline thread_local std::vector<double> table_, d_;
  std::vector<double> g_;
};

// Each distinct weight's values at every quota, by CALL(u, players of
// weight u, value(q)).
template <class CALL>
void eachWeight(SUMS& sums, const std::vector<int64_t>& w, const CALL& call) {
  std::map<int64_t, std::vector<std::size_t>> distinct;
  for (std::size_t p = 1; p < w.size(); ++p) distinct[w[p]].push_back(p);
  std::vector<double> h;
  for (const auto& [weight, players] : distinct) {
    // A copy: a lambda may not capture a structured binding before clang 16.
    const int64_t u = weight;
    sums.RUNNING(u, h);
    auto value = [&](int64_t q) -> double {
      if (u == 0) return 0;
      return h[static_cast<std::size_t>(q)] -
             h[static_cast<std::size_t>(std::max<int64_t>(q - u, 0))];
    };
    call(u, players, value);
  }
}

}  // namespace

bool SWEEP(const std::vector<int64_t>& WEIGHT, const std::vector<double>& TARGET, INDEX I,
           DISTANCE D, std::vector<double>& DIST) {
  try {
    SUMS sums(WEIGHT, I);
    const int64_t total = sums.total();
    DIST.assign(static_cast<std::size_t>(total) + 1, 0.0);
    DIST[0] = std::numeric_limits<double>::infinity();
    // Each distinct weight's values at every quota, kept for the Banzhaf
    // index's sums over the players at each quota.
    std::vector<double> all(static_cast<std::size_t>(total) + 1, 0.0);
    // The values in one buffer kept from sweep to sweep: the design sweeps
    // thousands of times, and a fresh buffer of this size each time costs
    // the system more than the sweep.
    static thread_local std::vector<double> buffer;
    const std::size_t width = static_cast<std::size_t>(total) + 1;
    std::vector<std::vector<std::size_t>> groups;
    eachWeight(sums, WEIGHT, [&](int64_t, const auto& players, const auto& value) {
      buffer.resize(std::max(buffer.size(), (groups.size() + 1) * width));
      double* v = buffer.data() + groups.size() * width;
      for (int64_t q = 1; q <= total; ++q) {
        v[q] = value(q);
        all[q] += static_cast<double>(players.size()) * v[q];
      }
      groups.push_back(players);
    });
    for (std::size_t k = 0; k < groups.size(); ++k)
      for (int64_t q = 1; q <= total; ++q) {
        const std::vector<std::size_t>& players = groups[k];
        const double* v = buffer.data() + k * width;
        const double share = I == INDEX::BANZHAF ? (all[q] > 0 ? v[q] / all[q] : 0.0) : v[q];
        for (const std::size_t p : players) {
          const double gap = std::fabs(share - TARGET[p]);
          DIST[q] = D == DISTANCE::SUMSQ ? DIST[q] + gap * gap : std::max(DIST[q], gap);
        }
      }
    // A quota at which nobody swings (Banzhaf) is no design.
    if (I == INDEX::BANZHAF)
      for (int64_t q = 1; q <= total; ++q)
        if (all[q] <= 0) DIST[q] = std::numeric_limits<double>::infinity();
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool VALUES(const std::vector<int64_t>& WEIGHT, int64_t Q, INDEX I, std::vector<double>& VALUE) {
  try {
    SUMS sums(WEIGHT, I);
    VALUE.assign(WEIGHT.size(), 0.0);
    if (Q < 1 || Q > sums.total()) return true;
    double all = 0;
    eachWeight(sums, WEIGHT, [&](int64_t, const auto& players, const auto& value) {
      for (const std::size_t p : players) {
        VALUE[p] = value(Q);
        all += value(Q);
      }
    });
    if (I == INDEX::BANZHAF && all > 0)
      for (double& v : VALUE) v /= all;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

COSTTYP COST(const std::vector<int64_t>& WEIGHT, INDEX I) {
  COSTTYP cost;
  cost.APPLIES = true;
  double total = 0, n = static_cast<double>(WEIGHT.size()) - 1;
  for (std::size_t p = 1; p < WEIGHT.size(); ++p) total += static_cast<double>(WEIGHT[p]);
  std::map<int64_t, int> distinct;
  for (std::size_t p = 1; p < WEIGHT.size(); ++p) ++distinct[WEIGHT[p]];
  const auto d = static_cast<double>(distinct.size());
  const double width = total + 1;
  if (I == INDEX::BANZHAF) {
    cost.BYTES = static_cast<std::size_t>((d + 4) * width * sizeof(double));
    cost.SECONDS = 3 * n * width * BANZHAFNS * 1e-9;
  } else {
    cost.BYTES = static_cast<std::size_t>((2 * n + 4) * width * 8);
    cost.SECONDS = 2 * n * n * width * SHAPLEYNS * 1e-9;
  }
  return cost;
}

}  // namespace quotasweep
