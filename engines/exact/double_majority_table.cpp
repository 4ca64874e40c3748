#include "engines/exact/double_majority_table.h"

#include <algorithm>
#include <functional>

#include "engines/exact/modular.h"

namespace doublemajority {

bool SHAPE(const weightedwalk::Game& g, Shape& s) {
  if (g.vs != 2 || g.mm != 1 || g.block || g.position != nullptr) return false;
  // An overall threshold in primary votes joins the primary threshold when
  // it is an AND; an OR would make the rule a disjunction.
  const bool votes = g.overt == 1 && (g.overall == 1 || g.overall == 2);
  if (votes && g.overall == 2) return false;
  const int n = g.n;
  int64_t total1 = 0, total2 = 0;
  for (int p = 1; p <= n; ++p) {
    total1 += g.w[0][p];
    total2 += g.w[1][p];
  }
  int live = 0;
  int64_t q1 = 0, q2 = 0;
  for (int t = 1; t <= g.thres; ++t) {
    if (g.m[0][t][1] > total1 || g.m[1][t][1] > total2) continue;  // never met
    ++live;
    q1 = g.m[0][t][1];
    q2 = g.m[1][t][1];
  }
  if (live != 1) return false;
  if (votes) q1 = std::max(q1, g.t1);
  if (q1 > total1) return false;
  s.n = n;
  s.a.assign(static_cast<std::size_t>(n) + 1, 0);
  s.b.assign(static_cast<std::size_t>(n) + 1, 0);
  for (int p = 1; p <= n; ++p) {
    s.a[p] = q1 > 0 ? g.w[0][p] : 0;
    s.b[p] = q2 > 0 ? g.w[1][p] : 0;
  }
  s.r1 = q1 > 0 ? total1 - q1 : 0;
  s.r2 = q2 > 0 ? total2 - q2 : 0;
  return true;
}

int PLAYERS(const Shape& s) {
  int m = 0;
  for (int p = 1; p <= s.n; ++p) m += s.a[p] != 0 || s.b[p] != 0 ? 1 : 0;
  return m;
}

namespace {

// The cells of each size: subsets of k players weigh at least the k
// lightest and at most the k heaviest in each system, and only weights up
// to R matter; beyond the heaviest the cumulative counts stay constant.
struct Bounds {
  explicit Bounds(const Shape& s) {
    const int n = s.n;
    std::vector<int64_t> a(s.a.begin() + 1, s.a.end()), b(s.b.begin() + 1, s.b.end());
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    lo1.assign(static_cast<std::size_t>(n) + 1, 0);
    lo2 = top1 = top2 = lo1;
    int64_t l1 = 0, l2 = 0, h1 = 0, h2 = 0;
    kmax = -1;
    for (int k = 0; k <= n; ++k) {
      if (k > 0) {
        l1 += a[static_cast<std::size_t>(k) - 1];
        l2 += b[static_cast<std::size_t>(k) - 1];
        h1 += a[static_cast<std::size_t>(n - k)];
        h2 += b[static_cast<std::size_t>(n - k)];
      }
      if (l1 > s.r1 || l2 > s.r2) break;
      kmax = k;
      lo1[k] = l1;
      lo2[k] = l2;
      top1[k] = std::min(h1, s.r1);
      top2[k] = std::min(h2, s.r2);
    }
  }
  double cells(int k) const {
    return (top1[k] - lo1[k] + 1.0) * static_cast<double>(top2[k] - lo2[k] + 1);
  }
  int kmax = -1;  // the largest size with a subset in range
  std::vector<int64_t> lo1, lo2, top1, top2;
};

template <class RING>
class Table {
 public:
  Table(const Shape& s, const RING& ring) : bd_(s), ring_(ring) {
    block_.resize(static_cast<std::size_t>(bd_.kmax) + 1);
    for (int k = 0; k <= bd_.kmax; ++k) block_[k].assign(static_cast<std::size_t>(bd_.cells(k)), 0);
    block_[0][0] = 1;  // the empty subset
  }

  // CF[k][u][v], for any u <= R1 and v <= R2.
  uint64_t at(int k, int64_t u, int64_t v) const {
    if (k < 0 || k > bd_.kmax || u < bd_.lo1[k] || v < bd_.lo2[k]) return 0;
    u = std::min(u, bd_.top1[k]);
    v = std::min(v, bd_.top2[k]);
    return block_[k][static_cast<std::size_t>((u - bd_.lo1[k]) * width(k) + (v - bd_.lo2[k]))];
  }

  // The subsets by size without a player of weights (A, B) that was added.
  uint64_t without(int k, int64_t u, int64_t v, int64_t a, int64_t b) const {
    uint64_t sum = 0;
    for (int j = 0; k - j >= 0 && u >= 0 && v >= 0; ++j, u -= a, v -= b) {
      const uint64_t t = at(k - j, u, v);
      sum = (j & 1) ? ring_.sub(sum, t) : ring_.add(sum, t);
    }
    return sum;
  }

  void add(int64_t a, int64_t b) {
    ++count_;
    for (int k = std::min(count_, bd_.kmax); k >= 1; --k) {
      const int j = k - 1;
      const int64_t w = width(k), wj = width(j);
      // Columns of row k whose source v - B lies in size j's explicit range,
      // and those beyond it, where the source is the last column.
      const int64_t v0 = std::max(bd_.lo2[k], bd_.lo2[j] + b),
                    v1 = std::min(bd_.top2[k], bd_.top2[j] + b);
      for (int64_t u = bd_.lo1[k]; u <= bd_.top1[k]; ++u) {
        const int64_t su = std::min(u - a, bd_.top1[j]);
        if (su < bd_.lo1[j]) continue;
        uint64_t* dst = block_[k].data() + (u - bd_.lo1[k]) * w;
        const uint64_t* src = block_[j].data() + (su - bd_.lo1[j]) * wj;
        const int64_t shift = bd_.lo2[k] - bd_.lo2[j] - b;  // source column of column 0
        for (int64_t i = v0 - bd_.lo2[k], e = v1 - bd_.lo2[k]; i <= e; ++i)
          dst[i] = ring_.add(dst[i], src[i + shift]);
        const uint64_t last = src[wj - 1];
        for (int64_t i = std::max(v0, v1 + 1) - bd_.lo2[k]; i < w; ++i)
          dst[i] = ring_.add(dst[i], last);
      }
    }
  }

 private:
  int64_t width(int k) const { return bd_.top2[k] - bd_.lo2[k] + 1; }

  Bounds bd_;
  const RING& ring_;
  int count_ = 0;
  std::vector<std::vector<uint64_t>> block_;  // [k][(u - lo1) * width + v - lo2]
};

}  // namespace

double CELLS(const Shape& s, bool bySize) {
  if (!bySize) return (s.r1 + 1.0) * static_cast<double>(s.r2 + 1);
  const Bounds bd(s);
  double cells = 0;
  for (int k = 0; k <= bd.kmax; ++k) cells += bd.cells(k);
  return cells;
}

template <class RING>
void COUNT(const Shape& s, fastcount::Profile& f, const RING& ring) {
  const int n = s.n;
  // Heaviest last: the light players first keep the explicit ranges short.
  std::vector<int> order(static_cast<std::size_t>(n));
  for (int p = 1; p <= n; ++p) order[static_cast<std::size_t>(p) - 1] = p;
  std::sort(order.begin(), order.end(),
            [&](int x, int y) { return s.a[x] + s.b[x] < s.a[y] + s.b[y]; });
  Table<RING> tb(s, ring);
  for (int p : order) tb.add(s.a[p], s.b[p]);
  // A winning coalition of size k is the complement of a subset of n - k
  // players within (R1, R2); one holding p, of such a subset without p.
  for (int k = 0; k <= n; ++k) {
    f.all[k] = tb.at(n - k, s.r1, s.r2);
    f.without[1][k] = k == 0 ? f.all[0] : 0;  // only the empty coalition has no member
    for (int p = 1; p <= n; ++p)
      f.with[p][k] = k == 0 ? 0 : tb.without(n - k, s.r1, s.r2, s.a[p], s.b[p]);
  }
}

template <class RING>
void TOTALS(const Shape& s, fastcount::Totals& f, const RING& ring) {
  const int n = s.n;
  const std::size_t w = static_cast<std::size_t>(s.r2) + 1;
  // The players of no weight join any subset freely: a factor 2 each.
  std::vector<uint64_t> cf(static_cast<std::size_t>(s.r1 + 1) * w, 1);  // the empty subset
  int free = 0;
  int64_t sum1 = 0, sum2 = 0;
  for (int p = 1; p <= n; ++p) {
    const int64_t a = s.a[p], b = s.b[p];
    sum1 += a;
    sum2 += b;
    if (a == 0 && b == 0) {
      ++free;
      continue;
    }
    if (a > s.r1 || b > s.r2) continue;  // never outside a winning coalition
    for (int64_t u = s.r1; u >= a; --u) {
      uint64_t* dst = cf.data() + static_cast<std::size_t>(u) * w;
      const uint64_t* src = cf.data() + static_cast<std::size_t>(u - a) * w;
      if (a == 0) {
        for (int64_t v = s.r2; v >= b; --v) dst[v] = ring.add(dst[v], dst[v - b]);
      } else {
        for (int64_t v = b; v <= s.r2; ++v) dst[v] = ring.add(dst[v], src[v - b]);
      }
    }
  }
  auto cell = [&](int64_t u, int64_t v) {
    return cf[static_cast<std::size_t>(u) * w + static_cast<std::size_t>(v)];
  };
  const uint64_t all = cell(s.r1, s.r2);
  f.all = ring.mul(ring.pow2(free), all);
  for (int p = 1; p <= n; ++p) {
    const int64_t a = s.a[p], b = s.b[p];
    if (a == 0 && b == 0) {
      f.with[p] = ring.mul(ring.pow2(free - 1), all);
      continue;
    }
    uint64_t sum = 0;
    int64_t u = s.r1, v = s.r2;
    for (int j = 0; u >= 0 && v >= 0; ++j, u -= a, v -= b)
      sum = (j & 1) ? ring.sub(sum, cell(u, v)) : ring.add(sum, cell(u, v));
    f.with[p] = ring.mul(ring.pow2(free), sum);
  }
  f.empty = sum1 <= s.r1 && sum2 <= s.r2;
  f.without[1] = f.empty ? 1 : 0;
}

template void COUNT(const Shape&, fastcount::Profile&, const fastcount::WRAP&);
template void COUNT(const Shape&, fastcount::Profile&, const fastcount::MODP&);
template void TOTALS(const Shape&, fastcount::Totals&, const fastcount::WRAP&);
template void TOTALS(const Shape&, fastcount::Totals&, const fastcount::MODP&);

}  // namespace doublemajority
