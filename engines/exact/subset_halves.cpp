#include "engines/exact/subset_halves.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "engines/exact/modular.h"

namespace halves {

bool AVAILABLE() {
#ifdef VKX_HALVES
  return true;
#else
  return false;
#endif
}

#ifdef VKX_HALVES
namespace {

using sizetable::Threshold;

// Measured on one core of the benchmark machine (bench/series_bench.cpp's
// halves, 50 players: two lists of 2^25 sums in 64-bit keys, 0.9 to 1.6 s
// as the machine's memory goes): LIST_NS a sum of a half's list (two merge
// steps of some 2.8 ns, and the first touch of its memory), SWEEP_NS a sum
// swept with the masks' additions (some 5.5 ns), SWEEP_BARE_NS without
// them; PASS_S the work of a count however small. 128-bit keys (halves of
// a total beyond 2^32) take WIDE_FACTOR times as long.
constexpr double LIST_NS = 10, SWEEP_NS = 8, SWEEP_BARE_NS = 4, PASS_S = 2e-5;
// By size: a sum swept adds a half's sizes, per size and byte of its mask
// SIZED_NS (SIZED_BARE_NS without the masks; 50 players near 10^7: the
// Shapley-Shubik counts in 2.85 s).
constexpr double SIZED_NS = 1.3, SIZED_BARE_NS = 0.3;
constexpr double WIDE_FACTOR = 1.6;

// The steps between two looks at the count's control.
constexpr std::size_t CHECK = std::size_t{1} << 20;

// A half's subset sums in ascending order, each with its members: the sum
// in the high bits of a key, its mask (bit i the half's i-th player) in
// the low 32, so that one comparison orders two keys by their sums and one
// addition adds a player. KEY is 64 bits where the half's total fits in
// 32, else 128.
template <class KEY>
int64_t sumOf(KEY key) {
  return static_cast<int64_t>(key >> 32);
}
template <class KEY>
uint32_t maskOf(KEY key) {
  return static_cast<uint32_t>(key);
}

// The control hears of the count's progress: DONE steps of TOTAL.
struct Steps {
  double done = 0, total = 1;
  void add(std::size_t steps) {
    done += static_cast<double>(steps);
    COUNTAT(std::min(done / total, 1.0));
  }
};

// A half's keys in ascending order.
template <class KEY>
struct List {
  std::unique_ptr<KEY[]> key;  // left uninitialised: each place is written before it is read
  std::size_t size = 0;
};

// The subset sums of WEIGHTS in ascending order: each player merges the
// list with itself shifted by its weight, from the back, in place (the
// list of 2^i sums in the first half of the 2^(i+1) places: a place
// written is never one still to be read).
template <class KEY>
void listSums(const std::vector<int64_t>& weights, List<KEY>& list, Steps& steps) {
  list.size = std::size_t{1} << weights.size();
  list.key.reset(new KEY[list.size]);
  KEY* key = list.key.get();
  key[0] = 0;
  std::size_t have = 1;
  for (std::size_t i = 0; i < weights.size(); ++i) {
    const KEY add = (static_cast<KEY>(weights[i]) << 32) | (KEY{1} << i);
    std::ptrdiff_t x = static_cast<std::ptrdiff_t>(have) - 1, y = x;
    std::ptrdiff_t out = 2 * x + 1;
    // Without branches while both lists last (the order of two sums is
    // as good as random): each step takes the larger of the two fronts.
    while (x >= 0) {
      const KEY plain = key[x], shifted = key[y] + add;
      const bool takePlain = plain > shifted;
      key[out] = takePlain ? plain : shifted;
      x -= takePlain;
      y -= !takePlain;
      --out;
      if (y < 0) break;
    }
    for (; y >= 0; --y, --out) key[out] = key[y] + add;
    have *= 2;
    if (have >= CHECK) steps.add(have);
  }
}

// Per byte of a half's masks, the counts added for each of its 256
// values; the count of a player of the half, the sum over the values with
// its bit.
struct ByByte {
  std::array<std::array<uint64_t, 256>, 4> count{};
  void add(uint32_t mask, uint64_t c) {
    count[0][mask & 255] += c;
    count[1][(mask >> 8) & 255] += c;
    count[2][(mask >> 16) & 255] += c;
    count[3][mask >> 24] += c;
  }
  void players(std::size_t n, uint64_t* with) const {
    for (std::size_t p = 0; p < n; ++p) {
      const uint32_t bit = uint32_t{1} << (p % 8);
      uint64_t s = 0;
      for (uint32_t v = 0; v < 256; ++v)
        if ((v & bit) != 0) s += count[p / 8][v];
      with[p] = s;
    }
  }
};

// The pairs of a sum of ONE and a sum of TWO that reach Q and, with WITH,
// per player of either half the pairs holding it (in WITHONE and WITHTWO).
// A merge of ONE ascending with TWO descending, without branches: each
// step either moves the start of TWO's tail that reaches Q with the next
// sum of ONE down by one (that sum of TWO then reaches Q with the sums of
// ONE from the next on, and with no earlier one), or counts that tail for
// the next sum of ONE.
template <bool WITH, class KEY>
uint64_t sweep(const List<KEY>& one, const List<KEY>& two, int64_t q, uint64_t* withOne,
               std::size_t playersOne, uint64_t* withTwo, std::size_t playersTwo, Steps& steps) {
  ByByte byOne, byTwo;
  const std::size_t count = two.size, size = one.size;
  std::size_t i = 0, j = count;  // two[j..] reach Q with one[i]
  uint64_t all = 0;
  for (std::size_t step = 1; i < size; ++step) {
    const KEY front = two.key[j - (j > 0)];
    const bool down = j > 0 && sumOf(front) >= q - sumOf(one.key[i]);
    const uint64_t c = down ? 0 : count - j;
    all += c;
    if constexpr (WITH) {
      byOne.add(maskOf(one.key[i]), c);
      byTwo.add(maskOf(front), down ? size - i : 0);
    }
    j -= down;
    i += !down;
    if (step % CHECK == 0) steps.add(CHECK);
  }
  if constexpr (WITH) {
    byOne.players(playersOne, withOne);
    byTwo.players(playersTwo, withTwo);
  }
  return all;
}

// Both halves' lists, the control hearing of them as some two thirds of
// the count (the sweep the rest).
template <class KEY>
void bothLists(const std::vector<int64_t>& first, const std::vector<int64_t>& second,
               List<KEY>& one, List<KEY>& two, Steps& steps) {
  const double a = std::ldexp(1.0, static_cast<int>(first.size()));
  const double b = std::ldexp(1.0, static_cast<int>(second.size()));
  steps.total = 3 * (a + b);
  listSums(first, one, steps);
  listSums(second, two, steps);
}

template <class KEY>
uint64_t countBy(const std::vector<int64_t>& first, const std::vector<int64_t>& second, int64_t q,
                 bool wanted, uint64_t* withFirst, uint64_t* withSecond) {
  Steps steps;
  List<KEY> one, two;
  bothLists(first, second, one, two, steps);
  if (!wanted) return sweep<false>(one, two, q, nullptr, 0, nullptr, 0, steps);
  return sweep<true>(one, two, q, withFirst, first.size(), withSecond, second.size(), steps);
}

// The players of PLAYERS alternately into the two halves (so that both
// hold light and heavy ones): their weights, and whether the halves' sums
// fit in 32 bits.
bool split(const Threshold& t, const std::vector<int>& players, std::vector<int64_t>& first,
           std::vector<int64_t>& second) {
  int64_t total = 0;
  for (std::size_t i = 0; i < players.size(); ++i) {
    const int64_t w = t.weight[players[i]];
    (i % 2 == 0 ? first : second).push_back(w);
    total += w;
  }
  return total <= std::numeric_limits<uint32_t>::max();
}

// The winning sets of the positive PLAYERS and, when WITH is given, those
// holding each.
uint64_t lineCount(const Threshold& t, const std::vector<int>& players,
                   std::vector<uint64_t>* with) {
  std::vector<int64_t> first, second;
  const bool narrow = split(t, players, first, second);
  std::vector<uint64_t> a(first.size()), b(second.size());
  const uint64_t all =
      narrow ? countBy<uint64_t>(first, second, t.q, with != nullptr, a.data(), b.data())
             : countBy<unsigned __int128>(first, second, t.q, with != nullptr, a.data(), b.data());
  if (with != nullptr) {
    with->assign(players.size(), 0);
    for (std::size_t i = 0; i < players.size(); ++i) (*with)[i] = i % 2 == 0 ? a[i / 2] : b[i / 2];
  }
  return all;
}

// The members of a mask: the bits counted in place (the machine's own
// instruction is not in the x86-64 baseline the program is built for, and
// the library call in its stead took a fifth of a count by size).
inline int members(uint32_t m) {
  m = m - ((m >> 1) & 0x55555555u);
  m = (m & 0x33333333u) + ((m >> 2) & 0x33333333u);
  m = (m + (m >> 4)) & 0x0f0f0f0fu;
  return static_cast<int>((m * 0x01010101u) >> 24);
}

// Per byte of a half's masks and each of its 256 values, the counts added
// by coalition size (WIDTH sizes).
struct BySize {
  explicit BySize(int width) : width(width), count(std::size_t{4} * 256 * width) {}
  int width;
  std::vector<uint64_t> count;  // [byte][value][size]
  uint64_t* row(int byte, uint32_t value) {
    return &count[(static_cast<std::size_t>(byte) * 256 + value) * width];
  }
  // H[0..HN) added at the sizes SHIFT.. for each byte of MASK.
  void add(uint32_t mask, const uint64_t* h, int hn, int shift) {
    for (int b = 0; b < 4; ++b) {
      uint64_t* r = row(b, (mask >> (8 * b)) & 255) + shift;
      for (int k = 0; k < hn; ++k) r[k] += h[k];
    }
  }
  void players(int n, std::vector<std::vector<uint64_t>>& with) {
    with.assign(static_cast<std::size_t>(n),
                std::vector<uint64_t>(static_cast<std::size_t>(width)));
    for (int p = 0; p < n; ++p)
      for (uint32_t v = 0; v < 256; ++v)
        if ((v >> (p % 8) & 1) != 0) {
          const uint64_t* r = row(p / 8, v);
          for (int k = 0; k < width; ++k)
            with[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)] += r[k];
        }
  }
};

// The sweep by size: the pairs that reach Q by their number of members
// and, with WITH, per player of either half. Beside the tail of TWO that
// reaches Q with the next sum of ONE, its sums by size (TAIL); beside the
// sums of ONE from the next on, theirs (REST): a sum of ONE counted adds
// the tail's sizes shifted by its own, a sum of TWO joining the tail adds
// the rest's to its players.
template <bool WITH, class KEY>
std::vector<uint64_t> sweepBySize(const List<KEY>& one, int nOne, const List<KEY>& two, int nTwo,
                                  int64_t q, std::vector<std::vector<uint64_t>>* withOne,
                                  std::vector<std::vector<uint64_t>>* withTwo, Steps& steps) {
  const int width = nOne + nTwo + 1;
  std::vector<uint64_t> all(static_cast<std::size_t>(width)),
      tail(static_cast<std::size_t>(nTwo) + 1), rest(static_cast<std::size_t>(nOne) + 1);
  for (int k = 0; k <= nOne; ++k) rest[static_cast<std::size_t>(k)] = fastcount::CHOOSE(nOne, k);
  BySize byOne(WITH ? width : 0), byTwo(WITH ? width : 0);
  const std::size_t size = one.size;
  std::size_t i = 0, j = two.size;  // two[j..] reach Q with one[i]
  for (std::size_t step = 1; i < size; ++step) {
    const KEY a = one.key[i];
    if (j > 0 && sumOf(two.key[j - 1]) >= q - sumOf(a)) {
      const uint32_t mb = maskOf(two.key[j - 1]);
      const int kb = members(mb);
      ++tail[static_cast<std::size_t>(kb)];
      if constexpr (WITH) byTwo.add(mb, rest.data(), nOne + 1, kb);
      --j;
    } else {
      const uint32_t ma = maskOf(a);
      const int ka = members(ma);
      for (int k = 0; k <= nTwo; ++k)
        all[static_cast<std::size_t>(ka + k)] += tail[static_cast<std::size_t>(k)];
      if constexpr (WITH) byOne.add(ma, tail.data(), nTwo + 1, ka);
      --rest[static_cast<std::size_t>(ka)];
      ++i;
    }
    if (step % CHECK == 0) steps.add(CHECK);
  }
  if constexpr (WITH) {
    byOne.players(nOne, *withOne);
    byTwo.players(nTwo, *withTwo);
  }
  return all;
}

template <class KEY>
std::vector<uint64_t> sizedBy(const std::vector<int64_t>& first, const std::vector<int64_t>& second,
                              int64_t q, std::vector<std::vector<uint64_t>>* withFirst,
                              std::vector<std::vector<uint64_t>>* withSecond) {
  Steps steps;
  List<KEY> one, two;
  bothLists(first, second, one, two, steps);
  const int nOne = static_cast<int>(first.size()), nTwo = static_cast<int>(second.size());
  if (withFirst == nullptr)
    return sweepBySize<false>(one, nOne, two, nTwo, q, nullptr, nullptr, steps);
  return sweepBySize<true>(one, nOne, two, nTwo, q, withFirst, withSecond, steps);
}

// The winning sets of the positive PLAYERS by size and, when WITH is
// given, those holding each by size.
std::vector<uint64_t> lineBySize(const Threshold& t, const std::vector<int>& players,
                                 std::vector<std::vector<uint64_t>>* with) {
  std::vector<int64_t> first, second;
  const bool narrow = split(t, players, first, second);
  std::vector<std::vector<uint64_t>> a, b;
  std::vector<std::vector<uint64_t>>* wa = with != nullptr ? &a : nullptr;
  std::vector<std::vector<uint64_t>>* wb = with != nullptr ? &b : nullptr;
  std::vector<uint64_t> all = narrow ? sizedBy<uint64_t>(first, second, t.q, wa, wb)
                                     : sizedBy<unsigned __int128>(first, second, t.q, wa, wb);
  if (with != nullptr) {
    with->assign(players.size(), {});
    for (std::size_t i = 0; i < players.size(); ++i)
      (*with)[i] = std::move(i % 2 == 0 ? a[i / 2] : b[i / 2]);
  }
  return all;
}

uint64_t residue(const fastcount::WRAP&, uint64_t count) { return count; }
uint64_t residue(const fastcount::MODP& ring, uint64_t count) { return count % ring.modulus(); }

}  // namespace

COSTTYP COST(const Threshold& t, bool SIZES) {
  COSTTYP c;
  std::vector<int> inSub(static_cast<std::size_t>(t.mm) + 1);
  int m = 0;
  int64_t total = 0;
  for (int p = 1; p <= t.n; ++p)
    if (t.weight[p] > 0) {
      ++m;
      total += t.weight[p];
      ++inSub[t.sub[p]];
    }
  if (t.n > fastcount::PROFILEMAX) {
    c.WHY = "beyond 63 players";
    return c;
  }
  if (m > HALVESMAX) {
    c.WHY = "too many weighted players";
    return c;
  }
  if (t.q <= 0 || t.q > total) {
    c.WHY = "no weights to count";
    return c;
  }
  int lines = 1;
  for (int s = 1; s <= t.mm; ++s)
    if (inSub[s] > 0 && inSub[s] < m) ++lines;
  const double a = std::ldexp(1.0, (m + 1) / 2), b = std::ldexp(1.0, m / 2);
  const bool narrow = total <= std::numeric_limits<uint32_t>::max();
  const double sumBytes = narrow ? 8 : 16;
  c.APPLIES = true;
  // The count with the players: both lists and the sweep with masks; a
  // subgame's count without its members: the lists and a bare sweep.
  const double sweep = SIZES ? SIZED_NS * (m / 2 + 1) : SWEEP_NS;
  const double bare = SIZES ? SIZED_BARE_NS * (m / 2 + 1) : SWEEP_BARE_NS;
  c.SECONDS = PASS_S + ((LIST_NS + sweep) * (a + b) + (lines - 1) * (LIST_NS + bare) * (a + b)) *
                           1e-9 * (narrow ? 1.0 : WIDE_FACTOR);
  c.BYTES = static_cast<std::size_t>(sumBytes * (a + b));
  return c;
}

template <class RING>
void TOTALS(const Threshold& t, fastcount::Totals& f, const RING& ring) {
  sizetable::TOTALSBY(
      t, f, ring,
      [&](const std::vector<int>& players, std::vector<uint64_t>* with, const RING& rg) {
        const uint64_t all = lineCount(t, players, with);
        if (with != nullptr)
          for (uint64_t& w : *with) w = residue(rg, w);
        return residue(rg, all);
      });
}

template void TOTALS(const Threshold&, fastcount::Totals&, const fastcount::WRAP&);
template void TOTALS(const Threshold&, fastcount::Totals&, const fastcount::MODP&);

template <class RING>
void COUNT(const Threshold& t, fastcount::Profile& f, const RING& ring) {
  sizetable::PROFILEBY(
      t, f, ring, [&](const std::vector<int>& players, std::vector<std::vector<uint64_t>>* with) {
        std::vector<uint64_t> all = lineBySize(t, players, with);
        for (uint64_t& x : all) x = residue(ring, x);
        if (with != nullptr)
          for (std::vector<uint64_t>& bySize : *with)
            for (uint64_t& x : bySize) x = residue(ring, x);
        return all;
      });
}

template void COUNT(const Threshold&, fastcount::Profile&, const fastcount::WRAP&);
template void COUNT(const Threshold&, fastcount::Profile&, const fastcount::MODP&);

#else  // a build without the halves (the web page): COST declines every game

COSTTYP COST(const sizetable::Threshold&, bool) {
  COSTTYP c;
  c.WHY = "not in this build";
  return c;
}

template <class RING>
void TOTALS(const sizetable::Threshold&, fastcount::Totals&, const RING&) {
  throw std::bad_alloc();
}
template <class RING>
void COUNT(const sizetable::Threshold&, fastcount::Profile&, const RING&) {
  throw std::bad_alloc();
}
template void TOTALS(const sizetable::Threshold&, fastcount::Totals&, const fastcount::WRAP&);
template void TOTALS(const sizetable::Threshold&, fastcount::Totals&, const fastcount::MODP&);
template void COUNT(const sizetable::Threshold&, fastcount::Profile&, const fastcount::WRAP&);
template void COUNT(const sizetable::Threshold&, fastcount::Profile&, const fastcount::MODP&);

#endif

}  // namespace halves
