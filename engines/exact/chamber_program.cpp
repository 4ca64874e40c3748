#include "engines/exact/chamber_program.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

// The program goes through the chambers in order 1..MM. Its state after a
// chamber is the set of boxes whose intervals hold every count so far (a bit
// mask, the "key") together with the running member total t, the index of a
// value array. An overall threshold counts the leading T1ANZ (T2ANZ)
// chambers, so after chamber T1ANZ its count is that running total; it is
// applied there, by dropping the boxes it binds from the keys of the totals
// below it. A vector wins when a box survives to the end. Counting every
// winning vector once is the union of the boxes, as the walk's "first box
// met" counts it.
//
// Each key carries several lanes of counts that differ only in the factor of
// one chamber: the coalitions themselves (C(n, k)), those with a member of
// chamber e (C(n, k) for k >= 1) and those holding one given member of e
// (C(n - 1, k - 1)). Swings need the fate of the vector with one member of
// chamber e less, which depends on that chamber's count alone: a second pass
// per chamber starts from the first pass's state before e and carries a pair
// of masks, for the vector and for the vector less one member of e. Minimal
// winning vectors need every such neighbour at once; for them each box
// carries a small automaton instead of one bit (see minimalStep).
namespace {

inline bool isZero(double x) { return x == 0.0; }
inline bool isZero(const XNUM& x) { return x.zero(); }
inline XNUM toX(double x) { return XNUM(x); }
inline XNUM toX(const XNUM& x) { return x; }

// D += S * C, the step of every convolution below.
inline void mulAdd(double& d, double s, double c) { d += s * c; }
inline void mulAdd(XNUM& d, const XNUM& s, const XNUM& c) { XMULADD(d, s, c); }

template <class NUM>
NUM fromX(const XNUM& x);
template <>
double fromX<double>(const XNUM& x) {
  return XTODOUBLE(x);
}
template <>
XNUM fromX<XNUM>(const XNUM& x) {
  return x;
}

// C(n, 0..kmax) as the running product of (n - i + 1) / i, in a long double
// mantissa with its own exponent: exact to far below a double's precision at
// any size, and 0 beyond n.
std::vector<XNUM> binomialRow(int64_t n, int64_t kmax) {
  std::vector<XNUM> row(static_cast<std::size_t>(kmax) + 1);
  long double z = 1.0L;
  int64_t e = 0;
  row[0] = XNUM(1.0);
  for (int64_t i = 1; i <= kmax && i <= n; ++i) {
    z *= static_cast<long double>(n - i + 1) / static_cast<long double>(i);
    int s = 0;
    z = std::frexp(z, &s);
    e += s;
    row[static_cast<std::size_t>(i)] = XNUM::fromLong(z, e);
  }
  return row;
}

// The winning rule of the count vectors, as the walk applies it.
struct RULE {
  ISAKIND kind = ISAKIND::SHAPLEY;
  int mm = 0, thres = 0;
  int32_t nn[MAXCHAMB + 1] = {};
  int64_t total = 0;
  int64_t lo[MAXCHAMB + 1][MAXCHAMB + 1] = {};  // [box][chamber], inclusive
  int64_t hi[MAXCHAMB + 1][MAXCHAMB + 1] = {};
  uint32_t bound1 = 0, bound2 = 0;  // boxes that overall threshold 1 (2) binds
  int anz1 = 0, anz2 = 0;
  int64_t t1 = 0, t2 = 0;

  uint32_t inside(int d, int64_t k) const {
    uint32_t m = 0;
    for (int w = 1; w <= thres; ++w)
      if (lo[w][d] <= k && k <= hi[w][d]) m |= 1u << (w - 1);
    return m;
  }
  uint32_t allBoxes() const { return (1u << thres) - 1; }
};

// Values of one layer: per key, LANES arrays over the totals 0..T.
template <class NUM>
struct LAYER {
  int64_t T = 0;
  int lanes = 1;
  std::vector<uint64_t> keys;
  std::vector<std::vector<NUM>> vals;
  std::unordered_map<uint64_t, std::size_t> where;

  void reset(int64_t t, int l) {
    T = t;
    lanes = l;
    keys.clear();
    vals.clear();
    where.clear();
  }
  std::size_t width() const { return static_cast<std::size_t>(T) + 1; }
  NUM* slot(uint64_t key) {
    auto [it, fresh] = where.try_emplace(key, keys.size());
    if (fresh) {
      keys.push_back(key);
      vals.emplace_back(width() * static_cast<std::size_t>(lanes), NUM{});
    }
    return vals[it->second].data();
  }
};

// Lowest and highest total with a value in any lane; false when none.
template <class NUM>
bool span(const LAYER<NUM>& l, std::size_t i, int64_t& a, int64_t& b) {
  a = l.T + 1;
  b = -1;
  const NUM* v = l.vals[i].data();
  for (int lane = 0; lane < l.lanes; ++lane, v += l.width())
    for (int64_t t = 0; t <= l.T; ++t)
      if (!isZero(v[t])) {
        a = std::min(a, t);
        b = std::max(b, t);
      }
  return b >= 0;
}

// One chamber of N members: every key goes to NEXT(key, k) for k = 0..N
// members (0 drops it), its values shifted by k and multiplied by
// COEF(lane, k).
template <class NUM, class NEXT, class COEF>
void step(const LAYER<NUM>& from, LAYER<NUM>& to, int32_t n, NEXT next, COEF coef) {
  to.reset(from.T + n, from.lanes);
  std::vector<uint64_t> nk(static_cast<std::size_t>(n) + 1);
  for (std::size_t i = 0; i < from.keys.size(); ++i) {
    int64_t a = 0, b = 0;
    if (!span(from, i, a, b)) continue;
    for (int32_t k = 0; k <= n; ++k) nk[static_cast<std::size_t>(k)] = next(from.keys[i], k);
    for (int32_t k = 0; k <= n;) {
      const uint64_t key = nk[static_cast<std::size_t>(k)];
      int32_t e = k;
      while (e < n && nk[static_cast<std::size_t>(e) + 1] == key) ++e;
      if (key != 0) {
        NUM* dst = to.slot(key);
        for (int lane = 0; lane < from.lanes; ++lane) {
          const NUM* s = from.vals[i].data() + static_cast<std::size_t>(lane) * from.width();
          NUM* d = dst + static_cast<std::size_t>(lane) * to.width();
          for (int32_t j = k; j <= e; ++j) {
            const NUM c = coef(lane, j);
            if (isZero(c)) continue;
            for (int64_t t = a; t <= b; ++t) mulAdd(d[t + j], s[t], c);
          }
        }
      }
      k = e + 1;
    }
  }
}

// Every key and total goes to SPLIT(key, t) (0 drops it).
template <class NUM, class SPLIT>
void split(LAYER<NUM>& layer, SPLIT f) {
  LAYER<NUM> out;
  out.reset(layer.T, layer.lanes);
  const std::size_t w = layer.width();
  for (std::size_t i = 0; i < layer.keys.size(); ++i) {
    for (int64_t t = 0; t <= layer.T; ++t) {
      bool any = false;
      for (int lane = 0; lane < layer.lanes && !any; ++lane)
        any = !isZero(layer.vals[i][static_cast<std::size_t>(lane) * w + t]);
      if (!any) continue;
      const uint64_t key = f(layer.keys[i], t);
      if (key == 0) continue;
      NUM* dst = out.slot(key);
      for (int lane = 0; lane < layer.lanes; ++lane) {
        const std::size_t at = static_cast<std::size_t>(lane) * w + static_cast<std::size_t>(t);
        dst[at] += layer.vals[i][at];
      }
    }
  }
  layer = std::move(out);
}

// The overall thresholds that are due after chamber C (0: before the
// first), applied to the box masks by DROP(key, t, bound, threshold).
template <class NUM, class DROP>
void thresholds(const RULE& r, int c, LAYER<NUM>& layer, DROP drop) {
  if (c == r.anz1)
    split(layer, [&](uint64_t key, int64_t t) { return drop(key, t, r.bound1, r.t1); });
  if (c == r.anz2)
    split(layer, [&](uint64_t key, int64_t t) { return drop(key, t, r.bound2, r.t2); });
}

// Box automaton for minimal winning vectors, two bits per box w:
//   DEAD  neither the vector nor any vector with one member less lies in w;
//   IN0   the vector lies in w (and meets w's thresholds so far), and no
//         vector with one member less does;
//   IN1   the vector lies in w, and so does the vector less one member of
//         some chamber (a member that is not needed);
//   ONE   the vector misses w in exactly one chamber, by one member too many
//         there: the vector less that member lies in w.
// A vector wins when some box is IN0 or IN1, and is minimal when in addition
// no box is IN1 or ONE.
enum : uint64_t { DEAD = 0, IN0 = 1, IN1 = 2, ONE = 3 };

uint64_t boxState(uint64_t key, int w) { return key >> (2 * (w - 1)) & 3; }

// The key with every box WHERE says set to STATE, or 0 when no box keeps the
// vector inside.
template <class F>
uint64_t remap(const RULE& r, uint64_t key, F where) {
  uint64_t out = 0;
  bool inside = false;
  for (int w = 1; w <= r.thres; ++w) {
    const uint64_t s = where(w, boxState(key, w));
    out |= s << (2 * (w - 1));
    inside = inside || s == IN0 || s == IN1;
  }
  return inside ? out : 0;
}

uint64_t minimalStep(const RULE& r, uint64_t key, int d, int64_t k) {
  return remap(r, key, [&](int w, uint64_t s) -> uint64_t {
    if (s == DEAD) return DEAD;
    const bool in = r.lo[w][d] <= k && k <= r.hi[w][d];
    if (s == ONE) return in ? ONE : DEAD;
    if (in) return s == IN1 || k > std::max<int64_t>(r.lo[w][d], 0) ? IN1 : IN0;
    if (k >= 1 && k == r.hi[w][d] + 1 && k - 1 >= r.lo[w][d]) return ONE;
    return DEAD;
  });
}

// An overall threshold on the count t: below it the boxes it binds are lost;
// at exactly the threshold the vector still wins through them, but a vector
// with one member less of the chambers it counts (all so far) does not.
uint64_t minimalThreshold(const RULE& r, uint64_t key, int64_t t, uint32_t bound, int64_t thr) {
  if (t > thr) return key;
  return remap(r, key, [&](int w, uint64_t s) -> uint64_t {
    if (!(bound >> (w - 1) & 1)) return s;
    if (t < thr) return DEAD;
    return s == IN1 ? IN0 : s == ONE ? DEAD : s;
  });
}

template <class NUM>
struct TABLES {
  std::vector<NUM> bin[MAXCHAMB + 1];  // C(n_d, k)
  std::vector<NUM> bm1[MAXCHAMB + 1];  // C(n_d - 1, k - 1): coalitions with one given member
  std::vector<NUM> shapWeight;         // 1 / (C(N, t) t), the Shapley weight of a swing
};

template <class NUM>
TABLES<NUM> tables(const RULE& r, const ISAGAME& g) {
  TABLES<NUM> tb;
  for (int d = 1; d <= r.mm; ++d) {
    const int32_t n = r.nn[d];
    for (const XNUM& x : binomialRow(n, n)) tb.bin[d].push_back(fromX<NUM>(x));
    tb.bm1[d].push_back(NUM{});
    if (n > 0)
      for (const XNUM& x : binomialRow(n - 1, n - 1)) tb.bm1[d].push_back(fromX<NUM>(x));
  }
  if (r.kind == ISAKIND::SHAPLEY || r.kind == ISAKIND::WORKINGPLAN) {
    std::vector<XNUM> c = binomialRow(g.N, r.total);
    tb.shapWeight.assign(c.size(), NUM{});
    for (std::size_t t = 1; t < c.size(); ++t)
      tb.shapWeight[t] = fromX<NUM>(XNUM(1.0) / (c[t] * XNUM(static_cast<double>(t))));
  }
  return tb;
}

template <class NUM>
XNUM laneSum(const LAYER<NUM>& l, std::size_t i, int lane) {
  NUM s{};
  const NUM* v = l.vals[i].data() + static_cast<std::size_t>(lane) * l.width();
  for (int64_t t = 0; t <= l.T; ++t) s += v[t];
  return toX(s);
}

template <class NUM>
ISAXTOTALS count(const RULE& r, const ISAGAME& g) {
  ISAXTOTALS out;
  const TABLES<NUM> tb = tables<NUM>(r, g);
  const int mm = r.mm;
  const bool shapley = r.kind == ISAKIND::SHAPLEY;
  const bool minimal = r.kind == ISAKIND::PUBLICGOOD;

  // Lanes: 0 all coalitions; 1..mm those with a member of chamber e (Shapley
  // only); then those holding one given member of chamber e.
  const int xBase = 0, yBase = shapley ? mm : 0;
  const int lanes = 1 + yBase + mm;
  auto coef = [&](int d) {
    return [&, d](int lane, int32_t k) -> NUM {
      const std::size_t kk = static_cast<std::size_t>(k);
      if (lane > yBase && lane - yBase == d) return tb.bm1[d][kk];
      if (shapley && lane > xBase && lane <= yBase && lane - xBase == d && k == 0) return NUM{};
      return tb.bin[d][kk];
    };
  };

  LAYER<NUM> cur, next;
  cur.reset(0, lanes);
  NUM* start = cur.slot(minimal ? 0x5555555555555555ull >> (64 - 2 * r.thres) : r.allBoxes());
  for (int lane = 0; lane < lanes; ++lane) start[lane] = NUM(1.0);

  auto plainDrop = [](uint64_t key, int64_t t, uint32_t bound, int64_t thr) -> uint64_t {
    return t < thr ? key & ~static_cast<uint64_t>(bound) : key;
  };
  auto minimalDrop = [&](uint64_t key, int64_t t, uint32_t bound, int64_t thr) {
    return minimalThreshold(r, key, t, bound, thr);
  };

  // The first pass; its states before each chamber, all coalitions lane
  // only, start the swing passes.
  std::vector<LAYER<NUM>> before(static_cast<std::size_t>(mm) + 1);
  if (minimal)
    thresholds(r, 0, cur, minimalDrop);
  else
    thresholds(r, 0, cur, plainDrop);
  for (int d = 1; d <= mm; ++d) {
    if (!minimal) {
      LAYER<NUM>& b = before[static_cast<std::size_t>(d)];
      b.reset(cur.T, 1);
      for (std::size_t i = 0; i < cur.keys.size(); ++i) {
        NUM* v = b.slot(cur.keys[i]);
        std::copy(cur.vals[i].begin(), cur.vals[i].begin() + static_cast<long>(cur.width()), v);
      }
    }
    if (minimal) {
      step(
          cur, next, r.nn[d], [&](uint64_t key, int32_t k) { return minimalStep(r, key, d, k); },
          coef(d));
      thresholds(r, d, next, minimalDrop);
    } else {
      step(
          cur, next, r.nn[d],
          [&](uint64_t key, int32_t k) -> uint64_t { return key & r.inside(d, k); }, coef(d));
      thresholds(r, d, next, plainDrop);
    }
    std::swap(cur, next);
  }

  for (std::size_t i = 0; i < cur.keys.size(); ++i) {
    if (minimal) {
      bool needed = true;
      for (int w = 1; w <= r.thres; ++w) {
        const uint64_t s = boxState(cur.keys[i], w);
        needed = needed && s != IN1 && s != ONE;
      }
      if (!needed) continue;
      out.WINSETS += laneSum(cur, i, 0);
      for (int d = 1; d <= mm; ++d) {
        const NUM* v = cur.vals[i].data() + static_cast<std::size_t>(yBase + d) * cur.width();
        NUM share{};
        for (int64_t t = 1; t <= cur.T; ++t) share += v[t] / NUM(static_cast<double>(t));
        out.SHAP[d] += laneSum(cur, i, yBase + d);
        out.PIV0[d] += toX(share);
      }
      continue;
    }
    out.WINSETS += laneSum(cur, i, 0);
    for (int d = 1; d <= mm; ++d) {
      if (shapley) out.PIV1[d] += laneSum(cur, i, xBase + d);
      out.PIV0[d] += laneSum(cur, i, yBase + d);
    }
  }
  if (minimal) return out;

  // Swings of chamber e: the key holds the mask of the vector (low half)
  // and of the vector less one member of e (high half); only vectors with
  // a member of e, counted with one given member, are followed.
  for (int e = 1; e <= mm; ++e) {
    cur = before[static_cast<std::size_t>(e)];
    // A threshold due from chamber e on counts e, so the vector less one
    // member of e has one member less for it.
    auto pairDrop = [](uint64_t key, int64_t t, uint32_t bound, int64_t thr) -> uint64_t {
      uint64_t a = key & 0xffff, b = key >> 16;
      if (t < thr) a &= ~static_cast<uint64_t>(bound);
      if (t - 1 < thr) b &= ~static_cast<uint64_t>(bound);
      return a == 0 ? 0 : a | b << 16;
    };
    for (int d = e; d <= mm; ++d) {
      if (d == e) {
        step(
            cur, next, r.nn[d],
            [&](uint64_t key, int32_t k) -> uint64_t {
              if (k == 0) return 0;
              const uint64_t a = key & r.inside(d, k);
              return a == 0 ? 0 : a | (key & r.inside(d, k - 1)) << 16;
            },
            [&](int, int32_t k) { return tb.bm1[d][static_cast<std::size_t>(k)]; });
      } else {
        step(
            cur, next, r.nn[d],
            [&](uint64_t key, int32_t k) -> uint64_t {
              const uint64_t m = r.inside(d, k), a = key & 0xffff & m;
              return a == 0 ? 0 : a | ((key >> 16) & m) << 16;
            },
            [&](int, int32_t k) { return tb.bin[d][static_cast<std::size_t>(k)]; });
      }
      thresholds(r, d, next, pairDrop);
      std::swap(cur, next);
    }
    for (std::size_t i = 0; i < cur.keys.size(); ++i) {
      if ((cur.keys[i] >> 16) != 0) continue;  // still wins without the member
      const NUM* v = cur.vals[i].data();
      NUM s{};
      for (int64_t t = 1; t <= cur.T; ++t)
        s += r.kind == ISAKIND::BANZHAF ? v[t] : v[t] * tb.shapWeight[static_cast<std::size_t>(t)];
      out.SHAP[e] += toX(s);
    }
  }
  return out;
}

}  // namespace

ISAXTOTALS ISA_FAST_SUMS(ISAKIND KIND, const ISAGAME& GAME) {
  RULE r;
  r.kind = KIND;
  if (GAME.MM < 1 || GAME.MM > MAXCHAMB) return {};
  r.mm = GAME.MM;
  r.thres = std::min<int32_t>(GAME.THRES, 10);
  if (r.thres < 1) return {};
  for (int d = 1; d <= r.mm; ++d) {
    if (GAME.NN[d] < 0) return {};
    r.nn[d] = GAME.NN[d];
    r.total += GAME.NN[d];
  }
  if (r.total > 65535) return {};
  for (int w = 1; w <= r.thres; ++w)
    for (int d = 1; d <= r.mm; ++d) {
      r.lo[w][d] = GAME.G[w][d][1];
      r.hi[w][d] = GAME.G[w][d][2];
    }
  if (KIND == ISAKIND::WORKINGPLAN) {
    r.bound1 = 1u;
    r.bound2 = r.thres >= 2 ? 2u : 0u;
  } else {
    r.bound1 = r.bound2 = r.allBoxes();
  }
  r.anz1 = std::min<int>(GAME.T1ANZ, r.mm);
  r.anz2 = std::min<int>(GAME.T2ANZ, r.mm);
  r.t1 = GAME.T1;
  r.t2 = GAME.T2;
  if (ISA_DOUBLES(GAME)) return count<double>(r, GAME);
  return count<XNUM>(r, GAME);
}

void ISA_FAST_SCALE(ISAKIND KIND, const ISAGAME& GAME, ISAXTOTALS& T) {
  const int mm = std::min<int>(GAME.MM, MAXCHAMB);
  for (int d = 1; d <= mm; ++d) T.SHAP[d] = XNUM(GAME.NN[d]) * T.SHAP[d];
  if (KIND == ISAKIND::PUBLICGOOD) {
    for (int d = 1; d <= mm; ++d) T.PIV0[d] = XNUM(GAME.NN[d]) * T.PIV0[d];
    return;
  }
  if (T.WINSETS.zero()) return;
  for (int d = 1; d <= mm; ++d) {
    T.PIV0[d] = XNUM(GAME.NN[d]) * T.PIV0[d] / T.WINSETS;
    if (KIND == ISAKIND::SHAPLEY) T.PIV1[d] = T.PIV1[d] / T.WINSETS;
  }
}

ISAXTOTALS ISA_FAST(ISAKIND KIND, const ISAGAME& GAME) {
  ISAXTOTALS t = ISA_FAST_SUMS(KIND, GAME);
  ISA_FAST_SCALE(KIND, GAME, t);
  return t;
}

namespace {

// The totals T with every value converted by F.
template <class OUT, class IN, class F>
OUT converted(const IN& T, F f) {
  OUT o;
  for (int c = 0; c <= MAXCHAMB; ++c) {
    o.SHAP[c] = f(T.SHAP[c]);
    o.PIV0[c] = f(T.PIV0[c]);
    o.PIV1[c] = f(T.PIV1[c]);
  }
  o.WINSETS = f(T.WINSETS);
  return o;
}

}  // namespace

ISATOTALS ISA_TODOUBLE(const ISAXTOTALS& T) { return converted<ISATOTALS>(T, XTODOUBLE); }

ISAXTOTALS ISA_TOEXTENDED(const ISATOTALS& T) {
  return converted<ISAXTOTALS>(T, [](double x) { return XNUM(x); });
}

XTOTALTYP ISA_XTOTALS(const ISAGAME& GAME, const ISAXTOTALS& T) {
  XTOTALTYP x;
  x.EXTENDED = true;
  x.WINS = T.WINSETS;
  for (int d = 1; d <= GAME.MM && d <= MAXCHAMB; ++d) {
    x.SHAP[d] = T.SHAP[d];
    x.PIV[d] = T.PIV0[d];
  }
  return x;
}

bool ISA_DOUBLES(const ISAGAME& GAME) {
  // Doubles hold every count while 2^members and C(N, k) stay below about
  // 2^1000; beyond that the extended range is needed.
  int64_t total = 0;
  for (int d = 1; d <= GAME.MM && d <= MAXCHAMB; ++d) total += std::max(GAME.NN[d], 0);
  return total <= 1000 && GAME.N <= 1000;
}
