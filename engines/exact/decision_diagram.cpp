#include "engines/exact/decision_diagram.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <map>
#include <numeric>

#include "engines/exact/modular.h"

namespace decisiondiagram {
namespace {

constexpr uint64_t EMPTY = std::numeric_limits<uint64_t>::max();
constexpr int64_t INF = int64_t{1} << 62;  // beyond any sum of weights
// Memory for the subset-sum bit sets of one threshold.
constexpr double SUMBYTES = 256.0 * 1024 * 1024;

inline uint64_t pairKey(NODE a, NODE b) { return uint64_t{a} << 32 | b; }

// Breadth-first construction (FOREST::conjThreshold, FOREST::andNot): a
// child entry is a node already decided, marked RESOLVED, or the position of
// a pair among the next level's pairs, whose nodes are IDS.
constexpr uint64_t RESOLVED = uint64_t{1} << 63;
constexpr std::size_t AHEAD = 8;  // look-ups the cache is asked for at once

inline NODE resolve(uint64_t c, const std::vector<NODE>& ids) {
  return (c & RESOLVED) ? static_cast<NODE>(c & ~RESOLVED) : ids[static_cast<std::size_t>(c)];
}

inline std::size_t hashOf(uint64_t key, std::size_t mask) {
  key ^= key >> 31;
  key *= 0x9E3779B97F4A7C15ull;
  key ^= key >> 29;
  return static_cast<std::size_t>(key) & mask;
}

// A node with the interval of remaining quotas (or outside sums) for which
// it is the rule.
struct Ranged {
  NODE node;
  int64_t lo, hi;
};

// Memo of interval-ranged nodes: lower bound -> (upper bound, node).
using INTERVALS = std::map<int64_t, std::pair<int64_t, NODE>>;

bool lookup(const INTERVALS& m, int64_t x, Ranged& out) {
  auto it = m.upper_bound(x);
  if (it == m.begin()) return false;
  --it;
  if (x > it->second.first) return false;
  out = {it->second.second, it->first, it->second.first};
  return true;
}

}  // namespace

bool FOREST::MAP::find(uint64_t key, NODE& value) const {
  if (slots_.empty()) return false;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hashOf(key, mask);; i = (i + 1) & mask) {
    if (slots_[i].key == EMPTY) return false;
    if (slots_[i].key == key) {
      value = slots_[i].value;
      return true;
    }
  }
}

void FOREST::MAP::put(uint64_t key, NODE value) {
  if (!findOrPut(key, value)) return;
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hashOf(key, mask);
  while (slots_[i].key != key) i = (i + 1) & mask;
  slots_[i].value = value;
}

bool FOREST::MAP::findOrPut(uint64_t key, NODE& value) {
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<Slot> old = std::move(slots_);
    reset(old.size());
    for (Slot& s : old)
      if (s.key != EMPTY) findOrPut(s.key, s.value);
  }
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hashOf(key, mask);
  for (; slots_[i].key != EMPTY; i = (i + 1) & mask)
    if (slots_[i].key == key) {
      value = slots_[i].value;
      return true;
    }
  slots_[i] = {key, value};
  ++used_;
  return false;
}

void FOREST::MAP::prefetch(uint64_t key) const {
  if (!slots_.empty()) __builtin_prefetch(&slots_[hashOf(key, slots_.size() - 1)]);
}

void FOREST::MAP::reset(std::size_t n) {
  slots_.assign(std::bit_ceil(std::max<std::size_t>(16, 2 * n)), {EMPTY, 0});
  used_ = 0;
}

FOREST::FOREST(int levels, std::size_t budget) : n_(levels), budget_(budget) {
  nodes_.resize(static_cast<std::size_t>(n_) + 1);
  unique_.resize(static_cast<std::size_t>(n_) + 1);
  for (auto& m : memo_) m.resize(static_cast<std::size_t>(n_) + 1);
  zero_.assign(static_cast<std::size_t>(n_) + 1, 0);
  one_.assign(static_cast<std::size_t>(n_) + 1, 1);
  nodes_[n_] = {{0, 0}, {1, 1}};
  systems_.assign(1, std::vector<int32_t>(static_cast<std::size_t>(n_), 1));
  span_.resize(static_cast<std::size_t>(n_) + 1);
  for (int l = n_ - 1; l >= 0; --l) {
    zero_[l] = make(l, zero_[l + 1], zero_[l + 1]);
    one_[l] = make(l, one_[l + 1], one_[l + 1]);
  }
}

NODE FOREST::make(int level, NODE lo, NODE hi) {
  const uint64_t key = pairKey(lo, hi);
  NODE id = 0;
  if (unique_[level].find(key, id)) return id;
  if (++count_ > budget_) throw BUDGET{};
  id = static_cast<NODE>(nodes_[level].size());
  nodes_[level].push_back({lo, hi});
  if (spans_) spanOf(level, lo, hi);
  unique_[level].put(key, id);
  return id;
}

namespace {

// A threshold "the members' summed weight reaches q" in units of the
// weights' greatest common divisor, with the subset sums of the players of
// each level and below as bit sets: a quota r at level l is the same rule as
// the least of those sums that reaches it (rest + 1 when none does: the
// rule "false"), its canonical quota.
struct SUMS {
  int n;
  int64_t unit = 0, q = 0;
  std::vector<int64_t> w, rest;
  std::vector<std::vector<uint64_t>> sets;

  SUMS(int levels, const int64_t* weight, int64_t quota) : n(levels) {
    for (int l = 0; l < n; ++l) unit = std::gcd(unit, weight[l]);
    if (unit == 0) unit = 1;
    q = quota <= 0 ? 0 : (quota + unit - 1) / unit;
    w.assign(static_cast<std::size_t>(n), 0);
    rest.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int l = n - 1; l >= 0; --l) {
      w[l] = weight[l] / unit;
      rest[l] = rest[l + 1] + w[l];
    }
    if (static_cast<double>(rest[0] + 64) * n > 8.0 * SUMBYTES) throw BUDGET{};
    sets.resize(static_cast<std::size_t>(n) + 1);
    sets[n] = {1};
    for (int l = n - 1; l >= 0; --l) {
      const std::vector<uint64_t>& below = sets[l + 1];
      std::vector<uint64_t>& set = sets[l];
      set.assign(static_cast<std::size_t>(rest[l] / 64) + 1, 0);
      const std::size_t shift = static_cast<std::size_t>(w[l] / 64);
      const unsigned bit = static_cast<unsigned>(w[l] % 64);
      for (std::size_t i = 0; i < below.size(); ++i) {
        set[i] |= below[i];
        set[i + shift] |= below[i] << bit;
        if (bit != 0 && i + shift + 1 < set.size()) set[i + shift + 1] |= below[i] >> (64 - bit);
      }
    }
  }

  int64_t canon(int l, int64_t r) const {
    if (r <= 0) return 0;
    if (r > rest[l]) return rest[l] + 1;
    const std::vector<uint64_t>& set = sets[l];
    std::size_t i = static_cast<std::size_t>(r / 64);
    uint64_t word = set[i] & (~uint64_t{0} << (r % 64));
    while (word == 0) word = set[++i];  // the full sum rest[l] is always there
    return static_cast<int64_t>(i * 64) + std::countr_zero(word);
  }
};

}  // namespace

void FOREST::spanOf(int level, NODE lo, NODE hi) {
  const std::size_t sys = systems_.size();
  std::vector<int32_t>& out = span_[level];
  const int32_t* x = &span_[level + 1][2 * sys * lo];
  const int32_t* y = &span_[level + 1][2 * sys * hi];
  for (std::size_t k = 0; k < sys; ++k) {
    const int32_t w = systems_[k][level];  // no sum of a system reaches NOSET
    out.push_back(std::min(x[2 * k], y[2 * k] == NOSET ? NOSET : y[2 * k] + w));
    out.push_back(std::max(x[2 * k + 1], y[2 * k + 1] == -NOSET ? -NOSET : y[2 * k + 1] + w));
  }
}

void FOREST::weigh(const int64_t* weight) {
  // Once the nodes keep their spans the systems stay as they are.
  if (spans_ || systems_.size() == SYSTEMS) return;
  int64_t total = 0;
  for (int l = 0; l < n_; ++l)
    if (weight[l] < 0 || (total += weight[l]) >= NOSET) return;
  const std::vector<int32_t> w(weight, weight + n_);
  if (std::find(systems_.begin(), systems_.end(), w) != systems_.end()) return;
  systems_.push_back(w);
}

void FOREST::spanAll() {
  const std::size_t sys = systems_.size();
  // "false" has no set, "true" the empty one.
  span_[n_].assign(4 * sys, 0);
  for (std::size_t k = 0; k < sys; ++k) {
    span_[n_][2 * k] = NOSET;
    span_[n_][2 * k + 1] = -NOSET;
  }
  for (int l = n_ - 1; l >= 0; --l) {
    span_[l].clear();
    for (const Node& v : nodes_[l]) spanOf(l, v.lo, v.hi);
  }
  spans_ = true;
}

NODE FOREST::threshold(const int64_t* weight, int64_t q) {
  return conjThreshold(one_[0], weight, q);
}

NODE FOREST::conjThreshold(NODE f, const int64_t* weight, int64_t q) {
  weigh(weight);
  const SUMS sums(n_, weight, q);
  // Level by level from the root: the distinct pairs (node of F, canonical
  // quota) that paths reach, as keys node << 32 | quota (the quota is below
  // 2^32 by the bit sets' limit), ascending; each pair's two children are a
  // node already decided (RESOLVED) or a position among the next level's
  // pairs. Then the nodes from the bottom up.
  auto decided = [&](int l, NODE v, int64_t c, uint64_t& out) {
    if (v == zero_[l] || c > sums.rest[l]) {
      out = RESOLVED | zero_[l];
      return true;
    }
    if (c == 0) {  // the threshold is met: F decides alone
      out = RESOLVED | v;
      return true;
    }
    return false;
  };
  uint64_t root = 0;
  const int64_t c0 = sums.canon(0, sums.q);
  if (decided(0, f, c0, root)) return static_cast<NODE>(root & ~RESOLVED);
  std::vector<uint64_t> pairs = {uint64_t{f} << 32 | static_cast<uint64_t>(c0)}, next;
  std::vector<std::vector<uint64_t>> child(static_cast<std::size_t>(n_));  // 2 per pair
  std::vector<std::pair<uint64_t, std::size_t>> open, sorted;              // (pair, child slot)
  std::vector<std::size_t> start, runs;
  std::size_t held = 1;
  for (int l = 0; l < n_ && !pairs.empty(); ++l) {
    std::vector<uint64_t>& ch = child[l];
    ch.assign(2 * pairs.size(), 0);
    open.clear();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      const NODE v = static_cast<NODE>(pairs[i] >> 32);
      const int64_t c = static_cast<int64_t>(pairs[i] & 0xffffffffu);
      const Node x = nodes_[l][v];
      const int64_t cl = sums.canon(l + 1, c), ch1 = sums.canon(l + 1, c - sums.w[l]);
      if (!decided(l + 1, x.lo, cl, ch[2 * i]))
        open.push_back({uint64_t{x.lo} << 32 | static_cast<uint64_t>(cl), 2 * i});
      if (!decided(l + 1, x.hi, ch1, ch[2 * i + 1]))
        open.push_back({uint64_t{x.hi} << 32 | static_cast<uint64_t>(ch1), 2 * i + 1});
    }
    // Ascending: by node with a counting sort, then by quota within a node,
    // where the children of each parent and side form runs that ascend
    // already: merged pairwise.
    start.assign(nodes_[l + 1].size() + 1, 0);
    for (const auto& o : open) ++start[(o.first >> 32) + 1];
    for (std::size_t v = 1; v < start.size(); ++v) start[v] += start[v - 1];
    sorted.resize(open.size());
    for (const auto& o : open) sorted[start[o.first >> 32]++] = o;
    auto at = [&](std::size_t i) { return sorted.begin() + static_cast<long>(i); };
    for (std::size_t a = 0, b = 0; a < sorted.size(); a = b) {
      runs.clear();
      runs.push_back(a);
      for (++b; b < sorted.size() && (sorted[b].first >> 32) == (sorted[a].first >> 32); ++b)
        if (sorted[b].first < sorted[b - 1].first) runs.push_back(b);
      runs.push_back(b);
      while (runs.size() > 2) {
        std::size_t kept = 1;
        for (std::size_t r = 2; r < runs.size(); r += 2) {
          std::inplace_merge(at(runs[r - 2]), at(runs[r - 1]), at(runs[r]));
          runs[kept++] = runs[r];
        }
        if (runs.size() % 2 == 0) runs[kept++] = runs.back();
        runs.resize(kept);
      }
    }
    next.clear();
    for (const auto& [key, slot] : sorted) {
      if (next.empty() || next.back() != key) next.push_back(key);
      ch[slot] = next.size() - 1;
    }
    held += next.size();
    room(held);
    pairs.swap(next);
  }
  return buildUp(0, child)[0];
}

std::vector<NODE> FOREST::buildUp(int top, const std::vector<std::vector<uint64_t>>& child) {
  std::vector<NODE> ids, up;
  for (int l = n_ - 1; l >= top; --l) {
    const std::vector<uint64_t>& ch = child[l];
    up.resize(ch.size() / 2);
    for (std::size_t i = 0; i < up.size(); ++i) {
      if (i + AHEAD < up.size())
        unique_[l].prefetch(
            pairKey(resolve(ch[2 * (i + AHEAD)], ids), resolve(ch[2 * (i + AHEAD) + 1], ids)));
      up[i] = make(l, resolve(ch[2 * i], ids), resolve(ch[2 * i + 1], ids));
    }
    ids.swap(up);
  }
  return ids;
}

NODE FOREST::notBlockedDescending(const int64_t* weight, int64_t b) {
  // With the heaviest players first, the lightest outsider is the last one:
  // the rule is "all outsiders but the last hold at most B". State after
  // the first outsider: the budget left, beta = B - (all outsiders so far),
  // kept as the class of beta + 1 among the subset sums below (what the
  // remaining outsiders but their last may hold), and whether the outsiders
  // so far but the last fit (A), which decides when nobody else goes out.
  const SUMS sums(n_, weight, 0);
  const int64_t budget = b / sums.unit;
  std::vector<MAP> memo(static_cast<std::size_t>(n_) + 1);
  auto build = [&](auto& self, int l, bool fits, int64_t c) -> NODE {
    if (!fits && c == 0) return zero_[l];
    if (fits && c > sums.rest[l]) return one_[l];
    if (l == n_) return fits ? one_[l] : zero_[l];
    const uint64_t key = uint64_t{fits} << 32 | static_cast<uint64_t>(c);
    NODE r = 0;
    if (memo[l].find(key, r)) return r;
    const NODE in = self(self, l + 1, fits, sums.canon(l + 1, c));
    const NODE out = self(self, l + 1, c >= 1, sums.canon(l + 1, c - sums.w[l]));
    r = make(l, out, in);
    memo[l].put(key, r);
    return r;
  };
  // Nobody outside yet: one node per level.
  NODE none = one_[n_];
  for (int l = n_ - 1; l >= 0; --l)
    none = make(l, build(build, l + 1, true, sums.canon(l + 1, budget - sums.w[l] + 1)), none);
  return none;
}

NODE FOREST::notBlocked(const int64_t* weight, int64_t b) {
  weigh(weight);
  bool descending = true;
  for (int l = 1; l < n_; ++l) descending = descending && weight[l] <= weight[l - 1];
  if (descending) return notBlockedDescending(weight, b);
  // State: the outsiders' sum so far and their lightest weight (NONE while
  // nobody is outside). For a fixed lightest weight the rule only grows
  // stricter as the sum grows, so the sums of one node form an interval.
  constexpr int64_t NONE = INF;
  std::vector<int64_t> rest(static_cast<std::size_t>(n_) + 1, 0),
      lightest(static_cast<std::size_t>(n_) + 1, NONE);
  for (int l = n_ - 1; l >= 0; --l) {
    rest[l] = rest[l + 1] + weight[l];
    lightest[l] = std::min(lightest[l + 1], weight[l]);
  }
  std::vector<std::map<int64_t, INTERVALS>> memo(static_cast<std::size_t>(n_));
  auto build = [&](auto& self, int l, int64_t sum, int64_t light) -> Ranged {
    // The blocking sum only grows as players go outside: everybody left
    // joining gives the least, everybody left staying outside the most.
    if (light != NONE && sum - light > b) return {zero_[l], b + light + 1, INF};
    const int64_t light2 = std::min(light, lightest[l]);
    const int64_t most = sum + rest[l] - (light2 == NONE ? 0 : light2);
    if (most <= b) return {one_[l], -INF, b - rest[l] + (light2 == NONE ? 0 : light2)};
    if (l == n_) return {zero_[l], sum, INF};  // not reached: the bounds above decide
    Ranged got;
    INTERVALS& m = memo[l][light];
    if (lookup(m, sum, got)) return got;
    const int64_t w = weight[l];
    const Ranged in = self(self, l + 1, sum, light);
    const Ranged out = self(self, l + 1, sum + w, std::min(light, w));
    got = {make(l, out.node, in.node), std::max(in.lo, out.lo - w), std::min(in.hi, out.hi - w)};
    m[got.lo] = {got.hi, got.node};
    return got;
  };
  return build(build, 0, 0, NONE).node;
}

NODE FOREST::apply(OP op, int level, NODE a, NODE b) {
  if (level == n_) {
    switch (op) {
      case AND:
        return a & b;
      default:
        return a | b;
    }
  }
  const NODE z = zero_[level], o = one_[level];
  switch (op) {
    case AND:
      if (a == z || b == z) return z;
      if (a == o || a == b) return b;
      if (b == o) return a;
      if (a > b) std::swap(a, b);
      break;
    default:
      if (a == o || b == o) return o;
      if (a == z || a == b) return b;
      if (b == z) return a;
      if (a > b) std::swap(a, b);
      break;
  }
  const uint64_t key = pairKey(a, b);
  NODE r = 0;
  if (memo_[op][level].find(key, r)) return r;
  const Node x = nodes_[level][a], y = nodes_[level][b];
  const NODE lo = apply(op, level + 1, x.lo, y.lo);
  const NODE hi = apply(op, level + 1, x.hi, y.hi);
  r = make(level, lo, hi);
  memo_[op][level].put(key, r);
  return r;
}

void FOREST::andNot(int level, const std::vector<uint64_t>& pairs, std::vector<NODE>& out) {
  // Breadth first, as conjThreshold: level by level from LEVEL the distinct
  // pairs that the given ones lead to, each pair's children a node already
  // decided (RESOLVED) or a position among the next level's pairs; then the
  // nodes from the bottom up. The pairs of one level are told apart in a
  // map of that level alone, which stays far smaller than a memo of every
  // pair and is visited one level at a time. A pair whose A weighs less in
  // some system than any set of B is A at once: most of the differences of
  // minimal sets end so, which spares their whole diagrams below.
  const std::size_t sys = systems_.size();
  auto apart = [&](int l, NODE a, NODE b) {
    const int32_t* x = &span_[l][2 * sys * a];
    const int32_t* y = &span_[l][2 * sys * b];
    for (std::size_t k = 0; k < sys; ++k)
      if (x[2 * k + 1] < y[2 * k]) return true;
    return false;
  };
  MAP seen;
  std::vector<uint64_t> open, next;
  auto visit = [&](int l, uint64_t key, uint64_t& out) {
    const NODE a = static_cast<NODE>(key >> 32), b = static_cast<NODE>(key);
    if (a == zero_[l] || b == one_[l] || a == b) {
      out = RESOLVED | zero_[l];
    } else if (b == zero_[l] || apart(l, a, b)) {
      out = RESOLVED | a;
    } else {  // at the last level every pair is decided above
      NODE at = static_cast<NODE>(next.size());
      if (!seen.findOrPut(key, at)) next.push_back(key);
      out = at;
    }
  };
  std::vector<uint64_t> roots(pairs.size());
  seen.reset(pairs.size());
  for (std::size_t i = 0; i < pairs.size(); ++i) visit(level, pairs[i], roots[i]);
  std::size_t held = next.size();
  room(held);
  std::vector<std::vector<uint64_t>> child(static_cast<std::size_t>(n_));  // 2 per pair
  for (int l = level; l < n_ && !next.empty(); ++l) {
    open.swap(next);
    next.clear();
    seen.reset(open.size());
    std::vector<uint64_t>& ch = child[l];
    ch.resize(2 * open.size());
    const Node* at = nodes_[l].data();
    for (std::size_t i = 0; i < open.size(); ++i) {
      if (i + AHEAD < open.size()) {
        __builtin_prefetch(at + (open[i + AHEAD] >> 32));
        __builtin_prefetch(at + (open[i + AHEAD] & 0xffffffffu));
      }
      const Node x = at[open[i] >> 32], y = at[open[i] & 0xffffffffu];
      ch[2 * i] = pairKey(x.lo, y.lo);
      ch[2 * i + 1] = pairKey(x.hi, y.hi);
    }
    // The keys first, then their look-ups, each asked of the cache ahead.
    for (std::size_t i = 0; i < ch.size(); ++i) {
      if (i + AHEAD < ch.size()) seen.prefetch(ch[i + AHEAD]);
      visit(l + 1, ch[i], ch[i]);
    }
    held += next.size();
    room(held);
  }
  const std::vector<NODE> ids = buildUp(level, child);
  out.resize(roots.size());
  for (std::size_t i = 0; i < roots.size(); ++i) out[i] = resolve(roots[i], ids);
}

void FOREST::reachable(NODE f, std::vector<std::vector<NODE>>& reach,
                       std::vector<std::vector<int32_t>>& index) const {
  reach.assign(static_cast<std::size_t>(n_) + 1, {});
  index.resize(static_cast<std::size_t>(n_) + 1);
  for (int l = 0; l <= n_; ++l) index[l].assign(nodes_[l].size(), -1);
  reach[0].push_back(f);
  index[0][f] = 0;
  for (int l = 0; l < n_; ++l)
    for (NODE v : reach[l])
      for (NODE c : {nodes_[l][v].lo, nodes_[l][v].hi})
        if (index[l + 1][c] < 0) {
          index[l + 1][c] = static_cast<int32_t>(reach[l + 1].size());
          reach[l + 1].push_back(c);
        }
}

NODE FOREST::minimal(NODE f) {
  if (!spans_) spanAll();  // kept for every node from now on
  // A minimal set without the player is a minimal set of the rule without
  // it; one with the player is minimal with it, and its rest must not win
  // without the player already: Min(f) = ite(x, Min(f1) AND NOT f0, Min(f0)).
  // From the bottom up, the differences of all nodes of a level in one
  // batch, once the minimal sets of the level below are known.
  std::vector<std::vector<NODE>> reach;
  std::vector<std::vector<int32_t>> index;
  reachable(f, reach, index);
  std::vector<NODE> below = reach[n_], here, hi;  // by position in REACH
  std::vector<uint64_t> pairs;
  for (int l = n_ - 1; l >= 0; --l) {
    auto at = [&](NODE c) { return below[static_cast<std::size_t>(index[l + 1][c])]; };
    pairs.clear();
    for (NODE v : reach[l]) pairs.push_back(pairKey(at(nodes_[l][v].hi), nodes_[l][v].lo));
    andNot(l + 1, pairs, hi);
    here.resize(reach[l].size());
    for (std::size_t i = 0; i < here.size(); ++i)
      here[i] = make(l, at(nodes_[l][reach[l][i]].lo), hi[i]);
    below.swap(here);
  }
  return below[0];
}

template <class RING>
void FOREST::profile(NODE f, const int* player, const int* first, int mm, fastcount::Profile& out,
                     const RING& ring) const {
  out = fastcount::Profile(n_, mm);
  const int n = n_;
  // The nodes reachable from F, numbered per level.
  std::vector<std::vector<NODE>> reach;
  std::vector<std::vector<int32_t>> index;
  reachable(f, reach, index);

  // up[l][i * (n - l + 1) + j]: completions of size j from node i of level l
  // to "true".
  std::vector<std::vector<uint64_t>> up(static_cast<std::size_t>(n) + 1);
  for (NODE v : reach[n]) up[n].push_back(v == 1 ? 1 : 0);
  for (int l = n - 1; l >= 0; --l) {
    const std::size_t w = static_cast<std::size_t>(n - l) + 1, wc = w - 1;
    up[l].assign(reach[l].size() * w, 0);
    for (std::size_t i = 0; i < reach[l].size(); ++i) {
      const Node x = nodes_[l][reach[l][i]];
      const uint64_t* lo = &up[l + 1][static_cast<std::size_t>(index[l + 1][x.lo]) * wc];
      const uint64_t* hi = &up[l + 1][static_cast<std::size_t>(index[l + 1][x.hi]) * wc];
      uint64_t* u = &up[l][i * w];
      for (std::size_t j = 0; j < wc; ++j) {
        u[j] = ring.add(u[j], lo[j]);
        u[j + 1] = ring.add(u[j + 1], hi[j]);
      }
    }
  }
  for (int k = 0; k <= n; ++k) out.all[k] = up[0][static_cast<std::size_t>(k)];

  // down[i * (l + 1) + j]: paths of size j from F to node i of level l. The
  // paths into a level-(l+1) node through "member" edges, joined with that
  // node's completions, are the sets holding the player of level l.
  std::vector<uint64_t> down(1, 1), next, viaHi;
  for (int l = 0; l <= n; ++l) {
    const std::size_t w = static_cast<std::size_t>(l) + 1;
    for (int s = 1; s <= mm; ++s) {
      if (first[s] != l) continue;
      // Follow "no member" edges through subgame s.
      for (std::size_t i = 0; i < reach[l].size(); ++i) {
        NODE v = reach[l][i];
        for (int m = first[s]; m < first[s + 1]; ++m) v = nodes_[m][v].lo;
        const int e = first[s + 1];
        const std::size_t we = static_cast<std::size_t>(n - e) + 1;
        const uint64_t* u = &up[e][static_cast<std::size_t>(index[e][v]) * we];
        for (std::size_t j = 0; j < w; ++j)
          for (std::size_t t = 0; t < we; ++t)
            out.without[s][j + t] =
                ring.add(out.without[s][j + t], ring.mul(down[i * w + j], u[t]));
      }
    }
    if (l == n) break;
    const std::size_t wn = w + 1, wu = static_cast<std::size_t>(n - l);
    next.assign(reach[l + 1].size() * wn, 0);
    viaHi.assign(reach[l + 1].size() * w, 0);
    for (std::size_t i = 0; i < reach[l].size(); ++i) {
      const Node x = nodes_[l][reach[l][i]];
      const std::size_t a = static_cast<std::size_t>(index[l + 1][x.lo]);
      const std::size_t b = static_cast<std::size_t>(index[l + 1][x.hi]);
      for (std::size_t j = 0; j < w; ++j) {
        const uint64_t d = down[i * w + j];
        next[a * wn + j] = ring.add(next[a * wn + j], d);
        next[b * wn + j + 1] = ring.add(next[b * wn + j + 1], d);
        viaHi[b * w + j] = ring.add(viaHi[b * w + j], d);
      }
    }
    uint64_t* with = out.with[static_cast<std::size_t>(player[l])].data();
    for (std::size_t c = 0; c < reach[l + 1].size(); ++c) {
      const uint64_t* u = &up[l + 1][c * wu];
      for (std::size_t j = 0; j < w; ++j) {
        const uint64_t d = viaHi[c * w + j];
        if (d == 0) continue;
        for (std::size_t t = 0; t < wu; ++t)
          with[j + t + 1] = ring.add(with[j + t + 1], ring.mul(d, u[t]));
      }
    }
    down.swap(next);
  }
}

template <class RING>
void FOREST::totals(NODE f, const int* player, const int* first, int mm, fastcount::Totals& out,
                    const RING& ring) const {
  out = fastcount::Totals(n_, mm);
  const int n = n_;
  std::vector<std::vector<NODE>> reach;
  std::vector<std::vector<int32_t>> index;
  reachable(f, reach, index);
  // up[l][i]: completions from node i of level l to "true".
  std::vector<std::vector<uint64_t>> up(static_cast<std::size_t>(n) + 1);
  for (NODE v : reach[n]) up[n].push_back(v == 1 ? 1 : 0);
  for (int l = n - 1; l >= 0; --l) {
    up[l].resize(reach[l].size());
    for (std::size_t i = 0; i < reach[l].size(); ++i) {
      const Node x = nodes_[l][reach[l][i]];
      up[l][i] = ring.add(up[l + 1][static_cast<std::size_t>(index[l + 1][x.lo])],
                          up[l + 1][static_cast<std::size_t>(index[l + 1][x.hi])]);
    }
  }
  out.all = up[0][0];
  NODE v = f;
  for (int l = 0; l < n; ++l) v = nodes_[l][v].lo;
  out.empty = v == 1;
  // down[i]: paths from F to node i of level l.
  std::vector<uint64_t> down(1, 1), next;
  for (int l = 0; l <= n; ++l) {
    for (int s = 1; s <= mm; ++s) {
      if (first[s] != l) continue;
      const int e = first[s + 1];
      for (std::size_t i = 0; i < reach[l].size(); ++i) {
        NODE u = reach[l][i];
        for (int m = l; m < e; ++m) u = nodes_[m][u].lo;
        out.without[s] = ring.add(out.without[s],
                                  ring.mul(down[i], up[e][static_cast<std::size_t>(index[e][u])]));
      }
    }
    if (l == n) break;
    next.assign(reach[l + 1].size(), 0);
    uint64_t with = 0;
    for (std::size_t i = 0; i < reach[l].size(); ++i) {
      const Node x = nodes_[l][reach[l][i]];
      const std::size_t a = static_cast<std::size_t>(index[l + 1][x.lo]);
      const std::size_t b = static_cast<std::size_t>(index[l + 1][x.hi]);
      next[a] = ring.add(next[a], down[i]);
      next[b] = ring.add(next[b], down[i]);
      with = ring.add(with, ring.mul(down[i], up[l + 1][b]));
    }
    out.with[static_cast<std::size_t>(player[l])] = with;
    down.swap(next);
  }
}

template void FOREST::totals(NODE, const int*, const int*, int, fastcount::Totals&,
                             const fastcount::WRAP&) const;
template void FOREST::totals(NODE, const int*, const int*, int, fastcount::Totals&,
                             const fastcount::MODP&) const;
template void FOREST::profile(NODE, const int*, const int*, int, fastcount::Profile&,
                              const fastcount::WRAP&) const;
template void FOREST::profile(NODE, const int*, const int*, int, fastcount::Profile&,
                              const fastcount::MODP&) const;

}  // namespace decisiondiagram
