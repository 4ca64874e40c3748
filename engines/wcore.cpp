#include "engines/wcore.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <vector>

#include "common/numbers.h"
#include "common/similarity.h"

namespace wcore {
namespace {

inline uint64_t bit(int i) { return uint64_t{1} << i; }

// The walk's working state: the current coalition with its sums per vote
// system and subgame, kept up to date by INCREASE instead of being
// recomputed.
struct Walk {
  const Game& g;
  PERMTYP perm{};
  uint64_t members = 0;  // bit p-1 set for each member p
  int kk = 0;            // number of members
  std::vector<std::vector<int64_t>> v;
  int64_t oversum = 0;  // primary-system votes of the members, all subgames

  // Blocking rule: system-1 votes outside the coalition, and the outsiders
  // as a bit set over the players ranked by their system-1 weight, so that
  // the smallest outside weight is the lowest set bit.
  int64_t artsum = 0;
  uint64_t outsideRanks = 0;
  std::vector<int> rank;
  std::vector<int64_t> byRank;

  explicit Walk(const Game& game)
      : g(game),
        v(MAXSYS, std::vector<int64_t>(static_cast<std::size_t>(game.mm) + 1)),
        rank(static_cast<std::size_t>(game.n) + 1),
        byRank(static_cast<std::size_t>(game.n)) {
    for (int p = 1; p <= g.n && p <= MAXACTOR; ++p) perm[p] = false;
    if (g.block) {
      std::vector<int> order(static_cast<std::size_t>(g.n));
      std::iota(order.begin(), order.end(), 1);
      std::stable_sort(order.begin(), order.end(),
                       [&](int a, int b) { return g.w[1][a] < g.w[1][b]; });
      for (int r = 0; r < g.n; ++r) {
        rank[order[r]] = r;
        byRank[r] = g.w[1][order[r]];
        artsum += g.w[1][order[r]];
      }
      outsideRanks = bit(g.n) - 1;  // everybody starts outside
    }
  }

  void join(int p) {
    if (p <= MAXACTOR) perm[p] = true;
    members |= bit(p - 1);
    ++kk;
    const int s = g.sub[p];
    for (int k = 0; k < g.vs; ++k) v[k][s] += g.w[k][p];
    oversum += g.w[0][p];
    if (g.block) {
      artsum -= g.w[1][p];
      outsideRanks &= ~bit(rank[p]);
    }
  }

  void leave(int p) {
    if (p <= MAXACTOR) perm[p] = false;
    members &= ~bit(p - 1);
    --kk;
    const int s = g.sub[p];
    for (int k = 0; k < g.vs; ++k) v[k][s] -= g.w[k][p];
    oversum -= g.w[0][p];
    if (g.block) {
      artsum += g.w[1][p];
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

  bool meetsWinSet() const {
    for (int t = 1; t <= g.thres; ++t) {
      bool ok = true;
      for (int k = 0; k < g.vs && ok; ++k)
        for (int s = 1; s <= g.mm; ++s)
          if (v[k][s] < g.m[k][t][s]) {
            ok = false;
            break;
          }
      if (ok) return true;
    }
    return false;
  }

  // Blocked when the outsiders' system-1 votes, less the smallest of their
  // total and their single weights, exceed the blocking threshold.
  bool blocked(int64_t outsideSum, uint64_t outside) const {
    int64_t smallest = outsideSum;
    if (outside != 0) smallest = std::min(smallest, byRank[std::countr_zero(outside)]);
    return outsideSum - smallest > g.blockThres;
  }

  bool decide(bool sets, int64_t count, int64_t votes, bool isBlocked) const {
    bool win = sets;
    if (g.overall == 1) {
      if ((g.overt == 0 && count < g.t1) || (g.overt == 1 && votes < g.t1)) win = false;
    } else if (g.overall == 2) {
      if ((g.overt == 0 && count >= g.t1) || (g.overt == 1 && votes >= g.t1)) win = true;
    }
    if (isBlocked) win = false;
    return win;
  }

  bool wins() const {
    return decide(meetsWinSet(), kk, oversum, g.block && blocked(artsum, outsideRanks));
  }

  // Whether the coalition still wins when member P leaves it.
  bool winsWithout(int p) {
    const int s = g.sub[p];
    for (int k = 0; k < g.vs; ++k) v[k][s] -= g.w[k][p];
    const bool sets = meetsWinSet();
    for (int k = 0; k < g.vs; ++k) v[k][s] += g.w[k][p];
    const bool isBlocked = g.block && blocked(artsum + g.w[1][p], outsideRanks | bit(rank[p]));
    return decide(sets, kk - 1, oversum - g.w[0][p], isBlocked);
  }
};

// Whether the walk can take the game: its coalition is a 64-bit set, its
// subgames touched another, and what it shows a visitor or the similarity is
// the program's coalition table.
bool walkable(const Game& g, const Visitor* visitor) {
  if (g.n > WALKMAX || g.mm > 63) return false;
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

bool EMPTYWINS(const Game& g) { return Walk(g).wins(); }

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

bool SHAPLEY_CORE(const Game& g, WinCounts& c, const Visitor* visitor) {
  c = WinCounts(g.n, g.mm);
  if (!walkable(g, visitor)) return false;
  std::vector<double> del(static_cast<std::size_t>(g.n) + 1);
  for (int k = 1; k <= g.n; ++k) del[k] = swingWeight(g.n, k);
  // Swings by player and coalition size, turned into values at the end
  // (SHAPLEYVALUE) rather than summed as they come: exact, and the same sum
  // as the fast counting's. The spatial version sums similarity weights.
  std::vector<std::vector<uint64_t>> bySize(
      static_cast<std::size_t>(g.n) + 1, std::vector<uint64_t>(static_cast<std::size_t>(g.n) + 1));
  const bool spatial = g.position != nullptr;
  auto* every = visitor ? visitor->every : nullptr;
  auto* listed = visitor ? visitor->listed : nullptr;
  void* ctx = visitor ? visitor->ctx : nullptr;

  Walk w(g);
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
      uint64_t colpiv = 0;
      const double swing = del[w.kk] * sim;
      for (uint64_t rest = w.members; rest != 0; rest &= rest - 1) {
        const int p = std::countr_zero(rest) + 1;
        colpiv |= uint64_t{1} << g.sub[p];
        c.with[p] += sim;
        if (w.winsWithout(p)) continue;
        if (spatial)
          c.value[p] += swing;
        else
          ++bySize[p][w.kk];
      }
      for (int s = 1; s <= g.mm; ++s)
        if (colpiv & (uint64_t{1} << s)) c.sub[s] += sim;
    } else if (spatial) {
      c.dist0 += sim;
    }
    if (w.kk == g.n) break;
  }
  if (!spatial)
    for (int p = 1; p <= g.n; ++p) c.value[p] = SHAPLEYVALUE(g.n, bySize[p].data());
  return true;
}

bool PUBLICGOOD_CORE(const Game& g, MinimalCounts& c, const Visitor* visitor) {
  c = MinimalCounts(g.n);
  if (!walkable(g, visitor)) return false;
  // [p][size], as in SHAPLEY_CORE
  std::vector<std::vector<uint64_t>> bySize(
      static_cast<std::size_t>(g.n) + 1, std::vector<uint64_t>(static_cast<std::size_t>(g.n) + 1));
  auto* every = visitor ? visitor->every : nullptr;
  auto* listed = visitor ? visitor->listed : nullptr;
  void* ctx = visitor ? visitor->ctx : nullptr;

  Walk w(g);
  for (;;) {
    w.INCREASE();
    if (every) every(ctx, w.perm);
    if (w.wins()) {
      bool minimal = true;
      for (uint64_t rest = w.members; rest != 0 && minimal; rest &= rest - 1)
        if (w.winsWithout(std::countr_zero(rest) + 1)) minimal = false;
      if (minimal) {
        c.minimal += 1.0;
        if (listed) listed(ctx, w.perm, c.minimal);
        for (uint64_t rest = w.members; rest != 0; rest &= rest - 1) {
          const int p = std::countr_zero(rest) + 1;
          c.with[p] += 1.0;
          ++bySize[p][w.kk];
        }
      }
    }
    if (w.kk == g.n) break;
  }
  for (int p = 1; p <= g.n; ++p) c.share[p] = SIZESHARE(g.n, bySize[p].data());
  return true;
}

}  // namespace wcore
