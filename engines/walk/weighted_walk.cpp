#include "engines/walk/weighted_walk.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <numeric>
#include <vector>

#include "common/numbers.h"
#include "common/similarity.h"

namespace weightedwalk {
namespace {

inline uint64_t bit(int i) { return uint64_t{1} << i; }

constexpr int WALKSUBGAMES = 63;  // subgames of a walk: bits 1..63 of a set

// The walk's working state: the current coalition with its sums per subgame
// and vote system, kept up to date by INCREASE instead of being recomputed,
// on the game's rule in flat arrays. VS, the number of vote systems, is a
// constant of each instance so that the loops over the systems unroll.
template <int VS>
struct Walk {
  const Rule r;
  const bool track;  // keep perm up to date (for a visitor or the similarity)
  PERMTYP perm{};
  uint64_t members = 0;  // bit p-1 set for each member p
  int kk = 0;            // number of members
  // [(s-1)*vs + k]; held in the walk itself, where the compiler sees that
  // its stores touch none of the other fields.
  int64_t sums[WALKSUBGAMES * MAXSYS] = {};
  int64_t oversum = 0;  // primary-system votes of the members, all subgames

  // Blocking rule: system-1 votes outside the coalition, and the outsiders
  // as a bit set over the players ranked by their system-1 weight, so that
  // the smallest outside weight is the lowest set bit.
  int64_t artsum = 0;
  uint64_t outsideRanks = 0;
  std::vector<int> rank;
  std::vector<int64_t> byRank;

  // Of a winning coalition, per win set t the subgames (bit s-1) where it
  // falls short: a member's leaving changes only its own subgame's sums, so
  // the swing tests need only look there.
  std::vector<uint64_t> shortOf;

  Walk(const Game& game, bool tracked)
      : r(game),
        track(tracked),
        rank(static_cast<std::size_t>(r.n) + 1),
        byRank(static_cast<std::size_t>(r.n)),
        shortOf(static_cast<std::size_t>(r.thres) + 1) {
    for (int p = 1; p <= r.n && p <= MAXACTOR; ++p) perm[p] = false;
    if (r.block) {
      std::vector<int> order(static_cast<std::size_t>(r.n));
      std::iota(order.begin(), order.end(), 1);
      std::stable_sort(order.begin(), order.end(),
                       [&](int a, int b) { return r.second(a) < r.second(b); });
      for (int i = 0; i < r.n; ++i) {
        rank[order[i]] = i;
        byRank[i] = r.second(order[i]);
        artsum += byRank[i];
      }
      outsideRanks = bit(r.n) - 1;  // everybody starts outside
    }
  }

  int64_t* cell(int p) { return sums + static_cast<std::size_t>(r.sub[p] - 1) * VS; }

  void join(int p) {
    if (track && p <= MAXACTOR) perm[p] = true;
    members |= bit(p - 1);
    ++kk;
    int64_t* x = cell(p);
    const int64_t* wp = r.weights(p);
    for (int k = 0; k < VS; ++k) x[k] += wp[k];
    oversum += wp[0];
    if (VS > 1 && r.block) {
      artsum -= wp[1];
      outsideRanks &= ~bit(rank[p]);
    }
  }

  void leave(int p) {
    if (track && p <= MAXACTOR) perm[p] = false;
    members &= ~bit(p - 1);
    --kk;
    int64_t* x = cell(p);
    const int64_t* wp = r.weights(p);
    for (int k = 0; k < VS; ++k) x[k] -= wp[k];
    oversum -= wp[0];
    if (VS > 1 && r.block) {
      artsum += wp[1];
      outsideRanks |= bit(rank[p]);
    }
  }

  // Next coalition in binary counting order, player 1 the lowest digit: the
  // members from player 1 up are carried out until a non-member joins. Never
  // called on the grand coalition.
  void INCREASE() {
    int i = 1;
    while (members & bit(i - 1)) leave(i++);
    join(i);
  }

  int64_t least(uint64_t outside) const {
    return outside != 0 ? byRank[std::countr_zero(outside)] : INT64_MAX;
  }

  bool meets() const {
    for (int t = 1; t <= r.thres; ++t) {
      const int64_t* m = r.need.data() + static_cast<std::size_t>(t - 1) * r.mm * VS;
      bool all = true;
      for (int i = 0, e = r.mm * VS; i < e && all; i += VS)
        for (int k = 0; k < VS; ++k) all = all && sums[i + k] >= m[i + k];
      if (all) return true;
    }
    return false;
  }

  bool wins() const {
    return r.DECIDE(meets(), kk, oversum, r.block && r.BLOCKED(artsum, least(outsideRanks)));
  }

  // Before the swing tests on a winning coalition: where it falls short of
  // each win set.
  void prepareSwings() {
    constexpr int vs = VS;
    for (int t = 1; t <= r.thres; ++t) {
      const int64_t* m = r.need.data() + static_cast<std::size_t>(t - 1) * r.cells();
      uint64_t shortSet = 0;
      for (int s = 0; s < r.mm; ++s)
        for (int k = 0; k < vs; ++k)
          if (sums[s * vs + k] < m[s * vs + k]) {
            shortSet |= bit(s);
            break;
          }
      shortOf[t] = shortSet;
    }
  }

  // Whether the coalition still wins when member P leaves it (after
  // prepareSwings).
  bool winsWithout(int p) const {
    const int s = r.sub[p] - 1;
    constexpr int vs = VS;
    const uint64_t others = ~bit(s);
    const int64_t* x = sums + static_cast<std::size_t>(s) * vs;
    const int64_t* wp = r.weights(p);
    bool sets = false;
    for (int t = 1; t <= r.thres && !sets; ++t) {
      if (shortOf[t] & others) continue;
      const int64_t* m = r.need.data() + static_cast<std::size_t>(t - 1) * r.cells() +
                         static_cast<std::size_t>(s) * vs;
      sets = true;
      for (int k = 0; k < vs; ++k)
        if (x[k] - wp[k] < m[k]) {
          sets = false;
          break;
        }
    }
    const bool isBlocked =
        VS > 1 && r.block && r.BLOCKED(artsum + wp[1], least(outsideRanks | bit(rank[p])));
    return r.DECIDE(sets, kk - 1, oversum - wp[0], isBlocked);
  }
};

// Whether the walk can take the game: its coalition is a 64-bit set, its
// subgames touched another, and what it shows a visitor or the similarity is
// the program's coalition table.
bool walkable(const Game& g, const Visitor* visitor) {
  if (g.n > WALKMAX || g.mm > WALKSUBGAMES) return false;
  return g.n <= MAXACTOR || (visitor == nullptr && g.position == nullptr);
}

}  // namespace

bool FITS(const Game& g) {
  if (g.n < 1 || g.n >= static_cast<int>(g.sub.size()) || g.mm < 1) return false;
  if (g.thres < 0 || g.thres > MAXWINSET || g.vs < 1 || g.vs > MAXSYS) return false;
  for (int k = 0; k < g.vs; ++k) {
    if (static_cast<int>(g.w[k].size()) <= g.n) return false;
    for (int t = 0; t <= g.thres; ++t)
      if (static_cast<int>(g.m[k][t].size()) <= g.mm) return false;
  }
  if (g.block && g.vs < 2) return false;
  for (int p = 1; p <= g.n; ++p)
    if (g.sub[p] < 1 || g.sub[p] > g.mm) return false;
  return true;
}

Rule::Rule(const Game& g)
    : n(g.n),
      mm(g.mm),
      vs(g.vs),
      thres(g.thres),
      sub(g.sub.begin(), g.sub.begin() + g.n + 1),
      w(static_cast<std::size_t>(g.n + 1) * g.vs),
      need(static_cast<std::size_t>(g.thres) * g.mm * g.vs),
      overall(g.overall),
      overt(g.overt),
      t1(g.t1),
      block(g.block),
      blockThres(g.blockThres) {
  for (int p = 1; p <= n; ++p)
    for (int k = 0; k < vs; ++k) w[static_cast<std::size_t>(p) * vs + k] = g.w[k][p];
  for (int t = 1; t <= thres; ++t)
    for (int s = 1; s <= mm; ++s)
      for (int k = 0; k < vs; ++k)
        need[(static_cast<std::size_t>(t - 1) * mm + (s - 1)) * vs + k] = g.m[k][t][s];
}

bool EMPTYWINS(const Game& g) {
  const Rule r(g);
  const std::vector<int64_t> zero(static_cast<std::size_t>(r.cells()));
  int64_t outside = 0, leastWeight = INT64_MAX;
  if (r.block)
    for (int p = 1; p <= r.n; ++p) {
      outside += r.second(p);
      leastWeight = std::min(leastWeight, r.second(p));
    }
  return r.DECIDE(r.MEETS(zero.data()), 0, 0, r.BLOCKED(outside, leastWeight));
}

namespace {

// Weight of a swing in a coalition of k members: (k-1)!(n-k)!/n!.
double swingWeight(int n, int k) {
  return 1.0 / (NCR(static_cast<uint16_t>(n), static_cast<uint16_t>(k)) * k);
}

}  // namespace

double SHAPLEYVALUE(int N, const uint64_t* SWINGSBYSIZE) {
  double v = 0;
  for (int k = 1; k <= N; ++k)
    if (SWINGSBYSIZE[k] != 0) v += static_cast<double>(SWINGSBYSIZE[k]) * swingWeight(N, k);
  return v;
}

double SIZESHARE(int N, const uint64_t* BYSIZE) {
  double v = 0;
  for (int k = 1; k <= N; ++k)
    if (BYSIZE[k] != 0) v += static_cast<double>(BYSIZE[k]) / k;
  return v;
}

namespace {

template <int VS>
void shapleyWalk(const Game& g, WinCounts& c, const Visitor* visitor) {
  const std::size_t row = static_cast<std::size_t>(g.n) + 1;
  std::vector<double> del(row);
  for (int k = 1; k <= g.n; ++k) del[k] = swingWeight(g.n, k);
  // Swings by player and coalition size ([p*row + size]), turned into values
  // at the end (SHAPLEYVALUE) rather than summed as they come: exact, and the
  // same sum as the fast counting's. The spatial version sums similarity
  // weights.
  std::vector<uint64_t> bySize(row * row);
  const bool spatial = g.position != nullptr;
  auto* every = visitor ? visitor->every : nullptr;
  auto* listed = visitor ? visitor->listed : nullptr;
  void* ctx = visitor ? visitor->ctx : nullptr;

  Walk<VS> w(g, visitor != nullptr || spatial);
  const int* sub = w.r.sub.data();
  double* with = c.with.data();
  for (;;) {
    w.INCREASE();
    if (every) every(ctx, w.perm);
    const bool win = w.wins();
    double sim = 1.0;
    if (spatial)
      sim = DIST_KOAL(w.perm, *g.position, static_cast<uint16_t>(g.n), static_cast<uint16_t>(w.kk),
                      g.ntheme, g.distmax);
    if (win) {
      c.wins += 1.0;
      if (listed) listed(ctx, w.perm, c.wins);
      if (spatial) c.dist1 += sim;
      w.prepareSwings();
      uint64_t colpiv = 0;
      const double swing = del[w.kk] * sim;
      uint64_t* sized = bySize.data() + w.kk;
      for (uint64_t rest = w.members; rest != 0; rest &= rest - 1) {
        const int p = std::countr_zero(rest) + 1;
        colpiv |= uint64_t{1} << sub[p];
        with[p] += sim;
        if (w.winsWithout(p)) continue;
        if (spatial)
          c.value[p] += swing;
        else
          ++sized[p * row];
      }
      for (int s = 1; s <= g.mm; ++s)
        if (colpiv & (uint64_t{1} << s)) c.sub[s] += sim;
    } else if (spatial) {
      c.dist0 += sim;
    }
    if (w.kk == g.n) break;
  }
  if (!spatial)
    for (int p = 1; p <= g.n; ++p) c.value[p] = SHAPLEYVALUE(g.n, bySize.data() + p * row);
}

template <int VS>
void publicGoodWalk(const Game& g, MinimalCounts& c, const Visitor* visitor) {
  const std::size_t row = static_cast<std::size_t>(g.n) + 1;
  std::vector<uint64_t> bySize(row * row);  // [p*row + size], as in SHAPLEY_CORE
  auto* every = visitor ? visitor->every : nullptr;
  auto* listed = visitor ? visitor->listed : nullptr;
  void* ctx = visitor ? visitor->ctx : nullptr;

  Walk<VS> w(g, visitor != nullptr);
  for (;;) {
    w.INCREASE();
    if (every) every(ctx, w.perm);
    if (w.wins()) {
      w.prepareSwings();
      bool minimal = true;
      for (uint64_t rest = w.members; rest != 0 && minimal; rest &= rest - 1)
        if (w.winsWithout(std::countr_zero(rest) + 1)) minimal = false;
      if (minimal) {
        c.minimal += 1.0;
        if (listed) listed(ctx, w.perm, c.minimal);
        uint64_t* sized = bySize.data() + w.kk;
        for (uint64_t rest = w.members; rest != 0; rest &= rest - 1) {
          const int p = std::countr_zero(rest) + 1;
          c.with[p] += 1.0;
          ++sized[p * row];
        }
      }
    }
    if (w.kk == g.n) break;
  }
  for (int p = 1; p <= g.n; ++p) c.share[p] = SIZESHARE(g.n, bySize.data() + p * row);
}

}  // namespace

bool SHAPLEY_CORE(const Game& g, WinCounts& c, const Visitor* visitor) {
  c = WinCounts(g.n, g.mm);
  if (!walkable(g, visitor)) return false;
  // One instance per number of vote systems.
  static_assert(MAXSYS == 4);
  static void (*const walks[MAXSYS])(const Game&, WinCounts&, const Visitor*) = {
      shapleyWalk<1>, shapleyWalk<2>, shapleyWalk<3>, shapleyWalk<4>};
  walks[g.vs - 1](g, c, visitor);
  return true;
}

bool PUBLICGOOD_CORE(const Game& g, MinimalCounts& c, const Visitor* visitor) {
  c = MinimalCounts(g.n);
  if (!walkable(g, visitor)) return false;
  static void (*const walks[MAXSYS])(const Game&, MinimalCounts&, const Visitor*) = {
      publicGoodWalk<1>, publicGoodWalk<2>, publicGoodWalk<3>, publicGoodWalk<4>};
  walks[g.vs - 1](g, c, visitor);
  return true;
}

}  // namespace weightedwalk
