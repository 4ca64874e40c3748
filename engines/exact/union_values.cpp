#include "engines/exact/union_values.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <new>

#include "engines/exact/shapley_quadrature.h"
#include "engines/walk/coalition.h"

namespace unions {
namespace {

// Nanoseconds a step takes (one multiply-add over a distribution), as
// measured (one core, 2.6 GHz, CPU time): 500 players of weights 1..100 in
// 20 unions (some 20 million steps) in 0.024 s for Owen, 0.014 s for
// Banzhaf-Owen (bench/design_bench).
constexpr double UNIONNS = 1.0;
// A step of the enumeration (a set of unions or of fellow members with its
// two winning tests), as measured: the Council's triple majority with the
// unions {DE, FR, IT} and {ES, PL} (24 unions, 3.4e8 steps) in 9 s.
constexpr double TESTNS = 27.0;

// The quadrature of the weights r!(d-r)!/(d+1)! over the d others of a
// level: the nodes t <= 1/2 with their weights, each standing also for its
// mirror 1 - t where MIRRORED (the Banzhaf weights: t = 1/2 alone).
struct NODE {
  double t, weight;
  bool mirrored;
};
std::vector<NODE> nodesOf(int others, KIND kind) {
  if (kind == KIND::BANZHAFOWEN) return {{0.5, 1.0, false}};
  const int k = std::max(1, (others + 2) / 2);
  std::vector<double> x, w;
  ssquadrature::GAUSSLEGENDRE(k, x, w);
  std::vector<NODE> nodes;
  for (int i = 0; i < k / 2; ++i) nodes.push_back({x[i], w[i], true});
  if (k % 2 == 1) nodes.push_back({0.5, w[k / 2], false});
  return nodes;
}

// The distribution of the summed weight of random subsets of WEIGHTS, each
// item in with probability t: the product of (1 - t + t x^w).
std::vector<double> product(const std::vector<int64_t>& weights, double t) {
  int64_t total = 0;
  for (const int64_t w : weights) total += w;
  std::vector<double> f(static_cast<std::size_t>(total) + 1, 0.0);
  f[0] = 1;
  int64_t top = 0;
  for (const int64_t w : weights) {
    if (w == 0) continue;
    top += w;
    for (int64_t x = top; x >= 0; --x) f[x] = (1 - t) * f[x] + (x >= w ? t * f[x - w] : 0.0);
  }
  return f;
}

// For each item j of WEIGHTS, the integral over the nodes of the
// distribution of the others' weight (item j left out), into OUT(j, dist):
// the product divided by (1 - t + t x^w_j), forward (t <= 1/2, where it is
// stable), a mirrored node read backwards from the others' total.
template <class OUT>
void leaveOneOut(const std::vector<int64_t>& weights, KIND kind, const OUT& out) {
  const int n = static_cast<int>(weights.size());
  int64_t total = 0;
  for (const int64_t w : weights) total += w;
  const std::vector<NODE> nodes = nodesOf(n - 1, kind);
  std::vector<std::vector<double>> full;
  for (const NODE& node : nodes) full.push_back(product(weights, node.t));
  std::vector<double> dist, g;
  for (int j = 0; j < n; ++j) {
    const int64_t w = weights[static_cast<std::size_t>(j)], rest = total - w;
    dist.assign(static_cast<std::size_t>(rest) + 1, 0.0);
    for (std::size_t k = 0; k < nodes.size(); ++k) {
      const NODE& node = nodes[k];
      const std::vector<double>& f = full[k];
      g.assign(static_cast<std::size_t>(rest) + 1, 0.0);
      if (w == 0) {
        std::copy(f.begin(), f.end(), g.begin());
      } else {
        const double t = node.t, s = 1 - t;
        for (int64_t x = 0; x <= rest; ++x) g[x] = (f[x] - (x >= w ? t * g[x - w] : 0.0)) / s;
      }
      for (int64_t x = 0; x <= rest; ++x)
        dist[x] += node.weight * (g[x] + (node.mirrored ? g[rest - x] : 0.0));
    }
    out(j, dist);
  }
}

}  // namespace

COSTTYP COST(const THRESHOLDTYP& T, KIND K) {
  COSTTYP cost;
  cost.APPLIES = true;
  std::vector<double> size(static_cast<std::size_t>(T.m)), weight(size.size());
  double total = 0;
  for (int p = 1; p <= T.n; ++p) {
    size[static_cast<std::size_t>(T.unionOf[p])] += 1;
    weight[static_cast<std::size_t>(T.unionOf[p])] += static_cast<double>(T.weight[p]);
    total += static_cast<double>(T.weight[p]);
  }
  // Per node pair (a node and its mirror share a pass): the product and a
  // division per item; a window per player.
  auto passes = [&](double items) {
    return K == KIND::BANZHAFOWEN ? 1.0 : std::ceil((items + 1) / 4) + 1;
  };
  double steps = passes(T.m) * 2.0 * T.m * total + T.n * total;
  for (int k = 0; k < T.m; ++k) steps += passes(size[k]) * 2.0 * size[k] * weight[k];
  cost.SECONDS = steps * UNIONNS * 1e-9;
  cost.BYTES = static_cast<std::size_t>((passes(T.m) + 4) * (total + 1) * 8);
  return cost;
}

bool COUNT(const THRESHOLDTYP& T, KIND K, RESULTTYP& R) {
  R.player.assign(static_cast<std::size_t>(T.n) + 1, 0.0);
  R.quotient.assign(static_cast<std::size_t>(T.m), 0.0);
  int64_t total = 0;
  std::vector<std::vector<int>> members(static_cast<std::size_t>(T.m));
  std::vector<int64_t> unionWeight(static_cast<std::size_t>(T.m), 0);
  for (int p = 1; p <= T.n; ++p) {
    members[static_cast<std::size_t>(T.unionOf[p])].push_back(p);
    unionWeight[static_cast<std::size_t>(T.unionOf[p])] += T.weight[p];
    total += T.weight[p];
  }
  if (T.q <= 0 || T.q > total) return true;  // nobody ever turns a coalition
  try {
    std::vector<std::vector<double>> outer(static_cast<std::size_t>(T.m));
    leaveOneOut(unionWeight, K, [&](int k, const std::vector<double>& a) {
      outer[static_cast<std::size_t>(k)] = a;
      // The union's own swing in the quotient game.
      const int64_t wk = unionWeight[static_cast<std::size_t>(k)];
      double v = 0;
      for (int64_t x = std::max<int64_t>(0, T.q - wk);
           x < T.q && x < static_cast<int64_t>(a.size()); ++x)
        v += a[x];
      R.quotient[static_cast<std::size_t>(k)] = v;
      COUNTAT(0.5 * (k + 1) / T.m);
    });
    std::vector<double> sums;
    for (int k = 0; k < T.m; ++k) {
      const std::vector<int>& in = members[static_cast<std::size_t>(k)];
      const std::vector<double>& a = outer[static_cast<std::size_t>(k)];
      std::vector<int64_t> w;
      for (const int p : in) w.push_back(T.weight[p]);
      leaveOneOut(w, K, [&](int j, const std::vector<double>& b) {
        const int64_t wi = w[static_cast<std::size_t>(j)];
        if (wi == 0) return;
        // Running sums of the fellow members' distribution.
        sums.assign(b.size() + 1, 0.0);
        for (std::size_t y = 0; y < b.size(); ++y) sums[y + 1] = sums[y] + b[y];
        auto upTo = [&](int64_t y) {  // the sum of b[0..y]
          return y < 0 ? 0.0 : sums[static_cast<std::size_t>(std::min<int64_t>(y + 1, b.size()))];
        };
        double v = 0;
        for (int64_t x = 0; x < static_cast<int64_t>(a.size()) && x < T.q; ++x)
          if (a[x] != 0) v += a[x] * (upTo(T.q - 1 - x) - upTo(T.q - wi - 1 - x));
        R.player[static_cast<std::size_t>(in[static_cast<std::size_t>(j)])] = v;
      });
      COUNTAT(0.5 + 0.5 * (k + 1) / T.m);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

COSTTYP ENUMERATECOST(const std::vector<int>& UNIONOF, int M) {
  std::vector<double> size(static_cast<std::size_t>(M), 0);
  for (std::size_t p = 1; p < UNIONOF.size(); ++p) size[static_cast<std::size_t>(UNIONOF[p])] += 1;
  double steps = 0;
  for (const double u : size)
    steps +=
        std::ldexp(1.0, M - 1) * (1 + (u > 1 ? u * std::ldexp(1.0, static_cast<int>(u) - 1) : 0));
  COSTTYP cost;
  cost.SECONDS = steps * TESTNS * 1e-9;
  cost.APPLIES = M <= 40 && cost.SECONDS <= ENUMERATEMAX;
  cost.BYTES = UNIONOF.size() * 64;
  if (!cost.APPLIES) cost.WHY = "too many sets of unions";
  return cost;
}

namespace {

// Weight of a set of R of D + 1 (the Owen weights R!(D-R)!/(D+1)!, or
// 1/2^D).
double weightOf(int r, int d, KIND kind) {
  if (kind == KIND::BANZHAFOWEN) return std::ldexp(1.0, -d);
  return std::exp(std::lgamma(r + 1.0) + std::lgamma(d - r + 1.0) - std::lgamma(d + 2.0));
}

}  // namespace

bool ENUMERATE(const weightedwalk::Game& G, const std::vector<int>& UNIONOF, int M, KIND K,
               RESULTTYP& R) {
  R.player.assign(static_cast<std::size_t>(G.n) + 1, 0.0);
  R.quotient.assign(static_cast<std::size_t>(M), 0.0);
  if (!weightedwalk::FITS(G) || !ENUMERATECOST(UNIONOF, M).APPLIES) return false;
  std::vector<std::vector<int>> members(static_cast<std::size_t>(M));
  for (int p = 1; p <= G.n; ++p) members[static_cast<std::size_t>(UNIONOF[p])].push_back(p);
  const weightedwalk::Rule rule(G);
  weightedwalk::Tally t(rule);
  for (int k = 0; k < M; ++k) {
    const std::vector<int>& own = members[static_cast<std::size_t>(k)];
    const int u = static_cast<int>(own.size());
    std::vector<int> others;
    for (int l = 0; l < M; ++l)
      if (l != k) others.push_back(l);
    // The sets R of other unions in Gray code order: one union joins or
    // leaves at each step.
    std::vector<char> joined(static_cast<std::size_t>(M), 0);
    std::vector<double> alphas, betas;
    for (int i = 0; i < M; ++i) alphas.push_back(weightOf(i, M - 1, K));
    for (int i = 0; i < u; ++i) betas.push_back(weightOf(i, u - 1, K));
    int r = 0;
    for (uint64_t step = 0; step < (uint64_t{1} << (M - 1)); ++step) {
      if (step != 0) {
        const int l = others[static_cast<std::size_t>(std::countr_zero(step))];
        char& in = joined[static_cast<std::size_t>(l)];
        for (const int p : members[static_cast<std::size_t>(l)]) in ? t.LEAVE(p) : t.JOIN(p);
        r += in ? -1 : 1;
        in = !in;
      }
      if ((step & 0xFFFF) == 0)
        COUNTAT((k + static_cast<double>(step) / (uint64_t{1} << (M - 1))) / M);
      const double alpha = alphas[static_cast<std::size_t>(r)];
      const bool before = t.WINS();
      for (const int p : own) t.JOIN(p);
      const double turned = alpha * ((t.WINS() ? 1 : 0) - (before ? 1 : 0));
      for (const int p : own) t.LEAVE(p);
      R.quotient[static_cast<std::size_t>(k)] += turned;
      if (u == 1) {  // a union of one: its member's value is the union's
        R.player[static_cast<std::size_t>(own[0])] += turned;
        continue;
      }
      for (int i = 0; i < u; ++i) {
        const int player = own[static_cast<std::size_t>(i)];
        for (uint64_t fellows = 0; fellows < (uint64_t{1} << (u - 1)); ++fellows) {
          int size = 0;
          for (int j = 0, b = 0; j < u; ++j) {
            if (j == i) continue;
            if (fellows >> b++ & 1) {
              t.JOIN(own[static_cast<std::size_t>(j)]);
              ++size;
            }
          }
          const bool without = t.WINS();
          t.JOIN(player);
          const bool with = t.WINS();
          for (const int p : own) t.LEAVE(p);
          R.player[static_cast<std::size_t>(player)] +=
              alpha * betas[static_cast<std::size_t>(size)] * ((with ? 1 : 0) - (without ? 1 : 0));
        }
      }
    }
    for (int p = 1; p <= G.n; ++p) t.LEAVE(p);
  }
  return true;
}

}  // namespace unions
