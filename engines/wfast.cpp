#include "engines/wfast.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <numeric>
#include <vector>

#include "engines/wdd.h"
#include "engines/wdense.h"

namespace wfast {

namespace {

// Memory the methods may take: a table of 2^28 cells is 2 GiB, a diagram of
// 2 million nodes needs about 1 GiB for its counts by size. Beyond 30
// players, where the walk would take minutes to months, a diagram may grow
// to 8 million nodes (the fifty states with the population as the blocking
// system need 2.7 million for the rule, about 0.8 GB in all, and twice as
// many with its minimal sets, about 1.2 GB).
constexpr std::size_t DENSE_CELLS = std::size_t{1} << 28;
constexpr std::size_t DIAGRAM_NODES = 2'000'000;
constexpr std::size_t DIAGRAM_NODES_LARGE = 8'000'000;
constexpr int WALKABLE = 30;

// The part of the rule decided by the number of members.
enum class SIZE : uint8_t { NONE, AND, OR };

SIZE sizeRule(const wcore::Game& g) {
  if (g.overt != 0) return SIZE::NONE;
  return g.overall == 1 ? SIZE::AND : g.overall == 2 ? SIZE::OR : SIZE::NONE;
}

// 1 AND, 2 OR: an overall threshold in primary-system votes; 0 none.
int votesRule(const wcore::Game& g) {
  return g.overt == 1 && (g.overall == 1 || g.overall == 2) ? g.overall : 0;
}

bool monotone(const wcore::Game& g) {
  for (int k = 0; k < g.vs; ++k)
    for (int p = 1; p <= g.n; ++p)
      if (g.w[k][p] < 0) return false;
  return true;
}

// The rest of the rule: G = (win sets, with the vote threshold) AND not
// blocked; H = not blocked alone. With an OR threshold in members a
// coalition of at least T1 members wins when H does, a smaller one when G
// does. The minimal sets of both as well for the public good counts.
struct Parts {
  Profile g, h, minG, minH;
};

// The rest of the rule as one weighted threshold (primary weights of the
// players it counts, 0 for the others) when it is one: a single vote
// system, no blocking, and win sets that each bind one subgame, the same
// one, or none.
bool asThreshold(const wcore::Game& g, std::vector<int64_t>& weight, int64_t& q) {
  if (g.vs != 1 || g.block) return false;
  std::vector<int64_t> total(static_cast<std::size_t>(g.mm) + 1);
  for (int p = 1; p <= g.n; ++p) total[g.sub[p]] += g.w[0][p];
  bool always = false, conflict = false;
  int s0 = 0;
  int64_t qs = 0;
  for (int t = 1; t <= g.thres; ++t) {
    int binding = 0, bound = 0;
    bool never = false;
    for (int s = 1; s <= g.mm; ++s) {
      if (g.m[0][t][s] > total[s]) never = true;
      if (g.m[0][t][s] > 0) {
        ++binding;
        bound = s;
      }
    }
    if (never) continue;
    if (binding == 0) {
      always = true;
    } else if (binding > 1 || (s0 != 0 && s0 != bound)) {
      conflict = true;
    } else {
      qs = s0 == 0 ? g.m[0][t][bound] : std::min(qs, g.m[0][t][bound]);
      s0 = bound;
    }
  }
  if (conflict && !always) return false;
  const int votes = votesRule(g);
  weight.assign(static_cast<std::size_t>(g.n) + 1, 0);
  // The win sets alone, as "weight of subgame s0 reaches qs", always or never.
  if (votes == 0 || (always && votes == 2) || (!always && s0 == 0 && votes == 1)) {
    q = always ? 0 : s0 == 0 ? 1 : qs;
    if (!always && s0 != 0)
      for (int p = 1; p <= g.n; ++p) weight[p] = g.sub[p] == s0 ? g.w[0][p] : 0;
    return true;
  }
  // The vote threshold over all players, alone or on the same weights.
  for (int p = 1; p <= g.n; ++p) weight[p] = g.w[0][p];
  if (always || s0 == 0) {
    q = g.t1;
    return true;
  }
  for (int p = 1; p <= g.n; ++p)
    if (g.sub[p] != s0 && g.w[0][p] != 0) return false;
  q = votes == 1 ? std::max(qs, g.t1) : std::min(qs, g.t1);
  return true;
}

void denseParts(wdense::Threshold t, bool pg, Parts& parts) {
  wdense::COUNT(t, parts.g, pg ? &parts.minG : nullptr);
  // Nothing blocks: H is every coalition, its only minimal set the empty one.
  const std::vector<int64_t> none(static_cast<std::size_t>(t.n) + 1);
  t.weight = none.data();
  t.q = 0;
  wdense::COUNT(t, parts.h, pg ? &parts.minH : nullptr);
}

// Builds the rule's diagram over the players grouped by subgame, each
// subgame's heaviest first, and counts it. Throws wdd::BUDGET.
void diagramParts(const wcore::Game& g, bool pg, Parts& parts) {
  const int n = g.n;
  std::vector<int> player(static_cast<std::size_t>(n)), first(static_cast<std::size_t>(g.mm) + 2);
  int l = 0;
  for (int s = 1; s <= g.mm; ++s) {
    first[s] = l;
    const int from = l;
    for (int p = 1; p <= n; ++p)
      if (g.sub[p] == s) player[l++] = p;
    // With the blocking rule, heaviest first in the blocking system: its
    // diagram is then far smaller (see wdd::FOREST::notBlocked).
    std::stable_sort(player.begin() + from, player.begin() + l, [&](int a, int b) {
      if (g.block && g.w[1][a] != g.w[1][b]) return g.w[1][a] > g.w[1][b];
      return g.w[0][a] > g.w[0][b];
    });
  }
  first[g.mm + 1] = n;
  wdd::FOREST f(n, n > WALKABLE ? DIAGRAM_NODES_LARGE : DIAGRAM_NODES);
  // Weights of system k by level, counting subgame s only (0: all).
  std::vector<int64_t> w(static_cast<std::size_t>(n));
  auto weights = [&](int k, int s) {
    int64_t sum = 0;
    for (int i = 0; i < n; ++i) {
      const int p = player[i];
      w[static_cast<std::size_t>(i)] = s == 0 || g.sub[p] == s ? g.w[k][p] : 0;
      sum += w[static_cast<std::size_t>(i)];
    }
    return sum;
  };

  // Not blocked (NB) and the vote threshold (V) as far as they bind every
  // win set: G = OR over the win sets of (its thresholds AND NB [AND V]),
  // OR (V AND NB) when V is an alternative. Each win set's thresholds are
  // laid on that base one by one, the least demanding (in distinct sums)
  // first, so that the paths the others leave bound the work.
  wdd::NODE open = f.one();
  if (g.block) {
    weights(1, 0);
    open = g.blockThres < 0 ? f.zero() : f.notBlocked(w.data(), g.blockThres);
  }
  const int votes = votesRule(g);
  wdd::NODE base = open, rule = f.zero();
  if (votes != 0) {
    weights(0, 0);
    const wdd::NODE v = f.conjThreshold(open, w.data(), g.t1);
    if (votes == 1)
      base = v;
    else
      rule = v;
  }
  struct Bound {
    int k, s;
    int64_t m, span;
  };
  for (int t = 1; t <= g.thres; ++t) {
    std::vector<Bound> bounds;
    bool never = false;
    for (int s = 1; s <= g.mm; ++s)
      for (int k = 0; k < g.vs; ++k) {
        const int64_t m = g.m[k][t][s];
        if (m <= 0) continue;
        const int64_t total = weights(k, s);
        int64_t unit = 0;
        for (int64_t x : w) unit = std::gcd(unit, x);
        if (total < m) never = true;
        bounds.push_back({k, s, m, unit == 0 ? 0 : total / unit});
      }
    if (never) continue;
    std::stable_sort(bounds.begin(), bounds.end(),
                     [](const Bound& a, const Bound& b) { return a.span < b.span; });
    wdd::NODE term = base;
    for (const Bound& b : bounds) {
      weights(b.k, b.s);
      term = f.conjThreshold(term, w.data(), b.m);
    }
    rule = f.disj(rule, term);
  }
  const bool needH = sizeRule(g) == SIZE::OR;
  f.profile(rule, player.data(), first.data(), g.mm, parts.g);
  if (needH) f.profile(open, player.data(), first.data(), g.mm, parts.h);
  if (pg) {
    f.profile(f.minimal(rule), player.data(), first.data(), g.mm, parts.minG);
    if (needH) f.profile(f.minimal(open), player.data(), first.data(), g.mm, parts.minH);
  }
}

// Whether the diagram of a threshold over N levels, M of them players of
// positive weight, is far smaller than a table of CELLS cells: a level has
// at most 2^(players above it) nodes and no more than the sums of the players
// below it, so no level has more than 2^ceil(M / 2). A node costs some
// hundred times what a cell does; the factor keeps the table where the two
// are close, since the bound is loose.
bool diagramFirst(int n, int m, std::size_t cells) {
  if (m > 40) return false;
  const double nodes = (n + 1.0) * std::ldexp(1.0, (m + 1) / 2);
  return nodes * 64.0 < static_cast<double>(cells);
}

// Counts of the parts for the game, or false when no fast method covers it.
// Memory is what the methods may run out of: a table or diagram that cannot
// be had leaves the game to the other method or to the walk, as the budgets
// do, instead of ending the program.
bool parts(const wcore::Game& g, bool pg, Choice use, Parts& out, Method& method) {
  // The counts are 64-bit: beyond PROFILEMAX players they could overflow.
  if (!wcore::FITS(g) || g.n > PROFILEMAX || g.position != nullptr || !monotone(g)) return false;
  // Parts a method leaves alone count as no coalitions.
  out.g = out.h = out.minG = out.minH = Profile(g.n, g.mm);
  std::vector<int64_t> weight;
  int64_t q = 0;
  wdense::Threshold t;
  bool table = false, later = false;
  if (use != Choice::DIAGRAM && asThreshold(g, weight, q)) {
    t.n = g.n;
    t.mm = g.mm;
    t.sub = g.sub.data();
    t.weight = weight.data();
    t.q = q;
    const std::size_t cells = wdense::CELLS(t);
    int m = 0;
    for (int p = 1; p <= g.n; ++p) m += weight[p] > 0 ? 1 : 0;
    table = cells <= DENSE_CELLS;
    later = table && use == Choice::BEST && diagramFirst(g.n, m, cells);
  }
  auto dense = [&] {
    try {
      denseParts(t, pg, out);
      method = Method::DENSE;
      return true;
    } catch (const std::bad_alloc&) {
      out = Parts{};
      return false;
    }
  };
  if (table && !later && dense()) return true;
  if (use != Choice::DENSE) {
    try {
      diagramParts(g, pg, out);
      method = Method::DIAGRAM;
      return true;
    } catch (const wdd::BUDGET&) {
    } catch (const std::bad_alloc&) {
    }
    out = Parts{};
  }
  return later && dense();
}

// The whole rule by size from its parts (see Parts).
struct Whole {
  const wcore::Game& g;
  const Parts& p;
  SIZE rule;
  int64_t t1;

  uint64_t pick(int k, uint64_t fromG, uint64_t fromH) const {
    switch (rule) {
      case SIZE::AND:
        return k >= t1 ? fromG : 0;
      case SIZE::OR:
        return k >= t1 ? fromH : fromG;
      default:
        return fromG;
    }
  }
  uint64_t all(int k) const { return pick(k, p.g.all[k], p.h.all[k]); }
  uint64_t with(int q, int k) const { return pick(k, p.g.with[q][k], p.h.with[q][k]); }
  uint64_t without(int s, int k) const { return pick(k, p.g.without[s][k], p.h.without[s][k]); }

  // Minimal winning coalitions of size k among COUNTS (all, or those with a
  // player). AND: below T1 none; at T1 every coalition of G (none of them
  // wins with a member less); above it the minimal sets of G. OR: below T1
  // the minimal sets of G; at T1 those of H none of whose one-less
  // coalitions is in G, that is H less G plus the minimal sets of G; above
  // it the minimal sets of H.
  template <class F>
  uint64_t minimal(int k, F count) const {
    const uint64_t mg = count(p.minG), gg = count(p.g);
    switch (rule) {
      case SIZE::AND:
        return k > t1 ? mg : k == t1 ? gg : 0;
      case SIZE::OR:
        return k < t1 ? mg : k == t1 ? count(p.h) - gg + mg : count(p.minH);
      default:
        return mg;
    }
  }
};

void shapley(const wcore::Game& g, const Whole& f, Result& r) {
  const int n = g.n;
  for (int k = 1; k <= n; ++k) r.wins += f.all(k);
  for (int s = 1; s <= g.mm; ++s)
    for (int k = 1; k <= n; ++k) r.sub[s] += f.all(k) - f.without(s, k);
  for (int q = 1; q <= n; ++q) {
    std::vector<uint64_t> bySize(static_cast<std::size_t>(n) + 1);
    for (int k = 1; k <= n; ++k) {
      const uint64_t in = f.with(q, k);
      // Winning coalitions of size k - 1 without q lose with q less: those
      // with q winning, less the ones already winning without it.
      bySize[k] = in - (f.all(k - 1) - f.with(q, k - 1));
      r.with[q] += in;
      r.swings[q] += bySize[k];
    }
    r.shap[q] = wcore::SHAPLEYVALUE(n, bySize.data());
  }
}

void publicGood(const wcore::Game& g, const Whole& f, Result& r) {
  for (int k = 1; k <= g.n; ++k)
    r.minimal += f.minimal(k, [k](const Profile& x) { return x.all[k]; });
  for (int q = 1; q <= g.n; ++q) {
    std::vector<uint64_t> bySize(static_cast<std::size_t>(g.n) + 1);
    for (int k = 1; k <= g.n; ++k) {
      bySize[k] = f.minimal(k, [q, k](const Profile& x) { return x.with[q][k]; });
      r.minimalWith[q] += bySize[k];
    }
    r.minimalShare[q] = wcore::SIZESHARE(g.n, bySize.data());
  }
}

bool run(const wcore::Game& g, bool pg, Choice use, Result& r) {
  auto p = std::make_unique<Parts>();
  Method method = Method::EXHAUSTIVE;
  if (!parts(g, pg, use, *p, method)) return false;
  r = Result(g.n, g.mm);
  r.method = method;
  const Whole whole{g, *p, sizeRule(g), g.t1};
  if (pg)
    publicGood(g, whole, r);
  else
    shapley(g, whole, r);
  return true;
}

}  // namespace

bool SHAPLEY_FAST(const wcore::Game& G, Result& R, Choice USE) { return run(G, false, USE, R); }
bool PUBLICGOOD_FAST(const wcore::Game& G, Result& R, Choice USE) { return run(G, true, USE, R); }

void SHAPLEY_COUNTS(const Result& R, const wcore::Game& G, wcore::WinCounts& C) {
  C = wcore::WinCounts(G.n, G.mm);
  C.wins = static_cast<double>(R.wins);
  for (int p = 1; p <= G.n; ++p) {
    C.value[p] = R.shap[p];
    C.with[p] = static_cast<double>(R.with[p]);
  }
  for (int s = 1; s <= G.mm; ++s) C.sub[s] = static_cast<double>(R.sub[s]);
}

void PUBLICGOOD_COUNTS(const Result& R, const wcore::Game& G, wcore::MinimalCounts& C) {
  C = wcore::MinimalCounts(G.n);
  C.minimal = static_cast<double>(R.minimal);
  for (int p = 1; p <= G.n; ++p) {
    C.with[p] = static_cast<double>(R.minimalWith[p]);
    C.share[p] = R.minimalShare[p];
  }
}

namespace {

template <typename COUNTS>
Method counted(const wcore::Game& g, COUNTS& c, bool pg,
               void (*take)(const Result&, const wcore::Game&, COUNTS&),
               bool (*walk)(const wcore::Game&, COUNTS&, const wcore::Visitor*),
               const wcore::Visitor* visitor) {
  auto r = std::make_unique<Result>();
  if (run(g, pg, Choice::BEST, *r)) {
    take(*r, g, c);
    return r->method;
  }
  return walk(g, c, visitor) ? Method::EXHAUSTIVE : Method::NONE;
}

}  // namespace

Method SHAPLEY(const wcore::Game& G, wcore::WinCounts& C, const wcore::Visitor* VISITOR) {
  return counted(G, C, false, SHAPLEY_COUNTS, wcore::SHAPLEY_CORE, VISITOR);
}
Method PUBLICGOOD(const wcore::Game& G, wcore::MinimalCounts& C, const wcore::Visitor* VISITOR) {
  return counted(G, C, true, PUBLICGOOD_COUNTS, wcore::PUBLICGOOD_CORE, VISITOR);
}

}  // namespace wfast
