#include "engines/exact/power_series.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#ifdef VKX_FLINT
#include <flint/nmod_poly.h>
#endif

#include "engines/exact/modular.h"

namespace powerseries {
namespace {

using sizetable::ORIENT;
using sizetable::Threshold;

// Measured on one core of the benchmark machine (FLINT 2.9, 62-bit primes;
// CPU seconds of bench/series_bench.cpp's games per pass): R + 1 = 3.5
// million coefficients (the IMF-like board) 9.1 s, 1.9 million (190 Pareto
// players at 85 %) 3.1 s, 25 thousand (1000 players) 0.06 s, 12.5 million
// (50 players to 10^6) 70 s: 110 to 240 ns per coefficient and bit of its
// length, EXP_NS between them. A lone exponential's peak memory grew by
// 160 bytes per coefficient (21.6 MB at 10^5, 69 MB at 4 * 10^5),
// SERIES_BYTES with the logarithm and the prefix sums beside it; PASS_S the
// work of a pass however short (the Electoral College: 0.17 ms). LINE_NS: a
// term of the logarithm, a prefix sum or a block of the alternating sums.
constexpr double EXP_NS = 160, LINE_NS = 2.0, PASS_S = 1e-4;
constexpr double SERIES_BYTES = 180;

// 2^64 - 59, the largest prime below 2^64: subsets of at most 63 players
// number less, so that the residues modulo it are the counts.
constexpr uint64_t WIDEPRIME = 18446744073709551557ULL;

uint64_t modulusOf(const fastcount::WRAP&) { return WIDEPRIME; }
uint64_t modulusOf(const fastcount::MODP& ring) { return ring.modulus(); }

// Subsets of WEIGHTS (positive, ascending) by weight 0..R, modulo P.
std::vector<uint64_t> subsets(const std::vector<int64_t>& weights, int64_t r, uint64_t p) {
  std::vector<uint64_t> out(static_cast<std::size_t>(r) + 1);
  out[0] = 1;
  if (r == 0) return out;
#ifdef VKX_FLINT
  nmod_t mod;
  nmod_init(&mod, p);
  const auto len = static_cast<std::size_t>(r) + 1;
  // The logarithm: per distinct weight w of c players, c (-1)^(k+1) / k at
  // x^(k w); the inverses 1..R by inv(i) = -(P / i) inv(P mod i).
  std::vector<mp_limb_t> log(len);
  {
    std::vector<mp_limb_t> inv(len);
    inv[1] = 1;
    for (std::size_t i = 2; i < len; ++i) inv[i] = nmod_mul(p - p / i, inv[p % i], mod);
    for (std::size_t i = 0; i < weights.size();) {
      const int64_t w = weights[i];
      std::size_t j = i;
      while (j < weights.size() && weights[j] == w) ++j;
      const mp_limb_t c = nmod_set_ui(j - i, mod);
      for (int64_t k = 1; k * w <= r; ++k) {
        const mp_limb_t term = nmod_mul(c, inv[static_cast<std::size_t>(k)], mod);
        mp_limb_t& at = log[static_cast<std::size_t>(k * w)];
        at = (k & 1) != 0 ? nmod_add(at, term, mod) : nmod_sub(at, term, mod);
      }
      i = j;
    }
  }
  COUNTAT(0.1);
  nmod_poly_t h, f;
  nmod_poly_init2(h, p, static_cast<slong>(len));
  nmod_poly_init(f, p);
  std::copy(log.begin(), log.end(), h->coeffs);
  _nmod_poly_set_length(h, static_cast<slong>(len));
  _nmod_poly_normalise(h);
  log = {};
  nmod_poly_exp_series(f, h, static_cast<slong>(len));
  for (std::size_t v = 0; v < len; ++v) out[v] = nmod_poly_get_coeff_ui(f, static_cast<slong>(v));
  nmod_poly_clear(h);
  nmod_poly_clear(f);
#else
  (void)weights;
  (void)p;
  throw std::bad_alloc();  // COST declines every game without FLINT
#endif
  return out;
}

// Winning sets among the positive players PLAYERS (ascending by weight),
// and per player those holding it (WITH, by position), as the table's
// count without sizes gives them.
template <class RING>
uint64_t lineCount(const Threshold& t, const std::vector<int>& players, std::vector<uint64_t>* with,
                   const RING& ring) {
  int64_t total = 0;
  std::vector<int64_t> w;
  for (int p : players) {
    total += t.weight[p];
    w.push_back(t.weight[p]);
  }
  const int m = static_cast<int>(players.size());
  if (with) with->assign(players.size(), 0);
  if (t.q > total) return 0;
  const sizetable::Oriented o = ORIENT(t.q, total);
  std::vector<uint64_t> cf = subsets(w, o.range, modulusOf(ring));
  for (std::size_t v = 1; v < cf.size(); ++v) cf[v] = ring.add(cf[v - 1], cf[v]);
  COUNTAT(0.9);
  const auto last = static_cast<int64_t>(cf.size()) - 1;
  auto at = [&](int64_t v) {
    return v < 0 ? uint64_t{0} : cf[static_cast<std::size_t>(std::min(v, last))];
  };
  // Subsets of the others than a player of weight A weighing at most V:
  // the prefix sums of F / (1 + x^A), CF[V] - CF[V - A] + CF[V - 2A] - ...
  auto without = [&](int64_t v, int64_t a) {
    uint64_t s = 0;
    for (int i = 0; v >= 0; ++i, v -= a) s = (i & 1) ? ring.sub(s, at(v)) : ring.add(s, at(v));
    return s;
  };
  if (with)  // players of equal weight have equal counts
    for (std::size_t i = 0; i < players.size(); ++i) {
      const int64_t a = w[i];
      if (i > 0 && a == w[i - 1]) {
        (*with)[i] = (*with)[i - 1];
        continue;
      }
      (*with)[i] =
          o.complement ? without(o.range, a) : ring.sub(ring.pow2(m - 1), without(t.q - 1 - a, a));
    }
  return o.complement ? at(o.range) : ring.sub(ring.pow2(m), at(t.q - 1));
}

}  // namespace

bool AVAILABLE() {
#ifdef VKX_FLINT
  return true;
#else
  return false;
#endif
}

COSTTYP COST(const Threshold& t, int passes) {
  COSTTYP c;
  c.PASSES = passes;
  if (!AVAILABLE()) {
    c.WHY = "built without FLINT";
    return c;
  }
  int64_t total = 0;
  std::vector<int64_t> w;
  std::vector<int> inSub(static_cast<std::size_t>(t.mm) + 1);
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0) {
      total += t.weight[p];
      w.push_back(t.weight[p]);
      ++inSub[t.sub[p]];
    }
  if (t.q <= 0 || t.q > total || ORIENT(t.q, total).range == 0) {
    c.WHY = "no weights to count";
    return c;
  }
  const int64_t r = ORIENT(t.q, total).range;
  int series = 1;
  for (int s = 1; s <= t.mm; ++s)
    if (inSub[s] > 0 && inSub[s] < static_cast<int>(w.size())) ++series;
  const double len = static_cast<double>(r) + 1;
  std::sort(w.begin(), w.end());
  w.erase(std::unique(w.begin(), w.end()), w.end());
  double line = 2 * len;  // the logarithm's terms and the prefix sums
  for (int64_t a : w) line += 2 * (static_cast<double>(r / a) + 1);
  c.APPLIES = true;
  c.SECONDS = passes * series * (PASS_S + (EXP_NS * len * std::log2(len) + LINE_NS * line) * 1e-9);
  c.BYTES = static_cast<std::size_t>(SERIES_BYTES * len);
  return c;
}

template <class RING>
void TOTALS(const Threshold& t, fastcount::Totals& f, const RING& ring) {
  sizetable::TOTALSBY(t, f, ring,
                      [&](const std::vector<int>& players, std::vector<uint64_t>* with,
                          const RING& rg) { return lineCount(t, players, with, rg); });
}

template void TOTALS(const Threshold&, fastcount::Totals&, const fastcount::WRAP&);
template void TOTALS(const Threshold&, fastcount::Totals&, const fastcount::MODP&);

}  // namespace powerseries
