#include "engines/exact/spatial_table.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "common/numbers.h"
#include "common/similarity.h"
#include "engines/exact/fast_counts.h"

namespace spatialtable {
namespace {

// Measured rates (one core of 2.6 GHz, bench/spatial_bench, CPU time):
// a cell of one table pass (a player joining one table, a table copied, a
// cell summed for a player) in about CELL_NS: players of weights 1..100 at
// half the total, 25 players 1.0e7 cells in 8.3 ms, 30 players 1.7e7 cells
// in 14 ms, 50 players 1.3e8 cells in 97 ms, 100 players 2.2e9 cells in
// 2.5 s; and every count sets up its distances and tree in about SETUP_NS
// per pair of players.
constexpr double CELL_NS = 0.8;
constexpr double SETUP_NS = 40.0;

// Quotas of a coalition size: no coalition of that size reaches NEVER,
// every one reaches ALWAYS (the overall threshold in members decides).
constexpr int64_t NEVER = int64_t{1} << 60;
constexpr int64_t ALWAYS = -NEVER;

using weightedwalk::Game;
using weightedwalk::WinCounts;

// The rule and the positions as the tables read them: coalition S of k
// members wins when its weight reaches quota(k).
struct Shape {
  int n = 0, mm = 0;
  std::vector<int64_t> weight;  // [p], 1..n
  std::vector<int> sub;         // [p]
  int64_t total = 0, q = 0;
  fastcount::SIZE size = fastcount::SIZE::NONE;
  int64_t t1 = 0;
  // The tables' weight cells 0..cap, the last for cap and more: of T
  // (up to the quota), or with COMPLEMENT of the players outside T
  // (up to the total less the quota, plus one).
  bool complement = false;
  int64_t cap = 0;
  std::vector<double> e;  // [i * (n + 1) + j]: distance over the largest

  int64_t quota(int k) const {
    switch (size) {
      case fastcount::SIZE::AND:
        return k >= t1 ? q : NEVER;
      case fastcount::SIZE::OR:
        return k >= t1 ? ALWAYS : q;
      case fastcount::SIZE::NONE:
        break;
    }
    return q;
  }
  double dist(int i, int j) const { return e[static_cast<std::size_t>(i) * (n + 1) + j]; }
  int width() const { return static_cast<int>(cap) + 1; }
};

// Why G is not counted here, or "" with S filled (the distances only with
// DISTANCES, the rest always).
const char* shapeOf(const Game& g, Shape& s, bool distances) {
  if (g.position == nullptr) return "not the spatial version";
  if (!weightedwalk::FITS(g)) return "the game does not fit its tables";
  if (!fastcount::MONOTONE(g)) return "a negative weight: the rule is not monotone";
  if (g.n > MAXPLAYERS) return "beyond 1000 players: its counts exceed a double";
  if (!fastcount::ASTHRESHOLD(g, s.weight, s.q))
    return "the rule is not one weighted threshold (several vote systems, the blocking minority "
           "or win sets binding different subgames)";
  s.n = g.n;
  s.mm = g.mm;
  s.sub.assign(g.sub.begin(), g.sub.begin() + g.n + 1);
  s.total = 0;
  for (int p = 1; p <= g.n; ++p) s.total += s.weight[p];
  // "The weight reaches q" keeps its meaning with q within 0..total + 1.
  s.q = std::clamp<int64_t>(s.q, 0, s.total + 1);
  s.size = fastcount::SIZERULE(g);
  s.t1 = g.t1;
  s.complement = s.total - s.q + 1 < s.q;
  s.cap = s.complement ? s.total - s.q + 1 : s.q;
  if (distances) {
    const std::size_t row = static_cast<std::size_t>(g.n) + 1;
    s.e.assign(row * row, 0.0);
    for (int i = 1; i <= g.n; ++i)
      for (int j = 1; j < i; ++j) {
        const double d =
            DIST(*g.position, static_cast<uint16_t>(i), static_cast<uint16_t>(j), g.ntheme, 2) /
            g.distmax;
        s.e[i * row + j] = s.e[j * row + i] = d;
      }
  }
  return "";
}

// The divide and conquer over the players: subgames whole (their nodes
// give the coalitions without the subgame), each halved down to single
// players. A node is the range [lo, hi) of ORDER.
struct Node {
  int lo = 0, hi = 0, sub = 0, left = -1, right = -1;
};
struct Tree {
  std::vector<int> order;  // the players, subgame by subgame
  std::vector<Node> nodes;
  int root = -1;
};

int playersNode(Tree& t, int lo, int hi, int sub) {
  const int at = static_cast<int>(t.nodes.size());
  t.nodes.push_back({lo, hi, sub, -1, -1});
  if (hi - lo > 1) {
    const int mid = lo + (hi - lo) / 2;
    const int left = playersNode(t, lo, mid, 0);
    const int right = playersNode(t, mid, hi, 0);
    t.nodes[at].left = left;
    t.nodes[at].right = right;
  }
  return at;
}

struct Block {
  int lo, hi, sub;
};
int blocksNode(Tree& t, const std::vector<Block>& b, int b0, int b1) {
  if (b1 - b0 == 1) return playersNode(t, b[b0].lo, b[b0].hi, b[b0].sub);
  // Halves of about equal numbers of players.
  int split = b0 + 1;
  for (int m = b0 + 1; m < b1; ++m) {
    const auto gap = [&](int at) {
      return std::abs((b[at].lo - b[b0].lo) - (b[b1 - 1].hi - b[at].lo));
    };
    if (gap(m) < gap(split)) split = m;
  }
  const int at = static_cast<int>(t.nodes.size());
  t.nodes.push_back({b[b0].lo, b[b1 - 1].hi, 0, -1, -1});
  const int left = blocksNode(t, b, b0, split);
  const int right = blocksNode(t, b, split, b1);
  t.nodes[at].left = left;
  t.nodes[at].right = right;
  return at;
}

Tree treeOf(const Shape& s) {
  Tree t;
  std::vector<Block> blocks;
  for (int sg = 1; sg <= s.mm; ++sg) {
    const int lo = static_cast<int>(t.order.size());
    for (int p = 1; p <= s.n; ++p)
      if (s.sub[p] == sg) t.order.push_back(p);
    if (static_cast<int>(t.order.size()) > lo)
      blocks.push_back({lo, static_cast<int>(t.order.size()), sg});
  }
  t.root = blocksNode(t, blocks, 0, static_cast<int>(blocks.size()));
  return t;
}

// A window of weights as the cells that hold it: the subsets T of the
// players counted (weighing W together) with LO <= w(T) <= HI, either
// bound beyond the range of weights for none. The quotas are such that a
// finite upper bound stays below the last cell ("cap and more"), and
// likewise for the weights left out of T.
struct Span {
  int64_t from = 0, to = -1;
};
Span spanOf(const Shape& s, int64_t W, int64_t lo, int64_t hi) {
  lo = std::max<int64_t>(lo, 0);
  hi = std::min(hi, W);
  if (lo > hi) return {};
  if (!s.complement) return {lo, std::min(hi, s.cap)};
  return {W - hi, std::min(W - lo, s.cap)};
}

// X gains a player of weight A: X[k] += X[k-1] (+ COEF EXTRA[k-1]) with it
// in T, rows 0..O in use before, cells 0..HI in use after.
void join(double* x, const double* extra, double coef, int o, int width, const Shape& s, int64_t a,
          int64_t hi) {
  const int64_t cap = s.cap, top = std::min(hi, cap - 1);
  if (!s.complement) {
    for (int k = o + 1; k >= 1; --k) {
      double* dst = x + static_cast<std::size_t>(k) * width;
      const double* src = dst - width;
      const double* ex =
          extra != nullptr ? extra + static_cast<std::size_t>(k - 1) * width : nullptr;
      if (ex != nullptr)
        for (int64_t b = a; b <= top; ++b) dst[b] += src[b - a] + coef * ex[b - a];
      else
        for (int64_t b = a; b <= top; ++b) dst[b] += src[b - a];
      if (hi == cap) {  // the last cell gains all that reaches it
        double sum = 0;
        for (int64_t b = std::max<int64_t>(cap - a, 0); b <= cap; ++b)
          sum += src[b] + (ex != nullptr ? coef * ex[b] : 0.0);
        dst[cap] += sum;
      }
    }
    return;
  }
  // Kept by the weight left out of T: the player left out shifts the row,
  // the player in T moves the row up a size.
  for (int k = o + 1; k >= 0; --k) {
    double* dst = x + static_cast<std::size_t>(k) * width;
    if (a > 0) {
      double last = 0;
      if (hi == cap)
        for (int64_t u = std::max<int64_t>(cap - a, 0); u <= cap; ++u) last += dst[u];
      for (int64_t u = top; u >= a; --u) dst[u] = dst[u - a];
      for (int64_t u = std::min(a - 1, top); u >= 0; --u) dst[u] = 0;
      if (hi == cap) dst[cap] = last;
    }
    if (k == 0) continue;
    const double* src = dst - width;
    const double* ex = extra != nullptr ? extra + static_cast<std::size_t>(k - 1) * width : nullptr;
    if (ex != nullptr)
      for (int64_t u = 0; u <= hi; ++u) dst[u] += src[u] + coef * ex[u];
    else
      for (int64_t u = 0; u <= hi; ++u) dst[u] += src[u];
  }
}

// The count, or with DRY only its cost: the cells it passes and the bytes
// it holds at the most.
class Counter {
 public:
  Counter(const Shape& s, const Tree& t, bool dry) : s_(s), t_(t), dry_(dry), width_(s.width()) {}

  double cells = 0;
  std::size_t peak = 0;

  void run(WinCounts& c) {
    c_ = &c;
    avoid_.assign(static_cast<std::size_t>(s_.mm) + 1, 0.0);
    del_.assign(static_cast<std::size_t>(s_.n) + 1, 0.0);
    for (int k = 1; k <= s_.n; ++k)
      del_[k] = 1.0 / (NCR(static_cast<uint16_t>(s_.n), static_cast<uint16_t>(k)) * k);
    State root;
    const Node& r = t_.nodes[static_cast<std::size_t>(t_.root)];
    root.pending.assign(t_.order.begin() + r.lo, t_.order.begin() + r.hi);
    allocate(root, 1);
    if (!dry_) root.P[0] = 1;  // the empty set
    descend(t_.root, root);
    if (dry_) return;
    // With a member of subgame s: every winning coalition but those
    // without any.
    std::vector<char> has(static_cast<std::size_t>(s_.mm) + 1, 0);
    for (int p = 1; p <= s_.n; ++p) has[static_cast<std::size_t>(s_.sub[p])] = 1;
    for (int sg = 1; sg <= s_.mm; ++sg) c.sub[sg] = has[sg] ? c.dist1 - avoid_[sg] : 0.0;
  }

 private:
  // The tables of the players outside a node (O of them, weighing WOUT):
  // P, F, and R for each player of PENDING; ROWS rows of room.
  struct State {
    int o = 0, rows = 0;
    int64_t wout = 0;
    std::vector<double> P, F;
    std::vector<int> pending;
    std::vector<std::vector<double>> R;
  };

  std::size_t tableBytes(int rows) const {
    return static_cast<std::size_t>(rows) * width_ * sizeof(double);
  }
  void hold(std::ptrdiff_t bytes) {
    live_ = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(live_) + bytes);
    peak = std::max(peak, live_);
  }

  // Room for ROWS rows in every table of ST.
  void allocate(State& st, int rows) {
    const int old = st.rows;
    const std::size_t tables = 2 + st.pending.size();
    hold(static_cast<std::ptrdiff_t>(tables * tableBytes(rows)));  // while both are held
    hold(-static_cast<std::ptrdiff_t>(tables * tableBytes(old)));
    st.rows = rows;
    if (dry_) return;
    const std::size_t size = static_cast<std::size_t>(rows) * width_;
    st.P.resize(size);
    st.F.resize(size);
    st.R.resize(st.pending.size());
    for (auto& r : st.R) r.resize(size);
  }

  // Player Y joins the players outside.
  void add(State& st, int y) {
    const auto at = static_cast<std::size_t>(std::find(st.pending.begin(), st.pending.end(), y) -
                                             st.pending.begin());
    const int64_t a = s_.weight[y];
    const int64_t hi = std::min(s_.cap, st.wout + a);
    cells += static_cast<double>(st.o + 2) * static_cast<double>(hi + 1) *
             static_cast<double>(st.pending.size() + 1);
    if (!dry_) {
      for (std::size_t i = 0; i < st.pending.size(); ++i)
        if (i != at)
          join(st.R[i].data(), st.P.data(), s_.dist(st.pending[i], y), st.o, width_, s_, a, hi);
      join(st.F.data(), st.R[at].data(), 1.0, st.o, width_, s_, a, hi);
      join(st.P.data(), nullptr, 0.0, st.o, width_, s_, a, hi);
      st.R.erase(st.R.begin() + static_cast<std::ptrdiff_t>(at));
    }
    st.pending.erase(st.pending.begin() + static_cast<std::ptrdiff_t>(at));
    hold(-static_cast<std::ptrdiff_t>(tableBytes(st.rows)));
    ++st.o;
    st.wout += a;
  }

  void addRange(State& st, const Node& n) {
    for (int i = n.lo; i < n.hi; ++i) add(st, t_.order[static_cast<std::size_t>(i)]);
  }

  void descend(int at, State& st) {
    const Node n = t_.nodes[static_cast<std::size_t>(at)];
    if (n.sub != 0) avoid_[static_cast<std::size_t>(n.sub)] = without(st);
    if (n.left < 0) {
      leaf(t_.order[static_cast<std::size_t>(n.lo)], st);
      return;
    }
    const Node& l = t_.nodes[static_cast<std::size_t>(n.left)];
    const Node& r = t_.nodes[static_cast<std::size_t>(n.right)];
    const int rowsLeft = s_.n - (l.hi - l.lo) + 1, rowsRight = s_.n - (r.hi - r.lo) + 1;
    {
      // The left half: a copy, with the right half added.
      State left;
      left.o = st.o;
      left.wout = st.wout;
      left.pending = st.pending;
      allocate(left, rowsLeft);
      cells += static_cast<double>(st.o + 1) * width_ * static_cast<double>(st.pending.size() + 2);
      if (!dry_) {
        const std::size_t used = static_cast<std::size_t>(st.o + 1) * width_;
        std::copy_n(st.P.begin(), used, left.P.begin());
        std::copy_n(st.F.begin(), used, left.F.begin());
        for (std::size_t i = 0; i < st.R.size(); ++i)
          std::copy_n(st.R[i].begin(), used, left.R[i].begin());
      }
      addRange(left, r);
      descend(n.left, left);
      hold(-static_cast<std::ptrdiff_t>((2 + left.pending.size()) * tableBytes(left.rows)));
    }
    // The right half: this node's own tables, with the left half added.
    allocate(st, rowsRight);
    addRange(st, l);
    descend(n.right, st);
  }

  // Sums over the cells of SP in row K: the subsets, and the sum of their
  // pair distances with those to EXTRA's player.
  struct Sums {
    double count = 0, pairs = 0;
  };
  Sums sums(const State& st, const double* extra, int k, Span sp) {
    Sums out;
    if (sp.from > sp.to) return out;
    cells += static_cast<double>(sp.to - sp.from + 1);
    if (dry_) return out;
    const std::size_t row = static_cast<std::size_t>(k) * width_;
    for (int64_t b = sp.from; b <= sp.to; ++b) {
      out.count += st.P[row + b];
      out.pairs += st.F[row + b] + (extra != nullptr ? extra[row + b] : 0.0);
    }
    return out;
  }
  // The similarity sum of subsets of K members.
  static double similarity(const Sums& x, int k) {
    return x.count - 2.0 / (static_cast<double>(k) * (k - 1)) * x.pairs;
  }

  // The similarity of the winning coalitions among the players outside
  // (those without any member of a subgame, at its node).
  double without(const State& st) {
    double sum = 0;
    for (int k = 2; k <= st.o; ++k)
      sum += similarity(sums(st, nullptr, k, spanOf(s_, st.wout, s_.quota(k), NEVER)), k);
    return sum;
  }

  // Player P, with the tables of every other player: the coalitions S
  // that contain it from T = S - P.
  void leaf(int p, const State& st) {
    if (!dry_) COUNTAT(static_cast<double>(leaves_) / s_.n);
    const double* e = dry_ ? nullptr : st.R.front().data();
    const int64_t wp = s_.weight[p], W = st.wout;
    double value = 0, with = 0;
    for (int k = 2; k <= s_.n; ++k) {
      const int64_t qk = s_.quota(k), before = s_.quota(k - 1);
      with += similarity(sums(st, e, k - 1, spanOf(s_, W, qk - wp, NEVER)), k);
      const Sums swing = sums(st, e, k - 1, spanOf(s_, W, qk - wp, before - 1));
      value += del_[k] * similarity(swing, k);
    }
    if (!dry_) {
      c_->value[p] = value;
      c_->with[p] = with;
    }
    if (leaves_++ == 0) totals(p, st, e);
  }

  // The winning coalitions and the similarity sums of the winning and the
  // losing ones, from the first player's tables: those with it, then those
  // without it.
  void totals(int p, const State& st, const double* e) {
    const int64_t wp = s_.weight[p], W = st.wout;
    double wins = 0, dist1 = 0, dist0 = 0;
    for (int k = 1; k <= s_.n; ++k) {
      const int64_t qk = s_.quota(k);
      const Sums win = sums(st, e, k - 1, spanOf(s_, W, qk - wp, NEVER));
      wins += win.count;
      if (k < 2) continue;
      dist1 += similarity(win, k);
      dist0 += similarity(sums(st, e, k - 1, spanOf(s_, W, ALWAYS, qk - wp - 1)), k);
    }
    for (int k = 1; k < s_.n; ++k) {
      const int64_t qk = s_.quota(k);
      const Sums win = sums(st, nullptr, k, spanOf(s_, W, qk, NEVER));
      wins += win.count;
      if (k < 2) continue;
      dist1 += similarity(win, k);
      dist0 += similarity(sums(st, nullptr, k, spanOf(s_, W, ALWAYS, qk - 1)), k);
    }
    if (dry_) return;
    c_->wins = wins;
    c_->dist1 = dist1;
    c_->dist0 = dist0;
  }

  const Shape& s_;
  const Tree& t_;
  const bool dry_;
  const int width_;
  WinCounts* c_ = nullptr;
  std::vector<double> avoid_, del_;
  std::size_t live_ = 0;
  int leaves_ = 0;
};

// The distances' and the tree's bytes beside the tables.
std::size_t fixedBytes(int n) {
  const std::size_t row = static_cast<std::size_t>(n) + 1;
  return row * row * sizeof(double) + row * 64;
}

}  // namespace

COSTTYP COST(const weightedwalk::Game& G, std::size_t BUDGET) {
  COSTTYP cost;
  Shape s;
  cost.WHY = shapeOf(G, s, false);
  if (*cost.WHY != '\0') return cost;
  const Tree t = treeOf(s);
  Counter dry(s, t, true);
  WinCounts none(0, 0);
  dry.run(none);
  cost.BYTES = dry.peak + fixedBytes(s.n);
  cost.SECONDS = (dry.cells * CELL_NS + static_cast<double>(s.n) * s.n * SETUP_NS) * 1e-9;
  cost.APPLIES = BUDGET == 0 || cost.BYTES <= BUDGET;
  if (!cost.APPLIES) cost.WHY = "its tables exceed the memory";
  return cost;
}

int COUNT(const weightedwalk::Game& G, weightedwalk::WinCounts& C, std::size_t BUDGET,
          const CONTROLTYP* CONTROL) {
  if (!COST(G, BUDGET).APPLIES) return 0;
  try {
    auto s = std::make_unique<Shape>();
    shapeOf(G, *s, true);
    const Tree t = treeOf(*s);
    WinCounts out(G.n, G.mm);
    const CONTROLSCOPE scope(CONTROL);
    Counter(*s, t, false).run(out);
    C = std::move(out);
    return 1;
  } catch (const COUNTSTOPPED&) {
    return -1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // namespace spatialtable
