#include "engines/exact/size_weight_table.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "engines/exact/method.h"
#include "engines/exact/modular.h"
#include "engines/exact/row_split.h"

// The table holds, for the players with a positive weight, the cumulative
// counts CF[j][v] = subsets of j players with summed weight at most v, for v
// up to a range R. Two ranges suffice: R = Q - 1 (a coalition wins when it
// is not among those of weight Q - 1 or less) or R = TOTAL - Q (a coalition
// wins when its complement weighs TOTAL - Q or less); the smaller is taken.
// A player's share comes from the table with that player taken out again:
// dividing the generating polynomial by (1 + x y^a) is the alternating sum
// CF[j][v] - CF[j-1][v-a] + CF[j-2][v-2a] - ..., exact in wrap-around
// unsigned arithmetic because the true result fits 64 bits (or modulo a
// prime, pass by pass, beyond 63 players: engines/exact/modular.h). Players of
// weight 0 do not enter the table; they join any coalition freely, which is
// a convolution with binomial coefficients.
namespace sizetable {
namespace {

// The table's work is the adding of one row into the next, bound by memory:
// compiled for AVX2 as well (chosen at run time where the processor has it),
// which also compares 64-bit numbers four at a time.
#if defined(__x86_64__) && defined(__has_attribute) && !defined(__SANITIZE_ADDRESS__)
#if __has_attribute(target_clones)
#define VKX_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef VKX_CLONES
#define VKX_CLONES
#endif

VKX_CLONES void addModulo(uint64_t* __restrict dst, const uint64_t* __restrict src, int64_t count,
                          uint64_t p) {
  for (int64_t i = 0; i < count; ++i) {
    const uint64_t s = dst[i] + src[i];  // both below P < 2^62
    dst[i] = s >= p ? s - p : s;
  }
}
VKX_CLONES void addWrapped(uint64_t* __restrict dst, const uint64_t* __restrict src,
                           int64_t count) {
  for (int64_t i = 0; i < count; ++i) dst[i] += src[i];
}

void addRow(uint64_t* dst, const uint64_t* src, int64_t count, const fastcount::MODP& ring) {
  addModulo(dst, src, count, ring.modulus());
}
void addRow(uint64_t* dst, const uint64_t* src, int64_t count, const fastcount::WRAP&) {
  addWrapped(dst, src, count);
}

template <class RING>
class Table {
 public:
  // WEIGHTS: every player that will be added (positive weights).
  Table(const std::vector<int64_t>& weights, int64_t range, const RING& ring)
      : ring_(ring), r_(range) {
    m_ = static_cast<int>(weights.size());
    std::vector<int64_t> w = weights;
    std::sort(w.begin(), w.end());
    lo_.assign(static_cast<std::size_t>(m_) + 1, 0);
    hi_.assign(static_cast<std::size_t>(m_) + 1, 0);
    for (int j = 1; j <= m_; ++j) {
      lo_[j] = lo_[j - 1] + w[static_cast<std::size_t>(j) - 1];
      hi_[j] = hi_[j - 1] + w[static_cast<std::size_t>(m_ - j)];
    }
    cells_.resize(static_cast<std::size_t>(m_) + 1);
    curLo_.assign(static_cast<std::size_t>(m_) + 1, 0);
    curHi_.assign(static_cast<std::size_t>(m_) + 1, 0);
    for (int j = 0; j <= m_; ++j) {
      hi_[j] = std::min(hi_[j], r_);
      if (lo_[j] <= hi_[j]) cells_[j].assign(static_cast<std::size_t>(hi_[j] - lo_[j]) + 1, 0);
    }
    // Only the empty subset so far.
    if (r_ >= 0) cells_[0][0] = 1;
    std::size_t all = 0;
    for (const auto& row : cells_) all += row.size();
    if (all >= SPLITCELLS) split_ = std::make_unique<rowsplit::Split>();
    full_.assign(static_cast<std::size_t>(m_) + 2, 0);
    full_[0] = 1;
    for (int j = 1; j <= m_; ++j) {
      curLo_[j] = r_ + 1;  // no subset of this size yet
      curHi_[j] = r_;
    }
  }

  // Cells the table holds (one per size and weight in range).
  static std::size_t cells(const std::vector<int64_t>& weights, int64_t range) {
    std::vector<int64_t> w = weights;
    std::sort(w.begin(), w.end());
    std::size_t n = 0;
    int64_t lo = 0, hi = 0;
    for (std::size_t j = 0; j <= w.size(); ++j) {
      if (j > 0) {
        lo += w[j - 1];
        hi += w[w.size() - j];
      }
      const int64_t top = std::min(hi, range);
      if (lo <= top) n += static_cast<std::size_t>(top - lo) + 1;
    }
    return n;
  }

  int count() const { return cnt_; }

  // CF[j][v] for the players added so far, for any v <= R.
  uint64_t at(int j, int64_t v) const {
    if (j < 0 || j > cnt_ || v < curLo_[j]) return 0;
    if (v > curHi_[j]) return full_[static_cast<std::size_t>(j)];
    return cells_[j][static_cast<std::size_t>(v - lo_[j])];
  }

  // The same with one added player of weight A taken out again.
  uint64_t without(int j, int64_t v, int64_t a) const {
    uint64_t s = 0;
    for (int i = 0; i <= j && v >= 0; ++i, v -= a) {
      const uint64_t t = at(j - i, v);
      s = (i & 1) ? ring_.sub(s, t) : ring_.add(s, t);
    }
    return s;
  }

  void add(int64_t a) {
    added_.insert(std::upper_bound(added_.begin(), added_.end(), a), a);
    const int c = cnt_ + 1;
    // The new explicit range of each row: the least and the largest sum of
    // j of the players added so far, within the table's range.
    std::vector<int64_t> newLo(static_cast<std::size_t>(c) + 1, 0),
        newHi(static_cast<std::size_t>(c) + 1, 0);
    for (int j = 1; j <= c; ++j) {
      newLo[j] = newLo[j - 1] + added_[static_cast<std::size_t>(j) - 1];
      newHi[j] = newHi[j - 1] + added_[static_cast<std::size_t>(c - j)];
    }
    for (int j = c; j >= 1; --j) {
      const int64_t lo = newLo[j], hi = std::min(newHi[j], r_);
      if (lo > hi) continue;  // every subset of this size weighs more than R
      materialize(j, lo, hi);
      // Row j gains the subsets of size j - 1 (before this player) plus it.
      uint64_t* row = cells_[j].data();
      const int64_t off = lo_[j];
      const int64_t plo = curLo_[j - 1] + a, phi = curHi_[j - 1] + a;
      const int64_t mid0 = std::max(lo, plo), mid1 = std::min(hi, phi);
      if (mid0 <= mid1) {
        const uint64_t* prev = cells_[j - 1].data() + (mid0 - a - lo_[j - 1]);
        uint64_t* dst = row + (mid0 - off);
        split([&](int64_t from, int64_t to) { addRow(dst + from, prev + from, to - from, ring_); },
              mid1 - mid0 + 1);
      }
      const uint64_t full = full_[static_cast<std::size_t>(j) - 1];
      uint64_t* rest = row + (std::max(lo, phi + 1) - off);
      split(
          [&](int64_t from, int64_t to) {
            for (int64_t i = from; i < to; ++i) rest[i] = ring_.add(rest[i], full);
          },
          hi - std::max(lo, phi + 1) + 1);
    }
    ++cnt_;
    for (int j = cnt_; j >= 1; --j) full_[j] = ring_.add(full_[j], full_[j - 1]);
  }

 private:
  // Makes row j explicit over [LO, HI] (a superset of its explicit range):
  // zeros below, the full count of its size above.
  void materialize(int j, int64_t lo, int64_t hi) {
    uint64_t* row = cells_[j].data();
    const int64_t off = lo_[j];
    if (curLo_[j] > curHi_[j]) {  // nothing explicit yet: no subset weighs HI or less
      for (int64_t v = lo; v <= hi; ++v) row[v - off] = 0;
    } else {
      for (int64_t v = lo; v < curLo_[j]; ++v) row[v - off] = 0;
      const uint64_t full = full_[static_cast<std::size_t>(j)];
      for (int64_t v = curHi_[j] + 1; v <= hi; ++v) row[v - off] = full;
    }
    curLo_[j] = lo;
    curHi_[j] = hi;
  }

  // BODY over [0, COUNT), on two cores for a large table (engines/exact/row_split): a row is
  // done before the next one down, which it reads, changes.
  template <class BODY>
  void split(const BODY& body, int64_t count) {
    if (count <= 0) return;
    if (split_)
      split_->RUN(count, body);
    else
      body(0, count);
  }

  // Cells from which the rows are added on two cores.
  static constexpr std::size_t SPLITCELLS = std::size_t{1} << 22;

  const RING& ring_;
  std::unique_ptr<rowsplit::Split> split_;
  int m_ = 0, cnt_ = 0;
  int64_t r_ = 0;
  std::vector<uint64_t> full_;          // C(count, j)
  std::vector<int64_t> lo_, hi_;        // allocated range of each row
  std::vector<int64_t> curLo_, curHi_;  // explicit range now: 0 below, C(count, j) above
  std::vector<std::vector<uint64_t>> cells_;
  std::vector<int64_t> added_;  // weights added so far, ascending
};

using fastcount::Profile;

// The trivial rules: every coalition wins (Q <= 0, whose only minimal set is
// the empty one) or none does.
template <class RING>
void constant(const Threshold& t, bool value, Profile& f, Profile* minimal, const RING& ring) {
  f = Profile(t.n, t.mm);
  if (minimal) {
    *minimal = Profile(t.n, t.mm);
    minimal->all[0] = value ? 1 : 0;
  }
  if (!value) return;
  std::vector<int> inSub(static_cast<std::size_t>(t.mm) + 1);
  for (int p = 1; p <= t.n; ++p) ++inSub[t.sub[p]];
  for (int k = 0; k <= t.n; ++k) {
    f.all[k] = ring.choose(t.n, k);
    for (int p = 1; p <= t.n; ++p) f.with[p][k] = ring.choose(t.n - 1, k - 1);
    for (int s = 1; s <= t.mm; ++s) f.without[s][k] = ring.choose(t.n - inSub[s], k);
  }
}

// Winning subsets of the table's players by size: G[j] (and, with a player
// of weight A taken out, the winning subsets holding that player).
template <class RING>
void winningBySize(const Table<RING>& tb, const Oriented& o, int64_t q, std::vector<uint64_t>& g,
                   const RING& ring) {
  const int m = tb.count();
  g.assign(static_cast<std::size_t>(m) + 1, 0);
  for (int j = 0; j <= m; ++j)
    g[j] = o.complement ? tb.at(m - j, o.range) : ring.sub(ring.choose(m, j), tb.at(j, q - 1));
}

template <class RING>
void winningWith(const Table<RING>& tb, const Oriented& o, int64_t q, int64_t a,
                 std::vector<uint64_t>& g, const RING& ring) {
  const int m = tb.count();
  g.assign(static_cast<std::size_t>(m) + 1, 0);
  for (int j = 1; j <= m; ++j)
    g[j] = o.complement ? tb.without(m - j, o.range, a)
                        : ring.sub(ring.choose(m - 1, j - 1), tb.without(j - 1, q - 1 - a, a));
}

// H[k] = sum over d of C(z, d) G[k - d], then shifted by SHIFT (a member
// fixed outside the table).
template <class RING>
void withDummies(const std::vector<uint64_t>& g, int z, int shift, uint64_t* out, int n,
                 const RING& ring) {
  std::vector<uint64_t> c(static_cast<std::size_t>(z < 0 ? 0 : z) + 1);
  for (int d = 0; d <= z; ++d) c[static_cast<std::size_t>(d)] = ring.choose(z, d);
  for (int k = 0; k <= n; ++k) {
    uint64_t s = 0;
    for (int d = 0; d <= z; ++d) {
      const int j = k - d - shift;
      if (j >= 0 && j < static_cast<int>(g.size()))
        s = ring.add(s, ring.mul(c[static_cast<std::size_t>(d)], g[static_cast<std::size_t>(j)]));
    }
    out[k] = s;
  }
}

std::vector<int64_t> weightsOf(const Threshold& t, const std::vector<int>& players) {
  std::vector<int64_t> w;
  for (int p : players) w.push_back(t.weight[p]);
  return w;
}

// Winning coalitions by size among the positive players PLAYERS alone.
template <class RING>
std::vector<uint64_t> countOnly(const Threshold& t, const std::vector<int>& players,
                                const RING& ring) {
  const std::vector<int64_t> w = weightsOf(t, players);
  int64_t total = 0;
  for (int64_t x : w) total += x;
  std::vector<uint64_t> g(players.size() + 1, 0);
  if (t.q > total) return g;
  const Oriented o = ORIENT(t.q, total);
  Table<RING> tb(w, o.range, ring);
  for (int64_t x : w) tb.add(x);
  winningBySize(tb, o, t.q, g, ring);
  return g;
}

// Minimal winning subsets of the positive players: each is counted once,
// through its lightest member j (ties by position), as a set T of heavier
// players with T + j winning and T losing, so Q - a_j <= w(T) <= Q - 1.
template <class RING>
void minimalSets(const Threshold& t, const std::vector<int>& pos, int64_t total, Profile& mn,
                 const RING& ring) {
  std::vector<int> order = pos;
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return t.weight[a] < t.weight[b]; });
  const Oriented o = ORIENT(t.q, total);
  Table<RING> tb(weightsOf(t, order), o.range, ring);
  int64_t wu = 0;  // weight of the players in the table
  for (int idx = static_cast<int>(order.size()) - 1; idx >= 0; --idx) {
    const int j = order[static_cast<std::size_t>(idx)];
    const int64_t aj = t.weight[j], x = t.q - aj, y = t.q - 1;
    const int u = tb.count();
    // Sets T of size s in the table (optionally holding player i of weight
    // a) with x <= w(T) <= y.
    auto window = [&](int s, int64_t a, bool holding) -> uint64_t {
      if (!holding) {
        return o.complement ? ring.sub(tb.at(u - s, wu - x), tb.at(u - s, wu - y - 1))
                            : ring.sub(tb.at(s, y), tb.at(s, x - 1));
      }
      if (s < 1) return 0;
      return o.complement ? ring.sub(tb.without(u - s, wu - x, a), tb.without(u - s, wu - y - 1, a))
                          : ring.sub(tb.without(s - 1, y - a, a), tb.without(s - 1, x - 1 - a, a));
    };
    for (int s = 0; s <= u; ++s) {
      const uint64_t c = window(s, 0, false);
      mn.all[s + 1] = ring.add(mn.all[s + 1], c);
      mn.with[j][s + 1] = ring.add(mn.with[j][s + 1], c);
    }
    for (int r = idx + 1; r < static_cast<int>(order.size()); ++r) {
      const int i = order[static_cast<std::size_t>(r)];
      for (int s = 1; s <= u; ++s)
        mn.with[i][s + 1] = ring.add(mn.with[i][s + 1], window(s, t.weight[i], true));
    }
    tb.add(aj);
    wu += aj;
  }
}

}  // namespace

std::size_t CELLS(const Threshold& t) {
  std::vector<int64_t> w;
  int64_t total = 0;
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0) {
      w.push_back(t.weight[p]);
      total += t.weight[p];
    }
  if (t.q <= 0 || t.q > total) return 0;
  return Table<fastcount::WRAP>::cells(w, ORIENT(t.q, total).range);
}

namespace {

// The players of positive weight into POS; their total weight.
int64_t positives(const Threshold& t, std::vector<int>& pos) {
  int64_t total = 0;
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0) {
      pos.push_back(p);
      total += t.weight[p];
    }
  return total;
}

}  // namespace

template <class RING>
void PROFILEBY(const Threshold& t, Profile& f, const RING& ring, const SIZEDLINE& sized) {
  std::vector<int> pos;
  const int64_t total = positives(t, pos);
  if (t.q <= 0 || t.q > total) {
    constant(t, t.q <= 0, f, nullptr, ring);
    return;
  }
  f = Profile(t.n, t.mm);
  const int m = static_cast<int>(pos.size()), z = t.n - m;
  std::vector<uint64_t> g;
  std::vector<char> positive(static_cast<std::size_t>(t.n) + 1);
  {
    std::vector<std::vector<uint64_t>> with;
    g = sized(pos, &with);
    withDummies(g, z, 0, f.all.data(), t.n, ring);
    for (std::size_t i = 0; i < pos.size(); ++i) {
      positive[pos[i]] = true;
      withDummies(with[i], z, 0, f.with[pos[i]].data(), t.n, ring);
    }
  }
  for (int p = 1; p <= t.n; ++p)
    if (!positive[p]) withDummies(g, z - 1, 1, f.with[p].data(), t.n, ring);

  for (int s = 1; s <= t.mm; ++s) {
    std::vector<int> rest;
    int zs = 0;
    for (int p = 1; p <= t.n; ++p)
      if (t.sub[p] == s && !positive[p]) ++zs;
    for (int p : pos)
      if (t.sub[p] != s) rest.push_back(p);
    if (rest.size() == pos.size())
      withDummies(g, z - zs, 0, f.without[s].data(), t.n, ring);
    else  // the subgame holds weighted players: count the others alone
      withDummies(sized(rest, nullptr), z - zs, 0, f.without[s].data(), t.n, ring);
  }
}

template void PROFILEBY(const Threshold&, Profile&, const fastcount::WRAP&, const SIZEDLINE&);
template void PROFILEBY(const Threshold&, Profile&, const fastcount::MODP&, const SIZEDLINE&);

template <class RING>
void COUNT(const Threshold& t, Profile& f, Profile* minimal, const RING& ring) {
  std::vector<int> pos;
  const int64_t total = positives(t, pos);
  if (t.q <= 0 || t.q > total) {
    constant(t, t.q <= 0, f, minimal, ring);
    return;
  }
  PROFILEBY(t, f, ring,
            [&](const std::vector<int>& players, std::vector<std::vector<uint64_t>>* with) {
              if (with == nullptr) return countOnly(t, players, ring);
              // Lightest first: the rows then reach their full width only late.
              std::vector<int> ascending = players;
              std::stable_sort(ascending.begin(), ascending.end(),
                               [&](int a, int b) { return t.weight[a] < t.weight[b]; });
              const Oriented o = ORIENT(t.q, total);
              Table<RING> tb(weightsOf(t, ascending), o.range, ring);
              std::size_t added = 0;
              for (int p : ascending) {
                tb.add(t.weight[p]);
                COUNTAT(0.8 * static_cast<double>(++added) / static_cast<double>(ascending.size()));
              }
              std::vector<uint64_t> g;
              winningBySize(tb, o, t.q, g, ring);
              with->assign(players.size(), {});
              for (std::size_t i = 0; i < players.size(); ++i)
                winningWith(tb, o, t.q, t.weight[players[i]], (*with)[i], ring);
              return g;
            });
  if (!minimal) return;
  *minimal = Profile(t.n, t.mm);
  minimalSets(t, pos, total, *minimal, ring);
}

template void COUNT(const Threshold&, Profile&, Profile*, const fastcount::WRAP&);
template void COUNT(const Threshold&, Profile&, Profile*, const fastcount::MODP&);

namespace {

// The count without sizes: CF[v] = subsets of the players added so far
// weighing at most v, for v = 0..R, and the same with one of them taken out
// again as the alternating sum CF[v] - CF[v-a] + CF[v-2a] - ...
template <class RING>
class Line {
 public:
  Line(int64_t range, const RING& ring)
      : ring_(ring), cf_(static_cast<std::size_t>(range < 0 ? 0 : range + 1), 1) {}
  void add(int64_t a) {
    uint64_t* cf = cf_.data();
    for (int64_t v = static_cast<int64_t>(cf_.size()) - 1; v >= a; --v)
      cf[v] = ring_.add(cf[v], cf[v - a]);
  }
  uint64_t at(int64_t v) const {
    return v < 0 ? 0 : cf_[static_cast<std::size_t>(std::min<int64_t>(v, last()))];
  }
  uint64_t without(int64_t v, int64_t a) const {
    uint64_t s = 0;
    for (int i = 0; v >= 0; ++i, v -= a) s = (i & 1) ? ring_.sub(s, at(v)) : ring_.add(s, at(v));
    return s;
  }

 private:
  int64_t last() const { return static_cast<int64_t>(cf_.size()) - 1; }
  const RING& ring_;
  std::vector<uint64_t> cf_;
};

// Winning sets among the positive players PLAYERS (weights summing to
// TOTAL), and per player those holding it (WITH, by position), as in
// winningBySize and winningWith.
template <class RING>
uint64_t lineCount(const Threshold& t, const std::vector<int>& players, std::vector<uint64_t>* with,
                   const RING& ring) {
  int64_t total = 0;
  for (int p : players) total += t.weight[p];
  const int m = static_cast<int>(players.size());
  if (with) with->assign(players.size(), 0);
  if (t.q > total) return 0;
  const Oriented o = ORIENT(t.q, total);
  Line<RING> line(o.range, ring);
  std::size_t added = 0;
  for (int p : players) {
    line.add(t.weight[p]);
    COUNTAT(0.9 * static_cast<double>(++added) / static_cast<double>(players.size()));
  }
  if (with)  // players of equal weight have equal counts
    for (std::size_t i = 0; i < players.size(); ++i) {
      const int64_t a = t.weight[players[i]];
      if (i > 0 && a == t.weight[players[i - 1]]) {
        (*with)[i] = (*with)[i - 1];
        continue;
      }
      (*with)[i] = o.complement ? line.without(o.range, a)
                                : ring.sub(ring.pow2(m - 1), line.without(t.q - 1 - a, a));
    }
  return o.complement ? line.at(o.range) : ring.sub(ring.pow2(m), line.at(t.q - 1));
}

}  // namespace

std::size_t LINECELLS(const Threshold& t) {
  int64_t total = 0;
  for (int p = 1; p <= t.n; ++p) total += t.weight[p] > 0 ? t.weight[p] : 0;
  if (t.q <= 0 || t.q > total) return 0;
  return static_cast<std::size_t>(ORIENT(t.q, total).range) + 1;
}

template <class RING>
void TOTALS(const Threshold& t, fastcount::Totals& f, const RING& ring) {
  sizetable::TOTALSBY(t, f, ring,
                      [&](const std::vector<int>& players, std::vector<uint64_t>* with,
                          const RING& rg) { return lineCount(t, players, with, rg); });
}

template void TOTALS(const Threshold&, fastcount::Totals&, const fastcount::WRAP&);
template void TOTALS(const Threshold&, fastcount::Totals&, const fastcount::MODP&);

Oriented ORIENT(int64_t q, int64_t total) {
  Oriented o;
  o.complement = total - q < q - 1;
  o.range = o.complement ? total - q : q - 1;
  return o;
}

}  // namespace sizetable
