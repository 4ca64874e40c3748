#include "engines/exact/fast_counts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <new>
#include <numeric>
#include <vector>

#include "engines/exact/banzhaf_doubles.h"
#include "engines/exact/decision_diagram.h"
#include "engines/exact/double_majority_table.h"
#include "engines/exact/minimal_coalitions.h"
#include "engines/exact/modular.h"
#include "engines/exact/power_series.h"
#include "engines/exact/shapley_quadrature.h"
#include "engines/exact/size_weight_table.h"
#include "engines/exact/subset_halves.h"
#include "platform/process.h"

namespace fastcount {

SIZE SIZERULE(const weightedwalk::Game& G) {
  if (G.overt != 0) return SIZE::NONE;
  return G.overall == 1 ? SIZE::AND : G.overall == 2 ? SIZE::OR : SIZE::NONE;
}

int VOTESRULE(const weightedwalk::Game& G) {
  return G.overt == 1 && (G.overall == 1 || G.overall == 2) ? G.overall : 0;
}

bool MONOTONE(const weightedwalk::Game& G) {
  for (int k = 0; k < G.vs; ++k)
    for (int p = 1; p <= G.n; ++p)
      if (G.w[k][p] < 0) return false;
  return true;
}

bool ASTHRESHOLD(const weightedwalk::Game& g, std::vector<int64_t>& weight, int64_t& q) {
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
  const int votes = VOTESRULE(g);
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

// The rest of the rule: G = (win sets, with the vote threshold) AND not
// blocked; H = not blocked alone. With an OR threshold in members a
// coalition of at least T1 members wins when H does, a smaller one when G
// does. The minimal sets of both as well for the public good counts.
struct Parts {
  Profile g, h, minG, minH;
};

template <class RING>
void denseParts(sizetable::Threshold t, bool pg, Parts& parts, const RING& ring) {
  sizetable::COUNT(t, parts.g, pg ? &parts.minG : nullptr, ring);
  // Nothing blocks: H is every coalition, its only minimal set the empty one.
  const std::vector<int64_t> none(static_cast<std::size_t>(t.n) + 1);
  t.weight = none.data();
  t.q = 0;
  sizetable::COUNT(t, parts.h, pg ? &parts.minH : nullptr, ring);
}

// The rule's diagram over the players grouped by subgame, each subgame's
// heaviest first, built once and counted in every pass.
struct Diagram {
  Diagram(const weightedwalk::Game& g, std::size_t nodes)
      : forest(g.n, nodes),
        player(static_cast<std::size_t>(g.n)),
        first(static_cast<std::size_t>(g.mm) + 2) {}
  decisiondiagram::FOREST forest;
  std::vector<int> player, first;
  decisiondiagram::NODE rule = 0, open = 0, minRule = 0, minOpen = 0;
  bool needH = false;
  int mm = 0;

  template <class RING>
  void count(bool pg, Parts& parts, const RING& ring) const {
    forest.profile(rule, player.data(), first.data(), mm, parts.g, ring);
    if (needH) forest.profile(open, player.data(), first.data(), mm, parts.h, ring);
    if (pg) {
      forest.profile(minRule, player.data(), first.data(), mm, parts.minG, ring);
      if (needH) forest.profile(minOpen, player.data(), first.data(), mm, parts.minH, ring);
    }
  }
};

// Builds the rule's diagram. Throws decisiondiagram::BUDGET.
void buildDiagram(const weightedwalk::Game& g, bool pg, Diagram& d) {
  const int n = g.n;
  std::vector<int>& player = d.player;
  std::vector<int>& first = d.first;
  int l = 0;
  for (int s = 1; s <= g.mm; ++s) {
    first[s] = l;
    const int from = l;
    for (int p = 1; p <= n; ++p)
      if (g.sub[p] == s) player[l++] = p;
    // With the blocking rule, heaviest first in the blocking system: its
    // diagram is then far smaller (see decisiondiagram::FOREST::notBlocked).
    std::stable_sort(player.begin() + from, player.begin() + l, [&](int a, int b) {
      if (g.block && g.w[1][a] != g.w[1][b]) return g.w[1][a] > g.w[1][b];
      return g.w[0][a] > g.w[0][b];
    });
  }
  first[g.mm + 1] = n;
  d.mm = g.mm;
  decisiondiagram::FOREST& f = d.forest;
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
  decisiondiagram::NODE open = f.one();
  if (g.block) {
    weights(1, 0);
    open = g.blockThres < 0 ? f.zero() : f.notBlocked(w.data(), g.blockThres);
  }
  const int votes = VOTESRULE(g);
  decisiondiagram::NODE base = open, rule = f.zero();
  if (votes != 0) {
    weights(0, 0);
    const decisiondiagram::NODE v = f.conjThreshold(open, w.data(), g.t1);
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
    decisiondiagram::NODE term = base;
    for (const Bound& b : bounds) {
      weights(b.k, b.s);
      term = f.conjThreshold(term, w.data(), b.m);
    }
    rule = f.disj(rule, term);
  }
  d.rule = rule;
  d.open = open;
  d.needH = SIZERULE(g) == SIZE::OR;
  if (pg) {
    d.minRule = f.minimal(rule);
    if (d.needH) d.minOpen = f.minimal(open);
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

// The whole rule by size from its parts (see Parts), in RING.
template <class RING>
struct Whole {
  const Parts& p;
  SIZE rule;
  int64_t t1;
  const RING& ring;

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
        return k < t1 ? mg : k == t1 ? ring.add(ring.sub(count(p.h), gg), mg) : count(p.minH);
      default:
        return mg;
    }
  }
};

// Where each count of a Result sits among a pass's residues: the totals,
// then per player its counts by size (rows of n + 1, size 0 unused).
struct Layout {
  // ROWS: with the counts by size (Shapley, public good).
  Layout(const weightedwalk::Game& g, bool pg, bool rows_ = true) : n(g.n), mm(g.mm) {
    const std::size_t rows =
        rows_ ? static_cast<std::size_t>(n) * (static_cast<std::size_t>(n) + 1) : 0;
    bySize = pg ? 1 + n : 2 + 2 * n + mm;
    size = static_cast<std::size_t>(bySize) + rows;
  }
  int n, mm;
  std::size_t bySize = 0, size = 0;  // first row, all residues
  std::size_t row(int q) const {
    return bySize + static_cast<std::size_t>(q - 1) * (static_cast<std::size_t>(n) + 1);
  }
  // Shapley: wins, with[1..n], swings[1..n], sub[1..mm], losing; public
  // good: minimal, minimalWith[1..n].
  static std::size_t with(int q) { return static_cast<std::size_t>(q); }
  std::size_t swings(int q) const { return static_cast<std::size_t>(n + q); }
  std::size_t sub(int s) const { return static_cast<std::size_t>(2 * n + s); }
  std::size_t losing() const { return static_cast<std::size_t>(2 * n + mm + 1); }
};

template <class RING>
void shapley(const weightedwalk::Game& g, const Whole<RING>& f, const Layout& at, uint64_t* x,
             const RING& ring) {
  const int n = g.n;
  for (int k = 1; k <= n; ++k) x[0] = ring.add(x[0], f.all(k));
  x[at.losing()] = ring.sub(ring.pow2(n), x[0]);
  for (int s = 1; s <= g.mm; ++s)
    for (int k = 1; k <= n; ++k)
      x[at.sub(s)] = ring.add(x[at.sub(s)], ring.sub(f.all(k), f.without(s, k)));
  for (int q = 1; q <= n; ++q) {
    uint64_t* bySize = x + at.row(q);
    for (int k = 1; k <= n; ++k) {
      const uint64_t in = f.with(q, k);
      // Winning coalitions of size k - 1 without q lose with q less: those
      // with q winning, less the ones already winning without it.
      bySize[k] = ring.sub(in, ring.sub(f.all(k - 1), f.with(q, k - 1)));
      x[at.with(q)] = ring.add(x[at.with(q)], in);
      x[at.swings(q)] = ring.add(x[at.swings(q)], bySize[k]);
    }
  }
}

template <class RING>
void publicGood(const weightedwalk::Game& g, const Whole<RING>& f, const Layout& at, uint64_t* x,
                const RING& ring) {
  for (int k = 1; k <= g.n; ++k)
    x[0] = ring.add(x[0], f.minimal(k, [k](const Profile& c) { return c.all[k]; }));
  for (int q = 1; q <= g.n; ++q) {
    uint64_t* bySize = x + at.row(q);
    for (int k = 1; k <= g.n; ++k) {
      bySize[k] = f.minimal(k, [q, k](const Profile& c) { return c.with[q][k]; });
      x[at.with(q)] = ring.add(x[at.with(q)], bySize[k]);
    }
  }
}

// One pass: the parts counted in RING, combined into the residues X.
template <class RING, class COUNT>
void pass(const weightedwalk::Game& g, bool pg, const COUNT& count, const Layout& at,
          std::vector<uint64_t>& x, const RING& ring) {
  auto p = std::make_unique<Parts>();
  // Parts a method leaves alone count as no coalitions.
  p->g = p->h = p->minG = p->minH = Profile(g.n, g.mm);
  count(*p, ring);
  x.assign(at.size, 0);
  const Whole<RING> whole{*p, SIZERULE(g), g.t1, ring};
  if (pg)
    publicGood(g, whole, at, x.data(), ring);
  else
    shapley(g, whole, at, x.data(), ring);
}

// Which part of the rule holds the coalitions of every size from 1 up
// (SET), and which the empty one (EMPTY), when that is one part for all
// sizes: the Banzhaf counts then need no sizes.
enum class PART : uint8_t { G, H, NONE };
struct Sizeless {
  PART set = PART::G, empty = PART::G;
};

bool sizeless(const weightedwalk::Game& g, Sizeless& out) {
  const int64_t t1 = g.t1;
  switch (SIZERULE(g)) {
    case SIZE::AND:  // sizes below T1 lose
      if (t1 > g.n)
        out = {PART::NONE, PART::NONE};
      else if (t1 == 1)
        out = {PART::G, PART::NONE};
      else
        return t1 <= 0;
      return true;
    case SIZE::OR:  // sizes from T1 on win when H does
      if (t1 > g.n)
        out = {PART::G, PART::G};
      else if (t1 <= 0)
        out = {PART::H, PART::H};
      else if (t1 == 1)
        out = {PART::H, PART::G};
      else
        return false;
      return true;
    default:
      return true;
  }
}

struct Sums {
  Totals g, h;
};

// One pass of the Banzhaf counts without sizes: the winning coalitions W
// (never the empty one), those with p, its swings 2 with - W - [the empty
// coalition wins] (in a monotone game every winning coalition with p either
// loses without it or is one winning without it, plus p), those with a
// member of subgame s.
template <class RING, class COUNT>
void banzhafPass(const weightedwalk::Game& g, const Sizeless& part, const COUNT& count,
                 const Layout& at, std::vector<uint64_t>& x, const RING& ring) {
  Sums sums{Totals(g.n, g.mm), Totals(g.n, g.mm)};
  count(sums, ring);
  x.assign(at.size, 0);
  x[at.losing()] = ring.pow2(g.n);
  if (part.set == PART::NONE) return;
  const Totals& p = part.set == PART::G ? sums.g : sums.h;
  const bool empty =
      part.empty == PART::NONE ? false : (part.empty == PART::G ? sums.g : sums.h).empty;
  x[0] = ring.sub(p.all, p.empty ? 1 : 0);
  x[at.losing()] = ring.sub(x[at.losing()], x[0]);
  for (int q = 1; q <= g.n; ++q) {
    x[at.with(q)] = p.with[q];
    x[at.swings(q)] = ring.sub(ring.sub(ring.add(p.with[q], p.with[q]), x[0]), empty ? 1 : 0);
  }
  for (int s = 1; s <= g.mm; ++s) x[at.sub(s)] = ring.sub(p.all, p.without[s]);
}

// Every pass of a game with PRODUCE (X, RING: the residues of one pass)
// into R: one in 64-bit counts up to PROFILEMAX players, else one per prime,
// joined.
template <class PRODUCE>
void passes(const weightedwalk::Game& g, Index index, const Layout& at, const PRODUCE& produce,
            Result& r) {
  const int n = g.n;
  const bool pg = index == Index::PUBLICGOOD, rows = at.size > at.bySize;
  r = Result(n, g.mm);
  std::vector<uint64_t> x;
  const int total = PASSES(n);
  if (n <= PROFILEMAX) {
    produce(x, WRAP{});
    auto wide = [&](std::size_t i) { return XNUM(static_cast<double>(x[i])); };
    if (pg) {
      r.minimal = x[0];
      r.xminimal = wide(0);
      for (int q = 1; q <= n; ++q) {
        r.minimalWith[q] = x[at.with(q)];
        r.xminimalWith[q] = wide(at.with(q));
        r.minimalShare[q] = weightedwalk::SIZESHARE(n, &x[at.row(q)]);
        r.xminimalShare[q] = XNUM(r.minimalShare[q]);
      }
      return;
    }
    r.wins = x[0];
    r.xwins = wide(0);
    r.xlosing = wide(at.losing());
    for (int q = 1; q <= n; ++q) {
      r.with[q] = x[at.with(q)];
      r.swings[q] = x[at.swings(q)];
      r.xwith[q] = wide(at.with(q));
      r.xswings[q] = wide(at.swings(q));
      if (rows) r.shap[q] = weightedwalk::SHAPLEYVALUE(n, &x[at.row(q)]);
    }
    for (int s = 1; s <= g.mm; ++s) {
      r.sub[s] = x[at.sub(s)];
      r.xsub[s] = wide(at.sub(s));
    }
    return;
  }
  JOIN join(at.size);
  for (int i = 0; i < total; ++i) {
    const MODP ring(PRIME(i), n);
    produce(x, ring);
    join.add(x, ring.modulus());
  }
  x = {};
  r.wide = true;
  std::vector<XNUM> row(static_cast<std::size_t>(n) + 1);
  auto bySize = [&](int q) {
    for (int k = 1; k <= n; ++k) row[static_cast<std::size_t>(k)] = join.value(at.row(q) + k);
    return row.data();
  };
  if (pg) {
    r.xminimal = join.value(0);
    for (int q = 1; q <= n; ++q) {
      r.xminimalWith[q] = join.value(at.with(q));
      r.xminimalShare[q] = SIZESHARE(n, bySize(q));
      r.minimalShare[q] = XTODOUBLE(r.xminimalShare[q]);
    }
    return;
  }
  r.xwins = join.value(0);
  r.xlosing = join.value(at.losing());
  for (int q = 1; q <= n; ++q) {
    r.xwith[q] = join.value(at.with(q));
    r.xswings[q] = join.value(at.swings(q));
    if (rows) r.shap[q] = SHAPLEYVALUE(n, bySize(q));
  }
  for (int s = 1; s <= g.mm; ++s) r.xsub[s] = join.value(at.sub(s));
}

// Measured costs on one core (2.6 GHz, bench/wide_bench.cpp): a cell of
// the table gains a count in about CELL_NS while the table stays in the
// caches, in about CELL_FAR_NS beyond (the work is bound by memory, so a
// pass modulo a prime costs about the same); a node of the diagram costs
// about NODE_NS to build and NODE_SIZE_NS per size to count, NODE_MINIMAL_NS
// more with the minimal sets (a double majority of 40 players, 10 million
// nodes in the bound: 10 s); the walk visits a coalition in about WALK_NS.
constexpr double CELL_NS = 0.5, CELL_FAR_NS = 1.0, NODE_NS = 300.0, NODE_SIZE_NS = 3.0,
                 NODE_MINIMAL_NS = 700.0;
constexpr double WALK_NS = 14.0, MODP_FACTOR = 1.0;
// A term of the sums over sizes that take each player out again (M^3) and
// of the minimal sets' table (M^4 / 12) costs about TERM_NS: products and
// quotients of counts, not a cell's addition (the Electoral College, 51
// players: Shapley-Shubik 0.92 ms and the public good index 2.4 ms, where
// the cells alone planned 0.34 and 0.69 ms).
constexpr double TERM_NS = 3.5;
constexpr std::size_t CACHED = std::size_t{16} << 20;  // bytes
constexpr double HOPELESS = 16;

// What a count of G will take by each method, and which the run tries.
struct Selection {
  bool covered = false;  // a fast method may count the game at all
  bool lines = false;    // Banzhaf without sizes
  Sizeless part;
  std::vector<int64_t> weight;
  sizetable::Threshold t;
  bool table = false, later = false;  // the table fits; try the diagram first
  std::size_t fixed = 0;              // bytes of the counts beside any method
  std::size_t tableBytes = 0, nodeBytes = 0, nodes = 0, nodeBound = 0;
  double tableSeconds = 0, nodeSeconds = 0;  // the table; one node of the diagram
  int passes = 1;
  bool paired = false;  // the table is over two systems' weights
  doublemajority::Shape pair;
  // Beyond PROFILEMAX players on one threshold: the Banzhaf counts in
  // doubles (engines/exact/banzhaf_doubles.h) in one pass instead of one per prime, and
  // for the Shapley-Shubik index the values by quadrature (engines/exact/shapley_quadrature.h).
  bool floating = false;
  std::size_t floatBytes = 0;
  double floatSeconds = 0;
  bool hopeless = false;  // the diagram would outgrow the budget: not tried
  // The Banzhaf counts of one threshold by power series
  // (engines/exact/power_series.h), with the counts' bytes.
  COSTTYP series;
  // The same by the two halves' subset sums (engines/exact/subset_halves.h).
  COSTTYP halves;
  // The public good counts of one weighted threshold by the minimal
  // coalitions' program (engines/exact/minimal_coalitions.h).
  bool minimal = false, sized = false;  // sized: under an overall threshold in members
  std::size_t limit = 0;                // the bytes the program was planned within
  int t1 = 0;
  COSTTYP minimalCost;
};

// Upper bound on the nodes of the rule's diagram: a level has no more nodes
// than the sets of the players above it, nor than the distinct states of
// the players below (the sums of each system used, in units of its weights'
// greatest common divisor), nor than the remaining quotas those players'
// subset sums tell apart: 2^(n-l) for one threshold, 4^(n-l) for the pair
// of a double majority.
double nodeBound(const weightedwalk::Game& g) {
  const int n = g.n;
  doublemajority::Shape pair;
  const int quotas = doublemajority::SHAPE(g, pair) ? 2 : 1;
  double total = 0;
  std::vector<int64_t> unit(static_cast<std::size_t>(g.vs), 0);
  for (int k = 0; k < g.vs; ++k)
    for (int p = 1; p <= n; ++p) unit[k] = std::gcd(unit[k], g.w[k][p]);
  std::vector<int64_t> rest(static_cast<std::size_t>(g.vs), 0);
  for (int l = n; l >= 0; --l) {  // players l+1..n below level l
    double below = 1;
    for (int k = 0; k < g.vs; ++k) below *= rest[k] / std::max<int64_t>(unit[k], 1) + 1.0;
    total += std::min({std::ldexp(1.0, std::min(l, 1000)), below,
                       std::ldexp(1.0, std::min(quotas * (n - l), 1000))});
    if (l > 0)
      for (int k = 0; k < g.vs; ++k) rest[k] += g.w[k][l];
  }
  return total;
}

// Three quarters of the machine's memory (of the process's limit when
// lower), or no limit when that cannot be found out.
std::size_t machineLimit() {
  static const std::size_t limit = [] {
    const std::size_t physical = plat::PHYSICALMEMORY();
    return physical == 0 ? SIZE_MAX : physical / 4 * 3;
  }();
  return limit;
}

void select(const weightedwalk::Game& g, Index index, Choice use, std::size_t budget,
            Selection& sel) {
  sel.covered = weightedwalk::FITS(g) && g.position == nullptr && MONOTONE(g);
  if (!sel.covered) return;
  const int n = g.n;
  const bool pg = index == Index::PUBLICGOOD;
  sel.lines = index == Index::BANZHAF && sizeless(g, sel.part);
  sel.passes = PASSES(n);
  const double passes = n <= PROFILEMAX ? 1.0 : sel.passes * MODP_FACTOR;
  const Layout at(g, pg, !sel.lines);
  const std::size_t profile =
      (static_cast<std::size_t>(n) + 2 + static_cast<std::size_t>(g.mm)) * (n + 1U) * 8;
  sel.fixed = at.size * 8 + (n > PROFILEMAX ? JOIN::BYTES(at.size, sel.passes) : 0) +
              (sel.lines ? 0 : 4 * profile);
  // Without a budget the methods keep their own limits, and never take more
  // than the machine can give: a front end that always completes (the menus)
  // walks instead of being ended for memory.
  const std::size_t limit = budget != 0 ? budget : machineLimit();
  sel.limit = limit;
  const std::size_t room = limit > sel.fixed ? limit - sel.fixed : 0;
  int64_t q = 0;
  bool quadrature = false;
  if (use != Choice::DIAGRAM && ASTHRESHOLD(g, sel.weight, q)) {
    sizetable::Threshold& t = sel.t;
    t.n = n;
    t.mm = g.mm;
    t.sub = g.sub.data();
    t.weight = sel.weight.data();
    t.q = q;
    int m = 0;
    for (int p = 1; p <= n; ++p) m += sel.weight[p] > 0 ? 1 : 0;
    // Without sizes the table is a line, and its work M times its cells;
    // a table by size gains each player's row sums once (about half of
    // its cells per player added, lightest first), then takes each player
    // out again (M^2 terms each), and for the minimal sets a table more
    // with M^4 / 12 terms.
    const std::size_t cells = sel.lines ? sizetable::LINECELLS(t) : sizetable::CELLS(t);
    const double work = sel.lines ? static_cast<double>(cells) * m
                                  : 0.5 * static_cast<double>(cells) * m * (pg ? 2.0 : 1.0);
    const double terms = sel.lines ? 0.0 : std::pow(m, 3.0) + (pg ? std::pow(m, 4.0) / 12.0 : 0.0);
    sel.tableBytes = cells * sizeof(uint64_t);
    sel.tableSeconds =
        (work * (sel.tableBytes <= CACHED ? CELL_NS : CELL_FAR_NS) + terms * TERM_NS) * 1e-9 *
        passes;
    // A given budget replaces the table's own limit.
    sel.table = (budget != 0 || cells <= DENSE_CELLS) && sel.tableBytes <= room;
    sel.later = sel.table && use == Choice::BEST &&
                diagramFirst(n, m, sel.lines ? cells * static_cast<std::size_t>(m) : cells);
    if (use == Choice::BEST && sel.lines) {
      sel.series = powerseries::COST(t, sel.passes);
      if (sel.series.APPLIES && sel.series.BYTES > room) {
        sel.series.APPLIES = false;
        sel.series.WHY = "its series exceed the memory";
      }
      sel.series.BYTES += sel.fixed;
    }
    if (use == Choice::BEST && !pg) {
      sel.halves = halves::COST(t, !sel.lines);
      if (sel.halves.APPLIES && sel.halves.BYTES > room) {
        sel.halves.APPLIES = false;
        sel.halves.WHY = "its halves' sums exceed the memory";
      }
      sel.halves.BYTES += sel.fixed;
    }
    if (use == Choice::BEST && sel.lines && n > PROFILEMAX && sel.part.set == PART::G && q > 0 &&
        cells > 0) {
      sel.floatBytes = at.size * 8 + doubletable::BYTES(t);
      sel.floatSeconds = doubletable::SECONDS(t);
      sel.floating = sel.floatBytes <= limit;
    }
    // The public good counts where an overall threshold in members changes
    // nothing: none, one every coalition meets (the empty one aside, which
    // loses anyway for Q >= 1), or one no coalition reaches.
    // An AND threshold up to the fewest members whose weight reaches Q
    // changes nothing either: no smaller coalition wins by its weight.
    const SIZE size = SIZERULE(g);
    int fewest = 0;
    if (size == SIZE::AND && q >= 1) {
      std::vector<int64_t> heaviest(sel.weight.begin() + 1, sel.weight.end());
      std::sort(heaviest.begin(), heaviest.end(), std::greater<>());
      int64_t sum = 0;
      while (fewest < n && sum < q) sum += heaviest[static_cast<std::size_t>(fewest++)];
      if (sum < q) fewest = n + 1;
    }
    const bool plain = size == SIZE::NONE ||
                       (size == SIZE::AND && g.t1 <= std::max(fewest, q >= 1 ? 1 : 0)) ||
                       (size == SIZE::OR && g.t1 > n);
    if (use == Choice::BEST && pg && plain) {
      sel.minimal = true;
      sel.minimalCost = minimalsets::COST(n, sel.weight.data(), q, true, limit);
    } else if (use == Choice::BEST && pg && size != SIZE::NONE) {
      // The members carried beside the weight.
      sel.minimal = sel.sized = true;
      sel.t1 = static_cast<int>(std::clamp<int64_t>(g.t1, -1, n + 1));
      sel.minimalCost = minimalsets::COSTSIZED(n, sel.weight.data(), q, g.overall, sel.t1, limit);
    }
    // Shapley-Shubik beyond PROFILEMAX players on one threshold: the values
    // by quadrature (engines/exact/shapley_quadrature.h), the Banzhaf-type counts beside them
    // from the doubles' table (chosen below, against the table's time).
    Sizeless whole;
    if (use == Choice::BEST && index == Index::SHAPLEY && n > PROFILEMAX && q > 0 && cells > 0 &&
        sizeless(g, whole) && whole.set == PART::G) {
      const std::size_t counts = static_cast<std::size_t>(n + g.mm + 2) * 6 * sizeof(XNUM);
      sel.floatBytes = counts + std::max(doubletable::BYTES(t), ssquadrature::BYTES(t));
      sel.floatSeconds = doubletable::SECONDS(t) + ssquadrature::SECONDS(t);
      quadrature = sel.floatBytes <= limit;
    }
  } else if (use != Choice::DIAGRAM && !pg && doublemajority::SHAPE(g, sel.pair)) {
    // A double majority: the table over both weights (engines/exact/double_majority_table.h), H
    // from the single table of no weights. Each player adds to about half of the cells by size, at
    // some 0.7 cell costs each (measured: two row ranges per cell), to all of them without sizes; a
    // pass modulo a prime takes 1.5 times a pass in 64-bit counts (60 to 100 players of weights to
    // 100 and 1000).
    sel.paired = true;
    sel.weight.assign(static_cast<std::size_t>(n) + 1, 0);
    sel.t = {n, g.mm, g.sub.data(), sel.weight.data(), 0};
    const int m = doublemajority::PLAYERS(sel.pair);
    const double cells = doublemajority::CELLS(sel.pair, !sel.lines);
    sel.tableBytes = static_cast<std::size_t>(std::min(cells * 8, 1e18));
    sel.tableSeconds = (cells * m * (sel.lines ? 1.0 : 0.7) + std::pow(n, 3.0)) *
                       (sel.tableBytes <= CACHED ? CELL_NS : CELL_FAR_NS) * 1e-9 * passes *
                       (n > PROFILEMAX ? 1.5 : 1.0);
    sel.table =
        (budget != 0 || cells <= static_cast<double>(DENSE_CELLS)) && sel.tableBytes <= room;
    sel.later = sel.table && use == Choice::BEST &&
                diagramFirst(n, m, static_cast<std::size_t>(cells) * (sel.lines ? m : 1U));
  }
  // The quadrature where it is planned faster than the table by size, or
  // the table does not fit.
  if (quadrature) sel.floating = !sel.table || sel.floatSeconds < sel.tableSeconds;
  // A node keeps its children, its place in the unique table and memos,
  // its spans for the minimal sets, and its counts (by size: about n / 2
  // on average over the levels).
  sel.nodeBytes = 64 + (pg ? 48 : 0) + (sel.lines ? 16 : 8 * (static_cast<std::size_t>(n) / 2 + 2));
  sel.nodeSeconds =
      (NODE_NS + (pg ? NODE_MINIMAL_NS : 0) + (sel.lines ? 2 : n) * NODE_SIZE_NS * passes) * 1e-9;
  sel.nodes = budget != 0 ? std::min<std::size_t>(room / sel.nodeBytes, UINT32_MAX)
                          : std::min(n > WALKABLE ? DIAGRAM_NODES_LARGE : DIAGRAM_NODES,
                                     room / sel.nodeBytes);
  // The forest's own constants take two nodes per level.
  if (sel.nodes < 4 * (static_cast<std::size_t>(n) + 1)) sel.nodes = 0;
  const double bound = nodeBound(g) * (pg ? 2.0 : 1.0);
  sel.nodeBound = static_cast<std::size_t>(std::min(bound, static_cast<double>(sel.nodes)));
  // The diagram of a double majority had an eighth of the bound's nodes or
  // more in the games measured (30 to 40 players of weights to 100 in both
  // systems, or to 1000 and to 10^6); one whose bound exceeds the budget
  // HOPELESS times over would only fill it before failing.
  doublemajority::Shape pair;
  sel.hopeless = use == Choice::BEST && bound > HOPELESS * static_cast<double>(sel.nodes) &&
                 doublemajority::SHAPE(g, pair);
}

// The progress of one pass of several: a method's share of the pass as a
// share of the whole count.
struct PASSSHARE {
  const CONTROLTYP* outer = nullptr;
  int passed = 0, total = 1;
};
void passShare(void* data, double share) {
  const PASSSHARE& p = *static_cast<const PASSSHARE*>(data);
  p.outer->REPORT((p.passed + std::clamp(share, 0.0, 1.0)) / p.total);
}

// The fast methods of a game in the order the count tries them, from its
// selection: the doubles' table or the quadrature where planned, the table
// unless the diagram is far smaller, the diagram where it may fit, the
// table after the diagram where the diagram came first. Each with its cost
// and, where it does not apply, why not.
std::vector<Option> optionsOf(const weightedwalk::Game& g, Index index, const Selection& sel) {
  std::vector<Option> out;
  if (!sel.covered) return out;
  const bool pg = index == Index::PUBLICGOOD;
  const METHODTYP tableMethod = sel.paired  ? METHODTYP::DOUBLEMAJORITYTABLE
                                : sel.lines ? METHODTYP::WEIGHTTABLE
                                            : METHODTYP::SIZEWEIGHTTABLE;
  Option table{tableMethod, {}};
  table.cost.APPLIES = sel.table;
  table.cost.PASSES = sel.passes;
  table.cost.BYTES = sel.fixed + sel.tableBytes;
  table.cost.SECONDS = sel.tableSeconds;
  if (!sel.table)
    table.cost.WHY = sel.tableBytes == 0 ? "the rule is not one weighted threshold or a double "
                                           "majority"
                                         : "its table exceeds the memory";
  Option diagram{METHODTYP::DIAGRAM, {}};
  const double bound = nodeBound(g) * (pg ? 2.0 : 1.0);
  diagram.cost.APPLIES = sel.nodes > 0 && !sel.hopeless;
  diagram.cost.PASSES = sel.passes;
  diagram.cost.BYTES = sel.fixed + sel.nodeBound * sel.nodeBytes;
  diagram.cost.SECONDS = static_cast<double>(sel.nodeBound) * sel.nodeSeconds;
  diagram.cost.SURE = bound <= static_cast<double>(sel.nodes);
  if (sel.nodes == 0) diagram.cost.WHY = "no room for a diagram in the memory";
  if (sel.hopeless) diagram.cost.WHY = "its bound exceeds the memory many times over";
  if (sel.floating) {
    Option floating{index == Index::SHAPLEY ? METHODTYP::QUADRATURE : METHODTYP::DOUBLESTABLE, {}};
    floating.cost.APPLIES = true;
    floating.cost.BYTES = sel.floatBytes;
    floating.cost.SECONDS = sel.floatSeconds;
    out.push_back(floating);
  }
  if (!sel.later) out.push_back(table);
  out.push_back(diagram);
  if (sel.later) out.push_back(table);
  // The power series of the Banzhaf counts, before the first method planned
  // slower; listed last where it does not apply.
  // The same for the halves' subset sums.
  for (const Option& extra :
       {Option{METHODTYP::POWERSERIES, sel.series}, Option{METHODTYP::SUBSETHALVES, sel.halves}}) {
    if (!extra.cost.APPLIES && *extra.cost.WHY == '\0') continue;
    auto at = out.end();
    if (extra.cost.APPLIES)
      at = std::find_if(out.begin(), out.end(), [&](const Option& o) {
        return o.cost.APPLIES && o.cost.SECONDS > extra.cost.SECONDS;
      });
    out.insert(at, extra);
  }
  // The minimal coalitions' program before the first method that applies
  // and takes longer; up to PROFILEMAX players after the others, whose
  // shares come from exact counts by size, equal to the walk's to the last
  // bit (the program's are as close as the doubles allow).
  if (sel.minimal) {
    auto at = std::find_if(out.begin(), out.end(), [&](const Option& o) {
      return g.n > PROFILEMAX && o.cost.APPLIES && o.cost.SECONDS > sel.minimalCost.SECONDS;
    });
    out.insert(at, Option{METHODTYP::MINIMALPROGRAM, sel.minimalCost});
  }
  return out;
}

// Counts of the game by METHOD alone into R, or false when the method does
// not count it within the selection's memory: a table or diagram that
// cannot be had leaves the game to the plan's next method, as the budgets
// do, instead of ending the program. Throws STOPPED when CONTROL asks.
bool runMethod(const weightedwalk::Game& g, Index index, METHODTYP method, const Selection& sel,
               Result& r, const CONTROLTYP* control) {
  if (!sel.covered) return false;
  const bool pg = index == Index::PUBLICGOOD, lines = sel.lines, paired = sel.paired;
  const Sizeless part = sel.part;
  const sizetable::Threshold& t = sel.t;
  const Layout at(g, pg, !lines);
  auto out = std::make_unique<Result>(g.n, g.mm);
  auto done = [&](Method legacy) {
    out->method = legacy;
    out->counted = method;
    r = std::move(*out);
    return true;
  };
  // Each pass a share of the count, its methods' loops shares of the pass
  // (COUNTAT); a stop asked for ends the count there.
  PASSSHARE share{control, -1, g.n <= PROFILEMAX ? 1 : PASSES(g.n)};
  CONTROLTYP inner;
  inner.PROGRESS = passShare;
  inner.DATA = &share;
  inner.STOP = control != nullptr ? control->STOP : nullptr;
  const CONTROLSCOPE scope(control != nullptr ? &inner : nullptr);
  auto step = [&] {
    ++share.passed;
    COUNTAT(0);
  };
  // The passes of a count by size (FILL counts one pass's parts) and of a
  // count without sizes (FILL counts one pass's sums).
  auto bySize = [&](const auto& fill) {
    passes(
        g, index, at,
        [&](std::vector<uint64_t>& x, const auto& ring) {
          step();
          pass(g, pg, fill, at, x, ring);
        },
        *out);
  };
  auto byLines = [&](const auto& fill) {
    passes(
        g, index, at,
        [&](std::vector<uint64_t>& x, const auto& ring) {
          step();
          banzhafPass(g, part, fill, at, x, ring);
        },
        *out);
  };
  switch (method) {
    case METHODTYP::SIZEWEIGHTTABLE:
    case METHODTYP::WEIGHTTABLE:
    case METHODTYP::DOUBLEMAJORITYTABLE:
      if (!sel.table) return false;
      try {
        if (lines) {
          byLines([&](Sums& s, const auto& rg) {
            if (paired)
              doublemajority::TOTALS(sel.pair, s.g, rg);
            else
              sizetable::TOTALS(t, s.g, rg);
            sizetable::Threshold all = t;  // nothing blocks: H is every coalition
            all.q = 0;
            sizetable::TOTALS(all, s.h, rg);
          });
        } else {
          bySize([&](Parts& p, const auto& rg) {
            denseParts(t, pg, p, rg);
            if (paired) doublemajority::COUNT(sel.pair, p.g, rg);
          });
        }
        return done(paired ? Method::DENSE2 : Method::DENSE);
      } catch (const std::bad_alloc&) {
        return false;
      }
    case METHODTYP::DOUBLESTABLE:
    case METHODTYP::QUADRATURE: {
      // The doubles' table, where it keeps its accuracy.
      if (!sel.floating) return false;
      step();
      auto c = std::make_unique<doubletable::Counts>();
      std::vector<double> values;
      bool counted = doubletable::BANZHAF(t, *c);
      if (counted && index == Index::SHAPLEY) {
        // A player without swings has the value 0 exactly (its swings of 0
        // are exact in the doubles' counts).
        std::vector<char> swingless(static_cast<std::size_t>(g.n) + 1);
        for (int q = 1; q <= g.n; ++q) swingless[q] = c->swings[q].zero() ? 1 : 0;
        counted = ssquadrature::SHAPLEY(t, swingless, values);
      }
      if (!counted) return false;
      const int n = g.n;
      *out = Result(n, g.mm);
      if (!values.empty()) out->shap = values;
      out->wide = true;
      out->xwins = c->all;
      out->xlosing = c->losing;
      for (int q = 1; q <= n; ++q) {
        out->xwith[q] = c->with[q];
        out->xswings[q] = c->swings[q];
      }
      for (int s = 1; s <= g.mm; ++s) out->xsub[s] = c->all - c->without[s];
      out->floating = true;
      return done(Method::DENSE);
    }
    case METHODTYP::POWERSERIES:
    case METHODTYP::SUBSETHALVES: {
      const bool series = method == METHODTYP::POWERSERIES;
      if (!(series ? sel.series : sel.halves).APPLIES || (!lines && (series || pg))) return false;
      try {
#ifdef VKX_HALVES      // (the web page's build goes without: its download stays small)
        if (!lines) {  // the halves by size
          bySize([&](Parts& p, const auto& rg) {
            halves::COUNT(t, p.g, rg);
            sizetable::Threshold all = t;  // nothing blocks: H is every coalition
            all.q = 0;
            sizetable::COUNT(all, p.h, nullptr, rg);
          });
          return done(Method::DENSE);
        }
#endif
        byLines([&](Sums& s, const auto& rg) {
          if (series)
            powerseries::TOTALS(t, s.g, rg);
          else
            halves::TOTALS(t, s.g, rg);
          sizetable::Threshold all = t;  // nothing blocks: H is every coalition
          all.q = 0;
          sizetable::TOTALS(all, s.h, rg);
        });
        return done(Method::DENSE);
      } catch (const std::bad_alloc&) {
        return false;
      }
    }
    case METHODTYP::MINIMALPROGRAM: {
      if (!sel.minimal || !sel.minimalCost.APPLIES) return false;
      share.total = 1;
      step();
      minimalsets::Counts c;
      if (sel.sized ? !minimalsets::COUNTSIZED(g.n, sel.weight.data(), t.q, g.overall, sel.t1, c)
                    : !minimalsets::COUNT(g.n, sel.weight.data(), t.q, c, true, sel.limit))
        return false;
      out->wide = !c.exact;
      out->floating = !c.exact;
      out->xminimal = c.minimal;
      out->minimal = c.exactMinimal;
      for (int q = 1; q <= g.n; ++q) {
        out->minimalWith[q] = c.exactWith[q];
        out->xminimalWith[q] = c.with[q];
        out->xminimalShare[q] = c.share[q];
        out->minimalShare[q] = XTODOUBLE(c.share[q]);
      }
      return done(Method::DENSE);
    }
    case METHODTYP::DIAGRAM:
      if (sel.nodes == 0 || sel.hopeless) return false;
      try {
        auto d = std::make_unique<Diagram>(g, sel.nodes);
        buildDiagram(g, pg, *d);
        if (lines) {
          byLines([&](Sums& s, const auto& rg) {
            d->forest.totals(d->rule, d->player.data(), d->first.data(), d->mm, s.g, rg);
            if (d->needH)
              d->forest.totals(d->open, d->player.data(), d->first.data(), d->mm, s.h, rg);
          });
        } else {
          bySize([&](Parts& p, const auto& rg) { d->count(pg, p, rg); });
        }
        return done(Method::DIAGRAM);
      } catch (const decisiondiagram::BUDGET&) {
      } catch (const std::bad_alloc&) {
      }
      return false;
    default:
      return false;
  }
}

// Counts of the game into R by the first of its methods that counts it
// within BUDGET bytes (0: the methods' own limits); false when none does.
bool run(const weightedwalk::Game& g, Index index, Choice use, Result& r, std::size_t budget) {
  auto sel = std::make_unique<Selection>();
  select(g, index, use, budget, *sel);
  for (const Option& o : optionsOf(g, index, *sel)) {
    if (!o.cost.APPLIES) continue;
    if (use == Choice::DENSE && o.method == METHODTYP::DIAGRAM) continue;
    if (use != Choice::BEST && o.method == METHODTYP::MINIMALPROGRAM) continue;
    if (runMethod(g, index, o.method, *sel, r, nullptr)) return true;
  }
  return false;
}

}  // namespace

bool SHAPLEY_FAST(const weightedwalk::Game& G, Result& R, Choice USE) {
  return run(G, Index::SHAPLEY, USE, R, 0);
}
bool BANZHAF_FAST(const weightedwalk::Game& G, Result& R, Choice USE) {
  return run(G, Index::BANZHAF, USE, R, 0);
}
bool PUBLICGOOD_FAST(const weightedwalk::Game& G, Result& R, Choice USE) {
  return run(G, Index::PUBLICGOOD, USE, R, 0);
}
bool COUNT_FAST(const weightedwalk::Game& G, Index INDEX, Result& R, Choice USE,
                std::size_t BUDGET) {
  return run(G, INDEX, USE, R, BUDGET);
}

std::vector<Option> OPTIONS(const weightedwalk::Game& G, Index INDEX, std::size_t BUDGET) {
  auto sel = std::make_unique<Selection>();
  select(G, INDEX, Choice::BEST, BUDGET, *sel);
  return optionsOf(G, INDEX, *sel);
}

int COUNT_WITH(const weightedwalk::Game& G, Index INDEX, METHODTYP METHOD, Result& R,
               std::size_t BUDGET, const CONTROLTYP* CONTROL) {
  auto sel = std::make_unique<Selection>();
  select(G, INDEX, Choice::BEST, BUDGET, *sel);
  try {
    return runMethod(G, INDEX, METHOD, *sel, R, CONTROL) ? 1 : 0;
  } catch (const COUNTSTOPPED&) {
    return -1;
  }
}

Plan PLAN(const weightedwalk::Game& G, Index INDEX, std::size_t BUDGET) {
  Plan p;
  const std::size_t n1 = static_cast<std::size_t>(G.n < 0 ? 0 : G.n) + 1;
  p.walkSeconds = std::ldexp(WALK_NS * 1e-9, G.n);
  auto walk = [&] {
    p.sure = true;
    if (G.n > weightedwalk::WALKMAX) return;  // Method::NONE
    p.method = Method::EXHAUSTIVE;
    p.bytes = 2 * n1 * n1 * sizeof(uint64_t);
    p.seconds = p.walkSeconds;
  };
  auto sel = std::make_unique<Selection>();
  select(G, INDEX, Choice::BEST, BUDGET, *sel);
  p.passes = sel->passes;
  if (!sel->covered) {
    walk();
    return p;
  }
  // The minimal coalitions' program, the power series or the halves where
  // they come first.
  for (const Option& o : optionsOf(G, INDEX, *sel)) {
    if (!o.cost.APPLIES) continue;
    const bool minimal = o.method == METHODTYP::MINIMALPROGRAM;
    if (minimal || o.method == METHODTYP::POWERSERIES || o.method == METHODTYP::SUBSETHALVES) {
      p.method = Method::DENSE;
      p.bytes = o.cost.BYTES;
      p.seconds = o.cost.SECONDS;
      p.passes = minimal ? 1 : o.cost.PASSES;
      p.floating = minimal && G.n > PROFILEMAX;
      return p;
    }
    break;
  }
  auto dense = [&] {
    p.method = sel->paired ? Method::DENSE2 : Method::DENSE;
    p.bytes = sel->fixed + sel->tableBytes;
    p.seconds = sel->tableSeconds;
    p.sure = true;
  };
  if (sel->floating) {
    p.method = Method::DENSE;
    p.bytes = sel->floatBytes;
    p.seconds = sel->floatSeconds;
    p.passes = 1;
    p.floating = true;
  } else if (sel->table && !sel->later) {
    dense();
  } else if (sel->nodes > 0 && !sel->hopeless) {
    const double bound = nodeBound(G) * (INDEX == Index::PUBLICGOOD ? 2.0 : 1.0);
    p.method = Method::DIAGRAM;
    p.bytes = sel->fixed + sel->nodeBound * sel->nodeBytes;
    p.seconds = static_cast<double>(sel->nodeBound) * sel->nodeSeconds;
    p.sure = bound <= static_cast<double>(sel->nodes);
  } else if (sel->later) {
    dense();
  } else {
    walk();
  }
  return p;
}

void SHAPLEY_COUNTS(const Result& R, const weightedwalk::Game& G, weightedwalk::WinCounts& C) {
  C = weightedwalk::WinCounts(G.n, G.mm);
  C.wins = static_cast<double>(R.wins);
  for (int p = 1; p <= G.n; ++p) {
    C.value[p] = R.shap[p];
    C.with[p] = static_cast<double>(R.with[p]);
  }
  for (int s = 1; s <= G.mm; ++s) C.sub[s] = static_cast<double>(R.sub[s]);
}

void BANZHAF_COUNTS(const Result& R, const weightedwalk::Game& G, weightedwalk::WinCounts& C) {
  C = weightedwalk::WinCounts(G.n, G.mm);
  C.wins = static_cast<double>(R.wins);
  for (int p = 1; p <= G.n; ++p) C.with[p] = static_cast<double>(R.with[p]);
  for (int s = 1; s <= G.mm; ++s) C.sub[s] = static_cast<double>(R.sub[s]);
}

void PUBLICGOOD_COUNTS(const Result& R, const weightedwalk::Game& G,
                       weightedwalk::MinimalCounts& C) {
  C = weightedwalk::MinimalCounts(G.n);
  C.minimal = static_cast<double>(R.minimal);
  for (int p = 1; p <= G.n; ++p) {
    C.with[p] = static_cast<double>(R.minimalWith[p]);
    C.share[p] = R.minimalShare[p];
  }
}

namespace {

template <typename COUNTS>
Method counted(const weightedwalk::Game& g, COUNTS& c, Index index,
               void (*take)(const Result&, const weightedwalk::Game&, COUNTS&),
               bool (*walk)(const weightedwalk::Game&, COUNTS&, const weightedwalk::Visitor*),
               const weightedwalk::Visitor* visitor) {
  auto r = std::make_unique<Result>();
  if (g.n <= weightedwalk::WALKMAX && run(g, index, Choice::BEST, *r, 0)) {
    take(*r, g, c);
    return r->method;
  }
  return walk(g, c, visitor) ? Method::EXHAUSTIVE : Method::NONE;
}

}  // namespace

Method SHAPLEY(const weightedwalk::Game& G, weightedwalk::WinCounts& C,
               const weightedwalk::Visitor* VISITOR) {
  return counted(G, C, Index::SHAPLEY, SHAPLEY_COUNTS, weightedwalk::SHAPLEY_CORE, VISITOR);
}
Method BANZHAF(const weightedwalk::Game& G, weightedwalk::WinCounts& C,
               const weightedwalk::Visitor* VISITOR) {
  return counted(G, C, Index::BANZHAF, BANZHAF_COUNTS, weightedwalk::SHAPLEY_CORE, VISITOR);
}
Method PUBLICGOOD(const weightedwalk::Game& G, weightedwalk::MinimalCounts& C,
                  const weightedwalk::Visitor* VISITOR) {
  return counted(G, C, Index::PUBLICGOOD, PUBLICGOOD_COUNTS, weightedwalk::PUBLICGOOD_CORE,
                 VISITOR);
}

}  // namespace fastcount
