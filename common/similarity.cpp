#include "common/similarity.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

bool POINTQUAD(const GTYP& A, uint8_t III, const POINT& P, uint8_t N) {
  const QUADER& box = A[III];
  const int dims = std::min<int>(N, MAXCHAMB);
  bool inside = true;
  for (int I = 1; I <= dims; ++I)
    if (box[I][1] > P[I] || box[I][2] < P[I]) inside = false;
  return inside;
}

double DIST(const POSTYP& POSITION, uint16_t A1, uint16_t A2, uint16_t NTHEME, uint16_t MINKOWP) {
  (void)MINKOWP;  // every caller asks for the Euclidean distance
  const int themes = std::min<int>(NTHEME, MAXCHAMB);
  double d[MAXCHAMB + 1] = {};
  double largest = 0.0;
  for (int t = 1; t <= themes; ++t) {
    // Halved first where the difference itself would overflow.
    d[t] = POSITION[t][A1] - POSITION[t][A2];
    if (!std::isfinite(d[t])) d[t] = 2.0 * (POSITION[t][A1] / 2.0 - POSITION[t][A2] / 2.0);
    largest = std::max(largest, std::fabs(d[t]));
  }
  // Squares of differences beyond about 1e154 overflow (and below 1e-154
  // vanish): such distances are summed over differences scaled by a power
  // of two, which is exact. Ordinary ones are summed as they are.
  constexpr double HIGH = 0x1p500, LOW = 0x1p-500;
  const double scale = largest > HIGH || !std::isfinite(largest) ? 0x1p-600
                       : largest < LOW                           ? 0x1p600
                                                                 : 1.0;
  double sum = 0.0;
  for (int t = 1; t <= themes; ++t) {
    const double e = d[t] * scale;
    sum += e * e;
  }
  return std::sqrt(sum) / scale;
}

double DIST_MAX(const POSTYP& POSITION, uint16_t NAKTEUR, uint16_t NTHEME) {
  // The players the rows hold: 50, or as many as they have grown to.
  const int players = std::min<int>(NAKTEUR, static_cast<int>(POSITION[1].size()) - 1);
  double best = 0.0;
  for (int i = 2; i <= players; ++i)
    for (int j = 1; j < i; ++j) {
      double d = DIST(POSITION, static_cast<uint16_t>(i), static_cast<uint16_t>(j), NTHEME, 2);
      if (d > best) best = d;
    }
  // Callers divide by the result: identical positions must not give 0.
  return best == 0.0 ? 1.0 : best;
}

double DIST_KOAL(const PERMTYP& PERM, const POSTYP& POSITION, uint16_t N, uint16_t K,
                 uint16_t NTHEME, double DISTMAX) {
  // A lone member (or no member at all) has no pair to be similar with.
  if (K <= 1) return 0.0;
  const int players = std::min<int>(N, MAXACTOR);
  // The sum of up to 1225 distances overflows when they come near the
  // largest double: it is then kept in units of 2^-16, exactly.
  // Distances of subnormal size are kept in units of 2^-900 (the reciprocal
  // of such a DISTMAX would be infinite and the similarity NAN).
  const double unit = DISTMAX > 0x1p1000 ? 0x1p-16 : DISTMAX < 0x1p-900 ? 0x1p900 : 1.0;
  double sum = 0.0;
  for (int i = 2; i <= players; ++i) {
    if (!PERM[i]) continue;
    for (int j = 1; j < i; ++j)
      if (PERM[j])
        sum += unit * DIST(POSITION, static_cast<uint16_t>(i), static_cast<uint16_t>(j), NTHEME, 2);
  }
  const int64_t pairs2 = static_cast<int64_t>(K - 1) * K;  // twice the number of pairs
  return 1.0 - (2.0 / (static_cast<double>(pairs2) * (DISTMAX * unit))) * sum;
}
